// StyleScript gives every byte exactly one valid style, reads nothing past the text, and
// carries no state across a line end: styling from any line start gives the same styles.
#include "fuzzcheck.h"
#include "script/tokenizer.h"

#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput in{data, size};
    const std::uint8_t mode = in.byte();
    const QByteArray wordList = in.take();
    const KeywordSet words(std::string_view(wordList.constData(), size_t(wordList.size())), mode & 1);
    std::unique_ptr<ScriptSyntax> syntax;
    if (mode & 2) {
        const QByteArray comment = in.take(), delimiters = in.take(), terminators = in.take();
        syntax = std::make_unique<ScriptSyntax>(ScriptSyntax::fromDefinition(
            QString::fromLatin1(comment), QString::fromLatin1(delimiters), QString::fromLatin1(terminators)));
    } else {
        syntax = std::make_unique<ScriptSyntax>();
    }
    const QByteArray textBytes = in.rest();
    const std::size_t length = size_t(textBytes.size());
    // Exactly sized copies, so the sanitizer sees any read or write past either end.
    const std::unique_ptr<char[]> text(new char[length ? length : 1]);
    std::memcpy(text.get(), textBytes.constData(), length);
    const std::unique_ptr<unsigned char[]> styles(new unsigned char[length ? length : 1]);
    std::memset(styles.get(), 0xff, length);

    StyleScript(text.get(), length, words, *syntax, styles.get());
    for (std::size_t i = 0; i < length; ++i)
        FUZZ_CHECK(styles[i] <= static_cast<unsigned char>(ScriptStyle::Number));

    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != '\n')
            continue;
        const std::size_t start = i + 1;
        const std::size_t tail = length - start;
        const std::unique_ptr<unsigned char[]> again(new unsigned char[tail ? tail : 1]);
        StyleScript(text.get() + start, tail, words, *syntax, again.get());
        FUZZ_CHECK(std::memcmp(again.get(), styles.get() + start, tail) == 0);
        break;
    }

    // Each listed word, alone on a line, is found again.
    std::size_t from = 0;
    while (from < size_t(wordList.size())) {
        std::size_t to = from;
        while (to < size_t(wordList.size()) && wordList[qsizetype(to)] != '\n')
            ++to;
        if (to > from)
            FUZZ_CHECK(words.contains(std::string_view(wordList.constData() + from, to - from)));
        from = to + 1;
    }
    return 0;
}
