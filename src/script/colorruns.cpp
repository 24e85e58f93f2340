#include "script/diagnostics.h"

#include "script/scriptparse.h"

#include <algorithm>
#include <vector>

namespace {

// Which characters after "^" start a colour (Q_IsColorString). Jedi Outcast's console
// takes only 0-7; its font renderer, which draws chat, names and menus, takes any.
bool acceptsColor(ScriptEngine engine, bool console, QChar c)
{
    switch (engine) {
    case ScriptEngine::Quake3_132:
        return c != u'^' && !c.isNull();
    case ScriptEngine::ioquake3:
        return c.unicode() < 0x80 && c.isLetterOrNumber();
    case ScriptEngine::JediOutcast_104:
    case ScriptEngine::jk2mv:
        return console ? (c >= u'0' && c <= u'7') : (c != u'^' && !c.isNull());
    }
    return false;
}

void paintSpan(const QString &text, int begin, int end, ScriptEngine engine, bool console, std::vector<signed char> &colors)
{
    int current = -1;
    for (int i = begin; i < end; ++i) {
        if (text[i] == u'^' && i + 1 < end && acceptsColor(engine, console, text[i + 1])) {
            current = (text[i + 1].unicode() - u'0') & 7;
            colors[i] = colors[i + 1] = -1;
            ++i;
            continue;
        }
        colors[i] = static_cast<signed char>(current);
    }
}

} // namespace

QList<ColorRun> ColorRuns(const QString &text, ScriptEngine engine)
{
    std::vector<signed char> colors(text.size(), -1);
    // Statements come outer before inner, so a value's own echo repaints its quotes.
    for (const ScriptStatement &s : ParseScript(text, engine)) {
        if (s.tokens.isEmpty())
            continue;
        for (const ScriptToken &token : s.tokens) {
            if (token.quoted)
                paintSpan(text, token.begin + 1, std::max(token.begin + 1, token.end - 1), engine, false, colors);
        }
        const QString command = s.command();
        int from = -1;
        if (command == u"echo" || command == u"say" || command == u"say_team" || command == u"tell" ||
            command == u"name")
            from = 1;
        else if (IsSetCommand(command) && s.tokens.size() >= 3 && s.tokens[1].text.compare(u"name", Qt::CaseInsensitive) == 0)
            from = 2;
        if (from > 0 && s.tokens.size() > from)
            paintSpan(text, s.tokens[from].begin, s.end, engine, command == u"echo", colors);
    }
    QList<ColorRun> runs;
    for (int i = 0; i < int(colors.size());) {
        if (colors[i] < 0 || text[i] == u'"') {
            ++i;
            continue;
        }
        int j = i;
        while (j < int(colors.size()) && colors[j] == colors[i] && text[j] != u'"')
            ++j;
        runs << ColorRun{i, j, colors[i]};
        i = j;
    }
    return runs;
}

QList<ConsoleSpan> ConsoleSpans(const QString &line, ScriptEngine engine)
{
    QList<ConsoleSpan> spans{{QString(), 7}};
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] == u'^' && i + 1 < line.size() && acceptsColor(engine, true, line[i + 1])) {
            spans.append({QString(), (line[i + 1].unicode() - u'0') & 7});
            ++i;
        } else {
            spans.last().text += line[i];
        }
    }
    spans.removeIf([](const ConsoleSpan &span) { return span.text.isEmpty(); });
    return spans;
}

const unsigned *ScriptColorTable()
{
    static const unsigned table[8] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0x00FFFF, 0xFF00FF, 0xFFFFFF};
    return table;
}
