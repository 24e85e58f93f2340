#include "document/documentbackup.h"

#include "document/documentlifecycle.h"
#include "document/documentstate.h"
#include "editor/codesense.h"

#include <QFile>

#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

// A piece copied per event-loop turn. The first copy into the buffer also faults its
// pages in, which on a small VM costs about 4 ms a megabyte; later copies take a tenth.
constexpr qsizetype PieceBytes = 512 << 10;
constexpr int DefaultDelayMs = 3000;

} // namespace

DocumentBackup::DocumentBackup(CodeSense *editor, const DocumentState &state, DocumentLifecycle *lifecycle,
                               QString folder)
    : QObject(lifecycle), editor_(editor), state_(state), folder_(std::move(folder))
{
    pool_.setMaxThreadCount(1);
    idle_.setSingleShot(true);
    idle_.setInterval(DefaultDelayMs);
    connect(&idle_, &QTimer::timeout, this, &DocumentBackup::startCopy);
    step_.setInterval(0);
    connect(&step_, &QTimer::timeout, this, &DocumentBackup::copyPiece);
    // The caption follows every change of the document's state, after the state itself.
    connect(lifecycle, &DocumentLifecycle::CaptionChanged, this, &DocumentBackup::documentChanged);
    // Scintilla reports each edit as it happens; a copy under way must not mix two texts.
    connect(editor, &Sci::SCN_MODIFIED, this, [this](int, int type) {
        if (type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT))
            editedDuringCopy_ = true;
    });
    connect(editor, &CodeSense::DocumentLoaded, this, &DocumentBackup::abortCopy);
}

DocumentBackup::~DocumentBackup()
{
    cancel_ = true;
    pool_.waitForDone();
}

void DocumentBackup::setDescription(std::function<std::pair<QString, QString>()> gameAndEngine)
{
    gameAndEngine_ = std::move(gameAndEngine);
}

void DocumentBackup::documentChanged()
{
    // Unsaved work is what the close question would ask about.
    if (state_.Modified && state_.TitleShowsChanges()) {
        abortCopy();
        idle_.start();
    } else {
        discard();
    }
}

void DocumentBackup::discard()
{
    idle_.stop();
    abortCopy();
    againAfterWrite_ = false;
    cancel_ = true;
    pool_.waitForDone();
    cancel_ = false;
    copy_ = QByteArray();
    QFile::remove(file());
}

void DocumentBackup::abortCopy()
{
    step_.stop();
}

void DocumentBackup::startCopy()
{
    if (writing_) {
        againAfterWrite_ = true;
        return;
    }
    if (!folder_.claim()) {
        fail(tr("the folder %1 cannot be written").arg(folder_.location()));
        return;
    }
    const auto length = static_cast<qsizetype>(editor_->SendScintilla(Sci::SCI_GETLENGTH));
    // Kept from one backup to the next: a large fresh buffer costs a page fault per 4 KB
    // on the main thread, and giving it back blocks that thread's faults meanwhile. Left
    // uninitialised, its pages are first touched piece by piece.
    if (copy_.capacity() < length) {
        copy_ = QByteArray();
        copy_.reserve(length + length / 8 + 65536);
    }
    copy_.resize(length);
    copied_ = 0;
    editedDuringCopy_ = false;
    step_.start();
    copyPiece();
}

void DocumentBackup::copyPiece()
{
    const auto length = static_cast<qsizetype>(editor_->SendScintilla(Sci::SCI_GETLENGTH));
    if (editedDuringCopy_ || length != copy_.size()) {
        // The next change has started the delay again.
        abortCopy();
        return;
    }
    // A piece never spans the gap in Scintilla's buffer: asking for one that does would
    // move the gap, and the next key typed would move it back, copying text both times.
    const auto gap = static_cast<qsizetype>(editor_->SendScintilla(Sci::SCI_GETGAPPOSITION));
    qsizetype end = std::min(copied_ + PieceBytes, length);
    if (copied_ < gap && gap < end)
        end = gap;
    const auto *data = reinterpret_cast<const char *>(
        editor_->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(copied_), static_cast<long>(end - copied_)));
    std::copy(data, data + (end - copied_), copy_.data() + copied_);
    copied_ = end;
    if (copied_ == length) {
        step_.stop();
        startWrite();
    }
}

void DocumentBackup::startWrite()
{
    const auto [game, engine] = gameAndEngine_ ? gameAndEngine_() : std::pair<QString, QString>();
    const BackupHeader header{state_.HasFile() ? state_.FilePath : QString(), game, engine,
                              QDateTime::currentDateTimeUtc()};
    writing_ = true;
    // The copy is not touched again until the write has finished (or discard waited for it).
    pool_.start([this, header, text = QByteArrayView(copy_), file = file()] {
        const FileError error = WriteBackup(file, header, text, &cancel_);
        QMetaObject::invokeMethod(this, [this, error] { writeFinished(error); }, Qt::QueuedConnection);
    });
}

void DocumentBackup::writeFinished(const FileError &error)
{
    writing_ = false;
    if (error.number == BackupCancelled) {
        // Discarded meanwhile; nothing more to do.
    } else if (!error.ok()) {
        fail(error.description);
    } else {
        emit written();
    }
    if (std::exchange(againAfterWrite_, false))
        startCopy();
}

void DocumentBackup::fail(const QString &reason)
{
    if (std::exchange(reported_, true))
        return;
    emit unavailable(tr("Backups of unsaved work are off: %1.").arg(reason));
}
