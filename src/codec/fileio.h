#pragma once
// The program's file access: whole-file reads, saves that never leave a half-written
// file, and appends to the word files. Failures carry the numbers and descriptions the
// user sees in the "Error #" message boxes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

class QSaveFile;

struct FileError
{
    int number = 0;
    QString description;
    bool ok() const { return number == 0; }
};

namespace FileErrors {
constexpr int OutOfMemory = 7;
constexpr int FileNotFound = 53;
constexpr int DeviceIOError = 57;
constexpr int DiskFull = 61;
constexpr int TooManyFiles = 67;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
} // namespace FileErrors

// The error with its usual description ("File not found" for 53); 0 gives success.
FileError MakeFileError(int number);

// "Error #53\r\nFile not found"
QString FormatFileError(const FileError &error);
// "53\r\nFile not found"
QString FormatFileErrorPlain(const FileError &error);

// Largest file the editor takes in: a sixth of the memory still available. At its peak
// it holds the bytes read, the editor's UTF-8 copy (up to three bytes a byte), its styles
// and line index, with room to spare. Larger files are refused before any byte is read.
qint64 OpenableFileSizeLimit();
// Tests lower the limit; a negative value returns to the measured one.
void SetOpenableFileSizeLimitForTesting(qint64 limit);

// The whole file as it is on disk; out is emptied on failure. A large file is read in
// pieces when progress (bytes read, file size) wants to hear of each.
using ReadProgress = std::function<void(qint64 done, qint64 total)>;
FileError ReadFileBytes(const QString &path, QByteArray &out, const ReadProgress &progress = {});

// The file a piece at a time, for readers that never hold all of it: consume hears each
// piece with the bytes read so far and the file's size, and stops the read by returning
// false (which is no error).
using PieceConsumer = std::function<bool(QByteArrayView piece, qint64 done, qint64 total)>;
FileError ReadFilePieces(const QString &path, qsizetype pieceBytes, const PieceConsumer &consume);

// Replaces the file only once every byte is safely written: on any failure the previous
// file is left as it was and no temporary file remains beside it.
FileError WriteFileAtomically(const QString &path, QByteArrayView bytes);

// The same, for text handed over piece by piece: nothing reaches the file unless commit
// succeeds, and a writer dropped before commit leaves the previous file as it was.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    FileError open();
    FileError write(QByteArrayView bytes);
    FileError commit();

private:
    std::unique_ptr<QSaveFile> file_;
    qint64 written_ = 0;
};

// Adds the bytes at the end, creating the file when missing; a failed append is rolled
// back so the file keeps its earlier content.
FileError AppendToFile(const QString &path, QByteArrayView bytes);
