#pragma once
// Line numbers in base 2, 8, 10 or 16 in the editor's first margin, and the tooltip
// that names the top line while the vertical scroll bar is dragged.
//
// Only the lines on screen carry numbers: margin text for every line of a large
// document would cost about a second per million lines on each change.

#include <QObject>
#include <QString>
#include <vector>

class CodeSense;

class LineNumberMargin : public QObject
{
    Q_OBJECT

public:
    LineNumberMargin(CodeSense *editor, QObject *parent);

    // The editor's numbering options changed: renumber from scratch.
    void optionsChanged();
    // Numbers the lines now on screen; cheap enough to run on every update.
    void refresh();
    // The text of the scroll tooltip for the line now at the top.
    QString topLineTip() const;

private:
    void clearNumbers();
    void updateWidth();
    void showScrollTip();

    CodeSense *editor_;
    std::vector<int> numbered_;
    int widthDigits_ = 0;
    int widthBase_ = 0;
};
