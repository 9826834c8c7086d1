#pragma once

#include "randomsource.h"
#include "windowops.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// A window that records every call in order as a readable line ("setText Question ka",
// "enable Command1 0", "clearPad", "showPicture <path>", "caption <text>",
// "message Error|Erreur !|<text>", ...) and keeps the state that the calls leave.
class FakeWindow final : public WindowOps
{
public:
    struct Message
    {
        QString text;
        MessageIcon icon;
        QString title;
    };

    explicit FakeWindow(QString folder) : folder(std::move(folder)) {}

    void setText(TextBox box, const QString &text) override;
    void setEnabled(Button button, bool enabled) override;
    void clearPad() override;
    bool showPicture(const QString &path) override;
    void setCaption(const QString &text) override;
    // Not logged: it brackets the reading and says nothing of what the learner sees after.
    void setBusy(bool busy) override;
    void showMessage(const QString &text, MessageIcon icon, const QString &title) override;
    QString programFolder() const override { return folder; }
    bool isOrdinaryFile(const QString &path) const override;
    void setDialogFilter(const QString &filter) override;
    QString showOpenDialog() override;
    bool randomOrderChecked() const override;
    void setRandomOrderChecked(bool checked) override;

    // The lines of the log that start with `prefix`.
    QStringList logOf(const QString &prefix) const;
    QString blankPath() const { return folder + QStringLiteral("/images/vide.jpg"); }

    // Script.
    QString folder;
    QStringList dialogAnswers;        // taken in order; none left, or "", is a cancel
    QList<bool> pictureResults;       // taken first by showPicture while any are left
    QSet<QString> unreadablePictures; // exist but do not decode
    QSet<QString> presentAnyway;      // the file test passes although the file may be gone

    // State the calls leave.
    mutable QStringList log;
    QString question;
    QString commentaires;
    QString caption;
    QString picture;
    QString filter;
    bool command1 = false;
    bool juste = false;
    bool faux = false;
    bool randomChecked = false;
    int padClears = 0;
    bool busy = false;
    int busySpells = 0;
    QList<Message> messages;
};

// Draws taken from a fixed list; the log shows "R" for each re-seed and "D" for each draw.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(QList<double> draws = {}) : draws(std::move(draws)) {}
    void reseed() override;
    double draw() override;

    QList<double> draws;
    QString log;
    int reseeds = 0;
    // When set, "reseed" and "draw" go to this log as well (a window's, to see the order).
    QStringList *sink = nullptr;
};
