#pragma once
// Plays one of the ten recorded macro slots into the editor.

#include <QWidget>

class CodeSense;
class QCheckBox;
class QPushButton;
class QRadioButton;

class frmPlay : public QWidget
{
    Q_OBJECT

public:
    frmPlay(QWidget *owner, CodeSense *editor);

    // What "Play Macro..." does: show the one dialog (loading it on first use).
    static frmPlay *Open(QWidget *owner, CodeSense *editor);

    QRadioButton *Option1[10];
    QPushButton *Command1;
    QPushButton *Command2;
    QCheckBox *Check1;

    // Every request to unload is refused and the dialog hides instead.
    void Form_QueryUnload(int &Cancel, int UnloadMode);

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void PlaySelectedMacro(CodeSense *editor);

    CodeSense *editor_;
};
