#pragma once
// The edited document's life: new, open, save, save as, and the question before the
// program closes over unsaved changes. Every question and error goes through the prompt
// seam; the window only shows the caption it is handed.

#include "document/documentstate.h"

#include <QObject>

class CodeSense;
class QWidget;

class DocumentLifecycle : public QObject
{
    Q_OBJECT

public:
    // `state` belongs to the window and outlives this object.
    DocumentLifecycle(CodeSense *editor, DocumentState &state, QWidget *window);

    void New();
    // Asks for a file, starting in `folder`, and opens it.
    void Open(const QString &folder);
    void OpenFile(const QString &path);
    void Save();
    void SaveAs();

    enum class CloseAnswer { Close, Stay };
    // Asks whether unsaved changes are to be saved first. Stay: the user cancelled, or
    // a save is under way that ends the program once it succeeds.
    CloseAnswer AskBeforeClose();

signals:
    void CaptionChanged(const QString &caption);
    // A save asked for by the close question succeeded: the program may end.
    void SavedBeforeQuit();

private:
    void textChanged();
    bool saveTo(const QString &path);
    void showFileError(int number, const QString &description);

    CodeSense *editor_;
    DocumentState &state_;
    QWidget *window_;
};
