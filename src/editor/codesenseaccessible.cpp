#include "editor/codesenseaccessible.h"

#include "editor/codesense.h"

#include <QFontMetrics>

namespace {

using Sci = QsciScintillaBase;

QAccessibleInterface *codeSenseFactory(const QString &, QObject *object)
{
    if (auto *editor = qobject_cast<CodeSense *>(object))
        return new CodeSenseAccessible(editor);
    return nullptr;
}

CodeSenseAccessible::Listener listener = nullptr;

QByteArray bytesBetween(QsciScintillaBase *editor, long start, long end)
{
    if (end <= start)
        return {};
    const auto *data = reinterpret_cast<const char *>(editor->SendScintilla(Sci::SCI_GETRANGEPOINTER, start, end - start));
    return QByteArray(data, end - start);
}

} // namespace

CodeSenseAccessible::CodeSenseAccessible(QsciScintillaBase *editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{
}

void CodeSenseAccessible::ensureIndex() const
{
    // Once it exists Scintilla keeps it up to date on every edit. It is not released:
    // Qt drops this interface while the editor is being destroyed, too late to ask it.
    if (!indexed_)
        editor()->SendScintilla(Sci::SCI_ALLOCATELINECHARACTERINDEX, Sci::SC_LINECHARACTERINDEX_UTF16);
    indexed_ = true;
}

void CodeSenseAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(codeSenseFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

CodeSenseAccessible *CodeSenseAccessible::Listening(QsciScintillaBase *editor)
{
    if (!listener && !QAccessible::isActive())
        return nullptr;
    return dynamic_cast<CodeSenseAccessible *>(QAccessible::queryAccessibleInterface(editor));
}

void CodeSenseAccessible::SetListener(Listener l)
{
    listener = l;
}

void CodeSenseAccessible::tell(QAccessibleEvent *event)
{
    if (listener)
        listener(event);
    else
        QAccessible::updateAccessibility(event);
}

void CodeSenseAccessible::BeforeEdit(bool insertion, long position, long length)
{
    EditsDone();
    if (insertion) {
        insertedAt_ = position;
        insertedLength_ = length;
        return;
    }
    QAccessibleTextRemoveEvent event(editor(), OffsetOf(position),
                                     QString::fromUtf8(bytesBetween(editor(), position, position + length)));
    tell(&event);
}

void CodeSenseAccessible::EditsDone()
{
    if (insertedAt_ < 0)
        return;
    const long start = insertedAt_;
    insertedAt_ = -1;
    QAccessibleTextInsertEvent event(editor(), OffsetOf(start),
                                     QString::fromUtf8(bytesBetween(editor(), start, start + insertedLength_)));
    tell(&event);
}

void CodeSenseAccessible::CaretMoved()
{
    const int cursor = cursorPosition();
    if (cursor == cursor_)
        return;
    cursor_ = cursor;
    QAccessibleTextCursorEvent event(editor(), cursor);
    tell(&event);
}

int CodeSenseAccessible::OffsetOf(long position) const
{
    ensureIndex();
    QsciScintillaBase *editor = this->editor();
    const long length = editor->SendScintilla(Sci::SCI_GETLENGTH);
    position = qBound(0L, position, length);
    const long line = editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, position);
    const long lineStart = editor->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    return static_cast<int>(editor->SendScintilla(Sci::SCI_INDEXPOSITIONFROMLINE, line, Sci::SC_LINECHARACTERINDEX_UTF16) +
                            editor->SendScintilla(Sci::SCI_COUNTCODEUNITS, lineStart, position));
}

long CodeSenseAccessible::PositionOf(int offset) const
{
    if (offset <= 0)
        return 0;
    ensureIndex();
    QsciScintillaBase *editor = this->editor();
    const long length = editor->SendScintilla(Sci::SCI_GETLENGTH);
    if (offset >= OffsetOf(length))
        return length;
    const long line = editor->SendScintilla(Sci::SCI_LINEFROMINDEXPOSITION, offset, Sci::SC_LINECHARACTERINDEX_UTF16);
    const long lineOffset = editor->SendScintilla(Sci::SCI_INDEXPOSITIONFROMLINE, line, Sci::SC_LINECHARACTERINDEX_UTF16);
    const long lineStart = editor->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long position = editor->SendScintilla(Sci::SCI_POSITIONRELATIVECODEUNITS, lineStart, offset - lineOffset);
    // An offset inside a surrogate pair lands after the pair.
    return position;
}

QsciScintillaBase *CodeSenseAccessible::editor() const
{
    return static_cast<QsciScintillaBase *>(widget());
}

void *CodeSenseAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CodeSenseAccessible::state() const
{
    QAccessible::State st = QAccessibleWidget::state();
    st.selectableText = true;
    st.multiLine = true;
    if (editor()->SendScintilla(Sci::SCI_GETREADONLY))
        st.readOnly = true;
    else
        st.editable = true;
    return st;
}

void CodeSenseAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = OffsetOf(editor()->SendScintilla(Sci::SCI_GETSELECTIONSTART));
    *endOffset = OffsetOf(editor()->SendScintilla(Sci::SCI_GETSELECTIONEND));
}

