#include "script/diagnostics.h"

#include "script/scriptparse.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// forcePowers_t and weapon_t of the Jedi Outcast game code; the labels follow the
// editor's flag checklist. Weapon bit 0 is WP_NONE.
const char *const ForceNames[] = {"Heal", "Jump", "Speed", "Push", "Pull", "Mind Trick", "Grip",
                                  "Lightning", "Dark Rage", "Protect", "Absorb", "Team Heal",
                                  "Team Energize", "Drain", "Seeing", "Saber Attack", "Saber Defend",
                                  "Saber Throw"};
const char *const WeaponNames[] = {nullptr, "Stun Baton", "Lightsaber", "Bryar Pistol", "Rifle",
                                   "Disrupter", "Bowcaster", "Repeater", "DEMP", "Flechette Gun",
                                   "Rocket Launcher", "Thermal Detonators", "Trip Mines", "Detonator Packs",
                                   "Emplaced Gun", "Turret"};

struct MaskTable
{
    const char *const *names;
    int count;
};

std::optional<MaskTable> maskTable(const QString &cvar)
{
    const QString lower = cvar.toLower();
    if (lower == u"g_forcepowerdisable")
        return MaskTable{ForceNames, int(std::size(ForceNames))};
    if (lower == u"g_weapondisable" || lower == u"g_duelweapondisable")
        return MaskTable{WeaponNames, int(std::size(WeaponNames))};
    return std::nullopt;
}

