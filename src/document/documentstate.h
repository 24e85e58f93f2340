#pragma once
// The edited document's identity and modified state, and the title bar that shows them.

#include "foundation/program.h"

#include <QString>
#include <QtGlobal>

inline const QString UntitledName = QStringLiteral("Untitled.cfg");

struct DocumentState
{
    QString FileTitle;
    QString FilePath;
    bool Modified = false;
    bool QuitAfterSave = false;
    qint16 SaveAnswer = 0;
    QString Caption = ProgramTitle + QStringLiteral(" - ") + UntitledName;

    // The text changed; `textEmpty` tells whether the document is now empty.
    void TextChanged(bool textEmpty);
    void NewDocument();
    // After a successful open or save under `path`.
    void Opened(const QString &path);
    void Saved(const QString &path);
    // The close prompt is offered only when the title shows the change marker.
    bool TitleShowsChanges() const;
    bool HasFile() const { return !FileTitle.isEmpty() && !FilePath.isEmpty(); }
};

// Plain concatenation of window placement arithmetic, in twips: the editor's size for
// a main window of the given outer size; a negative result means "leave it as it is".
struct EditorSize
{
    float width;
    float height;
};
EditorSize EditorSizeForWindow(float outerWidth, float outerHeight);

// Turns a "description|pattern|description|pattern" filter into Qt's "a (*.x);;b (*)".
QString QtFileFilter(const QString &pipeFilter);
