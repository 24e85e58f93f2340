#pragma once
// A backup of unsaved work: the editor's own text (UTF-8, so characters a script file
// cannot hold survive too) behind a short header saying whose work it is. The header
// also carries the text's length and checksum, so a cut-off or damaged copy is recognised
// and never restored in part.

#include "codec/fileio.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <atomic>
#include <optional>

struct BackupHeader
{
    QString path; // empty for an Untitled document
    QString game;
    QString engine;
    QDateTime time;
};

struct Backup
{
    BackupHeader header;
    QByteArray text;
};

// The error WriteBackup returns when `cancel` stopped it.
constexpr int BackupCancelled = -1;

// Writes through the atomic writer a piece at a time. Once `cancel` is set it stops, and
// the earlier backup (if any) stays as it was.
FileError WriteBackup(const QString &file, const BackupHeader &header, QByteArrayView text,
                      const std::atomic_bool *cancel = nullptr);

struct BackupReading
{
    std::optional<Backup> backup;
    QString fault; // why there is none: unreadable, not a backup, cut off or damaged
};
BackupReading ReadBackup(const QString &file);
