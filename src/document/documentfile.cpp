#include "document/documentfile.h"

#include "codec/cp1252.h"
#include "editor/codesense.h"

#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace {

// Files go in and out a megabyte at a time: a buffer the size of a large document is
// fresh memory, and touching it for the first time costs more than the work on it.
constexpr qsizetype PieceBytes = 1 << 20;

using Sci = QsciScintillaBase;

// Refused before reading, so a file too large for memory never gets the program killed.
FileError CheckOpenableSize(qint64 size)
{
    const qint64 limit = OpenableFileSizeLimit();
    if (size <= limit)
        return {};
    const auto megabytes = [](qint64 bytes) { return QString::number(double(bytes) / (1024 * 1024), 'f', 1); };
    return {FileErrors::OutOfMemory,
            QObject::tr("Out of memory: the file is %1 MB, and the memory still free holds files up to %2 MB. "
                        "Nothing was opened.")
                .arg(megabytes(size), megabytes(limit))};
}

// Read and decoded on a helper thread a few pieces ahead, while the calling thread makes
// the document (touching its memory for the first time is the slow part of a large load)
// and takes in each piece; no copy of the whole file is ever held beside it. keepGoing is
// asked after each piece.
FileError LoadInto(std::optional<LoadingDocument> &document, const QsciScintillaBase *maker, const QString &path,
                   qint64 size, const LoadProgress &progress, const std::function<bool()> &keepGoing)
{
    struct Piece
    {
        QByteArray utf8;
        qint64 done = 0, total = 0;
    };
    constexpr std::size_t Ahead = 2;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Piece> ready;
    bool readerDone = false, stop = false;
    FileError readError;
    std::thread reader([&] {
        const FileError error = ReadFilePieces(path, PieceBytes, [&](QByteArrayView bytes, qint64 done, qint64 total) {
            Piece piece{QByteArray(cp1252::DecodedRoom(bytes.size()), Qt::Uninitialized), done, total};
            piece.utf8.truncate(cp1252::decodeToUtf8(bytes, piece.utf8.data()));
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return stop || ready.size() < Ahead; });
            if (stop)
                return false;
            ready.push_back(std::move(piece));
            changed.notify_all();
            return true;
        });
        const std::lock_guard lock(mutex);
        readError = error;
        readerDone = true;
        changed.notify_all();
    });
    // The first piece tells how much the text grows in UTF-8; room beyond that costs twice,
    // for the text and for its styles, and a file that grows more later only costs a copy.
    qint64 expected = size;
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return readerDone || !ready.empty(); });
        if (!ready.empty() && ready.front().done > 0)
            expected = size * ready.front().utf8.size() / ready.front().done;
    }
    document.emplace(maker, expected + expected / 32);
    bool outOfMemory = false, stopped = false;
    for (;;) {
        Piece piece;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return readerDone || !ready.empty(); });
            if (ready.empty())
                break;
            piece = std::move(ready.front());
            ready.pop_front();
            changed.notify_all();
        }
        if (!document->Append(piece.utf8)) {
            outOfMemory = true;
            break;
        }
        if (progress)
            progress(piece.done, piece.total);
        if (!keepGoing()) {
            stopped = true;
            break;
        }
    }
    {
        const std::lock_guard lock(mutex);
        stop = true;
        changed.notify_all();
    }
    reader.join();
    if (outOfMemory)
        return MakeFileError(FileErrors::OutOfMemory);
    return stopped ? FileError{} : readError;
}

} // namespace

FileError OpenFile(CodeSense *editor, const QString &path, const LoadProgress &progress)
{
    const qint64 size = QFileInfo(path).size();
    if (FileError e = CheckOpenableSize(size); !e.ok())
        return e;
    std::optional<LoadingDocument> document;
    if (FileError e = LoadInto(document, editor->DocumentMaker(), path, size, progress, [] { return true; }); !e.ok())
        return e;
    editor->AdoptLoaded(std::move(*document));
    return {};
}

// What the worker fills in; this object reads it only once the worker is joined.
struct FileLoad::Work
{
    std::atomic<bool> cancelled = false;
    std::optional<LoadingDocument> document;
    FileError error;
};

FileLoad::FileLoad(CodeSense *editor, const QString &path) : editor_(editor), work_(std::make_shared<Work>())
{
    editor->Attach(this);
    const qint64 size = QFileInfo(path).size();
    if (FileError e = CheckOpenableSize(size); !e.ok()) {
        // Heard once the caller has connected, like every other ending.
        QMetaObject::invokeMethod(this, [this, e] { finish(e); }, Qt::QueuedConnection);
        return;
    }
    thread_ = std::thread([this, work = work_, maker = editor->DocumentMaker(), path, size] {
        const auto report = [this](qint64 done, qint64 total) {
            QMetaObject::invokeMethod(this, [this, done, total] { emit Progress(done, total); },
                                      Qt::QueuedConnection);
        };
        work->error = LoadInto(work->document, maker, path, size, report, [&work] { return !work->cancelled; });
        if (!work->cancelled)
            QMetaObject::invokeMethod(this, [this] { finish(work_->error); }, Qt::QueuedConnection);
    });
}

FileLoad::~FileLoad()
{
    Cancel();
}

void FileLoad::Cancel()
{
    work_->cancelled = true;
    done_ = true;
    if (thread_.joinable())
        thread_.join();
    work_->document.reset(); // the memory goes back now, not with this object
}

void FileLoad::finish(const FileError &error)
{
    if (done_)
        return;
    if (thread_.joinable())
        thread_.join();
    done_ = true;
    if (error.ok())
        editor_->AdoptLoaded(std::move(*work_->document));
    work_->document.reset();
    emit Finished(error);
}

FileError SaveFile(CodeSense *editor, const QString &path)
{
    const auto length = static_cast<qsizetype>(editor->SendScintilla(Sci::SCI_GETLENGTH));
    const auto *data = reinterpret_cast<const char *>(editor->SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
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
            return {UnencodableCharacterError, QObject::tr("The text holds bytes that are not valid characters. Nothing was saved.")};
        if (!encoded.ok) {
            const auto position = static_cast<long>(start + encoded.badUtf8Offset);
            const int line = static_cast<int>(editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, position)) + 1;
            const QString character = QString::fromUcs4(&encoded.badCharacter, 1);
            const QString code = QString::number(static_cast<uint>(encoded.badCharacter), 16).toUpper();
            return {UnencodableCharacterError,
                    QObject::tr("Line %1 holds the character \u201c%2\u201d (U+%3), which a Windows-1252 script file "
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
        editor->SendScintilla(Sci::SCI_SETSAVEPOINT);
    return error;
}
