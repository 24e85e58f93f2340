// tavrel --lsp as an editor speaks to it: the session from start to exit with positions in
// UTF-16 units, and protocol errors for broken input after which the server goes on.
#include "support/datarows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

QByteArray frame(const QByteArray &body) { return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body; }
QJsonObject notification(const QString &method, const QJsonObject &params = {}) {
    return {{"jsonrpc", "2.0"}, {"method", method}, {"params", params}};
}
QJsonObject request(int id, const QString &method, const QJsonObject &params = {}) {
    QJsonObject message = notification(method, params);
    message.insert("id", id);
    return message;
}
QJsonObject at(const QString &uri, int line, int character) {
    return {{"textDocument", QJsonObject{{"uri", uri}}}, {"position", QJsonObject{{"line", line}, {"character", character}}}};
}

struct Client {
    QProcess process;
    QByteArray buffer;

    Client() { process.start(QStringLiteral(TAVREL_EXECUTABLE), {"--lsp"}); }
    ~Client() { process.kill(); process.waitForFinished(); }
    void sendRaw(const QByteArray &bytes) { process.write(bytes); }
    void send(const QJsonObject &message) { sendRaw(frame(QJsonDocument(message).toJson(QJsonDocument::Compact))); }
    // The next message the server sends that is wanted; an empty object when none comes.
    const QJsonObject next(const std::function<bool(const QJsonObject &)> &wanted = {}) {
        for (;;) {
            const qsizetype blank = buffer.indexOf("\r\n\r\n");
            const qsizetype length = buffer.mid(16, blank - 16).trimmed().toLongLong();
            if (blank > 0 && buffer.size() >= blank + 4 + length) {
                const QJsonObject message = QJsonDocument::fromJson(buffer.mid(blank + 4, length)).object();
                buffer.remove(0, blank + 4 + length);
                if (!wanted || wanted(message))
                    return message;
            } else if (process.waitForReadyRead(60000)) {
                buffer += process.readAllStandardOutput();
            } else {
                return {};
            }
        }
    }
    const QJsonObject response(int id) {
        return next([id](const QJsonObject &m) { return m.value("id") == id && !m.contains("method"); });
    }
    const QJsonObject diagnostics(const QString &uri) {
        return next([uri](const QJsonObject &m) {
            return m.value("method") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri;
        })["params"].toObject();
    }
    const QJsonObject initialize(const QJsonObject &options = {}) {
        send(request(1, "initialize", {{"processId", QJsonValue::Null}, {"capabilities", QJsonObject{}},
                                       {"initializationOptions", options}}));
        send(notification("initialized"));
        return response(1);
    }
    void open(const QString &uri, const QString &text) {
        send(notification("textDocument/didOpen",
                          {{"textDocument", QJsonObject{{"uri", uri}, {"languageId", "cfg"}, {"version", 1}, {"text", text}}}}));
    }
    void change(const QString &uri, int version, const QString &text) {
        send(notification("textDocument/didChange", {{"textDocument", QJsonObject{{"uri", uri}, {"version", version}}},
                                                     {"contentChanges", QJsonArray{QJsonObject{{"text", text}}}}}));
    }
    int finish() {
        process.closeWriteChannel();
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};

// "line:start-end severity" of each diagnostic.
QStringList ranges(const QJsonObject &published) {
    QStringList out;
    for (const QJsonValue &d : published["diagnostics"].toArray())
        out << QStringLiteral("%1:%2-%3 %4").arg(d["range"]["start"]["line"].toInt()).arg(d["range"]["start"]["character"].toInt())
                   .arg(d["range"]["end"]["character"].toInt()).arg(d["severity"].toInt());
    return out;
}

} // namespace

class TestLsp : public QObject {
    Q_OBJECT

private slots:
    void session() {
        Client client;
        const QJsonObject init = client.initialize({{"game", "jk2"}, {"engine", "jk2-1.04"}});
        QCOMPARE(init["result"]["capabilities"]["textDocumentSync"]["change"].toInt(), 1);
        QCOMPARE(init["result"]["capabilities"]["positionEncoding"].toString(), "utf-16");

        // "é" is one UTF-16 unit (two UTF-8 bytes), the emoji two (one code point, four bytes).
        const QString uri = "file:///tmp/autoexec.cfg";
        client.open(uri, "echo \"\u00E9\U0001F600\"; bind caplock +attack\nseta cg_drawFPS 1\n");
        const QJsonObject opened = client.diagnostics(uri);
        QCOMPARE(ranges(opened), QStringList{"0:17-24 2"});
        QVERIFY(opened["diagnostics"][0]["message"].toString().contains("caplock"));
        QCOMPARE(opened["version"].toInt(), 1);

        // Too large for the engine's command buffer; CR LF is one line end.
        client.change(uri, 2, "echo 1\r\nfrobnicate\n" + QString("echo hello\n").repeated(1600));
        const QJsonObject changed = client.diagnostics(uri);
        QCOMPARE(ranges(changed), (QStringList{"0:0-6 1", "1:0-10 3"}));
        QCOMPARE(changed["version"].toInt(), 2);

        client.change(uri, 3, "seta cg_drawFPS 1\nseta cg_drawf");
        QCOMPARE(client.diagnostics(uri)["version"].toInt(), 3);
        client.send(request(2, "textDocument/hover", at(uri, 0, 8)));
        QVERIFY(client.response(2)["result"]["contents"]["value"].toString().contains("CVAR_ARCHIVE"));
        client.send(request(3, "textDocument/hover", at(uri, 0, 4))); // the space after seta
        QVERIFY(client.response(3)["result"].isNull());
        client.send(request(4, "textDocument/completion", at(uri, 1, 13)));
        const QJsonArray items = client.response(4)["result"].toArray();
        QVERIFY(!items.isEmpty());
        for (const QJsonValue &item : items) {
            QVERIFY(item["label"].toString().startsWith("cg_drawf", Qt::CaseInsensitive));
            QCOMPARE(item["textEdit"]["range"]["start"]["character"].toInt(), 5);
        }
        QVERIFY(std::any_of(items.begin(), items.end(), [](const QJsonValue &i) { return i["label"] == "cg_drawFPS"; }));

        client.send(notification("textDocument/didClose", {{"textDocument", QJsonObject{{"uri", uri}}}}));
        QVERIFY(client.diagnostics(uri)["diagnostics"].toArray().isEmpty());
        client.send(request(5, "shutdown"));
        QVERIFY(client.response(5).contains("result"));
        client.send(notification("exit"));
        QCOMPARE(client.finish(), 0);
    }

