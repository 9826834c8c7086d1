#pragma once

#include "fakewindow.h"
#include "practice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <initializer_list>

// A program folder holding the given files (each a few bytes standing for a picture), a
// recording window and the practice on them. The load handler is left to the caller.
struct PracticeRig
{
    QTemporaryDir dir;
    FakeWindow window{dir.path()};
    ScriptedRandom random;
    Practice practice{window, random};

    explicit PracticeRig(std::initializer_list<const char *> files)
    {
        QDir(dir.path()).mkpath(QStringLiteral("images/sub"));
        for (const char *name : files)
            write(QString::fromLatin1(name), "picture");
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }
    // Ouvrir, the dialog answering `file`.
    void open(const QString &file)
    {
        window.dialogAnswers << file;
        practice.ouvrir();
    }
    // One command: S(olution), J(uste), F(aux) or R(eset).
    void run(QChar command)
    {
        switch (command.toLatin1()) {
        case 'S':
            return practice.montrerSolution();
        case 'J':
            return practice.juste();
        case 'F':
            return practice.faux();
        case 'R':
            return practice.reset();
        }
        qFatal("unknown command");
    }
};
