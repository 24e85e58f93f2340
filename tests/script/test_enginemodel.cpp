// The console as each engine's code runs it. Each row runs a script as exec does and
// names the engine function whose behaviour it shows.
#include "script/enginemodel.h"
#include "script/keysimulator.h"
#include "script/scriptvocabulary.h"
#include "support/datarows.h"
#include "support/files.h"

#include <QTemporaryDir>

Q_DECLARE_METATYPE(ScriptEngine)

namespace {
const ScriptVocabulary &vocabulary(ScriptEngine engine)
{
    static const ScriptVocabulary q3 = ScriptVocabulary::load(TAVREL_SOURCE_DIR "/data/vocab/q3.tsv");
    static const ScriptVocabulary jk2 = ScriptVocabulary::load(TAVREL_SOURCE_DIR "/data/vocab/jk2.tsv");
    return IsJediOutcast(engine) ? jk2 : q3;
}
constexpr auto Q132 = ScriptEngine::Quake3_132, IOQ3 = ScriptEngine::ioquake3;
constexpr auto JK104 = ScriptEngine::JediOutcast_104, JKMV = ScriptEngine::jk2mv;

// Console lines joined by "|", a repeated line as "text xN".
QString consoleOf(const EngineModel &model)
{
    QStringList lines;
    for (const EngineModel::ConsoleLine &line : model.console())
        lines << (line.count > 1 ? QStringLiteral("%1 x%2").arg(line.text).arg(line.count) : line.text);
    return lines.join(u'|');
}
} // namespace

class TestEngineModel : public QObject {
    Q_OBJECT

private slots:
    void exec_data()
    {
        // frames: how many frames run; cvars: "name=value" the state must hold afterwards.
        Columns<ScriptEngine, QString, int, QString, QStringList>({"engine", "script", "frames", "console", "cvars"});
        const auto row = [](const char *name, ScriptEngine engine, const QString &script, int frames,
                            const QString &console, const QStringList &cvars = {}) {
            QTest::newRow(name) << engine << script << frames << console << cvars;
        };
        // Cvar_SetA_f: Argc() != 3 prints the usage; ioquake3's Cvar_Set_f joins the words.
        row("1.32 seta of two words", Q132, "seta name Big Bob", 1, "usage: seta <variable> <value>", {"name=UnnamedPlayer"});
        row("jk2mv seta of two words", JKMV, "seta x a b", 1, "usage: seta <variable> <value>", {"x="});
        row("ioq3 seta joins", IOQ3, "seta name Big Bob", 1, "", {"name=Big Bob"});
        row("ioq3 seta without a value prints the cvar", IOQ3, "seta zz", 1, "Cvar zz does not exist.");
        // Cvar_Command: Cmd_Argv(1), or Cmd_Args() in ioquake3; 1.04 toggles on a leading "!".
        row("1.04 cvar as a command", JK104, "name Big Bob", 1, "", {"name=Big"});
        row("ioq3 cvar as a command", IOQ3, "name Big Bob", 1, "", {"name=Big Bob"});
        row("1.04 ! toggles", JK104, "cl_run 1; cl_run !x", 1, "", {"cl_run=0"});
        row("jk2mv only a lone ! toggles", JKMV, "cl_run !x", 1, "", {"cl_run=!x"});
        // Cvar_Toggle_f: the continuations cycle through a list.
        row("ioq3 toggle cycles", IOQ3, "set m a; toggle m a b c; toggle m a b c", 1, "", {"m=c"});
        row("1.32 toggle takes no list", Q132, "set m 0; toggle m a b", 1, "usage: toggle <variable>", {"m=0"});
        // Cmd_Echo_f prints each word and a blank; jk2mv and ioquake3 print Cmd_Args().
        row("1.32 echo", Q132, "echo a   \"b c\"", 1, "a b c ");
        row("jk2mv echo", JKMV, "echo a   \"b c\"", 1, "a b c");
        // Cmd_Vstr_f and Cmd_Wait_f: a chain runs at once, a wait leaves the rest for the next frame.
        row("vstr chain", Q132, "set a \"echo 1; vstr b\"; set b \"echo 2\"; vstr a", 1, "1 |2 ");
        row("wait ends the frame", JKMV, "set a \"echo 1; wait; echo 2\"; vstr a", 1, "1");
        row("next frame", JKMV, "set a \"echo 1; wait; echo 2\"; vstr a", 2, "1|2");
        // Cbuf_InsertText: each round leaves a newline behind until the buffer is full: the
        // value's 16 bytes with r newlines left fit while 16 + r <= the buffer.
        row("1.32 loop overflows", Q132, "set a \"echo x; vstr a\"; vstr a", 1,
            "x  x16369|Cbuf_InsertText overflowed");
        row("ioq3 loop overflows later", IOQ3, "set a \"echo x; vstr a\"; vstr a", 1,
            "x x131057|Cbuf_InsertText overflowed");
        // CL_ForwardCommandToServer: not connected, "+" and "-" words.
        row("unknown words", Q132, "foo 1; +foo; -foo", 1, "Unknown command \"foo\"|Unknown command \"+foo\"");
        // Cmd_Exec_f: ioquake3 names the file with its extension.
        row("1.32 exec of a missing file", Q132, "exec nothere", 1, "couldn't exec nothere");
        row("ioq3 exec of a missing file", IOQ3, "exec nothere", 1, "couldn't exec nothere.cfg");
        row("exec runs the other file first", JKMV, "exec other; echo after", 1, "execing other|inside|after");
        // Cbuf_Execute cuts a line at 1023 bytes; jk2mv says so.
        row("jk2mv long line", JKMV, "echo " + QString(1030, u'a') + " b", 1,
            "Cbuf_Execute: command line overflowed|" + QString(1018, u'a') + "|Unknown command \"" + QString(11, u'a') + "\"");
    }
    void exec()
    {
        const auto [engine, script, frames, console, cvars] =
            Fetch<ScriptEngine, QString, int, QString, QStringList>({"engine", "script", "frames", "console", "cvars"});
        EngineModel model(engine, vocabulary(engine));
        model.setFileReader([](const QString &name) -> std::optional<QString> {
            if (name == u"other.cfg")
                return QStringLiteral("echo inside");
            return std::nullopt;
        });
        QVERIFY(model.insertText(script));
        for (int i = 0; i < frames; ++i)
            model.executeFrame();
        QCOMPARE(consoleOf(model), console);
        for (const QString &pair : cvars)
            QCOMPARE(model.cvar(pair.section(u'=', 0, 0)), pair.section(u'=', 1));
    }

