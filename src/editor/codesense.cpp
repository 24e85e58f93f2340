#include "editor/codesense.h"

#include "app/twips.h"
#include "editing/editorfeatures.h"
#include "editor/codesenseaccessible.h"
#include "editor/consolefont.h"
#include "editor/cp1252.h"
#include "languages/scriptlexer.h"

#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>

#include <algorithm>

namespace {

// Files go in and out a megabyte at a time: a buffer the size of a large document is
// fresh memory, and touching it for the first time costs more than the work on it.
constexpr qsizetype PieceBytes = 1 << 20;

QHash<QString, LanguageDefinition> &registeredLanguages()
{
    static QHash<QString, LanguageDefinition> languages;
    return languages;
}

} // namespace

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
    features_ = std::make_unique<EditorFeatures>(this);
}

// The features go first: they listen to the editor and must not hear it being torn down.
CodeSense::~CodeSense()
{
    features_.reset();
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

FileError CodeSense::OpenFile(const QString &path, const LoadProgress &progress)
{
    // Refused before reading, so a file too large for memory never gets the program killed.
    const qint64 size = QFileInfo(path).size();
    const qint64 limit = OpenableFileSizeLimit();
    if (size > limit) {
        const auto megabytes = [](qint64 bytes) { return QString::number(double(bytes) / (1024 * 1024), 'f', 1); };
        return {FileErrors::OutOfMemory,
                tr("Out of memory: the file is %1 MB, and the memory still free holds files up to %2 MB. "
                   "Nothing was opened.")
                    .arg(megabytes(size), megabytes(limit))};
    }
    // Reading is the first half of the work reported, decoding into the editor the second.
    ReadProgress reading;
    if (progress)
        reading = [&progress](qint64 done, qint64 total) { progress(done, 2 * total); };
    QByteArray bytes;
    FileError error = ReadFileBytes(path, bytes, reading);
    if (!error.ok())
        return error;
    // Loading is not an edit: no Change event, and nothing to undo. With modification
    // notifications off, QScintilla also skips copying the whole old and new text into
    // QStrings for its accessibility events, which costs more than the load itself.
    ++silentChanges_;
    const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
    SendScintilla(SCI_SETMODEVENTMASK, 0);
    SendScintilla(SCI_SETUNDOCOLLECTION, false);
    SendScintilla(SCI_CLEARALL);
    // Room for the text and some typing: otherwise the first key after loading a large
    // file reallocates and copies the whole text.
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(bytes.size() + bytes.size() / 8 + 65536));
    // Decoded a piece at a time: no second copy of the whole text is made, and the caller
    // may keep the window alive between pieces.
    for (qsizetype start = 0; start < bytes.size(); start += PieceBytes) {
        const QByteArrayView part = QByteArrayView(bytes).sliced(start, std::min(PieceBytes, bytes.size() - start));
        const QByteArray utf8 = cp1252::decodeToUtf8(part);
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.constData());
        if (progress)
            progress(bytes.size() + std::min(start + PieceBytes, bytes.size()), 2 * bytes.size());
    }
    bytes = QByteArray();
    // Scintilla keeps the text and its styles in two gap buffers, filled at their ends by
    // the load. An edit that changes nothing moves both gaps to the start, where the caret
    // is: otherwise the first key typed there copies the whole document, twice.
    SendScintilla(SCI_INSERTTEXT, 0UL, " ");
    SendScintilla(SCI_DELETERANGE, 0UL, 1L);
    SendScintilla(SCI_SETUNDOCOLLECTION, true);
    SendScintilla(SCI_SETMODEVENTMASK, eventMask);
    --silentChanges_;
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    // Not SCI_GOTOPOS: placing the caret by scrolling to it lays out the whole first line,
    // which for a file that is one long line takes as long as measuring every character.
    SendScintilla(SCI_SETEMPTYSELECTION, 0);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0);
    SendScintilla(SCI_SETXOFFSET, 0);
    emit DocumentLoaded(this);
    return {};
}

