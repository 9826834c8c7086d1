#pragma once

#include "fsrs.h"
#include "store.h"
#include "transfer.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The learner's history: every judgement with its drawing, one memory card per character for
// the spaced review, and the unfinished exercises, in the SQLite file plumetto.sqlite of a
// folder. Failures never throw: a call that fails returns false or nothing, and error() then
// holds the reason in French for the warning box. Times are passed in by the caller, so the
// clock is theirs; they are stored in UTC.
//
// The file itself is the store's (store.h); the judgements are here (history.cpp), the cards
// derived from them in cards.h, with the scheduler that moves a card in fsrs.h; the statistics'
// queries are in statistics.cpp, the unfinished exercises in savedexercise.cpp, the export and
// the import in transfer.cpp.
class History
{
public:
    enum class Verdict { Juste, Faux };

    struct Judgement
    {
        QDateTime at;
        // The exercise file's full path, or reviewCourse.
        QString course;
        QString sound;
        // Field 1 as written; stored with "\" turned into "/".
        QString picture;
        QString comment;
        Verdict verdict = Verdict::Juste;
        // From the posing to the judgement.
        double seconds = 0;
        // The stroke check's verdict text; a null string is stored as NULL.
        QString check;
        // The drawing in its encoded form; a null array is stored as NULL.
        QByteArray strokes;
        // The exercise run it belongs to, an identity from newUid(): a character's card moves
        // at its first judgement in a run only. Empty for a run of its own.
        QString run;
        // The strokes were checked one by one as they were drawn; the strokes refused for this
        // question; a model was shown for the drawing (the faint model or a stroke to follow).
        bool guided = false;
        int misses = 0;
        bool traced = false;
    };

    struct DueCard
    {
        QString picture;
        QString sound;
        QString comment;
        double retrievability = 0;
        QDateTime due;
    };

    struct Totals
    {
        int charactersSeen = 0;
        qint64 judgements = 0;
        qint64 right = 0;
        // Due at or before the end of the local day.
        int dueToday = 0;

        // Judged right among all judgements, 0 to 1; 0 with none.
        double shareRight() const { return judgements > 0 ? double(right) / judgements : 0; }
    };

    // One character of the statistics grid.
    struct Character
    {
        QString picture;
        QString sound;
        // The picture's folder ("hiragana" for "hiragana/a.png"); empty for none.
        QString folder;
        double retrievability = 0;
        int judgements = 0;
        QDateTime lastJudgement;
        Verdict lastVerdict = Verdict::Juste;
        QDateTime due;
    };

    struct Day
    {
        QDate day;
        int right = 0;
        int wrong = 0;
    };

    struct Drawing
    {
        QDateTime at;
        Verdict verdict = Verdict::Juste;
        QByteArray strokes;
    };

    // Where an unfinished exercise stands, as the practice holds it: what a judgement changes.
    struct ExercisePlace
    {
        // The record posed, as an index into the records in play.
        std::int16_t numero = 0;
        // The records found, the marker 9999 first.
        QList<std::int16_t> trouves;
        // Judged wrong and not yet right; judged wrong at least once.
        QList<std::int16_t> waiting;
        QList<std::int16_t> wrongOnce;
        bool secondPass = false;

        friend bool operator==(const ExercisePlace &, const ExercisePlace &) = default;
    };

    // An unfinished exercise, kept by the run that played it.
    struct SavedExercise
    {
        QString run;
        QString path;
        // SHA-256 of the file's bytes when it was read.
        QByteArray sha256;
        // The records in play, each as its position among the file's records.
        QList<std::int16_t> order;
        // Only for an exercise kept by an older version, whose order is empty: the records in
        // play by their text, the empty one after them included.
        QStringList records;
        ExercisePlace place;
        QDateTime savedAt;

        friend bool operator==(const SavedExercise &, const SavedExercise &) = default;
    };

    // An unfinished exercise as a menu lists it.
    struct ExerciseSummary
    {
        QString run;
        QString path;
        int found = 0;
        int total = 0;
        QDateTime savedAt;

        friend bool operator==(const ExerciseSummary &, const ExerciseSummary &) = default;
    };

    static inline const QString &fileName = HistoryStore::fileName;
    static inline const QString reviewCourse = QStringLiteral("revision");
    // The most due cards a review holds.
    static constexpr int maxReview = 100;
    static constexpr int defaultBusyTimeoutMs = 4000;
    // The longest sound, comment, picture path, course path or check text stored or read back,
    // in characters (UTF-16 code units). A longer text is stored cut to its first maxText
    // characters (a surrogate pair is never split), and reads cut what another program may have
    // written longer the same way: no record can make a repaint or a review copy megabytes.
    static constexpr int maxText = 4096;
    using Failure = HistoryStore::Failure;

    // The program's data folder (~/.local/share/Plumetto once the application is named
    // "Plumetto"), where the history belongs.
    static QString standardFolder();

