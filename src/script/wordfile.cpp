#include "script/wordfile.h"

#include "codec/cp1252.h"

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
    lines = error.ok() ? SplitLines(bytes) : QStringList();
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

FileError EncodeEntry(const QString &entry, QByteArray &bytes) {
    const cp1252::EncodeResult encoded = cp1252::encode(entry);
    bytes.clear();
    if (encoded.malformed)
        return {UnencodableEntryError, QStringLiteral("The entry is not valid text.")};
    if (!encoded.ok) {
        const QString code = QString::number(static_cast<uint>(encoded.badCharacter), 16).toUpper();
        return {UnencodableEntryError,
                QStringLiteral("The entry holds the character \u201c%1\u201d (U+%2), which a Windows-1252 "
                               "word file cannot hold.")
                    .arg(QString::fromUcs4(&encoded.badCharacter, 1), code.rightJustified(4, QLatin1Char('0')))};
    }
    bytes = encoded.bytes + "\r\n";
    return {};
}

FileError AppendEntry(const QString &path, const QString &entry) {
    QByteArray bytes;
    if (FileError error = EncodeEntry(entry, bytes); !error.ok())
        return error;
    return AppendToFile(path, bytes);
}
