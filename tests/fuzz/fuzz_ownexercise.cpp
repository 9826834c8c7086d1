// Feeds arbitrary input to the making of a learner's own exercise: the bytes before the first
// NUL byte are read as a catalogue, those after it as a pasted text in UTF-16 (so that lone
// halves of surrogate pairs come up), and the characters the text gives are checked against
// both. A broken invariant aborts with a description, so libFuzzer keeps the input.

#include "catalogue.h"
#include "exercisefile.h"
#include "ownexercise.h"

#include <QByteArray>
#include <QSet>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char *what, const QString &detail = {})
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail.left(200)));
    std::abort();
}

char32_t codePointOf(const QString &character)
{
    const QList<uint> points = character.toUcs4();
    return points.size() == 1 ? char32_t(points.first()) : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray catalogueBytes = nul < 0 ? input : input.left(nul);
    const QByteArray textBytes = nul < 0 ? QByteArray() : input.mid(nul + 1);
    const Catalogue catalogue = Catalogue::parse(catalogueBytes);
    const QString text(reinterpret_cast<const QChar *>(textBytes.constData()),
                       textBytes.size() / 2);

    const ownexercise::Selection selection = ownexercise::select(text, catalogue);
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QSet<qsizetype> places;
    bool plain = true;
    for (const Catalogue::Entry *entry : selection.entries) {
        const qsizetype place = catalogue.indexOf(entry);
        require(place >= 0, "an entry outside the catalogue");
        require(!places.contains(place), "an entry twice", entry->character);
        places.insert(place);
        require(composed.contains(entry->character), "an entry not in the text", entry->character);
        // What a record of the exercise format cannot hold; the shipped catalogue has none.
        plain = plain && !entry->record.contains(QLatin1Char('*')) &&
                !entry->record.contains(QLatin1Char('\r')) &&
                !entry->record.startsWith(QChar(0xFEFF));
    }
    QSet<QString> unmatched;
    for (const QString &character : selection.unmatched) {
        require(!unmatched.contains(character), "a character listed twice", character);
        unmatched.insert(character);
        require(catalogue.find(character) == nullptr, "a shipped character listed", character);
        require(ownexercise::isJapanese(codePointOf(character)), "not Japanese", character);
        require(composed.contains(character), "a listed character not in the text", character);
    }

    // The file poses exactly the entries, in their order.
    const QByteArray bytes = ownexercise::fileBytes(selection.entries);
    if (plain) {
        const QStringList records = exercise::cutRecords(exercise::textFromBytes(bytes));
        require(records.size() == (bytes.isEmpty() ? 0 : selection.entries.size() + 1),
                "the file does not hold one record per entry");
        for (qsizetype i = 0; i < selection.entries.size(); ++i)
            require(records.at(i) == selection.entries.at(i)->record, "a record changed",
                    records.at(i));
    }

    const QString courses = ownexercise::courses(catalogue).join(QLatin1Char('|'));
    const QStringList pictures = text.split(QLatin1Char('\n'));
    const QString fromPictures = ownexercise::charactersOfPictures(catalogue, pictures);
    require(fromPictures.size() <= 2 * catalogue.entries().size(), "pictures beyond the catalogue",
            courses);
    return 0;
}
