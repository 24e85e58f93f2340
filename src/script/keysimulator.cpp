#include "script/keysimulator.h"

#include "codec/cp1252.h"
#include "codec/fileio.h"

#include <QDir>

#include <algorithm>

KeySimulator::KeySimulator(ScriptEngine engine, const ScriptVocabulary &vocabulary, const QString &folder)
    : engine_(engine), vocabulary_(vocabulary), folder_(folder),
      model_(std::make_unique<EngineModel>(engine, vocabulary))
{
}

void KeySimulator::exec(const QString &name, const QString &text)
{
    model_ = std::make_unique<EngineModel>(engine_, vocabulary_);
    model_->setConnected(connected_);
    const QString folder = folder_;
    model_->setFileReader([folder](const QString &file) -> std::optional<QString> {
        QByteArray bytes;
        if (folder.isEmpty() || !ReadFileBytes(QDir(folder).filePath(file), bytes).ok())
            return std::nullopt;
        return cp1252::decode(bytes);
    });
    model_->execText(name, text);
    runFrames();
}

bool KeySimulator::press(const QString &keyName)
{
    const KeyReading key = ReadKeyName(keyName, engine_, vocabulary_);
    if (!key.valid)
        return false;
    model_->keyEvent(key.key, true);
    runFrames();
    model_->keyEvent(key.key, false);
    runFrames();
    return true;
}

void KeySimulator::runFrames()
{
    for (int frame = 0; frame < MaxFrames && model_->queuedBytes() > 0; ++frame)
        model_->executeFrame();
}

QList<EngineModel::ConsoleLine> KeySimulator::takeConsole()
{
    const QList<EngineModel::ConsoleLine> lines = model_->console();
    model_->clearConsole();
    return lines;
}

void KeySimulator::setConnected(bool connected)
{
    connected_ = connected;
    model_->setConnected(connected);
}

QList<KeySimulator::CvarChange> KeySimulator::changedCvars() const
{
    QList<CvarChange> changes;
    const QHash<QString, QString> &cvars = model_->changedCvars();
    for (auto it = cvars.cbegin(); it != cvars.cend(); ++it) {
        const QString before = model_->defaultValue(it.key());
        if (before != it.value())
            changes.append({model_->cvarName(it.key()), before, it.value()});
    }
    std::sort(changes.begin(), changes.end(), [](const CvarChange &a, const CvarChange &b) { return a.name < b.name; });
    return changes;
}
