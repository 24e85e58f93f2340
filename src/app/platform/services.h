#pragma once
// Every service that leaves the program (message boxes, file dialogs, the clipboard,
// starting programs) goes through one of these interfaces, chosen once at start-up.
// Tests install their own implementations and answer or record every call.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

struct MessageBoxRequest
{
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual QMessageBox::StandardButton show(QWidget *parent, const MessageBoxRequest &request) = 0;
};

struct FileDialogRequest
{
    QString caption;
    QString initialFolder;
    QString filter;           // Qt filter syntax, "Configuration files (*.cfg);;All files (*)"
    QString defaultSuffix;    // without the dot; empty for none
    bool confirmOverwrite = false;
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> getOpenFileName(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual std::optional<QString> getSaveFileName(QWidget *parent, const FileDialogRequest &request) = 0;
};

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual bool hasText() const = 0;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
};

class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    // Starts without waiting; no shell is involved, so arguments are never interpreted.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    // Opens a file in the desktop's default application for its type.
    virtual bool openWithDefaultApplication(const QString &path) = 0;
};

struct Services
{
    MessageBoxes *messageBoxes = nullptr;
    FileDialogs *fileDialogs = nullptr;
    Clipboard *clipboard = nullptr;
    ProcessLauncher *processLauncher = nullptr;
};

// The services in use; the real ones until a test replaces them.
Services &services();
// Shorthand for the common message box: text, title, buttons, icon.
QMessageBox::StandardButton ShowMessage(QWidget *parent, const QString &text, const QString &title,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::Icon icon = QMessageBox::NoIcon,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
