#pragma once
// What screen readers see of the editor: its text, caret and selection, with offsets in
// UTF-16 code units as Qt counts them.
//
// QScintilla's own interface converts every position by walking the document from its
// start, and it does so on every caret move as soon as the widget is shown, screen
// reader or not: typing at the end of a 100 MB script took seconds per key. This one
// goes through Scintilla's per-line UTF-16 index, which costs a line's length instead.

#include <QAccessibleWidget>

class QsciScintillaBase;

class CodeSenseAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface
{
public:
    explicit CodeSenseAccessible(QsciScintillaBase *editor);

    // Makes Qt hand out this interface for every CodeSense; call after the first editor
    // exists, so that it takes precedence over QScintilla's own factory.
    static void Install();

    // The editor's interface while a screen reader listens, else null: nothing is worked
    // out for nobody.
    static CodeSenseAccessible *Listening(QsciScintillaBase *editor);
    // Receives the events instead of Qt, listening or not; null restores Qt. Without a
    // platform accessibility backend (offscreen) Qt drops them unseen.
    using Listener = void (*)(QAccessibleEvent *event);
    static void SetListener(Listener listener);
    // Edits and caret moves, told to the screen reader. An insertion is told once its
    // text is in place: at the next edit or when the editor says its edits are done.
    void BeforeEdit(bool insertion, long position, long length);
    void EditsDone();
    void CaretMoved();

    // Conversions between document byte positions and UTF-16 offsets.
    int OffsetOf(long position) const;
    long PositionOf(int offset) const;

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    QsciScintillaBase *editor() const;
    static void tell(QAccessibleEvent *event);
    void ensureIndex() const;

    // Built on the first question: Qt creates this interface for every shown editor,
    // and without a screen reader nothing ever asks.
    mutable bool indexed_ = false;
    long insertedAt_ = -1;
    long insertedLength_ = 0;
    int cursor_ = -1;
};
