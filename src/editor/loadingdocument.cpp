// Documents filled away from the editor that shows them, and how the editor takes one in.
#include "editor/codesense.h"

#include <mutex>

// Scintilla's loader interface (its ILexer.h, which QScintilla does not ship), under its
// own name so that the sanitizers see the same type: a new document, shown by no editor,
// that takes text at its end.
class ILoader
{
public:
    virtual int Release() = 0;
    virtual int AddData(const char *data, std::ptrdiff_t length) = 0;
    virtual void *ConvertToDocument() = 0;
};

LoadingDocument::LoadingDocument(const QsciScintillaBase *maker, qsizetype expectedBytes)
{
    // Room for some typing too: otherwise the first key after loading a large file
    // reallocates and copies the whole text.
    const auto room = static_cast<unsigned long>(expectedBytes + 65536);
    static std::mutex making; // the maker's view state is reset by each call
    const std::lock_guard lock(making);
    loader_ = reinterpret_cast<ILoader *>(maker->SendScintilla(QsciScintillaBase::SCI_CREATELOADER, room, 0L));
}

LoadingDocument &LoadingDocument::operator=(LoadingDocument &&other) noexcept
{
    if (this != &other) {
        if (loader_)
            loader_->Release();
        loader_ = std::exchange(other.loader_, nullptr);
    }
    return *this;
}

LoadingDocument::~LoadingDocument()
{
    if (loader_)
        loader_->Release();
}

bool LoadingDocument::Append(QByteArrayView utf8)
{
    return loader_ && loader_->AddData(utf8.data(), utf8.size()) == 0;
}

const QsciScintillaBase *CodeSense::DocumentMaker()
{
    // Scintilla's loader message also resets how the editor asked shows its own lines: the
    // shown document would scroll no further than its first line, and a worker thread
    // asking would race the painting. A hidden editor of its own answers instead.
    if (!documentMaker_) {
        documentMaker_ = std::make_unique<QsciScintillaBase>();
        documentMaker_->setObjectName(QStringLiteral("documentMaker"));
    }
    return documentMaker_.get();
}

void CodeSense::AdoptLoaded(LoadingDocument &&document)
{
    if (!document.loader_)
        return;
    void *loaded = std::exchange(document.loader_, nullptr)->ConvertToDocument();
    // What belongs to the document, not the view, goes over to the new one. QScintilla's
    // own record of the document (document(), setDocument()) is left behind: nothing
    // here uses it, and the modified mark it keeps follows the save point below.
    const long tabWidth = SendScintilla(SCI_GETTABWIDTH), indent = SendScintilla(SCI_GETINDENT);
    const long useTabs = SendScintilla(SCI_GETUSETABS), eolMode = SendScintilla(SCI_GETEOLMODE);
    const long charIndex = SendScintilla(SCI_GETLINECHARACTERINDEX);
    // With modification notifications off, QScintilla also skips copying the whole old and
    // new text into QStrings for its accessibility events, which costs more than the load.
    ++silentChanges_;
    const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
    SendScintilla(SCI_SETMODEVENTMASK, 0);
    SendScintilla(SCI_SETDOCPOINTER, 0UL, loaded);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, loaded); // the editor holds it now
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    SendScintilla(SCI_SETTABWIDTH, tabWidth);
    SendScintilla(SCI_SETINDENT, indent);
    SendScintilla(SCI_SETUSETABS, useTabs);
    SendScintilla(SCI_SETEOLMODE, eolMode);
    if (charIndex != SC_LINECHARACTERINDEX_NONE)
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, charIndex);
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
    moveGapTowardStart();
    emit DocumentLoaded(this);
}

// Scintilla keeps the text and its styles in two gap buffers, which a load leaves at their
// ends; the first key typed at the start would move both across the whole document, a
// third of a second at a gigabyte. An edit that changes nothing moves them instead, a slice
// per turn of the event loop, until they are at the start or the user's first edit has put
// them where the typing goes on.
void CodeSense::moveGapTowardStart()
{
    constexpr long Slice = 8 << 20;
    const long gap = SendScintilla(SCI_GETGAPPOSITION);
    if (gap <= 0 || SendScintilla(SCI_CANUNDO) || SendScintilla(SCI_GETREADONLY))
        return;
    // At a character's start and never between CR and LF, so no line is split even briefly.
    const long to = gap > Slice ? SendScintilla(SCI_POSITIONBEFORE, gap - Slice + 1) : 0;
    ++silentChanges_;
    const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
    const long collecting = SendScintilla(SCI_GETUNDOCOLLECTION);
    SendScintilla(SCI_SETMODEVENTMASK, 0);
    SendScintilla(SCI_SETUNDOCOLLECTION, false);
    SendScintilla(SCI_INSERTTEXT, static_cast<unsigned long>(to), " ");
    SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(to), 1L);
    SendScintilla(SCI_SETUNDOCOLLECTION, collecting);
    SendScintilla(SCI_SETMODEVENTMASK, eventMask);
    --silentChanges_;
    if (to > 0)
        gapWalk_.start();
}
