#include "strokeguide.h"

#include <QTest>

Q_DECLARE_METATYPE(GuideOutcome)

namespace {

StrokeFile load(const char *name)
{
    const auto file = readStrokeFile(QStringLiteral(STROKES_DATA "/") + QLatin1String(name));
    if (!file)
        qFatal("cannot read %s", name);
    return *file;
}

// The guide square of a pad, twice the stroke files' box.
const QRectF frame(40, 10, 218, 218);

// Stroke `index` of the file as drawn in the frame, moved by `shift` file units.
QPolygonF drawn(const StrokeFile &file, int index, QPointF shift = {})
{
    return frameTransform(file, frame).map(flattenPath(file.strokes.at(index).translated(shift)));
}

QPolygonF reversed(QPolygonF line)
{
    std::reverse(line.begin(), line.end());
    return line;
}

} // namespace

class TestStrokeGuide : public QObject
{
    Q_OBJECT

private slots:
    // Each refusal's reason, against か's first stroke expected.
    void refusals_data()
    {
        QTest::addColumn<QPolygonF>("line");
        QTest::addColumn<GuideOutcome>("outcome");
        QTest::addColumn<QString>("text");
        const StrokeFile ka = load("0304b.svg");
        QTest::newRow("as expected")
            << drawn(ka, 0) << GuideOutcome::Accepted << "Trait 1 sur 3 : bien.";
        QTest::newRow("a little off")
            << drawn(ka, 0, {4, -5}) << GuideOutcome::Accepted << "Trait 1 sur 3 : bien.";
        QTest::newRow("reversed") << reversed(drawn(ka, 0)) << GuideOutcome::Reversed
                                  << "Trait 1 sur 3 : dans le mauvais sens, recommencez.";
        QTest::newRow("later") << drawn(ka, 1) << GuideOutcome::Later
                               << "Trait 1 sur 3 : ce trait vient plus tard, recommencez.";
        QTest::newRow("misplaced") << drawn(ka, 0, {0, 30}) << GuideOutcome::Place
                                   << "Trait 1 sur 3 : mal placé, recommencez.";
        const QPolygonF straight{frame.topLeft() + QPointF(50, 75),
                                 frame.topLeft() + QPointF(120, 75)};
        QTest::newRow("straight") << straight << GuideOutcome::Shape
                                  << "Trait 1 sur 3 : forme à revoir, recommencez.";
        QTest::newRow("no points")
            << QPolygonF() << GuideOutcome::Place << "Trait 1 sur 3 : mal placé, recommencez.";
    }

    void refusals()
    {
        QFETCH(QPolygonF, line);
        QFETCH(GuideOutcome, outcome);
        QFETCH(QString, text);
        StrokeGuide guide({load("0304b.svg")}, frame);
        const GuideAnswer answer = guide.offer(line);
        QCOMPARE(answer.outcome, outcome);
        QCOMPARE(guideText(answer), text);
        QCOMPARE(guide.next(), outcome == GuideOutcome::Accepted ? 2 : 1);
        QCOMPARE(guide.misses(), outcome == GuideOutcome::Accepted ? 0 : 1);
    }

    // A question from its first refusal to its end: the hint from the third refusal of a
    // stroke, undo and restart keeping the refusals, completion, a stroke too many.
    void sequence()
    {
        const StrokeFile ka = load("0304b.svg");
        StrokeGuide guide({ka}, frame);
        QCOMPARE(guide.hint().number, 1);
        QCOMPARE(guide.hint().start, drawn(ka, 0).first());
        for (int i = 1; i <= 3; ++i) {
            const GuideAnswer answer = guide.offer(drawn(ka, 2));
            QCOMPARE(answer.hint, i == 3);
            QCOMPARE(answer.misses, i);
        }
        QVERIFY(guide.hintDue());
        QCOMPARE(guideText(guide.offer(drawn(ka, 2))),
                 QStringLiteral("Trait 1 sur 3 : suivez le modèle."));
        QVERIFY(guide.offer(drawn(ka, 0)).accepted());
        QVERIFY(!guide.hintDue());
        QCOMPARE(guide.hint().number, 2);
        QVERIFY(guide.undo());
        QCOMPARE(guide.next(), 1);
        QVERIFY(guide.hintDue());
        QVERIFY(guide.offer(drawn(ka, 0)).accepted());
        QVERIFY(guide.offer(drawn(ka, 1)).accepted());
        guide.restart();
        QCOMPARE(guide.next(), 1);
        QVERIFY(!guide.undo());
        for (int k = 0; k < 2; ++k)
            QVERIFY(!guide.offer(drawn(ka, k)).complete);
        const GuideAnswer last = guide.offer(drawn(ka, 2));
        QVERIFY(last.accepted() && last.complete && guide.isComplete());
        QCOMPARE(guideText(last), QStringLiteral("Tracé complet : 3 traits, 4 reprises."));
        QCOMPARE(guide.offer(drawn(ka, 2)).outcome, GuideOutcome::Complete);
        QVERIFY(guide.hint().path.isEmpty());
    }

    // The variant followed once the main file no longer fits: 主 with its vertical stroke last.
    void variant()
    {
        const StrokeFile main = load("04e3b.svg");
        const StrokeFile last = load("04e3b-VtLst.svg");
        StrokeGuide guide({main, last}, frame);
        for (int k = 0; k < 2; ++k)
            QVERIFY(guide.offer(drawn(last, k)).accepted());
        QCOMPARE(guide.reference(), 0);
        QVERIFY(guide.offer(drawn(last, 2)).accepted());
        QCOMPARE(guide.reference(), 1);
        QCOMPARE(guide.hint().start, drawn(last, 3).first());
        QVERIFY(guide.undo());
        QCOMPARE(guide.reference(), 0);
        QCOMPARE(guide.offer(drawn(last, 4)).outcome, GuideOutcome::Accepted);
        QCOMPARE(guide.offer(drawn(last, 3)).outcome, GuideOutcome::Later);
    }

    void completeTexts_data()
    {
        QTest::addColumn<int>("strokes");
        QTest::addColumn<int>("misses");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 3 << 0 << "Tracé complet : 3 traits, sans faute.";
        QTest::newRow("one of each") << 1 << 1 << "Tracé complet : 1 trait, 1 reprise.";
        QTest::newRow("several") << 12 << 5 << "Tracé complet : 12 traits, 5 reprises.";
    }

    void completeTexts()
    {
        QFETCH(int, strokes);
        QFETCH(int, misses);
        QFETCH(QString, text);
        QCOMPARE(guideCompleteText(strokes, misses), text);
    }
};

QTEST_GUILESS_MAIN(TestStrokeGuide)
#include "tst_strokeguide.moc"
