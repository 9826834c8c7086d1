// The real window on a history folder, its clock held by the test, and the program folder
// and exercise around it: what the tests of the window's history share.
#pragma once

#include "form1.h"
#include "history.h"
#include "modalanswerer.h"
#include "randomsource.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

inline const QString caption = QStringLiteral("~~Plumetto~~");
inline const QString doneBox = messageBox(QMessageBox::NoIcon, QStringLiteral("Plumetto"),
                                          QStringLiteral("Exercice terminé."));
inline const QString dialogSeen = QStringLiteral("QFileDialog CDC");
inline const QDateTime start(QDate(2026, 12, 7), QTime(14, 20), Qt::UTC);

// A program folder with the blank picture and three kana, an exercise of those three, and a
// history folder beside them.
class Program
{
public:
    Program()
    {
        QDir(folder()).mkpath(QStringLiteral("images/hiragana"));
        for (const char *name :
             {"vide.jpg", "hiragana/a.png", "hiragana/i.png", "hiragana/u.png"}) {
            QImage picture(20, 20, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QVERIFY(picture.save(m_dir.filePath(QStringLiteral("images/") + QLatin1String(name))));
        }
        writeExercise("a=hiragana\\a.png=*i=hiragana\\i.png=*u=hiragana\\u.png=*");
    }

    QString folder() const { return m_dir.path(); }
    QString exercise() const { return m_dir.filePath(QStringLiteral("cours.txt")); }
    QString historyFolder() const { return m_dir.filePath(QStringLiteral("data")); }

    // Another course beside the first.
    QString course(const char *name, const QByteArray &bytes) const
    {
        const QString path = m_dir.filePath(QLatin1String(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", name);
        return path;
    }

    void writeExercise(const QByteArray &bytes) const
    {
        QFile file(exercise());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // The first value an SQL query reads from the history, as another program would read it.
    QString read(const QString &sql) const
    {
        History reader(historyFolder());
        if (!reader.open())
            return QStringLiteral("(no history)");
        QSqlQuery query(QSqlDatabase::database(reader.connectionName()));
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    }

private:
    QTemporaryDir m_dir;
};

// The real window on a history folder, its clock held by the test.
struct Window
{
    Window(const Program &program, const QString &historyFolder, std::uint64_t seed = 20261207)
        : random(seed), form(random, program.folder(), historyFolder)
    {
        form.historyKeeper().setClock([this] { return now; });
    }

    template <class T> T *find(const char *name) const
    {
        return form.findChild<T *>(QLatin1String(name));
    }

    // Shows the window and lets the history open, as after the program's start.
    bool show()
    {
        form.show();
        // The history opens once the window has been painted.
        const bool active =
            QTest::qWaitForWindowExposed(&form) && QTest::qWaitForWindowActive(&form);
        QCoreApplication::processEvents();
        return active;
    }

    void open(ModalAnswerer &answerer, const QString &path)
    {
        answerer.chooseFile(path);
        find<QAction>("Ouvrir")->trigger();
    }

    // Shows the solution, `seconds` after the posing, and judges it.
    void judge(bool right, int seconds = 1)
    {
        now = now.addSecs(seconds);
        QTest::mouseClick(command1, Qt::LeftButton);
        QTest::mouseClick(right ? juste : faux, Qt::LeftButton);
    }

    // The history's entries as the menu shows them.
    void showMenu() { emit find<QMenu>("Exercices")->aboutToShow(); }

    // The entries of the Reprendre submenu as it shows them.
    QStringList resumeEntries() const
    {
        auto *menu = find<QMenu>("Reprendre");
        emit menu->aboutToShow();
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts.append(action->text());
        return texts;
    }
    void takeUp(int entry)
    {
        resumeEntries();
        find<QMenu>("Reprendre")->actions().at(entry)->trigger();
    }
    QString progress() const { return find<QLabel>("progression")->text(); }

    QDateTime now = start;
    SystemRandom random;
    Form1 form;
    QPushButton *command1 = find<QPushButton>("Command1");
    QPushButton *juste = find<QPushButton>("bouttonjuste");
    QPushButton *faux = find<QPushButton>("bouttonfaux");
    QLineEdit *question = find<QLineEdit>("question");
    QAction *reprendre = find<QAction>("Reprendre");
    QAction *reviser = find<QAction>("Reviser");
    QAction *statistiques = find<QAction>("Statistiques");
    QAction *oublier = find<QAction>("Oublier");
};
