// Bad input through the real opening and solution code: what its tests share.
#pragma once

#include "exercisefile.h"
#include "openfiles.h"
#include "practicerig.h"
#include "texts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The texts as the learner must read them, written out here so that a slip in the program's
// own constants shows.
inline const QString loadError =
    QStringLiteral("Error|Erreur !|Une erreur est survenue lors du "
                   "chargement de l'exercice. Est ce un fichier plumetto "
                   "correct ?");
inline const QString done = QStringLiteral("None||Exercice terminé.");
inline const QString caption = QStringLiteral("~~Plumetto~~");

inline QString missing(const QString &name)
{
    return QStringLiteral("Error|Fichier introuvable.|Impossible de trouver ") + name +
           QLatin1Char('.');
}

inline QString missingPicture(const QString &name)
{
    return QStringLiteral("Error|Fichier introuvable.|Impossible de trouver ") + name +
           QStringLiteral(". Ce fichier doit être placé dans le repertoire image de Plumetto.");
}

inline QByteArray repeated(const QByteArray &unit, int count)
{
    QByteArray bytes;
    bytes.reserve(unit.size() * count);
    for (int i = 0; i < count; ++i)
        bytes += unit;
    return bytes;
}

// A program folder holding the blank picture and a few solutions, a recording window and the
// practice on them.
struct Rig : PracticeRig
{
    Rig()
        : PracticeRig({"images/vide.jpg", "images/a.jpg", "images/ka.jpg", "images/.cache.jpg",
                       "secret.jpg"})
    {
        practice.charger();
    }

    QStringList messages() const
    {
        QStringList lines;
        for (const auto &m : window.messages) {
            const char *icon = m.icon == MessageIcon::Error         ? "Error"
                               : m.icon == MessageIcon::Information ? "Information"
                                                                    : "None";
            lines << QLatin1String(icon) + QLatin1Char('|') + m.title + QLatin1Char('|') + m.text;
        }
        return lines;
    }
    void run(const QString &commands)
    {
        for (QChar c : commands)
            PracticeRig::run(c);
    }
    // After any mishap a good exercise still opens and plays.
    bool goesOn()
    {
        const QString good = write(QStringLiteral("bon.txt"), "ka=ka.jpg=k*a=a.jpg=*");
        const qsizetype before = window.messages.size();
        open(good);
        run(QStringLiteral("SJSJ"));
        return window.messages.size() == before + 1 &&
               window.messages.last().text == texts::exerciseDone;
    }
};

// Opens `file` within an address space of `extra` megabytes beyond what is in use, then a good
// exercise. Returns 0 when the memory ran out in the posing, 1 when it ran out in the reading,
// 3 when there was enough, 2 when the learner got anything else.
inline int openWithin(const QString &file, int extra)
{
    Rig rig;
    QFile statm(QStringLiteral("/proc/self/statm"));
    const long pages =
        statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(0).toLong() : 0;
    statm.close();
    const rlim_t limit = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (rlim_t(extra) << 20);
    const rlimit space{limit, limit};
    ::setrlimit(RLIMIT_AS, &space);
    rig.open(file);
    const QStringList messages = rig.messages();
    const bool posed = rig.window.caption == caption + file;
    rig.window.messages.clear();
    if (!rig.goesOn())
        return 2;
    if (messages.isEmpty())
        return posed ? 3 : 2;
    return messages == QStringList{loadError} ? (posed ? 0 : 1) : 2;
}
