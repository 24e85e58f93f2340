#pragma once
// The two script languages share their rules and differ only in their word lists.

#include "editor/fileio.h"
#include "languages/languagedefinition.h"

// Both word lists go to Keywords and Operators; "//" comments, double-quoted strings,
// ";" between statements, any letter case.
LanguageDefinition ScriptLanguageDefinition(const QString &wordListText);

// Reads the word file and registers the language with the editor component under name.
FileError RegisterScriptLanguage(const QString &name, const QString &wordFile);
