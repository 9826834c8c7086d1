#include "createdlayout.h"
#include "layoutrule.h"

#include <QTest>

#include <cmath>

namespace {

// What the rule writes, the other fields of the six controls being those of `base`.
struct Placed
{
    float padLeft, padWidth, padHeight;
    float justeLeft, justeTop, fauxLeft, fauxTop;
    float effacerLeft;
    float commTop, commHeight, commWidth;
    float imgHeight;

    LayoutControls over(LayoutControls c) const
    {
        c.picture1.left = padLeft;
        c.picture1.width = padWidth;
        c.picture1.height = padHeight;
        c.bouttonjuste.left = justeLeft;
        c.bouttonjuste.top = justeTop;
        c.bouttonfaux.left = fauxLeft;
        c.bouttonfaux.top = fauxTop;
        c.effacer.left = effacerLeft;
        c.commentaires.top = commTop;
        c.commentaires.height = commHeight;
        c.commentaires.width = commWidth;
        c.imagesoluce.height = imgHeight;
        return c;
    }
};

constexpr float tolerance = 0.05f;

bool sameRect(const TwipsRect &a, const TwipsRect &b, float within)
{
    return std::abs(a.left - b.left) <= within && std::abs(a.top - b.top) <= within &&
           std::abs(a.width - b.width) <= within && std::abs(a.height - b.height) <= within;
}

QByteArray describe(const TwipsRect &r)
{
    return QByteArray::number(r.left) + ", " + QByteArray::number(r.top) + ", " +
           QByteArray::number(r.width) + " x " + QByteArray::number(r.height);
}

// Compares every field of the six controls, so that a value the rule must leave alone is
// checked as closely as one that it writes.
void compareControls(const LayoutControls &actual, const LayoutControls &expected,
                     float within = tolerance)
{
    const struct
    {
        const char *name;
        TwipsRect LayoutControls::*rect;
    } controls[] = {
        {"Picture1", &LayoutControls::picture1},
        {"bouttonjuste", &LayoutControls::bouttonjuste},
        {"bouttonfaux", &LayoutControls::bouttonfaux},
        {"Effacer", &LayoutControls::effacer},
        {"commentaires", &LayoutControls::commentaires},
        {"imagesoluce", &LayoutControls::imagesoluce},
    };
    for (const auto &control : controls) {
        const TwipsRect &a = actual.*control.rect;
        const TwipsRect &e = expected.*control.rect;
        QVERIFY2(sameRect(a, e, within),
                 QByteArray(control.name) + ": got " + describe(a) + ", expected " + describe(e));
    }
}

bool allSizesPositive(const LayoutControls &c)
{
    for (const TwipsRect &r :
         {c.picture1, c.bouttonjuste, c.bouttonfaux, c.effacer, c.commentaires, c.imagesoluce}) {
        if (!(r.width > 0 && r.height > 0))
            return false;
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(Placed)

class TestLayoutRule : public QObject
{
    Q_OBJECT

private slots:
    void fromCreation_data();
    void fromCreation();
    void shrinkKeepsLastFullRun_data();
    void shrinkKeepsLastFullRun();
    void snapped_data();
    void snapped();
    void sizesStayPositive();
};

void TestLayoutRule::fromCreation_data()
{
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("h");
    QTest::addColumn<Placed>("placed");

    // Columns: pad left / width / height, Juste left, top, Faux left, top, Effacer left,
    // comment top / height / width, solution height.
    QTest::newRow("first show 6855 x 4485")
        << 6855.0f << 4485.0f << Placed{3427.5, 3227.5, 2785, 3427.5, 2985,   5127.5,
                                        2985,   5675,   2990, 664.4,  3127.5, 1490};
    QTest::newRow("9000 x 6000") << 9000.0f << 6000.0f
                                 << Placed{4500, 4300, 4300, 4500,  4500, 6200,
                                           4500, 7820, 4000, 888.9, 4200, 2500};
    QTest::newRow("12000 x 9000") << 12000.0f << 9000.0f
                                  << Placed{6000, 5800,  7300, 6000,   7500, 7700,
                                            7500, 10820, 6000, 1333.3, 5700, 4500};
    QTest::newRow("low 5000 x 3900")
        << 5000.0f << 3900.0f
        << Placed{3360, 3160, 2775, 3360, 3120, 5040, 3120, 5640, 2600, 577.8, 3135, 1100};
    QTest::newRow("narrow 3000 x 6000")
        << 3000.0f << 6000.0f
        << Placed{3360, 3160, 2775, 3360, 3120, 5040, 3120, 5640, 4000, 888.9, 3135, 2500};
    QTest::newRow("very low 6000 x 2100")
        << 6000.0f << 2100.0f
        << Placed{3360, 3160, 2775, 3360, 3120, 5040, 3120, 5640, 1400, 311.1, 3135, 1575};
    // The thresholds themselves count as small.
    QTest::newRow("exactly 4000 high")
        << 9000.0f << 4000.0f
        << Placed{3360, 3160, 2775, 3360, 3120, 5040, 3120, 5640, 2666.7, 592.6, 3135, 1166.7};
    QTest::newRow("exactly 3550 wide")
        << 3550.0f << 6000.0f
        << Placed{3360, 3160, 2775, 3360, 3120, 5040, 3120, 5640, 4000, 888.9, 3135, 2500};
    QTest::newRow("just above both")
        << 3551.0f << 4001.0f << Placed{1775.5, 1575.5, 2301,   1775.5, 2501,   3475.5,
                                        2501,   2371,   2667.3, 592.7,  1475.5, 1167.3};
    QTest::newRow("tall and narrow")
        << 1500.0f << 15000.0f
        << Placed{3360, 3160, 2775, 3360, 3120, 5040, 3120, 5640, 10000, 2222.2, 3135, 8500};
    // The solution picture keeps its height while the comment box's top is 1500 or less.
    QTest::newRow("2250 high") << 6000.0f << 2250.0f << Placed{3360, 3160, 2775, 3360,  3120, 5040,
                                                               3120, 5640, 1500, 333.3, 3135, 1575};
    QTest::newRow("2251 high") << 6000.0f << 2251.0f
                               << Placed{3360, 3160, 2775,   3360,  3120, 5040,
                                         3120, 5640, 1500.7, 333.5, 3135, 0.7};
}

void TestLayoutRule::fromCreation()
{
    QFETCH(float, w);
    QFETCH(float, h);
    QFETCH(Placed, placed);

    LayoutControls controls = created();
    applyLayout(w, h, controls, noSnap);
    compareControls(controls, placed.over(created()));
}

void TestLayoutRule::shrinkKeepsLastFullRun_data()
{
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("h");

    QTest::newRow("low") << 9000.0f << 3900.0f;
    QTest::newRow("narrow") << 3000.0f << 6000.0f;
    QTest::newRow("both thresholds") << 3550.0f << 4000.0f;
    QTest::newRow("tiny") << 1000.0f << 1000.0f;
}

void TestLayoutRule::shrinkKeepsLastFullRun()
{
    QFETCH(float, w);
    QFETCH(float, h);

    LayoutControls controls = created();
    applyLayout(9000, 6000, controls, noSnap);
    const LayoutControls full = controls;

    applyLayout(w, h, controls, noSnap);
    // The pad's left edge of the last full run carries over; only the height-driven values
    // and the pad's width (from that left edge) are written.
    LayoutControls expected = full;
    expected.picture1.width = 4300;
    expected.commentaires.top = h / 1.5f;
    expected.commentaires.height = h / 6.75f;
    if (h / 1.5f > 1500)
        expected.imagesoluce.height = h / 1.5f - 1500;
    compareControls(controls, expected);

    applyLayout(12000, 9000, controls, noSnap);
    const Placed grown{6000, 5800, 7300, 6000, 7500, 7700, 7500, 10820, 6000, 1333.3, 5700, 4500};
    compareControls(controls, grown.over(created()));
}

void TestLayoutRule::snapped_data()
{
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("h");
    QTest::addColumn<Placed>("placed");

    // Each later step reads what the platform made of the earlier ones: the pad's width and
    // Faux's left edge come from the snapped pad edge, the comment box's height from its snapped
    // top. W / 2 = 3427.5 snaps to 3435, so the width is 3240 (3225 from the unsnapped edge).
    QTest::newRow("6855 x 4485") << 6855.0f << 4485.0f
                                 << Placed{3435, 3240, 2790, 3435, 2985, 5130,
                                           2985, 5670, 2985, 660,  3135, 1485};
    // W / 2 = 3755.3 snaps to 3750, Faux 5445 (5460 unsnapped); top 2735.3 snaps to 2730, so
    // the height is 600 (615 from H / 6.75).
    QTest::newRow("7510.6 x 4103")
        << 7510.6f << 4103.0f
        << Placed{3750, 3555, 2400, 3750, 2610, 5445, 2610, 6330, 2730, 600, 3450, 1230};
    // W / 2 = 3745 snaps to 3750, width 3555 (3540 unsnapped); top 2805, height 630 (615).
    QTest::newRow("7490 x 4200") << 7490.0f << 4200.0f
                                 << Placed{3750, 3555, 2505, 3750, 2700, 5445,
                                           2700, 6315, 2805, 630,  3450, 1305};
}

void TestLayoutRule::snapped()
{
    QFETCH(float, w);
    QFETCH(float, h);
    QFETCH(Placed, placed);

    LayoutControls controls = created();
    applyLayout(w, h, controls, snapToPixel);
    compareControls(controls, placed.over(created()), 0);
    QCOMPARE(controls.bouttonjuste.left, controls.picture1.left);
    QCOMPARE(controls.commentaires.height, snapToPixel(controls.commentaires.top / 4.5f));
}

void TestLayoutRule::sizesStayPositive()
{
    // A window's outer height always holds at least its title bar and menu bar; 300 twips (20
    // pixels) is well below that. The state is carried from size to size, as in the window.
    for (Snap snap : {noSnap, snapToPixel}) {
        LayoutControls controls = created();
        for (float h = 300; h < 30000; h += 89.5f) {
            for (float w = 0; w < 30000; w += 97.3f) {
                applyLayout(w, h, controls, snap);
                if (!allSizesPositive(controls))
                    QFAIL(
                        qPrintable(QStringLiteral("a size not above 0 at %1 x %2").arg(w).arg(h)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestLayoutRule)
#include "tst_layoutrule.moc"
