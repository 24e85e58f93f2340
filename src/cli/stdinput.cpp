#include "cli/stdinput.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

void UseBinaryStandardStreams()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

qint64 ReadSomeInput(char *buffer, qint64 size)
{
    return _read(0, buffer, unsigned(qMin<qint64>(size, 1 << 30)));
}
#else
#include <unistd.h>

void UseBinaryStandardStreams() {}

qint64 ReadSomeInput(char *buffer, qint64 size)
{
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, size_t(size));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}
#endif
