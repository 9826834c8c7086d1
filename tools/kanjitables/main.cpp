// kanjitables: writes the kanji course tables data/kanji-1.tsv to kanji-6.tsv and
// kanji-college-1.tsv to kanji-college-6.tsv from KANJIDIC2 and the KanjiVG stroke files.

#include "coursetext.h"
#include "kanjidic.h"

#include <QDir>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <map>

namespace {

const char usage[] =
    "Usage: kanjitables [--kanjidic FILE] --strokes-dir DIR --output-dir DIR\n"
    "\n"
    "Writes DIR/kanji-1.tsv to kanji-6.tsv, one course table per school grade, and\n"
    "DIR/kanji-college-1.tsv to kanji-college-6.tsv, the kanji taught after primary school in\n"
    "six parts, from KANJIDIC2 (default /usr/share/edict/kanjidic2.xml.gz; a .gz file is read\n"
    "through gzip) and the KanjiVG stroke files DIR/<code point>.svg, whose stroke counts the\n"
    "comments give. Tells on standard output where KANJIDIC2 counts the strokes differently;\n"
    "fails when two kanji of a course would ask the same question.\n";

// The kanji taught after primary school come in this many courses of about equal size.
constexpr int collegeCourses = 6;
constexpr int collegeGrade = 8;

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

struct Course
{
    QString name;
    QString title;
    QList<kanjitables::CourseKanji> kanji;
};

// The primary courses by grade, then the later kanji in equal parts, each most frequent first.
QList<Course> coursesOf(const QList<kanjitables::CourseKanji> &sorted)
{
    std::map<int, QList<kanjitables::CourseKanji>> grades;
    for (const auto &entry : sorted)
        grades[entry.kanji.grade].append(entry);
    QList<Course> courses;
    for (const auto &[grade, kanji] : grades) {
        if (grade == collegeGrade)
            continue;
        courses.append({QStringLiteral("kanji-%1").arg(grade),
                        QStringLiteral("Kanji of school grade %1").arg(grade), kanji});
    }
    const QList<kanjitables::CourseKanji> later = grades[collegeGrade];
    const qsizetype part = (later.size() + collegeCourses - 1) / collegeCourses;
    for (int i = 0; i < collegeCourses && i * part < later.size(); ++i)
        courses.append({QStringLiteral("kanji-college-%1").arg(i + 1),
                        QStringLiteral("Kanji taught after primary school (grade %1 in KANJIDIC2), "
                                       "part %2 of %3")
                            .arg(collegeGrade)
                            .arg(i + 1)
                            .arg(collegeCourses),
                        later.mid(i * part, part)});
    return courses;
}

QString optionalNumber(std::optional<int> number)
{
    return number ? QString::number(*number) : QString();
}

QString tableText(const Course &course, const QString &version,
                  const QList<kanjitables::CourseRow> &rows)
{
    QString text =
        QStringLiteral("# %1, most frequent first.\n"
                       "# Written by tools/kanjitables from KANJIDIC2 (database version %2) and "
                       "data/kanjivg/kanji: rerun it rather than edit.\n"
                       "# Course table: kanji, meaning, comment, the picture's name, the school "
                       "grade (8: after primary school), the old JLPT level and the frequency "
                       "rank (empty when KANJIDIC2 gives none), separated by tabs.\n"
                       "# Comments are written as the program shows them: \"(return)\" breaks the "
                       "line, \"=\" is kept.\n"
                       "# The stroke counts are those of the stroke files.\n")
            .arg(course.title, version);
    for (const auto &row : rows)
        text += QStringList{row.kanji,
                            row.sound,
                            row.comment,
                            row.pictureName,
                            QString::number(row.grade),
                            optionalNumber(row.jlpt),
                            optionalNumber(row.frequency)}
                    .join(QLatin1Char('\t')) +
                QLatin1Char('\n');
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
        throw kanjitables::DataError(options.kanjidic.toStdString() + ": no jouyou kanji");
    kanjitables::sortByFrequency(dictionary.characters);

    QList<kanjitables::CourseKanji> sorted;
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
        sorted.append({kanji, *count});
    }

    // Two kanji of a course posed alike cannot be told apart by the learner.
    const QList<Course> courses = coursesOf(sorted);
    QList<QList<kanjitables::CourseRow>> tables;
    for (const Course &course : courses) {
        tables.append(kanjitables::courseRows(course.kanji, fits));
        for (const auto &[sound, kanji] : kanjitables::sharedQuestions(tables.last())) {
            std::fprintf(stderr, "kanjitables: %s: \"%s\" asks for %s\n", qPrintable(course.name),
                         qPrintable(sound), qPrintable(kanji));
            ++failures;
        }
    }
    if (failures > 0)
        return 1;

    for (qsizetype i = 0; i < courses.size(); ++i) {
        const QString path = QDir(options.outputDir).filePath(courses[i].name + ".tsv");
        QSaveFile file(path);
        const QByteArray bytes =
            tableText(courses[i], dictionary.databaseVersion, tables[i]).toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            std::fprintf(stderr, "kanjitables: %s: %s\n", qPrintable(path),
                         qPrintable(file.errorString()));
            return 1;
        }
        std::printf("%s: %lld kanji\n", qPrintable(path), static_cast<long long>(tables[i].size()));
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
