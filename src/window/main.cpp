#include "form1.h"
#include "history.h"
#include "randomsource.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plumetto"));
    QApplication::setApplicationVersion(QStringLiteral(PLUMETTO_VERSION));
    // The program speaks French: so do Qt's own dialogs and buttons, where their
    // translations are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    SystemRandom random;
    Form1 window(random, QCoreApplication::applicationDirPath(), History::standardFolder());
    window.show();
    // "plumetto FILE" opens FILE once the window is on screen, so that a message about it has
    // the window beneath it.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(arguments.at(1)));
        QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
    }
    return QApplication::exec();
}
