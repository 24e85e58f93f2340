#include "script/scriptparse.h"

#include <algorithm>

namespace {

constexpr int MaxValueDepth = 3;

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

} // namespace

CommandSplitter::Piece CommandSplitter::next(const QString &text, int pos, int end)
{
    int quotes = 0;
    int i = pos;
    bool semicolon = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c == u'"')
            ++quotes;
        if (!(quotes & 1)) {
            if (knowsComments_ && i < end - 1) {
                const QChar next = text[i + 1];
                if (!inStar_ && c == u'/' && next == u'/') {
                    inSlash_ = true;
                } else if (!inSlash_ && c == u'/' && next == u'*') {
                    inStar_ = true;
                } else if (inStar_ && c == u'*' && next == u'/') {
                    // The command ends at the "*", and the "/" is deleted with the terminator.
                    inStar_ = false;
                    ++i;
                    break;
                }
            }
            if (!inSlash_ && !inStar_ && c == u';') {
                semicolon = true;
                break;
            }
        }
        if (!inStar_ && isLineEnd(c)) {
            inSlash_ = false;
            break;
        }
    }
    if (i - pos > MaxCommandLine)
        return Piece{pos, pos + MaxCommandLine, pos + MaxCommandLine + 1, false, false, true};
    return Piece{pos, i, std::min(i + 1, end), semicolon, (quotes & 1) != 0, false};
}

namespace {

// Cmd_TokenizeString on text[begin, end).
void tokenize(const QString &text, int begin, int end, bool highBytesAreBlanks, ScriptStatement &statement)
{
    int p = begin;
    auto at = [&](int i) { return i < end ? text[i] : QChar(); };
    auto blank = [&](QChar c) { return c.unicode() <= u' ' || (highBytesAreBlanks && c.unicode() >= 0x80); };
    while (true) {
        while (true) {
            while (p < end && blank(text[p])) {
                if (text[p].unicode() >= 0x80)
                    statement.highBlanks << p;
                ++p;
            }
            if (p >= end)
                return;
            if (at(p) == u'/' && at(p + 1) == u'/') {
                statement.slashComment = p;
                return;
            }
            if (at(p) == u'/' && at(p + 1) == u'*') {
                const int open = p;
                while (p < end && !(text[p] == u'*' && at(p + 1) == u'/'))
                    ++p;
                if (p >= end) {
                    statement.openBlockComment = open;
                    return;
                }
                p += 2;
            } else {
                break;
            }
        }
        ScriptToken token;
        token.begin = p;
        if (text[p] == u'"') {
            token.quoted = true;
            ++p;
            while (p < end && text[p] != u'"')
                token.text += text[p++];
            if (p < end)
                ++p;
            token.end = p;
            statement.tokens << token;
            continue;
        }
        while (p < end && !blank(text[p])) {
            if (text[p] == u'"')
                break;
            if (text[p] == u'/' && (at(p + 1) == u'/' || at(p + 1) == u'*'))
                break;
            token.text += text[p++];
        }
        token.end = p;
        statement.tokens << token;
    }
}

void parseRange(const QString &text, int begin, int end, ScriptEngine engine, int depth, int parent,
                QList<ScriptStatement> &out)
{
    CommandSplitter splitter(engine);
    for (int pos = begin; pos < end;) {
        const CommandSplitter::Piece piece = splitter.next(text, pos, end);
        pos = piece.next;
        ScriptStatement statement;
        statement.begin = piece.begin;
        statement.end = piece.end;
        statement.depth = depth;
        statement.parent = parent;
        statement.endsAtSemicolon = piece.semicolon;
        statement.quoteOpen = piece.quoteOpen;
        statement.cutAtLimit = piece.cut;
        TokenizeCommand(text, piece.begin, piece.end, engine, statement);
        out << statement;
        const int index = int(out.size()) - 1;
        if (depth < MaxValueDepth) {
            const auto [valueBegin, valueEnd] = ValueSpan(statement);
            if (valueBegin >= 0)
                parseRange(text, valueBegin, valueEnd, engine, depth + 1, index, out);
        }
    }
}

} // namespace

void TokenizeCommand(const QString &text, int begin, int end, ScriptEngine engine, ScriptStatement &statement)
{
    tokenize(text, begin, end, RulesOf(engine).highBytesAreBlanks, statement);
}

bool IsSetCommand(const QString &lowerCommand)
{
    return lowerCommand == u"set" || lowerCommand == u"seta" || lowerCommand == u"sets" || lowerCommand == u"setu";
}

std::pair<int, int> ValueSpan(const ScriptStatement &statement)
{
    const QString command = statement.command();
    if (!(IsSetCommand(command) || command == u"bind") || statement.tokens.size() < 3)
        return {-1, -1};
    const ScriptToken &first = statement.tokens[2];
    if (statement.tokens.size() == 3 && first.quoted) {
        const bool closed = first.end - first.begin >= 2 + int(first.text.size());
        return {first.begin + 1, closed ? first.end - 1 : first.end};
    }
    return {first.begin, statement.tokens.last().end};
}

QList<ScriptStatement> ParseScript(const QString &text, ScriptEngine engine)
{
    QList<ScriptStatement> statements;
    parseRange(text, 0, int(text.size()), engine, 0, -1, statements);
    return statements;
}

LineIndex::LineIndex(const QString &text)
{
    starts_.push_back(0);
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= n || text[i + 1] != u'\n')))
            starts_.push_back(i + 1);
    }
}

int LineIndex::lineOf(int offset) const
{
    return int(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin()) - 1;
}

namespace {

// Bytes of one UTF-16 unit in UTF-8: a surrogate pair counts four at its first unit.
int utf8Length(const QString &text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (c < 0x80)
        return 1;
    if (c < 0x800)
        return 2;
    if (QChar::isHighSurrogate(c))
        return i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()) ? 4 : 3;
    if (QChar::isLowSurrogate(c))
        return i > 0 && QChar::isHighSurrogate(text[i - 1].unicode()) ? 0 : 3;
    return 3;
}

} // namespace

qsizetype Utf8Positions::at(qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, text_.size());
    for (; offset_ < offset; ++offset_)
        bytes_ += utf8Length(text_, offset_);
    for (; offset_ > offset; --offset_)
        bytes_ -= utf8Length(text_, offset_ - 1);
    return bytes_;
}
