#pragma once
// What the window shows of a script, decided here without widgets so that every front
// end shows the same: findings placed in the document's UTF-8 bytes, colour preview
// runs, hover texts and completion candidates.

#include "script/diagnostics.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <future>

// Far beyond any script a game executes; checking one would hold several copies of it in
// memory and keep a core busy after every pause in typing.
inline constexpr qsizetype MaxCheckedBytes = 32 * 1024 * 1024;

// Milliseconds to wait after the last key: longer for long documents, so a large file
// is not rechecked on every key.
int CheckPause(qsizetype length);

struct ScriptAnalysis
{
    // A stretch of the document in UTF-8 byte offsets, with what it shows.
    struct Span
    {
        qsizetype begin, end;
        int value; // squiggles: the severity; colours: 0xRRGGBB
    };
    QList<Finding> findings;
    QStringList rows; // the Problems panel
    QList<Span> squiggles;
    QList<Span> colors;
};

// The whole analysis of a document held as UTF-8; a document over MaxCheckedBytes gets
// only NotChecked().
ScriptAnalysis NotChecked();
ScriptAnalysis AnalyzeScript(const QByteArray &utf8, ScriptEngine engine, const ScriptVocabulary &vocabulary);

// The hover text at a column of a line: findings there, the documentation of the word
// and of a mask value.
QString HoverText(const QString &lineText, int line, int column, const QList<Finding> &findings,
                  ScriptEngine engine, const ScriptVocabulary &vocabulary);

// Completion of the word before the caret. The word before it in the same command
// decides what may follow: nothing (a command, button or cvar), bind (a key), a set
// command (a cvar).
class ScriptCompletion
{
public:
    // Characters of a completed word: commands, cvars, keys and +/- buttons.
    static bool IsWordChar(QChar c);

    struct Result
    {
        QString prefix;
        QStringList names; // unsorted; empty when nothing fits
    };
    Result complete(const QString &lineBeforeCaret, ScriptEngine engine, const ScriptVocabulary &vocabulary);

private:
    // Gathered once per engine and kind: gathering and sorting on every key slowed typing.
    QHash<QString, QStringList> candidates_;
};

// Both games' vocabularies, read on another thread; the first use waits for them.
struct ScriptVocabularies
{
    ScriptVocabulary jk2, q3;
    const ScriptVocabulary &of(ScriptEngine engine) const { return IsJediOutcast(engine) ? jk2 : q3; }
};
std::shared_future<ScriptVocabularies> LoadVocabularies(const QString &jk2File, const QString &q3File);
