#pragma once
// The bit-mask variables of Jedi Outcast (force powers and weapons switched off)
// and the text arithmetic behind their look-ahead checklist. No widgets here.

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

// Labels and bit values (decimal text, same order) of the items a checklist offers.
struct FlagTable
{
    QString caption;
    QStringList labels;
    QStringList values;
};

FlagTable ForcePowerTable();
FlagTable WeaponTable();

// The table for g_forcepowerdisable, g_weapondisable or g_duelweapondisable,
// matched case-insensitively but otherwise exactly; nothing for any other word.
std::optional<FlagTable> FlagTableForWord(const QString &currentWord);

// The number that follows a variable name on its line. Spaces and tabs around it are
// ignored; a decimal fraction is rounded half to even. Anything that is not an
// optionally signed decimal number, or lies outside the signed 32-bit range, gives 0.
qint32 ParseCurrentValue(const QString &rest);

// Columns of a line, counted as QString indices; end is exclusive.
struct ColumnSpan
{
    int start = 0;
    int end = 0;
};

// The text after the caret up to the end of the line (a line terminator, if the
// line still carries one, is not part of it).
QString RestOfLine(const QString &line, int caretColumn);

// The part of the line that the typed space and the new value replace, for the caret
// at caretColumn: everything after the first character behind the caret up to the
// end of the line, or the empty span at the caret when nothing follows it. A line
// terminator is never part of it.
ColumnSpan ReplaceRegion(const QString &line, int caretColumn);

// The sum of all item values of the table.
qint32 TableMask(const FlagTable &table);
// The bits of oldValue that no item of the table stands for.
qint32 KeptBits(qint32 oldValue, const FlagTable &table);
// The checked items' sum together with the kept bits of the old value.
qint32 MaskToWrite(qint32 checkedSum, qint32 oldValue, const FlagTable &table);

// Top-left corner, in twips, that centres a window whose outer frame measures
// child over the outer frame owner (both in twips).
QPointF CentredPosition(const QRectF &owner, const QSizeF &child);