FileError CodeSense::SaveFile(const QString &path, bool)
{
    const auto length = static_cast<qsizetype>(SendScintilla(SCI_GETLENGTH));
    const auto *data = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    AtomicFileWriter writer(path);
    bool opened = false;
    qsizetype start = 0;
    do {
        qsizetype end = std::min(start + PieceBytes, length);
        while (end < length && end > start && (static_cast<unsigned char>(data[end]) & 0xC0) == 0x80)
            --end; // a character is never cut in two
        if (end == start)
            end = std::min(start + PieceBytes, length);
        const cp1252::EncodeResult encoded = cp1252::encodeFromUtf8(QByteArrayView(data + start, end - start));
        if (encoded.malformed)
            return {UnencodableCharacterError, tr("The text holds bytes that are not valid characters. Nothing was saved.")};
        if (!encoded.ok) {
            const auto position = static_cast<long>(start + encoded.badUtf8Offset);
            const int line = static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, position)) + 1;
            const QString character = QString::fromUcs4(&encoded.badCharacter, 1);
            const QString code = QString::number(static_cast<uint>(encoded.badCharacter), 16).toUpper();
            return {UnencodableCharacterError,
                    tr("Line %1 holds the character \u201c%2\u201d (U+%3), which a Windows-1252 script file "
                       "cannot hold. Nothing was saved; remove or replace the character and save again.")
                        .arg(line)
                        .arg(character, code.rightJustified(4, QLatin1Char('0')))};
        }
        // Opened after the first piece is known to be savable, so a document that cannot
        // be saved is reported as such before any trouble with the path.
        if (!opened) {
            if (FileError e = writer.open(); !e.ok())
                return e;
            opened = true;
        }
        if (FileError e = writer.write(encoded.bytes); !e.ok())
            return e;
        start = end;
    } while (start < length);
    FileError error = writer.commit();
    if (error.ok())
        SendScintilla(SCI_SETSAVEPOINT);
    return error;
}

void CodeSense::RegisterLanguage(const QString &name, const LanguageDefinition &definition)
{
    registeredLanguages().insert(name, definition);
}

bool CodeSense::IsLanguageRegistered(const QString &name)
{
    return registeredLanguages().contains(name);
}

bool CodeSense::SetLanguage(const QString &name)
{
    if (!registeredLanguages().contains(name))
        return false;
    language_ = name;
    applyLexer();
    return true;
}

void CodeSense::applyLexer()
{
    if (language_.isEmpty())
        return;
    // Every editor gets a lexer of its own for the registered definition; the font
    // chosen for the editor stays in force.
    const QFont font = lexer_ ? lexer_->QsciLexer::defaultFont() : this->font();
    auto *lexer = new ScriptLexer(language_, registeredLanguages().value(language_), this);
    lexer->setDefaultFont(font);
    setLexer(lexer);
    lexer->setColorSyntax(colorSyntax_);
    delete lexer_;
    lexer_ = lexer;
    features_->LexerChanged();
}

QString CodeSense::SelText() const
{
    return selectedText();
}

void CodeSense::SetSelText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
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
    if (features_->FilterCommand(id))
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

void CodeSense::SetAutoIndentMode(int mode)
{
    autoIndentMode_ = mode;
}

void CodeSense::SetLineNumbering(bool on)
{
    lineNumbering_ = on;
    features_->LineNumbersChanged();
}

void CodeSense::SetLineNumberStyle(int base)
{
    lineNumberStyle_ = base;
    features_->LineNumbersChanged();
}

void CodeSense::SetLineToolTips(bool on)
{
    lineToolTips_ = on;
    features_->LineToolTipsChanged();
}

void CodeSense::SetColorSyntax(bool on)
{
    colorSyntax_ = on;
    if (lexer_)
        lexer_->setColorSyntax(on);
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
