#pragma once
// Automatic indentation of script lines: by the previous line, or by scope, where an
// opening "{" or a quote left open at the end of a line indents the lines that follow
// and the matching "}" or closing quote goes back to the opener's indentation.

#include <QChar>
#include <QString>
#include <QStringView>

// What a line leaves open at its end. Braces inside strings and everything after a
// "//" comment marker outside a string do not count.
struct ScopeScan
{
    int openBraces = 0; // "{" not closed later on the same line
    bool inString = false;
};
ScopeScan ScanScope(QStringView line, bool startsInString);

// The document as the indenter sees it; line numbers count from 0.
class IndentContext
{
public:
    virtual ~IndentContext() = default;
    virtual QString lineText(int line) const = 0; // without its line end
    virtual int indentation(int line) const = 0;  // in columns
};

enum AutoIndent { AutoIndentOff = 0, AutoIndentByScope = 1, AutoIndentByPreviousLine = 2 };

// The indentation for `line` when a line break has just started it, or -1 to leave it
// as it is (indentation off, or the first line).
int NewLineIndentation(const IndentContext &document, int line, int mode, int unit);

// The indentation for `line`, indented `lineIndentation` columns, whose first
// non-blank character is `closer` ('}' or '"'): that of the line that opened the scope,
// or -1 when no enclosing line opened a scope of that kind.
int CloserIndentation(const IndentContext &document, int line, int lineIndentation, QChar closer);

// True when the line's first non-blank character is a quote that closes a string
// left open above it.
bool StartsInString(const IndentContext &document, int line);
