#pragma once
// Scripts in and out of the editor: Windows-1252 files, converted byte for byte.

#include "codec/fileio.h"

#include <functional>

class CodeSense;

// Error number of a save refused because the text holds a character the file cannot.
constexpr int UnencodableCharacterError = 1252;

// Replaces the editor's document with the file's text, leaving an empty undo history and
// raising no Change. Large files are read and go in by pieces; progress (work done, work
// in all) hears of each.
using LoadProgress = std::function<void(qint64 done, qint64 total)>;
FileError OpenFile(CodeSense *editor, const QString &path, const LoadProgress &progress = {});
// Writes the document atomically; on failure the file on disk is untouched.
FileError SaveFile(CodeSense *editor, const QString &path);
