#include "createdlayout.h"
#include "drawingpad.h"
#include "form1.h"
#include "layoutrule.h"
#include "randomsource.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const char *const ruledControls[] = {"Picture1", "bouttonjuste", "bouttonfaux",
                                     "Effacer",  "commentaires", "imagesoluce"};

TwipsRect LayoutControls::*const ruledRects[] = {
    &LayoutControls::picture1, &LayoutControls::bouttonjuste, &LayoutControls::bouttonfaux,
    &LayoutControls::effacer,  &LayoutControls::commentaires, &LayoutControls::imagesoluce,
};

QRectF inTwips(const QRect &r)
{
    return {r.x() * twipsPerPixel, r.y() * twipsPerPixel, r.width() * twipsPerPixel,
            r.height() * twipsPerPixel};
}

QRectF asRect(const TwipsRect &r)
{
    return {r.left, r.top, r.width, r.height};
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

    // The rule runs on the outer size, and only the pad's left edge carries over from one run
    // to the next, so the expected places are the rule applied to the same sizes in turn.
    LayoutControls expected = created();
    const QSize sizes[] = {{}, {1024, 768}, {400, 300}, {600, 200}, {220, 700}, {1024, 768}};
    for (const QSize &size : sizes) {
        if (size.isValid()) {
            form.resize(size);
            QTRY_COMPARE(form.size(), size);
        }
        const QRect outer = form.frameGeometry();
        applyLayout(outer.width() * twipsPerPixel, outer.height() * twipsPerPixel, expected);
        for (std::size_t i = 0; i < std::size(ruledControls); ++i) {
            const auto *control = form.findChild<QWidget *>(QLatin1String(ruledControls[i]));
            QVERIFY(control);
            const QByteArray where = QByteArray(ruledControls[i]) + " at " +
                                     (size.isValid() ? QByteArray::number(size.width()) + " x " +
                                                           QByteArray::number(size.height())
                                                     : QByteArray("first show"));
            QVERIFY2(inTwips(control->geometry()) == asRect(expected.*ruledRects[i]), where);
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
