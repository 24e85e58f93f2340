#include "insight/scriptinsight.h"

#include "editor/codesense.h"

#include <QListWidget>
#include <QToolTip>

namespace {

int bgr(unsigned rgb)
{
    return int(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

} // namespace

ScriptInsight::ScriptInsight(CodeSense *editor, QListWidget *problems,
                             std::shared_future<ScriptVocabularies> vocabularies)
    : editor_(editor), list_(problems), vocabularies_(std::move(vocabularies))
{
    setObjectName(QStringLiteral("ScriptInsight"));
    editor->Attach(this);
    pool_.setMaxThreadCount(1);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ScriptInsight::refreshNow);
    connect(editor_, &CodeSense::Change, this, &ScriptInsight::scheduleRefresh);
    connect(editor_, &CodeSense::DocumentLoaded, this, &ScriptInsight::scheduleRefresh);

    const QsciScintilla::IndicatorStyle styles[4] = {QsciScintilla::SquiggleIndicator, QsciScintilla::SquiggleIndicator,
                                                     QsciScintilla::DotsIndicator, QsciScintilla::DotsIndicator};
    const QColor colors[4] = {QColor(0xD0, 0x00, 0x00), QColor(0xE0, 0x80, 0x00), QColor(0x80, 0x80, 0x80),
                              QColor(0x30, 0x60, 0xD0)};
    for (int i = 0; i < 4; ++i) {
        severityIndicator_[i] = editor_->indicatorDefine(styles[i]);
        editor_->setIndicatorForegroundColor(colors[i], severityIndicator_[i]);
    }
    colorIndicator_ = editor_->indicatorDefine(QsciScintilla::TextColorIndicator);
    editor_->SendScintilla(QsciScintillaBase::SCI_INDICSETFLAGS, colorIndicator_, 1 /* SC_INDICFLAG_VALUEFORE */);

    editor_->SendScintilla(QsciScintillaBase::SCI_SETMOUSEDWELLTIME, 500);
    connect(editor_, &QsciScintillaBase::SCN_DWELLSTART, this, &ScriptInsight::showTip);
    connect(editor_, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    connect(editor_, &QsciScintillaBase::SCN_CHARADDED, this, &ScriptInsight::complete);
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { jumpTo(list_->row(item)); });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { jumpTo(list_->row(item)); });
    // An empty document has nothing to check; opening or typing checks it.
}

ScriptInsight::~ScriptInsight()
{
    pool_.waitForDone();
}

void ScriptInsight::setEngine(ScriptEngine engine)
{
    engine_ = engine;
    refreshNow();
}

void ScriptInsight::setColorPreview(bool on)
{
    colorPreview_ = on;
    applyColors();
}

void ScriptInsight::scheduleRefresh()
{
    ++generation_; // results of older text are dropped
    timer_.start(CheckPause(editor_->length()));
}

void ScriptInsight::refreshNow()
{
    timer_.stop();
    const quint64 generation = ++generation_;
    if (editor_->length() > MaxCheckedBytes) {
        apply(NotChecked(), generation, editor_->length());
        return;
    }
    // A copy of the bytes: converting a large document to a QString here would stall typing.
    const QByteArray utf8 = editor_->TextUtf8();
    pool_.start([this, generation, utf8, engine = engine_, vocabularies = vocabularies_] {
        ScriptAnalysis analysis = AnalyzeScript(utf8, engine, vocabularies.get().of(engine));
        for (ScriptAnalysis::Span &color : analysis.colors)
            color.value = bgr(unsigned(color.value)) | QsciScintillaBase::SC_INDICVALUEBIT;
        QMetaObject::invokeMethod(
            this, [this, analysis, generation, length = utf8.size()] { apply(analysis, generation, length); },
            Qt::QueuedConnection);
    });
}

void ScriptInsight::apply(const ScriptAnalysis &analysis, quint64 generation, qsizetype checkedLength)
{
    // Also a changed length: an edit whose Change has not been raised yet.
    const int length = editor_->length();
    if (generation != generation_ || checkedLength != length)
        return;
    analysis_ = analysis;
    for (int indicator : severityIndicator_) {
        editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
        editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0, length);
    }
    for (const ScriptAnalysis::Span &s : analysis.squiggles) {
        editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, severityIndicator_[s.value]);
        editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, s.begin, s.end - s.begin);
    }
    list_->clear();
    list_->addItems(analysis.rows);
    applyColors();
    emit refreshed();
}

void ScriptInsight::applyColors()
{
    editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, colorIndicator_);
    editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0, editor_->length());
    if (!colorPreview_)
        return;
    for (const ScriptAnalysis::Span &run : analysis_.colors) {
        editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORVALUE, run.value);
        editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, run.begin, run.end - run.begin);
    }
}

QString ScriptInsight::hoverText(int position) const
{
    const int line = int(editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position));
    return HoverText(editor_->GetLine(line), line, editor_->ColumnOf(position), analysis_.findings, engine_,
                     vocabularies_.get().of(engine_));
}

void ScriptInsight::showTip(int position, int x, int y)
{
    if (position < 0)
        return;
    const QString text = hoverText(position);
    if (!text.isEmpty())
        QToolTip::showText(editor_->viewport()->mapToGlobal(QPoint(x, y)), text, editor_);
}

void ScriptInsight::complete(int ch)
{
    if (!ScriptCompletion::IsWordChar(QChar(ch)) || editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE))
        return;
    const int caret = int(editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const int line = int(editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
    const QString before = editor_->GetLine(line).left(editor_->ColumnOf(caret));
    const ScriptCompletion::Result result = completion_.complete(before, engine_, vocabularies_.get().of(engine_));
    if (result.names.isEmpty())
        return;
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETIGNORECASE, 1);
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETORDER, QsciScintillaBase::SC_ORDER_PERFORMSORT);
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSHOW, result.prefix.toUtf8().size(),
                           result.names.join(u' ').toUtf8().constData());
}

void ScriptInsight::jumpTo(int row)
{
    if (row < 0 || row >= analysis_.findings.size())
        return;
    const Finding &f = analysis_.findings[row];
    editor_->SetCaretPos(f.line, f.column);
    editor_->SetFocus();
}
