#pragma once
// "Repeat the next command": asks how often, then runs the next key typed into the
// editor, or the next editor command, that many times as one undo step.

#include <QObject>

class CodeSense;

class RepeatCommand : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 MaxCount = 10000;

    RepeatCommand(CodeSense *editor, QObject *parent);

    // Asks for the count; a valid one is kept for the next key or command.
    void prompt();
    qint64 pending() const { return pending_; }
    void cancel();
    // Runs an editor command the pending number of times; false when nothing is pending
    // and the command should run as usual.
    bool runCommand(qint32 id);

signals:
    void pendingChanged(qint64 count);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    qint64 take();

    CodeSense *editor_;
    qint64 pending_ = 0;
};
