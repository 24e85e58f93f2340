#include "languages/scriptinsight.h"

#include "app/appfolder.h"
#include "app/frmMain.h"
#include "app/twips.h"
#include "editor/codesense.h"
#include "languages/scriptparse.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStatusBar>
#include <QToolTip>

namespace {

// Far beyond any script a game executes; checking one would hold several copies of it
// in memory and keep a core busy after every pause in typing.
constexpr qsizetype MaxCheckedBytes = 32 * 1024 * 1024;

// Longer pauses for long documents, so a large file is not rechecked on every key.
int pauseFor(qsizetype length)
{
    return length > 1000000 ? 1500 : 300;
}

int bgr(unsigned rgb)
{
    return int(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'+' || c == u'-';
}

} // namespace

ScriptInsight::ScriptInsight(frmMain *window)
    : QObject(window), window_(window), editor_(window->CodeSense1),
      vocabularies_(std::async(std::launch::async,
                               [jk2 = ApplicationFile(QStringLiteral("vocab/jk2.tsv")),
                                q3 = ApplicationFile(QStringLiteral("vocab/q3.tsv"))] {
                                   return Vocabularies{ScriptVocabulary::load(jk2), ScriptVocabulary::load(q3)};
                               })
                        .share())
{
    setObjectName(QStringLiteral("ScriptInsight"));
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

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("lstProblems"));
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { jumpTo(list_->row(item)); });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { jumpTo(list_->row(item)); });
    dock_ = new QDockWidget(QStringLiteral("Problems"), window);
    dock_->setObjectName(QStringLiteral("dockProblems"));
    dock_->setWidget(list_);
    dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    window->addDockWidget(Qt::BottomDockWidgetArea, dock_);
    // A few rows are enough; the editor keeps most of the window.
    window->resizeDocks({dock_}, {list_->fontMetrics().height() * 5}, Qt::Vertical);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("lblEngine"));
    window->statusBar()->addPermanentWidget(status_);

    if (QMenu *game = window->findChild<QMenu *>(QStringLiteral("mnuGame"))) {
        game->addSeparator();
        auto *group = new QActionGroup(this);
        original_ = game->addAction(QString());
        original_->setObjectName(QStringLiteral("mnuGame_original"));
        continuation_ = game->addAction(QString());
        continuation_->setObjectName(QStringLiteral("mnuGame_continuation"));
        for (QAction *action : {original_, continuation_}) {
            action->setCheckable(true);
            group->addAction(action);
        }
        connect(original_, &QAction::triggered, this, [this] { setEngine(DefaultEngine(jediOutcast())); });
        connect(continuation_, &QAction::triggered, this, [this] {
            setEngine(jediOutcast() ? ScriptEngine::jk2mv : ScriptEngine::ioquake3);
        });
        for (const char *name : {"mnuGame_jk2", "mnuGame_q3"}) {
            if (QAction *item = window->menuItem(QString::fromLatin1(name)))
                connect(item, &QAction::triggered, this, &ScriptInsight::gameChanged);
        }
    }
    if (QMenu *options = window->findChild<QMenu *>(QStringLiteral("mnuOptions"))) {
        QAction *problems = dock_->toggleViewAction();
        problems->setObjectName(QStringLiteral("mnuOptions_problems"));
        problems->setText(QStringLiteral("&Problems"));
        options->addAction(problems);
        colorPreview_ = options->addAction(QStringLiteral("Colour P&review"));
        colorPreview_->setObjectName(QStringLiteral("mnuOptions_colorpreview"));
        colorPreview_->setCheckable(true);
        colorPreview_->setChecked(true);
        connect(colorPreview_, &QAction::toggled, this, &ScriptInsight::applyColors);
    }
    // The panel and the status bar take room from the editor's client area; the editor
    // is kept inside it.
    editor_->installEventFilter(this);
    if (editor_->parentWidget())
        editor_->parentWidget()->installEventFilter(this);
    // An empty document has nothing to check; opening or typing checks it.
    showEngine();
}

bool ScriptInsight::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && editor_->parentWidget()) {
        if (watched == editor_->parentWidget())
            window_->Form_Resize();
        const QSize room = editor_->parentWidget()->size();
        const QSize size = editor_->size();
        // A window too small for any editor keeps the editor's last size, as Form_Resize does.
        const QRect frame = window_->frameGeometry();
        const bool sized = PixelsToTwips(frame.height()) >= 680 && PixelsToTwips(frame.width()) >= 100;
        if (sized && (size.width() > room.width() || size.height() > room.height()))
            editor_->resize(size.boundedTo(room));
    }
    return QObject::eventFilter(watched, event);
}

