#include "cli/lspserver.h"

#include "cli/profilechoice.h"
#include "cli/stdinput.h"
#include "foundation/appfolder.h"

#include <QJsonArray>

#include <cstdio>

namespace {

namespace ErrorCode {
constexpr int ParseError = -32700;
constexpr int InvalidRequest = -32600;
constexpr int MethodNotFound = -32601;
constexpr int InvalidParams = -32602;
constexpr int ServerNotInitialized = -32002;
} // namespace ErrorCode

// Where a line starts; lines end at LF, CR LF or a lone CR, as the checks count them.
qsizetype lineStart(const QString &text, int line)
{
    qsizetype at = 0;
    for (int n = 0; n < line; ++n) {
        const qsizetype end = std::find_if(text.begin() + at, text.end(),
                                           [](QChar c) { return c == u'\n' || c == u'\r'; }) - text.begin();
        if (end == text.size())
            return -1;
        at = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
    return at;
}

QString lineAt(const QString &text, int line)
{
    const qsizetype start = lineStart(text, line);
    if (start < 0)
        return {};
    qsizetype end = start;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
        ++end;
    return text.mid(start, end - start);
}

// A position's offset in the text; past a line's end is its end, past the last line the end.
qsizetype offsetOf(const QString &text, const QJsonObject &position)
{
    const qsizetype start = lineStart(text, position.value(u"line").toInt());
    if (start < 0)
        return text.size();
    const QString line = lineAt(text, position.value(u"line").toInt());
    return start + std::clamp<qsizetype>(position.value(u"character").toInt(), 0, line.size());
}

bool isPosition(const QJsonValue &value)
{
    const QJsonObject position = value.toObject();
    return position.value(u"line").isDouble() && position.value(u"character").isDouble() &&
           position.value(u"line").toInt(-1) >= 0 && position.value(u"character").toInt(-1) >= 0;
}

QJsonObject position(int line, int character)
{
    return {{QStringLiteral("line"), line}, {QStringLiteral("character"), character}};
}

int lspSeverity(FindingSeverity severity)
{
    switch (severity) {
    case FindingSeverity::Error:
        return 1;
    case FindingSeverity::Warning:
        return 2;
    case FindingSeverity::Notice:
    case FindingSeverity::Information:
        break;
    }
    return 3;
}

QJsonObject diagnostic(int line, int column, int endColumn, FindingSeverity severity, const QString &message)
{
    return {{QStringLiteral("range"),
             QJsonObject{{QStringLiteral("start"), position(line, column)},
                         {QStringLiteral("end"), position(line, endColumn)}}},
            {QStringLiteral("severity"), lspSeverity(severity)},
            {QStringLiteral("source"), QStringLiteral("tavrel")},
            {QStringLiteral("message"), message}};
}

} // namespace

LspServer::LspServer(Output output)
    : output_(std::move(output)), worker_([this] { checkLoop(); })
{
}

LspServer::~LspServer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void LspServer::send(const QJsonObject &message)
{
    QJsonObject withVersion = message;
    withVersion.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    const QByteArray frame = FrameLspMessage(QJsonDocument(withVersion));
    std::lock_guard lock(outputMutex_);
    output_(frame);
}

void LspServer::reply(const QJsonValue &id, const QJsonValue &result)
{
    send({{QStringLiteral("id"), id}, {QStringLiteral("result"), result}});
}

void LspServer::replyError(const QJsonValue &id, int code, const QString &message)
{
    send({{QStringLiteral("id"), id},
          {QStringLiteral("error"), QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}});
}

void LspServer::log(const QString &message)
{
    send({{QStringLiteral("method"), QStringLiteral("window/logMessage")},
          {QStringLiteral("params"), QJsonObject{{QStringLiteral("type"), 1}, {QStringLiteral("message"), message}}}});
}

bool LspServer::receive(QByteArrayView bytes)
{
    reader_.append(bytes);
    while (!exited_) {
        const std::optional<LspFrame> frame = reader_.next();
        if (!frame)
            break;
        if (frame->kind == LspFrame::Kind::Message)
            handle(frame->json);
        else
            replyError(QJsonValue::Null, ErrorCode::ParseError, frame->problem);
    }
    return !exited_;
}

void LspServer::handle(const QJsonDocument &json)
{
    const QJsonObject message = json.object();
    const QJsonValue id = message.value(u"id");
    const QJsonValue method = message.value(u"method");
    const bool idFits = id.isUndefined() || id.isDouble() || id.isString();
    if (!json.isObject() || message.value(u"jsonrpc").toString() != u"2.0" || !idFits ||
        (!method.isString() && id.isUndefined()) ||
        (message.contains(u"params") && !message.value(u"params").isObject() && !message.value(u"params").isArray())) {
        replyError(idFits && !id.isUndefined() ? id : QJsonValue(QJsonValue::Null), ErrorCode::InvalidRequest,
                   QStringLiteral("not a JSON-RPC 2.0 request or notification"));
        return;
    }
    if (!method.isString())
        return; // an answer to a request; the server sends none
    if (id.isUndefined())
        notification(method.toString(), message.value(u"params").toObject());
    else
        request(id, method.toString(), message.value(u"params").toObject());
}

void LspServer::request(const QJsonValue &id, const QString &method, const QJsonObject &params)
{
    if (shutDown_)
        return replyError(id, ErrorCode::InvalidRequest, QStringLiteral("the server is shut down"));
    if (!initialized_ && method != u"initialize")
        return replyError(id, ErrorCode::ServerNotInitialized, QStringLiteral("initialize comes first"));
    QString problem;
    QJsonValue result;
    if (method == u"initialize") {
        if (initialized_)
            return replyError(id, ErrorCode::InvalidRequest, QStringLiteral("initialize came before"));
        result = initialize(params, problem);
    } else if (method == u"shutdown") {
        shutDown_ = true;
        result = QJsonValue::Null;
    } else if (method == u"textDocument/hover") {
        result = hover(params, problem);
    } else if (method == u"textDocument/completion") {
        result = completion(params, problem);
    } else {
        return replyError(id, ErrorCode::MethodNotFound, QStringLiteral("unknown method %1").arg(method));
    }
    if (!problem.isEmpty())
        return replyError(id, ErrorCode::InvalidParams, problem);
    reply(id, result);
}

QJsonValue LspServer::initialize(const QJsonObject &params, QString &problem)
{
    const QJsonObject options = params.value(u"initializationOptions").toObject();
    const QJsonValue game = options.value(u"game"), engine = options.value(u"engine");
    if ((!game.isUndefined() && !game.isString()) || (!engine.isUndefined() && !engine.isString())) {
        problem = QStringLiteral("initializationOptions: game and engine are strings");
        return {};
    }
    const auto chosen = ChooseEngine(game.toString(), engine.toString());
    if (const QString *wrong = std::get_if<QString>(&chosen)) {
        problem = QStringLiteral("initializationOptions: %1").arg(*wrong);
        return {};
    }
    engine_ = std::get<ScriptEngine>(chosen);
    // The window's files, read while the client goes on.
    vocabularies_ = LoadVocabularies(ApplicationFile(QStringLiteral("vocab/jk2.tsv")),
                                     ApplicationFile(QStringLiteral("vocab/q3.tsv")));
    initialized_ = true;
    const QJsonObject capabilities{
        {QStringLiteral("positionEncoding"), QStringLiteral("utf-16")},
        {QStringLiteral("textDocumentSync"),
         QJsonObject{{QStringLiteral("openClose"), true}, {QStringLiteral("change"), 1 /* whole text */}}},
        {QStringLiteral("hoverProvider"), true},
        {QStringLiteral("completionProvider"), QJsonObject{}}};
    return QJsonObject{{QStringLiteral("capabilities"), capabilities},
                       {QStringLiteral("serverInfo"), QJsonObject{{QStringLiteral("name"), QStringLiteral("tavrel")},
                                                                  {QStringLiteral("version"), QStringLiteral(TAVREL_VERSION)}}}};
}

void LspServer::notification(const QString &method, const QJsonObject &params)
{
    if (method == u"exit") {
        exited_ = true;
        return;
    }
    if (!initialized_ || shutDown_ || method == u"initialized" || method.startsWith(u"$/"))
        return;
    QString problem;
    if (method == u"textDocument/didOpen" || method == u"textDocument/didChange" || method == u"textDocument/didClose") {
        if (!changeDocument(method, params, problem))
            log(QStringLiteral("%1: %2").arg(method, problem));
    } else if (method != u"textDocument/didSave" && method != u"workspace/didChangeConfiguration") {
        log(QStringLiteral("unknown notification %1").arg(method));
    }
}

bool LspServer::changeDocument(const QString &method, const QJsonObject &params, QString &problem)
{
    const QJsonObject document = params.value(u"textDocument").toObject();
    const QString uri = document.value(u"uri").toString();
    if (uri.isEmpty()) {
        problem = QStringLiteral("textDocument.uri is missing");
        return false;
    }
    std::unique_lock lock(mutex_);
    const auto it = documents_.find(uri);
    if (method == u"textDocument/didClose") {
        if (it == documents_.end()) {
            problem = QStringLiteral("%1 was never opened").arg(uri);
            return false;
        }
        documents_.erase(it);
        pending_.removeAll(uri);
        // Its findings leave the client's list with it.
        send({{QStringLiteral("method"), QStringLiteral("textDocument/publishDiagnostics")},
              {QStringLiteral("params"), QJsonObject{{QStringLiteral("uri"), uri}, {QStringLiteral("diagnostics"), QJsonArray()}}}});
        return true;
    }
    Document changed;
    if (method == u"textDocument/didOpen") {
        if (!document.value(u"text").isString()) {
            problem = QStringLiteral("textDocument.text is missing");
            return false;
        }
        changed.text = document.value(u"text").toString();
    } else {
        if (it == documents_.end()) {
            problem = QStringLiteral("%1 was never opened").arg(uri);
            return false;
        }
        changed.text = it->text;
        const QJsonArray changes = params.value(u"contentChanges").toArray();
        for (const QJsonValue &value : changes) {
            const QJsonObject change = value.toObject();
            if (!change.value(u"text").isString()) {
                problem = QStringLiteral("a content change without text");
                return false;
            }
            const QString text = change.value(u"text").toString();
            if (!change.contains(u"range")) {
                changed.text = text;
                continue;
            }
            // Sent only by clients that ignore the whole-text sync offered; taken anyway.
            const QJsonObject range = change.value(u"range").toObject();
            if (!isPosition(range.value(u"start")) || !isPosition(range.value(u"end"))) {
                problem = QStringLiteral("a content change with a broken range");
                return false;
            }
            const qsizetype start = offsetOf(changed.text, range.value(u"start").toObject());
            const qsizetype end = offsetOf(changed.text, range.value(u"end").toObject());
            changed.text.replace(start, std::max(start, end) - start, text);
        }
    }
    changed.version = document.value(u"version");
    changed.revision = ++revisions_;
    documents_.insert(uri, changed);
    if (!pending_.contains(uri))
        pending_.append(uri);
    lock.unlock();
    wake_.notify_one();
    return true;
}

void LspServer::checkLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.isEmpty(); });
        if (stopping_)
            return;
        const QString uri = pending_.takeFirst();
        const auto it = documents_.constFind(uri);
        if (it == documents_.cend())
            continue;
        const Document document = *it;
        const ScriptEngine engine = engine_;
        lock.unlock();

        const QByteArray utf8 = document.text.toUtf8();
        QJsonArray diagnostics;
        QList<Finding> findings;
        if (utf8.size() > MaxCheckedBytes) {
            diagnostics.append(diagnostic(0, 0, 0, FindingSeverity::Information, NotChecked().rows.value(0)));
        } else {
            findings = AnalyzeScript(utf8, engine, vocabularies_.get().of(engine)).findings;
            for (const Finding &f : findings)
                diagnostics.append(diagnostic(f.line, f.column, f.endColumn, f.severity, f.message));
        }

        lock.lock();
        const auto now = documents_.find(uri);
        // Closed or changed meanwhile: the newer text is already waiting.
        if (now == documents_.end() || now->revision != document.revision)
            continue;
        now->findings = findings;
        now->checkedRevision = document.revision;
        QJsonObject params{{QStringLiteral("uri"), uri}, {QStringLiteral("diagnostics"), diagnostics}};
        if (document.version.isDouble())
            params.insert(QStringLiteral("version"), document.version);
        send({{QStringLiteral("method"), QStringLiteral("textDocument/publishDiagnostics")}, {QStringLiteral("params"), params}});
    }
}

