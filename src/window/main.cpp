#include "form1.h"
#include "history.h"
#include "randomsource.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plumetto"));
    // The program speaks French: so do Qt's own dialogs and buttons, where their
    // translations are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    SystemRandom random;
    Form1 window(random, QCoreApplication::applicationDirPath(), History::standardFolder());
    window.show();
    return QApplication::exec();
}
