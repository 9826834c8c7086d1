#pragma once

#include "ink.h"
#include "lookalikes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// Which other character a drawing is, when it is not the one asked: one of the exercise's own
// records that has a stroke file, else one of the characters shipped with the program (the
// catalogue's). Reading and resampling every shipped character's stroke files takes far longer
// than a click may wait, so each index is built on a thread of its own from its own copy of
// what it needs, and handed back to this object's thread when done; until then the search does
// without it.
class LookAlikeSearch : public QObject
{
    Q_OBJECT

public:
    // `programFolder` holds the images and the catalogue.
    explicit LookAlikeSearch(const QString &programFolder, QObject *parent = nullptr);
    // Waits for the builders still at work.
    ~LookAlikeSearch() override;

    // The exercise now in play, its records as written: their index is built anew. The first
    // call also starts on the shipped characters' index.
    void setExercise(const QStringList &records);

    // The character, other than `posed`, that the drawing is correct for: the exercise's
    // records first, then the shipped characters, each index only once it is built.
    std::optional<LookAlike> find(const Ink &ink, const QString &posed) const;

    // Whether both indexes are built.
    bool isReady() const { return m_exercise && m_shipped; }

signals:
    // From a builder's thread: the index of ticket `ticket` (0 the shipped characters, else the
    // exercise of that number) is built.
    void built(quint64 ticket, std::shared_ptr<const LookAlikeIndex> index);
    // An index has been taken in.
    void ready();

private:
    // Builds, on a thread of its own, the index of the pictures that `pictures` gives there.
    void build(quint64 ticket, std::function<QList<PictureSound>()> pictures);
    void take(quint64 ticket, const std::shared_ptr<const LookAlikeIndex> &index);

    QString m_programFolder;
    QStringList m_records;
    quint64 m_exerciseTicket = 0;
    bool m_shippedStarted = false;
    std::shared_ptr<const LookAlikeIndex> m_exercise;
    std::shared_ptr<const LookAlikeIndex> m_shipped;
    // Joined, not only waited for: a thread still ending when the program ends is one that
    // outlives what it used.
    std::vector<std::pair<quint64, std::thread>> m_builders;
};

// How a record of an exercise is asked and drawn, for the index of its characters: its sound
// and its picture's path below the program folder's images; records without a picture are left
// out.
QList<PictureSound> picturesOfRecords(const QString &programFolder, const QStringList &records);
// The same of every character shipped with the program, from its catalogue.
QList<PictureSound> shippedPictures(const QString &programFolder);
