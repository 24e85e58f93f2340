// Each rule predicts what the engine does with a line; every rule has a look-alike that
// the engine runs as written and that must stay quiet. Then what the window shows of
// the findings: rows, squiggles and colours in UTF-8 bytes, hover texts, completion.
#include "codec/cp1252.h"
#include "script/diagnostics.h"
#include "script/scriptanalysis.h"
#include "script/scriptparse.h"
#include "support/datarows.h"
#include "support/files.h"

#include <QDirIterator>

Q_DECLARE_METATYPE(ScriptEngine)
Q_DECLARE_METATYPE(FindingKind)

namespace {
const ScriptVocabulary &vocabulary(ScriptEngine engine) {
    static const ScriptVocabulary q3 = ScriptVocabulary::load(TAVREL_SOURCE_DIR "/data/vocab/q3.tsv");
    static const ScriptVocabulary jk2 = ScriptVocabulary::load(TAVREL_SOURCE_DIR "/data/vocab/jk2.tsv");
    return IsJediOutcast(engine) ? jk2 : q3;
}
QList<Finding> diagnose(const QString &text, ScriptEngine engine, qint64 size = -1) {
    return Diagnose(text, engine, vocabulary(engine), size);
}
constexpr auto Q132 = ScriptEngine::Quake3_132, IOQ3 = ScriptEngine::ioquake3;
constexpr auto JK104 = ScriptEngine::JediOutcast_104, JKMV = ScriptEngine::jk2mv;
} // namespace