std::optional<LspServer::RequestedLine> LspServer::requestedLine(const QJsonObject &params, QString &problem)
{
    const QString uri = params.value(u"textDocument").toObject().value(u"uri").toString();
    if (!isPosition(params.value(u"position"))) {
        problem = QStringLiteral("position is missing");
        return std::nullopt;
    }
    const QJsonObject at = params.value(u"position").toObject();
    RequestedLine requested;
    requested.line = at.value(u"line").toInt();
    {
        std::lock_guard lock(mutex_);
        const auto it = documents_.constFind(uri);
        if (it == documents_.cend()) {
            problem = QStringLiteral("%1 is not open").arg(uri);
            return std::nullopt;
        }
        requested.text = lineAt(it->text, requested.line);
        // Findings of an older text would stand at the wrong places.
        if (it->checkedRevision == it->revision)
            requested.findings = it->findings;
    }
    requested.column = std::min<int>(at.value(u"character").toInt(), int(requested.text.size()));
    return requested;
}

QJsonValue LspServer::hover(const QJsonObject &params, QString &problem)
{
    const std::optional<RequestedLine> at = requestedLine(params, problem);
    if (!at)
        return {};
    const QString text = HoverText(at->text, at->line, at->column, at->findings, engine_, vocabularies_.get().of(engine_));
    if (text.isEmpty())
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("contents"),
                        QJsonObject{{QStringLiteral("kind"), QStringLiteral("plaintext")}, {QStringLiteral("value"), text}}}};
}

