#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstdlib>

#include <dirent.h>
#include <unistd.h>

// The descriptors of this process that name something in the file system. Pipes, sockets and
// the event descriptors of the threads that Qt starts and ends on its own are left out.
inline int openFiles()
{
    int count = 0;
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        qFatal("cannot list the open descriptors");
    while (const dirent *entry = ::readdir(dir)) {
        char target[4096];
        const QByteArray link = QByteArray("/proc/self/fd/") + entry->d_name;
        const ssize_t size = ::readlink(link.constData(), target, sizeof target - 1);
        if (size > 0 && target[0] == '/' && int(::dirfd(dir)) != std::atoi(entry->d_name))
            ++count;
    }
    ::closedir(dir);
    return count;
}
