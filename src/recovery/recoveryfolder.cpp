#include "recovery/recoveryfolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>

namespace {

const QString BackupSuffix = QStringLiteral(".backup");
const QString LockSuffix = QStringLiteral(".lock");

// The process id alone would be reused by a later program, which would then write over
// a backup still waiting to be offered; the start time and a count keep names apart.
QString UniqueId()
{
    static std::atomic_int count{0};
    return QStringLiteral("%1-%2-%3")
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch(), 0, 36)
        .arg(count++);
}

std::shared_ptr<QLockFile> MakeLock(const QString &path)
{
    auto lock = std::make_shared<QLockFile>(path);
    // Stale only when its process has ended, never because it is old.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

QString RecoveryFolder::DefaultLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tavrel/recovery");
}

RecoveryFolder::RecoveryFolder(QString location) : location_(std::move(location)), id_(UniqueId()) {}

RecoveryFolder::~RecoveryFolder() = default;

QString RecoveryFolder::backupFile() const
{
    return location_ + QLatin1Char('/') + id_ + BackupSuffix;
}

bool RecoveryFolder::claim()
{
    if (lock_ && lock_->isLocked())
        return true;
    if (!QDir().mkpath(location_))
        return false;
    lock_ = std::unique_ptr<QLockFile>(new QLockFile(location_ + QLatin1Char('/') + id_ + LockSuffix));
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

std::vector<RecoveryFolder::Orphan> RecoveryFolder::orphans() const
{
    std::vector<Orphan> result;
    const QFileInfoList backups =
        QDir(location_).entryInfoList({QLatin1Char('*') + BackupSuffix}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &backup : backups) {
        const QString id = backup.completeBaseName();
        if (id == id_)
            continue;
        std::shared_ptr<QLockFile> lock = MakeLock(location_ + QLatin1Char('/') + id + LockSuffix);
        if (lock->tryLock(0))
            result.push_back({backup.absoluteFilePath(), std::move(lock)});
    }
    // A program killed while it had nothing unsaved leaves only its lock: taken and let go,
    // a stale one is removed.
    for (const QFileInfo &lock : QDir(location_).entryInfoList({QLatin1Char('*') + LockSuffix}, QDir::Files)) {
        if (lock.completeBaseName() != id_ && !QFileInfo::exists(lock.path() + QLatin1Char('/') + lock.completeBaseName() + BackupSuffix))
            MakeLock(lock.absoluteFilePath())->tryLock(0);
    }
    return result;
}

bool RecoveryFolder::adopt(Orphan &orphan)
{
    if (!claim())
        return false;
    QFile::remove(backupFile());
    return QFile::rename(orphan.file, backupFile());
}
