#include "editor/codesense.h"

#include "editor/codesenseaccessible.h"
#include "foundation/consolefont.h"
#include "foundation/twips.h"

#include <Qsci/qscilexer.h>

#include <QFont>
#include <QKeyEvent>

CodeSense::CodeSense(QWidget *parent) : QsciScintilla(parent)
{
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    setUtf8(true);
    // 13 pixels at the standard 96 dots per inch; QScintilla sizes styles in points.
    setFont(ConsoleFont(13 * 72.0 / 96.0));
    setMarginWidth(1, 0);
    // The horizontal scroll bar follows the longest line shown instead of a fixed width.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, true);
    CodeSenseAccessible::Install();
    // Nothing here uses annotations. Shown, Scintilla looks up every line's whenever a
    // document is put in: an eighth of a second for a gigabyte's 27 million lines.
    SendScintilla(SCI_ANNOTATIONSETVISIBLE, ANNOTATION_HIDDEN);
    gapWalk_.setSingleShot(true);
    connect(&gapWalk_, &QTimer::timeout, this, &CodeSense::moveGapTowardStart);
    // Edits are heard before they happen and Change is raised once the event that caused
    // them is handled. QScintilla answers the notifications after an edit by converting
    // its position into a character count from the start of the document, which made a
    // key typed deep into a large script take seconds.
    SendScintilla(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int length) { beforeEdit(position, type, length); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this] {
        if (CodeSenseAccessible *accessible = CodeSenseAccessible::Listening(this))
            accessible->CaretMoved();
    });
}

// The features go first: they listen to the editor and must not hear it being torn down.
CodeSense::~CodeSense()
{
    for (auto it = attached_.rbegin(); it != attached_.rend(); ++it)
        delete it->data();
}

void CodeSense::Attach(QObject *feature)
{
    feature->setParent(this);
    attached_.push_back(feature);
}

QByteArray CodeSense::TextUtf8() const
{
    const auto length = static_cast<qsizetype>(SendScintilla(SCI_GETLENGTH));
    const auto *data = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return QByteArray(data, length);
}

void CodeSense::SetTextUtf8(QByteArrayView utf8)
{
    // One undo step and one Change event for the whole replacement.
    ++silentChanges_;
    beginUndoAction();
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
    endUndoAction();
    --silentChanges_;
    emitChange();
}

QString CodeSense::Text() const
{
    return QString::fromUtf8(TextUtf8());
}

void CodeSense::SetText(const QString &text)
{
    SetTextUtf8(text.toUtf8());
}

void CodeSense::SetLanguage(const QString &name, QsciLexer *lexer)
{
    QsciLexer *old = this->lexer();
    const QFont font = old ? old->defaultFont() : this->font();
    lexer->setParent(this);
    lexer->setDefaultFont(font);
    language_ = name;
    setLexer(lexer);
    delete old;
    emit LexerChanged();
}

QString CodeSense::SelText() const
{
    return selectedText();
}

void CodeSense::SetSelText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    // Replacing a selection with the same text (nothing cut, an empty paste) is no edit:
    // it must not mark a clean document modified.
    const long from = SendScintilla(SCI_GETSELECTIONSTART), to = SendScintilla(SCI_GETSELECTIONEND);
    if (to - from == utf8.size()
        && QByteArrayView(reinterpret_cast<const char *>(SendScintilla(SCI_GETRANGEPOINTER, from, to - from)),
                          to - from) == utf8) {
        SendScintilla(SCI_GOTOPOS, to);
        return;
    }
    // SCI_REPLACESEL stops at a NUL; the target replacement takes a length.
    beginUndoAction();
    ++silentChanges_;
    SendScintilla(SCI_TARGETFROMSELECTION);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.constData());
    const long end = SendScintilla(SCI_GETTARGETEND);
    SendScintilla(SCI_GOTOPOS, end);
    --silentChanges_;
    endUndoAction();
    emitChange();
}

int CodeSense::PositionOf(qint32 line, qint32 column) const
{
    const int lines = static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
    line = qBound(0, line, lines - 1);
    const int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
    const int end = static_cast<int>(SendScintilla(SCI_GETLINEENDPOSITION, line));
    if (column <= 0)
        return start;
    const int characters = static_cast<int>(SendScintilla(SCI_COUNTCHARACTERS, start, end));
    if (column >= characters)
        return end;
    return static_cast<int>(SendScintilla(SCI_POSITIONRELATIVE, start, column));
}

qint32 CodeSense::ColumnOf(int position) const
{
    const int line = static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, position));
    const int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
    return static_cast<qint32>(SendScintilla(SCI_COUNTCHARACTERS, start, position));
}

EditorRange CodeSense::GetSel(bool normalized) const
{
    int anchor = static_cast<int>(SendScintilla(SCI_GETANCHOR));
    int caret = static_cast<int>(SendScintilla(SCI_GETCURRENTPOS));
    if (normalized && anchor > caret)
        std::swap(anchor, caret);
    EditorRange range;
    range.StartLineNo = static_cast<qint32>(SendScintilla(SCI_LINEFROMPOSITION, anchor));
    range.StartColNo = ColumnOf(anchor);
    range.EndLineNo = static_cast<qint32>(SendScintilla(SCI_LINEFROMPOSITION, caret));
    range.EndColNo = ColumnOf(caret);
    return range;
}

