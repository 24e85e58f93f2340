#pragma once
// A keyboard and a mouse drawn to scale (US layout, in key widths), each cap with the
// name the engine gives its key, and the name of a key the window system reports.
#include "script/engineprofile.h"

#include <QList>
#include <QString>

#include <Qt>

struct KeyCap
{
    QString label;
    QString name; // as bind spells it in Quake III; EngineKeyName adapts it
    double x, y, w, h;
};
const QList<KeyCap> &KeyboardLayout();
// Width and height of the whole layout, in key widths.
double KeyboardWidth();
double KeyboardHeight();

// The engine's spelling of a key named as Quake III names it; empty when the engine has
// no name for it.
QString EngineKeyName(const QString &name, ScriptEngine engine);
// The key a press reports, named as the engine names it; empty for keys no engine binds.
QString KeyNameForEvent(int qtKey, Qt::KeyboardModifiers modifiers, ScriptEngine engine);
