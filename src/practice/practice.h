#pragma once

#include "windowops.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <bitset>
#include <cstdint>

class RandomSource;

// The state of a practice run and its commands. Every command is called by a window event and
// acts on the window only through WindowOps; failures reach the learner as message boxes.
class Practice
{
public:
    // The marker held in slot 0 of trouves.
    static constexpr std::int16_t marker = 9999;

    Practice(WindowOps &window, RandomSource &random);

    // The window's load handler: sets the open dialog's filter and the initial found list.
    void charger();

    // Menu commands.
    void ouvrir();
    void aleatoire();
    void reset();

    // Buttons.
    void montrerSolution();
    void juste();
    void faux();

    // The state, as the window-level variables hold it.
    const QStringList &lignes() const { return m_lignes; }
    std::int16_t numero() const { return m_numero; }
    const QList<std::int16_t> &trouves() const { return m_trouves; }
    // The full path chosen at the last opening; empty before the first one and after a
    // cancelled one.
    const QString &fileName() const { return m_fileName; }

private:
    // How the blank picture's failure is handled: the opening turns it into its loading error;
    // everywhere else it is reported as a missing file and the command goes on.
    enum class BlankFailure { Throw, Report };

    void poserquestion();
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

    WindowOps &m_window;
    RandomSource &m_random;

    QStringList m_lignes;
    std::int16_t m_numero = 0;
    QList<std::int16_t> m_trouves;
    // Mirrors trouves for the skip loop: one bit per possible index, the marker's included.
    std::bitset<32768> m_found;
    QString m_fileName;
};
