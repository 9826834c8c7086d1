#pragma once

#include "exercisefile.h"
#include "windowops.h"

#include <QString>

// A window that does nothing, for timing the practice logic alone. It keeps only counts, so
// that a benchmark can check that no failure was reported while it ran; recording every call
// would cost more than some of the commands being timed.
class NullWindow final : public WindowOps
{
public:
    // The path that the open dialog "chooses".
    QString openPath;
    bool randomOrder = false;
    int messages = 0;

    void setText(TextBox, const QString &) override {}
    void setEnabled(Button, bool) override {}
    void clearPad() override {}
    bool showPicture(const QString &) override { return true; }
    void setCaption(const QString &) override {}
    void setBusy(bool) override {}
    void showMessage(const QString &, MessageIcon, const QString &) override { ++messages; }
    QString programFolder() const override { return QStringLiteral("/nonexistent/plumetto"); }
    bool isOrdinaryFile(const QString &path) const override
    {
        return exercise::isOrdinaryFile(path);
    }
    void setDialogFilter(const QString &) override {}
    QString showOpenDialog() override { return openPath; }
    bool randomOrderChecked() const override { return randomOrder; }
    void setRandomOrderChecked(bool checked) override { randomOrder = checked; }
};
