#include "fakewindow.h"

#include "exercisefile.h"

#include <QFileInfo>

#include <stdexcept>

namespace {

QString name(TextBox box)
{
    return box == TextBox::Question ? QStringLiteral("Question") : QStringLiteral("Commentaires");
}

QString name(Button button)
{
    switch (button) {
    case Button::Command1:
        return QStringLiteral("Command1");
    case Button::BouttonJuste:
        return QStringLiteral("BouttonJuste");
    case Button::BouttonFaux:
        return QStringLiteral("BouttonFaux");
    }
    return {};
}

QString name(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return QStringLiteral("None");
    case MessageIcon::Information:
        return QStringLiteral("Information");
    case MessageIcon::Error:
        return QStringLiteral("Error");
    }
    return {};
}

} // namespace

void FakeWindow::setText(TextBox box, const QString &text)
{
    log << QStringLiteral("setText %1 %2").arg(name(box), text);
    (box == TextBox::Question ? question : commentaires) = text;
}

void FakeWindow::setEnabled(Button button, bool enabled)
{
    log << QStringLiteral("enable %1 %2").arg(name(button)).arg(int(enabled));
    switch (button) {
    case Button::Command1:
        command1 = enabled;
        break;
    case Button::BouttonJuste:
        juste = enabled;
        break;
    case Button::BouttonFaux:
        faux = enabled;
        break;
    }
}

void FakeWindow::clearPad()
{
    log << QStringLiteral("clearPad");
    ++padClears;
}

bool FakeWindow::showPicture(const QString &path)
{
    log << QStringLiteral("showPicture ") + path;
    bool ok = false;
    if (!pictureResults.isEmpty())
        ok = pictureResults.takeFirst();
    else
        ok = QFileInfo(path).isFile() && !unreadablePictures.contains(path);
    picture = ok ? path : QString();
    return ok;
}

void FakeWindow::setBusy(bool on)
{
    if (on && !busy)
        ++busySpells;
    busy = on;
}

void FakeWindow::setCaption(const QString &text)
{
    log << QStringLiteral("caption ") + text;
    caption = text;
}

void FakeWindow::showMessage(const QString &text, MessageIcon icon, const QString &title)
{
    log << QStringLiteral("message %1|%2|%3").arg(name(icon), title, text);
    messages.append({text, icon, title});
}

bool FakeWindow::isOrdinaryFile(const QString &path) const
{
    log << QStringLiteral("isOrdinaryFile ") + path;
    return presentAnyway.contains(path) || exercise::isOrdinaryFile(path);
}

void FakeWindow::setDialogFilter(const QString &text)
{
    log << QStringLiteral("filter ") + text;
    filter = text;
}

QString FakeWindow::showOpenDialog()
{
    log << QStringLiteral("showOpenDialog");
    return dialogAnswers.isEmpty() ? QString() : dialogAnswers.takeFirst();
}

bool FakeWindow::randomOrderChecked() const
{
    log << QStringLiteral("randomOrderChecked");
    return randomChecked;
}

void FakeWindow::setRandomOrderChecked(bool checked)
{
    log << QStringLiteral("checkRandom %1").arg(int(checked));
    randomChecked = checked;
}

QStringList FakeWindow::logOf(const QString &prefix) const
{
    QStringList lines;
    for (const QString &line : log)
        if (line.startsWith(prefix))
            lines << line;
    return lines;
}

void ScriptedRandom::reseed()
{
    log += QLatin1Char('R');
    ++reseeds;
    if (sink)
        *sink << QStringLiteral("reseed");
}

double ScriptedRandom::draw()
{
    log += QLatin1Char('D');
    if (sink)
        *sink << QStringLiteral("draw");
    if (draws.isEmpty())
        throw std::logic_error("the script has no draw left");
    return draws.takeFirst();
}