int CodeSenseAccessible::selectionCount() const
{
    return editor()->SendScintilla(Sci::SCI_GETSELECTIONEMPTY) ? 0 : 1;
}

void CodeSenseAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void CodeSenseAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        editor()->SendScintilla(Sci::SCI_SETEMPTYSELECTION, editor()->SendScintilla(Sci::SCI_GETCURRENTPOS));
}

void CodeSenseAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        editor()->SendScintilla(Sci::SCI_SETSEL, PositionOf(startOffset), PositionOf(endOffset));
}

int CodeSenseAccessible::cursorPosition() const
{
    return OffsetOf(editor()->SendScintilla(Sci::SCI_GETCURRENTPOS));
}

void CodeSenseAccessible::setCursorPosition(int position)
{
    editor()->SendScintilla(Sci::SCI_GOTOPOS, PositionOf(position));
}

QString CodeSenseAccessible::text(int startOffset, int endOffset) const
{
    return QString::fromUtf8(bytesBetween(editor(), PositionOf(startOffset), PositionOf(endOffset)));
}

int CodeSenseAccessible::characterCount() const
{
    return OffsetOf(editor()->SendScintilla(Sci::SCI_GETLENGTH));
}

QRect CodeSenseAccessible::characterRect(int offset) const
{
    QsciScintillaBase *sb = editor();
    const long position = PositionOf(offset);
    const int x = static_cast<int>(sb->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, position));
    const int y = static_cast<int>(sb->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, position));
    const long after = sb->SendScintilla(Sci::SCI_POSITIONAFTER, position);
    const QFontMetrics metrics(sb->font());
    const QRect rect(x, y, metrics.horizontalAdvance(QString::fromUtf8(bytesBetween(sb, position, after))),
                     static_cast<int>(sb->SendScintilla(Sci::SCI_TEXTHEIGHT, sb->SendScintilla(Sci::SCI_LINEFROMPOSITION, position))));
    return rect.translated(sb->viewport()->mapToGlobal(QPoint(0, 0)));
}

int CodeSenseAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = editor()->viewport()->mapFromGlobal(point);
    const long position = editor()->SendScintilla(Sci::SCI_POSITIONFROMPOINTCLOSE, local.x(), local.y());
    return position < 0 ? -1 : OffsetOf(position);
}

void CodeSenseAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    editor()->SendScintilla(Sci::SCI_SCROLLRANGE, PositionOf(endIndex), PositionOf(startIndex));
}

QString CodeSenseAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // Styles are colours of the script's words, not text attributes a reader announces.
    *startOffset = 0;
    *endOffset = characterCount();
    Q_UNUSED(offset);
    return {};
}

void CodeSenseAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void CodeSenseAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void CodeSenseAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    editor()->SendScintilla(Sci::SCI_SETTARGETRANGE, PositionOf(startOffset), PositionOf(endOffset));
    editor()->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.constData());
}
