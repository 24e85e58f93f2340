#include "script/scriptanalysis.h"

#include "script/scriptparse.h"

#include <QObject>

bool ScriptCompletion::IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'+' || c == u'-';
}

int CheckPause(qsizetype length)
{
    return length > 1000000 ? 1500 : 300;
}

ScriptAnalysis NotChecked()
{
    ScriptAnalysis analysis;
    analysis.rows << QObject::tr("Not checked: the script is larger than %1 MB.").arg(MaxCheckedBytes >> 20);
    return analysis;
}

ScriptAnalysis AnalyzeScript(const QByteArray &utf8, ScriptEngine engine, const ScriptVocabulary &vocabulary)
{
    if (utf8.size() > MaxCheckedBytes)
        return NotChecked();
    ScriptAnalysis analysis;
    const QString text = QString::fromUtf8(utf8);
    analysis.findings = Diagnose(text, engine, vocabulary, FileBytes(text));
    const LineIndex lines(text);
    Utf8Positions bytes(text);
    for (const Finding &f : analysis.findings) {
        analysis.rows << FindingRow(f);
        const qsizetype begin = bytes.at(lines.lineStart(f.line) + f.column);
        const qsizetype end = bytes.at(lines.lineStart(f.line) + f.endColumn);
        analysis.squiggles.append({begin, std::max(end, begin + 1), int(f.severity)});
    }
    Utf8Positions colorBytes(text);
    for (const ColorRun &run : ColorRuns(text, engine)) {
        // White and yellow would vanish on the white page; they are drawn a shade darker.
        unsigned rgb = ScriptColorTable()[run.color];
        if (run.color == 7 || run.color == 3 || run.color == 5)
            rgb = ((rgb >> 1) & 0x7F7F7F) | 0x404040;
        analysis.colors.append({colorBytes.at(run.begin), colorBytes.at(run.end), int(rgb)});
    }
    return analysis;
}

QString HoverText(const QString &lineText, int line, int column, const QList<Finding> &findings,
                  ScriptEngine engine, const ScriptVocabulary &vocabulary)
{
    QStringList parts;
    for (const Finding &f : findings) {
        if (f.line == line && column >= f.column && column < f.endColumn)
            parts << f.message;
    }
    const QList<ScriptStatement> statements = ParseScript(lineText, engine);
    for (const ScriptStatement &s : statements) {
        for (int i = 0; i < s.tokens.size(); ++i) {
            const ScriptToken &token = s.tokens[i];
            if (column < token.begin || column >= token.end)
                continue;
            if (i > 0) {
                if (auto mask = DescribeMask(s.tokens[i - 1].text, token.text)) {
                    parts << *mask;
                    continue;
                }
            }
            if (i + 1 < s.tokens.size()) {
                if (auto mask = DescribeMask(token.text, s.tokens[i + 1].text))
                    parts << *mask;
            }
            const QString word = DescribeWord(token.text, engine, vocabulary);
            if (!word.isEmpty())
                parts << word;
        }
    }
    parts.removeDuplicates();
    return parts.join(u'\n');
}

ScriptCompletion::Result ScriptCompletion::complete(const QString &before, ScriptEngine engine,
                                                    const ScriptVocabulary &vocabulary)
{
    int start = int(before.size());
    while (start > 0 && IsWordChar(before[start - 1]))
        --start;
    Result result;
    result.prefix = before.mid(start);
    if (result.prefix.size() < 2)
        return result;
    const qsizetype statementStart = std::max(before.lastIndexOf(u';', start - 1), before.lastIndexOf(u'"', start - 1)) + 1;
    const QStringList words = before.mid(statementStart, start - statementStart).split(u' ', Qt::SkipEmptyParts);
    const QString previous = words.isEmpty() ? QString() : words.last().toLower();
    QList<VocabKind> kinds;
    if (words.isEmpty())
        kinds = {VocabKind::Command, VocabKind::Button, VocabKind::Cvar};
    else if (words.size() == 1 && (previous == u"bind" || previous == u"unbind"))
        kinds = {VocabKind::Key};
    else if (words.size() == 1 && (IsSetCommand(previous) || previous == u"reset" || previous == u"toggle"))
        kinds = {VocabKind::Cvar};
    else
        return result;
    QStringList &candidates = candidates_[QStringLiteral("%1:%2").arg(int(engine)).arg(int(kinds.first()))];
    if (candidates.isEmpty()) {
        for (VocabKind kind : kinds)
            candidates << vocabulary.names(kind, engine);
    }
    for (const QString &name : candidates) {
        if (name.startsWith(result.prefix, Qt::CaseInsensitive) && name.size() > 1)
            result.names << name;
    }
    return result;
}

std::shared_future<ScriptVocabularies> LoadVocabularies(const QString &jk2File, const QString &q3File)
{
    return std::async(std::launch::async, [jk2File, q3File] {
               return ScriptVocabularies{ScriptVocabulary::load(jk2File), ScriptVocabulary::load(q3File)};
           })
        .share();
}
