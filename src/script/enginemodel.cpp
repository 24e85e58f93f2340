#include "script/enginemodel.h"

#include "script/scriptparse.h"
#include "script/scriptvocabulary.h"

#include <algorithm>

namespace {

// atoi and atof as the engines read a cvar's number: leading blanks, a sign, digits.
double leadingNumber(const QString &text)
{
    int end = 0;
    while (end < text.size() && (text[end] == u' ' || text[end] == u'\t'))
        ++end;
    const int begin = end;
    if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
        ++end;
    while (end < text.size() && (text[end].isDigit() || text[end] == u'.'))
        ++end;
    return text.mid(begin, end - begin).toDouble();
}

QString joined(const QStringList &argv, int from)
{
    return argv.mid(from).join(u' ');
}

QString hexKey(int code)
{
    if (code > 32 && code < 127)
        return QString(QChar(code));
    return QStringLiteral("0x%1").arg(code, 2, 16, QChar(u'0')).toUpper().replace(u'X', u'x');
}

} // namespace

KeyReading ReadKeyName(const QString &name, ScriptEngine engine, const ScriptVocabulary &vocabulary)
{
    const EngineRules &rules = RulesOf(engine);
    KeyReading reading;
    if (name.isEmpty())
        return reading;
    reading.valid = true;
    if (name.size() == 1) {
        const QChar c = name[0];
        // Jedi Outcast looks the character up in its key table, whose letters are upper case.
        reading.key = rules.singleCharacterAsIs ? name : IsJediOutcast(engine) ? name.toUpper() : name.toLower();
        if (rules.singleCharacterAsIs && c >= u'A' && c <= u'Z') {
            reading.surprise = QStringLiteral("%1 binds the code of the upper-case \"%2\", which no key sends: this "
                                              "bind never fires; write \"%3\"")
                                   .arg(EngineName(engine), name, name.toLower());
        }
        return reading;
    }
    // Jedi Outcast looks the name up before it tries hex; Quake III after.
    if (IsJediOutcast(engine) && vocabulary.isNamedKey(name, engine)) {
        reading.key = name.toUpper();
        return reading;
    }
    if (name.startsWith(QStringLiteral("0x"))) {
        if (rules.hexDigits == EngineRules::Hex::Any) {
            // Com_HexStrToInt: every character a digit of either case, or no number at all.
            qint64 code = 0;
            for (int i = 2; i < name.size() && code >= 0; ++i) {
                const int digit = QStringLiteral("0123456789abcdef").indexOf(name[i].toLower());
                code = digit < 0 || code > rules.keyCount ? -1 : code * 16 + digit;
            }
            if (code >= 0 && code < rules.keyCount) {
                reading.key = hexKey(int(code));
                return reading;
            }
        } else if (name.size() == 4) {
            const bool upper = rules.hexDigits == EngineRules::Hex::Upper;
            bool misread = false;
            auto digit = [&](QChar c) {
                if (c >= u'0' && c <= u'9')
                    return c.unicode() - u'0';
                const QChar first = upper ? u'A' : u'a';
                if (c >= first && c.unicode() <= first.unicode() + 5)
                    return c.unicode() - first.unicode() + 10;
                misread = true;
                return 0;
            };
            const int code = digit(name[2]) * 16 + digit(name[3]);
            reading.key = hexKey(code);
            if (misread) {
                reading.surprise =
                    QStringLiteral("%1 reads the digits of a hex key name as 0-9 and %2 only, any other as 0: "
                                   "\"%3\" binds 0x%4%5")
                        .arg(EngineName(engine), upper ? QStringLiteral("A-F") : QStringLiteral("a-f"), name)
                        .arg(code, 2, 16, QChar(u'0'))
                        .arg(code > 32 && code < 127 ? QStringLiteral(" (\"%1\")").arg(QChar(code)) : QString());
            }
            return reading;
        }
    }
    if (!IsJediOutcast(engine) && vocabulary.isNamedKey(name, engine)) {
        reading.key = name.toUpper();
        return reading;
    }
    reading.valid = false;
    return reading;
}

EngineModel::EngineModel(ScriptEngine engine, const ScriptVocabulary &vocabulary)
    : engine_(engine), rules_(RulesOf(engine)), vocabulary_(vocabulary)
{
}

bool EngineModel::insertText(const QString &text)
{
    const int length = int(text.size()) + 1;
    if (length + queuedBytes() > rules_.commandBuffer) {
        if (overflows_++ == 0)
            runsAtOverflow_ = runs_;
        print(QStringLiteral("Cbuf_InsertText overflowed\n"));
        return false;
    }
    if (start_ < length) {
        // Keep room in front, so that a loop inserting on every round copies little.
        const int gap = std::max({length, queuedBytes(), 256});
        QString grown(gap, QChar());
        grown += QStringView(buffer_).mid(start_);
        buffer_ = std::move(grown);
        start_ = gap;
    }
    start_ -= length;
    std::copy(text.cbegin(), text.cend(), buffer_.begin() + start_);
    buffer_[start_ + length - 1] = u'\n';
    return true;
}

