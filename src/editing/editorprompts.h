#pragma once
// The questions the editor's own commands ask the user. Tests install their own
// answers; the program uses the dialogs below.

#include <QColor>
#include <QList>
#include <QString>
#include <optional>

class QWidget;

class EditorPrompts
{
public:
    virtual ~EditorPrompts() = default;
    // The count typed for "repeat the next command", or nothing when cancelled.
    virtual std::optional<QString> askRepeatCount(QWidget *parent, const QString &text) = 0;
    // The slot (0 to 9) that keeps a finished recording, or nothing to discard it.
    // `used` tells which slots already hold a macro.
    virtual std::optional<int> chooseMacroSlot(QWidget *parent, const QList<bool> &used) = 0;
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial, const QString &title) = 0;
};

// The prompts in use: the dialogs until SetEditorPrompts replaces them (nullptr restores them).
EditorPrompts &editorPrompts();
void SetEditorPrompts(EditorPrompts *prompts);

// The dialogs behind the default prompts, reachable for tests that answer them directly.
class DialogPrompts final : public EditorPrompts
{
public:
    std::optional<QString> askRepeatCount(QWidget *parent, const QString &text) override;
    std::optional<int> chooseMacroSlot(QWidget *parent, const QList<bool> &used) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial, const QString &title) override;
};
