#include "recovery/backupfile.h"

#include <QObject>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace {

const QByteArray Signature = QByteArrayLiteral("Tavrel backup 1\n");
constexpr qsizetype PieceBytes = 1 << 20;

// Notices damage, not forgery: eight bytes a step, so a large backup costs its worker
// little beside the write itself.
std::optional<QByteArray> Digest(QByteArrayView text, const std::atomic_bool *cancel)
{
    quint64 sum = 0x9E3779B97F4A7C15ull ^ quint64(text.size());
    const auto mix = [&sum](quint64 word) {
        sum = (sum ^ word) * 0xFF51AFD7ED558CCDull;
        sum ^= sum >> 29;
    };
    qsizetype at = 0;
    while (at + 8 <= text.size()) {
        if ((at & (PieceBytes - 1)) == 0 && cancel && cancel->load())
            return std::nullopt;
        quint64 word;
        std::memcpy(&word, text.data() + at, 8);
        mix(word);
        at += 8;
    }
    quint64 tail = 0;
    if (at < text.size())
        std::memcpy(&tail, text.data() + at, std::size_t(text.size() - at));
    mix(tail);
    return QByteArray::number(sum, 16);
}

QByteArray Field(const char *name, const QString &value)
{
    // Percent-encoded, so a path holding a line break cannot end the header early.
    return QByteArray(name) + ": " + QUrl::toPercentEncoding(value) + '\n';
}

} // namespace

FileError WriteBackup(const QString &file, const BackupHeader &header, QByteArrayView text,
                      const std::atomic_bool *cancel)
{
    const std::optional<QByteArray> digest = Digest(text, cancel);
    if (!digest)
        return {BackupCancelled, {}};
    const QByteArray head = Signature + Field("path", header.path) + Field("game", header.game) +
                            Field("engine", header.engine) +
                            Field("time", header.time.toUTC().toString(Qt::ISODateWithMs)) +
                            Field("length", QString::number(text.size())) + "sum: " + *digest + "\n\n";
    AtomicFileWriter writer(file);
    FileError error = writer.open();
    if (error.ok())
        error = writer.write(head);
    for (qsizetype start = 0; error.ok() && start < text.size(); start += PieceBytes) {
        if (cancel && cancel->load())
            return {BackupCancelled, {}};
        error = writer.write(text.sliced(start, std::min(PieceBytes, text.size() - start)));
    }
    return error.ok() ? writer.commit() : error;
}

BackupReading ReadBackup(const QString &file)
{
    QByteArray bytes;
    const FileError error = ReadFileBytes(file, bytes);
    if (!error.ok())
        return {std::nullopt, error.description};
    const qsizetype end = bytes.indexOf("\n\n");
    if (!bytes.startsWith(Signature) || end < 0)
        return {std::nullopt, QObject::tr("it is not a backup, or its header is cut off")};
    QHash<QByteArray, QString> fields;
    for (const QByteArray &line : bytes.sliced(Signature.size(), end - Signature.size()).split('\n')) {
        const qsizetype colon = line.indexOf(": ");
        if (colon > 0)
            fields.insert(line.left(colon), QUrl::fromPercentEncoding(line.sliced(colon + 2)));
    }
    bool numeric = false;
    const qsizetype length = fields.value("length").toLongLong(&numeric);
    const QByteArrayView text = QByteArrayView(bytes).sliced(end + 2);
    if (!numeric || text.size() != length)
        return {std::nullopt, QObject::tr("it holds %1 bytes of text where its header promises %2")
                                  .arg(text.size())
                                  .arg(fields.value("length"))};
    if (Digest(text, nullptr) != fields.value("sum").toLatin1())
        return {std::nullopt, QObject::tr("its text is damaged (its checksum does not match)")};
    Backup backup{{fields.value("path"), fields.value("game"), fields.value("engine"),
                   QDateTime::fromString(fields.value("time"), Qt::ISODateWithMs)},
                  {}};
    bytes.remove(0, end + 2); // the text without a second copy of it
    backup.text = std::move(bytes);
    return {std::move(backup), {}};
}
