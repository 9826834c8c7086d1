// kanacourse: writes a course file and its solution pictures from tables of characters.

#include "coursetable.h"
#include "kanapicture.h"
#include "strokefile.h"
#include "strokepicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace {

const char usage[] =
    "Usage: kanacourse [--font FILE] [--size PIXELS] [--images-dir DIR] --course FILE\n"
    "                  [--prefix SUBDIR/] --table FILE [[--prefix SUBDIR/] --table FILE]...\n"
    "\n"
    "Writes the course FILE from the tables, in their order. Each table line reads\n"
    "  kana<TAB>reading<TAB>comment[<TAB>picture name]\n"
    "and gives the record \"reading=SUBDIR/name.png=comment*\", SUBDIR being the last\n"
    "--prefix given before that table. With --images-dir, the pictures are drawn too,\n"
    "as DIR/SUBDIR/name.png, square PNG files of PIXELS a side (default 200).\n"
    "\n"
    "  --strokes-dir SDIR  draw each picture from the KanjiVG stroke file of its character,\n"
    "                      SDIR/<code point in five hex digits>.svg, not from the font\n"
    "  --with-strokes      put each character's stroke file beside its picture, as name.svg\n"
    "  --hidpi             draw each picture at twice the size too, as name@2x.png\n";

constexpr int defaultSide = 200;

struct Source
{
    QString table;
    QString prefix;
};

struct Options
{
    QString font = QStringLiteral(KANACOURSE_FONT);
    int side = defaultSide;
    std::optional<QString> imagesDir;
    std::optional<QString> strokesDir;
    bool withStrokes = false;
    bool hidpi = false;
    QString course;
    QList<Source> sources;
};

class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

QString normalisedPrefix(QString prefix)
{
    static const QRegularExpression allowed(QStringLiteral("^([a-z0-9_-]+/)*$"));
    if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    if (!allowed.match(prefix).hasMatch())
        throw UsageError("--prefix " + prefix.toStdString() +
                         ": use folder names of a-z, 0-9, \"-\" and \"_\"");
    return prefix;
}

Options parseArguments(const QStringList &arguments)
{
    Options options;
    QString prefix;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            std::exit(0);
        }
        if (name == QLatin1String("--with-strokes")) {
            options.withStrokes = true;
            continue;
        }
        if (name == QLatin1String("--hidpi")) {
            options.hidpi = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            throw UsageError("missing value after " + name.toStdString());
        const QString value = arguments[++i];
        if (name == QLatin1String("--font")) {
            options.font = value;
        } else if (name == QLatin1String("--size")) {
            bool ok = false;
            options.side = value.toInt(&ok);
            if (!ok || options.side < 32 || options.side > 2000)
                throw UsageError("--size takes a number of pixels from 32 to 2000");
        } else if (name == QLatin1String("--images-dir")) {
            options.imagesDir = value;
        } else if (name == QLatin1String("--strokes-dir")) {
            options.strokesDir = value;
        } else if (name == QLatin1String("--course")) {
            options.course = value;
        } else if (name == QLatin1String("--prefix")) {
            prefix = normalisedPrefix(value);
        } else if (name == QLatin1String("--table")) {
            options.sources.append({value, prefix});
        } else {
            throw UsageError("unknown option " + name.toStdString());
        }
    }
    if (options.course.isEmpty() || options.sources.isEmpty())
        throw UsageError("--course and at least one --table are needed");
    if ((options.withStrokes || options.hidpi) && !options.imagesDir)
        throw UsageError("--with-strokes and --hidpi need --images-dir");
    if (options.withStrokes && !options.strokesDir)
        throw UsageError("--with-strokes needs --strokes-dir");
    return options;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(path.toStdString() + ": " + file.errorString().toStdString());
}

// For PNG, Qt maps quality 0 to zlib's strongest compression; the pixels stay exact.
constexpr int pngSmallest = 0;

void writePicture(const QString &path, const QImage &image)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG", pngSmallest) ||
        !file.commit())
        throw std::runtime_error(path.toStdString() + ": " + file.errorString().toStdString());
}

