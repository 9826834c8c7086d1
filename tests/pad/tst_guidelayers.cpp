// The pad's side of guided writing: the end of each stroke told once (pen strokes end in the
// same place as mouse strokes), and the layers over the drawing painted on screen only; the
// model under it is seen through the window (tst_guidedwindow).
#include "drawingpad.h"
#include "guidelayers.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

void mouse(QWidget *pad, QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, pad->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(pad, &event);
}

} // namespace

class TestGuideLayers : public QObject
{
    Q_OBJECT

private slots:
    void strokeEnded_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("ends");

        QTest::newRow("click") << "press release" << 0;
        QTest::newRow("drag") << "press held release" << 1;
        QTest::newRow("ended by a move without button") << "press held free release" << 1;
        QTest::newRow("two drags") << "press held release press held release" << 2;
    }

    void strokeEnded()
    {
        QFETCH(QString, gesture);
        QFETCH(int, ends);

        DrawingPad pad;
        pad.resize(200, 200);
        QSignalSpy spy(&pad, &DrawingPad::strokeEnded);
        QPointF at(20, 20);
        for (const QString &step : gesture.split(QLatin1Char(' '))) {
            at += QPointF(10, 5);
            if (step == QLatin1String("press")) {
                mouse(&pad, QEvent::MouseButtonPress, at, Qt::LeftButton);
            } else if (step == QLatin1String("held")) {
                mouse(&pad, QEvent::MouseMove, at, Qt::LeftButton);
            } else if (step == QLatin1String("free")) {
                mouse(&pad, QEvent::MouseMove, at, Qt::NoButton);
            } else {
                mouse(&pad, QEvent::MouseButtonRelease, at, Qt::NoButton);
            }
        }
        QCOMPARE(spy.count(), ends);
        QCOMPARE(pad.ink().size(), ends);
    }

    // The hint and the refused stroke, in colour on screen, never in the image, in the square
    // the guide grid draws.
    void hintAndFadingOnScreenOnly()
    {
        QCOMPARE(guideSquare(QSize(300, 200)), QRectF(50.5, 0.5, 199, 199));
        QVERIFY(guideSquare(QSize(300, 7)).isEmpty());
        DrawingPad pad;
        pad.resize(300, 200);
        const QImage blank = pad.image();
        const auto middle = [&pad] {
            const QImage shot = pad.grab().toImage();
            return shot.pixelColor((QPointF(150, 100) * shot.devicePixelRatio()).toPoint());
        };
        QPainterPath stroke({100, 50});
        stroke.lineTo(200, 150);
        pad.guideLayers().setHint(stroke, 1, {100, 40}, guideSquare(pad.size()));
        const QColor hint = middle();
        pad.guideLayers().clearHint();
        pad.guideLayers().fadeOut(stroke, 5);
        const QColor refused = middle();
        QVERIFY(hint.blue() > hint.red() + 60 && refused.red() > refused.blue() + 60);
        QCOMPARE(pad.image(), blank);
        QTRY_VERIFY_WITH_TIMEOUT(!pad.guideLayers().isFading(), 3 * GuideLayers::fadeMs);
        QCOMPARE(middle(), QColor(Qt::white));
    }
};

QTEST_MAIN(TestGuideLayers)
#include "tst_guidelayers.moc"
