// The pad's recorded ink: strokes and times, undo, the guide grid, the pen's pressure,
// the eraser and the verdict over the drawing.

#include "padrig.h"

class TestDrawingPadInk : public QObject
{
    Q_OBJECT

private slots:
    void recordsStrokesWithTimes()
    {
        DrawingPad pad;
        QSignalSpy changed(&pad, &DrawingPad::inkChanged);
        drag(&pad, {{20, 20}, {60, 20}, {60, 70}});
        // A click alone, and a press with two buttons, add no stroke of their own.
        drag(&pad, {{150, 150}});
        QTest::qWait(40);
        drag(&pad, {{100, 30}, {140, 90}}, Qt::LeftButton | Qt::RightButton);
        QCOMPARE(changed.count(), 2);

        const Ink &ink = pad.ink();
        QCOMPARE(ink.size(), 2);
        QCOMPARE(positions(ink[0]), (QList<QPointF>{{20, 20}, {60, 20}, {60, 70}}));
        QCOMPARE(positions(ink[1]), (QList<QPointF>{{100, 30}, {140, 90}}));
        QCOMPARE(ink[0].width, 5.0);
        QCOMPARE(ink[0].points[0].ms, 0);
        QVERIFY(ink[0].points[2].ms >= ink[0].points[1].ms);
        QVERIFY(ink[1].points[0].ms >= 40);
        QVERIFY(ink[1].points[1].ms >= ink[1].points[0].ms);

        pad.clear();
        QVERIFY(pad.ink().isEmpty());
        QCOMPARE(changed.count(), 3);
        pad.clear();
        QCOMPARE(changed.count(), 3);
        // The clock starts again with the first point after a clear.
        drag(&pad, {{10, 10}, {30, 10}});
        QCOMPARE(pad.ink().first().points.first().ms, 0);
    }

    void inkMatchesThePixels()
    {
        // A move with a button but no press (the pad was cleared during a stroke) draws from
        // the current point: the stroke starts there too, so that redrawing it gives the same.
        DrawingPad pad;
        drag(&pad, {{20, 20}, {80, 20}});
        pad.clear();
        moveTo(&pad, {40, 60}, Qt::LeftButton);
        moveTo(&pad, {90, 60}, Qt::NoButton);
        moveTo(&pad, {90, 100}, Qt::LeftButton);
        QCOMPARE(pad.ink().size(), 2);
        QCOMPARE(positions(pad.ink()[0]), (QList<QPointF>{{0, 0}, {40, 60}}));
        QCOMPARE(positions(pad.ink()[1]), (QList<QPointF>{{40, 60}, {90, 100}}));
        const QImage drawn = pad.image();
        drag(&pad, {{150, 150}, {160, 160}});
        pad.undoLastStroke();
        QCOMPARE(pad.image(), drawn);
    }

    void undoDrawsTheRemainingStrokesAlone()
    {
        // Crossing strokes of several widths, a pen tap among them.
        const auto drawStrokes = [](DrawingPad &pad, int count) {
            if (count > 0)
                drag(&pad, {{20, 20}, {120, 120}, {180, 40}});
            if (count > 1)
                penStroke(&pad, {{20, 100}, {100, 20}, {190, 110}}, 1.0);
            if (count > 2)
                penStroke(&pad, {{60, 60}}, 0.5);
            if (count > 3)
                penStroke(&pad, {{10, 60}, {190, 62}}, 0.0);
        };
        DrawingPad pad;
        drawStrokes(pad, 4);
        QCOMPARE(pad.ink().size(), 4);
        for (int left = 3; left >= 0; --left) {
            QSignalSpy changed(&pad, &DrawingPad::inkChanged);
            pad.undoLastStroke();
            QCOMPARE(changed.count(), 1);
            QCOMPARE(pad.ink().size(), left);
            DrawingPad reference;
            drawStrokes(reference, left);
            QVERIFY2(pad.image() == reference.image(), qPrintable(QString::number(left)));
        }
        QVERIFY(allWhite(pad.image()));
        QSignalSpy changed(&pad, &DrawingPad::inkChanged);
        pad.undoLastStroke();
        QCOMPARE(changed.count(), 0);
    }

    void drawsNoMoreThanItRecords()
    {
        DrawingPad pad;
        for (int s = 0; s < maxInkStrokes; ++s)
            drag(&pad, {{10, 10.0 + s}, {20, 10.0 + s}});
        const QImage full = pad.image();
        QSignalSpy changed(&pad, &DrawingPad::inkChanged);
        drag(&pad, {{100, 100}, {140, 140}});
        penStroke(&pad, {{100, 140}}, 1.0);
        QCOMPARE(pad.ink().size(), maxInkStrokes);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(pad.image(), full);

        pad.clear();
        pad.setCurrentPoint({10, 100});
        for (int p = 1; p < maxInkStrokePoints; ++p)
            pad.drawLineTo({10 + p / 64.0, 100});
        pad.drawLineTo({120, 140});
        QCOMPARE(pad.ink().first().points.size(), maxInkStrokePoints);
        QVERIFY(isInk(pad, {60, 100}));
        QVERIFY(!isInk(pad, {97, 120})); // halfway to the point not recorded
    }

