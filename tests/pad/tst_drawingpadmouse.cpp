// Drawing on the pad with the mouse: strokes, line width, clearing, resizing, repainting.

#include "padrig.h"

class TestDrawingPadMouse : public QObject
{
    Q_OBJECT

private slots:
    void startsEmpty()
    {
        DrawingPad pad;
        QVERIFY(allWhite(pad.image()));
        QCOMPARE(pad.currentPoint(), QPointF(0, 0));
        QCOMPARE(pad.drawWidth(), 1);
        QCOMPARE(pad.focusPolicy(), Qt::StrongFocus);
        QVERIFY(!pad.acceptDrops());
    }

    void clickLeavesNoMark()
    {
        DrawingPad pad;
        send(&pad, QEvent::MouseButtonPress, {40.25, 30.5}, Qt::LeftButton, Qt::LeftButton);
        send(&pad, QEvent::MouseButtonRelease, {40.25, 30.5}, Qt::LeftButton, Qt::NoButton);
        QVERIFY(allWhite(pad.image()));
        QCOMPARE(pad.currentPoint(), QPointF(40.25, 30.5));
    }

    void moveWithoutButtonOnlySetsWidth()
    {
        DrawingPad pad;
        drag(&pad, {{10, 10}});
        moveTo(&pad, {100, 100}, Qt::NoButton);
        QVERIFY(allWhite(pad.image()));
        QCOMPARE(pad.drawWidth(), 5);
        QCOMPARE(pad.currentPoint(), QPointF(10, 10));
    }

