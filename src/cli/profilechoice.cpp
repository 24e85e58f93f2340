#include "cli/profilechoice.h"

namespace {

struct NamedEngine
{
    const char *name;
    ScriptEngine engine;
};
constexpr NamedEngine Engines[] = {{"jk2-1.04", ScriptEngine::JediOutcast_104},
                                   {"jk2mv", ScriptEngine::jk2mv},
                                   {"q3-1.32", ScriptEngine::Quake3_132},
                                   {"ioquake3", ScriptEngine::ioquake3}};

ScriptEngine continuationOf(bool jediOutcast)
{
    return jediOutcast ? ScriptEngine::jk2mv : ScriptEngine::ioquake3;
}

} // namespace

std::variant<ScriptEngine, QString> ChooseEngine(const QString &game, const QString &engine)
{
    const QString gameName = game.trimmed().toLower();
    if (!gameName.isEmpty() && gameName != u"jk2" && gameName != u"q3")
        return QStringLiteral("unknown game \"%1\" (jk2 or q3)").arg(game);
    const bool gameGiven = !gameName.isEmpty();
    const bool jediOutcast = !gameGiven || gameName == u"jk2";

    const QString engineName = engine.trimmed();
    if (engineName.isEmpty())
        return DefaultEngine(jediOutcast);
    if (engineName.compare(u"original", Qt::CaseInsensitive) == 0)
        return DefaultEngine(jediOutcast);
    if (engineName.compare(u"continuation", Qt::CaseInsensitive) == 0)
        return continuationOf(jediOutcast);
    for (const NamedEngine &named : Engines) {
        if (engineName.compare(QLatin1StringView(named.name), Qt::CaseInsensitive) != 0 &&
            engineName.compare(EngineName(named.engine), Qt::CaseInsensitive) != 0)
            continue;
        if (gameGiven && IsJediOutcast(named.engine) != jediOutcast)
            return QStringLiteral("the engine \"%1\" is not one of %2's").arg(engine, game);
        return named.engine;
    }
    return QStringLiteral("unknown engine \"%1\" (see --help)").arg(engine);
}

QString EngineChoicesHelp()
{
    QString help = QStringLiteral("Games: jk2 (Jedi Outcast, the default), q3 (Quake III Arena).\n"
                                  "Engines: original (the default), continuation, or one by name:\n");
    for (const NamedEngine &named : Engines)
        help += QStringLiteral("  %1  %2\n").arg(QLatin1StringView(named.name), -9).arg(EngineName(named.engine));
    return help;
}

void Print(FILE *stream, const QString &text)
{
    fputs(text.toUtf8().constData(), stream);
}

int UsageError(const QString &mode, const QString &problem)
{
    Print(stderr, QStringLiteral("tavrel: %1\nTry 'tavrel --%2 --help'.\n").arg(problem, mode));
    return 2;
}

std::variant<ScriptEngine, int> ParseModeCommandLine(QCommandLineParser &parser, const QStringList &arguments,
                                                     const QString &mode, const QString &about)
{
    const QCommandLineOption game(QStringLiteral("game"), QStringLiteral("The game: jk2 or q3."), QStringLiteral("GAME"));
    const QCommandLineOption engine(QStringLiteral("engine"), QStringLiteral("The engine profile."),
                                    QStringLiteral("ENGINE"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOptions({game, engine, help});
    if (!parser.parse(QStringList{QStringLiteral("tavrel")} + arguments))
        return UsageError(mode, parser.errorText());
    if (parser.isSet(help)) {
        Print(stdout, about + QStringLiteral("\n") + EngineChoicesHelp());
        return 0;
    }
    const auto chosen = ChooseEngine(parser.value(game), parser.value(engine));
    if (const QString *problem = std::get_if<QString>(&chosen))
        return UsageError(mode, *problem);
    return std::get<ScriptEngine>(chosen);
}
