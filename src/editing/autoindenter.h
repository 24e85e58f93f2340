#pragma once
// Applies the editor's AutoIndentMode as the user types: after a line break (by the
// previous line or by scope) and, by scope, when a closing "}" or quote is typed first
// on its line.

#include <QChar>
#include <QObject>

class CodeSense;

// One automatic indentation as macros record it: the character typed and the mode
// then in force. Playing it back indents in the new surroundings as typing would.
struct IndentStep
{
    QChar trigger;
    int mode = 0;
    bool operator==(const IndentStep &) const = default;
};

class AutoIndenter : public QObject
{
    Q_OBJECT

public:
    AutoIndenter(CodeSense *editor, QObject *parent);

    // Indents the caret's line as typing step.trigger just before the caret would have.
    void apply(const IndentStep &step);

signals:
    // A typed character was indented for (whether or not the indentation changed).
    void indented(const IndentStep &step);

private:
    void characterAdded(int character);
    bool closerStartsLine(QChar closer) const;

    CodeSense *editor_;
};
