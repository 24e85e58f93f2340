#include "codec/fileio.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

#include <limits>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

using namespace FileErrors;

namespace {

enum class Purpose { Read, Write };

FileError withDescription(int number, const char *description)
{
    return FileError{number, QString::fromLatin1(description)};
}

// Asks the system to start putting written bytes on the disk now, so that the sync before
// the rename finds most of them there and a large save overlaps encoding with the disk.
void startWriteback([[maybe_unused]] int handle, [[maybe_unused]] qint64 offset, [[maybe_unused]] qint64 length)
{
#ifdef Q_OS_LINUX
    if (handle >= 0)
        ::sync_file_range(handle, offset, length, SYNC_FILE_RANGE_WRITE);
#endif
}

// Exceeding the file-size limit raises SIGXFSZ, whose default action ends the process
// before the write can fail; ignored, the write fails with EFBIG and the save is
// reported like any other. A handler someone else installed is left alone.
void keepFileSizeLimitFromKilling()
{
#ifdef Q_OS_UNIX
    struct sigaction current = {};
    if (sigaction(SIGXFSZ, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO)
        && current.sa_handler == SIG_DFL) {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, nullptr);
    }
#endif
}

FileError fromErrno(int err, Purpose purpose)
{
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return MakeFileError(PermissionDenied);
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return MakeFileError(DiskFull);
    case EFBIG:
        // No separate number for it; the description tells it apart from a full disk.
        return withDescription(DiskFull, "File too large");
    case EIO:
        return MakeFileError(DeviceIOError);
    case EMFILE:
    case ENFILE:
        return MakeFileError(TooManyFiles);
    case ENOENT:
        return MakeFileError(purpose == Purpose::Read ? FileNotFound : PathNotFound);
    case ENOTDIR:
        return MakeFileError(PathNotFound);
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return MakeFileError(PathFileAccessError);
    default:
        return {};
    }
}

// What the path itself tells before it is opened; Qt reports some of these cases
// (a directory, an existing file without write access) without any errno.
FileError probePath(const QString &path, Purpose purpose)
{
    if (path.isEmpty())
        return MakeFileError(PathFileAccessError);
    const QFileInfo info(path);
    if (info.isDir())
        return MakeFileError(PathFileAccessError);
    if (!QFileInfo(info.absolutePath()).isDir())
        return MakeFileError(PathNotFound);
    if (purpose == Purpose::Read && !info.exists())
        return MakeFileError(FileNotFound);
    if (purpose == Purpose::Write && info.exists() && !info.isWritable())
        return MakeFileError(PermissionDenied);
    return {};
}

FileError failure(int err, QFileDevice::FileError qtError, Purpose purpose, int fallback)
{
    if (FileError e = fromErrno(err, purpose); !e.ok())
        return e;
    switch (qtError) {
    case QFileDevice::PermissionsError:
        return MakeFileError(PermissionDenied);
    case QFileDevice::ResourceError:
        return MakeFileError(TooManyFiles);
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::FatalError:
        return MakeFileError(DeviceIOError);
    default:
        return MakeFileError(fallback);
    }
}

qint64 openableLimitForTesting = -1;

// Free memory plus what the system can reclaim at once (its caches), in bytes.
qint64 availableMemory()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : meminfo.readAll().split('\n')) {
            if (line.startsWith("MemAvailable:")) {
                bool ok = false;
                const qint64 kib = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
                if (ok)
                    return kib * 1024;
            }
        }
    }
#if defined(Q_OS_UNIX) && defined(_SC_AVPHYS_PAGES)
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return qint64(pages) * pageSize;
#endif
    return -1;
}
} // namespace

qint64 OpenableFileSizeLimit()
{
    if (openableLimitForTesting >= 0)
        return openableLimitForTesting;
    const qint64 available = availableMemory();
    return available < 0 ? std::numeric_limits<qint64>::max() : available / 6;
}

void SetOpenableFileSizeLimitForTesting(qint64 limit)
{
    openableLimitForTesting = limit;
}

FileError MakeFileError(int number)
{
    switch (number) {
    case 0:
        return {};
    case OutOfMemory:
        return withDescription(number, "Out of memory");
    case FileNotFound:
        return withDescription(number, "File not found");
    case DeviceIOError:
        return withDescription(number, "Device I/O error");
    case DiskFull:
        return withDescription(number, "Disk full");
    case TooManyFiles:
        return withDescription(number, "Too many files");
    case PermissionDenied:
        return withDescription(number, "Permission denied");
    case PathFileAccessError:
        return withDescription(number, "Path/File access error");
    case PathNotFound:
        return withDescription(number, "Path not found");
    default:
        return withDescription(number, "Application-defined or object-defined error");
    }
}