void CodeSense::SetSel(const EditorRange &range, bool makeVisible)
{
    const int anchor = PositionOf(range.StartLineNo, range.StartColNo);
    const int caret = PositionOf(range.EndLineNo, range.EndColNo);
    SendScintilla(SCI_SETSEL, anchor, caret);
    if (makeVisible)
        SendScintilla(SCI_SCROLLCARET);
}

QString CodeSense::GetLine(qint32 line) const
{
    if (line < 0 || line >= SendScintilla(SCI_GETLINECOUNT))
        return {};
    const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, line);
    const auto *data = reinterpret_cast<const char *>(SendScintilla(SCI_GETRANGEPOINTER, start, end - start));
    return QString::fromUtf8(data, end - start);
}

QString CodeSense::CurrentWord() const
{
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long start = SendScintilla(SCI_WORDSTARTPOSITION, caret, true);
    if (start >= caret)
        return {};
    const auto *data = reinterpret_cast<const char *>(SendScintilla(SCI_GETRANGEPOINTER, start, caret - start));
    return QString::fromUtf8(data, caret - start);
}

void CodeSense::SetCaretPos(qint32 line, qint32 column)
{
    SendScintilla(SCI_GOTOPOS, PositionOf(line, column));
}

void CodeSense::InsertText(const QString &text)
{
    // Goes in at the caret; a selection is left standing beside it.
    const QByteArray utf8 = text.toUtf8();
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    ++silentChanges_;
    beginUndoAction();
    SendScintilla(SCI_SETEMPTYSELECTION, caret);
    SendScintilla(SCI_SETTARGETRANGE, caret, caret);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.constData());
    SendScintilla(SCI_GOTOPOS, SendScintilla(SCI_GETTARGETEND));
    endUndoAction();
    --silentChanges_;
    emitChange();
}

void CodeSense::ExecuteCmd(qint32 id)
{
    if (commandFilter_ && commandFilter_(id))
        return;
    switch (id) {
    case cmdUndo:
        Undo();
        return;
    case cmdSelectAll:
        selectAll(true);
        return;
    case cmdRedo:
        redo();
        flushChange();
        return;
    default:
        if (const auto handler = commands_.value(id))
            handler();
    }
}

void CodeSense::Undo()
{
    undo();
    flushChange();
}

void CodeSense::SetCommandHandler(qint32 id, std::function<void()> handler)
{
    commands_.insert(id, std::move(handler));
}

void CodeSense::SetOptions(const EditorOptions &options)
{
    if (options == options_)
        return;
    options_ = options;
    emit OptionsChanged(options_);
}

void CodeSense::SetAutoIndentMode(int mode)
{
    EditorOptions options = options_;
    options.autoIndentMode = mode;
    SetOptions(options);
}

void CodeSense::SetLineNumbering(bool on)
{
    EditorOptions options = options_;
    options.lineNumbering = on;
    SetOptions(options);
}

void CodeSense::SetLineNumberStyle(int base)
{
    EditorOptions options = options_;
    options.lineNumberStyle = base;
    SetOptions(options);
}

void CodeSense::SetLineToolTips(bool on)
{
    EditorOptions options = options_;
    options.lineToolTips = on;
    SetOptions(options);
}

void CodeSense::SetColorSyntax(bool on)
{
    EditorOptions options = options_;
    options.colorSyntax = on;
    SetOptions(options);
}

void CodeSense::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

void CodeSense::SetWidth(double twips)
{
    resize(Twips(twips), height());
}

void CodeSense::SetHeight(double twips)
{
    resize(width(), Twips(twips));
}

double CodeSense::Width() const
{
    return PixelsToTwips(width());
}

double CodeSense::Height() const
{
    return PixelsToTwips(height());
}

void CodeSense::keyPressEvent(QKeyEvent *event)
{
    if (keyDown_ && keyDown_(this, event->key(), static_cast<int>(event->modifiers() >> 25))) {
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

bool CodeSense::event(QEvent *event)
{
    const bool handled = QsciScintilla::event(event);
    flushChange();
    return handled;
}

bool CodeSense::viewportEvent(QEvent *event)
{
    const bool handled = QsciScintilla::viewportEvent(event);
    flushChange();
    return handled;
}

void CodeSense::beforeEdit(int position, int type, int length)
{
    if (CodeSenseAccessible *accessible = CodeSenseAccessible::Listening(this))
        accessible->BeforeEdit(type & SC_MOD_BEFOREINSERT, position, length);
    if (silentChanges_ != 0 || changePending_)
        return;
    changePending_ = true;
    // Edits made outside any event of this editor (a dialog's button, a timer) are
    // announced when control returns to the event loop.
    QMetaObject::invokeMethod(this, &CodeSense::flushChange, Qt::QueuedConnection);
}

void CodeSense::emitChange()
{
    if (silentChanges_ != 0)
        return;
    changePending_ = true;
    flushChange();
}

void CodeSense::flushChange()
{
    if (CodeSenseAccessible *accessible = CodeSenseAccessible::Listening(this))
        accessible->EditsDone();
    if (!changePending_ || silentChanges_ != 0)
        return;
    changePending_ = false;
    emit Change(this);
}
