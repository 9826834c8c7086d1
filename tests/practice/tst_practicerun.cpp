// What the practice tells its observer, the progress it reports, and the runs that do not come
// from a file: a saved exercise taken up again and a review.
#include "practicerig.h"
#include "texts.h"

#include <QCryptographicHash>
#include <QTest>

namespace {

class RecordingObserver final : public PracticeObserver
{
public:
    void started() override { events << QStringLiteral("started"); }
    void posed(const PracticeRecord &r) override { events << "posed " + r.sound; }
    void shown(const PracticeRecord &r, const QString &path) override
    {
        events << "shown " + r.picture + ' ' + path.section(QLatin1Char('/'), -1);
    }
    void judged(const PracticeRecord &r, bool right) override
    {
        events << QStringLiteral("judged %1 %2").arg(r.sound, right ? "juste" : "faux");
    }
    void ended() override { events << QStringLiteral("ended"); }
    void cleared() override { events << QStringLiteral("cleared"); }

    QStringList events;
};

struct Rig : PracticeRig
{
    RecordingObserver observer;
    Rig() : PracticeRig({"images/vide.jpg", "images/a.jpg", "images/ka.jpg", "images/sa.jpg"})
    {
        practice.setObserver(&observer);
        practice.charger();
    }
    void openRecords(const QByteArray &bytes) { open(write(QStringLiteral("kana.txt"), bytes)); }
    QString progress() const
    {
        const Practice::Progress p = practice.progress();
        return QStringLiteral("%1%2 %3/%4 w%5 o%6%7")
            .arg(p.active ? "A" : "-", p.finished ? "F" : "-")
            .arg(p.right)
            .arg(p.inPlay)
            .arg(p.waiting)
            .arg(p.wrongOnce)
            .arg(p.secondPass ? " 2" : "");
    }
};

} // namespace

class TestPracticeRun : public QObject
{
    Q_OBJECT

private slots:
    void aRunAsTheObserverAndProgressSeeIt();
    void resetStartsAfresh();
    void failedOpeningClears();
    void mistakesAgain();
    void restore_data();
    void restore();
    void takeUp_data();
    void takeUp();
    void review();
};

void TestPracticeRun::aRunAsTheObserverAndProgressSeeIt()
{
    Rig rig;
    rig.openRecords("a=a.jpg=x*ka=ka.jpg=(egal)*sa=sa.jpg=*");
    QCOMPARE(rig.progress(), QStringLiteral("A- 0/3 w0 o0"));
    const QStringList steps{"SF", "SJ", "SJ", "SJ"};
    const QStringList progress{"A- 0/3 w1 o1", "A- 1/3 w1 o1", "A- 2/3 w1 o1 2", "-F 3/3 w0 o1 2"};
    for (qsizetype i = 0; i < steps.size(); ++i) {
        for (QChar c : steps.at(i))
            rig.run(c);
        QCOMPARE(rig.progress(), progress.at(i));
    }
    QCOMPARE(rig.observer.events,
             (QStringList{"cleared", "started", "posed a", "shown a.jpg a.jpg", "judged a faux",
                          "posed ka", "shown ka.jpg ka.jpg", "judged ka juste", "posed sa",
                          "shown sa.jpg sa.jpg", "judged sa juste", "posed a", "shown a.jpg a.jpg",
                          "judged a juste", "cleared", "ended"}));

    // The second pass shows once a record comes back.
    rig.observer.events.clear();
    rig.practice.reset();
    rig.run('S');
    rig.run('F');
    rig.run('S');
    rig.run('J');
    rig.run('S');
    rig.run('J');
    QCOMPARE(rig.progress(), QStringLiteral("A- 2/3 w1 o1 2"));
    QCOMPARE(rig.practice.currentRecord()->sound, QStringLiteral("a"));
}

