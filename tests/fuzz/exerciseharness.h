// The recording window, the script of calls and the invariant checks of the exercise's
// fuzz target.
#pragma once

#include "exercisefile.h"
#include "fakewindow.h"
#include "practice.h"
#include "randomsource.h"
#include "texts.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

// The window's last calls, whose story a failure prints. Kept as they come, unformatted: a line
// written for each call cost three quarters of the play.
class RecentCalls
{
public:
    void add(const char *what, int value = 0, const QString &text = {})
    {
        m_calls[m_next++ % m_calls.size()] = {what, value, text};
    }
    void print() const
    {
        for (std::size_t i = 0; i < m_calls.size(); ++i) {
            const Call &call = m_calls[(m_next + i) % m_calls.size()];
            if (call.what)
                std::fprintf(stderr, "  %s %d %s\n", call.what, call.value,
                             qPrintable(call.text.left(150)));
        }
    }

private:
    struct Call
    {
        const char *what = nullptr;
        int value = 0;
        QString text;
    };
    std::array<Call, 12> m_calls;
    std::size_t m_next = 0;
};

// The calls of the input being played.
inline const RecentCalls *playLog = nullptr;

[[noreturn]] inline void fail(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail.left(200)));
    if (playLog)
        playLog->print();
    std::abort();
}

inline void require(bool condition, const char *what, const QString &detail = {})
{
    if (!condition)
        fail(what, detail);
}

// The descriptors open on files, folders and devices (pipes, sockets and the event descriptors of
// Qt's threads left out). Their types come from fstat: reading each one's link under /proc took a
// tenth of the play.
inline int openFiles()
{
    int count = 0;
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        fail("cannot list the open descriptors");
    while (const dirent *entry = ::readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        struct stat status
        {
        };
        if (entry->d_name[0] != '.' && fd != ::dirfd(dir) && ::fstat(fd, &status) == 0 &&
            (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode) || S_ISCHR(status.st_mode) ||
             S_ISBLK(status.st_mode)))
            ++count;
    }
    ::closedir(dir);
    return count;
}

inline std::uint64_t hashOf(const QString &text)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (QChar c : text)
        h = (h ^ c.unicode()) * 1099511628211ULL;
    return h;
}

// The play's choices, drawn from the input's last bytes so that a mutation there changes the
// play and little else.
class Script
{
public:
    Script(const std::uint8_t *data, std::size_t size) : m_state(0x2545f4914f6cdd1dULL ^ size)
    {
        for (std::size_t i = size > 8 ? size - 8 : 0; i < size; ++i)
            m_state = (m_state ^ data[i]) * 0x100000001b3ULL;
        if (m_state == 0)
            m_state = 1;
    }
    unsigned next(unsigned bound)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<unsigned>(m_state % bound);
    }

private:
    std::uint64_t m_state;
};

// The window: the state that the calls leave, held in the recording window's fields, with the
// file test and the picture loading of the images folder decided by rule instead of by the
// disk: a picture is missing or unreadable for some names, or never in the final full play.
class FuzzWindow final : public WindowOps
{
public:
    explicit FuzzWindow(FakeWindow &fake)
        : fake(fake), blank(fake.blankPath()), images(fake.programFolder() + texts::imagesFolder)
    {}

    void setText(TextBox box, const QString &text) override
    {
        calls.add("setText", int(box), text);
        (box == TextBox::Question ? fake.question : fake.commentaires) = text;
    }
    void setEnabled(Button button, bool enabled) override
    {
        calls.add(enabled ? "enable" : "disable", int(button));
        (button == Button::Command1       ? fake.command1
         : button == Button::BouttonJuste ? fake.juste
                                          : fake.faux) = enabled;
    }
    void clearPad() override { calls.add("clearPad"); }
    bool showPicture(const QString &path) override
    {
        bool ok = true;
        if (path == blank)
            ok = !blankFails;
        else
            ok = allPictures || hashOf(path) % 7 != 0;
        calls.add("showPicture", ok, path);
        fake.picture = ok ? path : QString();
        return ok;
    }
    void setCaption(const QString &caption) override
    {
        calls.add("caption", 0, caption);
        fake.caption = caption;
    }
    void setBusy(bool busy) override { fake.setBusy(busy); }
    void showMessage(const QString &text, MessageIcon icon, const QString &title) override
    {
        calls.add("message", int(icon), text);
        fake.messages.append({text, icon, title});
    }
    QString programFolder() const override { return fake.programFolder(); }
    bool isOrdinaryFile(const QString &path) const override
    {
        const bool ordinary = path.startsWith(images) ? allPictures || hashOf(path) % 5 != 0
                                                      : exercise::isOrdinaryFile(path);
        calls.add("isOrdinaryFile", ordinary, path);
        return ordinary;
    }
    void setDialogFilter(const QString &filter) override { fake.filter = filter; }
    QString showOpenDialog() override
    {
        calls.add("showOpenDialog");
        return fake.dialogAnswers.isEmpty() ? QString() : fake.dialogAnswers.takeFirst();
    }
    bool randomOrderChecked() const override { return fake.randomChecked; }
    void setRandomOrderChecked(bool checked) override { fake.randomChecked = checked; }

    FakeWindow &fake;
    const QString blank;
    const QString images;
    mutable RecentCalls calls;
    bool blankFails = false;
    bool allPictures = false;
};

inline QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// A picture name that the images folder always holds in the full play: plain characters, no
// folder part, not "." or "..".
inline bool plainName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c != QLatin1Char('/') && c != QLatin1Char('\\') && !c.isNull();
    });
}
