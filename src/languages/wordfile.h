#pragma once
// The word and command files of the pf folder: one entry per line, Windows-1252.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "languages/fileio_standin.h"

// A line ends at CR LF, CR or LF (CR LF counts once); the last line needs no
// terminator and a final terminator adds no empty line. Lines are kept as they are.
QStringList SplitLines(QByteArrayView fileBytes);

// Reads the file's lines. After a failure part way, lines holds the complete lines
// read before it.
FileError ReadLines(const QString &path, QStringList &lines);

// The highlighter's word list: every line followed by one LF.
QString WordListText(const QStringList &lines);

// Appends entry + CR LF in Windows-1252, creating the file when missing. An unterminated
// last line is continued, never rewritten.
FileError AppendEntry(const QString &path, const QString &entry);