bool EngineModel::addText(const QString &text)
{
    if (queuedBytes() + text.size() >= rules_.commandBuffer) {
        print(QStringLiteral("Cbuf_AddText: overflow\n"));
        return false;
    }
    buffer_.remove(0, start_);
    start_ = 0;
    buffer_ += text;
    return true;
}

void EngineModel::executeFrame(int maxCommands)
{
    CommandSplitter splitter(engine_);
    for (int run = 0; queuedBytes() > 0 && run < maxCommands; ++run) {
        // ioquake3 waits only for a positive count; the others wait while it is not zero.
        if (engine_ == ScriptEngine::ioquake3 ? wait_ > 0 : wait_ != 0) {
            --wait_;
            return;
        }
        const CommandSplitter::Piece piece = splitter.next(buffer_, start_, int(buffer_.size()));
        const QString line = buffer_.mid(piece.begin, piece.end - piece.begin);
        start_ = piece.next;
        if (piece.cut && rules_.reportsLongLine)
            print(QStringLiteral("Cbuf_Execute: command line overflowed\n"));
        executeLine(line);
    }
}

QString EngineModel::cvar(const QString &name) const
{
    const auto it = cvars_.constFind(name.toLower());
    return it != cvars_.cend() ? it.value() : defaultValue(name);
}

QString EngineModel::defaultValue(const QString &name) const
{
    if (const VocabEntry *entry = vocabulary_.find(VocabKind::Cvar, name); entry && entry->availableIn(engine_))
        return entry->defaultIn(engine_);
    return {};
}

bool EngineModel::hasCvar(const QString &name) const
{
    return cvars_.contains(name.toLower()) || vocabulary_.isCvar(name, engine_);
}

void EngineModel::setCvar(const QString &name, const QString &value)
{
    cvars_.insert(name.toLower(), value);
    if (!spellings_.contains(name.toLower()))
        spellings_.insert(name.toLower(), name);
}

QString EngineModel::cvarName(const QString &name) const
{
    if (const VocabEntry *entry = vocabulary_.find(VocabKind::Cvar, name))
        return entry->name;
    return spellings_.value(name.toLower(), name);
}

void EngineModel::print(const QString &text)
{
    partial_ += text;
    qsizetype end;
    while ((end = partial_.indexOf(u'\n')) >= 0) {
        const QString line = partial_.left(end);
        partial_.remove(0, end + 1);
        if (!console_.isEmpty() && console_.last().text == line)
            ++console_.last().count;
        else
            console_.append({line, 1});
    }
}

void EngineModel::executeLine(const QString &line)
{
    ScriptStatement statement;
    TokenizeCommand(line, 0, int(line.size()), engine_, statement);
    if (statement.tokens.isEmpty())
        return;
    QStringList argv;
    for (const ScriptToken &token : std::as_const(statement.tokens))
        argv << token.text;
    const QString command = argv[0].toLower();
    ++runs_[command];
    const int argc = int(argv.size());
    if (IsSetCommand(command)) {
        runSet(argv);
    } else if (command == u"vstr") {
        if (argc != 2)
            print(QStringLiteral("vstr <variablename> : execute a variable command\n"));
        else
            insertText(cvar(argv[1]) + u'\n'); // Cmd_Vstr_f adds a newline, Cbuf_InsertText another
    } else if (command == u"echo") {
        if (rules_.echoJoinsWords) {
            print(joined(argv, 1) + u'\n');
        } else {
            for (int i = 1; i < argc; ++i)
                print(argv[i] + u' ');
            print(QStringLiteral("\n"));
        }
    } else if (command == u"wait") {
        wait_ = argc == 2 ? int(leadingNumber(argv[1])) : 1;
        if (engine_ == ScriptEngine::ioquake3 && wait_ < 0)
            wait_ = 1;
    } else if (command == u"exec") {
        if (argc != 2) {
            print(QStringLiteral("exec <filename> : execute a script file\n"));
            return;
        }
        QString file = argv[1];
        if (!file.section(u'/', -1).contains(u'.'))
            file += QStringLiteral(".cfg");
        const std::optional<QString> text = files_ ? files_(file) : std::nullopt;
        const QString shown = engine_ == ScriptEngine::ioquake3 ? file : argv[1];
        if (!text) {
            print(QStringLiteral("couldn't exec %1\n").arg(shown));
            return;
        }
        execText(shown, *text);
    } else if (command == u"bind" || command == u"unbind") {
        runBind(argv);
    } else if (command == u"unbindall") {
        binds_.clear();
    } else if (command == u"toggle") {
        if (argc < 2 || (!rules_.toggleCycles && argc != 2)) {
            print(rules_.toggleCycles ? QStringLiteral("usage: toggle <variable> [value1, value2, ...]\n")
                                      : QStringLiteral("usage: toggle <variable>\n"));
        } else if (argc == 2) {
            const double value = leadingNumber(cvar(argv[1]));
            // Cvar_Toggle_f: the originals truncate to int first, the continuations do not.
            setCvar(argv[1], QString::number(rules_.toggleCycles ? value == 0 : int(value) == 0));
        } else if (argc == 3) {
            print(QStringLiteral("toggle: nothing to toggle to\n"));
        } else {
            const QString current = cvar(argv[1]);
            int next = 2;
            for (int i = 2; i + 1 < argc; ++i) {
                if (current == argv[i]) {
                    next = i + 1;
                    break;
                }
            }
            setCvar(argv[1], argv[next]);
        }
    } else if (!vocabulary_.isCommand(argv[0], engine_) && hasCvar(argv[0])) {
        runCvarCommand(argv[0], argv);
    } else if (!vocabulary_.isCommand(argv[0], engine_)) {
        // CL_ForwardCommandToServer
        if (argv[0].startsWith(u'-'))
            return;
        if (connected_ && !argv[0].startsWith(u'+'))
            forwarded_ << (argc > 1 ? line.trimmed() : argv[0]);
        else
            print(QStringLiteral("Unknown command \"%1\"\n").arg(argv[0]));
    }
}

