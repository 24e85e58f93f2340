#include "editing/editcommands.h"

#include "editing/timedate.h"
#include "editor/codesense.h"

#include <QAction>
#include <QWidget>

namespace {

struct Choice
{
    const char *item;
    int autoIndent;   // -1: not an Auto Endent choice
    int numberBase;   // 0: numbering off; -1: not a Line Numbering choice
};

// Each group in the order its handlers visit the marks.
const Choice AutoEndent[] = {
    {"mnuOptions_endent_line", 2, -1},
    {"mnuOptions_endent_scope", 1, -1},
    {"mnuOptions_endent_off", 0, -1},
};
const Choice LineNumbering[] = {
    {"mnuOptions_linenum_dec", -1, 10}, {"mnuOptions_linenum_hex", -1, 16}, {"mnuOptions_linenum_bin", -1, 2},
    {"mnuOptions_linenum_oct", -1, 8},  {"mnuOptions_linenum_none", -1, 0},
};

QAction *Item(QWidget *window, const char *name)
{
    return window->findChild<QAction *>(QLatin1String(name));
}

void SetMark(QWidget *window, const char *name, bool checked)
{
    if (QAction *action = Item(window, name))
        action->setChecked(checked);
}

template <std::size_t N>
bool ChooseIn(QWidget *window, CodeSense *editor, const Choice (&group)[N], const QString &item)
{
    const Choice *chosen = nullptr;
    for (const Choice &choice : group)
        if (item == QLatin1String(choice.item))
            chosen = &choice;
    if (!chosen)
        return false;
    const QAction *action = Item(window, chosen->item);
    if (action && action->isChecked())
        return true;
    for (const Choice &choice : group)
        SetMark(window, choice.item, &choice == chosen);
    if (chosen->autoIndent >= 0) {
        editor->SetAutoIndentMode(chosen->autoIndent);
    } else if (chosen->numberBase == 0) {
        editor->SetLineNumbering(false);
    } else {
        editor->SetLineNumbering(true);
        editor->SetLineNumberStyle(chosen->numberBase);
    }
    return true;
}

} // namespace

void InsertTimeDate(CodeSense *editor, const QDateTime &now, const QLocale &locale)
{
    const EditorRange before = editor->GetSel(false);
    editor->SetSelText(TimeDateText(now.time(), now.date(), locale));
    editor->SetCaretPos(before.EndLineNo, before.EndColNo);
}

void ChooseOption(QWidget *window, CodeSense *editor, const QString &item)
{
    if (!ChooseIn(window, editor, AutoEndent, item))
        ChooseIn(window, editor, LineNumbering, item);
}

void ToggleLineNumTips(QWidget *window, CodeSense *editor)
{
    QAction *item = Item(window, "mnuOptions_linenumtips");
    const bool on = !item->isChecked();
    item->setChecked(on);
    editor->SetLineToolTips(on);
}

void ToggleSyntaxHighlighting(QWidget *window, CodeSense *editor)
{
    QAction *item = Item(window, "mnuOptions_syntaxh");
    const bool on = !item->isChecked();
    editor->SetColorSyntax(on);
    item->setChecked(on);
}

void SyncOptionsMenu(QWidget *window, const CodeSense *editor)
{
    SetMark(window, "mnuOptions_linenumtips", editor->LineToolTips());
    SetMark(window, "mnuOptions_syntaxh", editor->ColorSyntax());
    for (const Choice &choice : AutoEndent)
        SetMark(window, choice.item, choice.autoIndent == editor->AutoIndentMode());
    const int base = editor->LineNumbering() ? editor->LineNumberStyle() : 0;
    for (const Choice &choice : LineNumbering)
        SetMark(window, choice.item, choice.numberBase == base);
}
