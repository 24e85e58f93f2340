#pragma once
// The Edit menu's Time / Date command.

#include <QDateTime>
#include <QLocale>

class CodeSense;

// Replaces the selection with the time-and-date text and puts the caret at the
// selection's old caret end (in front of the text when nothing was selected).
void InsertTimeDate(CodeSense *editor, const QDateTime &now, const QLocale &locale = QLocale());
