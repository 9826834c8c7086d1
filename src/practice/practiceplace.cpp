// The runs that do not start from the first record of a file just opened: an exercise taken up
// where it was left, and a review.
#include "practice.h"

#include "exercisefile.h"
#include "texts.h"

#include <QHash>
#include <QScopeGuard>

#include <new>
#include <utility>

namespace {

using Slots = std::bitset<32768>;

// The slots named, as bits, when each lies below `bound` and appears once; nothing otherwise.
std::optional<Slots> slotsOf(const QList<std::int16_t> &indices, int bound, qsizetype from = 0)
{
    Slots bits;
    for (qsizetype i = from; i < indices.size(); ++i) {
        const std::int16_t index = indices.at(i);
        if (index < 0 || index >= bound || bits.test(static_cast<std::size_t>(index)))
            return std::nullopt;
        bits.set(static_cast<std::size_t>(index));
    }
    return bits;
}

// The order of records given by their text, as positions among `records`: identical records
// are interchangeable. Empty when a text is not among them.
QList<std::int16_t> orderOfTexts(const exercise::Records &records, const QStringList &texts)
{
    const int bound = static_cast<int>(records.size()) - 1;
    if (texts.size() != records.size())
        return {};
    QHash<QString, QList<std::int16_t>> positions;
    for (int i = bound - 1; i >= 0; --i)
        positions[records.at(i)].append(static_cast<std::int16_t>(i));
    QList<std::int16_t> order;
    order.reserve(bound);
    for (int i = 0; i < bound; ++i) {
        QList<std::int16_t> &free = positions[texts.at(i)];
        if (free.isEmpty())
            return {};
        order.append(free.takeLast());
    }
    return order;
}

} // namespace

std::optional<Practice::Place> Practice::place() const
{
    if (!m_progress.active || m_review)
        return std::nullopt;
    Place place;
    place.sha256 = m_fileSha256;
    const int bound = upperBound();
    place.order.reserve(bound);
    for (int i = 0; i < bound; ++i) {
        place.order.append(static_cast<std::int16_t>(m_lignes.origin(i)));
        if (m_waiting.test(static_cast<std::size_t>(i)))
            place.waiting.append(static_cast<std::int16_t>(i));
        if (m_wrongOnce.test(static_cast<std::size_t>(i)))
            place.wrongOnce.append(static_cast<std::int16_t>(i));
    }
    place.numero = m_numero;
    place.trouves = m_trouves;
    place.secondPass = m_progress.secondPass;
    return place;
}

bool Practice::takeUp(const QString &path, const Place &place)
{
    if (!m_window.isOrdinaryFile(path))
        return false;
    exercise::Records records;
    QByteArray sha256;
    try {
        m_window.setBusy(true);
        const auto idle = qScopeGuard([this] { m_window.setBusy(false); });
        records = exercise::Records(exercise::readText(path, &sha256));
    } catch (const ExerciseError &) {
        return false;
    } catch (const std::bad_alloc &) {
        return false;
    }
    const int bound = static_cast<int>(records.size()) - 1;
    if (sha256 != place.sha256 || bound < 1 || bound > exercise::maxRecords)
        return false;
    const QList<std::int16_t> order =
        place.records.isEmpty() ? place.order : orderOfTexts(records, place.records);
    const std::optional<Slots> positions = slotsOf(order, bound);
    if (!positions || order.size() != bound)
        return false;
    // The records the place was made on, in its order; the piece after them is left as a
    // random order leaves it.
    bool shuffled = false;
    for (int i = 0; i < bound && !shuffled; ++i)
        shuffled = order.at(i) != i;
    if (shuffled) {
        records.reorder(order);
        records.clearAt(bound);
    }
    // Set first, so that the run's observer finds the file's fingerprint when the run starts.
    QByteArray before = std::exchange(m_fileSha256, sha256);
    if (resume(std::move(records), path, place))
        return true;
    m_fileSha256 = std::move(before);
    return false;
}

bool Practice::restore(const QString &fileName, const QStringList &lignes, std::int16_t numero,
                       const QList<std::int16_t> &trouves)
{
    Place place;
    place.numero = numero;
    place.trouves = trouves;
    return resume(exercise::Records(lignes), fileName, place);
}

bool Practice::resume(exercise::Records lignes, const QString &fileName, const Place &place)
{
    const int bound = static_cast<int>(lignes.size()) - 1;
    const std::int16_t numero = place.numero;
    if (bound < 1 || bound > exercise::maxRecords || numero < 0 || numero >= bound ||
        place.trouves.value(0) != marker || place.trouves.size() - 1 >= bound)
        return false;
    std::optional<Slots> found = slotsOf(place.trouves, bound, 1);
    const std::optional<Slots> waiting = slotsOf(place.waiting, bound);
    const std::optional<Slots> wrongOnce = slotsOf(place.wrongOnce, bound);
    if (!found || !waiting || !wrongOnce || found->test(static_cast<std::size_t>(numero)) ||
        (*waiting & *found).any() || (*waiting & ~*wrongOnce).any())
        return false;
    found->set(marker);

    reinitialiser(BlankFailure::Report);
    m_fileName = fileName;
    m_review = fileName.isEmpty();
    m_lignes = std::move(lignes);
    m_numero = numero;
    m_trouves = place.trouves;
    m_found = *found;
    m_window.setEnabled(Button::Command1, true);
    m_window.setCaption(texts::captionBase + (m_review ? texts::reviewName : fileName));
    startRun();
    m_waiting = *waiting;
    m_wrongOnce = *wrongOnce;
    m_progress.right = static_cast<int>(place.trouves.size()) - 1;
    m_progress.waiting = static_cast<int>(waiting->count());
    m_progress.wrongOnce = static_cast<int>(wrongOnce->count());
    m_progress.secondPass = place.secondPass;
    // Before the records come back, every record up to the one posed has been posed once, and
    // the found ones in any case; afterwards it no longer matters.
    for (int i = 0; i < numero; ++i)
        m_posed.set(static_cast<std::size_t>(i));
    m_posed |= *found;
    poserquestion();
    return true;
}

bool Practice::startReview(const QStringList &records)
{
    if (records.isEmpty() || records.size() > exercise::maxRecords)
        return false;
    QStringList lignes = records;
    lignes.append(QString());
    return restore(QString(), lignes, 0, {marker});
}
