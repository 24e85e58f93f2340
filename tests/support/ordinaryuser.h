#pragma once
// Runs a piece of a test in a forked child that has dropped root, so file permissions
// bind as they do for a player; the test runner itself keeps its identity.
#include <QByteArray>
#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// Permissions do not bind root, so root becomes the user nobody.
inline bool BecomeOrdinaryUser()
{
    if (geteuid() != 0)
        return true;
    constexpr uid_t nobody = 65534;
    return setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0;
}

// The report the child wrote, or "<child failed>" when it could not drop root or died.
inline QByteArray RunAsOrdinaryUser(const std::function<QByteArray()> &operation)
{
    int channel[2];
    if (pipe(channel) != 0)
        return "<child failed>";
    const pid_t child = fork();
    if (child < 0)
        return "<child failed>";
    if (child == 0) {
        close(channel[0]);
        if (!BecomeOrdinaryUser())
            _exit(3);
        const QByteArray report = operation();
        const bool sent = write(channel[1], report.constData(), size_t(report.size())) == report.size();
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    QByteArray received;
    char buffer[256];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        received.append(buffer, n);
    close(channel[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "<child failed>";
    return received;
}
