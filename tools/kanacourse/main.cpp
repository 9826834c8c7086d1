// kanacourse: writes a course file and its solution pictures from tables of characters.

#include "catalogue.h"
#include "coursetable.h"
#include "kanapicture.h"
#include "strokefile.h"
#include "strokepicture.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace {

const char usage[] =
    "Usage: kanacourse [--font FILE] [--size PIXELS]\n"
    "                  [--images-dir DIR] [--strokes-dir DIR [--copy-strokes] [--draw-strokes]]\n"
    "                  [--course FILE] [--catalogue FILE]\n"
    "                  [--prefix SUBDIR/] [--reading-suffix TEXT] [--course-name NAME]\n"
    "                  --table FILE [[--prefix ...] [--reading-suffix ...] --table FILE]...\n"
    "\n"
    "Writes the course FILE from the tables, in their order. Each table line reads\n"
    "  kana<TAB>reading<TAB>comment[<TAB>picture name[<TAB>grade<TAB>JLPT<TAB>frequency]]\n"
    "and gives the record \"readingTEXT=SUBDIR/name.png=comment*\", SUBDIR and TEXT being\n"
    "the last --prefix and --reading-suffix given before that table. A comment holding a\n"
    "character that the course draws is refused, and so are two records asking the same\n"
    "question. With --images-dir, the pictures are drawn too, as DIR/SUBDIR/name.png, square\n"
    "PNG files of PIXELS a side (default 200), and DIR/SUBDIR/name@2x.png, twice as large,\n"
    "for screens of pixel ratio 2. With --strokes-dir, every single character must have its\n"
    "KanjiVG stroke file there, named by its code point (0304b.svg for U+304B);\n"
    "--copy-strokes copies it beside its picture as DIR/SUBDIR/name.svg, and --draw-strokes\n"
    "draws the pictures from those files instead of the font. --catalogue writes FILE, the\n"
    "catalogue of the tables' characters, each with its record, the course NAME of the last\n"
    "--course-name given before its table, its grade, JLPT level and frequency rank.\n";

constexpr int defaultSide = 200;

struct Source
{
    QString table;
    QString prefix;
    QString readingSuffix;
    QString courseName;
};

struct Options
{
    QString font = QStringLiteral(KANACOURSE_FONT);
    int side = defaultSide;
    std::optional<QString> imagesDir;
    std::optional<QString> strokesDir;
    bool copyStrokes = false;
    bool drawStrokes = false;
    QString course;
    QString catalogue;
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
    QString readingSuffix;
    QString courseName;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            std::exit(0);
        }
        if (name == QLatin1String("--draw-strokes")) {
            options.drawStrokes = true;
            continue;
        }
        if (name == QLatin1String("--copy-strokes")) {
            options.copyStrokes = true;
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
        } else if (name == QLatin1String("--reading-suffix")) {
            if (value.contains(QLatin1Char('*')) || value.contains(QLatin1Char('=')))
                throw UsageError("--reading-suffix cannot hold a \"*\" or a \"=\"");
            readingSuffix = value;
        } else if (name == QLatin1String("--course")) {
            options.course = value;
        } else if (name == QLatin1String("--catalogue")) {
            options.catalogue = value;
        } else if (name == QLatin1String("--course-name")) {
            courseName = value;
        } else if (name == QLatin1String("--prefix")) {
            prefix = normalisedPrefix(value);
        } else if (name == QLatin1String("--table")) {
            options.sources.append({value, prefix, readingSuffix, courseName});
        } else {
            throw UsageError("unknown option " + name.toStdString());
        }
    }
    if ((options.course.isEmpty() && options.catalogue.isEmpty()) || options.sources.isEmpty())
        throw UsageError("--course or --catalogue, and at least one --table, are needed");
    if (options.strokesDir && !options.imagesDir)
        throw UsageError("--strokes-dir needs --images-dir");
    if ((options.drawStrokes || options.copyStrokes) && !options.strokesDir)
        throw UsageError("--draw-strokes and --copy-strokes need --strokes-dir");
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

// The file beside a picture ("hiragana/ka.png") with the same base name and another ending
// ("@2x.png", ".svg").
QString besidePicture(const QString &picture, const QString &ending)
{
    return picture.chopped(qsizetype(std::strlen(".png"))) + ending;
}

// Reads the stroke file of the characters, stopping the tool when there is none.
QByteArray strokeFile(const QString &dir, const kanacourse::TableEntry &entry)
{
    QFile file(QDir(dir).filePath(kanacourse::strokeFileName(entry.kana)));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("%1:%2: no stroke file for \"%3\": %4: %5")
                                     .arg(entry.source)
                                     .arg(entry.line)
                                     .arg(entry.kana, file.fileName(), file.errorString())
                                     .toStdString());
    return file.readAll();
}

