#pragma once
// vstr loops that run again before the frame ends: found in the text, then run in the
// engine model to see what the game does with them.
#include "script/scriptparse.h"

class ScriptVocabulary;

struct ImmediateLoop
{
    int vstr = 0;       // index of the vstr statement that closes the loop
    QString variable;   // the variable whose value runs it
    int rounds = 0;     // vstr runs until the command buffer overflowed
    bool estimated = false; // rounds were extrapolated from the first ones
    bool prints = false;    // each round prints to the console
};

QList<ImmediateLoop> FindImmediateLoops(const QString &text, const QList<ScriptStatement> &statements,
                                        ScriptEngine engine, const ScriptVocabulary &vocabulary);
