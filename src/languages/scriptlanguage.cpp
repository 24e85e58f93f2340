#include "languages/scriptlanguage.h"

#include "editor/codesense.h"
#include "languages/wordfile.h"

LanguageDefinition ScriptLanguageDefinition(const QString &wordListText)
{
    LanguageDefinition definition;
    definition.Keywords = wordListText;
    definition.Style = 0;
    definition.Operators = wordListText;
    definition.LineComment = QStringLiteral("//");
    definition.StringDelimiters = QStringLiteral("\"");
    definition.Terminator = QStringLiteral(";");
    definition.CaseSensitive = false;
    return definition;
}

FileError RegisterScriptLanguage(const QString &name, const QString &wordFile)
{
    QStringList lines;
    const FileError error = ReadLines(wordFile, lines);
    if (error.ok())
        CodeSense::RegisterLanguage(name, ScriptLanguageDefinition(WordListText(lines)));
    return error;
}
