#include "codec/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace cp1252 {

namespace {

constexpr std::array<char16_t, 32> kC1Range = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char16_t tableLookup(unsigned char byte)
{
    return (byte >= 0x80 && byte < 0xA0) ? kC1Range[byte - 0x80] : char16_t(byte);
}

// Bytes of the characters 0x80-0x9F stand for, indexed from the lowest of them that lies
// above Latin-1; 0 where the code page has no byte.
constexpr char16_t kReverseFirst = 0x0152;
constexpr char16_t kReverseLast = 0x2122;

constexpr std::array<unsigned char, kReverseLast - kReverseFirst + 1> makeReverseTable()
{
    std::array<unsigned char, kReverseLast - kReverseFirst + 1> table{};
    for (int i = 0; i < 32; ++i) {
        if (kC1Range[i] >= kReverseFirst)
            table[kC1Range[i] - kReverseFirst] = static_cast<unsigned char>(0x80 + i);
    }
    return table;
}

constexpr auto kReverse = makeReverseTable();

struct Utf8Sequence
{
    unsigned char length;
    char bytes[4]; // padded so every entry can be stored with one 4-byte copy
};

// The UTF-8 form of every byte value, so decoding neither computes nor branches per byte.
constexpr std::array<Utf8Sequence, 256> makeUtf8Table()
{
    std::array<Utf8Sequence, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char16_t c = tableLookup(static_cast<unsigned char>(b));
        Utf8Sequence &s = table[b];
        if (c < 0x80) {
            s.length = 1;
            s.bytes[0] = char(c);
        } else if (c < 0x800) {
            s.length = 2;
            s.bytes[0] = char(0xC0 | (c >> 6));
            s.bytes[1] = char(0x80 | (c & 0x3F));
        } else {
            s.length = 3;
            s.bytes[0] = char(0xE0 | (c >> 12));
            s.bytes[1] = char(0x80 | ((c >> 6) & 0x3F));
            s.bytes[2] = char(0x80 | (c & 0x3F));
        }
    }
    return table;
}

constexpr auto kUtf8 = makeUtf8Table();
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

inline bool eightAscii(const unsigned char *p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & kHighBits) == 0;
}

EncodeResult refused(qsizetype offset, char32_t character, bool malformed)
{
    EncodeResult r;
    r.ok = false;
    r.badUtf8Offset = offset;
    r.badCharacter = character;
    r.malformed = malformed;
    return r;
}

inline bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Reads one multi-byte sequence starting at p[0] (>= 0x80); returns its length, or 0
// when it is not well-formed UTF-8 (overlong forms, surrogates, beyond U+10FFFF, cut off).
int readSequence(const unsigned char *p, qsizetype available, char32_t &character)
{
    const unsigned char b0 = p[0];
    int length;
    unsigned char low = 0x80, high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        character = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        character = b0 & 0x0F;
        if (b0 == 0xE0)
            low = 0xA0;
        else if (b0 == 0xED)
            high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        character = b0 & 0x07;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || p[1] < low || p[1] > high)
        return 0;
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(p[k]))
            return 0;
        character = (character << 6) | (p[k] & 0x3F);
    }
    return length;
}

qsizetype utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

} // namespace

char16_t toUnicode(unsigned char byte)
{
    return tableLookup(byte);
}

int fromUnicode(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return int(character);
    if (character < 0xA0) // only the five undefined bytes keep their C1 control
        return kC1Range[character - 0x80] == character ? int(character) : -1;
    if (character >= kReverseFirst && character <= kReverseLast && kReverse[character - kReverseFirst])
        return kReverse[character - kReverseFirst];
    return -1;
}

QByteArray decodeToUtf8(QByteArrayView fileBytes)
{
    const auto *in = reinterpret_cast<const unsigned char *>(fileBytes.data());
    const qsizetype n = fileBytes.size();

    // Sizing first keeps a 100 MB file from needing three times its size in reserve.
    qsizetype outSize = 0;
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n && eightAscii(in + i)) {
            outSize += 8;
            i += 8;
            continue;
        }
        outSize += kUtf8[in[i++]].length;
    }

    // Three bytes of slack let every character be stored with one 4-byte copy.
    constexpr qsizetype slack = 3;
    QByteArray out(outSize + slack, Qt::Uninitialized);
    decodeToUtf8(fileBytes, out.data());
    out.truncate(outSize);
    return out;
}

qsizetype decodeToUtf8(QByteArrayView fileBytes, char *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(fileBytes.data());
    const qsizetype n = fileBytes.size();
    char *o = out;
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n && eightAscii(in + i)) {
            std::memcpy(o, in + i, 8);
            o += 8;
            i += 8;
            continue;
        }
        const Utf8Sequence &s = kUtf8[in[i++]];
        std::memcpy(o, s.bytes, 4);
        o += s.length;
    }
    return o - out;
}

QString decode(QByteArrayView fileBytes)
{
    QString out(fileBytes.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    const auto *in = reinterpret_cast<const unsigned char *>(fileBytes.data());
    for (qsizetype i = 0; i < fileBytes.size(); ++i)
        o[i] = tableLookup(in[i]);
    return out;
}

EncodeResult encodeFromUtf8(QByteArrayView utf8)
{
    const auto *in = reinterpret_cast<const unsigned char *>(utf8.data());
    const qsizetype n = utf8.size();
    EncodeResult result;
    result.bytes = QByteArray(n, Qt::Uninitialized);
    char *o = result.bytes.data();
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n && eightAscii(in + i)) {
            std::memcpy(o, in + i, 8);
            o += 8;
            i += 8;
            continue;
        }
        if (in[i] < 0x80) {
            *o++ = char(in[i++]);
            continue;
        }
        // Latin-1 letters, the usual non-ASCII text, skip the general decoder.
        // U+0080-U+009F are left to it: most of them are not held as themselves.
        if ((in[i] == 0xC2 || in[i] == 0xC3) && i + 1 < n) {
            const unsigned char low = in[i] == 0xC2 ? 0xA0 : 0x80;
            if (in[i + 1] >= low && in[i + 1] <= 0xBF) {
                *o++ = char(((in[i] & 0x1F) << 6) | (in[i + 1] & 0x3F));
                i += 2;
                continue;
            }
        }
        char32_t c = 0;
        const int length = readSequence(in + i, n - i, c);
        if (length == 0)
            return refused(i, 0, true);
        const int byte = fromUnicode(c);
        if (byte < 0)
            return refused(i, c, false);
        *o++ = char(byte);
        i += length;
    }
    result.bytes.truncate(o - result.bytes.constData());
    return result;
}

EncodeResult encode(const QString &text)
{
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    EncodeResult result;
    result.bytes = QByteArray(n, Qt::Uninitialized);
    char *o = result.bytes.data();
    qsizetype utf8Offset = 0;
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = in[i];
        if (c < 0x80) {
            *o++ = char(c);
            ++utf8Offset;
            continue;
        }
        if (QChar::isSurrogate(c)) {
            if (!QChar::isHighSurrogate(c) || i + 1 >= n || !QChar::isLowSurrogate(in[i + 1]))
                return refused(utf8Offset, 0, true);
            return refused(utf8Offset, QChar::surrogateToUcs4(char16_t(c), in[i + 1]), false);
        }
        const int byte = fromUnicode(c);
        if (byte < 0)
            return refused(utf8Offset, c, false);
        *o++ = char(byte);
        utf8Offset += utf8Length(c);
    }
    return result;
}

} // namespace cp1252