    void guideGridIsNeverInTheImage()
    {
        DrawingPad pad;
        pad.resize(300, 200);
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        QVERIFY(!pad.guideGrid());
        drag(&pad, {{100, 100}, {200, 100}});
        const QImage drawn = pad.image();
        QCOMPARE(greyPixelsInColumn(pad.grab().toImage(), 150), 0);

        pad.setGuideGrid(true);
        QVERIFY(pad.guideGrid());
        const QImage shot = pad.grab().toImage();
        QCOMPARE(pad.image(), drawn);
        // The edges, the centre cross and the quarter lines of the centred 200 x 200 square.
        for (int x : {50, 100, 150, 200, 249})
            QVERIFY2(greyPixelsInColumn(shot, x) > 20, qPrintable(QString::number(x)));
        QCOMPARE(greyPixelsInColumn(shot, 40), 0);
        // Between the lines, only where the horizontal ones cross.
        QVERIFY(greyPixelsInColumn(shot, 125) <= 2 * shot.devicePixelRatio());
        // The drawing stays black over the lines.
        QVERIFY(inkAt(shot, {150, 100}) > 0.9);
        QVERIFY(inkAt(shot, {100, 100}) > 0.9);

        pad.setGuideGrid(false);
        QCOMPARE(greyPixelsInColumn(pad.grab().toImage(), 150), 0);
    }

    void penWidthFollowsPressure_data()
    {
        QTest::addColumn<qreal>("pressure");
        QTest::addColumn<int>("width");
        QTest::newRow("lightest") << 0.0 << 2;
        QTest::newRow("half") << 0.5 << 6;
        QTest::newRow("firmest") << 1.0 << 9;
        QTest::newRow("above 1") << 1.7 << 9;
        QTest::newRow("negative") << -0.3 << 2;
        QTest::newRow("not a number") << qQNaN() << 2;
    }

    void penWidthFollowsPressure()
    {
        QFETCH(qreal, pressure);
        QFETCH(int, width);
        DrawingPad pad;
        penStroke(&pad, {{20, 50}, {100, 50}, {180, 80}}, pressure);
        QCOMPARE(pad.ink().size(), 1);
        QCOMPARE(pad.ink()[0].width, qreal(width));

        DrawingPad reference;
        reference.setDrawWidth(width);
        reference.setCurrentPoint({20, 50});
        reference.drawLineTo({100, 50});
        reference.drawLineTo({180, 80});
        QCOMPARE(pad.image(), reference.image());

        // The mouse keeps its own width.
        drag(&pad, {{20, 120}, {180, 120}});
        QCOMPARE(pad.ink()[1].width, 5.0);
    }

    void penStrokeTakesItsFirmestPressure()
    {
        DrawingPad pad;
        sendTablet(&pad, QEvent::TabletPress, {20, 50}, 0.0);
        sendTablet(&pad, QEvent::TabletMove, {100, 50}, 1.0);
        sendTablet(&pad, QEvent::TabletMove, {180, 50}, 0.3);
        sendTablet(&pad, QEvent::TabletRelease, {180, 50}, 0.0);
        QCOMPARE(pad.ink()[0].width, 9.0);
        DrawingPad reference;
        penStroke(&reference, {{20, 50}, {100, 50}, {180, 50}}, 1.0);
        QCOMPARE(pad.image(), reference.image());
    }

    void penTapDrawsADot()
    {
        DrawingPad pad;
        QSignalSpy changed(&pad, &DrawingPad::inkChanged);
        // Every tablet event is taken, so that Qt makes no mouse events of them.
        QVERIFY(sendTablet(&pad, QEvent::TabletPress, {50, 50}, 1.0));
        // A move that does not move, as pens send when the pressure changes.
        QVERIFY(sendTablet(&pad, QEvent::TabletMove, {50, 50}, 1.0));
        QVERIFY(sendTablet(&pad, QEvent::TabletRelease, {50, 50}, 0.0));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(pad.ink().size(), 1);
        QCOMPARE(positions(pad.ink()[0]), QList<QPointF>{QPointF(50, 50)});
        QVERIFY(isInk(pad, {50, 50}));
        QVERIFY(isInk(pad, {53, 50}));
        QVERIFY(!isInk(pad, {56, 50}));
        // A hovering pen draws nothing.
        QVERIFY(sendTablet(&pad, QEvent::TabletMove, {120, 120}, 0.0));
        QCOMPARE(pad.ink().size(), 1);
        QVERIFY(!isInk(pad, {85, 85}));
    }

