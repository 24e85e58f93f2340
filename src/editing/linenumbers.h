#pragma once
// Line numbers as the editor's margin shows them.

#include <QString>
#include <QtGlobal>

// The number in base 2, 8, 10 or 16 (upper-case digits); any other base counts as 10.
QString LineNumberText(qint64 number, int base);
