#pragma once
// The game's console as each engine's code runs it: the command buffer (Cbuf_InsertText,
// Cbuf_AddText, Cbuf_Execute), the words of a command (Cmd_TokenizeString), cvars and
// the set family, vstr, wait, exec, echo, binds and key names. The checks ask it what a
// line will do; the simulator runs scripts with it. No widgets; one instance per thread.
#include "script/engineprofile.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ScriptVocabulary;

// Key_StringToKeynum on a bind's key word.
struct KeyReading
{
    bool valid = false;
    QString key;     // the key it names, spelled the same for every way of naming it
    QString surprise; // why the bind does not do what it seems to, or empty
};
KeyReading ReadKeyName(const QString &name, ScriptEngine engine, const ScriptVocabulary &vocabulary);

class EngineModel
{
public:
    // vocabulary: the game's commands, cvars (with their defaults) and key names; it must
    // outlive the model.
    EngineModel(ScriptEngine engine, const ScriptVocabulary &vocabulary);

    // Cbuf_InsertText: text and a newline go before what is queued; false, with the
    // game's message printed, when the buffer cannot hold them.
    bool insertText(const QString &text);
    // Cbuf_AddText: text after what is queued, no newline added.
    bool addText(const QString &text);
    // Cbuf_Execute: runs queued commands until the buffer is empty or a wait ends the
    // frame; stops early after maxCommands commands (a loop without end).
    void executeFrame(int maxCommands = 1000000);
    int queuedBytes() const { return int(buffer_.size()) - start_; }

    // While connected, a word the client does not know goes to the server.
    void setConnected(bool connected) { connected_ = connected; }
    // The text of a script that exec names, or nothing when the game finds no such file.
    void setFileReader(std::function<std::optional<QString>(const QString &)> reader) { files_ = std::move(reader); }

    QString cvar(const QString &name) const;
    // The value the engine gives a cvar it knows before anything sets it.
    QString defaultValue(const QString &name) const;
    bool hasCvar(const QString &name) const;
    void setCvar(const QString &name, const QString &value);
    // Cvars set since the model was made, lower-cased name -> value.
    const QHash<QString, QString> &changedCvars() const { return cvars_; }
    // A cvar's name as the game spells it, or as the script first did.
    QString cvarName(const QString &name) const;
    QString binding(const QString &key) const { return binds_.value(key); }
    const QHash<QString, QString> &binds() const { return binds_; }

    // What the console printed, a line at a time; a line printed again right after itself
    // is counted rather than repeated.
    struct ConsoleLine
    {
        QString text;
        int count = 1;
    };
    const QList<ConsoleLine> &console() const { return console_; }
    void clearConsole() { console_.clear(); }
    // How often Cbuf_InsertText overflowed, and how often a command word ran before the
    // first overflow (or at all, without one).
    int overflows() const { return overflows_; }
    int timesRunBeforeOverflow(const QString &lowerCommand) const
    {
        return (overflows_ ? runsAtOverflow_ : runs_).value(lowerCommand);
    }
    // Lines sent to the server while connected.
    const QStringList &forwarded() const { return forwarded_; }

    // Cmd_ExecuteString on one command line.
    void executeLine(const QString &line);
    // Cmd_Exec_f once the file is read: its name printed and its text queued first.
    void execText(const QString &name, const QString &text);
    // CL_KeyEvent in a game: what the key's binding queues on a press or a release.
    void keyEvent(const QString &key, bool down);

private:
    void print(const QString &text);
    void runSet(const QStringList &argv);
    void runCvarCommand(const QString &name, const QStringList &argv);
    void runBind(const QStringList &argv);


    ScriptEngine engine_;
    const EngineRules &rules_;
    const ScriptVocabulary &vocabulary_;
    QString buffer_; // the queued text is buffer_[start_, end); the gap before it takes inserts
    int start_ = 0;
    int wait_ = 0;
    bool connected_ = false;
    std::function<std::optional<QString>(const QString &)> files_;
    QHash<QString, QString> cvars_;
    QHash<QString, QString> spellings_;
    QHash<QString, QString> binds_;
    QList<ConsoleLine> console_;
    QString partial_; // printed text not yet ended by a newline
    QHash<QString, int> runs_;
    QHash<QString, int> runsAtOverflow_;
    QStringList forwarded_;
    int overflows_ = 0;
};
