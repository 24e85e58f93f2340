#include "tunemill/ansi.h"

namespace {
// Bytes 0x80-0x9F; zero marks a code the code page leaves unassigned, which Windows
// itself round-trips as the C1 control of the same value.
constexpr char16_t High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t CharFor(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0 || High[byte - 0x80] == 0)
        return byte;
    return High[byte - 0x80];
}
} // namespace

namespace tunemill_ansi {

int ByteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (High[i] == c || (High[i] == 0 && c == 0x80 + i))
            return 0x80 + i;
    }
    return -1;
}

QString Decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(CharFor(static_cast<unsigned char>(bytes.at(i))));
    return text;
}

} // namespace tunemill_ansi
