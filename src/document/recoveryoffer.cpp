#include "document/recoveryoffer.h"

#include "document/documentbackup.h"
#include "document/documentlifecycle.h"
#include "document/documentstate.h"
#include "editor/codesense.h"
#include "foundation/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("OfferRecovery", text);
}

QString Question(const BackupHeader &header)
{
    const QString name = header.path.isEmpty() ? UntitledName : QDir::toNativeSeparators(header.path);
    QString text = tr("%1 ended without saving the changes to %2.\r\n\r\nA backup of them from %3 is kept.")
                       .arg(ProgramTitle, name, header.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (!header.path.isEmpty()) {
        const QFileInfo file(header.path);
        if (!file.exists())
            text += tr(" The file is no longer there; the text would come back as a new document.");
        else if (file.lastModified() > header.time)
            text += tr(" The file has changed on disk since the backup was taken.");
    }
    return text + tr("\r\n\r\nRestore puts the text back in the editor. Discard deletes the backup. "
                     "Later keeps it for the next start.");
}

} // namespace

void OfferRecovery(DocumentBackup &backup, DocumentLifecycle &lifecycle, const DocumentState &state,
                   CodeSense *editor, QWidget *window, const std::function<void(const BackupHeader &)> &restored)
{
    for (RecoveryFolder::Orphan &orphan : backup.folder().orphans()) {
        BackupReading reading = ReadBackup(orphan.file);
        if (!reading.backup) {
            ShowMessage(window,
                        tr("The backup %1 cannot be restored: %2. It is left where it is.")
                            .arg(QDir::toNativeSeparators(orphan.file), reading.fault),
                        ProgramTitle, QMessageBox::Ok, QMessageBox::Warning);
            continue;
        }
        const BackupHeader &header = reading.backup->header;
        MessageBoxRequest request{Question(header), ProgramTitle,
                                  QMessageBox::Yes | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Yes,
                                  QMessageBox::Question};
        request.buttonTexts = {{QMessageBox::Yes, tr("&Restore")},
                               {QMessageBox::Discard, tr("&Discard")},
                               {QMessageBox::Cancel, tr("&Later")}};
        const QMessageBox::StandardButton answer = services().messageBoxes->show(window, request);
        if (answer == QMessageBox::Discard) {
            QFile::remove(orphan.file);
            continue;
        }
        if (answer != QMessageBox::Yes)
            continue;
        // The file as it is on disk first, so the next Save writes to it and Undo shows
        // what the backup changed.
        if (!header.path.isEmpty() && QFileInfo::exists(header.path))
            lifecycle.OpenFile(header.path, DocumentLifecycle::Loading::Now);
        if (header.path.isEmpty() || state.FilePath != header.path)
            lifecycle.New();
        editor->SetTextUtf8(reading.backup->text);
        backup.folder().adopt(orphan);
        if (restored)
            restored(header);
        return;
    }
}
