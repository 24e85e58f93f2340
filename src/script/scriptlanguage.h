#pragma once
// The two script languages share their rules and differ only in their word lists; they
// are registered by name ("JK2Script", "Q3Script") for the editors to highlight.

#include "codec/fileio.h"
#include "script/languagedefinition.h"

#include <optional>

// Both word lists go to Keywords and Operators; "//" comments, double-quoted strings,
// ";" between statements, any letter case.
LanguageDefinition ScriptLanguageDefinition(const QString &wordListText);

void RegisterLanguage(const QString &name, const LanguageDefinition &definition);
std::optional<LanguageDefinition> RegisteredLanguage(const QString &name);

// Reads the word file and registers the language under name.
FileError RegisterScriptLanguage(const QString &name, const QString &wordFile);
