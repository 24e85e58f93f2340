#include "script/scriptparse.h"

#include <algorithm>

namespace {

constexpr int MaxValueDepth = 3;

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Cmd_TokenizeString compares a signed char with ' ', so bytes from 0x80 up separate
// words as blanks do.
bool isBlank(QChar c)
{
    return c.unicode() <= u' ' || c.unicode() >= 0x80;
}

struct Piece
{
    int begin;
    int end;
    bool semicolon;
    bool quoteOpen;
    bool cut;
};

// Cbuf_Execute: a command ends at a ";" outside quotes or at a line end; a command
// longer than the line buffer is cut, the character after the cut is dropped and the
// rest runs as a new command. The continuations also skip "//" and "/* */" comments
// here, and a "/* */" comment may span lines.
QList<Piece> splitCommands(const QString &text, int begin, int end, ScriptEngine engine)
{
    QList<Piece> pieces;
    const bool comments = EngineKnowsComments(engine);
    int pos = begin;
    while (pos < end) {
        int quotes = 0;
        bool slash = false, star = false;
        int i = pos;
        bool semicolon = false;
        for (; i < end; ++i) {
            const QChar c = text[i];
            if (c == u'"')
                ++quotes;
            if (!(quotes & 1)) {
                if (comments && i < end - 1) {
                    const QChar next = text[i + 1];
                    if (!star && c == u'/' && next == u'/') {
                        slash = true;
                    } else if (!slash && c == u'/' && next == u'*') {
                        star = true;
                    } else if (star && c == u'*' && next == u'/') {
                        ++i;
                        break;
                    }
                }
                if (!slash && !star && c == u';') {
                    semicolon = true;
                    break;
                }
            }
            if (!star && isLineEnd(c))
                break;
        }
        Piece piece{pos, i, semicolon, (quotes & 1) != 0, false};
        if (i - pos > MaxCommandLine) {
            piece = Piece{pos, pos + MaxCommandLine, false, false, true};
            i = pos + MaxCommandLine;
        }
        pieces << piece;
        pos = i + 1;
    }
    return pieces;
}

// Cmd_TokenizeString on text[begin, end).
void tokenize(const QString &text, int begin, int end, ScriptStatement &statement)
{
    int p = begin;
    auto at = [&](int i) { return i < end ? text[i] : QChar(); };
    while (true) {
        while (true) {
            while (p < end && isBlank(text[p]))
                ++p;
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
        while (p < end && !isBlank(text[p])) {
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
    for (const Piece &piece : splitCommands(text, begin, end, engine)) {
        ScriptStatement statement;
        statement.begin = piece.begin;
        statement.end = piece.end;
        statement.depth = depth;
        statement.parent = parent;
        statement.endsAtSemicolon = piece.semicolon;
        statement.quoteOpen = piece.quoteOpen;
        statement.cutAtLimit = piece.cut;
        tokenize(text, piece.begin, piece.end, statement);
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
