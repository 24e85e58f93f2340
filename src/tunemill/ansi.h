#pragma once
// Windows-1252, the code page game scripts are written in.

#include <QByteArray>
#include <QString>

namespace tunemill_ansi {
// The byte for c, or -1 when the code page has none.
int ByteFor(char16_t c);
QString Decode(const QByteArray &bytes);
} // namespace tunemill_ansi
