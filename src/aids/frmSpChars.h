#pragma once
// A picker for the 256 single-byte character codes: pointing at a cell names its code
// in the status bar, clicking it appends a blank and that character to the document.

#include <QList>
#include <QString>
#include <QWidget>

class CodeSense;
class QLabel;
class QPushButton;
class QStatusBar;

class frmSpChars : public QWidget
{
    Q_OBJECT

public:
    // Loaded afresh at every opening and destroyed when closed.
    frmSpChars(CodeSense *editor, QWidget *owner);

    static constexpr int CharacterCount = 256;

    // Left-top corner of the cell for a code, in twips.
    static int CellLeftTwips(int code);
    static int CellTopTwips(int code);
    // What a click appends: a blank and the character of the code, control codes,
    // NUL and the code page's undefined codes included.
    static QString Caption(int code);
    // What the cell shows: the character, or the code in hexadecimal where the character
    // draws nothing (control codes and the code page's undefined codes).
    static QString DisplayText(int code);
    static bool ShownAsHex(int code);

    QString StatusText() const;

    QList<QLabel *> Label1;
    QPushButton *Command1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;

public slots:
    void Form_Load();
    void Label1_MouseMove(int Index);
    void Label1_Click(int Index);
    void Command1_MouseMove();
    void Form_MouseMove();
    void Command1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    CodeSense *editor_;
};

// Brings the window forward when it is open, else loads a fresh one; shown modeless,
// owned by owner.
frmSpChars *ShowSpecialCharacters(CodeSense *editor, QWidget *owner);
