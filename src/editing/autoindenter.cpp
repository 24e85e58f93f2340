#include "editing/autoindenter.h"

#include "editing/scopeindent.h"
#include "editor/codesense.h"

namespace {

class EditorLines final : public IndentContext
{
public:
    explicit EditorLines(const CodeSense *editor) : editor_(editor) {}
    QString lineText(int line) const override { return editor_->GetLine(line); }
    int indentation(int line) const override
    {
        return static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_GETLINEINDENTATION, line));
    }

private:
    const CodeSense *editor_;
};

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool IsCloser(QChar c)
{
    return c == QLatin1Char('}') || c == QLatin1Char('"');
}

} // namespace

AutoIndenter::AutoIndenter(CodeSense *editor, QObject *parent) : QObject(parent), editor_(editor)
{
    connect(editor, &QsciScintillaBase::SCN_CHARADDED, this, &AutoIndenter::characterAdded);
}

void AutoIndenter::characterAdded(int character)
{
    const int mode = editor_->AutoIndentMode();
    if (mode != AutoIndentByScope && mode != AutoIndentByPreviousLine)
        return;
    const QChar typed(character);
    // A CR LF break reports both characters; the last one of the document's line end counts.
    const bool crOnly = editor_->SendScintilla(QsciScintillaBase::SCI_GETEOLMODE) == QsciScintillaBase::SC_EOL_CR;
    const QChar lineEnd = crOnly ? QLatin1Char('\r') : QLatin1Char('\n');
    const bool relevant =
        typed == lineEnd || (mode == AutoIndentByScope && IsCloser(typed) && closerStartsLine(typed));
    if (!relevant)
        return;
    const IndentStep step{typed, mode};
    apply(step);
    emit indented(step);
}

bool AutoIndenter::closerStartsLine(QChar closer) const
{
    const long caret = editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const int line = static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
    const QString before = editor_->GetLine(line).left(editor_->ColumnOf(static_cast<int>(caret)));
    return before.endsWith(closer) && before.chopped(1).trimmed().isEmpty();
}

void AutoIndenter::apply(const IndentStep &step)
{
    const long caret = editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const int line = static_cast<int>(editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
    const EditorLines lines(editor_);
    const int current = lines.indentation(line);
    if (IsLineBreak(step.trigger)) {
        long unit = editor_->SendScintilla(QsciScintillaBase::SCI_GETINDENT);
        if (unit <= 0)
            unit = editor_->SendScintilla(QsciScintillaBase::SCI_GETTABWIDTH);
        const int wanted = NewLineIndentation(lines, line, step.mode, static_cast<int>(unit));
        // Text that arrived already indented (a break inside the indentation) keeps it.
        if (wanted <= 0 || current != 0)
            return;
        const long lineStart = editor_->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        editor_->SendScintilla(QsciScintillaBase::SCI_SETLINEINDENTATION, line, wanted);
        const long indentEnd = editor_->SendScintilla(QsciScintillaBase::SCI_GETLINEINDENTPOSITION, line);
        // SCI_SETSEL, unlike SCI_GOTOPOS, is not recorded into a running macro.
        const long newCaret = caret + (indentEnd - lineStart);
        editor_->SendScintilla(QsciScintillaBase::SCI_SETSEL, newCaret, newCaret);
        return;
    }
    if (step.mode != AutoIndentByScope || !IsCloser(step.trigger) || !closerStartsLine(step.trigger))
        return;
    const int wanted = CloserIndentation(lines, line, current, step.trigger);
    if (wanted < 0 || wanted >= current)
        return;
    editor_->SendScintilla(QsciScintillaBase::SCI_SETLINEINDENTATION, line, wanted);
    const long afterCloser = editor_->SendScintilla(QsciScintillaBase::SCI_GETLINEINDENTPOSITION, line) + 1;
    editor_->SendScintilla(QsciScintillaBase::SCI_SETSEL, afterCloser, afterCloser);
}
