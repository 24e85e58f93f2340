#include "script/diagnostics.h"

#include "script/enginemodel.h"
#include "script/immediateloops.h"
#include "script/maskbits.h"
#include "script/scriptparse.h"

#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// "about 16,000": two significant digits are all a count of rounds can promise.
QString about(int count)
{
    const double scale = std::pow(10.0, std::max(0, int(std::log10(std::max(count, 1))) - 1));
    return QLocale(QLocale::English).toString(qint64(std::round(count / scale) * scale));
}

class Checker
{
public:
    Checker(const QString &text, ScriptEngine engine, const ScriptVocabulary &vocabulary)
        : text_(text), engine_(engine), rules_(RulesOf(engine)), vocabulary_(vocabulary), lines_(text),
          statements_(ParseScript(text, engine))
    {
    }

    QList<Finding> run(qint64 byteSize)
    {
        collectNames();
        // Cmd_Exec_f hands the whole file to Cbuf_InsertText, which needs its size plus a newline.
        if (byteSize + 1 > rules_.commandBuffer) {
            add(0, std::max(1, lineEnd(0)), FindingSeverity::Error, FindingKind::FileTooLarge,
                QStringLiteral("This file is %1 bytes; %2's command buffer holds %3, and exec needs one byte more "
                               "than the file, so exec of it fails (\"Cbuf_InsertText overflowed\") and none of it "
                               "runs")
                    .arg(byteSize)
                    .arg(EngineName(engine_))
                    .arg(rules_.commandBuffer));
        }
        for (int i = 0; i < statements_.size(); ++i)
            checkStatement(i);
        checkLoops();
        std::stable_sort(findings_.begin(), findings_.end(), [](const Finding &a, const Finding &b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        return findings_;
    }

private:
    int lineEnd(int offset) const
    {
        int end = offset;
        while (end < text_.size() && text_[end] != u'\n' && text_[end] != u'\r')
            ++end;
        return end;
    }

    void add(int begin, int end, FindingSeverity severity, FindingKind kind, const QString &message)
    {
        Finding finding;
        finding.line = lines_.lineOf(begin);
        finding.column = lines_.columnOf(begin);
        finding.endColumn = finding.column + std::max(1, std::min(end, lineEnd(begin)) - begin);
        finding.severity = severity;
        finding.kind = kind;
        finding.message = message;
        if (!findings_.contains(finding))
            findings_ << finding;
    }

    void collectNames()
    {
        for (const ScriptStatement &statement : statements_) {
            const QString command = statement.command();
            if (statement.tokens.size() < 2)
                continue;
            const QString name = statement.tokens[1].text.toLower();
            if (IsSetCommand(command))
                setNames_.insert(name);
            else if (command == u"vstr")
                vstrTargets_.insert(name);
        }
    }

    // A value runs when a key bound to it is pressed or when vstr runs its variable; the
    // value of any other cvar is only data.
    bool runs(int index) const
    {
        const int parent = statements_[index].parent;
        if (parent < 0)
            return true;
        const ScriptStatement &owner = statements_[parent];
        const bool executed = owner.command() == u"bind" ||
                              (owner.tokens.size() >= 2 && vstrTargets_.contains(owner.tokens[1].text.toLower()));
        return executed && runs(parent);
    }

    // The statement that follows at the same level, skipping the value statements of the
    // current one.
    const ScriptStatement *nextSibling(int index) const
    {
        const ScriptStatement &statement = statements_[index];
        for (int i = index + 1; i < statements_.size(); ++i) {
            if (statements_[i].depth < statement.depth)
                return nullptr;
            if (statements_[i].depth == statement.depth)
                return &statements_[i];
        }
        return nullptr;
    }

    bool isCvarHere(const QString &word) const
    {
        return vocabulary_.isCvar(word, engine_) || setNames_.contains(word.toLower());
    }

    void checkStatement(int index)
    {
        const ScriptStatement &s = statements_[index];
        checkSplitting(index);
        if (s.depth == 0 || runs(index))
            checkHighBytes(s);
        if (s.tokens.isEmpty() || !runs(index))
            return;
        const QString command = s.command();
        const ScriptToken &first = s.tokens.first();
        if (!first.text.isEmpty() && !vocabulary_.isEmpty() && !vocabulary_.isConsoleWord(first.text, engine_) &&
            !setNames_.contains(command) && !vstrTargets_.contains(command))
            checkUnknownWord(first);
        if ((command == u"bind" || command == u"unbind") && s.tokens.size() >= 2 && !vocabulary_.isEmpty())
            checkKey(s.tokens[1], command);
        if (command == u"vstr" && s.tokens.size() >= 2) {
            const ScriptToken &target = s.tokens[1];
            const QString name = target.text.toLower();
            if (!setNames_.contains(name) && !vocabulary_.isCvar(name, engine_)) {
                add(target.begin, target.end, FindingSeverity::Information, FindingKind::UndefinedVstr,
                    QStringLiteral("This file never sets \"%1\": vstr runs it only if it is set elsewhere, "
                                   "otherwise nothing happens")
                        .arg(target.text));
            }
        }
        checkSetArguments(s);
        checkLiteralColors(s);
        if (IsJediOutcast(engine_))
            checkMask(s);
    }

    // CL_ForwardCommandToServer: a "-" word is dropped, a "+" word and any word while not
    // connected print Unknown command, and only other words reach a server.
    void checkUnknownWord(const ScriptToken &word)
    {
        QString message;
        if (word.text.startsWith(u'-')) {
            message = QStringLiteral("\"%1\" is no command of %2: the game ignores it without a word (a mod may "
                                     "define it)");
        } else if (word.text.startsWith(u'+')) {
            message = QStringLiteral("\"%1\" is no command of %2: the game prints Unknown command \"%1\" each time "
                                     "(a mod may define it)");
        } else {
            message = QStringLiteral("\"%1\" is no command or cvar of %2: in the menu, at start-up and in demos the "
                                     "game prints Unknown command \"%1\"; on a server it is sent there, which knows "
                                     "it only if the mod defines it");
        }
        add(word.begin, word.end, FindingSeverity::Notice, FindingKind::UnknownCommand,
            message.arg(word.text, EngineName(engine_)));
    }

    // Key_StringToKeynum
    void checkKey(const ScriptToken &key, const QString &command)
    {
        const KeyReading reading = ReadKeyName(key.text, engine_, vocabulary_);
        if (!reading.valid) {
            add(key.begin, key.end, FindingSeverity::Warning, FindingKind::UnknownKey,
                QStringLiteral("%1 has no key named \"%2\": the game prints \"\\\"%2\\\" isn't a valid key\" and %3 "
                               "nothing")
                    .arg(EngineName(engine_), key.text, command == u"bind" ? u"binds" : u"unbinds"));
        } else if (!reading.surprise.isEmpty()) {
            add(key.begin, key.end, FindingSeverity::Warning, FindingKind::KeyMisread, reading.surprise);
        }
    }

    // Cvar_Set_f and its seta, sets, setu; Cvar_Command for a cvar used as a command.
    void checkSetArguments(const ScriptStatement &s)
    {
        const QString command = s.command();
        const QString engine = EngineName(engine_);
        if (IsSetCommand(command) && s.tokens.size() == 2) {
            const ScriptToken &name = s.tokens[1];
            if (rules_.setPrintsWithoutValue) {
                add(name.begin, name.end, FindingSeverity::Information, FindingKind::SetWithoutValue,
                    QStringLiteral("%1 with no value prints \"%2\" in %3 and sets nothing").arg(command, name.text, engine));
            } else {
                add(name.begin, name.end, FindingSeverity::Warning, FindingKind::SetWithoutValue,
                    QStringLiteral("%1 with no value prints its usage in %2 and sets nothing; for an empty value "
                                   "write \"\"")
                        .arg(command, engine));
            }
        } else if (rules_.setaTakesOneWord && IsSetCommand(command) && command != u"set" && s.tokens.size() > 3) {
            add(s.tokens[3].begin, s.tokens.last().end, FindingSeverity::Warning, FindingKind::SetaArguments,
                QStringLiteral("%1 takes one value in %2: with %3 words after the name the game prints its "
                               "usage and sets nothing; put the value in quotes")
                    .arg(command, engine)
                    .arg(s.tokens.size() - 2));
        } else if (!rules_.cvarCommandJoinsWords && s.tokens.size() > 2 && isCvarHere(s.tokens[0].text) &&
                   !vocabulary_.find(VocabKind::Command, command)) {
            add(s.tokens[2].begin, s.tokens.last().end, FindingSeverity::Warning, FindingKind::CvarCommandWords,
                QStringLiteral("A cvar used as a command takes only its first word in %1: %2 becomes \"%3\" and the "
                               "rest is dropped; put the value in quotes")
                    .arg(engine, s.tokens[0].text, s.tokens[1].text));
        }
    }

    // Cmd_TokenizeString compares a signed char with ' ' in every engine but jk2mv.
    void checkHighBytes(const ScriptStatement &s)
    {
        if (s.highBlanks.isEmpty())
            return;
        const int at = s.highBlanks.first();
        QString message = QStringLiteral("\"%1\" counts as a blank in %2 (the game reads characters above 127 as "
                                         "blanks): it separates words here")
                              .arg(text_[at], EngineName(engine_));
        if (s.command() == u"bind" && s.tokens.size() >= 2 && at < s.tokens[1].begin && s.tokens[1].quoted)
            message += QStringLiteral(", so bind takes \"%1\" for the key name").arg(s.tokens[1].text);
        add(at, at + 1, FindingSeverity::Warning, FindingKind::HighByteBlank, message);
    }

    void checkLiteralColors(const ScriptStatement &s)
    {
        const QString command = s.command();
        const bool chat = command == u"say" || command == u"say_team" || command == u"tell";
        if (!IsJediOutcast(engine_) || !(command == u"echo" || chat) || s.tokens.size() < 2)
            return;
        for (int i = s.tokens[1].begin; i + 1 < s.end; ++i) {
            if (text_[i] != u'^' || (text_[i + 1] != u'8' && text_[i + 1] != u'9'))
                continue;
            const QString where = chat ? QStringLiteral("the console and the chat lines") : QStringLiteral("the console");
            add(i, i + 2, FindingSeverity::Notice, FindingKind::LiteralColor,
                engine_ == ScriptEngine::jk2mv
                    ? QStringLiteral("jk2mv shows ^%1 as a colour only on 1.02 and 1.03 servers; elsewhere %2 print "
                                     "it as it stands (only ^0 to ^7 are colours there)")
                          .arg(text_[i + 1], where)
                    : QStringLiteral("Jedi Outcast 1.04 prints ^%1 as it stands in %2; only ^0 to ^7 are colours "
                                     "there (^0 black, ^1 red)")
                          .arg(text_[i + 1], where));
        }
    }

    void checkSplitting(int index)
    {
        const ScriptStatement &s = statements_[index];
        const QString engine = EngineName(engine_);
        if (s.cutAtLimit && s.depth == 0) {
            add(s.end, s.end + 1, FindingSeverity::Warning, FindingKind::LongCommand,
                QStringLiteral("This command is longer than %1 bytes: the game cuts it here, drops this character "
                               "and runs the rest as a new command")
                    .arg(MaxCommandLine));
        }
        if (s.quoteOpen && s.depth == 0) {
            const int quote = int(text_.lastIndexOf(u'"', s.end - 1));
            if (quote >= s.begin) {
                add(quote, s.end, FindingSeverity::Warning, FindingKind::UnterminatedQuote,
                    QStringLiteral("This quote is never closed: the line end ends the command, and the next line "
                                   "is a command of its own"));
            }
        }
        if (rules_.bufferKnowsComments) {
            checkUnclosedComment(index);
            return;
        }
        const ScriptStatement *next = nextSibling(index);
        if (!next)
            return;
        if (s.slashComment >= 0 && s.endsAtSemicolon && !next->tokens.isEmpty()) {
            add(s.end, s.end + 1, FindingSeverity::Warning, FindingKind::CommentSemicolon,
                QStringLiteral("%1 ends the comment at this \";\": the rest of the line runs as a command").arg(engine));
        } else if (s.openBlockComment >= 0) {
            const ScriptStatement *after = next;
            while (after && after->tokens.isEmpty() && after->depth == s.depth)
                after = nextSibling(int(after - statements_.constData()));
            if (after && !after->tokens.isEmpty()) {
                add(s.openBlockComment, s.openBlockComment + 2, FindingSeverity::Warning,
                    FindingKind::LineBlockComment,
                    QStringLiteral("%1 ends this comment at the next \";\" or line end: what follows runs as "
                                   "commands")
                        .arg(engine));
            }
        }
    }

    // ioquake3's Cbuf_Execute carries an open "/*" to the end of the command buffer.
    void checkUnclosedComment(int index)
    {
        const ScriptStatement &s = statements_[index];
        if (s.openBlockComment < 0 || s.depth != 0 || (s.end != text_.size() && !s.cutAtLimit))
            return;
        add(s.openBlockComment, s.openBlockComment + 2, FindingSeverity::Warning, FindingKind::UnclosedComment,
            s.cutAtLimit ? QStringLiteral("This comment is never closed: ioquake3 reads everything after it in pieces "
                                          "of %1 bytes, skips the first and runs each of the others as one command")
                               .arg(MaxCommandLine)
                         : QStringLiteral("This comment is never closed: ioquake3 skips the rest of this file and "
                                          "whatever the script that ran exec had queued after it"));
    }

    void checkMask(const ScriptStatement &s)
    {
        const QString command = s.command();
        int nameIndex = -1;
        if (IsSetCommand(command) && s.tokens.size() >= 3)
            nameIndex = 1;
        else if (s.tokens.size() >= 2)
            nameIndex = 0;
        if (nameIndex < 0)
            return;
        const QString cvar = s.tokens[nameIndex].text;
        const auto table = MaskTableOf(cvar);
        if (!table)
            return;
        const ScriptToken &value = s.tokens[nameIndex + 1];
        const QList<int> stray = StrayBits(*table, AtoiBits(value.text));
        if (stray.isEmpty())
            return;
        // The per-item tests skip these bits, but the loading screen (CG_DrawInformation)
        // and, for force, the power-up spawns (G_SpawnItem) only ask for a non-zero value.
        const QString effect = table->weapons
                                   ? QStringLiteral("any value but 0 shows \"saber only\" on the loading screen")
                                   : QStringLiteral("any value but 0 removes the force power-ups from the map and "
                                                    "shows \"no force powers\" on the loading screen");
        add(value.begin, value.end, FindingSeverity::Warning, FindingKind::MaskStrayBits,
            QStringLiteral("%1 of %2 %3 for no %4: the game's per-%4 checks ignore %5, but %6")
                .arg(BitList(stray), cvar, stray.size() == 1 ? u"stands" : u"stand",
                     table->weapons ? QStringLiteral("weapon") : QStringLiteral("force power"),
                     stray.size() == 1 ? u"it" : u"them", effect));
    }

    void checkLoops()
    {
        for (const ImmediateLoop &loop : FindImmediateLoops(text_, statements_, engine_, vocabulary_)) {
            const ScriptToken &target = statements_[loop.vstr].tokens[1];
            add(target.begin, target.end, FindingSeverity::Warning, FindingKind::VstrLoop,
                QStringLiteral("vstr %1 runs \"%2\" again before the frame ends: %3 repeats the loop about %4 times "
                               "at once, stalling the game%5, until its command buffer overflows (\"Cbuf_InsertText "
                               "overflowed\"); then it stops. A wait in the loop runs one round per frame")
                    .arg(target.text, loop.variable, EngineName(engine_), about(loop.rounds),
                         loop.prints ? QStringLiteral(" and flooding the console") : QString()));
        }
    }

    const QString &text_;
    ScriptEngine engine_;
    const EngineRules &rules_;
    const ScriptVocabulary &vocabulary_;
    LineIndex lines_;
    QList<ScriptStatement> statements_;
    QSet<QString> setNames_;
    QSet<QString> vstrTargets_;
    QList<Finding> findings_;
};

} // namespace

QList<Finding> Diagnose(const QString &text, ScriptEngine engine, const ScriptVocabulary &vocabulary, qint64 byteSize)
{
    return Checker(text, engine, vocabulary).run(byteSize < 0 ? FileBytes(text) : byteSize);
}

qint64 FileBytes(const QString &text)
{
    // One Windows-1252 byte per character; a character beyond the first plane is one
    // character, though two QChars.
    qint64 bytes = text.size();
    for (QChar c : text) {
        if (c.isLowSurrogate())
            --bytes;
    }
    return bytes;
}

QString FindingRow(const Finding &finding)
{
    return QStringLiteral("%1:%2 %3").arg(finding.line + 1).arg(finding.column + 1).arg(finding.message);
}
