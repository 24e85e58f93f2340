#pragma once
// A script run as the game runs it after exec, then pressed key by key: the state behind
// the Try Keys panel and tavrel --simulate.
#include "script/enginemodel.h"

#include <memory>

class KeySimulator
{
public:
    // folder: where exec finds other scripts (the document's own folder); vocabulary must
    // outlive the simulator.
    KeySimulator(ScriptEngine engine, const ScriptVocabulary &vocabulary, const QString &folder = {});

    // Resets the state and runs the document's text as exec of name does.
    void exec(const QString &name, const QString &text);
    // Presses and releases a key named as the engine names keys; false when the engine has
    // no such key.
    bool press(const QString &keyName);
    // Console lines since the last call.
    QList<EngineModel::ConsoleLine> takeConsole();

    void setConnected(bool connected);
    const EngineModel &model() const { return *model_; }

    struct CvarChange
    {
        QString name;
        QString before;
        QString after;
    };
    // Cvars whose value differs from the one they had before exec, sorted by name.
    QList<CvarChange> changedCvars() const;

    // Frames run after each event before the rest is left queued for the next one: a
    // "wait" loop meant to run while a key is held never ends by itself.
    static constexpr int MaxFrames = 100;

private:
    void runFrames();

    ScriptEngine engine_;
    const ScriptVocabulary &vocabulary_;
    QString folder_;
    bool connected_ = false;
    std::unique_ptr<EngineModel> model_;
};
