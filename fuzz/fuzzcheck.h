#pragma once
// A broken property aborts, so libFuzzer records the input as a crash.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Reads a fuzz input as a sequence of fields.
struct FuzzInput
{
    const std::uint8_t *data;
    std::size_t size;

    // Takes bytes up to the next separator (or the end) and advances past it.
    QByteArray take(char separator = '\0')
    {
        std::size_t n = 0;
        while (n < size && data[n] != std::uint8_t(separator))
            ++n;
        QByteArray out(reinterpret_cast<const char *>(data), qsizetype(n));
        const std::size_t skip = n < size ? n + 1 : n;
        data += skip;
        size -= skip;
        return out;
    }
    std::uint8_t byte()
    {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    QByteArray rest()
    {
        QByteArray out(reinterpret_cast<const char *>(data), qsizetype(size));
        data += size;
        size = 0;
        return out;
    }
};
