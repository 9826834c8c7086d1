#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <QString>

#include <stdexcept>

namespace kanacourse {

class PictureError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A character of the stroke-order font split in two: the strokes themselves and the small
// numbers that the font draws beside each stroke's start.
struct StrokeOutline
{
    QPainterPath strokes;
    QPainterPath numbers;
    int numberCount = 0;
};

// Draws characters of a stroke-order font as line art: black strokes, and stroke numbers
// enlarged and set in red on a white halo so that they stay readable when the picture is
// shown at half its size.
class KanaPainter
{
public:
    // Throws PictureError when the font file cannot be loaded.
    explicit KanaPainter(const QString &fontPath);

    // True when the font has a glyph for every character of the text.
    bool supports(const QString &text) const;

    // The outline of the text in font units of a 1000-pixel em, numbers already enlarged.
    // Throws PictureError when a character is missing from the font.
    StrokeOutline outline(const QString &text) const;

    // A square white picture of the given side holding the text, centred.
    QImage picture(const QString &text, int side) const;

private:
    QRawFont m_font;
};

} // namespace kanacourse