void TestPracticeRun::resetStartsAfresh()
{
    Rig rig;
    rig.openRecords("a=a.jpg=*ka=ka.jpg=*");
    rig.run('S');
    rig.run('F');
    rig.practice.reset();
    QCOMPARE(rig.progress(), QStringLiteral("A- 0/2 w0 o0"));
}

void TestPracticeRun::failedOpeningClears()
{
    Rig rig;
    rig.openRecords("a=a.jpg=*ka=ka.jpg=*");
    rig.run('S');
    rig.observer.events.clear();
    rig.open(rig.write(QStringLiteral("bad.txt"), QByteArray("x*").repeated(10000)));
    QCOMPARE(rig.observer.events, QStringList{"cleared"});
    QCOMPARE(rig.progress(), QStringLiteral("-- 0/0 w0 o0"));
    QVERIFY(!rig.practice.currentRecord());
}

void TestPracticeRun::restore_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<QList<std::int16_t>>("trouves");
    QTest::addColumn<bool>("taken");

    QTest::newRow("first record") << 0 << QList<std::int16_t>{9999} << true;
    QTest::newRow("after one right") << 2 << QList<std::int16_t>{9999, 0} << true;
    QTest::newRow("posed one is found") << 0 << QList<std::int16_t>{9999, 0} << false;
    QTest::newRow("index past the records") << 3 << QList<std::int16_t>{9999} << false;
    QTest::newRow("negative index") << -1 << QList<std::int16_t>{9999} << false;
    QTest::newRow("no marker") << 1 << QList<std::int16_t>{0} << false;
    QTest::newRow("found twice") << 2 << QList<std::int16_t>{9999, 0, 0} << false;
    QTest::newRow("found out of range") << 2 << QList<std::int16_t>{9999, 7} << false;
    QTest::newRow("all found") << 2 << QList<std::int16_t>{9999, 0, 1, 2} << false;
}

void TestPracticeRun::restore()
{
    QFETCH(int, numero);
    QFETCH(QList<std::int16_t>, trouves);
    QFETCH(bool, taken);

    Rig rig;
    const QStringList lignes{"a=a.jpg=x", "ka=ka.jpg=", "sa=sa.jpg=", ""};
    const QString file = rig.path(QStringLiteral("kana.txt"));
    QCOMPARE(rig.practice.restore(file, lignes, std::int16_t(numero), trouves), taken);
    if (!taken) {
        QVERIFY(rig.practice.lignes().isEmpty());
        QVERIFY(rig.observer.events.isEmpty());
        return;
    }
    QCOMPARE(rig.practice.numero(), numero);
    QCOMPARE(rig.practice.trouves(), trouves);
    QCOMPARE(rig.window.question, lignes.at(numero).section(QLatin1Char('='), 0, 0));
    QCOMPARE(rig.window.caption, "~~Plumetto~~" + file);
    QVERIFY(rig.window.command1 && !rig.window.juste && !rig.window.faux);
    QCOMPARE(rig.practice.progress().right, trouves.size() - 1);
    // It plays on to its end.
    while (rig.practice.progress().active) {
        rig.run('S');
        rig.run('J');
    }
    QCOMPARE(rig.window.messages.last().text, texts::exerciseDone);
}

// The window's own test plays the mistakes through; here, when they are there and when not.
void TestPracticeRun::mistakesAgain()
{
    Rig rig;
    rig.openRecords("a=a.jpg=*ka=ka.jpg=*sa=sa.jpg=*");
    for (QChar c : QStringLiteral("SFSJSF"))
        rig.run(c);
    QVERIFY(!rig.practice.refaireErreurs()); // not before the end
    for (QChar c : QStringLiteral("SJSJ"))
        rig.run(c);
    QCOMPARE(rig.practice.mistakes(), (QStringList{"a=a.jpg=", "sa=sa.jpg="}));
    QVERIFY(rig.practice.refaireErreurs());
    QVERIFY(rig.practice.isReview() && rig.practice.mistakes().isEmpty());
    // The drill's own mistake can be drilled in turn; Reset puts it away.
    for (QChar c : QStringLiteral("SJSFSJ"))
        rig.run(c);
    QCOMPARE(rig.practice.mistakes(), QStringList{"sa=sa.jpg="});
    rig.run('R');
    QVERIFY(rig.practice.mistakes().isEmpty());
}

