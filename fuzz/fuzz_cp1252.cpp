// Every byte string decodes and encodes back to itself; encoding arbitrary UTF-8 either
// refuses at a real offset or gives bytes that decode back to the same text.
#include "codec/cp1252.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));

    const QByteArray utf8 = cp1252::decodeToUtf8(input);
    const cp1252::EncodeResult back = cp1252::encodeFromUtf8(utf8);
    FUZZ_CHECK(back.ok);
    FUZZ_CHECK(back.bytes == input);

    const QString text = cp1252::decode(input);
    FUZZ_CHECK(text.size() == qsizetype(size));
    FUZZ_CHECK(text.toUtf8() == utf8);
    const cp1252::EncodeResult again = cp1252::encode(text);
    FUZZ_CHECK(again.ok);
    FUZZ_CHECK(again.bytes == input);

    // The same bytes taken as UTF-8 typed into the editor.
    const cp1252::EncodeResult typed = cp1252::encodeFromUtf8(input);
    if (typed.ok) {
        FUZZ_CHECK(cp1252::decodeToUtf8(typed.bytes) == input);
    } else {
        FUZZ_CHECK(typed.bytes.isEmpty());
        FUZZ_CHECK(typed.badUtf8Offset >= 0 && typed.badUtf8Offset < qsizetype(size));
        FUZZ_CHECK(typed.malformed == (typed.badCharacter == 0));
        // Everything before the refused character is encodable.
        const QByteArrayView before = input.first(typed.badUtf8Offset);
        FUZZ_CHECK(cp1252::encodeFromUtf8(before).ok);
    }

    // Text holding lone surrogates, as a QString may.
    const QString utf16 = QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2));
    const cp1252::EncodeResult fromUtf16 = cp1252::encode(utf16);
    if (fromUtf16.ok)
        FUZZ_CHECK(cp1252::decode(fromUtf16.bytes) == utf16);
    else
        FUZZ_CHECK(fromUtf16.badUtf8Offset >= 0);
    return 0;
}
