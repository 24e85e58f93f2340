#pragma once
// Windows-1252, made total: the five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) stand for the C1 controls of the same value, so every byte string
// decodes and encodes back to exactly the same bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace cp1252 {

char16_t toUnicode(unsigned char byte);

// The byte that holds the character, or -1 when the code page has none.
int fromUnicode(char32_t character);

// NUL, CR and LF pass through unchanged; nothing is normalised.
QByteArray decodeToUtf8(QByteArrayView fileBytes);
// The same into a buffer of DecodedRoom(fileBytes.size()) bytes, in one pass; returns the
// bytes written. For readers that decode piece by piece into one buffer.
constexpr qsizetype DecodedRoom(qsizetype fileBytes) { return 3 * fileBytes + 3; }
qsizetype decodeToUtf8(QByteArrayView fileBytes, char *out);
QString decode(QByteArrayView fileBytes);

struct EncodeResult
{
    QByteArray bytes;              // empty when refused
    bool ok = true;
    qsizetype badUtf8Offset = -1;  // where the refused character starts in the UTF-8 text
    char32_t badCharacter = 0;     // the refused character; 0 when the text is malformed
    bool malformed = false;        // invalid UTF-8 (or a lone surrogate in a QString)
};

// Refuses the first character the code page cannot hold instead of replacing it.
EncodeResult encodeFromUtf8(QByteArrayView utf8);
// Same rules; badUtf8Offset is the offset the character has in text.toUtf8().
EncodeResult encode(const QString &text);

} // namespace cp1252