    void eraserRemovesTheStrokesItCrosses()
    {
        constexpr auto eraser = QPointingDevice::PointerType::Eraser;
        DrawingPad pad;
        drag(&pad, {{20, 20}, {180, 20}});
        drag(&pad, {{20, 60}, {180, 60}});
        penStroke(&pad, {{20, 100}, {180, 100}}, 0.5);
        penStroke(&pad, {{100, 140}}, 0.5);
        QSignalSpy changed(&pad, &DrawingPad::inkChanged);
        // Across the second stroke, and just beside the others.
        penStroke(&pad, {{100, 40}, {100, 80}, {120, 89}}, 0.5, eraser);
        QCOMPARE(changed.count(), 1);
        DrawingPad reference;
        drag(&reference, {{20, 20}, {180, 20}});
        penStroke(&reference, {{20, 100}, {180, 100}}, 0.5);
        penStroke(&reference, {{100, 140}}, 0.5);
        QCOMPARE(pad.ink().size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(positions(pad.ink()[i]), positions(reference.ink()[i]));
        QCOMPARE(pad.image(), reference.image());
        // A touch on the dot.
        penStroke(&pad, {{103, 142}}, 0.5, eraser);
        QCOMPARE(pad.ink().size(), 2);
        QVERIFY(!isInk(pad, {100, 140}));
        QVERIFY(isInk(pad, {100, 100}));
    }

    void verdictAndOverlayOverTheDrawing()
    {
        DrawingPad pad;
        pad.resize(300, 200);
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        auto *label = pad.findChild<QLabel *>(QStringLiteral("verdict"));
        QVERIFY(label && !label->isVisible());
        drag(&pad, {{20, 100}, {180, 100}});
        drag(&pad, {{0, 195}, {60, 195}});
        const QImage drawn = pad.image();

        // A long text keeps to one line at the pad's bottom-left, cut on screen and whole in
        // its tooltip, and follows that corner; the ink shows through its ground.
        const QString text = QStringLiteral("Trait 12 : tracé en position 3, revoyez l'ordre "
                                            "des traits. Trait 12 : tracé en position 3.");
        pad.setVerdict(text);
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), text);
        QCOMPARE(label->toolTip(), text);
        QCOMPARE(label->geometry(), QRect(0, 200 - label->height(), 300, label->height()));
        QVERIFY(label->height() < 2 * label->fontMetrics().height());
        const qreal throughGround = inkAt(pad.grab().toImage(), {2, 195});
        QVERIFY(throughGround > 0.2 && throughGround < 0.8);
        pad.resize(400, 300);
        QTRY_COMPARE(label->geometry().bottom(), 299);
        pad.resize(300, 200);
        QTRY_COMPARE(label->geometry().bottom(), 199);

        // The stroke is painted over the drawing and the verdict alike.
        QPainterPath stroke({100, 20});
        stroke.lineTo(100, 199);
        pad.setOverlay(stroke, 3, {110, 30});
        QCOMPARE(pad.image(), drawn);
        const QImage shot = pad.grab().toImage();
        for (const QPointF at : {QPointF(100, 60), QPointF(100, 190)}) {
            const QColor onStroke = shot.pixelColor((at * shot.devicePixelRatio()).toPoint());
            QVERIFY2(onStroke.blue() > onStroke.red() + 100, qPrintable(onStroke.name()));
        }
        pad.setVerdict(QString());
        QVERIFY(!label->isVisible());
        pad.clearOverlay();
        QVERIFY(!pad.hasOverlay());
    }

    void verdictAndOverlayGoWithTheDrawing_data()
    {
        QTest::addColumn<int>("action");
        QTest::newRow("clear") << 0;
        QTest::newRow("undo") << 1;
        QTest::newRow("new stroke") << 2;
        QTest::newRow("pen tap") << 3;
        QTest::newRow("eraser") << 4;
    }

    void verdictAndOverlayGoWithTheDrawing()
    {
        QFETCH(int, action);
        DrawingPad pad;
        drag(&pad, {{20, 100}, {180, 100}});
        pad.setVerdict(QStringLiteral("Trait 1 : forme à revoir."));
        QPainterPath stroke({100, 20});
        stroke.lineTo(100, 180);
        pad.setOverlay(stroke, 1, {110, 20});
        // A click is no stroke: the verdict stays.
        drag(&pad, {{50, 50}});
        QCOMPARE(pad.verdict(), QStringLiteral("Trait 1 : forme à revoir."));

        switch (action) {
        case 0:
            pad.clear();
            break;
        case 1:
            pad.undoLastStroke();
            break;
        case 2:
            drag(&pad, {{20, 150}, {180, 150}});
            break;
        case 3:
            penStroke(&pad, {{50, 50}}, 0.5);
            break;
        case 4:
            penStroke(&pad, {{100, 90}, {100, 110}}, 0.5, QPointingDevice::PointerType::Eraser);
            break;
        }
        QVERIFY(pad.verdict().isEmpty());
        QVERIFY(pad.findChild<QLabel *>(QStringLiteral("verdict"))->isHidden());
        QVERIFY(!pad.hasOverlay());
    }
};

QTEST_MAIN(TestDrawingPadInk)
#include "tst_drawingpadink.moc"
