#pragma once
// The program's file access: whole-file reads, saves that never leave a half-written
// file, and appends to the word files. Failures carry the numbers and descriptions the
// user sees in the "Error #" message boxes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

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

// Largest file the editor takes in: it holds a file's text about six times over at once
// (the bytes read, their UTF-8 form, the editor's copy, its styles and line index), so a
// sixth of the memory still available. Larger files are refused before any byte is read.
qint64 OpenableFileSizeLimit();
// Tests lower the limit; a negative value returns to the measured one.
void SetOpenableFileSizeLimitForTesting(qint64 limit);

// The whole file as it is on disk; out is emptied on failure.
FileError ReadFileBytes(const QString &path, QByteArray &out);

// Replaces the file only once every byte is safely written: on any failure the previous
// file is left as it was and no temporary file remains beside it.
FileError WriteFileAtomically(const QString &path, QByteArrayView bytes);

// Adds the bytes at the end, creating the file when missing; a failed append is rolled
// back so the file keeps its earlier content.
FileError AppendToFile(const QString &path, QByteArrayView bytes);