void EngineModel::execText(const QString &name, const QString &text)
{
    print(QStringLiteral("execing %1\n").arg(name));
    insertText(text);
}

void EngineModel::keyEvent(const QString &key, bool down)
{
    const QString binding = binds_.value(key);
    if (binding.isEmpty())
        return;
    // The key's number and the time follow a button; the game reads them, the console never shows them.
    const QString button = QStringLiteral(" %1 0\n").arg(key.size() == 1 ? key[0].unicode() : 0);
    const QStringList parts = binding.split(u';');
    if (rules_.bindingPartsAlone) {
        for (QString part : parts) {
            part = part.trimmed();
            if (part.startsWith(u'+'))
                addText((down ? part : u'-' + part.mid(1)) + button);
            else if (down)
                addText(part + u'\n');
        }
        return;
    }
    if (down && !binding.startsWith(u'+')) {
        addText(binding + u'\n');
        return;
    }
    bool afterButton = false;
    for (QString part : parts) {
        // The parts start after the blanks and ";" that follow the previous one.
        while (!part.isEmpty() && part[0].unicode() <= u' ')
            part.remove(0, 1);
        if (part.startsWith(u'+')) {
            addText((down ? part : u'-' + part.mid(1)) + button);
            afterButton = true;
        } else if (down || afterButton) {
            addText(part + u'\n');
        }
    }
}

void EngineModel::runSet(const QStringList &argv)
{
    const QString command = argv[0].toLower();
    const int argc = int(argv.size());
    if (rules_.setPrintsWithoutValue) {
        if (argc < 2) {
            print(QStringLiteral("usage: %1 <variable> <value>\n").arg(argv[0]));
        } else if (argc == 2) {
            if (hasCvar(argv[1]))
                runCvarCommand(argv[1], {argv[1]});
            else
                print(QStringLiteral("Cvar %1 does not exist.\n").arg(argv[1]));
        } else {
            setCvar(argv[1], joined(argv, 2));
        }
        return;
    }
    if ((command != u"set" && argc != 3) || argc < 3)
        print(QStringLiteral("usage: %1 <variable> <value>\n").arg(command));
    else
        setCvar(argv[1], joined(argv, 2));
}

void EngineModel::runCvarCommand(const QString &name, const QStringList &argv)
{
    if (argv.size() == 1) {
        print(QStringLiteral("\"%1\" is:\"%2^7\" default:\"%3^7\"\n")
                  .arg(name, cvar(name), defaultValue(name)));
        return;
    }
    QString value = rules_.cvarCommandJoinsWords ? joined(argv, 1) : argv[1];
    const bool bang = rules_.cvarBangToggles == EngineRules::Bang::Starts ? value.startsWith(u'!')
                                                                          : rules_.cvarBangToggles == EngineRules::Bang::Exact && value == u"!";
    if (bang)
        value = QString::number(leadingNumber(cvar(name)) == 0);
    setCvar(name, value);
}

void EngineModel::runBind(const QStringList &argv)
{
    const bool bind = argv[0].compare(QStringLiteral("bind"), Qt::CaseInsensitive) == 0;
    const int argc = int(argv.size());
    if (bind ? argc < 2 : argc != 2) {
        print(bind ? QStringLiteral("bind <key> [command] : attach a command to a key\n")
                   : QStringLiteral("unbind <key> : remove commands from a key\n"));
        return;
    }
    const KeyReading key = ReadKeyName(argv[1], engine_, vocabulary_);
    if (!key.valid) {
        print(QStringLiteral("\"%1\" isn't a valid key\n").arg(argv[1]));
    } else if (!bind) {
        binds_.remove(key.key);
    } else if (argc == 2) {
        print(binds_.contains(key.key) ? QStringLiteral("\"%1\" = \"%2\"\n").arg(argv[1], binds_.value(key.key))
                                       : QStringLiteral("\"%1\" is not bound\n").arg(argv[1]));
    } else {
        binds_.insert(key.key, joined(argv, 2));
    }
}
