// SplitLines against a plain restatement of the line rules, and WordListText's shape.
#include "codec/cp1252.h"
#include "fuzzcheck.h"
#include "script/wordfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = SplitLines(input);

    QString expected = cp1252::decode(input);
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    expected.replace(u'\r', u'\n');
    QStringList expectedLines;
    if (!expected.isEmpty()) {
        if (expected.endsWith(u'\n'))
            expected.chop(1);
        expectedLines = expected.split(u'\n');
    }
    FUZZ_CHECK(lines == expectedLines);

    const QString words = WordListText(lines);
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 1;
    FUZZ_CHECK(words.size() == total);
    FUZZ_CHECK(lines.isEmpty() ? words.isEmpty() : words.endsWith(u'\n'));
    FUZZ_CHECK(words.count(u'\n') == lines.size());
    return 0;
}
