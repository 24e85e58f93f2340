#pragma once
// The engine a script is written for. The two games each have their original release and
// a continuation, and the four differ in how they split, read and run a script's lines;
// every check and the simulator ask the engine's rules rather than the game.
#include <QString>

enum class ScriptEngine { Quake3_132, ioquake3, JediOutcast_104, jk2mv };

bool IsJediOutcast(ScriptEngine engine);
// Quake III 1.32 and Jedi Outcast 1.04, as released.
bool IsOriginalRelease(ScriptEngine engine);
// "Quake III 1.32", "ioquake3", "Jedi Outcast 1.04", "jk2mv".
QString EngineName(ScriptEngine engine);
// The original release of a game, its sensible default.
ScriptEngine DefaultEngine(bool jediOutcast);

// The longest command line (MAX_CMD_LINE - 1 in Cbuf_Execute); a longer one is cut there.
inline constexpr int MaxCommandLine = 1023;

// Where the engines' code differs, one field each; the comment names the function.
struct EngineRules
{
    // cmd_text.maxsize (MAX_CMD_BUFFER): Cbuf_InsertText refuses text that does not fit.
    int commandBuffer = 16384;
    // Cbuf_Execute keeps "//" and "/* */" comments whole (ioquake3 only); elsewhere a ";"
    // ends a "//" comment and a line end ends a "/*" comment.
    bool bufferKnowsComments = false;
    // Cmd_TokenizeString compares a signed char with ' ', so bytes above 127 are blanks;
    // jk2mv compares them unsigned, as part of a word.
    bool highBytesAreBlanks = true;
    // Cvar_SetA_f, Cvar_SetS_f, Cvar_SetU_f insist on Cmd_Argc() == 3.
    bool setaTakesOneWord = true;
    // Cvar_Set_f with a name and no value prints the cvar instead of the usage.
    bool setPrintsWithoutValue = false;
    // Cvar_Command sets Cmd_Args() (every word) rather than Cmd_Argv(1).
    bool cvarCommandJoinsWords = false;
    // Key_StringToKeynum's hex digits: "0x" and exactly two characters, each 0-9 or a-f
    // (Quake III 1.32) or A-F (Jedi Outcast), anything else reading as 0; ioquake3's
    // Com_HexStrToInt takes any number of digits in either case below MAX_KEYS.
    enum class Hex { Lower, Upper, Any } hexDigits = Hex::Lower;
    int keyCount = 256; // MAX_KEYS
    // Key_StringToKeynum returns a single character as it stands: an upper-case letter is
    // a code no key sends (Quake III 1.32).
    bool singleCharacterAsIs = false;
    // Cbuf_Execute prints "Cbuf_Execute: command line overflowed" when it cuts (jk2mv).
    bool reportsLongLine = false;
    // Cvar_Command toggles on a value of "!" (jk2mv) or one starting with "!" (1.04).
    enum class Bang { None, Starts, Exact } cvarBangToggles = Bang::None;
    // Cvar_Toggle_f cycles through a list of values (the continuations).
    bool toggleCycles = false;
    // Cmd_Echo_f prints Cmd_Args() (jk2mv) rather than each word followed by a blank.
    bool echoJoinsWords = false;
    // CL_ParseBinding (ioquake3) runs every ";" part of a binding on its own: "+" parts
    // on press and release, the others on press. CL_KeyEvent elsewhere queues a binding
    // that does not start with "+" whole, and CL_AddKeyUpCommands repeats on release the
    // parts that follow a "+" part.
    bool bindingPartsAlone = false;
};
const EngineRules &RulesOf(ScriptEngine engine);
