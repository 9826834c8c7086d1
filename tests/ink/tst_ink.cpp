#include "inkmodel.h"
#include "inkpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>

namespace {

// A horizontal line of width 4, a dot of width 10, and a vertical line of width 2 still open.
InkModel threeStrokes()
{
    InkModel model;
    model.startStroke({QPointF(20, 20), 0}, 4);
    model.appendPoint({QPointF(100, 20), 10});
    model.startStroke({QPointF(60, 60), 20}, 10);
    model.startStroke({QPointF(140, 20), 30}, 2);
    model.appendPoint({QPointF(140, 100), 40});
    return model;
}

} // namespace

class TestInk : public QObject
{
    Q_OBJECT

private slots:
    void recordsStrokesAsDrawn()
    {
        InkModel model;
        QVERIFY(!model.appendPoint({QPointF(1, 1), 0})); // no stroke open
        QVERIFY(model.startStroke({QPointF(10, 10), 0}, 5));
        QVERIFY(model.appendPoint({QPointF(20, 10), 16}));
        model.setOpenStrokeWidth(7);
        // Starting a stroke ends the one open.
        QVERIFY(model.startStroke({QPointF(50, 50), 400}, 3));
        model.endStroke();
        QVERIFY(!model.appendPoint({QPointF(60, 60), 500}));
        model.setOpenStrokeWidth(9);

        const Ink expected{InkStroke{{{QPointF(10, 10), 0}, {QPointF(20, 10), 16}}, 7},
                           InkStroke{{{QPointF(50, 50), 400}}, 3}};
        QCOMPARE(model.ink(), expected);
        model.clear();
        QVERIFY(model.isEmpty() && !model.strokeOpen());
    }

    void undoTakesBackTheLastStroke()
    {
        InkModel model = threeStrokes();
        QVERIFY(model.undoLastStroke());
        QVERIFY(!model.appendPoint({QPointF(6, 6), 60}));
        QCOMPARE(model.ink(), threeStrokes().ink().first(2));
        QVERIFY(model.undoLastStroke() && model.undoLastStroke());
        QVERIFY(!model.undoLastStroke());
    }

    void eraseTakesTheStrokesWithinReach_data()
    {
        // The eraser's radius is 3; each stroke's reach adds half its width.
        QTest::addColumn<QLineF>("eraser");
        QTest::addColumn<QList<int>>("kept");
        QTest::newRow("on a line") << QLineF(50, 20, 50, 20) << QList<int>{1, 2};
        QTest::newRow("just within reach of its edge")
            << QLineF(50, 24.9, 50, 24.9) << QList<int>{1, 2};
        QTest::newRow("just out of reach") << QLineF(50, 25.1, 50, 25.1) << QList<int>{0, 1, 2};
        QTest::newRow("beyond a line's end") << QLineF(104, 20, 104, 20) << QList<int>{1, 2};
        QTest::newRow("within reach of the wide dot")
            << QLineF(67.9, 60, 67.9, 60) << QList<int>{0, 2};
        QTest::newRow("across a line between its points")
            << QLineF(130, 60, 150, 60) << QList<int>{0, 1};
        QTest::newRow("from one stroke to another") << QLineF(50, 20, 140, 60) << QList<int>{1};
        QTest::newRow("nothing near") << QLineF(20, 120, 100, 120) << QList<int>{0, 1, 2};
    }

    void eraseTakesTheStrokesWithinReach()
    {
        QFETCH(QLineF, eraser);
        QFETCH(QList<int>, kept);
        const InkModel all = threeStrokes();
        InkModel model = all;
        QCOMPARE(model.eraseAlong(eraser.p1(), eraser.p2(), 3), kept.size() < 3);
        Ink expected;
        for (int i : kept)
            expected.append(all.ink()[i]);
        QCOMPARE(model.ink(), expected);
        // The open stroke stays open unless it went.
        QCOMPARE(model.strokeOpen(), kept.contains(2));
    }

    void caps_data()
    {
        QTest::addColumn<int>("strokes");
        QTest::addColumn<int>("points");
        QTest::newRow("strokes up to the cap") << int(maxInkStrokes) << 1;
        QTest::newRow("strokes past the cap") << int(maxInkStrokes) + 1 << 1;
        QTest::newRow("points up to the cap") << 1 << int(maxInkStrokePoints);
        QTest::newRow("points past the cap") << 2 << int(maxInkStrokePoints) + 10;
    }

    void caps()
    {
        QFETCH(int, strokes);
        QFETCH(int, points);
        InkModel model;
        int recorded = 0;
        for (int s = 0; s < strokes; ++s) {
            recorded += model.startStroke({QPointF(s, 0), s}, 5);
            for (int p = 1; p < points; ++p)
                recorded += model.appendPoint({QPointF(s, p), p});
        }
        const int keptStrokes = std::min<int>(strokes, maxInkStrokes);
        const int keptPoints = std::min<int>(points, maxInkStrokePoints);
        QCOMPARE(model.ink().size(), keptStrokes);
        QCOMPARE(model.ink().last().points.size(), keptPoints);
        QCOMPARE(recorded, keptStrokes * keptPoints);
        // Room taken back can be drawn on again.
        QVERIFY(model.undoLastStroke());
        QVERIFY(model.startStroke({QPointF(7, 7), 0}, 5));
    }

    void paintsAtAScale_data()
    {
        // A line from (10, 10) to (30, 10) of width 3 and a dot at (10, 30) of width 4, painted
        // at scale 2.
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<bool>("black");
        QTest::newRow("inside the line's width") << QPoint(40, 22) << true;
        QTest::newRow("outside its width") << QPoint(40, 25) << false;
        QTest::newRow("in its round cap") << QPoint(18, 20) << true;
        QTest::newRow("past its round cap") << QPoint(16, 20) << false;
        QTest::newRow("at the dot's edge") << QPoint(23, 60) << true;
        QTest::newRow("beside the dot") << QPoint(26, 60) << false;
    }

    void paintsAtAScale()
    {
        QFETCH(QPoint, pixel);
        QFETCH(bool, black);
        const Ink ink{InkStroke{{{QPointF(10, 10), 0}, {QPointF(30, 10), 0}}, 3},
                      InkStroke{{{QPointF(10, 30), 0}}, 4}};
        QImage image(80, 80, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            paintInk(painter, ink, 2);
        }
        QCOMPARE(qGray(image.pixel(pixel)) < 128, black);
    }
};

QTEST_GUILESS_MAIN(TestInk)
#include "tst_ink.moc"
