#pragma once
// Scripts in and out of the editor: Windows-1252 files, converted byte for byte.

#include "codec/fileio.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class CodeSense;

// Error number of a save refused because the text holds a character the file cannot.
constexpr int UnencodableCharacterError = 1252;

// Replaces the editor's document with the file's text, leaving an empty undo history and
// raising no Change. The file goes in by pieces; progress (bytes read, file size) hears of
// each.
using LoadProgress = std::function<void(qint64 done, qint64 total)>;
FileError OpenFile(CodeSense *editor, const QString &path, const LoadProgress &progress = {});
// Writes the document atomically; on failure the file on disk is untouched.
FileError SaveFile(CodeSense *editor, const QString &path);

// The same load on a worker thread: the editor keeps its document, and the window its
// events, until the whole file is in; then the editor shows it at once. Cancelled or
// failed, the editor's document is left as it was. Belongs to the editor (Attach), which
// must not be destroyed while the worker still asks it for a document.
class FileLoad : public QObject
{
    Q_OBJECT

public:
    FileLoad(CodeSense *editor, const QString &path);
    ~FileLoad() override;
    void Cancel();

signals:
    void Progress(qint64 done, qint64 total);
    // The editor shows the file, or error says why not; never after Cancel.
    void Finished(const FileError &error);

private:
    void finish(const FileError &error);

    CodeSense *editor_;
    struct Work;
    std::shared_ptr<Work> work_;
    std::thread thread_;
    bool done_ = false;
};
