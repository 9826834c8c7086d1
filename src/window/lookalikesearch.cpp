#include "lookalikesearch.h"

#include "catalogue.h"
#include "exercisefile.h"

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr quint64 shippedTicket = 0;

} // namespace

QList<PictureSound> picturesOfRecords(const QString &programFolder, const QStringList &records)
{
    QList<PictureSound> pictures;
    for (const QString &record : records) {
        const QStringList fields = exercise::fields(record);
        if (fields.size() < 2)
            continue;
        const QString path = exercise::picturePath(programFolder, fields.at(1));
        if (!path.isEmpty())
            pictures.append({path, fields.at(0)});
    }
    return pictures;
}

QList<PictureSound> shippedPictures(const QString &programFolder)
{
    const Catalogue catalogue = Catalogue::read(Catalogue::pathIn(programFolder));
    QList<PictureSound> pictures;
    pictures.reserve(catalogue.entries().size());
    for (const Catalogue::Entry &entry : catalogue.entries()) {
        const QString path = exercise::picturePath(programFolder, entry.picture());
        if (!path.isEmpty())
            pictures.append({path, entry.sound()});
    }
    return pictures;
}

LookAlikeSearch::LookAlikeSearch(const QString &programFolder, QObject *parent)
    : QObject(parent), m_programFolder(programFolder)
{
    connect(this, &LookAlikeSearch::built, this, &LookAlikeSearch::take, Qt::QueuedConnection);
}

LookAlikeSearch::~LookAlikeSearch()
{
    for (auto &[ticket, builder] : m_builders)
        builder.join();
}

void LookAlikeSearch::setExercise(const QStringList &records)
{
    if (!m_shippedStarted) {
        m_shippedStarted = true;
        build(shippedTicket, [folder = m_programFolder] { return shippedPictures(folder); });
    }
    // Reset starts a run on the same records.
    if (records == m_records)
        return;
    m_records = records;
    m_exercise.reset();
    build(++m_exerciseTicket,
          [folder = m_programFolder, records] { return picturesOfRecords(folder, records); });
}

std::optional<LookAlike> LookAlikeSearch::find(const Ink &ink, const QString &posed) const
{
    return findLookAlike(ink, posed, {m_exercise.get(), m_shipped.get()});
}

void LookAlikeSearch::build(quint64 ticket, std::function<QList<PictureSound>()> pictures)
{
    m_builders.emplace_back(ticket, std::thread([this, ticket, pictures = std::move(pictures)] {
                                // The learner's clicks come first.
                                ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
                                emit built(ticket, std::make_shared<const LookAlikeIndex>(
                                                       lookAlikeIndexOfPictures(pictures())));
                            }));
}

void LookAlikeSearch::take(quint64 ticket, const std::shared_ptr<const LookAlikeIndex> &index)
{
    // Its builder has handed it over and is ending.
    const auto done =
        std::find_if(m_builders.begin(), m_builders.end(),
                     [ticket](const auto &builder) { return builder.first == ticket; });
    if (done != m_builders.end()) {
        done->second.join();
        m_builders.erase(done);
    }
    if (ticket == shippedTicket)
        m_shipped = index;
    else if (ticket == m_exerciseTicket)
        m_exercise = index;
    else
        return;
    emit ready();
}
