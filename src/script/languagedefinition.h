#pragma once
#include <QString>
#include <QtGlobal>

// The rules of one highlighting language, as registered with the editor under a name.
struct LanguageDefinition {
    bool CaseSensitive = true;
    QString Keywords;          // entries separated by LF
    QString Operators;         // entries separated by LF
    QString LineComment;       // runs to the end of the line
    QString StringDelimiters;  // each character opens a string closed by the same character
    QString Terminator;        // each character separates statements
    qint32 Style = 0;
};
