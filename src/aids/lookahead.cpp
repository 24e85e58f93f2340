#include "aids/lookahead.h"

#include "script/flags.h"
#include "aids/frmLookAheadCheck.h"
#include "editor/codesense.h"

#include <QPointer>

namespace {

// Editor columns count characters; the flag arithmetic counts QString units.
int unitsForColumns(const QString &line, int columns)
{
    int units = 0;
    for (int c = 0; c < columns && units < line.size(); ++c)
        units += (line.at(units).isHighSurrogate() && units + 1 < line.size()) ? 2 : 1;
    return units;
}

int columnsForUnits(const QString &line, int units)
{
    return static_cast<int>(QStringView(line).left(units).toUcs4().size());
}

} // namespace

bool FlagLookAhead(QWidget *mainWindow, CodeSense *editor, int key)
{
    if (key != Qt::Key_Space)
        return false;
    const std::optional<FlagTable> table = FlagTableForWord(editor->CurrentWord().toLower());
    if (!table)
        return false;

    EditorRange range = editor->GetSel(false);
    const QString line = editor->GetLine(range.EndLineNo);
    const int caret = unitsForColumns(line, range.EndColNo);
    const qint32 currentValue = ParseCurrentValue(RestOfLine(line, caret));
    const ColumnSpan region = ReplaceRegion(line, caret);

    // QScintilla types a key only after this handler returns, so the space is placed
    // here, in the region it would have replaced; the whole look-ahead is one undo step.
    QPointer<CodeSense> guard(editor);
    editor->beginUndoAction();
    range.StartColNo = columnsForUnits(line, region.start);
    range.EndColNo = columnsForUnits(line, region.end);
    editor->SetSel(range, true);
    editor->SetSelText(QStringLiteral(" "));
    const QString value = RunFlagChecklist(mainWindow, *table, currentValue);
    if (!guard)
        return true;
    editor->SetSelText(value);
    editor->endUndoAction();
    EditorRange after = editor->GetSel(false);
    after.StartLineNo = after.EndLineNo;
    after.StartColNo = after.EndColNo;
    editor->SetSel(after, true);
    return true;
}
