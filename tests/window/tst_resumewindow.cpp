// The unfinished exercises as the window keeps them and takes them up: the Reprendre submenu
// through two program runs, and two windows on one course.
#include "historyrig.h"

#include <QtTest>

class TestResumeWindow : public QObject
{
    Q_OBJECT

private slots:
    void unfinishedExercisesTakenUp();
    void twoWindowsKeepTheirOwnPlaces();
};

void TestResumeWindow::unfinishedExercisesTakenUp()
{
    Program program;
    const QString autre =
        program.course("autre.txt", "u=hiragana\\u.png=*a=hiragana\\a.png=*i=hiragana\\i.png=*");
    const QString court = program.course("court.txt", "i=hiragana\\i.png=*");
    ModalAnswerer answerer;
    QString left;
    {
        Window w(program, program.historyFolder());
        QVERIFY(w.show());
        w.open(answerer, program.exercise());
        w.judge(false);
        w.judge(true);
        left = w.progress();
        QCOMPARE(left, QStringLiteral("1 / 3 · 1 à revoir"));
        w.open(answerer, autre);
        w.judge(true);
        // An exercise that ends forgets its own place alone.
        w.open(answerer, court);
        answerer.pressOk();
        w.judge(true);
        QCOMPARE(answerer.takeSeen(), (QStringList{dialogSeen, dialogSeen, dialogSeen, doneBox}));
    }

    Window w(program, program.historyFolder());
    w.now = start.addDays(1);
    QVERIFY(w.show());
    w.showMenu();
    QVERIFY(w.reprendre->isEnabled());
    QCOMPARE(w.resumeEntries(), (QStringList{"autre.txt — 1 / 3", "cours.txt — 1 / 3"}));
    w.takeUp(1);
    QCOMPARE(w.progress(), left);
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    QCOMPARE(w.form.windowTitle(), caption + program.exercise());

    // Opened anew, a course starts from its first record; its place stays until the run has
    // found more records than the place holds.
    w.now = w.now.addSecs(60);
    w.open(answerer, autre);
    QCOMPARE(w.question->text(), QStringLiteral("u"));
    w.judge(true);
    QCOMPARE(w.resumeEntries(),
             (QStringList{"autre.txt — 1 / 3", "cours.txt — 1 / 3", "autre.txt — 1 / 3"}));
    w.judge(true);
    QCOMPARE(w.resumeEntries(), (QStringList{"autre.txt — 2 / 3", "cours.txt — 1 / 3"}));
    QCOMPARE(answerer.takeSeen(), QStringList{dialogSeen});
}

// Two windows on one course, each in its own random order: each keeps its own place, and
// neither forgets the other's.
void TestResumeWindow::twoWindowsKeepTheirOwnPlaces()
{
    Program program;
    ModalAnswerer answerer;
    QStringList left;
    {
        Window one(program, program.historyFolder(), 1);
        Window two(program, program.historyFolder(), 2);
        two.now = start.addSecs(100);
        QVERIFY(one.show());
        QVERIFY(two.show());
        for (Window *w : {&one, &two}) {
            w->find<QAction>("Aleatoire")->trigger();
            w->open(answerer, program.exercise());
        }
        one.judge(true);
        two.judge(false);
        two.judge(true);
        for (Window *w : {&two, &one})
            left << w->question->text() + QLatin1Char(' ') + w->progress();
    }
    QCOMPARE(left.at(0).section(QLatin1Char(' '), 1), QStringLiteral("1 / 3 · 1 à revoir"));

    Window w(program, program.historyFolder());
    w.now = start.addDays(1);
    QVERIFY(w.show());
    QCOMPARE(w.resumeEntries(), (QStringList{"cours.txt — 1 / 3", "cours.txt — 1 / 3"}));
    for (int entry = 0; entry < 2; ++entry) {
        w.takeUp(entry);
        QCOMPARE(w.question->text() + QLatin1Char(' ') + w.progress(), left.at(entry));
    }
}

QTEST_MAIN(TestResumeWindow)
#include "tst_resumewindow.moc"
