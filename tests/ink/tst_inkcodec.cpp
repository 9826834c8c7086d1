#include "inkcodec.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

namespace {

// A kana as a learner draws it: three strokes of 40 points, a few pixels apart, 60 Hz moves.
Ink typicalKana()
{
    Ink ink;
    qint64 ms = 0;
    for (int s = 0; s < 3; ++s) {
        InkStroke stroke;
        stroke.width = 5;
        for (int i = 0; i < 40; ++i) {
            const qreal t = i / 39.0;
            stroke.points.append(
                {QPointF(40 + 120 * t + 9 * std::sin(7 * t + s), 30 + 50 * s + 80 * t * t), ms});
            ms += 16 + (i % 3);
        }
        ms += 400;
        ink.append(stroke);
    }
    return ink;
}

// The ink as the codec keeps it: coordinates to a quarter pixel, widths to a tenth.
Ink rounded(Ink ink)
{
    for (InkStroke &stroke : ink) {
        stroke.width = std::round(stroke.width * 10) / 10;
        for (InkPoint &p : stroke.points)
            p.pos = QPointF(std::round(p.pos.x() * 4) / 4, std::round(p.pos.y() * 4) / 4);
    }
    return ink;
}

// One stroke of `points` points; `strokes` dots.
Ink longStroke(int points)
{
    InkStroke stroke;
    for (int i = 0; i < points; ++i)
        stroke.points.append({QPointF(i % 200, i / 200), i});
    return {stroke};
}

Ink dots(int strokes)
{
    return Ink(strokes, InkStroke{{{QPointF(3, 4), 0}}, 5});
}

} // namespace

class TestInkCodec : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Ink>("ink");
        QTest::newRow("nothing") << Ink{};
        QTest::newRow("empty stroke") << Ink{InkStroke{{}, 3}};
        QTest::newRow("one dot") << Ink{InkStroke{{{QPointF(10.25, 7.5), 0}}, 12.5}};
        QTest::newRow("typical kana") << typicalKana();
        QTest::newRow("negative and far") << Ink{
            InkStroke{{{QPointF(-300.3, 1e6), 0}, {QPointF(5000.1, -2.6), 86'400'000}}, 0.3}};
        QTest::newRow("time going back")
            << Ink{InkStroke{{{QPointF(1, 1), 500}, {QPointF(2, 2), 20}}, 1}};
        QTest::newRow("strokes up to the cap") << dots(maxInkStrokes);
        QTest::newRow("points up to the cap") << longStroke(maxInkStrokePoints);
    }

    void roundTrip()
    {
        QFETCH(Ink, ink);
        const auto back = decodeInk(encodeInk(ink));
        QVERIFY(back);
        QCOMPARE(*back, rounded(ink));
    }

    void typicalKanaIsSmall()
    {
        QVERIFY2(encodeInk(typicalKana()).size() < 1000,
                 QByteArray::number(encodeInk(typicalKana()).size()));
    }

    void badBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = encodeInk(typicalKana());
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("other version") << QByteArray(1, '\2') + good.mid(1);
        QTest::newRow("trailing byte") << good + '\0';
        QTest::newRow("last byte cut") << good.chopped(1);
        QTest::newRow("half cut") << good.left(good.size() / 2);
        QTest::newRow("huge stroke count") << QByteArray::fromHex("01ffffffffffffffff7f");
        QTest::newRow("huge point count") << QByteArray::fromHex("010132ffffffff0f000000");
        QTest::newRow("number too long") << QByteArray::fromHex("01ffffffffffffffffffff01");
        QTest::newRow("coordinate overflow") << QByteArray::fromHex("01013201808080808080010000");
        QTest::newRow("strokes past the cap") << encodeInk(dots(maxInkStrokes + 1));
        QTest::newRow("points past the cap") << encodeInk(longStroke(maxInkStrokePoints + 1));
    }

    void badBytes()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!decodeInk(bytes));
    }

    // Random damage to a good encoding is refused or decoded, never read out of bounds (the
    // sanitizer build checks the latter).
    void damagedBytes()
    {
        const QByteArray good = encodeInk(typicalKana());
        QRandomGenerator random(7);
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes = good;
            for (int i = 0; i < 3; ++i)
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
            if (const auto ink = decodeInk(bytes)) {
                qsizetype points = 0;
                for (const InkStroke &s : *ink)
                    points += s.points.size();
                QVERIFY(points <= bytes.size() / 3);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestInkCodec)
#include "tst_inkcodec.moc"
