// What the drawing pad's tests share: reading the pad's pixels and sending it mouse and
// tablet events.
#pragma once

#include "drawingpad.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabletEvent>
#include <QTest>
#include <QWindow>

#include <initializer_list>

// How dark the pixel under a logical point is: 0 for white, 1 for black.
inline qreal inkAt(const QImage &image, QPointF logical)
{
    const QPoint p = (logical * image.devicePixelRatio()).toPoint();
    return (255 - qGray(image.pixel(p))) / 255.0;
}

inline bool isInk(const DrawingPad &pad, QPointF logical)
{
    return inkAt(pad.image(), logical) > 0.5;
}

inline bool allWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(line[x]) != 255)
                return false;
        }
    }
    return true;
}

inline void send(QWidget *widget, QEvent::Type type, QPointF pos, Qt::MouseButton button,
                 Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

inline void moveTo(QWidget *widget, QPointF pos, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    send(widget, QEvent::MouseMove, pos, Qt::NoButton, buttons, modifiers);
}

// Presses every button of `buttons` at the first point, moves through the others and lets go.
inline void drag(QWidget *widget, std::initializer_list<QPointF> points,
                 Qt::MouseButtons buttons = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF start = *points.begin();
    Qt::MouseButtons held;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons & b) {
            held |= b;
            send(widget, QEvent::MouseButtonPress, start, b, held, modifiers);
        }
    }
    for (auto it = points.begin() + 1; it != points.end(); ++it)
        moveTo(widget, *it, held, modifiers);
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (held & b) {
            held &= ~b;
            send(widget, QEvent::MouseButtonRelease, *(points.end() - 1), b, held, modifiers);
        }
    }
}

// A tablet pen's tip and eraser end, as the platform reports them.
inline const QPointingDevice *tabletTool(QPointingDevice::PointerType type)
{
    static const QPointingDevice pen(
        QStringLiteral("pen"), 1001, QInputDevice::DeviceType::Stylus,
        QPointingDevice::PointerType::Pen,
        QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
    static const QPointingDevice eraser(
        QStringLiteral("eraser"), 1002, QInputDevice::DeviceType::Stylus,
        QPointingDevice::PointerType::Eraser,
        QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
    return type == QPointingDevice::PointerType::Eraser ? &eraser : &pen;
}

// Sends one tablet event and returns whether the pad took it.
inline bool sendTablet(QWidget *widget, QEvent::Type type, QPointF pos, qreal pressure,
                       QPointingDevice::PointerType tool = QPointingDevice::PointerType::Pen)
{
    const bool down = type != QEvent::TabletRelease;
    QTabletEvent event(type, tabletTool(tool), pos, widget->mapToGlobal(pos), pressure, 0, 0, 0, 0,
                       0, Qt::NoModifier,
                       type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton,
                       down ? Qt::LeftButton : Qt::NoButton);
    event.setAccepted(false);
    QCoreApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

// Touches the tablet at the first point, moves through the others at the same pressure and lifts.
inline void penStroke(QWidget *widget, std::initializer_list<QPointF> points, qreal pressure,
                      QPointingDevice::PointerType tool = QPointingDevice::PointerType::Pen)
{
    sendTablet(widget, QEvent::TabletPress, *points.begin(), pressure, tool);
    for (auto it = points.begin() + 1; it != points.end(); ++it)
        sendTablet(widget, QEvent::TabletMove, *it, pressure, tool);
    sendTablet(widget, QEvent::TabletRelease, *(points.end() - 1), 0, tool);
}

inline QList<QPointF> positions(const InkStroke &stroke)
{
    QList<QPointF> result;
    for (const InkPoint &p : stroke.points)
        result.append(p.pos);
    return result;
}

// How many pixels of a grab of the pad along the column at logical x, above y = 90, are neither
// white nor black.
inline int greyPixelsInColumn(const QImage &shot, int x)
{
    const int column = qRound(x * shot.devicePixelRatio());
    int count = 0;
    for (int y = 0; y < qRound(90 * shot.devicePixelRatio()); ++y) {
        const int g = qGray(shot.pixel(column, y));
        count += g > 40 && g < 250;
    }
    return count;
}

class PaintRecorder : public QObject
{
public:
    QRect painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted |= static_cast<QPaintEvent *>(event)->rect();
        return QObject::eventFilter(watched, event);
    }
};