QJsonValue LspServer::completion(const QJsonObject &params, QString &problem)
{
    const std::optional<RequestedLine> at = requestedLine(params, problem);
    if (!at)
        return {};
    const int line = at->line, column = at->column;
    const QString &lineText = at->text;
    const ScriptVocabulary &vocabulary = vocabularies_.get().of(engine_);
    ScriptCompletion::Result result = completion_.complete(lineText.left(column), engine_, vocabulary);
    result.names.sort(Qt::CaseInsensitive);
    // The edit names the word replaced: editors disagree on whether "+" and "-" are part of a word.
    const QJsonObject range{{QStringLiteral("start"), position(line, column - int(result.prefix.size()))},
                            {QStringLiteral("end"), position(line, column)}};
    QJsonArray items;
    for (const QString &name : std::as_const(result.names)) {
        const int kind = vocabulary.find(VocabKind::Cvar, name) || vocabulary.find(VocabKind::SetOnlyCvar, name) ? 6
                         : name.startsWith(u'+') || vocabulary.find(VocabKind::Command, name)             ? 3
                                                                                                           : 21;
        items.append(QJsonObject{{QStringLiteral("label"), name},
                                 {QStringLiteral("kind"), kind},
                                 {QStringLiteral("textEdit"),
                                  QJsonObject{{QStringLiteral("range"), range}, {QStringLiteral("newText"), name}}}});
    }
    return items;
}

int RunLanguageServer(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == u"--help" || argument == u"-h") {
            fputs(QStringLiteral("Usage: tavrel --lsp\n"
                                 "Speaks the Language Server Protocol on standard input and output. The client's\n"
                                 "initializationOptions {\"game\": GAME, \"engine\": ENGINE} choose the checks.\n\n")
                      .append(EngineChoicesHelp())
                      .toUtf8()
                      .constData(),
                  stdout);
            return 0;
        }
        if (argument != u"--lsp") {
            fprintf(stderr, "tavrel: --lsp takes no %s\nTry 'tavrel --lsp --help'.\n", qPrintable(argument));
            return 2;
        }
    }
    UseBinaryStandardStreams();
    LspServer server([](const QByteArray &frame) {
        fwrite(frame.constData(), 1, size_t(frame.size()), stdout);
        fflush(stdout);
    });
    static char buffer[1 << 16];
    for (;;) {
        const qint64 got = ReadSomeInput(buffer, sizeof buffer);
        if (got <= 0 || !server.receive(QByteArrayView(buffer, got)))
            break;
    }
    return server.exitStatus();
}
