#include "document/documentlifecycle.h"

#include "document/documentfile.h"
#include "editor/codesense.h"
#include "foundation/appfolder.h"
#include "foundation/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace {

const QString FileFilter = QStringLiteral("Configuration files (.cfg)|*.cfg|All files (*.*)|*.*");

// Save As starts in the current file's folder, or in the shipped examples of a portable
// copy. An installed copy's shipped folder is read-only, so there it starts in the user's
// data folder instead.
QString SaveAsFolder(const QString &filePath)
{
    const QString shipped = QDir::cleanPath(ApplicationFolder());
    const bool installed = shipped != QDir::cleanPath(WritableFolder());
    if (!filePath.isEmpty()) {
        const QString folder = QFileInfo(filePath).absolutePath();
        const bool inShipped = folder == shipped || folder.startsWith(shipped + QLatin1Char('/'));
        if (!(installed && inShipped) && QFileInfo(folder).isWritable())
            return folder;
    }
    return installed ? WritableFolder() : ApplicationFile(QStringLiteral("cfgs"));
}

} // namespace

DocumentLifecycle::DocumentLifecycle(CodeSense *editor, DocumentState &state, QWidget *window)
    : QObject(window), editor_(editor), state_(state), window_(window)
{
    connect(editor, &CodeSense::Change, this, &DocumentLifecycle::textChanged);
}

void DocumentLifecycle::textChanged()
{
    state_.TextChanged(editor_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == 0);
    emit CaptionChanged(state_.Caption);
}

void DocumentLifecycle::showFileError(int number, const QString &description)
{
    ShowMessage(window_, QStringLiteral("Error #%1\r\n%2").arg(number).arg(description), ProgramTitle);
}

void DocumentLifecycle::New()
{
    editor_->SetText(QString());
    state_.NewDocument();
    emit CaptionChanged(state_.Caption);
}

void DocumentLifecycle::Open(const QString &folder)
{
    const FileDialogRequest request{tr("Open"), folder, QtFileFilter(FileFilter), QString(), false};
    const std::optional<QString> path = services().fileDialogs->getOpenFileName(window_, request);
    if (path)
        OpenFile(*path);
}

void DocumentLifecycle::OpenFile(const QString &path)
{
    // A file that takes long to load shows how far it has come, and the window keeps
    // painting meanwhile; the dialog is modal, so nothing can be edited half loaded.
    const QFileInfo file(path);
    QProgressDialog progress(tr("Opening %1...").arg(file.fileName()), QString(), 0, 1000, window_);
    progress.setObjectName(QStringLiteral("dlgOpening"));
    progress.setWindowTitle(window_->windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setValue(0);
    // A very large file shows it at once, and the window is painted before the read.
    if (file.size() > 64 * 1024 * 1024) {
        progress.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    const FileError error = ::OpenFile(editor_, path, [&](qint64 done, qint64 total) {
        progress.setValue(static_cast<int>(done * 1000 / total));
    });
    progress.reset();
    if (!error.ok()) {
        showFileError(error.number, error.description);
        return;
    }
    state_.Opened(path);
    emit CaptionChanged(state_.Caption);
}

bool DocumentLifecycle::saveTo(const QString &path)
{
    const FileError error = SaveFile(editor_, path);
    if (!error.ok()) {
        showFileError(error.number, error.description);
        return false;
    }
    state_.Saved(path);
    emit CaptionChanged(state_.Caption);
    if (state_.QuitAfterSave)
        emit SavedBeforeQuit();
    return true;
}

void DocumentLifecycle::Save()
{
    if (!state_.HasFile()) {
        SaveAs();
        return;
    }
    saveTo(state_.FilePath);
}

void DocumentLifecycle::SaveAs()
{
    const FileDialogRequest request{tr("Save As"), SaveAsFolder(state_.HasFile() ? state_.FilePath : QString()),
                                    QtFileFilter(FileFilter), QStringLiteral("cfg"), true};
    const std::optional<QString> path = services().fileDialogs->getSaveFileName(window_, request);
    if (path)
        saveTo(*path);
}

DocumentLifecycle::CloseAnswer DocumentLifecycle::AskBeforeClose()
{
    if (!state_.Modified || !state_.TitleShowsChanges())
        return CloseAnswer::Close;
    const auto answer = ShowMessage(window_,
                                    QStringLiteral("The text in ") + state_.FileTitle +
                                        QStringLiteral(" file has changed.\r\n\r\nDo you want to save the changes?"),
                                    ProgramTitle, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                    QMessageBox::NoIcon, QMessageBox::Yes);
    state_.SaveAnswer = static_cast<qint16>(answer);
    switch (answer) {
    case QMessageBox::Yes:
        state_.QuitAfterSave = true;
        Save();
        return CloseAnswer::Stay;
    case QMessageBox::No:
        return CloseAnswer::Close;
    default:
        return CloseAnswer::Stay;
    }
}
