#include "script/flags.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Each value is twice the one before it, so the table cannot get a bit wrong by a typo.
FlagTable BuildTable(const QString &caption, const QStringList &labels, const QString &firstValue)
{
    FlagTable table{caption, labels, {}};
    QString value = firstValue;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        table.values << value;
        value = QString::number(value.toInt() * 2);
    }
    return table;
}

bool IsBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t';
}

bool IsDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

// Length of the line without a trailing CR, LF or CR LF.
int TextLength(const QString &line)
{
    qsizetype length = line.size();
    if (length > 0 && line[length - 1] == u'\n')
        --length;
    if (length > 0 && line[length - 1] == u'\r')
        --length;
    return int(length);
}

double RoundHalfEven(double x)
{
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

double HalfOfRounded(double length)
{
    return std::trunc(RoundHalfEven(length) / 2);
}

} // namespace

FlagTable ForcePowerTable()
{
    return BuildTable(QStringLiteral("Force Disable"),
                      {QStringLiteral("Heal"), QStringLiteral("Jump"), QStringLiteral("Speed"),
                       QStringLiteral("Push"), QStringLiteral("Pull"), QStringLiteral("Mind Trick"),
                       QStringLiteral("Grip"), QStringLiteral("Lightning"), QStringLiteral("Dark Rage"),
                       QStringLiteral("Protect"), QStringLiteral("Absorb"), QStringLiteral("Team Heal"),
                       QStringLiteral("Team Energize"), QStringLiteral("Drain"), QStringLiteral("Seeing"),
                       QStringLiteral("Saber Attack"), QStringLiteral("Saber Defend"),
                       QStringLiteral("Saber Throw")},
                      QStringLiteral("1"));
}

FlagTable WeaponTable()
{
    // Bit 0 is the game's "no weapon" slot, so the first weapon is worth 2.
    return BuildTable(QStringLiteral("Weapon Disable"),
                      {QStringLiteral("Stun Baton"), QStringLiteral("Lightsaber"),
                       QStringLiteral("Bryar Pistol"), QStringLiteral("Rifle"), QStringLiteral("Disrupter"),
                       QStringLiteral("Bowcaster"), QStringLiteral("Repeater"), QStringLiteral("DEMP"),
                       QStringLiteral("Flechette Gun"), QStringLiteral("Rocket Launcher"),
                       QStringLiteral("Thermal Detonators"), QStringLiteral("Trip Mines"),
                       QStringLiteral("Detonator Packs")},
                      QStringLiteral("2"));
}

std::optional<FlagTable> FlagTableForWord(const QString &currentWord)
{
    const QString word = currentWord.toLower();
    if (word == u"g_forcepowerdisable")
        return ForcePowerTable();
    if (word == u"g_duelweapondisable" || word == u"g_weapondisable")
        return WeaponTable();
    return std::nullopt;
}

qint32 ParseCurrentValue(const QString &rest)
{
    qsizetype first = 0;
    qsizetype last = rest.size();
    while (first < last && IsBlank(rest[first]))
        ++first;
    while (last > first && IsBlank(rest[last - 1]))
        --last;
    const QStringView text = QStringView(rest).sliced(first, last - first);

    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }

    // Any magnitude above 2^31 is out of range for either sign, so stop counting there.
    constexpr qint64 limit = qint64(1) << 31;
    qint64 magnitude = 0;
    bool tooLarge = false;
    qsizetype digits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits) {
        magnitude = magnitude * 10 + (text[pos].unicode() - u'0');
        if (magnitude > limit) {
            tooLarge = true;
            magnitude = limit;
        }
    }
    QStringView fraction;
    if (pos < text.size() && text[pos] == u'.') {
        const qsizetype start = ++pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
        fraction = text.sliced(start, pos - start);
        digits += fraction.size();
    }
    if (digits == 0 || pos != text.size() || tooLarge)
        return 0;

    // Rounded on the digits themselves, so long fractions round exactly.
    if (!fraction.isEmpty()) {
        const QChar lead = fraction[0];
        const bool aboveHalf = std::any_of(fraction.begin() + 1, fraction.end(),
                                           [](QChar ch) { return ch != u'0'; });
        if (lead > u'5' || (lead == u'5' && (aboveHalf || magnitude % 2 == 1)))
            ++magnitude;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return 0;
    return qint32(value);
}

QString RestOfLine(const QString &line, int caretColumn)
{
    const int length = TextLength(line);
    const int caret = std::clamp(caretColumn, 0, length);
    return line.mid(caret, length - caret);
}

ColumnSpan ReplaceRegion(const QString &line, int caretColumn)
{
    const int length = TextLength(line);
    const int caret = std::clamp(caretColumn, 0, length);
    if (caret == length)
        return {caret, caret};
    int start = caret + 1;
    // The kept character must stay whole.
    if (line[caret].isHighSurrogate() && start < length && line[start].isLowSurrogate())
        ++start;
    return {start, length};
}

qint32 TableMask(const FlagTable &table)
{
    quint32 mask = 0;
    for (const QString &value : table.values)
        mask |= quint32(value.toInt());
    return qint32(mask);
}

qint32 KeptBits(qint32 oldValue, const FlagTable &table)
{
    return oldValue & ~TableMask(table);
}

qint32 MaskToWrite(qint32 checkedSum, qint32 oldValue, const FlagTable &table)
{
    // The two parts share no bit, so OR is the sum without any chance of overflow.
    return checkedSum | KeptBits(oldValue, table);
}

QPointF CentredPosition(const QRectF &owner, const QSizeF &child)
{
    return {owner.left() + HalfOfRounded(owner.width()) - HalfOfRounded(child.width()),
            owner.top() + HalfOfRounded(owner.height()) - HalfOfRounded(child.height())};
}
