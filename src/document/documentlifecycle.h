#pragma once
// The edited document's life: new, open, save, save as, and the question before the
// program closes over unsaved changes. Every question and error goes through the prompt
// seam; the window only shows the caption it is handed.

#include "document/documentstate.h"

#include <QObject>
#include <QPointer>

class CodeSense;
class FileLoad;
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
    // A large file loads in the background: the window goes on, the document stays as it
    // was (and read-only) until the file is in, and CancelLoad keeps it. Now: the file is
    // in when this returns, for a caller that goes on with it at once.
    enum class Loading { Background, Now };
    void OpenFile(const QString &path, Loading loading = Loading::Background);
    void CancelLoad();
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
    // A background load: its start, each step (work done of 1000), and its end, whatever it was.
    void LoadStarted(const QString &fileName);
    void LoadAdvanced(int permille);
    void LoadEnded();

private:
    void textChanged();
    bool saveTo(const QString &path);
    void showFileError(int number, const QString &description);

    CodeSense *editor_;
    DocumentState &state_;
    QWidget *window_;
    QPointer<FileLoad> load_;
    bool wasReadOnly_ = false;
};
