#include "document/documentlifecycle.h"

#include "document/documentfile.h"
#include "editor/codesense.h"
#include "foundation/appfolder.h"
#include "foundation/prompts.h"

#include <QDir>
#include <QFileInfo>

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
    CancelLoad();
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

void DocumentLifecycle::OpenFile(const QString &path, Loading loading)
{
    CancelLoad();
    // A file this small is in within a frame; a larger one would freeze the window.
    constexpr qint64 BackgroundBytes = 4 << 20;
    if (loading == Loading::Now || QFileInfo(path).size() < BackgroundBytes) {
        if (const FileError error = ::OpenFile(editor_, path); !error.ok()) {
            showFileError(error.number, error.description);
            return;
        }
        state_.Opened(path);
        emit CaptionChanged(state_.Caption);
        return;
    }
    // Read-only meanwhile: an edit made now would be lost to the file, or kept by a cancel.
    wasReadOnly_ = editor_->isReadOnly();
    editor_->setReadOnly(true);
    load_ = new FileLoad(editor_, path);
    connect(load_, &FileLoad::Progress, this, [this](qint64 done, qint64 total) {
        emit LoadAdvanced(total > 0 ? static_cast<int>(done * 1000 / total) : 1000);
    });
    connect(load_, &FileLoad::Finished, this, [this, path](const FileError &error) {
        load_->deleteLater();
        load_ = nullptr;
        emit LoadEnded();
        if (!error.ok()) {
            editor_->setReadOnly(wasReadOnly_);
            showFileError(error.number, error.description);
            return;
        }
        state_.Opened(path);
        emit CaptionChanged(state_.Caption);
    });
    emit LoadStarted(QFileInfo(path).fileName());
}

void DocumentLifecycle::CancelLoad()
{
    if (!load_)
        return;
    delete load_.data(); // waits for the worker, which stops after its current piece
    editor_->setReadOnly(wasReadOnly_);
    emit LoadEnded();
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
