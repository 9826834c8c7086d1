// kanjitables: writes the kanji course tables data/kanji-1.tsv to kanji-6.tsv from KANJIDIC2 and
// the KanjiVG stroke files.

#include "coursetext.h"
#include "kanjidic.h"

#include <QDir>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMap>
#include <QSaveFile>

#include <cstdio>
#include <map>

namespace {

const char usage[] =
    "Usage: kanjitables [--kanjidic FILE] --strokes-dir DIR --output-dir DIR\n"
    "\n"
    "Writes DIR/kanji-1.tsv to kanji-6.tsv, one course table per school grade, from KANJIDIC2\n"
    "(default /usr/share/edict/kanjidic2.xml.gz; a .gz file is read through gzip) and the\n"
    "KanjiVG stroke files DIR/<code point>.svg, whose stroke counts the comments give.\n"
    "Tells on standard output where KANJIDIC2 counts the strokes differently.\n";

// The question box at its first size: 209 pixels wide, less its frame and margins, in bold
// 12 points (16 pixels). The cut is measured with DejaVu Sans, wider than most sans-serif
// fonts, so that it holds with the font the desktop gives the window.
constexpr qreal questionTextWidth = 195;
constexpr int questionPixelSize = 16;
const char measuringFamily[] = "DejaVu Sans";

struct Options
{
    QString kanjidic = QStringLiteral("/usr/share/edict/kanjidic2.xml.gz");
    QString strokesDir;
    QString outputDir;
};

[[noreturn]] void usageError(const QString &message)
{
    std::fprintf(stderr, "kanjitables: %s\n\n%s", qPrintable(message), usage);
    std::exit(2);
}

Options parseArguments(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            std::exit(0);
        }
        if (i + 1 >= arguments.size())
            usageError(QStringLiteral("missing value after ") + name);
        const QString &value = arguments[++i];
        if (name == QLatin1String("--kanjidic"))
            options.kanjidic = value;
        else if (name == QLatin1String("--strokes-dir"))
            options.strokesDir = value;
        else if (name == QLatin1String("--output-dir"))
            options.outputDir = value;
        else
            usageError(QStringLiteral("unknown option ") + name);
    }
    if (options.strokesDir.isEmpty() || options.outputDir.isEmpty())
        usageError(QStringLiteral("--strokes-dir and --output-dir are needed"));
    return options;
}

QString tableText(int grade, const QString &version, const QList<kanjitables::CourseRow> &rows)
{
    QString text =
        QStringLiteral("# Kanji of school grade %1, most frequent first.\n"
                       "# Written by tools/kanjitables from KANJIDIC2 (database version %2) and "
                       "data/kanjivg/kanji: rerun it rather than edit.\n"
                       "# Course table: kanji, meaning, comment and the picture's name, separated "
                       "by tabs.\n"
                       "# Comments are written as the program shows them: \"(return)\" breaks the "
                       "line, \"=\" is kept.\n"
                       "# The stroke counts are those of the stroke files.\n")
            .arg(grade)
            .arg(version);
    for (const auto &row : rows)
        text += row.kanji + QLatin1Char('\t') + row.sound + QLatin1Char('\t') + row.comment +
                QLatin1Char('\t') + row.pictureName + QLatin1Char('\n');
    return text;
}

int run(const Options &options)
{
    QFont font(QString::fromLatin1(measuringFamily));
    font.setPixelSize(questionPixelSize);
    font.setBold(true);
    if (QFontInfo(font).family() != QLatin1String(measuringFamily))
        std::fprintf(stderr,
                     "kanjitables: warning: %s not found, the meanings are cut for %s instead\n",
                     measuringFamily, qPrintable(QFontInfo(font).family()));
    const QFontMetricsF metrics(font);
    const auto fits = [&metrics](const QString &text) {
        return metrics.horizontalAdvance(text) <= questionTextWidth;
    };

    kanjitables::Kanjidic dictionary = kanjitables::readKanjidicFile(options.kanjidic);
    if (dictionary.characters.isEmpty())
        throw kanjitables::DataError(options.kanjidic.toStdString() +
                                     ": no kanji of school grades 1 to 6");
    kanjitables::sortByFrequency(dictionary.characters);

    std::map<int, QList<kanjitables::CourseRow>> grades;
    const QDir strokes(options.strokesDir);
    int failures = 0;
    for (const kanjitables::Kanji &kanji : dictionary.characters) {
        const QString file = strokes.filePath(kanjitables::pictureName(kanji.literal) + ".svg");
        const std::optional<int> count = kanjitables::strokeCountOfFile(file);
        if (!count || *count == 0) {
            std::fprintf(stderr, "kanjitables: %s: no stroke file for %s\n", qPrintable(file),
                         qPrintable(kanji.literal));
            ++failures;
            continue;
        }
        if (*count != kanji.strokeCount)
            std::printf("%s U+%s grade %d: %d strokes in its stroke file, %d in KANJIDIC2\n",
                        qPrintable(kanji.literal),
                        qPrintable(kanjitables::pictureName(kanji.literal).toUpper()), kanji.grade,
                        *count, kanji.strokeCount);
        grades[kanji.grade].append(kanjitables::courseRow(kanji, *count, fits));
    }
    if (failures > 0)
        return 1;

    // Two kanji of a course posed by the same meaning cannot be told apart by the learner.
    for (const auto &[grade, rows] : grades) {
        QMap<QString, QString> bySound;
        for (const auto &row : rows)
            bySound[row.sound] += row.kanji;
        for (auto it = bySound.cbegin(); it != bySound.cend(); ++it) {
            if (it.value().size() > 1)
                std::printf("kanji-%d: \"%s\" poses %s\n", grade, qPrintable(it.key()),
                            qPrintable(it.value()));
        }
    }

    for (const auto &[grade, rows] : grades) {
        const QString path =
            QDir(options.outputDir).filePath(QStringLiteral("kanji-%1.tsv").arg(grade));
        QSaveFile file(path);
        const QByteArray bytes = tableText(grade, dictionary.databaseVersion, rows).toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            std::fprintf(stderr, "kanjitables: %s: %s\n", qPrintable(path),
                         qPrintable(file.errorString()));
            return 1;
        }
        std::printf("%s: %lld kanji\n", qPrintable(path), static_cast<long long>(rows.size()));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Measuring text needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        return run(parseArguments(QCoreApplication::arguments()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "kanjitables: %s\n", error.what());
        return 1;
    }
}
