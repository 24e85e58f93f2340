#pragma once
// Styles the bytes of a console script. No state crosses a line end, so styling can
// start at any line start.
#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptStyle : unsigned char { Default = 0, Keyword, Comment, String, Terminator, Number };

// Whole words to mark, compared byte for byte or, without case sensitivity, in any
// ASCII letter case.
class KeywordSet {
public:
    KeywordSet() = default;
    // wordListText: entries separated by LF; empty entries are ignored.
    KeywordSet(const QString &wordListText, bool caseSensitive);
    KeywordSet(std::string_view utf8WordList, bool caseSensitive);

    bool contains(std::string_view word) const;
    bool caseSensitive() const { return caseSensitive_; }
    std::size_t size() const { return count_; }

private:
    struct Slot {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;  // 0: empty slot
    };
    void add(std::string_view word);
    void grow();
    bool find(const char *word, std::size_t length, std::uint32_t hash) const;

    bool caseSensitive_ = true;
    std::string pool_;
    std::vector<Slot> slots_;
    std::size_t count_ = 0;
    std::size_t maxLength_ = 0;
};

// The lexical rules besides the words. Each character of stringDelimiters opens a string
// that the same character closes; each character of terminators is a terminator.
class ScriptSyntax {
public:
    ScriptSyntax(std::string_view lineComment = "//", std::string_view stringDelimiters = "\"",
                 std::string_view terminators = ";");
    static ScriptSyntax fromDefinition(const QString &lineComment, const QString &stringDelimiters,
                                       const QString &terminators);

private:
    friend void StyleScript(const char *, std::size_t, const KeywordSet &, const ScriptSyntax &,
                            unsigned char *);
    std::string lineComment_;
    unsigned char classes_[256] = {};
};

// Fills styles[0..length) with one ScriptStyle per byte of text, which must begin at a
// line start. Keywords, numbers and terminators inside strings keep their own style,
// because a quoted bind or vstr value is itself a command line.
void StyleScript(const char *text, std::size_t length, const KeywordSet &words,
                 const ScriptSyntax &syntax, unsigned char *styles);
// The same with the games' rules: "//" comments, double-quoted strings, ";".
void StyleScript(const char *text, std::size_t length, const KeywordSet &words, unsigned char *styles);
