#pragma once
// The script checks in the main window: squiggles and hover texts on the editor, the
// "Problems" panel, completion, colour preview, and the engine choice in the Game menu
// and status bar. Checking runs on a worker thread after a pause in typing, so typing
// never waits for it.
#include "languages/diagnostics.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <future>

class CodeSense;
class QAction;
class QDockWidget;
class QLabel;
class QListWidget;
class frmMain;

class ScriptInsight : public QObject
{
    Q_OBJECT
public:
    ScriptInsight(frmMain *window);
    ~ScriptInsight() override;

    ScriptEngine engine() const;
    void setEngine(ScriptEngine engine);
    const QList<Finding> &findings() const { return findings_; }
    // Checks now instead of after the pause.
    void refreshNow();
    // The hover text at a document position: findings there, the word's documentation.
    QString hoverText(int position) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // After findings and colours of the current text are shown.
    void refreshed();

private:
    void scheduleRefresh();
    void gameChanged();
    void showEngine();
    struct Checked;
    void apply(const Checked &checked);
    void applyColors();
    void showTip(int position, int x, int y);
    void complete(int ch);
    void jumpTo(int row);
    const ScriptVocabulary &vocabulary() const;
    bool jediOutcast() const;

    frmMain *window_;
    CodeSense *editor_;
    struct Vocabularies
    {
        ScriptVocabulary jk2, q3;
    };
    // Read on another thread while the window is built; the first use waits for it.
    std::shared_future<Vocabularies> vocabularies_;
    ScriptEngine jk2Engine_ = ScriptEngine::JediOutcast_104;
    ScriptEngine q3Engine_ = ScriptEngine::Quake3_132;
    QTimer timer_;
    QThreadPool pool_;
    quint64 generation_ = 0;
    QList<Finding> findings_;
    // Colour preview runs as document byte ranges, with the colour's indicator value.
    struct ColorRange
    {
        qsizetype begin, end;
        int value;
    };
    QList<ColorRange> colorRanges_;
    // Completion candidates by engine and the word before the prefix.
    QHash<QString, QStringList> candidates_;
    QDockWidget *dock_ = nullptr;
    QListWidget *list_ = nullptr;
    QLabel *status_ = nullptr;
    QAction *original_ = nullptr;
    QAction *continuation_ = nullptr;
    QAction *colorPreview_ = nullptr;
    int severityIndicator_[4] = {};
    int colorIndicator_ = -1;
};

// Adds the checks to the window: menu items, panel, status bar field. Returns the object,
// owned by the window.
ScriptInsight *InstallScriptInsight(frmMain *window);
