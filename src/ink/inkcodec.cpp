#include "inkcodec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr char version = 1;
// Quarter pixels and milliseconds stay within this on both sides; beyond it a drawing is
// nonsense anyway, and the sums of deltas cannot overflow.
constexpr std::int64_t maxMagnitude = std::int64_t(1) << 40;
// The fewest bytes a stroke (width, count) and a point (three deltas) can take.
constexpr qsizetype minStrokeBytes = 2;
constexpr qsizetype minPointBytes = 3;

std::int64_t clampUnits(double value)
{
    if (!std::isfinite(value))
        return 0;
    return std::int64_t(
        std::llround(std::clamp(value, -double(maxMagnitude), double(maxMagnitude))));
}

void putVarint(QByteArray &out, std::uint64_t value)
{
    while (value >= 0x80) {
        out.append(char((value & 0x7f) | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

void putSigned(QByteArray &out, std::int64_t value)
{
    putVarint(out, (std::uint64_t(value) << 1) ^ std::uint64_t(value >> 63));
}

class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    qsizetype remaining() const { return m_bytes.size() - m_pos; }

    std::optional<std::uint64_t> varint()
    {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_pos >= m_bytes.size())
                return std::nullopt;
            const auto byte = std::uint8_t(m_bytes[m_pos++]);
            value |= std::uint64_t(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return value;
        }
        return std::nullopt;
    }

    // A zigzag delta between two values within maxMagnitude.
    std::optional<std::int64_t> bounded()
    {
        const auto raw = varint();
        if (!raw)
            return std::nullopt;
        const std::int64_t value = std::int64_t(*raw >> 1) ^ -std::int64_t(*raw & 1);
        if (value > 2 * maxMagnitude || value < -2 * maxMagnitude)
            return std::nullopt;
        return value;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray encodeInk(const Ink &ink)
{
    QByteArray out;
    out.reserve(8 + ink.size() * 4 + 4 * 3 * 40);
    out.append(version);
    putVarint(out, std::uint64_t(ink.size()));
    std::int64_t x = 0, y = 0, ms = 0;
    for (const InkStroke &stroke : ink) {
        putVarint(out, std::uint64_t(std::clamp<std::int64_t>(clampUnits(stroke.width * 10), 0,
                                                              maxMagnitude)));
        putVarint(out, std::uint64_t(stroke.points.size()));
        for (const InkPoint &point : stroke.points) {
            const std::int64_t px = clampUnits(point.pos.x() * 4);
            const std::int64_t py = clampUnits(point.pos.y() * 4);
            const std::int64_t pms =
                std::clamp<std::int64_t>(point.ms, -maxMagnitude, maxMagnitude);
            putSigned(out, px - x);
            putSigned(out, py - y);
            putSigned(out, pms - ms);
            x = px;
            y = py;
            ms = pms;
        }
    }
    return out;
}

std::optional<Ink> decodeInk(QByteArrayView bytes)
{
    if (bytes.isEmpty() || bytes.front() != version)
        return std::nullopt;
    Reader in(bytes.sliced(1));
    const auto strokes = in.varint();
    if (!strokes || *strokes > std::uint64_t(maxInkStrokes) ||
        *strokes > std::uint64_t(in.remaining() / minStrokeBytes))
        return std::nullopt;
    Ink ink;
    ink.reserve(qsizetype(*strokes));
    std::int64_t x = 0, y = 0, ms = 0;
    for (std::uint64_t s = 0; s < *strokes; ++s) {
        const auto width = in.varint();
        const auto points = in.varint();
        if (!width || !points || *width > std::uint64_t(maxMagnitude) ||
            *points > std::uint64_t(maxInkStrokePoints) ||
            *points > std::uint64_t(in.remaining() / minPointBytes))
            return std::nullopt;
        InkStroke stroke;
        stroke.width = qreal(*width) / 10;
        stroke.points.reserve(qsizetype(*points));
        for (std::uint64_t p = 0; p < *points; ++p) {
            const auto dx = in.bounded();
            const auto dy = in.bounded();
            const auto dms = in.bounded();
            if (!dx || !dy || !dms)
                return std::nullopt;
            x += *dx;
            y += *dy;
            ms += *dms;
            if (std::abs(x) > maxMagnitude || std::abs(y) > maxMagnitude ||
                std::abs(ms) > maxMagnitude)
                return std::nullopt;
            stroke.points.append(InkPoint{QPointF(qreal(x) / 4, qreal(y) / 4), ms});
        }
        ink.append(std::move(stroke));
    }
    if (in.remaining() != 0)
        return std::nullopt;
    return ink;
}
