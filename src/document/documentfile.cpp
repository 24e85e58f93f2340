#include "document/documentfile.h"

#include "codec/cp1252.h"
#include "editor/codesense.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Files go in and out a megabyte at a time: a buffer the size of a large document is
// fresh memory, and touching it for the first time costs more than the work on it.
constexpr qsizetype PieceBytes = 1 << 20;

using Sci = QsciScintillaBase;

} // namespace

FileError OpenFile(CodeSense *editor, const QString &path, const LoadProgress &progress)
{
    // Refused before reading, so a file too large for memory never gets the program killed.
    const qint64 size = QFileInfo(path).size();
    const qint64 limit = OpenableFileSizeLimit();
    if (size > limit) {
        const auto megabytes = [](qint64 bytes) { return QString::number(double(bytes) / (1024 * 1024), 'f', 1); };
        return {FileErrors::OutOfMemory,
                QObject::tr("Out of memory: the file is %1 MB, and the memory still free holds files up to %2 MB. "
                            "Nothing was opened.")
                    .arg(megabytes(size), megabytes(limit))};
    }
    // Reading is the first half of the work reported, decoding into the editor the second.
    ReadProgress reading;
    if (progress)
        reading = [&progress](qint64 done, qint64 total) { progress(done, 2 * total); };
    QByteArray bytes;
    FileError error = ReadFileBytes(path, bytes, reading);
    if (!error.ok())
        return error;
    editor->BeginLoad(bytes.size());
    // Decoded a piece at a time: no second copy of the whole text is made, and the caller
    // may keep the window alive between pieces.
    for (qsizetype start = 0; start < bytes.size(); start += PieceBytes) {
        const QByteArrayView part = QByteArrayView(bytes).sliced(start, std::min(PieceBytes, bytes.size() - start));
        editor->AppendLoaded(cp1252::decodeToUtf8(part));
        if (progress)
            progress(bytes.size() + std::min(start + PieceBytes, bytes.size()), 2 * bytes.size());
    }
    bytes = QByteArray();
    editor->EndLoad();
    return {};
}

FileError SaveFile(CodeSense *editor, const QString &path)
{
    const auto length = static_cast<qsizetype>(editor->SendScintilla(Sci::SCI_GETLENGTH));
    const auto *data = reinterpret_cast<const char *>(editor->SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
    AtomicFileWriter writer(path);
    bool opened = false;
    qsizetype start = 0;
    do {
        qsizetype end = std::min(start + PieceBytes, length);
        while (end < length && end > start && (static_cast<unsigned char>(data[end]) & 0xC0) == 0x80)
            --end; // a character is never cut in two
        if (end == start)
            end = std::min(start + PieceBytes, length);
        const cp1252::EncodeResult encoded = cp1252::encodeFromUtf8(QByteArrayView(data + start, end - start));
        if (encoded.malformed)
            return {UnencodableCharacterError, QObject::tr("The text holds bytes that are not valid characters. Nothing was saved.")};
        if (!encoded.ok) {
            const auto position = static_cast<long>(start + encoded.badUtf8Offset);
            const int line = static_cast<int>(editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, position)) + 1;
            const QString character = QString::fromUcs4(&encoded.badCharacter, 1);
            const QString code = QString::number(static_cast<uint>(encoded.badCharacter), 16).toUpper();
            return {UnencodableCharacterError,
                    QObject::tr("Line %1 holds the character \u201c%2\u201d (U+%3), which a Windows-1252 script file "
                       "cannot hold. Nothing was saved; remove or replace the character and save again.")
                        .arg(line)
                        .arg(character, code.rightJustified(4, QLatin1Char('0')))};
        }
        // Opened after the first piece is known to be savable, so a document that cannot
        // be saved is reported as such before any trouble with the path.
        if (!opened) {
            if (FileError e = writer.open(); !e.ok())
                return e;
            opened = true;
        }
        if (FileError e = writer.write(encoded.bytes); !e.ok())
            return e;
        start = end;
    } while (start < length);
    FileError error = writer.commit();
    if (error.ok())
        editor->SendScintilla(Sci::SCI_SETSAVEPOINT);
    return error;
}
