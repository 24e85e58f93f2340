#include "editing/editcommands.h"

#include "editing/timedate.h"
#include "editor/codesense.h"

void InsertTimeDate(CodeSense *editor, const QDateTime &now, const QLocale &locale)
{
    const EditorRange before = editor->GetSel(false);
    editor->SetSelText(TimeDateText(now.time(), now.date(), locale));
    editor->SetCaretPos(before.EndLineNo, before.EndColNo);
}