struct Item
{
    kanacourse::TableEntry entry;
    QString prefix;
    QString table;
};

// "kanji/06c34.png" gives "kanji/06c34@2x.png", the name Qt looks for on a high-density screen.
QString doubleSizePath(const QString &picture)
{
    return picture.chopped(4) + QStringLiteral("@2x.png");
}

// The stroke file of a single character: SDIR/<code point in five hex digits>.svg.
QString strokeFilePath(const QString &strokesDir, const Item &item)
{
    const QList<uint> codePoints = item.entry.kana.toUcs4();
    if (codePoints.size() != 1)
        throw kanacourse::PictureError(
            QStringLiteral("%1: \"%2\" is not one character, it has no stroke file")
                .arg(item.table, item.entry.kana)
                .toStdString());
    return QDir(strokesDir)
        .filePath(QStringLiteral("%1.svg").arg(codePoints.first(), 5, 16, QLatin1Char('0')));
}

void drawFromStrokeFiles(const Options &options, const QList<Item> &items)
{
    for (const Item &item : items) {
        const QString source = strokeFilePath(*options.strokesDir, item);
        const std::optional<StrokeFile> strokes = readStrokeFile(source);
        if (!strokes || strokes->numberPositions.size() != strokes->strokes.size())
            throw kanacourse::PictureError(
                QStringLiteral("%1: \"%2\": %3 is not a usable stroke file with its numbers")
                    .arg(item.table, item.entry.kana, source)
                    .toStdString());
        const QString picture =
            QDir(*options.imagesDir).filePath(kanacourse::picturePath(item.entry, item.prefix));
        writePicture(picture, kanacourse::strokePicture(*strokes, options.side));
        if (options.hidpi)
            writePicture(doubleSizePath(picture),
                         kanacourse::strokePicture(*strokes, 2 * options.side));
        if (options.withStrokes) {
            QFile file(source);
            if (!file.open(QIODevice::ReadOnly))
                throw std::runtime_error(source.toStdString() + ": " +
                                         file.errorString().toStdString());
            writeFile(picture.chopped(4) + QStringLiteral(".svg"), file.readAll());
        }
    }
}

int run(const Options &options)
{
    QList<Item> items;
    QSet<QString> pictures;
    for (const Source &source : options.sources) {
        for (const kanacourse::TableEntry &entry : kanacourse::readTable(source.table)) {
            const QString picture = kanacourse::picturePath(entry, source.prefix);
            if (pictures.contains(picture))
                throw kanacourse::TableError(source.table.toStdString() + ": picture " +
                                             picture.toStdString() +
                                             " is named by another table too");
            pictures.insert(picture);
            items.append({entry, source.prefix, source.table});
        }
    }

    if (options.imagesDir && options.strokesDir) {
        drawFromStrokeFiles(options, items);
    } else if (options.imagesDir) {
        const kanacourse::KanaPainter painter(options.font);
        for (const Item &item : items) {
            if (!painter.supports(item.entry.kana))
                throw kanacourse::PictureError(
                    QStringLiteral("%1: the font has no glyph for \"%2\"")
                        .arg(item.table, item.entry.kana)
                        .toStdString());
        }
        for (const Item &item : items) {
            const QString picture =
                QDir(*options.imagesDir).filePath(kanacourse::picturePath(item.entry, item.prefix));
            writePicture(picture, painter.picture(item.entry.kana, options.side));
            if (options.hidpi)
                writePicture(doubleSizePath(picture),
                             painter.picture(item.entry.kana, 2 * options.side));
        }
    }

    QList<QString> records;
    for (const Item &item : items)
        records.append(kanacourse::courseRecord(item.entry, item.prefix));
    writeFile(options.course, kanacourse::courseBytes(records));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing needs no screen: the offscreen platform serves unless another one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    try {
        return run(parseArguments(QCoreApplication::arguments()));
    } catch (const UsageError &error) {
        std::fprintf(stderr, "kanacourse: %s\n\n%s", error.what(), usage);
        return 2;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "kanacourse: %s\n", error.what());
        return 1;
    }
}
