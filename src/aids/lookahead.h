#pragma once
// The flag-value look-ahead: a space typed right after g_forcepowerdisable,
// g_weapondisable or g_duelweapondisable opens the flag checklist and writes the
// chosen mask into the line.

class CodeSense;
class QWidget;

// Runs for every key that goes down in the editor. Returns true when it handled the
// key itself (the space is then already in the text), false to let the editor type it.
bool FlagLookAhead(QWidget *mainWindow, CodeSense *editor, int key);
