#pragma once
// The game and engine a check is for, named on the command line or in an editor's
// settings the way the Game menu offers them.
#include "script/engineprofile.h"

#include <QCommandLineParser>
#include <QString>

#include <cstdio>

#include <variant>

// game: "jk2", "q3" or empty. engine: "original", "continuation", an engine's short name
// ("jk2-1.04", "jk2mv", "q3-1.32", "ioquake3"), its full name ("Jedi Outcast 1.04") or
// empty. Both empty give the window's start: Jedi Outcast as released. An engine alone
// decides the game. Returns why the names do not fit when they do not.
std::variant<ScriptEngine, QString> ChooseEngine(const QString &game, const QString &engine);

// The lines of --help that name the choices.
QString EngineChoicesHelp();

// Text to a standard stream, as UTF-8.
void Print(FILE *stream, const QString &text);
// "tavrel: PROBLEM" and where to read the mode's help, on stderr; the usage error's status, 2.
int UsageError(const QString &mode, const QString &problem);
// Parses a mode's command line: its own options already in parser, --game, --engine and
// --help added here. Returns the chosen engine, or the status to exit with once the help
// (about, then the engines) or a usage error has been printed.
std::variant<ScriptEngine, int> ParseModeCommandLine(QCommandLineParser &parser, const QStringList &arguments,
                                                     const QString &mode, const QString &about);
