#pragma once
// Every service that leaves the program (message boxes, file dialogs, the clipboard,
// starting programs, the editor's questions) goes through one of these interfaces, chosen once at start-up.
// Tests install their own implementations and answer or record every call.

#include <QColor>
#include <QList>
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
    // Standard buttons shown under captions of their own ("&Restore" on Yes).
    QList<QPair<QMessageBox::StandardButton, QString>> buttonTexts = {};
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

// The questions the editor's own commands ask.
class Prompts
{
public:
    virtual ~Prompts() = default;
    // The count typed for "repeat the next command", or nothing when cancelled.
    virtual std::optional<QString> askRepeatCount(QWidget *parent, const QString &text) = 0;
    // The slot (0 to 9) that keeps a finished recording, or nothing to discard it.
    // `used` tells which slots already hold a macro.
    virtual std::optional<int> chooseMacroSlot(QWidget *parent, const QList<bool> &used) = 0;
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial, const QString &title) = 0;
};

// The dialogs behind the real prompts, reachable for tests that answer them directly.
class DialogPrompts final : public Prompts
{
public:
    std::optional<QString> askRepeatCount(QWidget *parent, const QString &text) override;
    std::optional<int> chooseMacroSlot(QWidget *parent, const QList<bool> &used) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial, const QString &title) override;
};

struct Services
{
    MessageBoxes *messageBoxes = nullptr;
    FileDialogs *fileDialogs = nullptr;
    Clipboard *clipboard = nullptr;
    ProcessLauncher *processLauncher = nullptr;
    Prompts *prompts = nullptr;
};

// The services in use; the real ones until a test replaces them.
Services &services();
// Shorthand for the common message box: text, title, buttons, icon.
QMessageBox::StandardButton ShowMessage(QWidget *parent, const QString &text, const QString &title,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::Icon icon = QMessageBox::NoIcon,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