    void anyButtonDrawsAlike_data()
    {
        QTest::addColumn<Qt::MouseButtons>("buttons");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("right") << Qt::MouseButtons(Qt::RightButton) << Qt::KeyboardModifiers();
        QTest::newRow("middle") << Qt::MouseButtons(Qt::MiddleButton) << Qt::KeyboardModifiers();
        QTest::newRow("left+right")
            << (Qt::LeftButton | Qt::RightButton) << Qt::KeyboardModifiers();
        QTest::newRow("all three")
            << (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton) << Qt::KeyboardModifiers();
        QTest::newRow("left+shift")
            << Qt::MouseButtons(Qt::LeftButton) << Qt::KeyboardModifiers(Qt::ShiftModifier);
        QTest::newRow("right+ctrl")
            << Qt::MouseButtons(Qt::RightButton) << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("middle+shift+ctrl+alt")
            << Qt::MouseButtons(Qt::MiddleButton)
            << (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    }

    void anyButtonDrawsAlike()
    {
        QFETCH(Qt::MouseButtons, buttons);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        DrawingPad reference;
        drag(&reference, {{20, 30}, {70, 30}, {120, 60}});
        QVERIFY(isInk(reference, {45, 30}));
        QVERIFY(isInk(reference, {95, 45}));
        QVERIFY(isInk(reference, {18, 30})); // round cap before the press position

        DrawingPad pad;
        drag(&pad, {{20, 30}, {70, 30}, {120, 60}}, buttons, modifiers);
        QCOMPARE(pad.image(), reference.image());
        QCOMPARE(pad.currentPoint(), QPointF(120, 60));
    }

    void moveAfterClearDrawsFromOrigin()
    {
        DrawingPad pad;
        drag(&pad, {{100, 20}, {150, 20}});
        pad.clear();
        moveTo(&pad, {80, 80}, Qt::LeftButton);
        QVERIFY(isInk(pad, {1, 1}));
        QVERIFY(isInk(pad, {40, 40}));
        QVERIFY(!isInk(pad, {125, 20}));
        QCOMPARE(pad.currentPoint(), QPointF(80, 80));
    }

    void clearWipesAndNextStrokeStartsAtPress()
    {
        DrawingPad pad;
        drag(&pad, {{20, 20}, {150, 20}});
        pad.clear();
        QVERIFY(allWhite(pad.image()));
        QCOMPARE(pad.currentPoint(), QPointF(0, 0));

        drag(&pad, {{100, 60}, {100, 120}});
        QVERIFY(isInk(pad, {100, 90}));
        QVERIFY(!isInk(pad, {50, 30}));  // towards (0, 0)
        QVERIFY(!isInk(pad, {125, 40})); // towards the end of the wiped stroke
    }

    void strokesAccumulate()
    {
        DrawingPad pad;
        drag(&pad, {{20, 20}, {180, 20}});
        drag(&pad, {{20, 100}, {180, 100}});
        QVERIFY(isInk(pad, {100, 20}));
        QVERIFY(isInk(pad, {100, 100}));
        QVERIFY(!isInk(pad, {100, 60})); // the strokes are not joined
    }

    void lineWidth_data()
    {
        // width 0: drawn with the mouse, which sets the width itself.
        QTest::addColumn<int>("width");
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QLineF>("across");
        QTest::addColumn<qreal>("expected");
        const QLineF horizontal(20, 50, 180, 50), vertical(100, 20, 100, 140);
        const QLineF crossH(100, 35, 100, 65), crossV(85, 80, 115, 80);
        QTest::newRow("mouse, horizontal") << 0 << horizontal << crossH << 5.0;
        QTest::newRow("mouse, vertical") << 0 << vertical << crossV << 5.0;
        QTest::newRow("width 1") << 1 << horizontal << crossH << 1.0;
        QTest::newRow("width 9") << 9 << vertical << crossV << 9.0;
        QTest::newRow("width below 1 counts as 1") << -3 << horizontal << crossH << 1.0;
    }

    void lineWidth()
    {
        QFETCH(int, width);
        QFETCH(QLineF, line);
        QFETCH(QLineF, across);
        QFETCH(qreal, expected);
        DrawingPad pad;
        if (width == 0) {
            drag(&pad, {line.p1(), line.p2()});
        } else {
            pad.setDrawWidth(width);
            pad.setCurrentPoint(line.p1());
            pad.drawLineTo(line.p2());
        }
        // Sum the darkness of the device pixels across the line: antialiased edges count
        // for the part of the pixel they cover.
        const QImage &image = pad.image();
        const qreal ratio = image.devicePixelRatio();
        const int steps = qRound(across.length() * ratio);
        qreal ink = 0;
        for (int i = 0; i < steps; ++i)
            ink += inkAt(image, across.pointAt((i + 0.5) / steps));
        QVERIFY2(qAbs(ink / ratio - expected) <= 0.5, qPrintable(QString::number(ink / ratio)));
    }

    void drawingSurvivesResize()
    {
        DrawingPad pad;
        pad.resize(200, 150);
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        drag(&pad, {{20, 20}, {180, 130}});

        pad.resize(50, 40);
        QTRY_COMPARE(pad.size(), QSize(50, 40));
        pad.resize(400, 300);
        QTRY_COMPARE(pad.size(), QSize(400, 300));

        const QImage &image = pad.image();
        QVERIFY(image.width() >= 400 * image.devicePixelRatio());
        QVERIFY(image.height() >= 300 * image.devicePixelRatio());
        QVERIFY(isInk(pad, {100, 75}));
        QVERIFY(!isInk(pad, {350, 250}));

        // What the widget paints is the image, at the same place.
        const QImage shown = pad.grab().toImage();
        QCOMPARE(shown.devicePixelRatio(), image.devicePixelRatio());
        QVERIFY(inkAt(shown, {100, 75}) > 0.5);
        QVERIFY(inkAt(shown, {20, 20}) > 0.5);
        QCOMPARE(inkAt(shown, {350, 250}), 0.0);
        QCOMPARE(inkAt(shown, {100, 20}), 0.0);
    }

    void moveRepaintsOnlyTheSegment()
    {
        DrawingPad pad;
        pad.resize(400, 300);
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        PaintRecorder recorder;
        pad.installEventFilter(&recorder);
        QCoreApplication::processEvents();
        recorder.painted = QRect();

        drag(&pad, {{100, 100}, {110, 104}});
        QTRY_VERIFY(!recorder.painted.isEmpty());
        // The segment and the pen's half width around it, but not the whole pad.
        QVERIFY(recorder.painted.contains(QRect(97, 97, 16, 10)));
        QVERIFY(QRect(90, 90, 30, 24).contains(recorder.painted));
    }

    void strokeGoesOnOutsideThePad()
    {
        QWidget window;
        window.resize(300, 300);
        DrawingPad pad(&window);
        pad.setGeometry(50, 50, 100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWindow *handle = window.windowHandle();

        // Through the window, so that the pad keeps the mouse while the button is held.
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(handle, QPoint(250, 100));
        QCOMPARE(pad.currentPoint(), QPointF(200, 50));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("outside target window"));
        QTest::mouseMove(handle, QPoint(-40, 500));
        QTest::mouseMove(handle, QPoint(120, 120));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(120, 120));
        QCOMPARE(pad.currentPoint(), QPointF(70, 70));
        QVERIFY(isInk(pad, {75, 50}));

        // Far away coordinates are clipped, not fatal.
        moveTo(&pad, {1e6, -1e6}, Qt::LeftButton);
        moveTo(&pad, {-1e6, 1e6}, Qt::LeftButton);
        QCOMPARE(pad.currentPoint(), QPointF(-1e6, 1e6));
    }
};

QTEST_MAIN(TestDrawingPadMouse)
#include "tst_drawingpadmouse.moc"
