#pragma once
// Define New Keyword: appends a word to a game's highlighting word file and its command
// form to the game's command file, then says which command file changed.
// Closing only hides the dialog, so its game choice lasts between uses.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmDefNew : public QWidget
{
    Q_OBJECT

public:
    explicit frmDefNew(QWidget *parent = nullptr);

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

signals:
    // After a definition: the command list shows this file from now on.
    void CommandFileChanged(const QString &commandFile);

protected:
    void closeEvent(QCloseEvent *event) override;
};
