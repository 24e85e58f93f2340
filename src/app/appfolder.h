#pragma once
#include <QString>

// The application folder: where the executable lies, with pf/, cfgs/ and help.txt beside it.
QString ApplicationFolder();
// Joins a path relative to the application folder ("pf/cc.txt").
QString ApplicationFile(const QString &relative);
// Tests point the program at a folder of their own.
void SetApplicationFolder(const QString &folder);
