#pragma once
// Undoes or redoes a chosen number of editing steps at once. One dialog serves both
// directions; its caption says which one runs.

#include <QWidget>

class CodeSense;
class QComboBox;
class QLabel;
class QPushButton;

class frmUndo : public QWidget
{
    Q_OBJECT

public:
    frmUndo(QWidget *owner, CodeSense *editor);

    // What the Edit menu items do: re-label the dialog (loading it first when needed)
    // and show it beside the owner.
    static frmUndo *Open(QWidget *owner, CodeSense *editor, bool redo);

    QLabel *Label1;
    QLabel *Label2;
    QComboBox *Combo1;
    QPushButton *Command2;
    QPushButton *Command1;

public slots:
    void Form_Load();
    void Command2_Click();
    void Command1_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void RunUndoRedo(CodeSense *editor);

    CodeSense *editor_;
};
