// The look-ahead's text arithmetic: the current value after a variable name and the part
// of the line that the new value replaces.
#include "script/flags.h"
#include "fuzzcheck.h"

#include <QRegularExpression>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in{data, size};
    qint32 caret = 0, checked = 0, old = 0;
    for (qint32 *field : {&caret, &checked, &old})
        for (int i = 0; i < 4; ++i)
            *field = qint32(quint32(*field) << 8 | in.byte());
    const std::uint8_t mode = in.byte();
    const QByteArray bytes = in.rest();
    // UTF-16 input reaches lone surrogates; UTF-8 input reaches the likely texts.
    QString line = (mode & 1) ? QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                                                         bytes.size() / 2)
                                    : QString::fromUtf8(bytes);
    // One document line: terminators only at its end, as the editor hands it over.
    line.remove(u'\r').remove(u'\n');
    static const QString terminators[] = {QString(), QStringLiteral("\n"), QStringLiteral("\r\n"),
                                          QStringLiteral("\r")};
    line += terminators[(mode >> 2) & 3];
    if (mode & 2)
        caret = int(quint32(caret) % quint32(line.size() + 2));

    const qint32 value = ParseCurrentValue(line);
    static const QRegularExpression plainInteger(QStringLiteral("^[ \\t]*([+-]?[0-9]{1,12})[ \\t]*\\z"));
    const QRegularExpressionMatch integer = plainInteger.match(line);
    if (integer.hasMatch()) {
        const qint64 expected = integer.captured(1).toLongLong();
        FUZZ_CHECK(value == ((expected >= INT32_MIN && expected <= INT32_MAX) ? expected : 0));
    }

    const QString rest = RestOfLine(line, caret);
    FUZZ_CHECK(!rest.endsWith(u'\n') && !rest.endsWith(u'\r'));
    FUZZ_CHECK(line.startsWith(rest) || line.contains(rest));
    const ColumnSpan span = ReplaceRegion(line, caret);
    FUZZ_CHECK(0 <= span.start && span.start <= span.end && span.end <= line.size());
    const QString replaced = line.mid(span.start, span.end - span.start);
    FUZZ_CHECK(!replaced.endsWith(u'\n') && !replaced.endsWith(u'\r'));
    // The replaced part never splits a surrogate pair.
    if (span.start > 0 && span.start < line.size())
        FUZZ_CHECK(!(line.at(span.start - 1).isHighSurrogate() && line.at(span.start).isLowSurrogate()));
    FUZZ_CHECK(rest.endsWith(replaced));

    for (const FlagTable &table : {ForcePowerTable(), WeaponTable()}) {
        const qint32 mask = TableMask(table);
        const qint32 written = MaskToWrite(checked & mask, old, table);
        FUZZ_CHECK((written & ~mask) == (old & ~mask));
        FUZZ_CHECK((written & mask) == (checked & mask));
        FUZZ_CHECK(KeptBits(old, table) == (old & ~mask));
    }
    return 0;
}
