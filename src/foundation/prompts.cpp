#include "foundation/prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

namespace {

class WidgetMessageBoxes final : public MessageBoxes
{
public:
    QMessageBox::StandardButton show(QWidget *parent, const MessageBoxRequest &r) override
    {
        QMessageBox box(r.icon, r.title, r.text, r.buttons, parent);
        if (r.defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(r.defaultButton);
        for (const auto &[button, text] : r.buttonTexts)
            if (QAbstractButton *shown = box.button(button)) {
                shown->setText(text);
                shown->setIcon(QIcon()); // the standard one belongs to the standard caption
            }
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }
};

class WidgetFileDialogs final : public FileDialogs
{
public:
    std::optional<QString> getOpenFileName(QWidget *parent, const FileDialogRequest &r) override
    {
        return run(parent, r, QFileDialog::AcceptOpen);
    }
    std::optional<QString> getSaveFileName(QWidget *parent, const FileDialogRequest &r) override
    {
        return run(parent, r, QFileDialog::AcceptSave);
    }

private:
    static std::optional<QString> run(QWidget *parent, const FileDialogRequest &r, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent, r.caption, r.initialFolder, r.filter);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setDefaultSuffix(r.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }
};

class SystemClipboard final : public Clipboard
{
public:
    bool hasText() const override { return QApplication::clipboard()->mimeData()->hasText(); }
    QString text() const override { return QApplication::clipboard()->text(); }
    void setText(const QString &text) override { QApplication::clipboard()->setText(text); }
};

class SystemProcessLauncher final : public ProcessLauncher
{
public:
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }
    bool openWithDefaultApplication(const QString &path) override
    {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

} // namespace

Services &services()
{
    static WidgetMessageBoxes messageBoxes;
    static WidgetFileDialogs fileDialogs;
    static SystemClipboard clipboard;
    static SystemProcessLauncher processLauncher;
    static DialogPrompts prompts;
    static Services current{&messageBoxes, &fileDialogs, &clipboard, &processLauncher, &prompts};
    return current;
}

QMessageBox::StandardButton ShowMessage(QWidget *parent, const QString &text, const QString &title,
                                        QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                                        QMessageBox::StandardButton defaultButton)
{
    return services().messageBoxes->show(parent, {text, title, buttons, defaultButton, icon});
}
