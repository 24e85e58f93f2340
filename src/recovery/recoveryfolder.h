#pragma once
// The folder of backups, shared by every running copy of the program. Each copy holds a
// lock file (with its process id) named like its backup; a backup whose lock nobody
// running holds belongs to a copy that ended without saving or discarding its work.

#include <QString>

#include <memory>
#include <vector>

class QLockFile;

class RecoveryFolder
{
public:
    // <user data folder>/Tavrel/recovery
    static QString DefaultLocation();

    explicit RecoveryFolder(QString location = DefaultLocation());
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder &) = delete;
    RecoveryFolder &operator=(const RecoveryFolder &) = delete;

    QString location() const { return location_; }
    // This program's backup.
    QString backupFile() const;
    // Creates the folder and takes this program's lock, once; false while the folder
    // cannot be written.
    bool claim();

    // A backup of a program that is no longer running. Its lock is held by this program
    // for as long as the Orphan lives, so two programs starting together never both
    // offer it.
    struct Orphan
    {
        QString file;
        std::shared_ptr<QLockFile> lock;
    };
    // Oldest first.
    std::vector<Orphan> orphans() const;
    // The orphan becomes this program's backup, protected as its own work is.
    bool adopt(Orphan &orphan);

private:
    QString location_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
};