    // Texts sent while a check runs are checked once, as the latest.
    void coalesced() {
        Client client;
        client.initialize({{"engine", "continuation"}}); // no limit on the file's size
        const QString uri = "file:///tmp/large.cfg", bulk = QString("echo hello\n").repeated(100000);
        client.open(uri, bulk + "frobnicate0\n");
        const int changes = 10;
        for (int version = 2; version <= changes; ++version)
            client.change(uri, version, bulk + QString("frobnicate%1\n").arg(version));
        int published = 0;
        for (int last = 0; last < changes; ++published) {
            const QJsonObject params = client.diagnostics(uri);
            QVERIFY(params["version"].toInt() > last);
            last = params["version"].toInt();
            QVERIFY(params["diagnostics"].toArray().last()["message"].toString().contains(QString("frobnicate%1").arg(last == 1 ? 0 : last)));
        }
        QVERIFY(published < changes);
    }

    void protocolErrors_data() {
        // code 0: a notification's fault, which only a log message can tell.
        Columns<QByteArray, int>({"input", "code"});
        const auto json = [](const QJsonObject &message) { return frame(QJsonDocument(message).toJson()); };
        QTest::newRow("bad JSON") << frame("{\"jsonrpc\": \"2.0\", \"id\": 7,") << -32700;
        QTest::newRow("Content-Length too long") << QByteArray("Content-Length: 900\r\n\r\n{}") << -32700;
        QTest::newRow("Content-Length too short") << QByteArray("Content-Length: 3\r\n\r\n{\"jsonrpc\":\"2.0\"}") << -32700;
        QTest::newRow("Content-Length missing") << QByteArray("Content-Type: x\r\n\r\n{}") << -32700;
        QTest::newRow("Content-Length not a number") << QByteArray("Content-Length: -4\r\n\r\n{}") << -32700;
        QTest::newRow("not an object") << frame("[1, 2]") << -32600;
        QTest::newRow("unknown method") << json(request(7, "textDocument/rename")) << -32601;
        QTest::newRow("hover of a document never opened") << json(request(7, "textDocument/hover", at("file:///b", 0, 0))) << -32602;
        QTest::newRow("change of a document never opened")
            << json(notification("textDocument/didChange", {{"textDocument", QJsonObject{{"uri", "file:///b"}}},
                                                           {"contentChanges", QJsonArray{QJsonObject{{"text", "x"}}}}}))
            << 0;
        QTest::newRow("engine of the other game")
            << json(request(7, "initialize", {{"initializationOptions", QJsonObject{{"game", "q3"}, {"engine", "jk2mv"}}}}))
            << -32602;
    }
    void protocolErrors() {
        const auto [input, code] = Fetch<QByteArray, int>({"input", "code"});
        Client client;
        const bool initializes = !input.contains("initialize");
        if (initializes)
            client.initialize();
        // Sent at once, as a client goes on: a length too long is found out by the next message.
        client.sendRaw(input);
        client.send(request(9, "shutdown"));
        const QJsonObject fault = client.next([](const QJsonObject &m) {
            return m.contains("error") || m.value("method") == "window/logMessage";
        });
        QCOMPARE(fault["error"]["code"].toInt(), code);
        QVERIFY(!client.response(9).isEmpty());
        client.send(notification("exit"));
        QCOMPARE(client.finish(), initializes ? 0 : 1);
    }
    void beforeInitializeAndWithoutShutdown() {
        Client client;
        client.send(request(1, "textDocument/hover", at("file:///a", 0, 0)));
        QCOMPARE(client.response(1)["error"]["code"].toInt(), -32002);
        client.send(notification("exit"));
        QCOMPARE(client.finish(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLsp)
#include "test_lsp.moc"