ScriptInsight::~ScriptInsight()
{
    pool_.waitForDone();
}

bool ScriptInsight::jediOutcast() const
{
    return editor_->Language() != QLatin1String("Q3Script");
}

ScriptEngine ScriptInsight::engine() const
{
    return jediOutcast() ? jk2Engine_ : q3Engine_;
}

const ScriptVocabulary &ScriptInsight::vocabulary() const
{
    const Vocabularies &vocabularies = vocabularies_.get();
    return jediOutcast() ? vocabularies.jk2 : vocabularies.q3;
}

void ScriptInsight::setEngine(ScriptEngine engine)
{
    (IsJediOutcast(engine) ? jk2Engine_ : q3Engine_) = engine;
    gameChanged();
}

void ScriptInsight::gameChanged()
{
    showEngine();
    refreshNow();
}

void ScriptInsight::showEngine()
{
    const bool jk2 = jediOutcast();
    const ScriptEngine current = engine();
    status_->setText(EngineName(current));
    if (original_) {
        original_->setText(QStringLiteral("&Original Release (%1)").arg(EngineName(DefaultEngine(jk2))));
        continuation_->setText(
            QStringLiteral("&Continuation (%1)").arg(EngineName(jk2 ? ScriptEngine::jk2mv : ScriptEngine::ioquake3)));
        (IsOriginalRelease(current) ? original_ : continuation_)->setChecked(true);
    }
}

void ScriptInsight::scheduleRefresh()
{
    ++generation_; // results of older text are dropped
    timer_.start(pauseFor(editor_->length()));
}

// What the worker hands back: everything placed in document byte positions already, so
// showing it is a few calls per finding on the main thread.
struct ScriptInsight::Checked
{
    quint64 generation = 0;
    qsizetype length = 0; // of the document checked, in bytes
    QList<Finding> findings;
    QStringList rows;
    struct Squiggle
    {
        qsizetype begin, end;
        int severity;
    };
    QList<Squiggle> squiggles;
    QList<ColorRange> colors;
};

void ScriptInsight::refreshNow()
{
    timer_.stop();
    const quint64 generation = ++generation_;
    if (editor_->length() > MaxCheckedBytes) {
        Checked notChecked;
        notChecked.generation = generation;
        notChecked.length = editor_->length();
        notChecked.rows << tr("Not checked: the script is larger than %1 MB.").arg(MaxCheckedBytes >> 20);
        apply(notChecked);
        return;
    }
    // A copy of the bytes: converting a large document to a QString here would stall typing.
    const QByteArray utf8 = editor_->TextUtf8();
    const ScriptEngine engine = this->engine();
    pool_.start([this, generation, utf8, engine, vocabularies = vocabularies_, jk2 = jediOutcast()] {
        const ScriptVocabulary &vocabulary = jk2 ? vocabularies.get().jk2 : vocabularies.get().q3;
        Checked checked;
        checked.generation = generation;
        checked.length = utf8.size();
        const QString text = QString::fromUtf8(utf8);
        // One Windows-1252 byte per character, as the file is saved.
        checked.findings = Diagnose(text, engine, vocabulary, text.size());
        const LineIndex lines(text);
        Utf8Positions bytes(text);
        for (const Finding &f : checked.findings) {
            checked.rows << FindingRow(f);
            const qsizetype begin = bytes.at(lines.lineStart(f.line) + f.column);
            const qsizetype end = bytes.at(lines.lineStart(f.line) + f.endColumn);
            checked.squiggles.append({begin, std::max(end, begin + 1), int(f.severity)});
        }
        Utf8Positions colorBytes(text);
        for (const ColorRun &run : ColorRuns(text, engine)) {
            // White and yellow would vanish on the white page; they are drawn a shade darker.
            unsigned rgb = ScriptColorTable()[run.color];
            if (run.color == 7 || run.color == 3 || run.color == 5)
                rgb = ((rgb >> 1) & 0x7F7F7F) | 0x404040;
            checked.colors.append({colorBytes.at(run.begin), colorBytes.at(run.end),
                                   bgr(rgb) | QsciScintillaBase::SC_INDICVALUEBIT});
        }
        QMetaObject::invokeMethod(this, [this, checked] { apply(checked); }, Qt::QueuedConnection);
    });
}

