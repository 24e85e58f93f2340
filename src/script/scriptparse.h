#pragma once
// A script read the way the engine reads it: the command buffer's split into commands
// (Cbuf_Execute) and each command's split into words (Cmd_TokenizeString). The values of
// set and bind are command lines too, run later by vstr or a key; they are read as nested
// statements. Offsets index the QString text.
#include "script/engineprofile.h"

#include <QList>
#include <QString>

#include <vector>

struct ScriptToken
{
    QString text;  // without quotes
    int begin = 0; // source span, quotes included
    int end = 0;
    bool quoted = false;
};

struct ScriptStatement
{
    int begin = 0;
    int end = 0;             // exclusive; the terminator is not included
    int depth = 0;           // 0: a line of the file; 1+: inside a set or bind value
    int parent = -1;         // index of the set/bind statement whose value this is
    bool endsAtSemicolon = false;
    bool quoteOpen = false;  // a newline (or the value's end) closed an open quote
    bool cutAtLimit = false; // longer than the engine's line; the rest follows as a new command
    int slashComment = -1;   // where a "//" comment starts inside it, or -1
    int openBlockComment = -1; // a "/*" never closed inside it, or -1
    QList<int> highBlanks;   // characters above 127 that the engine read as blanks
    QList<ScriptToken> tokens;

    QString command() const { return tokens.isEmpty() ? QString() : tokens.first().text.toLower(); }
};

// Cbuf_Execute's search for the end of the next command in text[pos, end). ioquake3
// keeps its comment state from one command to the next.
class CommandSplitter
{
public:
    explicit CommandSplitter(ScriptEngine engine) : knowsComments_(RulesOf(engine).bufferKnowsComments) {}
    struct Piece
    {
        int begin;
        int end;  // exclusive; the command line is text[begin, end)
        int next; // where the following command starts: the terminator is deleted
        bool semicolon;
        bool quoteOpen;
        bool cut; // longer than the engine's line: the character at end is dropped
    };
    Piece next(const QString &text, int pos, int end);

private:
    bool knowsComments_;
    bool inSlash_ = false;
    bool inStar_ = false;
};

// Cmd_TokenizeString on text[begin, end): the words, and the comments met.
void TokenizeCommand(const QString &text, int begin, int end, ScriptEngine engine, ScriptStatement &statement);

// Every statement of the file and, after each set/bind statement, the statements of its
// value.
QList<ScriptStatement> ParseScript(const QString &text, ScriptEngine engine);

// The set commands: set, seta, sets, setu.
bool IsSetCommand(const QString &lowerCommand);
// The span of a set or bind value inside the text (inside its quotes when it is one
// quoted word), or {-1, -1} when the statement has none.
std::pair<int, int> ValueSpan(const ScriptStatement &statement);

// Line starts of a text (LF, CR LF and a lone CR end a line), to turn offsets into
// line and column.
class LineIndex
{
public:
    explicit LineIndex(const QString &text);
    int lineOf(int offset) const;
    int columnOf(int offset) const { return offset - starts_[lineOf(offset)]; }
    int lineStart(int line) const { return starts_[line]; }
    int lineCount() const { return int(starts_.size()); }

private:
    std::vector<int> starts_;
};

// Byte positions in the UTF-8 form of a text (the editor's document) of its QString
// offsets. Each answer walks from the previous one, so offsets asked in about
// increasing order cost one pass over the text in all.
class Utf8Positions
{
public:
    explicit Utf8Positions(const QString &text) : text_(text) {}
    qsizetype at(qsizetype offset);

private:
    const QString &text_;
    qsizetype offset_ = 0;
    qsizetype bytes_ = 0;
};
