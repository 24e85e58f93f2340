#include "script/tokenizer.h"

#include <QByteArray>

#include <cstring>

namespace {
enum : unsigned char {
    kWord = 1,
    kDigit = 2,
    kDelimiter = 4,
    kTerminator = 8,
    kLineEnd = 16,
    kCommentStart = 32,
    kSign = 64,
};

constexpr unsigned char ToLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c | 0x20 : c; }

// FNV-1a: short words, few of them; good enough spread and cheap per byte.
std::uint32_t Hash(const char *s, std::size_t n) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(s[i]);
        h *= 16777619u;
    }
    return h;
}

constexpr unsigned char Style(ScriptStyle s) { return static_cast<unsigned char>(s); }
}

KeywordSet::KeywordSet(const QString &wordListText, bool caseSensitive)
    : KeywordSet(std::string_view(wordListText.toUtf8().toStdString()), caseSensitive) {}

KeywordSet::KeywordSet(std::string_view utf8WordList, bool caseSensitive) : caseSensitive_(caseSensitive) {
    std::size_t start = 0;
    while (start < utf8WordList.size()) {
        std::size_t end = utf8WordList.find('\n', start);
        if (end == std::string_view::npos) end = utf8WordList.size();
        add(utf8WordList.substr(start, end - start));
        start = end + 1;
    }
}

void KeywordSet::add(std::string_view word) {
    if (word.empty()) return;
    std::string key(word);
    if (!caseSensitive_)
        for (char &c : key) c = static_cast<char>(ToLower(static_cast<unsigned char>(c)));
    const std::uint32_t hash = Hash(key.data(), key.size());
    if (find(key.data(), key.size(), hash)) return;
    if ((count_ + 1) * 2 > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].length != 0) i = (i + 1) & mask;
    slots_[i] = {static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(key.size())};
    pool_ += key;
    ++count_;
    if (key.size() > maxLength_) maxLength_ = key.size();
}

void KeywordSet::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot &slot : old) {
        if (slot.length == 0) continue;
        std::size_t i = Hash(pool_.data() + slot.offset, slot.length) & mask;
        while (slots_[i].length != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

bool KeywordSet::find(const char *word, std::size_t length, std::uint32_t hash) const {
    if (slots_.empty()) return false;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].length != 0; i = (i + 1) & mask) {
        const Slot &slot = slots_[i];
        if (slot.length == length && std::memcmp(pool_.data() + slot.offset, word, length) == 0) return true;
    }
    return false;
}

bool KeywordSet::contains(std::string_view word) const {
    if (word.empty() || word.size() > maxLength_) return false;
    if (caseSensitive_) return find(word.data(), word.size(), Hash(word.data(), word.size()));
    char small[64];
    std::string large;
    char *lower = small;
    if (word.size() > sizeof small) {
        large.resize(word.size());
        lower = large.data();
    }
    for (std::size_t i = 0; i < word.size(); ++i)
        lower[i] = static_cast<char>(ToLower(static_cast<unsigned char>(word[i])));
    return find(lower, word.size(), Hash(lower, word.size()));
}

