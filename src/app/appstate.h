#pragma once
// The one application state: the game being written for, the engine of each game, and
// the editor's options. Menus and the editor follow its signals; nothing reads state back
// from captions, lexer names or check marks.

#include "editor/editoroptions.h"
#include "script/engineprofile.h"

#include <QObject>

enum class Game { JediOutcast, Quake3 };

class AppState : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    Game game() const { return game_; }
    // The engine chosen for the current game.
    ScriptEngine engine() const { return game_ == Game::JediOutcast ? jk2Engine_ : q3Engine_; }
    const EditorOptions &options() const { return options_; }

    // Each raises its signal only for a real change; a new game also changes the engine.
    void setGame(Game game);
    // Chooses the engine for the game it belongs to.
    void setEngine(ScriptEngine engine);
    void setOptions(const EditorOptions &options);

signals:
    void gameChanged(Game game);
    void engineChanged(ScriptEngine engine);
    void optionsChanged(const EditorOptions &options);

private:
    Game game_ = Game::JediOutcast;
    ScriptEngine jk2Engine_ = DefaultEngine(true);
    ScriptEngine q3Engine_ = DefaultEngine(false);
    EditorOptions options_;
};
