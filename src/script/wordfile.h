#pragma once
// The word and command files of the pf folder: one entry per line, Windows-1252.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "codec/fileio.h"

// A line ends at CR LF, CR or LF (CR LF counts once); the last line needs no
// terminator and a final terminator adds no empty line. Lines are kept as they are.
QStringList SplitLines(QByteArrayView fileBytes);

// Reads the file's lines. The file is read whole, so after a failure no line has been
// read and lines is empty.
FileError ReadLines(const QString &path, QStringList &lines);

// The highlighter's word list: every line followed by one LF.
QString WordListText(const QStringList &lines);

// Error number of an entry refused because Windows-1252 cannot hold one of its
// characters (the editor refuses such a save with the same number).
constexpr int UnencodableEntryError = 1252;

// The entry + CR LF in Windows-1252, or UnencodableEntryError naming the character the
// code page cannot hold.
FileError EncodeEntry(const QString &entry, QByteArray &bytes);

// Appends entry + CR LF in Windows-1252, creating the file when missing. An unterminated
// last line is continued, never rewritten. An entry the code page cannot hold is not
// written at all rather than written garbled.
FileError AppendEntry(const QString &path, const QString &entry);
