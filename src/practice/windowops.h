#pragma once

#include <QString>

// What the practice logic needs from the main window. The real window supplies it on its
// widgets; tests supply a recording fake, so every rule of the practice is exercised without
// widgets.

enum class TextBox { Question, Commentaires };

enum class Button { Command1, BouttonJuste, BouttonFaux };

// The three looks of a message box: no icon (and the program's default title), information, error.
enum class MessageIcon { None, Information, Error };

class WindowOps
{
public:
    virtual ~WindowOps() = default;

    virtual void setText(TextBox box, const QString &text) = 0;
    virtual void setEnabled(Button button, bool enabled) = 0;
    // Wipes the drawing pad to white.
    virtual void clearPad() = 0;
    // Shows the picture read from `path` in the solution box. Returns false, leaving the box
    // white, when the file is missing or does not decode as a picture.
    virtual bool showPicture(const QString &path) = 0;
    virtual void setCaption(const QString &caption) = 0;
    // Shows that the window is busy (reading a large exercise) or no longer.
    virtual void setBusy(bool busy) = 0;
    // A modal box with one OK button; returns once the user has closed it. An empty title
    // leaves the program's default title. Multi-line texts hold CR LF between their lines.
    virtual void showMessage(const QString &text, MessageIcon icon, const QString &title) = 0;
    // The folder holding the program file, without a trailing separator.
    virtual QString programFolder() const = 0;
    // True for an existing regular file that is not hidden.
    virtual bool isOrdinaryFile(const QString &path) const = 0;

    // The open-file dialog. The filter has the form "Label|pattern|Label|pattern|".
    virtual void setDialogFilter(const QString &filter) = 0;
    // Shows the dialog modally; returns the chosen full path, or an empty text when cancelled.
    virtual QString showOpenDialog() = 0;

    // The check mark of the random-order menu item.
    virtual bool randomOrderChecked() const = 0;
    virtual void setRandomOrderChecked(bool checked) = 0;
};
