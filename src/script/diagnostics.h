#pragma once
// What the engine will do with a script that its author may not expect: text, engine and
// vocabulary in, findings out. Pure; safe to run on any thread.
#include "script/engineprofile.h"
#include "script/scriptvocabulary.h"

#include <QList>
#include <QString>

#include <optional>

enum class FindingSeverity { Error, Warning, Notice, Information };

enum class FindingKind {
    CommentSemicolon,   // a ";" inside "//" ends the comment (all but ioquake3)
    LineBlockComment,   // "/*" never closed on its line (all but ioquake3)
    UnclosedComment,    // "/*" never closed in the file (ioquake3)
    UnterminatedQuote,
    UnknownCommand,
    UnknownKey,
    KeyMisread,         // a key name the engine reads as another key
    UndefinedVstr,
    VstrLoop,
    LongCommand,
    FileTooLarge,
    SetaArguments,
    SetWithoutValue,
    CvarCommandWords,   // "name Big Bob": a cvar as a command keeps one word
    HighByteBlank,      // a character above 127 splits words
    LiteralColor,
    MaskStrayBits,
};

struct Finding
{
    int line = 0;        // 0-based
    int column = 0;      // 0-based, QString columns
    int endColumn = 0;   // exclusive, on the same line
    FindingSeverity severity = FindingSeverity::Warning;
    FindingKind kind = FindingKind::UnknownCommand;
    QString message;

    bool operator==(const Finding &) const = default;
};

// Findings sorted by line and column. byteSize: the file's size on disk (its Windows-1252
// bytes); -1 counts them from the text.
QList<Finding> Diagnose(const QString &text, ScriptEngine engine, const ScriptVocabulary &vocabulary,
                        qint64 byteSize = -1);
// The bytes the text takes in its Windows-1252 file.
qint64 FileBytes(const QString &text);

// The problem list's row: "<line>:<column> <message>", both counted from 1.
QString FindingRow(const Finding &finding);

// "disables: Heal, Jump" for a value of g_forcePowerDisable, g_weaponDisable or
// g_duelWeaponDisable (any letter case), with the bits that stand for nothing; no value
// for other cvars.
std::optional<QString> DescribeMask(const QString &cvar, const QString &value);

// The hover text of a word: a cvar's default and flags, a command's releases.
QString DescribeWord(const QString &word, ScriptEngine engine, const ScriptVocabulary &vocabulary);

// Text drawn in a colour: after an accepted "^c" code up to the next code or the end of
// the echo, say or name text or quoted string it is in. color: index into
// ScriptColorTable().
struct ColorRun
{
    int begin = 0; // QString offsets
    int end = 0;
    int color = 7;
    bool operator==(const ColorRun &) const = default;
};
QList<ColorRun> ColorRuns(const QString &text, ScriptEngine engine);
// The eight colours of g_color_table, as 0xRRGGBB.
const unsigned *ScriptColorTable();
