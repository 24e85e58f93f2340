#include "app/appstate.h"

void AppState::setGame(Game game)
{
    if (game == game_)
        return;
    game_ = game;
    emit gameChanged(game);
    emit engineChanged(engine());
}

void AppState::setEngine(ScriptEngine engine)
{
    const bool forCurrentGame = IsJediOutcast(engine) == (game_ == Game::JediOutcast);
    ScriptEngine &chosen = IsJediOutcast(engine) ? jk2Engine_ : q3Engine_;
    if (chosen == engine)
        return;
    chosen = engine;
    if (forCurrentGame)
        emit engineChanged(engine);
}

void AppState::setOptions(const EditorOptions &options)
{
    if (options == options_)
        return;
    options_ = options;
    emit optionsChanged(options);
}
