#pragma once

#include "layoutrule.h"

#include <QRect>

// The window is designed in twips, 15 to a pixel at 96 dots per inch.

// A control's place as the window is designed.
inline QRect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

inline TwipsRect toTwips(const QRect &r)
{
    return {r.x() * twipsPerPixel, r.y() * twipsPerPixel, r.width() * twipsPerPixel,
            r.height() * twipsPerPixel};
}

inline QRect toPixels(const TwipsRect &r)
{
    return {qRound(r.left / twipsPerPixel), qRound(r.top / twipsPerPixel),
            qRound(r.width / twipsPerPixel), qRound(r.height / twipsPerPixel)};
}