void ScriptInsight::apply(const Checked &checked)
{
    // Also a changed length: an edit whose Change has not been raised yet.
    const int length = editor_->length();
    if (checked.generation != generation_ || checked.length != length)
        return;
    findings_ = checked.findings;
    colorRanges_ = checked.colors;
    for (int indicator : severityIndicator_) {
        editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
        editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0, length);
    }
    for (const Checked::Squiggle &s : checked.squiggles) {
        editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, severityIndicator_[s.severity]);
        editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, s.begin, s.end - s.begin);
    }
    list_->clear();
    list_->addItems(checked.rows);
    applyColors();
    emit refreshed();
}

void ScriptInsight::applyColors()
{
    editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, colorIndicator_);
    editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0, editor_->length());
    if (colorPreview_ && !colorPreview_->isChecked())
        return;
    for (const ColorRange &run : colorRanges_) {
        editor_->SendScintilla(QsciScintillaBase::SCI_SETINDICATORVALUE, run.value);
        editor_->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, run.begin, run.end - run.begin);
    }
}

QString ScriptInsight::hoverText(int position) const
{
    const int line = int(editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position));
    const int column = editor_->ColumnOf(position);
    QStringList parts;
    for (const Finding &f : findings_) {
        if (f.line == line && column >= f.column && column < f.endColumn)
            parts << f.message;
    }
    QString lineText = editor_->GetLine(line);
    const QList<ScriptStatement> statements = ParseScript(lineText, engine());
    for (const ScriptStatement &s : statements) {
        for (int i = 0; i < s.tokens.size(); ++i) {
            const ScriptToken &token = s.tokens[i];
            if (column < token.begin || column >= token.end)
                continue;
            if (i > 0) {
                if (auto mask = DescribeMask(s.tokens[i - 1].text, token.text)) {
                    parts << *mask;
                    continue;
                }
            }
            if (i + 1 < s.tokens.size()) {
                if (auto mask = DescribeMask(token.text, s.tokens[i + 1].text))
                    parts << *mask;
            }
            const QString word = DescribeWord(token.text, engine(), vocabulary());
            if (!word.isEmpty())
                parts << word;
        }
    }
    parts.removeDuplicates();
    return parts.join(u'\n');
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
    if (!isWordChar(QChar(ch)) || editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCACTIVE))
        return;
    const int caret = int(editor_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const int line = int(editor_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret));
    const QString before = editor_->GetLine(line).left(editor_->ColumnOf(caret));
    int start = int(before.size());
    while (start > 0 && isWordChar(before[start - 1]))
        --start;
    const QString prefix = before.mid(start);
    if (prefix.size() < 2)
        return;
    // The word before the prefix in the same command decides what may follow.
    const qsizetype statementStart = std::max(before.lastIndexOf(u';', start - 1), before.lastIndexOf(u'"', start - 1)) + 1;
    const QStringList words = before.mid(statementStart, start - statementStart).split(u' ', Qt::SkipEmptyParts);
    const QString previous = words.isEmpty() ? QString() : words.last().toLower();
    QList<VocabKind> kinds;
    if (words.isEmpty())
        kinds = {VocabKind::Command, VocabKind::Button, VocabKind::Cvar};
    else if (words.size() == 1 && (previous == u"bind" || previous == u"unbind"))
        kinds = {VocabKind::Key};
    else if (words.size() == 1 && (IsSetCommand(previous) || previous == u"reset" || previous == u"toggle"))
        kinds = {VocabKind::Cvar};
    else
        return;
    // Gathered once per engine and kind: gathering and sorting on every key slowed typing.
    QStringList &candidates = candidates_[QStringLiteral("%1:%2").arg(int(engine())).arg(int(kinds.first()))];
    if (candidates.isEmpty()) {
        for (VocabKind kind : kinds)
            candidates << vocabulary().names(kind, engine());
    }
    QStringList matching;
    for (const QString &name : candidates) {
        if (name.startsWith(prefix, Qt::CaseInsensitive) && name.size() > 1)
            matching << name;
    }
    if (matching.isEmpty())
        return;
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETIGNORECASE, 1);
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETORDER, QsciScintillaBase::SC_ORDER_PERFORMSORT);
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSHOW, prefix.toUtf8().size(),
                           matching.join(u' ').toUtf8().constData());
}

void ScriptInsight::jumpTo(int row)
{
    if (row < 0 || row >= findings_.size())
        return;
    const Finding &f = findings_[row];
    editor_->SetCaretPos(f.line, f.column);
    editor_->SetFocus();
}

ScriptInsight *InstallScriptInsight(frmMain *window)
{
    return new ScriptInsight(window);
}
