#include "editing/macros.h"

#include "foundation/prompts.h"
#include "editor/codesense.h"

#include <Qsci/qscimacro.h>

#include <array>
#include <utility>

namespace {

std::array<RecordedMacro, MacroSlots::Count> &slotTable()
{
    static std::array<RecordedMacro, MacroSlots::Count> table;
    return table;
}

// Keys never send SCI_GOTOPOS or SCI_GOTOLINE; they come from the program's own edits
// (a menu paste, Time / Date) and would replay as jumps to absolute positions.
QString WithoutProgramMoves(const QString &saved)
{
    const QStringList fields = saved.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList kept;
    for (qsizetype f = 0; f + 2 < fields.size();) {
        const qsizetype length = fields[f + 2] == QLatin1String("0") ? 3 : 4;
        const uint message = fields[f].toUInt();
        if (message != QsciScintillaBase::SCI_GOTOPOS && message != QsciScintillaBase::SCI_GOTOLINE)
            kept << fields.mid(f, length);
        f += length;
    }
    return kept.join(QLatin1Char(' '));
}

} // namespace

RecordedMacro MacroSlots::Macro(int slot)
{
    return slot >= 0 && slot < Count ? slotTable()[slot] : RecordedMacro();
}

void MacroSlots::Keep(int slot, const RecordedMacro &macro)
{
    if (slot >= 0 && slot < Count)
        slotTable()[slot] = macro;
}

QList<bool> MacroSlots::Used()
{
    QList<bool> used;
    for (const RecordedMacro &macro : slotTable())
        used << !macro.isEmpty();
    return used;
}

void MacroSlots::ClearAll()
{
    for (RecordedMacro &macro : slotTable())
        macro.clear();
}

MacroRecorder::MacroRecorder(CodeSense *editor, AutoIndenter *indenter, QObject *parent)
    : QObject(parent), editor_(editor), indenter_(indenter), piece_(new QsciMacro(editor))
{
    connect(indenter, &AutoIndenter::indented, this, &MacroRecorder::indented);
}

void MacroRecorder::toggleRecording()
{
    if (recording_) {
        stop();
        return;
    }
    pieces_.clear();
    pendingIndent_.reset();
    recording_ = true;
    startPiece();
    emit recordingChanged(true);
}

void MacroRecorder::startPiece()
{
    piece_->startRecording();
    // Connected after the piece's own slot, so it runs once the message is recorded.
    afterRecord_ = connect(editor_, &QsciScintillaBase::SCN_MACRORECORD, this, &MacroRecorder::recorded);
}

void MacroRecorder::endPiece()
{
    disconnect(afterRecord_);
    piece_->endRecording();
    const QString keys = WithoutProgramMoves(piece_->save());
    if (!keys.isEmpty())
        pieces_.append({keys, {}});
}

void MacroRecorder::indented(const IndentStep &step)
{
    if (recording_)
        pendingIndent_ = step;
}

// The editor notifies the typed character after the indentation it caused; once that
// character is in the piece, the indentation step follows it.
void MacroRecorder::recorded()
{
    if (!pendingIndent_)
        return;
    endPiece();
    pieces_.append({QString(), *pendingIndent_});
    pendingIndent_.reset();
    startPiece();
}

void MacroRecorder::stop()
{
    endPiece();
    if (pendingIndent_)
        pieces_.append({QString(), *pendingIndent_});
    pendingIndent_.reset();
    recording_ = false;
    emit recordingChanged(false);
    const RecordedMacro finished = std::exchange(pieces_, {});
    if (finished.isEmpty())
        return;
    if (const std::optional<int> slot = services().prompts->chooseMacroSlot(editor_->window(), MacroSlots::Used()))
        MacroSlots::Keep(*slot, finished);
}

void MacroRecorder::play(int slot)
{
    const RecordedMacro macro = MacroSlots::Macro(slot);
    if (macro.isEmpty())
        return;
    editor_->beginUndoAction();
    for (const MacroStep &step : macro) {
        if (!step.keys.isEmpty()) {
            QsciMacro keys(step.keys, editor_);
            keys.play();
            continue;
        }
        indenter_->apply(step.indent);
        // Played into a running recording, the indentation is recorded as typing would be.
        if (recording_) {
            endPiece();
            pieces_.append(step);
            startPiece();
        }
    }
    editor_->endUndoAction();
}
