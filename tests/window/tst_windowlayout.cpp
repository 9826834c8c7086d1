#include "drawingpad.h"
#include "form1.h"
#include "layoutrule.h"
#include "randomsource.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const char *const ruledControls[] = {"Picture1", "bouttonjuste", "bouttonfaux",
                                     "Effacer",  "commentaires", "imagesoluce"};

// The six controls' places after the window's outer size became `outer` (pixels of 15 twips).
struct Placed
{
    QSize outer;
    QRect places[std::size(ruledControls)];
};

QByteArray describe(const QRect &r)
{
    return QByteArray::number(r.x()) + ", " + QByteArray::number(r.y()) + ", " +
           QByteArray::number(r.width()) + " x " + QByteArray::number(r.height());
}

bool isBlack(const QImage &image, QPoint at)
{
    return qGray(image.pixel(at)) < 64;
}

} // namespace

class TestWindowLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void followsEveryResize();
    void drawingSurvivesShrinkAndRegrow();

private:
    QTemporaryDir m_programFolder;
};

void TestWindowLayout::initTestCase()
{
    QVERIFY(m_programFolder.isValid());
}

void TestWindowLayout::followsEveryResize()
{
    SystemRandom random(1);
    Form1 form(random, m_programFolder.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize frame = form.frameGeometry().size() - form.size();

    const auto placesOf = [&form] {
        QList<QRect> places;
        for (const char *name : ruledControls) {
            const auto *control = form.findChild<QWidget *>(QLatin1String(name));
            places << (control ? control->geometry() : QRect());
        }
        return places;
    };
    // The first show runs the rule on the designed size plus the menu bar and the frame, above
    // both thresholds: the pad's left edge at half the outer width (rounded up), its height and
    // the buttons' top 113 and 100 pixels above the outer bottom, Effacer 79 left of the outer
    // right edge.
    const QSize first = form.frameGeometry().size();
    QVERIFY(first.width() >= 237 && first.height() >= 267);
    const QList<QRect> shown = placesOf();
    QCOMPARE(shown.at(0).left(), (first.width() + 1) / 2);
    QCOMPARE(shown.at(0).height(), first.height() - 113);
    QCOMPARE(shown.at(1).top(), first.height() - 100);
    QCOMPARE(shown.at(3).left(), first.width() - 79);

    // Worked by hand from the rule, in pixels of 15 twips. Above both thresholds (height over
    // 4000 twips, i.e. 267 pixels or more; width over 3550, i.e. 237 or more) the pad's left
    // edge is half the width, its height H - 113, the buttons' top H - 100, Faux 113 right of
    // the pad, Effacer at W - 79, the comment box 20 narrower than the pad's left edge. At any
    // size the pad is 13 narrower than its left edge, the comment box's top is 2H / 3, its
    // height top / 4.5, and the picture's height top - 100 while the top is over 100. What the
    // rule does not write carries over from the size before.
    const Placed steps[] = {
        {{1024, 768},
         {{512, 8, 499, 655},
          {512, 668, 97, 33},
          {625, 668, 97, 33},
          {945, 8, 65, 25},
          {8, 512, 492, 114},
          {8, 88, 209, 412}}},
        {{400, 267},
         {{200, 8, 187, 154},
          {200, 167, 97, 33},
          {313, 167, 97, 33},
          {321, 8, 65, 25},
          {8, 178, 180, 40},
          {8, 88, 209, 78}}},
        {{600, 266},
         {{200, 8, 187, 154},
          {200, 167, 97, 33},
          {313, 167, 97, 33},
          {321, 8, 65, 25},
          {8, 177, 180, 39},
          {8, 88, 209, 77}}},
        {{236, 700},
         {{200, 8, 187, 154},
          {200, 167, 97, 33},
          {313, 167, 97, 33},
          {321, 8, 65, 25},
          {8, 467, 180, 104},
          {8, 88, 209, 367}}},
        {{237, 700},
         {{119, 8, 106, 587},
          {119, 600, 97, 33},
          {232, 600, 97, 33},
          {158, 8, 65, 25},
          {8, 467, 99, 104},
          {8, 88, 209, 367}}},
        {{500, 151},
         {{119, 8, 106, 587},
          {119, 600, 97, 33},
          {232, 600, 97, 33},
          {158, 8, 65, 25},
          {8, 101, 99, 22},
          {8, 88, 209, 1}}},
        {{500, 150},
         {{119, 8, 106, 587},
          {119, 600, 97, 33},
          {232, 600, 97, 33},
          {158, 8, 65, 25},
          {8, 100, 99, 22},
          {8, 88, 209, 1}}},
    };
    // Back to the first size, every place is that of the first size again.
    for (const int index : {0, 1, 2, 3, 4, 5, 6, 0}) {
        const Placed &step = steps[index];
        form.resize(step.outer - frame);
        QTRY_COMPARE(form.frameGeometry().size(), step.outer);
        const QList<QRect> places = placesOf();
        for (std::size_t i = 0; i < std::size(ruledControls); ++i) {
            const QByteArray where = QByteArray(ruledControls[i]) + " at " +
                                     QByteArray::number(step.outer.width()) + " x " +
                                     QByteArray::number(step.outer.height());
            QVERIFY2(places.at(qsizetype(i)) == step.places[i],
                     where + ": got " + describe(places.at(qsizetype(i))) + ", expected " +
                         describe(step.places[i]));
        }
    }
}

void TestWindowLayout::drawingSurvivesShrinkAndRegrow()
{
    SystemRandom random(1);
    Form1 form(random, m_programFolder.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(1024, 768);
    QTRY_COMPARE(form.size(), QSize(1024, 768));

    auto *pad = form.findChild<DrawingPad *>(QStringLiteral("Picture1"));
    QVERIFY(pad);
    const QPoint onLine(210, 260);
    const QPoint offLine(400, 40);
    QVERIFY(pad->rect().contains(onLine) && pad->rect().contains(offLine));
    pad->setDrawWidth(5);
    pad->setCurrentPoint({20, 20});
    pad->drawLineTo({400, 500});
    QVERIFY(isBlack(pad->grab().toImage(), onLine));

    // Small enough to cut the point off, yet above the thresholds so that the pad shrinks.
    form.resize(400, 300);
    QTRY_COMPARE(form.size(), QSize(400, 300));
    QVERIFY(!pad->rect().contains(onLine));

    form.resize(1024, 768);
    QTRY_COMPARE(form.size(), QSize(1024, 768));
    QVERIFY(pad->rect().contains(onLine));
    const QImage shown = pad->grab().toImage();
    QVERIFY(isBlack(shown, onLine));
    QVERIFY(!isBlack(shown, offLine));
}

QTEST_MAIN(TestWindowLayout)
#include "tst_windowlayout.moc"
