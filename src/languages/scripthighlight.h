#pragma once
class CodeSense;
class QString;

// Highlights the editor's text as the registered language name; false (and nothing
// changes) for an unknown name. The highlighting follows the editor's colour option.
bool SetScriptLanguage(CodeSense *editor, const QString &name);
