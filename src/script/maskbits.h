#pragma once
// The bit masks of Jedi Outcast's g_forcePowerDisable, g_weaponDisable and
// g_duelWeaponDisable, as the game code reads them.
#include <QList>
#include <QString>

#include <optional>

struct MaskTable
{
    const char *const *names; // nullptr for a bit that stands for nothing
    int count;
    bool weapons;
};
std::optional<MaskTable> MaskTableOf(const QString &cvar);
// atoi, as the game reads the cvar's integer.
quint32 AtoiBits(const QString &value);
// Set bits beyond the table's items; none when every item's bit is set (-1 is how
// players write "all of them").
QList<int> StrayBits(const MaskTable &table, quint32 bits);
// "bit 20 (1048576)", "bits 16 to 31".
QString BitList(const QList<int> &bits);