void TestPracticeRun::takeUp_data()
{
    QTest::addColumn<QByteArray>("bytesThen");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("taken");

    const QByteArray bytes = "a=a.jpg=x*ka=ka.jpg=*sa=sa.jpg=*";
    QTest::newRow("as left") << bytes << "" << true;
    QTest::newRow("kept by the records' text") << bytes << "texts" << true;
    QTest::newRow("file changed") << QByteArray("a=a.jpg=y*ka=ka.jpg=*sa=sa.jpg=*") << "" << false;
    QTest::newRow("order not of the file") << bytes << "order" << false;
    QTest::newRow("a found record waiting") << bytes << "waiting" << false;
}

void TestPracticeRun::takeUp()
{
    QFETCH(QByteArray, bytesThen);
    QFETCH(QString, damage);
    QFETCH(bool, taken);

    // In a random order: sa, ka, a.
    Rig rig;
    rig.practice.setFingerprinting(true);
    rig.window.randomChecked = true;
    rig.random.draws = {0.9, 0.0, 0.5};
    const QByteArray bytes = "a=a.jpg=x*ka=ka.jpg=*sa=sa.jpg=*";
    rig.openRecords(bytes);
    for (QChar c : QStringLiteral("SFSJ"))
        rig.run(c);
    QCOMPARE(rig.progress(), QStringLiteral("A- 1/3 w1 o1"));
    Practice::Place place = *rig.practice.place();
    QCOMPARE(place.sha256, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
    QCOMPARE(place.order, (QList<std::int16_t>{2, 1, 0}));
    if (damage == QLatin1String("texts")) {
        place.order.clear();
        place.records = rig.practice.lignes();
    } else if (damage == QLatin1String("order")) {
        place.order = {2, 2, 0};
    } else if (damage == QLatin1String("waiting")) {
        place.waiting = {1};
        place.wrongOnce = {0, 1};
    }
    const QString file = rig.write(QStringLiteral("kana.txt"), bytesThen);

    Rig later;
    QCOMPARE(later.practice.takeUp(file, place), taken);
    QVERIFY(later.window.messages.isEmpty());
    if (!taken) {
        QVERIFY(later.practice.lignes().isEmpty());
        QVERIFY(later.observer.events.isEmpty());
        return;
    }
    QCOMPARE(later.practice.lignes(), rig.practice.lignes());
    QCOMPARE(later.progress(), rig.progress());
    QCOMPARE(later.window.question, QStringLiteral("a"));
    QCOMPARE(later.window.caption, "~~Plumetto~~" + file);
    QCOMPARE(later.practice.fileSha256(), place.sha256);
    // The record judged wrong comes back as the second pass.
    for (QChar c : QStringLiteral("SJ"))
        later.run(c);
    QCOMPARE(later.progress(), QStringLiteral("A- 2/3 w1 o1 2"));
    QCOMPARE(later.window.question, QStringLiteral("sa"));
}

void TestPracticeRun::review()
{
    Rig rig;
    QVERIFY(!rig.practice.startReview({}));
    QVERIFY(rig.practice.startReview({"ka=ka.jpg=3 traits", "a=a.jpg="}));
    QVERIFY(rig.practice.isReview());
    QCOMPARE(rig.window.caption, QStringLiteral("~~Plumetto~~Révision"));
    QCOMPARE(rig.window.question, QStringLiteral("ka"));
    QCOMPARE(rig.progress(), QStringLiteral("A- 0/2 w0 o0"));
    // An opening afterwards is no review.
    rig.openRecords("a=a.jpg=*");
    QVERIFY(!rig.practice.isReview());
}

QTEST_GUILESS_MAIN(TestPracticeRun)
#include "tst_practicerun.moc"
