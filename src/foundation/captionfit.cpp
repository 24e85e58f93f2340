#include "foundation/captionfit.h"

#include "foundation/twips.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <optional>

namespace {

constexpr int MinimumClearanceTwips = 60;

// The room a control gives its text and the part of it that shows anything at all (a
// frameless label is only its text, a check box its mark and text), in the control's
// coordinates, and the text's size. A bare text has no frame of its own to keep it apart.
struct Demand
{
    QRect room;
    QSize text;
    QRect ink;
    bool bare = false;
};

std::optional<Demand> TextDemand(const QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        if (label->wordWrap() || !label->pixmap().isNull())
            return std::nullopt;
        const int m = label->margin();
        // An empty label is a status line waiting for its text: it still needs a line.
        const int flags = Qt::TextExpandTabs | (label->buddy() ? Qt::TextShowMnemonic : 0);
        const QSize text = label->text().isEmpty() ? QSize(0, fm.height()) : fm.size(flags, label->text());
        const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
        const bool bare = label->frameWidth() == 0 && !label->autoFillBackground() && !label->text().isEmpty();
        return Demand{room, text,
                      bare ? fm.boundingRect(room, flags | int(label->alignment()), label->text()) : label->rect(),
                      bare};
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(w); button && !button->text().isEmpty()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QStyle *style = button->style();
        QSize text = fm.size(Qt::TextShowMnemonic, button->text());
        if (qobject_cast<const QPushButton *>(button)) {
            // A push button's text keeps off its frame.
            text.rwidth() += style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
            return Demand{style->subElementRect(QStyle::SE_PushButtonContents, &option, button), text, button->rect()};
        }
        const QRect room = style->subElementRect(
            qobject_cast<const QRadioButton *>(button) ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents,
            &option, button);
        return Demand{room, text, QRect(0, 0, room.x() + text.width(), button->height()), true};
    }
    return std::nullopt;
}

int Start(const QRect &r, Qt::Orientation o)
{
    return o == Qt::Horizontal ? r.x() : r.y();
}

int Length(const QRect &r, Qt::Orientation o)
{
    return o == Qt::Horizontal ? r.width() : r.height();
}

int Length(const QSize &s, Qt::Orientation o)
{
    return o == Qt::Horizontal ? s.width() : s.height();
}

// True when a and b share part of the other axis, so one can run into the other along o.
bool InLine(const QRect &a, const QRect &b, Qt::Orientation o)
{
    return o == Qt::Horizontal ? a.top() <= b.bottom() && b.top() <= a.bottom()
                               : a.left() <= b.right() && b.left() <= a.right();
}

void SetSpan(QWidget *w, Qt::Orientation o, int start, int length)
{
    QRect g = w->geometry();
    if (o == Qt::Horizontal)
        g.setRect(start, g.y(), length, g.height());
    else
        g.setRect(g.x(), start, g.width(), length);
    w->setGeometry(g);
}

// Inserts a strip of size at position at: controls beyond it move, controls across it stretch.
void OpenStrip(const QList<QWidget *> &controls, Qt::Orientation o, int at, int size)
{
    for (QWidget *c : controls) {
        const QRect g = c->geometry();
        if (Start(g, o) >= at)
            SetSpan(c, o, Start(g, o) + size, Length(g, o));
        else if (Start(g, o) + Length(g, o) > at)
            SetSpan(c, o, Start(g, o), Length(g, o) + size);
    }
}

