#include "strokefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QList<QPointF> elementPoints(const QPainterPath &path)
{
    QList<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i)
        points.append(path.elementAt(i));
    return points;
}

QString dataFile(const char *name)
{
    return QStringLiteral(STROKES_DATA "/") + QLatin1String(name);
}

// A stroke file with the given number of straight strokes and some bytes of comment.
QByteArray makeFile(int strokes, qsizetype padding = 0)
{
    QByteArray text = "<?xml version=\"1.0\"?>\n<!--" + QByteArray(padding, 'x') +
                      "-->\n<svg viewBox=\"0 0 109 109\"><g id=\"kvg:StrokePaths_1\">";
    for (int i = 0; i < strokes; ++i)
        text += "<path d=\"M10," + QByteArray::number(i) + "L90," + QByteArray::number(i) + "\"/>";
    return text + "</g></svg>";
}

} // namespace

class TestStrokeFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath("fifo.svg")).constData(), 0600), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_dir.filePath("zero.svg")));
    }
    // A read that waits would hang the run: end it with a failure instead.
    void init() { ::alarm(60); }
    void cleanup() { ::alarm(0); }

    void pathData_data()
    {
        QTest::addColumn<QString>("d");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<QPointF>>("points");
        using P = QPointF;

        QTest::newRow("compact numbers") << "M10,20c1-2,3.5.5,4,4" << true
                                         << QList<P>{{10, 20}, {11, 18}, {13.5, 20.5}, {14, 24}};
        QTest::newRow("move repeats as lines")
            << "M1 2 3 4 5 6" << true << QList<P>{{1, 2}, {3, 4}, {5, 6}};
        QTest::newRow("relative move repeats") << "m1,2 3,4" << true << QList<P>{{1, 2}, {4, 6}};
        QTest::newRow("h v and close") << "M0,0H5V5h-2v-1z" << true
                                       << QList<P>{{0, 0}, {5, 0}, {5, 5}, {3, 5}, {3, 4}, {0, 0}};
        QTest::newRow("smooth reflects")
            << "M0,0C1,1,2,2,3,3S5,5,6,6" << true
            << QList<P>{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}};
        QTest::newRow("smooth after a line")
            << "M0,0L1,0s1,1,2,2" << true << QList<P>{{0, 0}, {1, 0}, {1, 0}, {2, 1}, {3, 2}};
        QTest::newRow("curve repeats")
            << "M0,0c1,1,2,2,3,3 1,1,2,2,3,3" << true
            << QList<P>{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}};
        QTest::newRow("exponents") << "M1e1,2E-1" << true << QList<P>{{10, 0.2}};
        QTest::newRow("relative after close")
            << "M5,5l1,0zl0,1" << true << QList<P>{{5, 5}, {6, 5}, {5, 5}, {5, 5}, {5, 6}};
        QTest::newRow("spaces around") << "  M 1 , 2 L 3 4  " << true << QList<P>{{1, 2}, {3, 4}};

        QTest::newRow("empty") << "" << false << QList<P>{};
        QTest::newRow("blank") << "   " << false << QList<P>{};
        QTest::newRow("no move first") << "L1,1" << false << QList<P>{};
        QTest::newRow("half a pair") << "M1" << false << QList<P>{};
        QTest::newRow("curve short") << "M1,2C1,2,3" << false << QList<P>{};
        QTest::newRow("arc") << "M1,2A1,1,0,0,1,2,2" << false << QList<P>{};
        QTest::newRow("quadratic") << "M1,2Q1,1,2,2" << false << QList<P>{};
        QTest::newRow("lone sign") << "M1,2L-,3" << false << QList<P>{};
        QTest::newRow("stray letter") << "M1,2 x" << false << QList<P>{};
        QTest::newRow("number after close") << "M1,2Z3" << false << QList<P>{};
        QTest::newRow("infinite") << "M1e999,0" << false << QList<P>{};
        QTest::newRow("huge") << "M5e170,20" << false << QList<P>{};
        QTest::newRow("huge control") << "M0,0C1e200,0,1,1,2,2" << false << QList<P>{};
        QTest::newRow("steps add up") << "M0,0l9e8,0 9e8,0" << false << QList<P>{};
    }

    void pathData()
    {
        QFETCH(QString, d);
        QFETCH(bool, ok);
        QFETCH(QList<QPointF>, points);
        const auto path = parsePathData(d);
        QCOMPARE(path.has_value(), ok);
        if (ok)
            QCOMPARE(elementPoints(*path), points);
    }

    void files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("strokes");
        QTest::addColumn<int>("numbers");
        QTest::addColumn<QString>("character");

        QTest::newRow("ka") << dataFile("0304b.svg") << 3 << 3 << "か";
        QTest::newRow("i") << dataFile("03044.svg") << 2 << 2 << "い";
        QTest::newRow("long vowel") << dataFile("030fc.svg") << 1 << 1 << "ー";
        QTest::newRow("migi") << dataFile("053f3.svg") << 5 << 5 << "右";
        QTest::newRow("variant") << dataFile("04e3b-VtLst.svg") << 5 << 5 << "主";
        QTest::newRow("a number missing") << dataFile("odd-numbers.svg") << 3 << 0 << "か";
        QTest::newRow("truncated") << dataFile("broken-truncated.svg") << -1 << 0 << "";
        QTest::newRow("arc") << dataFile("broken-arc.svg") << -1 << 0 << "";
        QTest::newRow("far outside") << dataFile("broken-far.svg") << -1 << 0 << "";
        QTest::newRow("no stroke group") << dataFile("broken-nogroup.svg") << -1 << 0 << "";
        QTest::newRow("missing") << dataFile("nothing-here.svg") << -1 << 0 << "";
        // No writer: opening it to read would wait forever.
        QTest::newRow("a FIFO") << m_dir.filePath("fifo.svg") << -1 << 0 << "";
        QTest::newRow("a link to /dev/zero") << m_dir.filePath("zero.svg") << -1 << 0 << "";
    }

    void files()
    {
        QFETCH(QString, file);
        QFETCH(int, strokes);
        QFETCH(int, numbers);
        QFETCH(QString, character);
        const auto read = readStrokeFile(file);
        QCOMPARE(read.has_value(), strokes >= 0);
        if (!read)
            return;
        QCOMPARE(read->viewBox, QRectF(0, 0, 109, 109));
        QCOMPARE(read->strokes.size(), strokes);
        QCOMPARE(read->numberPositions.size(), numbers);
        QCOMPARE(read->character, character);
    }

    // The character comes from the stroke group's id, else from the first group's element;
    // anything but one printable code point names none.
    void character_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QString>("character");
        QTest::newRow("id first") << QByteArray("kvg:StrokePaths_0304b") << QByteArray("x") << "か";
        QTest::newRow("beyond the BMP")
            << QByteArray("kvg:StrokePaths_20b9f-Kaisho") << QByteArray() << "𠮟";
        QTest::newRow("element") << QByteArray("kvg:StrokePaths") << QByteArray("お") << "お";
        QTest::newRow("control") << QByteArray("kvg:StrokePaths_1") << QByteArray() << "";
        QTest::newRow("surrogate") << QByteArray("kvg:StrokePaths_d800") << QByteArray() << "";
        QTest::newRow("too large") << QByteArray("kvg:StrokePaths_110000") << QByteArray() << "";
        QTest::newRow("two in element")
            << QByteArray("kvg:StrokePaths_x") << QByteArray("ab") << "";
    }

    void character()
    {
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, element);
        QFETCH(QString, character);
        QByteArray bytes = makeFile(1);
        bytes.replace("kvg:StrokePaths_1\">", id + "\"><g kvg:element=\"" + element + "\">");
        bytes.replace("</g></svg>", "</g></g></svg>");
        bytes.replace("<svg ", "<svg xmlns:kvg=\"http://kanjivg.tagaini.net\" ");
        const auto read = parseStrokeFile(bytes);
        QVERIFY(read);
        QCOMPARE(read->character, character);
    }

    void kaInWritingOrder()
    {
        const auto ka = readStrokeFile(dataFile("0304b.svg"));
        QVERIFY(ka);
        QCOMPARE(ka->strokes.at(0).elementAt(0), QPointF(24.62, 38.62));
        QCOMPARE(ka->strokes.at(2).currentPosition(), QPointF(92.37, 56.5));
        QCOMPARE(ka->numberPositions.at(1), QPointF(39.75, 16));
        const QPolygonF line = flattenPath(ka->strokes.at(2));
        QCOMPARE(line.first(), QPointF(77.37, 31.62));
        QCOMPARE(line.last(), QPointF(92.37, 56.5));
        QVERIFY(line.size() > 8);
    }

    void limits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("64 strokes") << makeFile(64) << true;
        QTest::newRow("65 strokes") << makeFile(65) << false;
        QTest::newRow("no stroke") << makeFile(0) << false;
        QTest::newRow("just under 1 MiB") << makeFile(1, 1024 * 1000) << true;
        QTest::newRow("over 1 MiB") << makeFile(1, 1024 * 1024) << false;
        QTest::newRow("not xml") << QByteArray("M0,0L1,1") << false;
        QTest::newRow("bad viewBox") << makeFile(1).replace("0 0 109 109", "0 0 0 109") << false;
        // Nothing to check against, nor a size to map onto the drawing.
        QTest::newRow("strokes on one point")
            << makeFile(2).replace("L90,0", "Z").replace("M10,1L90,1", "M10,0") << false;
        QTest::newRow("one flat stroke") << makeFile(1) << true;
        // Entities expand without bound: a few kilobytes become megabytes of path data.
        QTest::newRow("an entity in a path")
            << makeFile(1)
                   .replace("M10,0L90,0", "&p;")
                   .replace("<svg", "<!DOCTYPE svg [<!ENTITY p \"M10,0L90,0\">]><svg")
            << false;
        QTest::newRow("an entity declared, unused")
            << makeFile(1).replace("<svg", "<!DOCTYPE svg [<!ENTITY p \"x\">]><svg") << false;
        QTest::newRow("a DTD without entities")
            << makeFile(1).replace("<svg", "<!DOCTYPE svg [<!ATTLIST g kvg:element CDATA "
                                           "#IMPLIED>]><svg")
            << true;
    }

    void limits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QCOMPARE(parseStrokeFile(bytes).has_value(), ok);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestStrokeFile)
#include "tst_strokefile.moc"
