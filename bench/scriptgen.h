#pragma once
// Deterministic console scripts of a chosen size, shaped like what players paste: bind
// menus, cvars with comments, vstr chains, coloured echoes and very long lines.
#include <QByteArray>

#include <cstddef>

// Windows-1252 bytes with CR LF line ends, exactly `bytes` long, ending at a line end
// when bytes allows; the same size always gives the same text.
QByteArray GenerateScript(std::size_t bytes);

// A word that GenerateScript places once, on the last line of the text, and nowhere else.
inline constexpr const char *kNeedle = "zebrafinale";