ScriptSyntax::ScriptSyntax(std::string_view lineComment, std::string_view stringDelimiters,
                           std::string_view terminators)
    : lineComment_(lineComment) {
    for (int c = 0; c < 256; ++c) {
        const bool digit = c >= '0' && c <= '9';
        if (digit || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_') classes_[c] |= kWord;
        if (digit) classes_[c] |= kDigit;
    }
    classes_[static_cast<unsigned char>('+')] |= kSign;
    classes_[static_cast<unsigned char>('-')] |= kSign;
    for (char c : stringDelimiters) classes_[static_cast<unsigned char>(c)] |= kDelimiter;
    for (char c : terminators) classes_[static_cast<unsigned char>(c)] |= kTerminator;
    if (!lineComment_.empty()) classes_[static_cast<unsigned char>(lineComment_[0])] |= kCommentStart;
    // A line end always ends the line, whatever the other rules say.
    for (unsigned char c : {'\r', '\n'}) classes_[c] = kLineEnd;
}

ScriptSyntax ScriptSyntax::fromDefinition(const QString &lineComment, const QString &stringDelimiters,
                                          const QString &terminators) {
    // The document is UTF-8: only ASCII delimiters and terminators can be single bytes.
    auto ascii = [](const QString &text) {
        std::string bytes;
        for (QChar ch : text)
            if (ch.unicode() < 0x80) bytes += static_cast<char>(ch.unicode());
        return bytes;
    };
    return ScriptSyntax(lineComment.toUtf8().toStdString(), ascii(stringDelimiters), ascii(terminators));
}

void StyleScript(const char *text, std::size_t length, const KeywordSet &words, const ScriptSyntax &syntax,
                 unsigned char *styles) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *classes = syntax.classes_;
    const std::string &comment = syntax.lineComment_;

    auto is = [&](std::size_t k, unsigned char kind) { return k < length && (classes[p[k]] & kind); };
    auto wordEnd = [&](std::size_t k) {
        while (is(k, kWord)) ++k;
        return k;
    };
    // End of a number starting at k ("2", "2.5", "2.", ".5"), or 0 when there is none
    // or it runs into a word ("2d" is a word).
    auto numberEnd = [&](std::size_t k) -> std::size_t {
        std::size_t j = k;
        while (is(j, kDigit)) ++j;
        if (j < length && p[j] == '.') {
            ++j;
            while (is(j, kDigit)) ++j;
        }
        if (j - k == 1 && p[k] == '.') return 0;
        if (j == k || is(j, kWord)) return 0;
        return j;
    };
    auto fill = [&](std::size_t from, std::size_t to, ScriptStyle style) {
        std::memset(styles + from, Style(style), to - from);
    };

    unsigned char quote = 0;  // the delimiter of the open string, 0 outside strings
    ScriptStyle base = ScriptStyle::Default;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char c = p[i];
        const unsigned char kind = classes[c];
        if (kind & kLineEnd) {
            styles[i++] = Style(ScriptStyle::Default);
            quote = 0;
            base = ScriptStyle::Default;
            continue;
        }
        if (!quote && (kind & kCommentStart) && length - i >= comment.size() &&
            std::memcmp(p + i, comment.data(), comment.size()) == 0) {
            const std::size_t start = i;
            while (i < length && !(classes[p[i]] & kLineEnd)) ++i;
            fill(start, i, ScriptStyle::Comment);
            continue;
        }
        if (quote ? c == quote : (kind & kDelimiter) != 0) {
            styles[i++] = Style(ScriptStyle::String);
            quote = quote ? 0 : c;
            base = quote ? ScriptStyle::String : ScriptStyle::Default;
            continue;
        }
        if (kind & kTerminator) {
            styles[i++] = Style(ScriptStyle::Terminator);
            continue;
        }
        if (kind & kWord) {
            // Words are consumed whole, so a word always begins at a token start.
            if (kind & kDigit) {
                if (const std::size_t end = numberEnd(i)) {
                    fill(i, end, ScriptStyle::Number);
                    i = end;
                    continue;
                }
            }
            const std::size_t end = wordEnd(i);
            const bool keyword = words.contains(std::string_view(text + i, end - i));
            fill(i, end, keyword ? ScriptStyle::Keyword : base);
            i = end;
            continue;
        }
        const bool tokenStart = i == 0 || !(classes[p[i - 1]] & kWord);
        if (tokenStart && (kind & kSign)) {
            // "-1" is a number, "+attack" and "-attack" are the command attack.
            if (is(i + 1, kDigit) || (i + 1 < length && p[i + 1] == '.')) {
                if (const std::size_t end = numberEnd(i + 1)) {
                    fill(i, end, ScriptStyle::Number);
                    i = end;
                    continue;
                }
            } else if (is(i + 1, kWord)) {
                const std::size_t end = wordEnd(i + 1);
                if (words.contains(std::string_view(text + i + 1, end - i - 1))) {
                    fill(i, end, ScriptStyle::Keyword);
                    i = end;
                    continue;
                }
            }
        }
        if (tokenStart && c == '.') {
            if (const std::size_t end = numberEnd(i)) {
                fill(i, end, ScriptStyle::Number);
                i = end;
                continue;
            }
        }
        styles[i++] = Style(base);
    }
}

void StyleScript(const char *text, std::size_t length, const KeywordSet &words, unsigned char *styles) {
    static const ScriptSyntax games;
    StyleScript(text, length, words, games, styles);
}
