#pragma once
// Test doubles for the platform services: every message box, dialog, clipboard
// access and started program is recorded, and answers come from queues the test fills.

#include "foundation/prompts.h"

#include <QList>
#include <QQueue>
#include <QtTest>

class FakeMessageBoxes final : public MessageBoxes
{
public:
    QList<MessageBoxRequest> shown;
    QQueue<QMessageBox::StandardButton> answers; // empty: the default button, else Ok
    std::function<void(const MessageBoxRequest &)> onShow;

    QMessageBox::StandardButton show(QWidget *, const MessageBoxRequest &request) override
    {
        shown.append(request);
        if (onShow)
            onShow(request);
        if (!answers.isEmpty())
            return answers.dequeue();
        return request.defaultButton != QMessageBox::NoButton ? request.defaultButton : QMessageBox::Ok;
    }
    QStringList texts() const
    {
        QStringList result;
        for (const MessageBoxRequest &request : shown)
            result << request.text;
        return result;
    }
};

class FakeFileDialogs final : public FileDialogs
{
public:
    QList<FileDialogRequest> openRequests, saveRequests;
    QQueue<std::optional<QString>> openAnswers, saveAnswers; // empty queue: cancelled

    std::optional<QString> getOpenFileName(QWidget *, const FileDialogRequest &request) override
    {
        openRequests.append(request);
        return openAnswers.isEmpty() ? std::nullopt : openAnswers.dequeue();
    }
    std::optional<QString> getSaveFileName(QWidget *, const FileDialogRequest &request) override
    {
        saveRequests.append(request);
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
    }
};

class FakeClipboard final : public Clipboard
{
public:
    std::optional<QString> content;
    int writes = 0;
    bool hasText() const override { return content.has_value(); }
    QString text() const override { return content.value_or(QString()); }
    void setText(const QString &text) override
    {
        content = text;
        ++writes;
    }
};

class FakeProcessLauncher final : public ProcessLauncher
{
public:
    QStringList opened;
    bool startDetached(const QString &, const QStringList &) override { return true; }
    bool openWithDefaultApplication(const QString &path) override
    {
        opened.append(path);
        return true;
    }
};

// Answers the editor's own questions from queues and records what was asked.
class FakePrompts final : public Prompts
{
public:
    QQueue<std::optional<QString>> counts; // empty queue: cancelled
    QQueue<std::optional<int>> macroSlots;
    QQueue<std::optional<QColor>> colors;
    QStringList countTexts;          // the text each count prompt started with
    QList<QList<bool>> slotQuestions; // the used slots each chooser showed
    QStringList colorTitles;

    FakePrompts() : saved(services().prompts) { services().prompts = this; }
    ~FakePrompts() override { services().prompts = saved; }
    FakePrompts(const FakePrompts &) = delete;
    FakePrompts &operator=(const FakePrompts &) = delete;

    std::optional<QString> askRepeatCount(QWidget *, const QString &text) override
    {
        countTexts << text;
        return counts.isEmpty() ? std::nullopt : counts.dequeue();
    }
    std::optional<int> chooseMacroSlot(QWidget *, const QList<bool> &used) override
    {
        slotQuestions << used;
        return macroSlots.isEmpty() ? std::nullopt : macroSlots.dequeue();
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &, const QString &title) override
    {
        colorTitles << title;
        return colors.isEmpty() ? std::nullopt : colors.dequeue();
    }

private:
    Prompts *saved;
};

// Installs the fakes for the lifetime of the object and puts the real services back after.
class FakeServices
{
public:
    FakeMessageBoxes messageBoxes;
    FakeFileDialogs fileDialogs;
    FakeClipboard clipboard;
    FakeProcessLauncher processLauncher;

    FakeServices() : saved(services())
    {
        services() = Services{&messageBoxes, &fileDialogs, &clipboard, &processLauncher, saved.prompts};
    }
    ~FakeServices() { services() = saved; }
    FakeServices(const FakeServices &) = delete;
    FakeServices &operator=(const FakeServices &) = delete;

private:
    Services saved;
};
