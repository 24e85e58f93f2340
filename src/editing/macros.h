#pragma once
// Keystroke macros: recorded with QsciMacro, kept in ten slots shared by every editor
// for the length of the run, and played back as one undo step.
//
// QScintilla does not record indentation that is added for a typed line break or
// closer, so a recording is kept as QsciMacro pieces split at those points with the
// indentation step between them; playback indents again in the new surroundings.

#include "editing/autoindenter.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <optional>

class CodeSense;
class QsciMacro;

struct MacroStep
{
    QString keys;      // a QsciMacro in its saved form; empty for an indentation step
    IndentStep indent; // the indentation step when keys is empty
    bool operator==(const MacroStep &) const = default;
};
using RecordedMacro = QList<MacroStep>;

namespace MacroSlots {
constexpr int Count = 10;
RecordedMacro Macro(int slot); // empty for an empty or unknown slot
void Keep(int slot, const RecordedMacro &macro);
QList<bool> Used();
void ClearAll();
} // namespace MacroSlots

class MacroRecorder : public QObject
{
    Q_OBJECT

public:
    MacroRecorder(CodeSense *editor, AutoIndenter *indenter, QObject *parent);

    bool isRecording() const { return recording_; }
    // Starts a recording, or ends it and lets the user choose the slot that keeps it.
    void toggleRecording();
    // Plays slot 0 to 9 at the caret; an empty slot does nothing.
    void play(int slot);

signals:
    void recordingChanged(bool recording);

private:
    void startPiece();
    void endPiece();
    void recorded();
    void indented(const IndentStep &step);
    void stop();

    CodeSense *editor_;
    AutoIndenter *indenter_;
    QsciMacro *piece_;
    QMetaObject::Connection afterRecord_;
    RecordedMacro pieces_;
    std::optional<IndentStep> pendingIndent_;
    bool recording_ = false;
};
