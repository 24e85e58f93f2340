#pragma once
// Editor text with its caret and selection written into it: "|" marks the caret, "[" the
// anchor of a selection ("say [old|" has "old" selected forwards). Columns count characters.

#include "editor/codesense.h"

#include <QPoint>

// Sets the text and the selection; without "[" the selection is empty at the caret.
inline void Place(CodeSense &editor, const QString &marked)
{
    QString text;
    QPoint at, caret, anchor(-1, -1); // (line, column)
    for (const QChar c : marked) {
        if (c == u'|' || c == u'[') {
            (c == u'|' ? caret : anchor) = at;
            continue;
        }
        text += c;
        at = c == u'\n' ? QPoint(at.x() + 1, 0) : QPoint(at.x(), at.y() + 1);
    }
    if (anchor.x() < 0)
        anchor = caret;
    editor.SetText(text);
    editor.SetSel({anchor.x(), anchor.y(), caret.x(), caret.y()}, true);
}

// The editor's text marked as Place takes it.
inline QString Marked(const CodeSense &editor)
{
    const EditorRange range = editor.GetSel(false);
    QStringList lines = editor.Text().split(u'\n');
    const auto offset = [&](int line, int column) {
        qsizetype at = column;
        for (int i = 0; i < line; ++i)
            at += lines[i].size() + 1;
        return at;
    };
    QString text = lines.join(u'\n');
    const qsizetype caret = offset(range.EndLineNo, range.EndColNo);
    const qsizetype anchor = offset(range.StartLineNo, range.StartColNo);
    if (anchor != caret)
        text.insert(std::max(anchor, caret), anchor > caret ? u'[' : u'|');
    text.insert(std::min(anchor, caret), anchor < caret ? u'[' : u'|');
    return text;
}
