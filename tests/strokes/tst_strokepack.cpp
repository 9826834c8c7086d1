#include "strokepack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Two real stroke files, a variant, and a file big enough to need a block of its own.
QList<NamedBytes> sampleFiles()
{
    const QByteArray ka = readFile(QStringLiteral(STROKES_DATA "/0304b.svg"));
    return {{QStringLiteral("ka.svg"), ka},
            {QStringLiteral("ka-Kaisho.svg"), ka + "<!-- variant -->"},
            {QStringLiteral("i.svg"), readFile(QStringLiteral(STROKES_DATA "/03044.svg"))},
            {QStringLiteral("big.svg"), QByteArray(40000, 'x')}};
}

QByteArray samplePack()
{
    QString error;
    const QByteArray pack = packStrokeFiles(sampleFiles(), error);
    return error.isEmpty() ? pack : QByteArray();
}

// The pack's layout: a 16-byte header, 12 bytes per block, then the files' index.
constexpr qsizetype header = 16;
quint32 u32At(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
void setU32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

class TestStrokePack : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void refusedWhenPacking_data();
    void refusedWhenPacking();
    void damaged_data();
    void damaged();
    void besidePicture();
};

void TestStrokePack::roundTrip()
{
    const QByteArray bytes = samplePack();
    QVERIFY(!bytes.isEmpty());
    QVERIFY(u32At(bytes, 8) >= 2); // the big file has a block of its own
    const auto pack = StrokePack::fromBytes(bytes);
    QVERIFY(pack);
    QList<NamedBytes> expected = sampleFiles();
    std::sort(expected.begin(), expected.end(),
              [](const auto &a, const auto &b) { return a.name < b.name; });
    QCOMPARE(pack->files(), expected);
    QStringList names;
    for (const NamedBytes &file : expected) {
        names << file.name;
        QCOMPARE(pack->file(file.name), std::optional<QByteArray>(file.bytes));
    }
    QCOMPARE(pack->names(), names);
    QVERIFY(!pack->file(QStringLiteral("absent.svg")));
}

void TestStrokePack::refusedWhenPacking_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("a name twice") << QStringLiteral("ka.svg") << QByteArray("x");
    QTest::newRow("no name") << QString() << QByteArray("x");
    QTest::newRow("a folder in the name") << QStringLiteral("a/ka.svg") << QByteArray("x");
    QTest::newRow("an empty file") << QStringLiteral("e.svg") << QByteArray();
    QTest::newRow("a file over a block")
        << QStringLiteral("e.svg") << QByteArray(strokepack::maxBlockBytes + 1, 'x');
}

void TestStrokePack::refusedWhenPacking()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QString error;
    QList<NamedBytes> files = sampleFiles();
    files.append({name, bytes});
    QVERIFY(packStrokeFiles(files, error).isEmpty());
    QVERIFY(!error.isEmpty());
}

// A damaged or hostile pack gives nothing where it is wrong, and what it still gives is what
// was packed.
void TestStrokePack::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("opens");

    const QByteArray good = samplePack();
    const quint32 blocks = u32At(good, 8);
    const qsizetype firstBlock = u32At(good, header);
    QTest::newRow("cut in the header") << good.left(12) << false;
    QByteArray b = good;
    b[0] = 'X';
    QTest::newRow("another kind of file") << b << false;
    b = good;
    setU32(b, 12, strokepack::maxFiles + 1);
    QTest::newRow("too many files") << b << false;
    QTest::newRow("cut in the last block") << good.chopped(1) << false;
    b = good;
    setU32(b, header + 4, strokepack::maxPackedBlockBytes + 1);
    QTest::newRow("a block over the limit") << b << false;
    b = good;
    setU32(b, header, 3);
    QTest::newRow("a block inside the index") << b << false;
    b = good;
    setU32(b, header + blocks * 12 + 2 + 7 + 8, 1 << 20); // big.svg's size
    QTest::newRow("a file beyond its block") << b << false;
    b = good;
    b[firstBlock + 10] = char(b[firstBlock + 10] ^ 0x55);
    QTest::newRow("damaged packed bytes") << b << true;
    b = good;
    setU32(b, header + 8, u32At(good, header + 8) + 1);
    QTest::newRow("a block that unpacks to less than it says") << b << true;
    // Packed small, unpacking to 12 MB: refused, having cost a bounded amount.
    b = good;
    const QByteArray bomb = qCompress(QByteArray(12 * 1024 * 1024, '\0'), 9);
    QVERIFY(bomb.size() <= strokepack::maxPackedBlockBytes);
    b.append(bomb);
    qToBigEndian(quint32(u32At(good, header + 8)), b.data() + good.size());
    setU32(b, header, quint32(good.size()));
    setU32(b, header + 4, quint32(bomb.size()));
    QTest::newRow("a block that inflates far beyond its size") << b << true;
}

void TestStrokePack::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opens);

    const auto pack = StrokePack::fromBytes(bytes);
    QCOMPARE(bool(pack), opens);
    if (!pack)
        return;
    const QList<NamedBytes> originals = sampleFiles();
    const QList<NamedBytes> files = pack->files();
    QVERIFY(files.size() < originals.size());
    for (const NamedBytes &file : files)
        QVERIFY2(originals.contains(file), qPrintable(file.name));
}

// The files beside the picture win over the folder's pack, name by name; variants are the
// names that follow the picture's with a dash and a capital letter.
void TestStrokePack::besidePicture()
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    writeFile(folder.filePath(QStringLiteral("strokes.pack")), samplePack());
    const QByteArray own = readFile(QStringLiteral(STROKES_DATA "/053f3.svg"));
    writeFile(folder.filePath(QStringLiteral("ka-HzFst.svg")), own);
    writeFile(folder.filePath(QStringLiteral("ka-lower.svg")), own);
    writeFile(folder.filePath(QStringLiteral(".ka-Hidden.svg")), own);
    const QString ka = folder.filePath(QStringLiteral("ka.png"));

    PictureStrokeFiles found = strokeFilesBeside(ka);
    const QByteArray packed = sampleFiles().first().bytes;
    QCOMPARE(found.main, std::optional<QByteArray>(packed));
    QCOMPARE(found.variants,
             (QList<NamedBytes>{{QStringLiteral("ka-HzFst.svg"), own},
                                {QStringLiteral("ka-Kaisho.svg"), packed + "<!-- variant -->"}}));
    QCOMPARE(readStrokeFileBeside(ka)->strokes.size(), 3);
    const QList<StrokeFile> references = readStrokeFilesBeside(ka);
    QCOMPARE(references.size(), 3);
    QCOMPARE(references.at(1).strokes.size(), 5);

    writeFile(folder.filePath(QStringLiteral("ka.svg")), own);
    QCOMPARE(strokeFilesBeside(ka).main, std::optional<QByteArray>(own));
    QCOMPARE(readStrokeFileBeside(ka)->strokes.size(), 5);

    QVERIFY(!strokeFilesBeside(folder.filePath(QStringLiteral("absent.png"))).main);
    QVERIFY(!readStrokeFileBeside(QString()));
    QVERIFY(readStrokeFilesBeside(folder.filePath(QStringLiteral("absent.png"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestStrokePack)
#include "tst_strokepack.moc"