    void keys()
    {
        // A bind and its key press; the same key under each name the engine accepts.
        const std::tuple<ScriptEngine, const char *, const char *, bool> cases[] = {
            {JK104, "0x5d", "P", true}, {JK104, "q", "Q", true}, {Q132, "0x5D", "P", true},
            {Q132, "Q", "Q", true},     {IOQ3, "Q", "q", true},  {IOQ3, "0x71", "q", true},
            {IOQ3, "0x200", "", false}, {Q132, "mouse1", "MOUSE1", true}, {JKMV, "caplock", "", false}};
        for (const auto &[engine, name, key, valid] : cases) {
            const KeyReading reading = ReadKeyName(name, engine, vocabulary(engine));
            QCOMPARE(reading.valid, valid);
            QCOMPARE(reading.key, QString(key));
        }
        EngineModel model(JK104, vocabulary(JK104));
        model.executeLine("bind q \"+attack\"");
        model.executeLine("bind 0x5d echo hi");
        QCOMPARE(model.binding("Q"), QStringLiteral("+attack"));
        QCOMPARE(model.binding("P"), QStringLiteral("echo hi"));
        model.executeLine("unbind Q");
        QVERIFY(model.binding("Q").isEmpty());
    }

    void presses_data()
    {
        // transcript: exec's lines, then "> KEY" and what each press and release printed.
        Columns<ScriptEngine, QString, QString, QString>({"engine", "script", "keys", "transcript"});
        const auto row = [](const char *name, ScriptEngine engine, const QString &script, const char *keys,
                            const QString &transcript) { QTest::newRow(name) << engine << script << keys << transcript; };
        row("self-rebinding toggle", JKMV,
            "set on \"echo on; bind x vstr off\"\nset off \"echo off; bind x vstr on\"\nbind x vstr on", "x,x,x",
            "execing t.cfg|> x|on|> x|off|> x|on");
        // CL_KeyEvent and CL_AddKeyUpCommands repeat on release what follows a button; ioquake3's
        // CL_ParseBinding runs it on press only.
        row("1.32 button pair", Q132, "bind x \"+attack; echo hi\"", "x", "execing t.cfg|> x|hi  x2");
        row("ioq3 button pair", IOQ3, "bind x \"+attack; echo hi\"", "x", "execing t.cfg|> x|hi");
        row("an unknown button prints on press, its release is dropped", JK104, "bind x +zoomx", "X",
            "execing t.cfg|> X|Unknown command \"+zoomx\"");
        row("wait leaves the rest for later frames", JKMV, "bind x \"echo 1; wait 3; echo 2\"", "x",
            "execing t.cfg|> x|1|2");
        row("nested exec beside the script", JKMV, "exec inner; echo outer; exec none", "",
            "execing t.cfg|execing inner|inner|outer|couldn't exec none");
        row("an unbound key", Q132, "echo ready", "F1", "execing t.cfg|ready |> F1");
    }
    void presses()
    {
        const auto [engine, script, keys, transcript] =
            Fetch<ScriptEngine, QString, QString, QString>({"engine", "script", "keys", "transcript"});
        QTemporaryDir folder;
        QVERIFY(writeAll(folder.filePath("inner.cfg"), "echo inner"));
        KeySimulator simulator(engine, vocabulary(engine), folder.path());
        simulator.exec("t.cfg", script);
        QStringList lines;
        auto take = [&] {
            for (const EngineModel::ConsoleLine &line : simulator.takeConsole())
                lines << (line.count > 1 ? QStringLiteral("%1 x%2").arg(line.text).arg(line.count) : line.text);
        };
        take();
        for (const QString &key : keys.split(u',', Qt::SkipEmptyParts)) {
            lines << "> " + key;
            QVERIFY(simulator.press(key));
            take();
        }
        QCOMPARE(lines.join(u'|'), transcript);
    }
    void changedCvars()
    {
        KeySimulator simulator(JKMV, vocabulary(JKMV));
        simulator.exec("t.cfg", "set CL_RUN 0; seta mine \"a b\"; set mine2 x; set mine2 \"\"; bind x toggle cl_run");
        QVERIFY(simulator.press("x") && !simulator.press("caplock"));
        QStringList changes;
        for (const KeySimulator::CvarChange &c : simulator.changedCvars())
            changes << c.name + ":" + c.before + ">" + c.after;
        QCOMPARE(changes, (QStringList{"mine:>a b"})); // cl_run toggled back to its default; mine2 ends empty
    }

    void connected()
    {
        EngineModel model(Q132, vocabulary(Q132));
        model.setConnected(true);
        model.insertText("foo a b; +foo; -foo");
        model.executeFrame();
        QCOMPARE(model.forwarded(), QStringList{"foo a b"});
        QCOMPARE(consoleOf(model), QStringLiteral("Unknown command \"+foo\""));
    }
};

QTEST_GUILESS_MAIN(TestEngineModel)
#include "test_enginemodel.moc"
