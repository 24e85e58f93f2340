#include "editing/linenumbermargin.h"

#include "editing/linenumbers.h"
#include "editor/codesense.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>
#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

constexpr int NumberMargin = 0;
constexpr int MarginPadding = 8;

} // namespace

LineNumberMargin::LineNumberMargin(CodeSense *editor, QObject *parent) : QObject(parent), editor_(editor)
{
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { refresh(); });
    QScrollBar *bar = editor->verticalScrollBar();
    // The editor scrolls on valueChanged through a connection made before this one,
    // so the first visible line is already the new one here.
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int) {
        if (bar->isSliderDown())
            showScrollTip();
    });
    connect(bar, &QScrollBar::sliderPressed, this, &LineNumberMargin::showScrollTip);
    connect(bar, &QScrollBar::sliderReleased, this, [] { QToolTip::hideText(); });
}

void LineNumberMargin::optionsChanged()
{
    clearNumbers();
    widthDigits_ = 0;
    if (!editor_->LineNumbering()) {
        editor_->setMarginWidth(NumberMargin, 0);
        return;
    }
    editor_->setMarginType(NumberMargin, QsciScintilla::TextMarginRightJustified);
    refresh();
}

void LineNumberMargin::clearNumbers()
{
    const long lines = editor_->SendScintilla(Sci::SCI_GETLINECOUNT);
    for (const int line : numbered_)
        if (line < lines)
            editor_->SendScintilla(Sci::SCI_MARGINSETTEXT, line, 0L);
    numbered_.clear();
}

void LineNumberMargin::refresh()
{
    if (!editor_->LineNumbering())
        return;
    updateWidth();
    const long lines = editor_->SendScintilla(Sci::SCI_GETLINECOUNT);
    const long firstDisplay = editor_->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = editor_->SendScintilla(Sci::SCI_LINESONSCREEN);
    std::vector<int> visible;
    // One more than fits, for the partly shown line at the bottom.
    for (long display = firstDisplay; display <= firstDisplay + onScreen; ++display) {
        const long line = editor_->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, display);
        if (line >= lines)
            break;
        if (visible.empty() || visible.back() != line)
            visible.push_back(static_cast<int>(line));
    }
    for (const int line : numbered_)
        if (line < lines && !std::binary_search(visible.begin(), visible.end(), line))
            editor_->SendScintilla(Sci::SCI_MARGINSETTEXT, line, 0L);
    const int base = editor_->LineNumberStyle();
    for (const int line : visible) {
        const QByteArray text = LineNumberText(line + 1, base).toLatin1();
        editor_->SendScintilla(Sci::SCI_MARGINSETTEXT, line, text.constData());
        editor_->SendScintilla(Sci::SCI_MARGINSETSTYLE, line, Sci::STYLE_LINENUMBER);
    }
    numbered_ = std::move(visible);
}

void LineNumberMargin::updateWidth()
{
    const long lines = editor_->SendScintilla(Sci::SCI_GETLINECOUNT);
    const int base = editor_->LineNumberStyle();
    const int digits = static_cast<int>(LineNumberText(lines, base).size());
    if (digits == widthDigits_ && base == widthBase_)
        return;
    widthDigits_ = digits;
    widthBase_ = base;
    const int digitCount = base == 2 || base == 8 || base == 16 ? base : 10;
    // Whole runs are measured: single characters round off their fractional widths.
    long widest = 0;
    for (const char digit : QByteArray("0123456789ABCDEF").left(digitCount)) {
        const QByteArray run(digits, digit);
        widest = std::max(widest, editor_->SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_LINENUMBER, run.constData()));
    }
    editor_->setMarginWidth(NumberMargin, static_cast<int>(widest) + MarginPadding);
}

QString LineNumberMargin::topLineTip() const
{
    const long display = editor_->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long line = editor_->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, display);
    return tr("Line %1").arg(LineNumberText(line + 1, editor_->LineNumberStyle()));
}

void LineNumberMargin::showScrollTip()
{
    if (!editor_->LineToolTips())
        return;
    QScrollBar *bar = editor_->verticalScrollBar();
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    const QRect handle = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QString tip = topLineTip();
    // Beside the handle, on the text's side, so the tip never hides the handle.
    const QPoint at = bar->mapToGlobal(QPoint(0, handle.center().y()));
    QToolTip::showText(at - QPoint(QFontMetrics(QToolTip::font()).horizontalAdvance(tip) + 24, 0), tip, editor_);
}
