#pragma once
// The editor's find and replace: searches over the document's bytes with Scintilla's
// target search, and the modeless dialog that drives them.

#include <QDialog>
#include <QString>
#include <functional>

class CodeSense;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

struct FindOptions
{
    QString text;
    QString replacement;
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
    bool wrapAround = true;
    bool forward = true;
};

enum class FindResult { Found, NotFound, BadPattern };

// Selects the next match after the selection (or before it, searching up), wrapping
// round the document when asked to.
FindResult FindNextMatch(CodeSense *editor, const FindOptions &options);
// Replaces the selection when it is a match, then selects the next match.
FindResult ReplaceMatch(CodeSense *editor, const FindOptions &options);
// Replaces every match in the document as one undo step: the count, or -1 for a
// regular expression that does not compile.
int ReplaceAllMatches(CodeSense *editor, const FindOptions &options);

// Runs a search and tells the user when nothing was found; false then.
bool FindAndReport(CodeSense *editor, const FindOptions &options, QWidget *messageParent);

class FindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    // `searched` hears of every search the dialog runs, so that Find Next can repeat it.
    FindReplaceDialog(CodeSense *editor, QWidget *parent, std::function<void(const FindOptions &)> searched);

    FindOptions options() const;
    void setOptions(const FindOptions &options);

    QLineEdit *findText;
    QLineEdit *replaceText;
    QCheckBox *matchCase;
    QCheckBox *wholeWord;
    QCheckBox *regularExpression;
    QCheckBox *wrapAround;
    QRadioButton *directionUp;
    QRadioButton *directionDown;
    QPushButton *findNextButton;
    QPushButton *replaceButton;
    QPushButton *replaceAllButton;
    QPushButton *closeButton;

public slots:
    void findNext();
    void replace();
    void replaceAll();

private:
    void updateButtons();

    CodeSense *editor_;
    std::function<void(const FindOptions &)> searched_;
};
