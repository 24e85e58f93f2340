#pragma once
// Runs a piece of a test in a forked child, so that what it changes about its process
// (a dropped identity, a lowered file-size limit) never reaches the test runner.
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

struct ChildOutcome
{
    bool exited = false; // false: killed by a signal, or never started
    int exitCode = -1;   // 3: prepare failed; 1: the report could not be sent
    QByteArray report;
};

// Runs prepare, then operation, in a child; the child sends back what operation returns.
inline ChildOutcome RunInChild(const std::function<bool()> &prepare, const std::function<QByteArray()> &operation)
{
    ChildOutcome outcome;
    int channel[2];
    if (pipe(channel) != 0)
        return outcome;
    const pid_t child = fork();
    if (child < 0)
        return outcome;
    if (child == 0) {
        close(channel[0]);
        if (!prepare())
            _exit(3);
        const QByteArray report = operation();
        const bool sent = write(channel[1], report.constData(), size_t(report.size())) == report.size();
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    char buffer[256];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        outcome.report.append(buffer, n);
    close(channel[0]);
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        outcome.exited = true;
        outcome.exitCode = WEXITSTATUS(status);
    }
    return outcome;
}
