#include "editing/editorfeatures.h"

#include "editing/autoindenter.h"
#include "editing/linenumbermargin.h"
#include "editing/macros.h"
#include "editing/repeatcommand.h"
#include "editor/codesense.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

EditorFeatures::EditorFeatures(CodeSense *editor)
    : editor_(editor),
      margin_(new LineNumberMargin(editor, this)),
      indenter_(new AutoIndenter(editor, this)),
      macros_(new MacroRecorder(editor, indenter_, this)),
      repeat_(new RepeatCommand(editor, this)),
      badge_(new QLabel(editor)),
      appearance_(ReadAppearance(editor))
{
    badge_->setObjectName(QStringLiteral("statusBadge"));
    badge_->hide();
    editor->Attach(this);
    editor->installEventFilter(this);
    // A pending repeat takes the next command.
    editor->SetCommandFilter([this](qint32 id) { return repeat_->runCommand(id); });
    connect(editor, &CodeSense::OptionsChanged, this, [this] {
        margin_->optionsChanged();
        if (!editor_->LineToolTips())
            QToolTip::hideText();
    });
    connect(editor, &CodeSense::LexerChanged, this, [this] { ApplyAppearance(editor_, appearance_); });

    editor->SetCommandHandler(CodeSense::cmdFindReplace, [this] { showFindReplace(); });
    editor->SetCommandHandler(CodeSense::cmdFindNext, [this] { findNext(); });
    editor->SetCommandHandler(CodeSense::cmdRepeatNext, [this] { repeat_->prompt(); });
    editor->SetCommandHandler(CodeSense::cmdRecordMacro, [this] { macros_->toggleRecording(); });
    for (qint32 id = CodeSense::cmdPlayMacro1; id <= CodeSense::cmdPlayMacro10; ++id)
        editor->SetCommandHandler(id, [this, id] { macros_->play(id - CodeSense::cmdPlayMacro1); });
    editor->SetCommandHandler(CodeSense::cmdProperties, [this] { showProperties(); });

    connect(macros_, &MacroRecorder::recordingChanged, this, &EditorFeatures::updateBadge);
    connect(repeat_, &RepeatCommand::pendingChanged, this, &EditorFeatures::updateBadge);
}

EditorFeatures::~EditorFeatures()
{
    delete findDialog_;
}

void EditorFeatures::updateBadge()
{
    QStringList parts;
    if (macros_->isRecording())
        parts << tr("\u25CF Recording macro");
    if (repeat_->pending() > 0)
        parts << tr("Next key or command runs %1 times").arg(repeat_->pending());
    // Styled when first needed: a style sheet costs a millisecond of every start-up.
    if (badge_->styleSheet().isEmpty())
        badge_->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; color: #7a1f00;"
                                             " border: 1px solid #c9a400; padding: 1px 6px; }"));
    badge_->setText(parts.join(QStringLiteral("  \u2022  ")));
    badge_->adjustSize();
    const QRect area = editor_->viewport()->geometry();
    badge_->move(area.right() - badge_->width() - 4, area.top() + 4);
    badge_->setVisible(!parts.isEmpty());
    badge_->raise();
}

bool EditorFeatures::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == editor_ && event->type() == QEvent::Resize && badge_ && badge_->isVisibleTo(editor_))
        updateBadge();
    return false;
}

void EditorFeatures::showFindReplace()
{
    if (!findDialog_) {
        findDialog_ = new FindReplaceDialog(editor_, editor_->window(),
                                            [this](const FindOptions &options) { lastSearch_ = options; });
        if (lastSearch_)
            findDialog_->setOptions(*lastSearch_);
    }
    // A word selected on one line is what the user most likely wants to find.
    const QString selected = editor_->SelText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        findDialog_->findText->setText(selected);
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
    findDialog_->findText->setFocus();
    findDialog_->findText->selectAll();
}

void EditorFeatures::findNext()
{
    if (!lastSearch_ || lastSearch_->text.isEmpty()) {
        showFindReplace();
        return;
    }
    FindAndReport(editor_, *lastSearch_, editor_->window());
}

void EditorFeatures::showProperties()
{
    PropertiesDialog dialog(editor_, appearance_, editor_->window(),
                            [this](const EditorAppearance &appearance) { setAppearance(appearance); });
    dialog.exec();
}

void EditorFeatures::setAppearance(const EditorAppearance &appearance)
{
    appearance_ = appearance;
    ApplyAppearance(editor_, appearance_);
    margin_->optionsChanged();
}
