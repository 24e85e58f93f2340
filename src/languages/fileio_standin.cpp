#include "languages/fileio_standin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// 0x80..0x9F of Windows-1252; the five unassigned bytes keep their C1 code points,
// as Windows itself maps them.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

FileError Failure(const QFile &file) {
    switch (file.error()) {
    case QFileDevice::OpenError:
        if (!QFileInfo::exists(file.fileName())) {
            const bool folderExists = QFileInfo(file.fileName()).absoluteDir().exists();
            return folderExists ? FileError{53, "File not found"} : FileError{76, "Path not found"};
        }
        return {75, "Path/File access error"};
    case QFileDevice::PermissionsError: return {70, "Permission denied"};
    case QFileDevice::ResourceError: return {61, "Disk full"};
    default: return {57, "Device I/O error"};
    }
}
}

namespace cp1252 {
QString decode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray encode(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        char b = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b = char(u);
        } else {
            for (int i = 0; i < 32; ++i)
                if (kHigh[i] == u) b = char(0x80 + i);
        }
        bytes.append(b);
    }
    return bytes;
}
}

FileError ReadFileBytes(const QString &path, QByteArray &bytes) {
    bytes.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Failure(file);
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return Failure(file);
    return {};
}

FileError AppendToFile(const QString &path, QByteArrayView bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return Failure(file);
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) return Failure(file);
    return {};
}
