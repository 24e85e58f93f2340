#pragma once
// The engine a script is written for. The two games each have their original release and
// a continuation; the continuations changed how a script's lines are split and how long
// a script may be, so every check asks the profile rather than the game.
#include <QString>

enum class ScriptEngine { Quake3_132, ioquake3, JediOutcast_104, jk2mv };

bool IsJediOutcast(ScriptEngine engine);
// Quake III 1.32 and Jedi Outcast 1.04, as released.
bool IsOriginalRelease(ScriptEngine engine);
// "Quake III 1.32", "ioquake3", "Jedi Outcast 1.04", "jk2mv".
QString EngineName(ScriptEngine engine);
// The original release of a game, its sensible default.
ScriptEngine DefaultEngine(bool jediOutcast);

// The original releases split a line at a ";" even inside a "//" comment and end a
// "/* */" comment at the line's end; the continuations know both comments.
inline bool EngineKnowsComments(ScriptEngine engine) { return !IsOriginalRelease(engine); }
// Bytes the original releases' command buffer holds; exec of a larger file fails.
inline constexpr int OriginalCommandBufferSize = 16384;
// The longest command line; the engine cuts a longer one there.
inline constexpr int MaxCommandLine = 1023;
