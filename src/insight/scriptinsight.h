#pragma once
// The script checks drawn on an editor: squiggles, hover texts, completion, colour
// preview and the rows of a problems list. What to draw is decided by the widget-free
// analysis, on a worker thread after a pause in typing, so typing never waits for it.
#include "script/scriptanalysis.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

class CodeSense;
class QListWidget;

class ScriptInsight : public QObject
{
    Q_OBJECT
public:
    // Attached to the editor; `problems` lists the findings, a click jumps to one.
    ScriptInsight(CodeSense *editor, QListWidget *problems, std::shared_future<ScriptVocabularies> vocabularies);
    ~ScriptInsight() override;

    ScriptEngine engine() const { return engine_; }
    // Checks again at once with the engine's rules and vocabulary.
    void setEngine(ScriptEngine engine);
    void setColorPreview(bool on);
    const QList<Finding> &findings() const { return analysis_.findings; }
    // Checks now instead of after the pause.
    void refreshNow();
    // The hover text at a document position: findings there, the word's documentation.
    QString hoverText(int position) const;

signals:
    // After findings and colours of the current text are shown.
    void refreshed();

private:
    void scheduleRefresh();
    void apply(const ScriptAnalysis &analysis, quint64 generation, qsizetype length);
    void applyColors();
    void showTip(int position, int x, int y);
    void complete(int ch);
    void jumpTo(int row);

    CodeSense *editor_;
    QListWidget *list_;
    std::shared_future<ScriptVocabularies> vocabularies_;
    ScriptEngine engine_ = ScriptEngine::JediOutcast_104;
    bool colorPreview_ = true;
    QTimer timer_;
    QThreadPool pool_;
    quint64 generation_ = 0;
    ScriptAnalysis analysis_;
    ScriptCompletion completion_;
    int severityIndicator_[4] = {};
    int colorIndicator_ = -1;
};
