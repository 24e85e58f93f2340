#include "script/diagnostics.h"
#include "script/maskbits.h"

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

std::optional<MaskTable> MaskTableOf(const QString &cvar)
{
    const QString lower = cvar.toLower();
    if (lower == u"g_forcepowerdisable")
        return MaskTable{ForceNames, int(std::size(ForceNames)), false};
    if (lower == u"g_weapondisable" || lower == u"g_duelweapondisable")
        return MaskTable{WeaponNames, int(std::size(WeaponNames)), true};
    return std::nullopt;
}

quint32 AtoiBits(const QString &value)
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

QList<int> StrayBits(const MaskTable &table, quint32 bits)
{
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

std::optional<QString> DescribeMask(const QString &cvar, const QString &value)
{
    const auto table = MaskTableOf(cvar);
    if (!table)
        return std::nullopt;
    const quint32 bits = AtoiBits(value);
    QStringList names;
    for (int bit = 0; bit < table->count; ++bit) {
        if ((bits & (quint32(1) << bit)) && table->names[bit])
            names << QString::fromLatin1(table->names[bit]);
    }
    QString text = names.isEmpty() ? QStringLiteral("disables nothing")
                                   : QStringLiteral("disables: ") + names.join(QStringLiteral(", "));
    const QList<int> stray = StrayBits(*table, bits);
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
        QString text = QStringLiteral("cvar %1, default \"%2\"").arg(entry->name, entry->defaultIn(engine));
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
