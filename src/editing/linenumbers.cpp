#include "editing/linenumbers.h"

QString LineNumberText(qint64 number, int base)
{
    if (base != 2 && base != 8 && base != 16)
        base = 10;
    return QString::number(number, base).toUpper();
}
