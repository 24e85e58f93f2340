#pragma once
// Define New Keyword: appends a word to a game's highlighting word file and its command
// form to the game's command file, then reloads the command list from that file.
// Closing only hides the dialog, so its game choice lasts between uses.

#include <QPointer>
#include <QWidget>

class frmCmdList;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmDefNew : public QWidget
{
    Q_OBJECT

public:
    // cmdList is the window refilled after a definition.
    explicit frmDefNew(frmCmdList *cmdList, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

public slots:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<frmCmdList> cmdList_;
};
