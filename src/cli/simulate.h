#pragma once
// tavrel --simulate: a script run as the game runs it after exec, then key by key.
#include <QStringList>

// The arguments after the program's name, "--simulate" among them. Prints the console
// lines of the exec, then "> KEY" and the lines of each press and release, then the
// changed cvars as name "old" -> "new". 0, or 2 for a usage error or an unreadable file.
int RunSimulate(const QStringList &arguments);
