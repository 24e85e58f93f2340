#pragma once
// Answers the editor's own questions from queues and records what was asked.

#include "editing/editorprompts.h"

#include <QQueue>
#include <QStringList>

class FakePrompts final : public EditorPrompts
{
public:
    QQueue<std::optional<QString>> counts; // empty queue: cancelled
    QQueue<std::optional<int>> macroSlots;
    QQueue<std::optional<QColor>> colors;
    QStringList countTexts;          // the text each count prompt started with
    QList<QList<bool>> slotQuestions; // the used slots each chooser showed
    QStringList colorTitles;

    FakePrompts() { SetEditorPrompts(this); }
    ~FakePrompts() override { SetEditorPrompts(nullptr); }
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
};