    // The history in folder; nothing is touched before open().
    explicit History(const QString &folder, int busyTimeoutMs = defaultBusyTimeoutMs);
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    // Makes the folder and the file as needed and brings the schema up to date. A file that
    // is not a database or is damaged is moved aside as plumetto.sqlite.corrompu-<date> and a
    // new one is made: notice() then says so. A file from a newer version is refused untouched.
    bool open() { return m_store.open(); }
    bool isOpen() const { return m_store.isOpen(); }
    // The reason of the last failure, for the warning box.
    const QString &error() const { return m_store.error(); }
    // After open(), or after a call that found the file damaged: the text telling the learner
    // a damaged file was set aside, or empty. Such a call fails with this text as its error.
    const QString &notice() const { return m_store.notice(); }
    // The path of the file.
    QString path() const { return m_store.path(); }
    // What kind of failure the last call met.
    Failure failure() const { return m_store.failure(); }
    // How long a call may wait for another program's write (defaultBusyTimeoutMs at first).
    void setBusyTimeout(int milliseconds) { m_store.setBusyTimeout(milliseconds); }
    int busyTimeout() const { return m_store.busyTimeout(); }
    // The schema version this program writes and reads.
    static int schemaVersion() { return HistoryStore::schemaVersion(); }

    // A fresh identity for a judgement or a run: 128 random bits as 32 lowercase hex digits.
    static QString newUid();

    // Stores a judgement under a new uid and, for a character's first judgement in its run
    // (or its first ever), moves its card by the judgement, in one transaction. Texts longer
    // than maxText are cut. When the file is found damaged, the judgement goes into the file
    // that replaces it.
    bool record(const Judgement &judgement);
    // Makes every card again from the judgements, as record() would have made them one by
    // one (see cards.h), in one transaction.
    bool rebuildCards();

    // Cards due at `now`.
    std::optional<int> dueCount(const QDateTime &now);
    // The cards due at `now`, the lowest retrievability first, at most maxReview.
    std::optional<QList<DueCard>> dueCards(const QDateTime &now);
    std::optional<Totals> totals(const QDateTime &now);
    // Every character judged, by folder then picture.
    std::optional<QList<Character>> characters(const QDateTime &now);
    // Judgements per local day, right and wrong, for the `days` local days ending with now's,
    // the oldest first; days without any are there with zeros.
    std::optional<QList<Day>> judgementsPerDay(const QDateTime &now, int days = 30);
    // The pictures judged "Faux" in the `days` local days ending with now's, each once, in
    // their order as stored.
    std::optional<QStringList> picturesJudgedWrong(const QDateTime &now, int days = 30);
    // The last `count` stored drawings of a picture, the latest first.
    std::optional<QList<Drawing>> lastDrawings(const QString &picture, int count);
    // Deletes every judgement, card and unfinished exercise.
    bool forgetAll();

    // Keeps an unfinished exercise whole, in place of the one its run kept before.
    bool saveExercise(const SavedExercise &exercise);
    // Moves the exercise kept by `run` on to `place`, its order unchanged, so that a judgement
    // writes a few bytes whatever the exercise's size. False, changing nothing, when that run
    // keeps none (see error() for a failure).
    bool saveExercisePlace(const QString &run, const ExercisePlace &place, const QDateTime &at);
    // Whether any unfinished exercise is kept; nothing on failure.
    std::optional<bool> hasSavedExercises();
    // The unfinished exercises, the most recently saved first, at most `limit`; only those of
    // the file `path` when it is given.
    std::optional<QList<ExerciseSummary>> savedExercises(int limit,
                                                         const QString &path = QString());
    // The exercise kept by `run`; nothing when there is none or it does not hold what this
    // program writes (or on failure: see error()).
    std::optional<SavedExercise> savedExercise(const QString &run);
    // Forgets the exercise kept by `run`; with `savedAt` valid, only if it was saved then.
    bool forgetExercise(const QString &run, const QDateTime &savedAt = QDateTime());

    // Writes a consistent copy of the whole history, itself a history of this schema version, to
    // the file `path`, over the file there if any but never over the history itself. A failure
    // leaves no file behind. See transfer.h.
    transfer::Result exportTo(const QString &path);
    // Adds the judgements of the history in the file `path` that this one lacks (by uid), and
    // the unfinished exercises of the files this one keeps none of, then makes every card again
    // from the judgements, all in one transaction. The file is only ever read: a copy of it is
    // checked whole and brought up to this version when it is older. A file that is not a
    // history, is damaged or comes from a newer version is refused. `progress` may cancel it.
    transfer::Result importFrom(const QString &path, const transfer::Progress &progress = {});

    // The name of the database connection, for tests that need to reach it.
    const QString &connectionName() const { return m_store.connectionName(); }

    // The picture as stored: "\" turned into "/".
    static QString normalPicture(QString picture);
    // The text cut to maxText characters.
    static QString capped(const QString &text);
    // Text of a time as stored: UTC, ISO 8601 with milliseconds ("2026-12-07T14:20:00.000Z").
    static QString timeText(const QDateTime &time);

private:
    using Call = HistoryStore::Call;
    using Statement = HistoryStore::Statement;
    using Transaction = HistoryStore::Transaction;

    // Reads the character's card, all but its due time: nothing in `card` when it has none.
    // False on failure.
    bool readCard(const QString &picture, std::optional<fsrs::Card> &card);
    // Writes the character's card as the scheduler left it, with the sound and comment of
    // the judgement that moved it: over its row when it is `known`, as a new row otherwise.
    bool writeCard(const QString &picture, const QString &sound, const QString &comment,
                   const fsrs::Card &card, bool known);
    bool recordOnce(const Judgement &judgement);

    HistoryStore m_store;
};
