#pragma once
// Forms keep their fixed twips layout, which was measured for a Windows font. Where the
// platform's font needs more room for a caption (a label, a button's or a group box's
// text), FitCaptions opens the layout up: a strip as wide (or tall) as the text lacks is
// inserted at the first neighbour in the caption's way, every control beyond the strip
// moves along, controls across it stretch, and the form grows by the same amount. Columns
// and rows stay aligned and nothing ends up overlapping. A form that fits is left alone.

class QGroupBox;
class QRect;
class QWidget;

// Fits the hand-placed controls of form, group boxes included; a fixed-size form stays
// fixed at its new size. Growing only, so it can run again after a caption changes.
void FitCaptions(QWidget *form);

// Where the style draws a group box's title, in the box's coordinates.
QRect GroupBoxTitleRect(const QGroupBox *box);
