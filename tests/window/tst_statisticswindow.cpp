#include "history.h"
#include "inkcodec.h"
#include "picturebox.h"
#include "statisticstexts.h"
#include "statisticswindow.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSettings>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTest>

class TestStatisticsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::addLibraryPath(QStringLiteral(PLUMETTO_APP_DIR)); }
    void opensWithData();
    void notesTheDrawingsItCannotShow();
    void tilesOfTheCatalogue();
};

namespace {

int notesIn(const QWidget *drawings)
{
    int notes = 0;
    for (const QLabel *label : drawings->findChildren<QLabel *>())
        notes += label->text() == statisticstexts::drawingNotShown;
    return notes;
}

} // namespace

void TestStatisticsWindow::opensWithData()
{
    QTemporaryDir dir;
    const QString images = dir.filePath(QStringLiteral("images"));
    QVERIFY(QDir().mkpath(images + QStringLiteral("/hiragana")));
    // The @2x twin is the same character drawn larger: no cell of its own.
    for (const char *name : {"hiragana/a.png", "hiragana/i.png", "hiragana/i@2x.png"}) {
        QImage picture(20, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(images + QLatin1Char('/') + QLatin1String(name)));
    }

    History history(dir.filePath(QStringLiteral("data")));
    QVERIFY(history.open());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString run = History::newUid();
    for (int n = 0; n < 3; ++n) {
        History::Judgement j;
        j.at = now.addSecs(-60 * (3 - n));
        j.sound = QStringLiteral("a");
        j.picture = QStringLiteral("hiragana/a.png");
        j.verdict = n == 1 ? History::Verdict::Faux : History::Verdict::Juste;
        j.run = run;
        InkStroke stroke;
        stroke.points = {{QPointF(10, 10), 0}, {QPointF(40, 60 + n), 50}};
        j.strokes = encodeInk({stroke});
        QVERIFY(history.record(j));
    }
    // Bytes that do not decode get a note in place of the drawing.
    History::Judgement damaged;
    damaged.at = now.addSecs(-600);
    damaged.picture = QStringLiteral("hiragana/a.png");
    damaged.strokes = QByteArray("\x7f\x01garbage");
    damaged.run = run;
    QVERIFY(history.record(damaged));
    History::Judgement ka;
    ka.at = now;
    ka.sound = QStringLiteral("ka");
    // A picture named by its code point shows as the character.
    ka.picture = QStringLiteral("katakana\\030ab.png");
    QVERIFY(history.record(ka));

    QWidget main;
    auto *window = new StatisticsWindow(history, images, &main, now);
    QCOMPARE(window->objectName(), QStringLiteral("statistiques"));
    QVERIFY(window->isWindow());
    QCOMPARE(window->parentWidget(), &main);
    QVERIFY(window->loaded());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(!window->isModal());

    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("totaux"))->text(),
             statisticstexts::totals.arg(2).arg(5).arg(80).arg(0));

    auto *grid = window->findChild<CharacterGrid *>(QStringLiteral("grille"));
    QVERIFY(grid);
    QCOMPARE(grid->groups().size(), 2);
    const CharacterGrid::Group &hiragana = grid->groups().at(0);
    QCOMPARE(hiragana.folder, QStringLiteral("hiragana"));
    QCOMPARE(hiragana.cells.size(), 2);
    // Judged a minute ago: green; never judged: grey.
    QVERIFY(hiragana.cells[0].colour.hueF() > 0.3 && hiragana.cells[0].colour.hueF() < 0.34);
    QCOMPARE(hiragana.cells[1].picture, QStringLiteral("hiragana/i.png"));
    QCOMPARE(hiragana.cells[1].colour.saturation(), 0);
    QVERIFY(hiragana.cells[0].tip.contains(QStringLiteral("Jugements : 4")));
    QCOMPARE(hiragana.cells[0].label, QStringLiteral("a"));
    QCOMPARE(hiragana.cells[1].label, QStringLiteral("i"));
    QCOMPARE(grid->groups().at(1).cells.at(0).label, QStringLiteral("\u30ab"));

    auto *chart = window->findChild<QChartView *>(QStringLiteral("graphique"));
    QVERIFY(chart);
    const auto series = chart->chart()->series();
    QCOMPARE(series.size(), 1);
    const auto sets = static_cast<QStackedBarSeries *>(series.first())->barSets();
    QCOMPARE(sets.size(), 2);
    QCOMPARE(sets[0]->count(), 30);
    QCOMPARE(sets[0]->sum(), 4.0);
    QCOMPARE(sets[1]->sum(), 1.0);
    // Every fifth day is labelled, away from the chart's edges.
    auto *days = qobject_cast<QBarCategoryAxis *>(chart->chart()->axes(Qt::Horizontal).first());
    QVERIFY(days);
    QCOMPARE(days->count(), 30);
    QStringList labelled;
    for (const QString &label : days->categories())
        if (!label.trimmed().remove(QChar(0x200B)).isEmpty())
            labelled.append(label);
    QCOMPARE(labelled.size(), 6);
    QCOMPARE(labelled.first(),
             now.toLocalTime().date().addDays(-27).toString(statisticstexts::dayFormat));

    const QRect cell = grid->cellRect(QStringLiteral("hiragana/a.png"));
    QVERIFY(cell.isValid());
    QTest::mouseClick(grid, Qt::LeftButton, {}, cell.center());
    QVERIFY(!window->findChild<PictureBox *>(QStringLiteral("solution"))->picture().isNull());
    QCOMPARE(
        window->findChild<QLabel *>(QStringLiteral("titredessins"))->text(),
        statisticstexts::drawingsOf.arg(QStringLiteral("a"), QStringLiteral("hiragana/a.png")));
    auto *drawings = window->findChild<QWidget *>(QStringLiteral("dessins"));
    const auto views = drawings->findChildren<InkView *>();
    QCOMPARE(views.size(), 3);
    // Each drawing with its date and verdict, the latest first.
    const auto captions = drawings->findChildren<QLabel *>(QStringLiteral("legende"));
    QCOMPARE(captions.size(), 4);
    QCOMPARE(captions.first()->text(),
             statisticstexts::drawingCaption.arg(
                 now.addSecs(-60).toLocalTime().toString(statisticstexts::drawingDateFormat),
                 statisticstexts::verdictRight));
    QCOMPARE(views.first()->ink().first().points.last().pos, QPointF(40, 62));
    QCOMPARE(notesIn(drawings), 1);
}

