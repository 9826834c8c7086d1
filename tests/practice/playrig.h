// What the practice's tests share: the rig on a recording window and the exercise files.
#pragma once

#include "practicerig.h"
#include "texts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <algorithm>
#include <map>

// A program folder with its images, a recording window and the practice on them.
struct Rig : PracticeRig
{
    Rig()
        : PracticeRig({"images/vide.jpg", "images/a.jpg", "images/ka.jpg", "images/sa.jpg",
                       "images/sub/ka.jpg", "images/bad.jpg"})
    {
        window.unreadablePictures << path(QStringLiteral("images/bad.jpg"));
        random.sink = &window.log;
        practice.charger();
        window.log.clear();
    }

    QString openText(const QByteArray &bytes, const QString &name = QStringLiteral("kana.txt"))
    {
        const QString file = write(name, bytes);
        open(file);
        return file;
    }
    QString screen() const { return window.question + QLatin1Char('|') + window.commentaires; }
    int count(const QString &text) const
    {
        return int(std::count_if(window.messages.cbegin(), window.messages.cend(),
                                 [&](const FakeWindow::Message &m) { return m.text == text; }));
    }
    bool lastMessageIs(const QString &text, MessageIcon icon, const QString &title) const
    {
        if (window.messages.isEmpty())
            return false;
        const auto &m = window.messages.last();
        return m.text == text && m.icon == icon && m.title == title;
    }
};

inline QByteArray records(const QStringList &sounds)
{
    QByteArray bytes;
    for (const QString &sound : sounds)
        bytes += sound.toLatin1() + "=a.jpg=*";
    return bytes;
}

inline QByteArray dataFile(const char *name)
{
    QFile file(QStringLiteral(PLUMETTO_TEST_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", name);
    return file.readAll();
}
