#pragma once

#include "exercisefile.h"
#include "practiceobserver.h"
#include "windowops.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <bitset>
#include <cstdint>
#include <optional>

class RandomSource;

// The state of a practice run and its commands. Every command is called by a window event and
// acts on the window only through WindowOps; failures reach the learner as message boxes.
class Practice
{
public:
    // The marker held in slot 0 of trouves.
    static constexpr std::int16_t marker = 9999;

    Practice(WindowOps &window, RandomSource &random);

    // Where the practice reports what happens; null for nobody. Not owned.
    void setObserver(PracticeObserver *observer);

    // Where the learner stands in the run, for a progress display.
    struct Progress
    {
        // An exercise is in play.
        bool active = false;
        // The last run ended with every record right; the counts are its summary.
        bool finished = false;
        int right = 0;
        int inPlay = 0;
        // Judged wrong and not yet right.
        int waiting = 0;
        // Judged wrong at least once in the run.
        int wrongOnce = 0;
        // Every record has been posed and the wrong ones are coming back.
        bool secondPass = false;
    };
    Progress progress() const { return m_progress; }

    // Where a run on an exercise file stands: all that taking it up in a later program run
    // needs besides the file itself.
    struct Place
    {
        // Of the file's bytes.
        QByteArray sha256;
        // Slot i of lignes holds the file's record order[i] (counted from 0), for each record
        // in play.
        QList<std::int16_t> order;
        std::int16_t numero = 0;
        QList<std::int16_t> trouves;
        // Slots judged wrong and not yet right; slots judged wrong at least once.
        QList<std::int16_t> waiting;
        QList<std::int16_t> wrongOnce;
        bool secondPass = false;
        // Instead of order, for a place kept by an older version: the records in play by
        // their text, in their order, the slot after them included.
        QStringList records;
    };
    // The place of the run in play; nothing for a review or when no run is in play.
    std::optional<Place> place() const;

    // The window's load handler: sets the open dialog's filter and the initial found list.
    void charger();

    // Menu commands. Ouvrir returns true when the chosen file was read and its first question
    // posed; false when the dialog was cancelled or the opening failed (its message shown).
    bool ouvrir();
    // Ouvrir without the dialog, as if `path` had been chosen in it: the same checks, messages
    // and caption.
    bool ouvrirFichier(const QString &path);
    void aleatoire();
    void reset();

    // Buttons.
    void montrerSolution();
    void juste();
    void faux();

    // Reads the file at `path` again and plays it from `place`, as it was left, progress
    // included. Returns false, changing and showing nothing, when the file cannot be read, its
    // bytes are not those the place was made on, or the place does not fit its records.
    bool takeUp(const QString &path, const Place &place);
    // Whether openings take the SHA-256 of the bytes they read (off by default: it costs more
    // than reading the file).
    void setFingerprinting(bool on) { m_fingerprinting = on; }
    // The SHA-256 of the file read by the last opening or taking up; empty when it failed or
    // was not taken.
    const QByteArray &fileSha256() const { return m_fileSha256; }

    // Plays an exercise saved earlier as it was left: the records in their order, the record
    // to pose and the found list. Returns false, changing nothing, when the state does not fit
    // together (an index out of range, no marker first).
    bool restore(const QString &fileName, const QStringList &lignes, std::int16_t numero,
                 const QList<std::int16_t> &trouves);
    // Plays the given records, written as in an exercise file, in their order as a review;
    // false, changing nothing, when there is none or too many.
    bool startReview(const QStringList &records);
    // The records judged "Faux" in the last run that came to its end, in that run's order;
    // empty once the window is cleared for another run (an opening, a review, Reset).
    const QStringList &mistakes() const { return m_mistakes; }
    // Plays the mistakes again as a run of their own, named "Erreurs"; false, changing
    // nothing, when there are none.
    bool refaireErreurs();
    // The run plays records that come from no file (a review or the mistakes again): its
    // judgements belong to no exercise and its place is not kept.
    bool isReview() const { return m_review; }
    // The record posed now, if one is.
    std::optional<PracticeRecord> currentRecord() const;

    // The state, as the window-level variables hold it.
    QStringList lignes() const { return m_lignes.toStringList(); }
    int recordCount() const { return static_cast<int>(m_lignes.size()); }
    std::int16_t numero() const { return m_numero; }
    const QList<std::int16_t> &trouves() const { return m_trouves; }
    // The full path chosen at the last opening; empty before the first one and after a
    // cancelled one.
    const QString &fileName() const { return m_fileName; }

private:
    // How the blank picture's failure is handled: the opening turns it into its loading error;
    // everywhere else it is reported as a missing file and the command goes on.
    enum class BlankFailure { Throw, Report };

    // False when the record could not be posed: the loading error has been shown.
    bool poserquestion();
    void suivant();
    void reinitialiser(BlankFailure onFailure);
    void melanger();
    // suivant, then poserquestion: the move after a judgement.
    void nextQuestion();

    void showBlankPicture(BlankFailure onFailure);
    void resetFound();
    bool isFound(std::int16_t index) const;
    // The upper bound of lignes: the number of records in play.
    int upperBound() const { return static_cast<int>(m_lignes.size()) - 1; }
    QStringList currentFields() const;
    void showLoadError();
    // A new run starts on the records now in lignes.
    void startRun();
    // Plays `lignes` from `place`, its order applied already; false, changing nothing, when
    // the place does not fit them.
    bool resume(exercise::Records lignes, const QString &fileName, const Place &place);
    void setJudgementEnabled(bool enabled);

    WindowOps &m_window;
    RandomSource &m_random;

    exercise::Records m_lignes;
    std::int16_t m_numero = 0;
    QList<std::int16_t> m_trouves;
    // Mirrors trouves for the skip loop: one bit per possible index, the marker's included.
    std::bitset<32768> m_found;
    QString m_fileName;
    bool m_review = false;
    bool m_fingerprinting = false;
    QByteArray m_fileSha256;

    PracticeObserver m_noObserver;
    PracticeObserver *m_observer = &m_noObserver;
    Progress m_progress;
    std::bitset<32768> m_posed;
    std::bitset<32768> m_waiting;
    std::bitset<32768> m_wrongOnce;
    QStringList m_mistakes;
};
