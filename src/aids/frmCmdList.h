#pragma once
// The command list: the current game's console commands, one per line of its command
// file, sent into the editor by double-click (bare) or Enter (with a blank either side).
// Closing only hides it, so the list and its selection last for the whole run.

#include "codec/fileio.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class CodeSense;
class QLabel;
class QListWidget;

class frmCmdList : public QWidget
{
    Q_OBJECT

public:
    // Owned by the main window; every send goes to editor.
    explicit frmCmdList(CodeSense *editor, QWidget *parent = nullptr);

    void Clear();
    void AddItem(const QString &item);
    // Adds the file's lines in file order after the items already there (after none when
    // clearFirst). A file that cannot be read adds nothing; the caller reports the error.
    FileError FillFromFile(const QString &path, bool clearFirst);
    // Makes item 0 the selected item, when there is one, and refreshes the status line.
    void SelectFirst();

    QListWidget *list1 = nullptr;
    QLabel *Label1 = nullptr;

public slots:
    void list1_Click();
    void list1_DblClick();
    void list1_KeyPress(int keyAscii);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The selected item's text, or nothing when no item is selected.
    std::optional<QString> selectedText() const;

    QPointer<CodeSense> editor_;
};
