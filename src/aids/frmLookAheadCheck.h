#pragma once
// A modal checklist of named bit flags: pre-checks the flags set in a number and
// hands back the sum of the flags left checked.

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;
struct FlagTable;

class frmLookAheadCheck : public QDialog
{
    Q_OBJECT

public:
    explicit frmLookAheadCheck(QWidget *parent = nullptr);

    void Setup(const QString &pstrType, const QStringList &pstrWords, const QStringList &pstrValues,
               qint32 plngCurrentValue);
    // The sum of the checked items' values as decimal text.
    QString Value() const;
    // Bits of the current value that no item stands for and that are written back all
    // the same; the line under the list that names them shows only when there are some.
    void SetKeptBits(qint32 keptBits);

    QTreeWidget *lvwCheckValues = nullptr;
    QLabel *lblKept = nullptr;
    QPushButton *Command1 = nullptr;

public slots:
    void Command1_Click();
    // There is no cancel: Escape and the close box confirm the check marks as they stand.
    void reject() override;

private:
    // Where the button and the bottom edge sit without the line, once the captions fit.
    int buttonTop_ = 0;
    int formHeight_ = 0;
};

// Shows a fresh checklist for the table, pre-checked from currentValue and centred over
// mainWindow, waits for it and returns the value to write: the checked items' sum
// together with the bits of currentValue that the table does not cover.
QString RunFlagChecklist(QWidget *mainWindow, const FlagTable &table, qint32 currentValue);
