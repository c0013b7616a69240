// SPDX-License-Identifier: GPL-3.0-or-later
// Checks that need a process of their own: one that may block, one without root's rights, one
// with a small disk of its own.
#pragma once

#include <QFile>
#include <QString>

#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

// The exit status a child gives when what it needs cannot be set up here.
inline constexpr int kChildCannotRun = 77;

// Runs check in a child process and returns its result as the child's exit status, or -1 when
// the child did not end by itself: a watchdog of `seconds` ends a child that blocks.
inline int InChild(const std::function<int()> &check, unsigned seconds = 20)
{
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(seconds);
        _exit(check());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Root ignores permission bits, so permission cases run in a child that gives up root first.
inline int InUnprivilegedChild(const std::function<int()> &check)
{
    return InChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return kChildCannotRun;
        return check();
    });
}

// Runs check in a child whose folder is an empty memory file system of `kib` KiB, mounted where
// only that child sees it: a disk that fills up. kChildCannotRun when no such mount is allowed.
inline int WithSmallDisk(const QString &folder, int kib, const std::function<int()> &check)
{
    return InChild([&] {
        const int flags = geteuid() == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS;
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        if (unshare(flags) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                  options.constData()) != 0)
            return kChildCannotRun;
        return check();
    });
}
