#pragma once
// Keeps a backup of unsaved work: a few seconds after the last change the document's
// text is copied off the editor a piece at a time between events, and written on a
// worker thread, so typing never waits for it. The backup goes once the work is safe
// (saved) or given up (New, Open, or leaving without saving).

#include "recovery/backupfile.h"
#include "recovery/recoveryfolder.h"

#include <QByteArray>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>

class CodeSense;
class DocumentLifecycle;
struct DocumentState;

class DocumentBackup : public QObject
{
    Q_OBJECT

public:
    // `state` belongs to the window and outlives this object.
    DocumentBackup(CodeSense *editor, const DocumentState &state, DocumentLifecycle *lifecycle,
                   QString folder = RecoveryFolder::DefaultLocation());
    ~DocumentBackup() override;

    // The game and engine written into each backup's header.
    void setDescription(std::function<std::pair<QString, QString>()> gameAndEngine);
    // Time from the last change to the backup.
    void setDelay(int milliseconds) { idle_.setInterval(milliseconds); }
    RecoveryFolder &folder() { return folder_; }
    QString file() const { return folder_.backupFile(); }

    // Removes the backup, waiting for a write under way to stop first.
    void discard();

signals:
    void written();
    // Raised once: backups cannot be written, the editor goes on without them.
    void unavailable(const QString &message);

private:
    void documentChanged();
    void startCopy();
    void copyPiece();
    void abortCopy();
    void startWrite();
    void writeFinished(const FileError &error);
    void fail(const QString &reason);

    CodeSense *editor_;
    const DocumentState &state_;
    RecoveryFolder folder_;
    std::function<std::pair<QString, QString>()> gameAndEngine_;
    QTimer idle_;
    QTimer step_;
    QByteArray copy_; // the text as last copied off the editor
    qsizetype copied_ = 0;
    bool editedDuringCopy_ = false;
    bool writing_ = false;
    bool againAfterWrite_ = false;
    bool reported_ = false;
    std::atomic_bool cancel_{false};
    // Its own single thread: a backup waits for no other work and never overlaps the last.
    QThreadPool pool_;
};
