#pragma once
// Counts typed by the user for repeated commands.

#include <QString>
#include <optional>

// A whole number, optionally signed and surrounded by blanks ("12", " -3 ", "+7").
// Numbers beyond the 64-bit range saturate; anything else (empty text, letters,
// fractions, "1e3") gives nothing.
std::optional<qint64> ParseWholeNumber(const QString &text);
