#include "script/engineprofile.h"

bool IsJediOutcast(ScriptEngine engine)
{
    return engine == ScriptEngine::JediOutcast_104 || engine == ScriptEngine::jk2mv;
}

bool IsOriginalRelease(ScriptEngine engine)
{
    return engine == ScriptEngine::Quake3_132 || engine == ScriptEngine::JediOutcast_104;
}

QString EngineName(ScriptEngine engine)
{
    switch (engine) {
    case ScriptEngine::Quake3_132:
        return QStringLiteral("Quake III 1.32");
    case ScriptEngine::ioquake3:
        return QStringLiteral("ioquake3");
    case ScriptEngine::JediOutcast_104:
        return QStringLiteral("Jedi Outcast 1.04");
    case ScriptEngine::jk2mv:
        return QStringLiteral("jk2mv");
    }
    return {};
}

ScriptEngine DefaultEngine(bool jediOutcast)
{
    return jediOutcast ? ScriptEngine::JediOutcast_104 : ScriptEngine::Quake3_132;
}
