#include "trykeys/keyboardlayout.h"

#include <QHash>

namespace {

QList<KeyCap> buildLayout()
{
    QList<KeyCap> keys;
    auto row = [&](double x, double y, const QList<std::pair<QString, double>> &caps) {
        for (const auto &[name, width] : caps) {
            if (!name.isEmpty()) {
                const QString label = name.size() == 1 ? name.toUpper() : name;
                keys.append({label, name, x, y, width, 1});
            }
            x += width;
        }
    };
    row(0, 0, {{"ESCAPE", 1}, {"", 1}, {"F1", 1}, {"F2", 1}, {"F3", 1}, {"F4", 1}, {"", 0.5}, {"F5", 1}, {"F6", 1},
               {"F7", 1}, {"F8", 1}, {"", 0.5}, {"F9", 1}, {"F10", 1}, {"F11", 1}, {"F12", 1}});
    row(15.25, 0, {{"PRINT", 1}, {"SCROLLOCK", 1}, {"PAUSE", 1}});
    row(0, 1.5, {{"`", 1}, {"1", 1}, {"2", 1}, {"3", 1}, {"4", 1}, {"5", 1}, {"6", 1}, {"7", 1}, {"8", 1},
                 {"9", 1}, {"0", 1}, {"-", 1}, {"=", 1}, {"BACKSPACE", 2}});
    row(0, 2.5, {{"TAB", 1.5}, {"q", 1}, {"w", 1}, {"e", 1}, {"r", 1}, {"t", 1}, {"y", 1}, {"u", 1}, {"i", 1},
                 {"o", 1}, {"p", 1}, {"[", 1}, {"]", 1}, {"\\", 1.5}});
    row(0, 3.5, {{"CAPSLOCK", 1.75}, {"a", 1}, {"s", 1}, {"d", 1}, {"f", 1}, {"g", 1}, {"h", 1}, {"j", 1},
                 {"k", 1}, {"l", 1}, {"SEMICOLON", 1}, {"'", 1}, {"ENTER", 2.25}});
    row(0, 4.5, {{"SHIFT", 2.25}, {"z", 1}, {"x", 1}, {"c", 1}, {"v", 1}, {"b", 1}, {"n", 1}, {"m", 1},
                 {",", 1}, {".", 1}, {"/", 1}, {"SHIFT", 2.75}});
    row(0, 5.5, {{"CTRL", 1.25}, {"", 1.25}, {"ALT", 1.25}, {"SPACE", 6.25}, {"ALT", 1.25}, {"", 2.5}, {"CTRL", 1.25}});
    row(15.25, 1.5, {{"INS", 1}, {"HOME", 1}, {"PGUP", 1}});
    row(15.25, 2.5, {{"DEL", 1}, {"END", 1}, {"PGDN", 1}});
    row(16.25, 4.5, {{"UPARROW", 1}});
    row(15.25, 5.5, {{"LEFTARROW", 1}, {"DOWNARROW", 1}, {"RIGHTARROW", 1}});
    row(18.5, 1.5, {{"KP_NUMLOCK", 1}, {"KP_SLASH", 1}, {"KP_STAR", 1}, {"KP_MINUS", 1}});
    row(18.5, 2.5, {{"KP_HOME", 1}, {"KP_UPARROW", 1}, {"KP_PGUP", 1}});
    row(18.5, 3.5, {{"KP_LEFTARROW", 1}, {"KP_5", 1}, {"KP_RIGHTARROW", 1}});
    row(18.5, 4.5, {{"KP_END", 1}, {"KP_DOWNARROW", 1}, {"KP_PGDN", 1}});
    row(18.5, 5.5, {{"KP_INS", 2}, {"KP_DEL", 1}});
    keys.append({"KP_PLUS", "KP_PLUS", 21.5, 2.5, 1, 2});
    keys.append({"KP_ENTER", "KP_ENTER", 21.5, 4.5, 1, 2});
    // The mouse: two buttons either side of the wheel, the side buttons below.
    keys.append({"MOUSE1", "MOUSE1", 23, 1.5, 1.25, 2.5});
    keys.append({"WHEEL UP", "MWHEELUP", 24.25, 1.5, 1, 0.8});
    keys.append({"MOUSE3", "MOUSE3", 24.25, 2.3, 1, 0.9});
    keys.append({"WHEEL DN", "MWHEELDOWN", 24.25, 3.2, 1, 0.8});
    keys.append({"MOUSE2", "MOUSE2", 25.25, 1.5, 1.25, 2.5});
    keys.append({"MOUSE4", "MOUSE4", 23, 4.5, 1.75, 1});
    keys.append({"MOUSE5", "MOUSE5", 24.75, 4.5, 1.75, 1});
    for (KeyCap &key : keys) {
        // Short captions, as printed on the caps.
        static const QHash<QString, QString> short_ = {
            {"ESCAPE", "Esc"},       {"SCROLLOCK", "Scroll"}, {"BACKSPACE", "Backspace"}, {"CAPSLOCK", "Caps"},
            {"SEMICOLON", ";"},       {"UPARROW", "\u2191"},   {"DOWNARROW", "\u2193"},     {"LEFTARROW", "\u2190"},
            {"RIGHTARROW", "\u2192"}, {"KP_NUMLOCK", "Num"},   {"KP_SLASH", "/"},           {"KP_STAR", "*"},
            {"KP_MINUS", "-"},        {"KP_HOME", "7"},        {"KP_UPARROW", "8"},         {"KP_PGUP", "9"},
            {"KP_LEFTARROW", "4"},    {"KP_5", "5"},           {"KP_RIGHTARROW", "6"},      {"KP_END", "1"},
            {"KP_DOWNARROW", "2"},    {"KP_PGDN", "3"},        {"KP_INS", "0"},             {"KP_DEL", "."},
            {"KP_PLUS", "+"},         {"KP_ENTER", "Enter"},   {"ENTER", "Enter"},          {"SPACE", ""},
            {"MOUSE1", "M1"},         {"MOUSE2", "M2"},        {"MOUSE3", "M3"},            {"MOUSE4", "M4"},
            {"MOUSE5", "M5"},         {"WHEEL UP", "\u25B2"},  {"WHEEL DN", "\u25BC"},      {"PRINT", "Print"},
            {"PAUSE", "Pause"},       {"TAB", "Tab"},              {"SHIFT", "Shift"},
            {"CTRL", "Ctrl"},         {"ALT", "Alt"},          {"INS", "Ins"},              {"HOME", "Home"},
            {"PGUP", "PgUp"},         {"DEL", "Del"},          {"END", "End"},              {"PGDN", "PgDn"}};
        key.label = short_.value(key.label, key.label);
    }
    return keys;
}

} // namespace

