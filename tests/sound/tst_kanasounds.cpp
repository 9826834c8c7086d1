#include "coursetable.h"
#include "soundfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

// Every kana of the shipped tables, as espeak-ng says it and as the build ships it.
class TestKanaSounds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void spokenAsRead_data() { kanaTable(); }
    void spokenAsRead();
    void shipped_data() { kanaTable(); }
    void shipped();

private:
    void kanaTable();

    QString espeak;
};

namespace {

// The course tables and the folder of their pictures and sounds.
const QList<QPair<QString, QString>> tables{{"hiragana", "hiragana"},
                                            {"hiragana-dakuten", "hiragana"},
                                            {"katakana", "katakana"},
                                            {"katakana-dakuten", "katakana"}};

// espeak-ng's IPA without what does not tell one kana from another: stress and length marks,
// the lowering and centring diacritics of its vowels (ä, e̞, o̞), the lip compression of its u.
QString plainIpa(const QString &ipa)
{
    QString plain;
    for (const QChar c : ipa.normalized(QString::NormalizationForm_D)) {
        if (c.isSpace() || QStringView(u"ˈˌːᵝ\u0308\u031E").contains(c))
            continue;
        plain += c;
    }
    return plain.normalized(QString::NormalizationForm_C);
}

// The IPA a Hepburn reading should be spoken as, once plainIpa() has been applied; empty for
// a reading this table does not know.
QString expectedIpa(const QString &reading)
{
    static const QHash<QString, QString> whole{
        {"shi", "ɕi"},  {"chi", "tɕi"}, {"tsu", "ts[ɯu]"}, {"fu", "ɸ[ɯu]"},
        {"ji", "d?ʑi"}, {"hi", "çi"},   {"n", "[ɴnŋm]"},   {"wo", "w?o"},
    };
    static const QHash<QString, QString> consonants{
        {"", ""},   {"k", "k"},     {"g", "[ɡg]"}, {"s", "s"},    {"z", "d?z"}, {"t", "t"},
        {"d", "d"}, {"n", "n"},     {"h", "h"},    {"b", "b"},    {"p", "p"},   {"m", "m"},
        {"y", "j"}, {"r", "[ɾɽr]"}, {"w", "w"},    {"v", "[vb]"},
    };
    static const QHash<QChar, QString> vowels{
        {'a', "a"}, {'i', "i"}, {'u', "[ɯu]"}, {'e', "e"}, {'o', "o"}};
    if (whole.contains(reading))
        return whole.value(reading);
    if (reading.isEmpty() || !vowels.contains(reading.back()))
        return {};
    const QString consonant = reading.first(reading.size() - 1);
    if (!consonants.contains(consonant))
        return {};
    return consonants.value(consonant) + vowels.value(reading.back());
}

} // namespace

void TestKanaSounds::initTestCase()
{
    espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
}

void TestKanaSounds::kanaTable()
{
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("picture"); // under images

    const QDir data(QStringLiteral(PLUMETTO_COURSE_DATA));
    int count = 0;
    for (const auto &[table, folder] : tables) {
        for (const auto &entry : kanacourse::readTable(data.filePath(table + ".tsv"))) {
            const QString picture = kanacourse::picturePath(entry, folder + '/');
            // "ji (di)": the part in parentheses tells ぢ from じ on screen and is not said.
            QTest::newRow(qPrintable(picture))
                << entry.kana << entry.reading.section(QStringLiteral(" ("), 0, 0) << picture;
            ++count;
        }
    }
    // Every kana of the four tables, the dakuten and ヴ included.
    QCOMPARE(count, 143);
}

void TestKanaSounds::spokenAsRead()
{
    QFETCH(QString, kana);
    QFETCH(QString, reading);
    if (espeak.isEmpty())
        QSKIP("espeak-ng is not installed");

    const QString pattern = expectedIpa(reading);
    QVERIFY2(!pattern.isEmpty(), qPrintable("no IPA known for the reading " + reading));
    QProcess speaker;
    speaker.start(espeak, {"-v", "ja", "-q", "--ipa", kana});
    QVERIFY(speaker.waitForFinished(10000));
    QCOMPARE(speaker.exitCode(), 0);
    const QString ipa = plainIpa(QString::fromUtf8(speaker.readAllStandardOutput()));
    const QRegularExpression expected('^' + pattern + '$');
    QVERIFY2(
        expected.match(ipa).hasMatch(),
        qPrintable(
            QStringLiteral("%1 (%2) is spoken [%3], not /%4/").arg(kana, reading, ipa, pattern)));
}

// Found beside its picture as the window looks for it, and a few kilobytes of Ogg Vorbis.
void TestKanaSounds::shipped()
{
    QFETCH(QString, picture);
    const QDir images(QStringLiteral(PLUMETTO_APP_DIR "/images"));
    const QString sound = soundFileFor(images.filePath(picture));
    QCOMPARE(sound, images.filePath(picture.chopped(4) + ".ogg"));
    QFile file(sound);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("OggS") && bytes.contains("\x01vorbis"));
    QVERIFY2(bytes.size() > 2000 && bytes.size() < 16000,
             qPrintable(QString::number(bytes.size())));
}

QTEST_GUILESS_MAIN(TestKanaSounds)
#include "tst_kanasounds.moc"