struct Item
{
    kanacourse::TableEntry entry;
    QString prefix;
    QString readingSuffix;
};

// Draws every picture, and its twin at twice the size, from its character's stroke file, and
// copies the file beside it if asked. Every file is read and checked before anything is
// written.
void drawFromStrokeFiles(const Options &options, const QList<Item> &items)
{
    QList<QByteArray> bytes;
    QList<StrokeFile> drawings;
    for (const Item &item : items) {
        if (kanacourse::strokeFileName(item.entry.kana).isEmpty())
            throw kanacourse::PictureError(
                QStringLiteral("%1:%2: \"%3\" is not one character, it has no stroke file")
                    .arg(item.entry.source)
                    .arg(item.entry.line)
                    .arg(item.entry.kana)
                    .toStdString());
        bytes.append(strokeFile(*options.strokesDir, item.entry));
        const std::optional<StrokeFile> drawing = parseStrokeFile(bytes.last());
        if (!drawing || drawing->numberPositions.size() != drawing->strokes.size())
            throw kanacourse::PictureError(
                QStringLiteral("%1:%2: the stroke file of \"%3\" cannot be drawn with its "
                               "numbers")
                    .arg(item.entry.source)
                    .arg(item.entry.line)
                    .arg(item.entry.kana)
                    .toStdString());
        drawings.append(*drawing);
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString picture =
            QDir(*options.imagesDir)
                .filePath(kanacourse::picturePath(items[i].entry, items[i].prefix));
        writePicture(picture, kanacourse::strokePicture(drawings[i], options.side));
        writePicture(besidePicture(picture, QStringLiteral("@2x.png")),
                     kanacourse::strokePicture(drawings[i], 2 * options.side));
        if (options.copyStrokes)
            writeFile(besidePicture(picture, QStringLiteral(".svg")), bytes[i]);
    }
}

int run(const Options &options)
{
    QList<Item> items;
    QList<kanacourse::TableEntry> entries;
    QList<kanacourse::TableEntry> questions;
    QList<kanacourse::CatalogueLine> catalogue;
    QSet<QString> pictures;
    for (const Source &source : options.sources) {
        for (const kanacourse::TableEntry &entry : kanacourse::readTable(source.table)) {
            const QString picture = kanacourse::picturePath(entry, source.prefix);
            if (pictures.contains(picture))
                throw kanacourse::TableError(source.table.toStdString() + ": picture " +
                                             picture.toStdString() +
                                             " is named by another table too");
            pictures.insert(picture);
            items.append({entry, source.prefix, source.readingSuffix});
            entries.append(entry);
            questions.append(entry);
            questions.last().reading += source.readingSuffix;
            catalogue.append({entry,
                              kanacourse::courseRecord(entry, source.prefix, source.readingSuffix),
                              source.courseName});
        }
    }
    // A catalogue alone spans several courses: what one course must not hold is checked where
    // that course is written.
    if (!options.course.isEmpty()) {
        kanacourse::refuseGiveaways(entries);
        kanacourse::refuseSameQuestions(questions);
    }

    if (options.imagesDir && options.drawStrokes) {
        drawFromStrokeFiles(options, items);
    } else if (options.imagesDir) {
        const kanacourse::KanaPainter painter(options.font);
        for (const Item &item : items) {
            if (!painter.supports(item.entry.kana))
                throw kanacourse::PictureError(
                    QStringLiteral("%1: the font has no glyph for \"%2\"")
                        .arg(item.entry.source, item.entry.kana)
                        .toStdString());
        }
        // Stroke files are read before anything is written, so that a missing one leaves
        // nothing half done.
        QList<std::optional<QByteArray>> strokes(items.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (options.strokesDir && !kanacourse::strokeFileName(items[i].entry.kana).isEmpty())
                strokes[i] = strokeFile(*options.strokesDir, items[i].entry);
        }
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item &item = items[i];
            const QString picture =
                QDir(*options.imagesDir).filePath(kanacourse::picturePath(item.entry, item.prefix));
            writePicture(picture, painter.picture(item.entry.kana, options.side));
            writePicture(besidePicture(picture, QStringLiteral("@2x.png")),
                         painter.picture(item.entry.kana, 2 * options.side));
            if (strokes[i] && options.copyStrokes)
                writeFile(besidePicture(picture, QStringLiteral(".svg")), *strokes[i]);
        }
    }

    if (!options.catalogue.isEmpty())
        writeFile(options.catalogue, kanacourse::catalogueBytes(catalogue));
    if (!options.course.isEmpty()) {
        QList<QString> records;
        for (const Item &item : items)
            records.append(kanacourse::courseRecord(item.entry, item.prefix, item.readingSuffix));
        writeFile(options.course, kanacourse::courseBytes(records));
    }
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
