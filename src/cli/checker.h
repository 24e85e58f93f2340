#pragma once
// tavrel --check: the window's findings for script files, one compiler-style line each.
#include "script/diagnostics.h"

#include <QStringList>

// "FILE:LINE:COLUMN: error|warning|note: MESSAGE", line and column counted from 1.
QString FindingLine(const QString &file, const Finding &finding);
// "error", "warning" or "note".
const char *SeverityWord(FindingSeverity severity);

// The arguments after the program's name, "--check" among them. 0: no error or warning;
// 1: at least one; 2: a usage error or a file that could not be read.
int RunCheck(const QStringList &arguments);

// The shipped vocabulary of the engine's game, as the window reads it.
ScriptVocabulary LoadVocabulary(ScriptEngine engine);
