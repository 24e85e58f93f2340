#pragma once
// tavrel --lsp: the window's findings, hover texts and completion for other editors,
// through the Language Server Protocol on standard input and output. Messages are read
// and answered on the calling thread; checks run on a worker that takes the latest text
// of a document when it starts, so texts sent while it works are coalesced into one check.
#include "cli/lspreader.h"
#include "script/scriptanalysis.h"

#include <QHash>
#include <QJsonObject>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class LspServer
{
public:
    // Takes each framed message to send; called from both threads, one at a time.
    using Output = std::function<void(const QByteArray &frame)>;
    explicit LspServer(Output output);
    ~LspServer();
    LspServer(const LspServer &) = delete;
    LspServer &operator=(const LspServer &) = delete;

    // Handles the bytes read; false once the client said exit.
    bool receive(QByteArrayView bytes);
    // 0 after shutdown and exit, 1 for an exit without shutdown or input that ended.
    int exitStatus() const { return exited_ && shutDown_ ? 0 : 1; }

private:
    struct Document
    {
        QString text;
        QJsonValue version;
        quint64 revision = 0;
        quint64 checkedRevision = 0;
        QList<Finding> findings;
    };

    void handle(const QJsonDocument &json);
    void request(const QJsonValue &id, const QString &method, const QJsonObject &params);
    void notification(const QString &method, const QJsonObject &params);
    QJsonValue initialize(const QJsonObject &params, QString &problem);
    // The line a hover or completion request points into, its column kept within the line,
    // and the findings of the text as it stands; nothing for a bad position or a document
    // never opened, with the problem said.
    struct RequestedLine
    {
        int line = 0;
        int column = 0;
        QString text;
        QList<Finding> findings;
    };
    std::optional<RequestedLine> requestedLine(const QJsonObject &params, QString &problem);
    QJsonValue hover(const QJsonObject &params, QString &problem);
    QJsonValue completion(const QJsonObject &params, QString &problem);
    bool changeDocument(const QString &method, const QJsonObject &params, QString &problem);
    void checkLoop();

    void send(const QJsonObject &message);
    void reply(const QJsonValue &id, const QJsonValue &result);
    void replyError(const QJsonValue &id, int code, const QString &message);
    void log(const QString &message);

    Output output_;
    std::mutex outputMutex_;
    LspReader reader_;
    bool initialized_ = false, shutDown_ = false, exited_ = false;
    ScriptEngine engine_ = DefaultEngine(true);
    std::shared_future<ScriptVocabularies> vocabularies_;
    ScriptCompletion completion_;

    // Shared with the worker.
    std::mutex mutex_;
    std::condition_variable wake_;
    QHash<QString, Document> documents_;
    QStringList pending_; // documents to check, each once
    quint64 revisions_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

// The arguments after the program's name, "--lsp" among them; the exit status.
int RunLanguageServer(const QStringList &arguments);