const QList<KeyCap> &KeyboardLayout()
{
    static const QList<KeyCap> keys = buildLayout();
    return keys;
}

double KeyboardWidth()
{
    return 26.5;
}

double KeyboardHeight()
{
    return 6.5;
}

QString EngineKeyName(const QString &name, ScriptEngine engine)
{
    if (!IsJediOutcast(engine))
        return name;
    if (name == u"SCROLLOCK")
        return QStringLiteral("SCROLLLOCK");
    if (name == u"PRINT")
        return {};
    return name;
}

QString KeyNameForEvent(int qtKey, Qt::KeyboardModifiers modifiers, ScriptEngine engine)
{
    if (modifiers & Qt::KeypadModifier) {
        static const QHash<int, QString> keypad = {
            {Qt::Key_7, "KP_HOME"},     {Qt::Key_Home, "KP_HOME"},          {Qt::Key_8, "KP_UPARROW"},
            {Qt::Key_Up, "KP_UPARROW"}, {Qt::Key_9, "KP_PGUP"},             {Qt::Key_PageUp, "KP_PGUP"},
            {Qt::Key_4, "KP_LEFTARROW"}, {Qt::Key_Left, "KP_LEFTARROW"},    {Qt::Key_5, "KP_5"},
            {Qt::Key_Clear, "KP_5"},    {Qt::Key_6, "KP_RIGHTARROW"},       {Qt::Key_Right, "KP_RIGHTARROW"},
            {Qt::Key_1, "KP_END"},      {Qt::Key_End, "KP_END"},            {Qt::Key_2, "KP_DOWNARROW"},
            {Qt::Key_Down, "KP_DOWNARROW"}, {Qt::Key_3, "KP_PGDN"},         {Qt::Key_PageDown, "KP_PGDN"},
            {Qt::Key_0, "KP_INS"},      {Qt::Key_Insert, "KP_INS"},         {Qt::Key_Period, "KP_DEL"},
            {Qt::Key_Delete, "KP_DEL"}, {Qt::Key_Enter, "KP_ENTER"},        {Qt::Key_Plus, "KP_PLUS"},
            {Qt::Key_Minus, "KP_MINUS"}, {Qt::Key_Asterisk, "KP_STAR"},     {Qt::Key_Slash, "KP_SLASH"},
            {Qt::Key_NumLock, "KP_NUMLOCK"}};
        if (keypad.contains(qtKey))
            return EngineKeyName(keypad.value(qtKey), engine);
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return QString(QChar(u'a' + (qtKey - Qt::Key_A)));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return QString(QChar(u'0' + (qtKey - Qt::Key_0)));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return QStringLiteral("F%1").arg(qtKey - Qt::Key_F1 + 1);
    static const QHash<int, QString> named = {
        {Qt::Key_Escape, "ESCAPE"},   {Qt::Key_Tab, "TAB"},          {Qt::Key_Backtab, "TAB"},
        {Qt::Key_Backspace, "BACKSPACE"}, {Qt::Key_Return, "ENTER"}, {Qt::Key_Enter, "ENTER"},
        {Qt::Key_Space, "SPACE"},     {Qt::Key_Insert, "INS"},       {Qt::Key_Delete, "DEL"},
        {Qt::Key_Home, "HOME"},       {Qt::Key_End, "END"},          {Qt::Key_PageUp, "PGUP"},
        {Qt::Key_PageDown, "PGDN"},   {Qt::Key_Up, "UPARROW"},       {Qt::Key_Down, "DOWNARROW"},
        {Qt::Key_Left, "LEFTARROW"},  {Qt::Key_Right, "RIGHTARROW"}, {Qt::Key_Shift, "SHIFT"},
        {Qt::Key_Control, "CTRL"},    {Qt::Key_Alt, "ALT"},          {Qt::Key_CapsLock, "CAPSLOCK"},
        {Qt::Key_ScrollLock, "SCROLLOCK"}, {Qt::Key_Pause, "PAUSE"}, {Qt::Key_Print, "PRINT"},
        {Qt::Key_Semicolon, "SEMICOLON"}, {Qt::Key_Colon, "SEMICOLON"}, {Qt::Key_Minus, "-"},
        {Qt::Key_Underscore, "-"},    {Qt::Key_Equal, "="},          {Qt::Key_Plus, "="},
        {Qt::Key_BracketLeft, "["},   {Qt::Key_BraceLeft, "["},      {Qt::Key_BracketRight, "]"},
        {Qt::Key_BraceRight, "]"},    {Qt::Key_Backslash, "\\"},     {Qt::Key_Bar, "\\"},
        {Qt::Key_Apostrophe, "'"},    {Qt::Key_QuoteDbl, "'"},       {Qt::Key_Comma, ","},
        {Qt::Key_Less, ","},          {Qt::Key_Period, "."},         {Qt::Key_Greater, "."},
        {Qt::Key_Slash, "/"},         {Qt::Key_Question, "/"},       {Qt::Key_QuoteLeft, "`"},
        {Qt::Key_AsciiTilde, "`"},    {Qt::Key_Exclam, "1"},         {Qt::Key_At, "2"},
        {Qt::Key_NumberSign, "3"},    {Qt::Key_Dollar, "4"},         {Qt::Key_Percent, "5"},
        {Qt::Key_AsciiCircum, "6"},   {Qt::Key_Ampersand, "7"},      {Qt::Key_Asterisk, "8"},
        {Qt::Key_ParenLeft, "9"},     {Qt::Key_ParenRight, "0"}};
    if (qtKey == Qt::Key_AltGr)
        return engine == ScriptEngine::jk2mv ? QStringLiteral("ALTGR") : QStringLiteral("ALT");
    return EngineKeyName(named.value(qtKey), engine);
}