// Fits the children of form; returns how much form itself must grow to hold them.
QSize FitChildren(QWidget *form)
{
    // A hidden control moves with the strips, ready to be shown, but is no neighbour yet.
    QList<QWidget *> controls, all;
    for (QObject *child : form->children()) {
        if (auto *w = qobject_cast<QWidget *>(child); w && !w->isWindow()) {
            all << w;
            if (!w->isHidden())
                controls << w;
        }
    }

    // A group box is a form of its own: the size it must reach, its parent makes room for.
    QHash<QWidget *, QSize> boxes;
    for (QWidget *c : std::as_const(controls))
        if (auto *box = qobject_cast<QGroupBox *>(c); box && !box->layout())
            if (const QSize growth = FitChildren(box); !growth.isNull())
                boxes.insert(c, c->size() + growth);
    // Measured as the control stands: an earlier strip may have stretched it.
    const auto demandOf = [&boxes](QWidget *c) -> std::optional<Demand> {
        if (boxes.contains(c))
            return Demand{c->rect(), boxes.value(c), c->rect()};
        return TextDemand(c);
    };
    // Controls whose boxes overlap where neither shows anything are no neighbours.
    const auto inkOf = [&demandOf](QWidget *c) {
        const std::optional<Demand> demand = demandOf(c);
        return demand ? demand->ink.translated(c->pos()) : c->geometry();
    };

    const QRect inside = form->contentsRect();
    QSize growth(0, 0);
    auto *box = qobject_cast<QGroupBox *>(form);
    const QRect title = box && !box->title().isEmpty() ? GroupBoxTitleRect(box) : QRect();
    // Rows first: a box that reaches down over the next row (a tall logo over its tagline)
    // is settled by moving that row down, after which the row is no neighbour in line.
    for (const Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
        int edge = Start(inside, o) + Length(inside, o);
        auto open = [&](int at, int size) {
            OpenStrip(all, o, at, size);
            edge += size;
            (o == Qt::Horizontal ? growth.rwidth() : growth.rheight()) += size;
        };
        // A group box's title keeps its margin on both sides, and no control sits on it.
        if (!title.isNull() && o == Qt::Horizontal && title.right() + 1 + title.x() > form->width())
            open(form->width(), title.right() + 1 + title.x() - form->width());
        if (!title.isNull() && o == Qt::Vertical) {
            int top = edge;
            for (QWidget *c : std::as_const(controls))
                top = std::min(top, c->y());
            if (top <= title.bottom())
                open(top, title.bottom() + 1 - top);
        }
        for (QWidget *c : std::as_const(controls)) {
            const std::optional<Demand> demand = demandOf(c);
            if (!demand)
                continue;
            const QRect g = c->geometry(), ink = demand->ink.translated(g.topLeft());
            const int start = Start(g, o), end = start + Length(g, o);
            const int roomStart = start + Start(demand->room, o);
            const int roomEnd = roomStart + Length(demand->room, o);
            const int text = Length(demand->text, o);
            // The first neighbour ahead, or the form's edge, is as far as the text may reach.
            int free = edge;
            for (QWidget *s : std::as_const(controls))
                if (s != c && Start(s->geometry(), o) > start && InLine(inkOf(s), ink, o))
                    free = std::min(free, Start(s->geometry(), o));
            if (text <= std::min(roomEnd, free) - roomStart) {
                // Centred text would still land under the neighbour: the control stops short
                // of it. A group box keeps its size, which its own controls need.
                if (roomEnd > free && !boxes.contains(c))
                    SetSpan(c, o, start, end - start - (roomEnd - free));
                continue;
            }
            // A growing bare text keeps off the next control sideways (a line of text has
            // room above and below); otherwise neighbours move only as far as it reaches.
            const int gap = o == Qt::Horizontal && demand->bare ? Twips(MinimumClearanceTwips) : 0;
            const int newEnd = end + roomStart + text - roomEnd;
            if (newEnd + gap > free)
                open(free, newEnd + gap - free);
            SetSpan(c, o, start, newEnd - start);
        }
    }
    return growth;
}

} // namespace

void FitCaptions(QWidget *form)
{
    const QSize growth = FitChildren(form);
    if (growth.isNull())
        return;
    const bool fixed = form->minimumSize() == form->maximumSize();
    const QSize size = form->size() + growth;
    if (fixed)
        form->setFixedSize(size);
    else
        form->resize(size);
}

QRect GroupBoxTitleRect(const QGroupBox *box)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isFlat())
        option.features |= QStyleOptionFrame::Flat;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
}