QString FormatFileError(const FileError &error)
{
    return QStringLiteral("Error #") + FormatFileErrorPlain(error);
}

QString FormatFileErrorPlain(const FileError &error)
{
    return QString::number(error.number) + QStringLiteral("\r\n") + error.description;
}

namespace {

FileError openForReading(QFile &file)
{
    if (FileError e = probePath(file.fileName(), Purpose::Read); !e.ok())
        return e;
    errno = 0;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(errno, file.error(), Purpose::Read, PathFileAccessError);
    return {};
}

} // namespace

FileError ReadFileBytes(const QString &path, QByteArray &out, const ReadProgress &progress)
{
    out.clear();
    QFile file(path);
    if (FileError e = openForReading(file); !e.ok())
        return e;
    QByteArray bytes;
    const qint64 size = file.size();
    if (progress && !file.isSequential() && size > 0) {
        bytes.resize(size);
        constexpr qint64 piece = 16 << 20;
        qint64 done = 0;
        while (done < size) {
            errno = 0;
            const qint64 n = file.read(bytes.data() + done, std::min(piece, size - done));
            if (n <= 0)
                break; // an error is reported below; a file that shrank meanwhile ends here
            done += n;
            progress(done, size);
        }
        bytes.truncate(done);
    }
    errno = 0;
    bytes += file.readAll(); // all of it, or whatever the file grew by meanwhile
    if (file.error() != QFileDevice::NoError)
        return failure(errno, file.error(), Purpose::Read, DeviceIOError);
    out = std::move(bytes);
    return {};
}

FileError ReadFilePieces(const QString &path, qsizetype pieceBytes, const PieceConsumer &consume)
{
    QFile file(path);
    if (FileError e = openForReading(file); !e.ok())
        return e;
    const qint64 size = file.size();
    QByteArray piece(pieceBytes, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        errno = 0;
        const qint64 n = file.read(piece.data(), pieceBytes);
        if (n < 0)
            return failure(errno, file.error(), Purpose::Read, DeviceIOError);
        if (n == 0)
            return {};
        done += n;
        if (!consume(QByteArrayView(piece.constData(), n), done, std::max(size, done)))
            return {};
    }
}

AtomicFileWriter::AtomicFileWriter(const QString &path) : file_(std::make_unique<QSaveFile>(path)) {}

// QSaveFile removes its temporary file when dropped uncommitted.
AtomicFileWriter::~AtomicFileWriter() = default;

FileError AtomicFileWriter::open()
{
    keepFileSizeLimitFromKilling();
    if (FileError e = probePath(file_->fileName(), Purpose::Write); !e.ok())
        return e;
    // QSaveFile writes a temporary file beside the target and renames it over the
    // target only at commit. Unbuffered, so that a failed write is seen at once.
    errno = 0;
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(errno, file_->error(), Purpose::Write, PathFileAccessError);
    return {};
}

FileError AtomicFileWriter::write(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        errno = 0;
        const qint64 written = file_->write(data, left);
        if (written <= 0) {
            const int err = errno;
            const QFileDevice::FileError qtError = file_->error();
            file_->cancelWriting();
            return failure(err, qtError, Purpose::Write, DeviceIOError);
        }
        data += written;
        left -= written;
    }
    startWriteback(file_->handle(), written_, bytes.size());
    written_ += bytes.size();
    return {};
}

FileError AtomicFileWriter::commit()
{
    errno = 0;
    if (!file_->commit())
        return failure(errno, file_->error(), Purpose::Write, DeviceIOError);
    return {};
}

FileError WriteFileAtomically(const QString &path, QByteArrayView bytes)
{
    AtomicFileWriter writer(path);
    if (FileError e = writer.open(); !e.ok())
        return e;
    if (FileError e = writer.write(bytes); !e.ok())
        return e;
    return writer.commit();
}

FileError AppendToFile(const QString &path, QByteArrayView bytes)
{
    keepFileSizeLimitFromKilling();
    if (FileError e = probePath(path, Purpose::Write); !e.ok())
        return e;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return failure(errno, file.error(), Purpose::Write, PathFileAccessError);
    const qint64 sizeBefore = file.size();
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        errno = 0;
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            const int err = errno;
            const QFileDevice::FileError qtError = file.error();
            if (!file.isSequential())
                file.resize(sizeBefore);
            return failure(err, qtError, Purpose::Write, DeviceIOError);
        }
        data += written;
        left -= written;
    }
    errno = 0;
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failure(errno, file.error(), Purpose::Write, DeviceIOError);
    return {};
}
