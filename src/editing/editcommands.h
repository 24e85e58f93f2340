#pragma once
// The main window's Edit and Options menu commands that do more than pass a command
// id to the editor. `window` is the main window that holds the menu items.

#include <QDateTime>
#include <QLocale>
#include <QString>

class CodeSense;
class QWidget;

// Replaces the selection with the time-and-date text and puts the caret at the
// selection's old caret end (in front of the text when nothing was selected).
void InsertTimeDate(CodeSense *editor, const QDateTime &now, const QLocale &locale = QLocale());

// A click on an "Auto Endent" or "Line Numbering" choice: nothing when it is already
// checked; otherwise its group's marks move to it and the editor gets its values.
void ChooseOption(QWidget *window, CodeSense *editor, const QString &item);
// "Line Num Tips": the mark changes first, then the editor.
void ToggleLineNumTips(QWidget *window, CodeSense *editor);
// "Syntax Highlighting": the editor changes first, then the mark.
void ToggleSyntaxHighlighting(QWidget *window, CodeSense *editor);
// Puts the Options menu's marks in step with the editor (after its properties dialog).
void SyncOptionsMenu(QWidget *window, const CodeSense *editor);
