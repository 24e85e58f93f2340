#include "languages/wordfile.h"

namespace {
// Offset just past the last line terminator in bytes (0 when there is none).
qsizetype EndOfLastCompleteLine(QByteArrayView bytes) {
    for (qsizetype i = bytes.size(); i > 0; --i)
        if (bytes[i - 1] == '\r' || bytes[i - 1] == '\n') return i;
    return 0;
}
}

QStringList SplitLines(QByteArrayView fileBytes) {
    QStringList lines;
    const qsizetype size = fileBytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = fileBytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.append(cp1252::decode(fileBytes.sliced(start, i - start)));
        if (c == '\r' && i + 1 < size && fileBytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.append(cp1252::decode(fileBytes.sliced(start)));
    return lines;
}

FileError ReadLines(const QString &path, QStringList &lines) {
    QByteArray bytes;
    const FileError error = ReadFileBytes(path, bytes);
    if (!error.ok()) {
        // A line cut off by the failure is not a line of the file.
        lines = SplitLines(QByteArrayView(bytes).first(EndOfLastCompleteLine(bytes)));
        return error;
    }
    lines = SplitLines(bytes);
    return error;
}

QString WordListText(const QStringList &lines) {
    QString text;
    qsizetype size = 0;
    for (const QString &line : lines) size += line.size() + 1;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

FileError AppendEntry(const QString &path, const QString &entry) {
    return AppendToFile(path, cp1252::encode(entry) + "\r\n");
}