void TestStatisticsWindow::notesTheDrawingsItCannotShow()
{
    QTemporaryDir dir;
    History history(dir.filePath(QStringLiteral("data")));
    QVERIFY(history.open());
    const InkStroke dot{{{QPointF(1, 1), 0}}, 5};
    InkStroke tooLong;
    for (int i = 0; i <= maxInkStrokePoints; ++i)
        tooLong.points.append({QPointF(i, i), i});
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const Ink &ink : {Ink(maxInkStrokes, dot), Ink(maxInkStrokes + 1, dot), Ink{tooLong}}) {
        History::Judgement j;
        j.at = now;
        j.picture = QStringLiteral("a.png");
        j.strokes = encodeInk(ink);
        QVERIFY(history.record(j));
    }
    StatisticsWindow window(history, dir.path(), nullptr, now);
    window.showCharacter(QStringLiteral("a.png"));
    const auto *drawings = window.findChild<QWidget *>(QStringLiteral("dessins"));
    QCOMPARE(drawings->findChildren<InkView *>().size(), 1);
    QCOMPARE(notesIn(drawings), 2);
}

// The characters of the catalogue show as such, in its order, the others after by name; the
// last judgement "Faux" shows red until one "Juste".
void TestStatisticsWindow::tilesOfTheCatalogue()
{
    QTemporaryDir dir;
    const QDir program(dir.path());
    QVERIFY(program.mkpath(QStringLiteral("images/hiragana")));
    QVERIFY(program.mkpath(QStringLiteral("exercices")));
    QFile catalogue(program.filePath(QStringLiteral("exercices/catalogue.tsv")));
    QVERIFY(catalogue.open(QIODevice::WriteOnly));
    catalogue.write("# character\trecord\tcourse\n"
                    "\xe3\x81\x98\tji=hiragana/ji.png=\thiragana.txt\n"
                    "\xe3\x81\xa2\tji (di)=hiragana/di.png=\thiragana.txt\n");
    catalogue.close();
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (const char *name : {"ji", "di", "ba", "zz"})
        QVERIFY(picture.save(program.filePath(QStringLiteral("images/hiragana/%1.png").arg(name))));

    History history(dir.filePath(QStringLiteral("data")));
    QVERIFY(history.open());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto judge = [&](const char *picture, History::Verdict verdict, int secondsAgo) {
        History::Judgement j;
        j.at = now.addSecs(-secondsAgo);
        j.sound = QStringLiteral("ji");
        j.picture = QLatin1String(picture);
        j.verdict = verdict;
        return history.record(j);
    };
    QVERIFY(judge("hiragana/ji.png", History::Verdict::Juste, 120));
    QVERIFY(judge("hiragana/ji.png", History::Verdict::Faux, 60));
    QVERIFY(judge("hiragana/zz.png", History::Verdict::Juste, 60));

    const QString images = program.filePath(QStringLiteral("images"));
    const auto cells = [&] {
        StatisticsWindow window(history, images, nullptr, now);
        return window.findChild<CharacterGrid *>()->groups().value(0).cells;
    };
    QList<CharacterGrid::Cell> shown = cells();
    QStringList order;
    for (const CharacterGrid::Cell &cell : shown)
        order.append(cell.label + QLatin1Char('|') + cell.reading);
    QCOMPARE(order, (QStringList{"\u3058|ji", "\u3062|ji (di)", "ba|", "ji|"}));
    QCOMPARE(shown[0].colour.hue(), 0);

    QVERIFY(judge("hiragana/ji.png", History::Verdict::Juste, 0));
    shown = cells();
    QCOMPARE(shown[0].label, QStringLiteral("\u3058"));
    QVERIFY(shown[0].colour.hueF() > 0.3 && shown[0].colour.hueF() < 0.34);
}

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
