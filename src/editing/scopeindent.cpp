#include "editing/scopeindent.h"

namespace {

// How far back the opener of a scope is looked for, so that a key press stays cheap
// in a huge document.
constexpr int OpenerSearchLines = 2000;

QChar FirstNonBlank(const QString &text)
{
    for (const QChar c : text)
        if (!c.isSpace())
            return c;
    return {};
}

bool IsBlank(const QString &text)
{
    return FirstNonBlank(text).isNull();
}

int PreviousNonBlank(const IndentContext &document, int line)
{
    for (int l = line - 1; l >= 0 && l >= line - OpenerSearchLines; --l)
        if (!IsBlank(document.lineText(l)))
            return l;
    return -1;
}

// The nearest line above that is indented less than `indentation`: the line whose
// scope encloses a line indented so.
int EnclosingLine(const IndentContext &document, int line, int indentation)
{
    for (int l = line - 1; l >= 0 && l >= line - OpenerSearchLines; --l)
        if (!IsBlank(document.lineText(l)) && document.indentation(l) < indentation)
            return l;
    return -1;
}

ScopeScan ScanLine(const IndentContext &document, int line)
{
    return ScanScope(document.lineText(line), StartsInString(document, line));
}

} // namespace

ScopeScan ScanScope(QStringView line, bool startsInString)
{
    ScopeScan scan;
    scan.inString = startsInString;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('"')) {
            scan.inString = !scan.inString;
        } else if (scan.inString) {
            continue;
        } else if (c == QLatin1Char('/') && i + 1 < line.size() && line[i + 1] == QLatin1Char('/')) {
            break;
        } else if (c == QLatin1Char('{')) {
            ++scan.openBraces;
        } else if (c == QLatin1Char('}') && scan.openBraces > 0) {
            --scan.openBraces;
        }
    }
    return scan;
}

bool StartsInString(const IndentContext &document, int line)
{
    if (FirstNonBlank(document.lineText(line)) != QLatin1Char('"'))
        return false;
    const int above = PreviousNonBlank(document, line);
    if (above < 0)
        return false;
    // Either the line went back out of an indented string body, or the line above
    // opened the string itself. One level of look-back keeps this cheap.
    return document.indentation(line) < document.indentation(above) ||
           ScanScope(document.lineText(above), false).inString;
}

int NewLineIndentation(const IndentContext &document, int line, int mode, int unit)
{
    if (mode == AutoIndentOff || line <= 0)
        return -1;
    const int above = line - 1;
    int indentation = document.indentation(above);
    if (mode != AutoIndentByScope)
        return indentation;
    const ScopeScan scan = ScanLine(document, above);
    if (scan.openBraces > 0 || scan.inString)
        indentation += unit;
    // A break just before a closer ("{|}") puts the closer back under its opener.
    const QChar first = FirstNonBlank(document.lineText(line));
    if (first == QLatin1Char('}') || first == QLatin1Char('"')) {
        const int closer = CloserIndentation(document, line, indentation, first);
        if (closer >= 0)
            return closer;
    }
    return indentation;
}

int CloserIndentation(const IndentContext &document, int line, int lineIndentation, QChar closer)
{
    if (FirstNonBlank(document.lineText(line)) != closer)
        return -1;
    const int opener = EnclosingLine(document, line, lineIndentation);
    if (opener < 0)
        return -1;
    const ScopeScan scan = ScanLine(document, opener);
    const bool opens = closer == QLatin1Char('}') ? scan.openBraces > 0 : scan.inString;
    return opens ? document.indentation(opener) : -1;
}
