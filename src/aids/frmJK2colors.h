#pragma once
// Inserts a piece of text wrapped in a Jedi Outcast colour code at the editor's caret:
// the colour's code before it, the code for white after it.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

class CodeSense;
class QComboBox;
class QLineEdit;
class QPushButton;

// The colour names in the order the combo box lists them.
QStringList JK2ColorNames();
// The code written before the text ("^1 " for "Red"); nothing for a name outside the
// table, which is matched exactly, case included.
std::optional<QString> JK2ColorPrefix(const QString &name);
// Ends every coloured piece: back to white.
inline const QString JK2ColorSuffix = QStringLiteral(" ^7");

class frmJK2colors : public QWidget
{
    Q_OBJECT

public:
    // owner is the main window, shown again whenever the dialog is closed.
    frmJK2colors(CodeSense *editor, QWidget *owner);

    QLineEdit *Text1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command1 = nullptr;

public slots:
    void Form_Load();
    void Command1_Click();

protected:
    // Closing only hides the dialog, so the chosen colour stays for the next time.
    void closeEvent(QCloseEvent *event) override;

private:
    CodeSense *editor_;
};

// Shows the one dialog of owner, loading it on first use; modeless.
frmJK2colors *ShowJK2Colors(CodeSense *editor, QWidget *owner);
