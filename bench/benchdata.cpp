#include "benchdata.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

namespace benchdata {

namespace {

constexpr int lineLength = 78;

// A comment of `length` bytes of running French text, with the escapes that real comments use.
QByteArray comment(std::int64_t length)
{
    static const QByteArray words = QByteArrayLiteral(
        "Trois traits, le dernier est courb\xC3\xA9 vers la gauche. "
        "Le premier se trace de haut en bas(return)puis le second "
        "(egal) au premier, plus long et l\xC3\xA9g\xC3\xA8rement pench\xC3\xA9. ");
    QByteArray text;
    text.reserve(length);
    while (text.size() < length)
        text.append(words);
    text.truncate(length);
    // Never end inside a two-byte character.
    while (!text.isEmpty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0xC0)
        text.chop(1);
    return text;
}

} // namespace

std::int64_t writeExercise(const QString &path, int records, std::int64_t bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    const std::int64_t perRecord = std::max<std::int64_t>(bytes / std::max(records, 1), 24);
    QByteArray pending;
    int column = 0;
    for (int i = 0; i < records; ++i) {
        const QByteArray head =
            "son" + QByteArray::number(i) + "=hiragana/k" + QByteArray::number(i % 46) + ".png=";
        // Lines end in CR LF every lineLength bytes of text, wherever the records stand.
        const QByteArray record =
            head + comment(perRecord - head.size() - 1 - 2 * (perRecord / lineLength)) + '*';
        for (char c : record) {
            pending.append(c);
            if (++column >= lineLength && (static_cast<unsigned char>(c) & 0xC0) != 0xC0) {
                pending.append("\r\n");
                column = 0;
            }
        }
        if (pending.size() > 1 << 20) {
            if (file.write(pending) != pending.size())
                return -1;
            pending.clear();
        }
    }
    pending.append("\r\n");
    if (file.write(pending) != pending.size())
        return -1;
    file.close();
    return file.error() == QFileDevice::NoError ? file.size() : -1;
}

bool writePicture(const QString &path, int width, int height, bool grain)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(40, 90, 160));
    sky.setColorAt(0.6, QColor(230, 200, 150));
    sky.setColorAt(1, QColor(60, 110, 40));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    // Enough detail that the picture compresses like a photograph rather than a flat drawing.
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int i = 0; i < 4000; ++i) {
        const int x = static_cast<int>(next() % static_cast<std::uint32_t>(width));
        const int y = static_cast<int>(next() % static_cast<std::uint32_t>(height));
        const int r = 5 + static_cast<int>(next() % 120);
        QRadialGradient blob(x, y, r);
        blob.setColorAt(0, QColor::fromRgb(next() | 0xff000000u));
        blob.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(blob);
        painter.drawEllipse(QPoint(x, y), r, r);
    }
    painter.end();
    // Grain, as a camera's sensor gives it: without it the picture compresses several times
    // smaller than a photograph of its size, and decodes faster.
    for (int y = 0; grain && y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::uint32_t noise = next();
            const auto grain = [noise](int channel, int shift) {
                return std::clamp(channel + static_cast<int>((noise >> shift) & 31) - 16, 0, 255);
            };
            line[x] =
                qRgb(grain(qRed(line[x]), 0), grain(qGreen(line[x]), 5), grain(qBlue(line[x]), 10));
        }
    }
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    return writer.write(image);
}

} // namespace benchdata
