#pragma once
// The names one game knows, with the releases that have each, cvar defaults and flags:
// data/vocab/<game>.tsv, written by tools/buildinsight.py from the engines' sources.
#include "script/engineprofile.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

enum class VocabKind { Command, Button, Cvar, SetOnlyCvar, Key };

struct VocabEntry
{
    VocabKind kind = VocabKind::Command;
    QString name;               // as the source spells it; buttons with their "+"
    bool inOriginal = false;    // Quake III 1.32 / Jedi Outcast 1.04
    bool inContinuation = false; // ioquake3 / jk2mv
    QString defaultValue;
    QString continuationDefault; // empty when the same as defaultValue
    QString flags;

    bool availableIn(ScriptEngine engine) const
    {
        return IsOriginalRelease(engine) ? inOriginal : inContinuation;
    }
    QString defaultIn(ScriptEngine engine) const
    {
        return !IsOriginalRelease(engine) && !continuationDefault.isEmpty() ? continuationDefault : defaultValue;
    }
};

class ScriptVocabulary
{
public:
    ScriptVocabulary() = default;
    // Rows "kind TAB name TAB releases TAB default TAB continuation default TAB flags";
    // malformed rows are skipped.
    static ScriptVocabulary fromTsv(const QByteArray &data);
    // Empty vocabulary when the file cannot be read.
    static ScriptVocabulary load(const QString &path);

    bool isEmpty() const { return entries_.isEmpty(); }
    // Case-insensitive, as the engines compare names.
    const VocabEntry *find(VocabKind kind, const QString &name) const;
    // A command, a "+"/"-" button, a cvar or a cvar the code sets, in that engine.
    bool isConsoleWord(const QString &word, ScriptEngine engine) const;
    // A command or a "+"/"-" button of that engine: what Cmd_ExecuteString finds before cvars.
    bool isCommand(const QString &word, ScriptEngine engine) const;
    bool isCvar(const QString &name, ScriptEngine engine) const;
    // One of the engine's named keys (keynames[]); single characters and hex codes are
    // read by ReadKeyName.
    bool isNamedKey(const QString &name, ScriptEngine engine) const;
    // Sorted case-insensitively, for completion.
    QStringList names(VocabKind kind, ScriptEngine engine) const;

private:
    QHash<QString, VocabEntry> entries_; // key: kind digit + lower-cased name
};
