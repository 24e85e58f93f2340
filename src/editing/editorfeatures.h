#pragma once
// The editor component's own commands and behaviours beyond plain editing: line
// numbers and scroll tips, automatic indentation, find and replace, repeating the next
// command, macros and the properties dialog. Attached to an editor, which then owns it.

#include "editing/findreplace.h"
#include "editing/propertiesdialog.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <optional>

class AutoIndenter;
class CodeSense;
class LineNumberMargin;
class MacroRecorder;
class RepeatCommand;

class EditorFeatures : public QObject
{
    Q_OBJECT

public:
    explicit EditorFeatures(CodeSense *editor);
    ~EditorFeatures() override;

    LineNumberMargin *margin() const { return margin_; }
    AutoIndenter *indenter() const { return indenter_; }
    MacroRecorder *macros() const { return macros_; }
    RepeatCommand *repeat() const { return repeat_; }
    // Shows what is going on (a recording, a pending repeat) over the editor's corner.
    QLabel *statusBadge() const { return badge_; }

    void showFindReplace();
    void findNext();
    FindReplaceDialog *findDialog() const { return findDialog_; }
    const std::optional<FindOptions> &lastSearch() const { return lastSearch_; }

    void showProperties();
    EditorAppearance appearance() const { return appearance_; }
    void setAppearance(const EditorAppearance &appearance);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateBadge();

    CodeSense *editor_;
    LineNumberMargin *margin_;
    AutoIndenter *indenter_;
    MacroRecorder *macros_;
    RepeatCommand *repeat_;
    QPointer<QLabel> badge_;
    QPointer<FindReplaceDialog> findDialog_;
    std::optional<FindOptions> lastSearch_;
    EditorAppearance appearance_;
};