class TestDiagnostics : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!vocabulary(JK104).isEmpty() && !vocabulary(Q132).isEmpty()); }

    void rules_data() {
        // kind -1 for look-alikes: no finding of any kind; column of the first finding, 0-based;
        // says: part of its message.
        Columns<QString, ScriptEngine, FindingKind, int, int, QString>(
            {"text", "engine", "kind", "count", "column", "says"});
        using K = FindingKind;
        const auto rule = [](const char *name, const QString &text, ScriptEngine engine, K kind, int count,
                             int column, const char *says = "") {
            QTest::newRow(name) << text << engine << kind << count << column << QString(says);
        };
        const auto fine = [](const char *name, ScriptEngine engine, const QStringList &lines) {
            QTest::addRow("look-alikes: %s", name) << lines.join(u'\n') << engine << K(-1) << 0 << -1 << QString();
        };
        // Cbuf_Execute: only ioquake3's knows comments; elsewhere the tokenizer skips them
        // within one command line.
        rule("1.32: ; in // comment runs the rest", "// old; bind x y", Q132, K::CommentSemicolon, 1, 6);
        rule("1.32: what follows runs", "// note; echox b", Q132, K::UnknownCommand, 1, 9);
        rule("1.04: ; in // comment runs the rest", "echo a // x; echo b", JK104, K::CommentSemicolon, 1, 11);
        rule("jk2mv: ; in // comment runs the rest", "// old; bind x y", JKMV, K::CommentSemicolon, 1, 6);
        fine("; at a comment's end, ; in quotes in a comment", Q132, {"// old;", "// \"a; b\""});
        fine("ioq3 keeps the comment whole", IOQ3, {"// old; bind x y", "// note; echox b"});
        rule("1.32: /* ends at the line end", "/* a\necho b */", Q132, K::LineBlockComment, 1, 0);
        rule("1.04: the next line runs", "/* a\nechox b */", JK104, K::UnknownCommand, 1, 0);
        rule("jk2mv: /* ends at the line end", "/* a\necho b */", JKMV, K::LineBlockComment, 1, 0);
        fine("one-line /* */", Q132, {"/* a */ echo b"});
        fine("ioq3 /* */ spans lines", IOQ3, {"/* a", "echox b */ echo c"});
        rule("ioq3: an open /* takes the rest of the buffer", "echo a\n/* a\necho b", IOQ3, K::UnclosedComment, 1, 0,
             "queued after it");
        rule("ioq3: past 1023 bytes the rest runs in pieces", "/* " + QString(1100, u'a'), IOQ3, K::UnclosedComment, 1,
             0, "pieces of 1023 bytes");
        rule("newline closes a quote", "bind x \"say hi\necho b", Q132, K::UnterminatedQuote, 1, 7, "never closed");
        fine("closed quotes; characters above 127 in quotes", Q132, {"bind x \"say hi\"", "say \"caf\u00e9\""});
        fine("a quote in a // comment of ioq3 still counts but closes", IOQ3, {"// \"a\" b"});
        // Cmd_TokenizeString: *text <= ' ' on a signed char; jk2mv casts to unsigned char.
        rule("1.32: a character above 127 splits words", "echo\u00e9x", Q132, K::HighByteBlank, 1, 4, "blank in Quake");
        rule("1.04: bind takes the command for the key", "bind \u00d9 \"+attack\"", JK104, K::HighByteBlank, 1, 5,
             "takes \"+attack\" for the key name");
        fine("jk2mv keeps such characters in the word", JKMV, {"echo caf\u00e9", "bind \u00d9 \"+attack\""});
        // Cmd_ExecuteString, then CL_ForwardCommandToServer.
        rule("unknown word", "cl_rnu 1", Q132, K::UnknownCommand, 1, 0, "prints Unknown command \"cl_rnu\"");
        rule("a + word is never forwarded", "bind x \"+atack\"", Q132, K::UnknownCommand, 1, 8, "each time");
        rule("a - word is dropped", "-atack", JKMV, K::UnknownCommand, 1, 0, "ignores it");
        rule("ioq3-only command on 1.32", "unset foo", Q132, K::UnknownCommand, 1, 0);
        rule("a vstr'd value runs", "set a \"b0gus\"\nbind x vstr a", Q132, K::UnknownCommand, 1, 7);
        fine("ioq3-only command on ioq3", IOQ3, {"unset foo"});
        rule("vstr target used as a command", "vstr go\ngo", Q132, K::UnknownCommand, 0, -1);
        fine("cvars as commands in any case, -button twins, own variables, plain values", Q132,
             {"CL_RUN 1", "bind x \"-attack\"", "myvar 1", "seta myvar 0", "bind x \"set t 1\"", "t",
              "seta cg_fov 90", "seta name \"a b\""});
        rule("unknown key name", "bind caplock +attack", JK104, K::UnknownKey, 1, 5, "no key named \"caplock\"");
        rule("jk2mv-only ALTGR on 1.04", "bind ALTGR +attack", JK104, K::UnknownKey, 1, 5);
        rule("unbind checks too", "unbind mouse9", Q132, K::UnknownKey, 1, 7, "unbinds nothing");
        fine("key names in any case", JK104, {"bind capslock +attack", "bind MOUSE1 +attack"});
        // Key_StringToKeynum (Com_HexStrToInt in ioquake3).
        fine("single characters and hex", Q132, {"bind ] +attack", "bind 0x5d echo", "bind q echo"});
        fine("upper case and hex, each its own way", JK104, {"bind Q echo", "bind 0x5D echo"});
        fine("ioq3 lowers single characters, reads hex of any case and length", IOQ3,
             {"bind Q echo", "bind 0x5d echo", "bind 0x16f echo"});
        rule("1.32: bind Q never fires", "bind Q echo", Q132, K::KeyMisread, 1, 5, "never fires; write \"q\"");
        rule("1.32 reads hex digits in lower case only", "bind 0x5D echo", Q132, K::KeyMisread, 1, 5, "binds 0x50");
        rule("1.04 reads hex digits in upper case only", "bind 0x5d echo", JK104, K::KeyMisread, 1, 5,
             "binds 0x50 (\"P\")");
        rule("jk2mv as well", "unbind 0x5d", JKMV, K::KeyMisread, 1, 7, "A-F only");
        rule("ioq3: beyond its key count", "bind 0x200 echo", IOQ3, K::UnknownKey, 1, 5);
        fine("ALTGR on jk2mv", JKMV, {"bind ALTGR +attack"});
        rule("vstr of a variable never set", "bind x vstr nowhere", Q132, K::UndefinedVstr, 1, 12);
        fine("set later in the file, or inside another value", Q132,
             {"bind x vstr a", "seta a \"echo\"", "set t \"set b echo\"", "bind y vstr b"});
        // Cmd_Vstr_f inserts the value and a newline, Cbuf_InsertText one more: each round
        // leaves a byte behind until the buffer overflows.
        rule("self-running vstr floods until the buffer overflows", "set a \"echo x; vstr a\"", Q132, K::VstrLoop, 1,
             20, "about 16,000 times at once, stalling the game and flooding the console");
        rule("ioq3's buffer is eight times larger", "set a \"echo x; vstr a\"", IOQ3, K::VstrLoop, 1, 20,
             "about 130,000 times");
        rule("what follows the vstr stays queued", "set a \"vstr a; echo x\"", JKMV, K::VstrLoop, 1, 12,
             "about 1,800 times");
        rule("two-step loop", "set a vstr b\nset b \"vstr a\"", JK104, K::VstrLoop, 2, 11, "stalling the game,");
        fine("toggle advances on key press", Q132, {"set t1 \"cl_run 0; set t vstr t2\"",
             "set t2 \"cl_run 1; set t vstr t1\"", "set t vstr t1", "bind x vstr t"});
        fine("loop through a bind, value resets itself, wait gives a frame", Q132,
             {"set a \"bind x vstr a; echo\"", "set b \"set b echo done; vstr b\"", "set c \"+left; wait; vstr c\""});
        // Cbuf_Execute copies at most 1023 characters, drops the next one and runs the rest.
        rule("the rest of a long command runs", "echo " + QString(1018, u'a') + "Xb0gus b", Q132, K::UnknownCommand,
             1, 1024, "\"b0gus\"");
        rule("command over 1023 characters", "echo " + QString(1100, u'a'), Q132, K::LongCommand, 1, 1023);
        fine("1023 characters exactly, a long line of short commands", IOQ3,
             {"echo " + QString(1018, u'a'), QStringLiteral("echo a;").repeated(200)});
        // Cbuf_InsertText needs strlen + 1 bytes of MAX_CMD_BUFFER.
        rule("1.32: a file of exactly the buffer fails", QString(16384, u'\n'), Q132, K::FileTooLarge, 1, 0,
             "16384 bytes");
        fine("one byte less fits", Q132, {QString(16383, u'\n')});
        rule("jk2mv has the same buffer", QString(16384, u'\n'), JKMV, K::FileTooLarge, 1, 0, "holds 16384");
        fine("ioq3 holds 128 KB", IOQ3, {QString(131071, u'\n')});
        rule("ioq3 over 128 KB", QString(131072, u'\n'), IOQ3, K::FileTooLarge, 1, 0, "holds 131072");
        // Cvar_SetA_f and its twins insist on Argc() == 3; ioquake3's Cvar_Set_f joins.
        rule("1.32 seta with an unquoted value", "seta name Big Bob", Q132, K::SetaArguments, 1, 14);
        rule("1.04 setu with an unquoted value", "setu x a b c", JK104, K::SetaArguments, 1, 9);
        rule("jk2mv seta with an unquoted value", "seta name Big Bob", JKMV, K::SetaArguments, 1, 14);
        fine("set joins words", Q132, {"set name Big Bob"});
        fine("quoted value", JK104, {"seta name \"Big Bob\""});
        fine("ioq3 seta joins words", IOQ3, {"seta name Big Bob"});
        rule("1.04: seta without a value prints its usage", "seta cg_fov", JK104, K::SetWithoutValue, 1, 5, "usage");
        rule("ioq3 prints the cvar instead", "seta cg_fov", IOQ3, K::SetWithoutValue, 1, 5, "prints \"cg_fov\"");
        fine("an empty value", Q132, {"seta cg_fov \"\""});
        // Cvar_Command sets Cmd_Argv(1); ioquake3 sets Cmd_Args().
        rule("1.32: a cvar as a command keeps one word", "name Big Bob", Q132, K::CvarCommandWords, 1, 9,
             "name becomes \"Big\"");
        rule("jk2mv: also for the file's own variables", "set t 0\nt 1 2", JKMV, K::CvarCommandWords, 1, 4);
        fine("ioq3 joins the words; quoted value", IOQ3, {"name Big Bob"});
        fine("quoted value", JK104, {"name \"Big Bob\"", "bind x \"cl_run 1\""});
        // Q_IsColorString in the console and the notify lines takes ^0 to ^7 only.
        rule("1.04 console prints ^8", "echo ^8dark ^9red", JK104, K::LiteralColor, 2, 5);
        rule("1.04 chat shows ^8 too", "say ^8dark", JK104, K::LiteralColor, 1, 4, "chat lines");
        rule("jk2mv: colours on 1.02 and 1.03 servers only", "bind x \"echo ^9hi\"", JKMV, K::LiteralColor, 1, 13,
             "only on 1.02 and 1.03");
        fine("^8 in Q3 is black", Q132, {"echo ^8dark", "say ^9red"});
        // The per-item checks read each bit; CG_DrawInformation and G_SpawnItem any non-zero value.
        rule("stray force bit", "set g_forcePowerDisable 262144", JK104, K::MaskStrayBits, 1, 24,
             "bit 18 (262144) of g_forcePowerDisable stands for no force power: the game's per-force power checks "
             "ignore it, but any value but 0 removes the force power-ups");
        rule("bit runs, cvar as command", "g_weapondisable -61440", JKMV, K::MaskStrayBits, 1, 16,
             "ignore them, but any value but 0 shows \"saber only\"");
        fine("every bit, the way admins write it", JK104,
             {"set g_weaponDisable \"-1\"", "g_forcePowerDisable 2147483647"});
        rule("runs and single bits", "g_weapondisable 1376256", JK104, K::MaskStrayBits, 1, 16, "bits 16, 18, 20 of");
        fine("all 18 powers, saber only", JK104, {"seta g_forcePowerDisable 262143", "seta g_duelWeaponDisable 65531"});
    }
    void rules() {
        const auto [text, engine, kind, count, says] =
            Fetch<QString, ScriptEngine, FindingKind, int, QString>({"text", "engine", "kind", "count", "says"});
        QList<Finding> found;
        for (const Finding &f : diagnose(text, engine))
            if (f.kind == kind || kind == FindingKind(-1)) found << f;
        QVERIFY2(found.size() == count, qPrintable(found.isEmpty() ? QString() : FindingRow(found.first())));
        if (count > 0) {
            QTEST(found.first().column, "column");
            QVERIFY(found.first().endColumn > found.first().column);
            QVERIFY2(found.first().message.contains(says), qPrintable(found.first().message));
        }
    }
    void describe() {
        const std::tuple<const char *, const char *, const char *> masks[] = { // cvar, value, description
            {"g_forcePowerDisable", "0", "disables nothing"}, {"g_weapondisable", "4x", "disables: Lightsaber"},
            {"g_weapondisable", "65540", "disables: Lightsaber; stand for nothing: 65536"}, {"cl_run", "3", ""},
            {"g_duelweapondisable", "1", "disables nothing"}}; // bit 0 is no weapon
        for (const auto &[cvar, value, text] : masks)
            QCOMPARE(DescribeMask(cvar, value).value_or(""), QString(text));
        const std::tuple<const char *, ScriptEngine, const char *> words[] = {
            {"RATE", JKMV, "cvar rate, default \"50000\" (CVAR_USERINFO|CVAR_ARCHIVE); in Jedi Outcast 1.04 and jk2mv"},
            {"-attack", Q132, "-attack: a command of Quake III (Quake III 1.32 and ioquake3)"}, {"hello", Q132, ""},
            {"unset", Q132, "unset: a command of Quake III (ioquake3)"}};
        for (const auto &[word, engine, text] : words)
            QCOMPARE(DescribeWord(word, engine, vocabulary(engine)), QString(text));
    }
    void colorRuns() {
        // ColorIndex(c) is ((c) - '0') & 7 in every engine; they differ in what follows "^".
        const std::tuple<const char *, ScriptEngine, const char *> cases[] = { // text, engine, "begin-end:color" runs
            {"echo ^1red^2green", Q132, "7-10:1 12-17:2"}, {"say ^8a^9b", Q132, "6-7:0 9-10:1"},
            {"say_team ^ab", Q132, "11-12:1"}, {"tell 1 ^!b", IOQ3, ""},
            {"echo ^9x^1y", JK104, "10-11:1"}, {"tell 2 ^9x", JK104, "9-10:1"}, // the console prints ^9, fonts draw it
            {"seta cg_x \"^2a\" b", Q132, "13-14:2"}, {"seta name ^4Bob", Q132, "12-15:4"}, {"seta cg_x ^2a", Q132, ""},
            {"echo ^1a; echo b", Q132, "7-8:1"}};
        for (const auto &[text, engine, runs] : cases) {
            QStringList actual;
            for (const ColorRun &run : ColorRuns(text, engine))
                actual << QStringLiteral("%1-%2:%3").arg(run.begin).arg(run.end).arg(run.color);
            QCOMPARE(actual.join(u' '), QString(runs));
        }
    }
    // Real configs, beside the checkout: no crash, and the findings are the ones checked by hand.
    void corpus() {
        const QString root = QStringLiteral(TAVREL_SOURCE_DIR "/../shared/corpus");
        if (!QFile::exists(root)) QSKIP("the corpus of player configs is not on this machine");
        QStringList paths, actual;
        for (QDirIterator it(root, {"*.cfg"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            paths << it.next();
        paths.sort();
        for (const QString &path : std::as_const(paths)) {
            const QByteArray bytes = readAll(path);
            for (ScriptEngine engine : path.contains("/jk2/") ? QList{JK104, JKMV} : QList{Q132, IOQ3}) {
                for (const Finding &f : diagnose(cp1252::decode(bytes), engine))
                    if (f.kind != FindingKind::UnknownCommand) // mod commands: too many to list
                        actual << path.section(u'/', -2) + " " + EngineName(engine) + " " + FindingRow(f);
            }
        }
        writeAll("corpus-findings.actual.txt", actual.join(u'\n').toUtf8() + '\n'); // to compare line by line
        const QByteArray expected = readAll(TAVREL_SOURCE_DIR "/tests/script/corpus-findings.txt");
        QCOMPARE(actual, QString::fromUtf8(expected).trimmed().split(u'\n'));
    }
    void analysis() {
        // Characters of several UTF-8 bytes before a finding or a colour move its bytes; a
        // loop, found last, is listed first; a lone CR ends a line.
        const QString text = "echo \u20AC^1r^7w^3y^5c^6m\r\nset a \"vstr a\"\rbind caplock +attack\necho \U0001F600\n";
        const QByteArray utf8 = text.toUtf8();
        const ScriptAnalysis a = AnalyzeScript(utf8, JKMV, vocabulary(JKMV)); // no signed-char blanks
        QCOMPARE(a.findings, diagnose(text, JKMV));
        QCOMPARE(a.rows.size(), 2);
        QCOMPARE(a.rows[0], QStringLiteral("2:13 ") + a.findings[0].message);
        QVERIFY(a.rows[1].startsWith(QStringLiteral("3:6 ")) && a.rows[1].contains(QStringLiteral("caplock")));
        QStringList spans;
        for (const QList<ScriptAnalysis::Span> &list : {a.squiggles, a.colors})
            for (const ScriptAnalysis::Span &s : list)
                spans << QStringLiteral("%1-%2:%3").arg(s.begin).arg(s.end).arg(s.value, 0, 16);
        const qsizetype key = utf8.indexOf("caplock"), loop = utf8.indexOf("a\"\r");
        // White, yellow and cyan would vanish on the white page: drawn a shade darker.
        QCOMPARE(spans, (QStringList{QStringLiteral("%1-%2:1").arg(loop).arg(loop + 1),
                                     QStringLiteral("%1-%2:1").arg(key).arg(key + 7), "10-11:ff0000", "13-14:7f7f7f",
                                     "16-17:7f7f40", "19-20:407f7f", "22-23:ff00ff"}));
        // Positions asked backwards, around a surrogate pair and past either end, as overlapping findings ask.
        Utf8Positions bytes(text);
        for (const qsizetype offset : {text.size() + 5, qsizetype(66), qsizetype(6), qsizetype(64), qsizetype(40),
                                       qsizetype(-3)})
            QCOMPARE(bytes.at(offset), text.left(std::max(offset, qsizetype(0))).toUtf8().size());
        const ScriptAnalysis huge = AnalyzeScript(QByteArray(MaxCheckedBytes + 1, '\n'), JK104, vocabulary(JK104));
        QVERIFY(huge.findings.isEmpty() && huge.squiggles.isEmpty());
        QCOMPARE(huge.rows, QStringList{QStringLiteral("Not checked: the script is larger than 32 MB.")});
        // The buffer limit counts the file's bytes: a character beyond the first plane is one.
        const QString faces = QStringLiteral("\U0001F600").repeated(8192);
        for (const Finding &f : AnalyzeScript(faces.toUtf8(), Q132, vocabulary(Q132)).findings)
            QVERIFY(f.kind != FindingKind::FileTooLarge);
    }
    void hover() {
        const ScriptVocabulary &words = vocabulary(JK104);
        const QString rate = DescribeWord("rate", JK104, words);
        const QString mask = DescribeWord("g_forcepowerdisable", JK104, words);
        const std::tuple<const char *, int, int, QString> cases[] = { // text, line and column, the hover text
            {"seta g_forcepowerdisable 3", 0, 25, "disables: Heal, Jump"},
            {"g_forcepowerdisable 3", 0, 0, "disables: Heal, Jump\n" + mask},
            {"x\nbind caplock +attack", 1, 6,
             "Jedi Outcast 1.04 has no key named \"caplock\": the game prints \"\\\"caplock\\\" isn't a valid key\" "
             "and binds nothing"},
            {"bind caplock +attack\nseta rate 1", 1, 6, rate}, {"bind x \"rate\"", 0, 9, rate},
            {"seta  rate 1", 0, 5, ""}};
        for (const auto &[text, line, column, expected] : cases)
            QCOMPARE(HoverText(QString(text).split(u'\n')[line], line, column, diagnose(text, JK104), JK104, words),
                     expected);
    }
    void completion() {
        // One completer for all: its cache must keep engines and kinds apart.
        ScriptCompletion completer;
        const std::tuple<const char *, ScriptEngine, const char *, QStringList, QStringList> cases[] = {
            // before the caret, engine, prefix, offered (none: nothing at all), not offered
            {"c", Q132, "c", {}, {}}, {"mo", Q132, "mo", {"model", "modelist"}, {"MOUSE1"}},
            {"echo a; +at", JK104, "+at", {"+attack"}, {}}, {"bind x \"+at", JK104, "+at", {"+attack"}, {}},
            {"bind x +at", JK104, "+at", {}, {}}, {"bind mo", Q132, "mo", {"MOUSE1"}, {"model", "MODE"}},
            {"bind f1", Q132, "f1", {"F1", "F10", "F12"}, {"F13"}}, {"bind f1", IOQ3, "f1", {"F1", "F13"}, {}},
            {"seta cl_r", Q132, "cl_r", {"cl_run"}, {"cl_renderer"}}, {"toggle cl_r", JK104, "cl_r", {"cl_run"}, {}},
            {"set vid_r", JK104, "vid_r", {}, {}}, {"unse", Q132, "unse", {}, {}},
            {"unse", IOQ3, "unse", {"unset"}, {}}, {"vstr cl_r", Q132, "cl_r", {}, {}}};
        for (const auto &[before, engine, prefix, offered, notOffered] : cases) {
            const ScriptCompletion::Result result = completer.complete(before, engine, vocabulary(engine));
            QCOMPARE(result.prefix, QString(prefix));
            QVERIFY2(result.names.isEmpty() == offered.isEmpty(), before);
            for (const QString &name : offered) QVERIFY2(result.names.contains(name), qPrintable(name));
            for (const QString &name : result.names)
                QVERIFY2(name.startsWith(prefix, Qt::CaseInsensitive) && !notOffered.contains(name), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "test_diagnostics.moc"
