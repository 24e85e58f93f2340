#pragma once
// Try Keys: the document run as the game runs it after exec, its keys pressed from the
// keyboard or the picture, with what the console prints and which cvars changed.
#include "script/keysimulator.h"
#include "script/scriptanalysis.h"

#include <QWidget>

#include <functional>
#include <memory>

class CodeSense;
class KeyboardPicture;
class QCheckBox;
class QListWidget;
class QTextEdit;

class TryKeysPanel : public QWidget
{
    Q_OBJECT
public:
    // documentPath: the open file's path, empty for an untitled document.
    TryKeysPanel(CodeSense *editor, std::shared_future<ScriptVocabularies> vocabularies,
                 std::function<QString()> documentPath, QWidget *parent = nullptr);
    ~TryKeysPanel() override;

    void setEngine(ScriptEngine engine);
    // Resets the state and runs the document.
    void Exec();
    // Presses and releases a key named as the engine names it.
    void pressKey(const QString &keyName);
    // Puts the caret on the line whose bind gave the key its current command.
    void showBinding(const QString &keyName);

private:
    void appendConsole(const QList<EngineModel::ConsoleLine> &lines);
    void showState();

    CodeSense *editor_;
    std::shared_future<ScriptVocabularies> vocabularies_;
    std::function<QString()> documentPath_;
    ScriptEngine engine_ = ScriptEngine::JediOutcast_104;
    std::unique_ptr<KeySimulator> simulator_;
    QCheckBox *connected_;
    QTextEdit *console_;
    QListWidget *cvars_;
    KeyboardPicture *picture_;
};
