#include "editing/repeatcommand.h"

#include "foundation/program.h"
#include "foundation/prompts.h"
#include "editing/counts.h"
#include "editor/codesense.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <memory>

namespace {

bool IsModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

// Commands that open a dialog or switch a mode make no sense many times over; they run once.
bool IsRepeatable(qint32 id)
{
    return id != CodeSense::cmdFindReplace && id != CodeSense::cmdRepeatNext && id != CodeSense::cmdRecordMacro &&
           id != CodeSense::cmdProperties;
}

} // namespace

RepeatCommand::RepeatCommand(CodeSense *editor, QObject *parent) : QObject(parent), editor_(editor)
{
    editor->installEventFilter(this);
}

void RepeatCommand::prompt()
{
    QString text;
    for (;;) {
        const std::optional<QString> answer = services().prompts->askRepeatCount(editor_->window(), text);
        if (!answer)
            return;
        const std::optional<qint64> count = ParseWholeNumber(*answer);
        if (count && *count >= 1 && *count <= MaxCount) {
            pending_ = *count;
            emit pendingChanged(pending_);
            return;
        }
        ShowMessage(editor_->window(),
                    tr("Please type how many times the next command should run: a whole number from 1 to %1.")
                        .arg(MaxCount),
                    ProgramTitle);
        text = *answer;
    }
}

void RepeatCommand::cancel()
{
    if (pending_ == 0)
        return;
    pending_ = 0;
    emit pendingChanged(0);
}

qint64 RepeatCommand::take()
{
    const qint64 count = pending_;
    cancel();
    return count;
}

bool RepeatCommand::runCommand(qint32 id)
{
    if (pending_ == 0 || id == CodeSense::cmdRepeatNext)
        return false;
    const qint64 count = take();
    if (!IsRepeatable(id))
        return false;
    const bool history = id == CodeSense::cmdUndo || id == CodeSense::cmdRedo;
    if (!history)
        editor_->beginUndoAction();
    for (qint64 i = 0; i < count; ++i) {
        if ((id == CodeSense::cmdUndo && !editor_->isUndoAvailable()) ||
            (id == CodeSense::cmdRedo && !editor_->isRedoAvailable()))
            break;
        editor_->ExecuteCmd(id);
    }
    if (!history)
        editor_->endUndoAction();
    return true;
}

bool RepeatCommand::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != editor_ || event->type() != QEvent::KeyPress || pending_ == 0)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (IsModifierKey(key->key()))
        return false;
    const qint64 count = take();
    if (key->key() == Qt::Key_Escape)
        return true;
    editor_->beginUndoAction();
    for (qint64 i = 0; i < count; ++i) {
        const std::unique_ptr<QEvent> copy(key->clone());
        QCoreApplication::sendEvent(editor_, copy.get());
    }
    editor_->endUndoAction();
    return true;
}
