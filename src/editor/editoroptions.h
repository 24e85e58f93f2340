#pragma once
// The editor's display and typing options, as one value the menus and the properties
// dialog share.

struct EditorOptions
{
    int autoIndentMode = 2; // 0 off, 1 by scope, 2 by previous line
    bool lineNumbering = false;
    int lineNumberStyle = 10; // number base: 2, 8, 10 or 16
    bool lineToolTips = true;
    bool colorSyntax = true;
    bool colorPreview = true; // "^" colours drawn by the script checks
    bool operator==(const EditorOptions &) const = default;
};
