#include "script/scriptlanguage.h"

#include "script/wordfile.h"

#include <QHash>

namespace {

QHash<QString, LanguageDefinition> &registeredLanguages()
{
    static QHash<QString, LanguageDefinition> languages;
    return languages;
}

} // namespace

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

void RegisterLanguage(const QString &name, const LanguageDefinition &definition)
{
    registeredLanguages().insert(name, definition);
}

std::optional<LanguageDefinition> RegisteredLanguage(const QString &name)
{
    const auto found = registeredLanguages().constFind(name);
    if (found == registeredLanguages().constEnd())
        return std::nullopt;
    return *found;
}

FileError RegisterScriptLanguage(const QString &name, const QString &wordFile)
{
    QStringList lines;
    const FileError error = ReadLines(wordFile, lines);
    if (error.ok())
        RegisterLanguage(name, ScriptLanguageDefinition(WordListText(lines)));
    return error;
}
