#include "form1.h"
#include "randomsource.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plumetto"));
    SystemRandom random;
    Form1 window(random, QCoreApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