// atoi, as the game reads the cvar's integer.
quint32 atoiBits(const QString &value)
{
    int i = 0;
    while (i < value.size() && (value[i] == u' ' || value[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+'))
        negative = value[i++] == u'-';
    quint32 n = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i)
        n = n * 10 + quint32(value[i].unicode() - u'0');
    return negative ? quint32(0) - n : n;
}

QList<int> strayBits(const MaskTable &table, quint32 bits)
{
    // -1 (every bit) is how players write "all of them": the bits beyond are meant too.
    const quint32 named = (quint32(1) << table.count) - 1;
    if ((bits & named) == named)
        return {};
    QList<int> stray;
    for (int bit = table.count; bit < 32; ++bit) {
        if (bits & (quint32(1) << bit))
            stray << bit;
    }
    return stray;
}

// "bit 20 (1048576)", "bits 16 to 31".
QString BitList(const QList<int> &bits)
{
    if (bits.size() == 1)
        return QStringLiteral("bit %1 (%2)").arg(bits[0]).arg(quint32(1) << bits[0]);
    QStringList parts;
    for (int i = 0; i < bits.size();) {
        int j = i;
        while (j + 1 < bits.size() && bits[j + 1] == bits[j] + 1)
            ++j;
        parts << (j == i ? QString::number(bits[i]) : QStringLiteral("%1 to %2").arg(bits[i]).arg(bits[j]));
        i = j + 1;
    }
    return QStringLiteral("bits ") + parts.join(QStringLiteral(", "));
}

class Checker
{
public:
    Checker(const QString &text, ScriptEngine engine, const ScriptVocabulary &vocabulary)
        : text_(text), engine_(engine), vocabulary_(vocabulary), lines_(text),
          statements_(ParseScript(text, engine))
    {
    }

    QList<Finding> run(qint64 byteSize)
    {
        collectNames();
        if (IsOriginalRelease(engine_) && byteSize > OriginalCommandBufferSize) {
            add(0, std::max(1, lineEnd(0)), FindingSeverity::Error, FindingKind::FileTooLarge,
                QStringLiteral("This file is %1 bytes; %2 holds at most %3, so exec of it fails "
                               "(\"Cbuf_InsertText overflowed\") and none of it runs")
                    .arg(byteSize)
                    .arg(EngineName(engine_))
                    .arg(OriginalCommandBufferSize));
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

    void checkStatement(int index)
    {
        const ScriptStatement &s = statements_[index];
        checkSplitting(index);
        if (s.tokens.isEmpty() || !runs(index))
            return;
        const QString command = s.command();
        const ScriptToken &first = s.tokens.first();
        if (!first.text.isEmpty() && !vocabulary_.isEmpty() && !vocabulary_.isConsoleWord(first.text, engine_) &&
            !setNames_.contains(command) && !vstrTargets_.contains(command)) {
            add(first.begin, first.end, FindingSeverity::Notice, FindingKind::UnknownCommand,
                QStringLiteral("\"%1\" is unknown; the game will forward it to the server").arg(first.text));
        }
        if ((command == u"bind" || command == u"unbind") && s.tokens.size() >= 2 && !vocabulary_.isEmpty()) {
            const ScriptToken &key = s.tokens[1];
            if (!vocabulary_.isKeyName(key.text, engine_)) {
                add(key.begin, key.end, FindingSeverity::Warning, FindingKind::UnknownKey,
                    QStringLiteral("%1 has no key named \"%2\": the game prints \"\\\"%2\\\" isn't a valid key\" "
                                   "and %3 nothing")
                        .arg(EngineName(engine_), key.text, command == u"bind" ? u"binds" : u"unbinds"));
            }
        }
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
        if (IsOriginalRelease(engine_) && IsSetCommand(command) && command != u"set" && s.tokens.size() > 3) {
            add(s.tokens[3].begin, s.tokens.last().end, FindingSeverity::Warning, FindingKind::SetaArguments,
                QStringLiteral("%1 takes one value in %2: with %3 words after the name the game prints its "
                               "usage and sets nothing; put the value in quotes")
                    .arg(command, EngineName(engine_))
                    .arg(s.tokens.size() - 2));
        }
        if (IsJediOutcast(engine_) && command == u"echo" && s.tokens.size() >= 2) {
            for (int i = s.tokens[1].begin; i + 1 < s.end; ++i) {
                if (text_[i] == u'^' && (text_[i + 1] == u'8' || text_[i + 1] == u'9')) {
                    add(i, i + 2, FindingSeverity::Notice, FindingKind::LiteralColor,
                        QStringLiteral("%1 prints ^%2 in the console as it stands; only ^0 to ^7 are colours "
                                       "there (^0 black, ^1 red)")
                            .arg(EngineName(engine_), text_[i + 1]));
                }
            }
        }
        if (IsJediOutcast(engine_))
            checkMask(s);
    }

    void checkSplitting(int index)
    {
        const ScriptStatement &s = statements_[index];
        const QString engine = EngineName(engine_);
        if (s.cutAtLimit && s.depth == 0) {
            add(s.end, s.end + 1, FindingSeverity::Warning, FindingKind::LongCommand,
                QStringLiteral("This command is longer than %1 characters: the game cuts it here, drops this "
                               "character and runs the rest as a new command")
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
        if (!IsOriginalRelease(engine_))
            return;
        const ScriptStatement *next = nextSibling(index);
        if (!next)
            return;
        if (s.slashComment >= 0 && s.endsAtSemicolon && !next->tokens.isEmpty()) {
            add(s.end, s.end + 1, FindingSeverity::Warning, FindingKind::CommentSemicolon,
                QStringLiteral("%1 ends the comment at this \";\": the rest of the line runs as a command").arg(engine));
        } else if (s.openBlockComment >= 0) {
            int i = index;
            const ScriptStatement *after = next;
            while (after && after->tokens.isEmpty() && after->depth == s.depth) {
                i = int(after - statements_.constData());
                after = nextSibling(i);
            }
            if (after && !after->tokens.isEmpty()) {
                add(s.openBlockComment, s.openBlockComment + 2, FindingSeverity::Warning,
                    FindingKind::LineBlockComment,
                    QStringLiteral("%1 ends this comment at the next \";\" or line end: what follows runs as "
                                   "commands")
                        .arg(engine));
            }
        }
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
        const auto table = maskTable(cvar);
        if (!table)
            return;
        const ScriptToken &value = s.tokens[nameIndex + 1];
        const QList<int> stray = strayBits(*table, atoiBits(value.text));
        if (stray.isEmpty())
            return;
        add(value.begin, value.end, FindingSeverity::Warning, FindingKind::MaskStrayBits,
            stray.size() == 1
                ? QStringLiteral("%1 of %2 stands for nothing: the game ignores it").arg(BitList(stray), cvar)
                : QStringLiteral("%1 of %2 stand for nothing: the game ignores them").arg(BitList(stray), cvar));
    }

    // A vstr inside a variable's value runs at once when the variable runs. A loop of
    // such runs never gives the game a frame: it hangs. A set of the target earlier in
    // the same value or a wait breaks the loop, as in toggles and music changers.
    void checkLoops()
    {
        struct Edge
        {
            int from;
            int to;
            int token; // statement index of the vstr
        };
        QHash<QString, int> ids;
        QStringList names;
        auto id = [&](const QString &name) {
            auto it = ids.constFind(name);
            if (it != ids.cend())
                return it.value();
            ids.insert(name, int(names.size()));
            names << name;
            return int(names.size()) - 1;
        };
        QList<Edge> edges;
        for (int i = 0; i < statements_.size(); ++i) {
            const ScriptStatement &s = statements_[i];
            if (!IsSetCommand(s.command()) || s.tokens.size() < 3)
                continue;
            const int from = id(s.tokens[1].text.toLower());
            QSet<QString> assigned;
            for (int j = i + 1; j < statements_.size() && statements_[j].depth > s.depth; ++j) {
                const ScriptStatement &v = statements_[j];
                if (v.parent != i)
                    continue;
                const QString c = v.command();
                if (c == u"wait")
                    break;
                if (v.tokens.size() < 2)
                    continue;
                const QString target = v.tokens[1].text.toLower();
                if (IsSetCommand(c))
                    assigned.insert(target);
                else if (c == u"vstr" && !assigned.contains(target))
                    edges << Edge{from, id(target), j};
            }
        }
        if (edges.isEmpty())
            return;
        const QList<int> component = components(int(names.size()), edges);
        for (const Edge &edge : edges) {
            bool loops = edge.from == edge.to;
            if (!loops && component[edge.from] == component[edge.to])
                loops = true;
            if (!loops)
                continue;
            const ScriptToken &target = statements_[edge.token].tokens[1];
            add(target.begin, target.end, FindingSeverity::Error, FindingKind::VstrLoop,
                QStringLiteral("vstr %1 runs \"%2\" again at once, with no key press in between: the game hangs")
                    .arg(target.text, names[edge.from]));
        }
    }

    // Strongly connected components (Kosaraju, iterative, so long chains cannot
    // overflow the stack).
    template <typename EdgeList>
    static QList<int> components(int count, const EdgeList &edges)
    {
        QList<QList<int>> out(count), in(count);
        for (const auto &e : edges) {
            out[e.from] << e.to;
            in[e.to] << e.from;
        }
        QList<int> order;
        QList<bool> seen(count, false);
        for (int start = 0; start < count; ++start) {
            if (seen[start])
                continue;
            QList<std::pair<int, int>> stack{{start, 0}};
            seen[start] = true;
            while (!stack.isEmpty()) {
                auto &[node, next] = stack.last();
                if (next < out[node].size()) {
                    const int to = out[node][next++];
                    if (!seen[to]) {
                        seen[to] = true;
                        stack.append({to, 0});
                    }
                } else {
                    order << node;
                    stack.removeLast();
                }
            }
        }
        QList<int> component(qMax(count, 0), -1);
        int current = 0;
        for (int k = int(order.size()) - 1; k >= 0; --k) {
            if (component[order[k]] >= 0)
                continue;
            QList<int> stack{order[k]};
            component[order[k]] = current;
            while (!stack.isEmpty()) {
                const int node = stack.takeLast();
                for (int from : in[node]) {
                    if (component[from] < 0) {
                        component[from] = current;
                        stack << from;
                    }
                }
            }
            ++current;
        }
        return component;
    }

    const QString &text_;
    ScriptEngine engine_;
    const ScriptVocabulary &vocabulary_;
    LineIndex lines_;
    QList<ScriptStatement> statements_;
    QSet<QString> setNames_;
    QSet<QString> vstrTargets_;
    QList<Finding> findings_;
};

QString releasesOf(const VocabEntry &entry, bool jediOutcast)
{
    QStringList releases;
    if (entry.inOriginal)
        releases << EngineName(DefaultEngine(jediOutcast));
    if (entry.inContinuation)
        releases << EngineName(jediOutcast ? ScriptEngine::jk2mv : ScriptEngine::ioquake3);
    return releases.join(QStringLiteral(" and "));
}

} // namespace

QList<Finding> Diagnose(const QString &text, ScriptEngine engine, const ScriptVocabulary &vocabulary, qint64 byteSize)
{
    return Checker(text, engine, vocabulary).run(byteSize < 0 ? text.size() : byteSize);
}

QString FindingRow(const Finding &finding)
{
    return QStringLiteral("%1:%2 %3").arg(finding.line + 1).arg(finding.column + 1).arg(finding.message);
}

std::optional<QString> DescribeMask(const QString &cvar, const QString &value)
{
    const auto table = maskTable(cvar);
    if (!table)
        return std::nullopt;
    const quint32 bits = atoiBits(value);
    QStringList names;
    for (int bit = 0; bit < table->count; ++bit) {
        if ((bits & (quint32(1) << bit)) && table->names[bit])
            names << QString::fromLatin1(table->names[bit]);
    }
    QString text = names.isEmpty() ? QStringLiteral("disables nothing")
                                   : QStringLiteral("disables: ") + names.join(QStringLiteral(", "));
    const QList<int> stray = strayBits(*table, bits);
    if (!stray.isEmpty()) {
        QStringList list;
        for (int bit : stray)
            list << QString::number(quint32(1) << bit);
        text += QStringLiteral("; stand for nothing: ") + list.join(QStringLiteral(", "));
    }
    return text;
}

QString DescribeWord(const QString &word, ScriptEngine engine, const ScriptVocabulary &vocabulary)
{
    const bool jk2 = IsJediOutcast(engine);
    const QString game = jk2 ? QStringLiteral("Jedi Outcast") : QStringLiteral("Quake III");
    QString lookup = word;
    if (lookup.startsWith(u'-'))
        lookup[0] = u'+';
    if (const VocabEntry *entry = vocabulary.find(VocabKind::Cvar, lookup)) {
        const bool continuation = !IsOriginalRelease(engine) && !entry->continuationDefault.isEmpty();
        QString text = QStringLiteral("cvar %1, default \"%2\"")
                           .arg(entry->name, continuation ? entry->continuationDefault : entry->defaultValue);
        if (!entry->flags.isEmpty() && entry->flags != u"0")
            text += QStringLiteral(" (%1)").arg(entry->flags);
        return text + QStringLiteral("; in %1").arg(releasesOf(*entry, jk2));
    }
    for (VocabKind kind : {VocabKind::Command, VocabKind::Button}) {
        if (const VocabEntry *entry = vocabulary.find(kind, lookup))
            return QStringLiteral("%1: a command of %2 (%3)").arg(word, game, releasesOf(*entry, jk2));
    }
    if (const VocabEntry *entry = vocabulary.find(VocabKind::SetOnlyCvar, lookup))
        return QStringLiteral("%1: a cvar the game sets, with no default (%2)").arg(entry->name, releasesOf(*entry, jk2));
    return {};
}
