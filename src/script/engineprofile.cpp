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

const EngineRules &RulesOf(ScriptEngine engine)
{
    static const EngineRules q3 = [] {
        EngineRules r;
        r.singleCharacterAsIs = true;
        return r;
    }();
    static const EngineRules ioq3 = [] {
        EngineRules r;
        r.commandBuffer = 128 * 1024;
        r.bufferKnowsComments = true;
        r.setaTakesOneWord = false;
        r.setPrintsWithoutValue = true;
        r.cvarCommandJoinsWords = true;
        r.hexDigits = EngineRules::Hex::Any;
        r.keyCount = 372;
        r.toggleCycles = true;
        r.echoJoinsWords = true;
        r.bindingPartsAlone = true;
        return r;
    }();
    static const EngineRules jk2 = [] {
        EngineRules r;
        r.hexDigits = EngineRules::Hex::Upper;
        r.keyCount = 512;
        r.cvarBangToggles = EngineRules::Bang::Starts;
        return r;
    }();
    static const EngineRules jk2mv = [] {
        EngineRules r = jk2;
        r.highBytesAreBlanks = false;
        r.reportsLongLine = true;
        r.cvarBangToggles = EngineRules::Bang::Exact;
        r.toggleCycles = true;
        r.echoJoinsWords = true;
        return r;
    }();
    switch (engine) {
    case ScriptEngine::Quake3_132:
        return q3;
    case ScriptEngine::ioquake3:
        return ioq3;
    case ScriptEngine::JediOutcast_104:
        return jk2;
    case ScriptEngine::jk2mv:
        return jk2mv;
    }
    return q3;
}
