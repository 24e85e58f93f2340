// Each rule predicts what the engine does with a line; every rule has a look-alike that
// the engine runs as written and that must stay quiet.
#include "script/diagnostics.h"
#include "script/scriptparse.h"
#include "musicchanger/musicchanger.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(ScriptEngine)
Q_DECLARE_METATYPE(FindingKind)

namespace {

const ScriptVocabulary &vocabulary(bool jk2)
{
    static const ScriptVocabulary q3 = ScriptVocabulary::load(QStringLiteral(TAVREL_SOURCE_DIR "/data/vocab/q3.tsv"));
    static const ScriptVocabulary jo = ScriptVocabulary::load(QStringLiteral(TAVREL_SOURCE_DIR "/data/vocab/jk2.tsv"));
    return jk2 ? jo : q3;
}

QList<Finding> diagnose(const QString &text, ScriptEngine engine, qint64 size = -1)
{
    return Diagnose(text, engine, vocabulary(IsJediOutcast(engine)), size);
}

QList<Finding> ofKind(const QList<Finding> &all, FindingKind kind)
{
    QList<Finding> result;
    for (const Finding &f : all) {
        if (f.kind == kind)
            result << f;
    }
    return result;
}

constexpr auto Q132 = ScriptEngine::Quake3_132;
constexpr auto IOQ3 = ScriptEngine::ioquake3;
constexpr auto JK104 = ScriptEngine::JediOutcast_104;
constexpr auto JKMV = ScriptEngine::jk2mv;

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!vocabulary(true).isEmpty());
        QVERIFY(!vocabulary(false).isEmpty());
    }

    void statementSplit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ScriptEngine>("engine");
        QTest::addColumn<QStringList>("commands"); // first words of the statements that run

        QTest::newRow("; ends a command outside quotes") << "echo a; echo b" << Q132 << QStringList{"echo", "echo"};
        QTest::newRow("; inside quotes stays in the word") << "bind x \"echo a; echo b\"" << Q132
                                                           << QStringList{"bind", "echo", "echo"};
        QTest::newRow("1.32 Cbuf splits a // comment at ;") << "// note; echo b" << Q132 << QStringList{"echo"};
        QTest::newRow("ioq3 Cbuf skips ; in a // comment") << "// note; echo b" << IOQ3 << QStringList{};
        QTest::newRow("1.04 ends /* at the line end") << "/* a\nechox b */" << JK104 << QStringList{"echox"};
        QTest::newRow("jk2mv /* */ spans lines") << "/* a\nechox b */" << JKMV << QStringList{};
        QTest::newRow("newline ends an open quote") << "echo \"a\necho b" << Q132 << QStringList{"echo", "echo"};
        QTest::newRow("byte 0x80 and up separates words (signed char)") << QString::fromUtf8("echo\u00e9x")
                                                                          << Q132 << QStringList{"echo"};
    }
    void statementSplit()
    {
        QFETCH(QString, text);
        QFETCH(ScriptEngine, engine);
        QFETCH(QStringList, commands);
        QStringList run;
        for (const ScriptStatement &s : ParseScript(text, engine)) {
            if (!s.tokens.isEmpty())
                run << s.command();
        }
        QCOMPARE(run, commands);
    }

    void longCommandIsCutAndTheRestRuns()
    {
        // Cbuf_Execute copies at most 1023 characters, drops the next one and keeps the rest.
        const QString text = QStringLiteral("echo ") + QString(1018, u'a') + QStringLiteral("Xecho b");
        const QList<ScriptStatement> statements = ParseScript(text, Q132);
        QCOMPARE(statements.size(), 2);
        QCOMPARE(statements[0].end, 1023);
        QVERIFY(statements[0].cutAtLimit);
        QCOMPARE(statements[1].command(), QStringLiteral("echo"));
    }

    void rules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ScriptEngine>("engine");
        QTest::addColumn<FindingKind>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("column"); // of the first finding, 0-based

        const auto K = [](FindingKind k) { return k; };
        // Comments
        QTest::newRow("1.32: ; in // comment runs the rest") << "// old; bind x y" << Q132 << K(FindingKind::CommentSemicolon) << 1 << 6;
        QTest::newRow("1.04: ; in // comment runs the rest") << "echo a // x; echo b" << JK104 << K(FindingKind::CommentSemicolon) << 1 << 11;
        QTest::newRow("fine: ioq3 keeps the comment whole") << "// old; bind x y" << IOQ3 << K(FindingKind::CommentSemicolon) << 0 << -1;
        QTest::newRow("fine: ; at a comment's end runs nothing") << "// old;" << Q132 << K(FindingKind::CommentSemicolon) << 0 << -1;
        QTest::newRow("fine: ; in quotes inside a comment") << "// \"a; b\"" << Q132 << K(FindingKind::CommentSemicolon) << 0 << -1;
        QTest::newRow("1.32: /* ends at the line end") << "/* a\necho b */" << Q132 << K(FindingKind::LineBlockComment) << 1 << 0;
        QTest::newRow("fine: one-line /* */") << "/* a */ echo b" << Q132 << K(FindingKind::LineBlockComment) << 0 << -1;
        QTest::newRow("fine: ioq3 /* over lines") << "/* a\necho b */" << IOQ3 << K(FindingKind::LineBlockComment) << 0 << -1;
        // Quotes
        QTest::newRow("newline closes an open quote") << "bind x \"say hi\necho b" << Q132 << K(FindingKind::UnterminatedQuote) << 1 << 7;
        QTest::newRow("fine: closed quote") << "bind x \"say hi\"\necho b" << Q132 << K(FindingKind::UnterminatedQuote) << 0 << -1;
        QTest::newRow("fine: quote in a // comment of ioq3 still counts but closes") << "// \"a\" b" << IOQ3 << K(FindingKind::UnterminatedQuote) << 0 << -1;
        // Unknown first words
        QTest::newRow("unknown word is forwarded") << "cl_rnu 1" << Q132 << K(FindingKind::UnknownCommand) << 1 << 0;
        QTest::newRow("unknown inside a bind value") << "bind x \"+atack\"" << Q132 << K(FindingKind::UnknownCommand) << 1 << 8;
        QTest::newRow("ioq3-only command on 1.32") << "unset foo" << Q132 << K(FindingKind::UnknownCommand) << 1 << 0;
        QTest::newRow("fine: ioq3-only command on ioq3") << "unset foo" << IOQ3 << K(FindingKind::UnknownCommand) << 0 << -1;
        QTest::newRow("fine: cvar as a command, any case") << "CL_RUN 1" << Q132 << K(FindingKind::UnknownCommand) << 0 << -1;
        QTest::newRow("fine: -button twin") << "bind x \"-attack\"" << JK104 << K(FindingKind::UnknownCommand) << 0 << -1;
        QTest::newRow("fine: the script's own variable") << "myvar 1\nseta myvar 0" << Q132 << K(FindingKind::UnknownCommand) << 0 << -1;
        QTest::newRow("fine: variable set inside a bind value") << "bind x \"set t 1\"\nt" << Q132 << K(FindingKind::UnknownCommand) << 0 << -1;
        QTest::newRow("fine: vstr target used as a command") << "vstr go\ngo" << Q132 << K(FindingKind::UnknownCommand) << 0 << -1;
        QTest::newRow("fine: a plain cvar value is data") << "seta cg_fov 90\nseta name \"a b\"" << Q132 << K(FindingKind::UnknownCommand) << 0 << -1;
        QTest::newRow("a vstr'd value runs") << "set a \"b0gus\"\nbind x vstr a" << Q132 << K(FindingKind::UnknownCommand) << 1 << 7;
        // Keys
        QTest::newRow("unknown key name") << "bind caplock +attack" << JK104 << K(FindingKind::UnknownKey) << 1 << 5;
        QTest::newRow("ioq3-only key on 1.32") << "bind WORLD_0 +attack" << Q132 << K(FindingKind::UnknownKey) << 1 << 5;
        QTest::newRow("jk2mv-only ALTGR on 1.04") << "bind ALTGR +attack" << JK104 << K(FindingKind::UnknownKey) << 1 << 5;
        QTest::newRow("unbind checks too") << "unbind mouse9" << Q132 << K(FindingKind::UnknownKey) << 1 << 7;
        QTest::newRow("fine: key name in any case") << "bind capslock +attack\nbind MOUSE1 +attack" << JK104 << K(FindingKind::UnknownKey) << 0 << -1;
        QTest::newRow("fine: single character and hex") << "bind ] +attack\nbind 0x00 echo\nbind Q echo" << Q132 << K(FindingKind::UnknownKey) << 0 << -1;
        QTest::newRow("fine: ALTGR on jk2mv") << "bind ALTGR +attack" << JKMV << K(FindingKind::UnknownKey) << 0 << -1;
        // vstr
        QTest::newRow("vstr of a variable never set") << "bind x vstr nowhere" << Q132 << K(FindingKind::UndefinedVstr) << 1 << 12;
        QTest::newRow("fine: set later in the file") << "bind x vstr a\nseta a \"echo\"" << Q132 << K(FindingKind::UndefinedVstr) << 0 << -1;
        QTest::newRow("fine: set inside another value") << "set t \"set a echo\"\nbind x vstr a" << Q132 << K(FindingKind::UndefinedVstr) << 0 << -1;
        QTest::newRow("self-running vstr hangs") << "set a \"echo x; vstr a\"" << Q132 << K(FindingKind::VstrLoop) << 1 << 20;
        QTest::newRow("two-step loop hangs") << "set a vstr b\nset b \"vstr a\"" << JK104 << K(FindingKind::VstrLoop) << 2 << 11;
        QTest::newRow("fine: toggle advances on key press") << "set t1 \"cl_run 0; set t vstr t2\"\nset t2 \"cl_run 1; set t vstr t1\"\nset t vstr t1\nbind x vstr t" << Q132 << K(FindingKind::VstrLoop) << 0 << -1;
        QTest::newRow("fine: loop through a bind") << "set a \"bind x vstr a; echo\"" << Q132 << K(FindingKind::VstrLoop) << 0 << -1;
        QTest::newRow("fine: value resets itself before running") << "set a \"set a echo done; vstr a\"" << Q132 << K(FindingKind::VstrLoop) << 0 << -1;
        QTest::newRow("fine: wait gives a frame") << "set a \"+left; wait; vstr a\"" << Q132 << K(FindingKind::VstrLoop) << 0 << -1;
        // Length and size
        QTest::newRow("command over 1023 characters") << "echo " + QString(1100, u'a') << Q132 << K(FindingKind::LongCommand) << 1 << 1023;
        QTest::newRow("fine: 1023 characters exactly") << "echo " + QString(1018, u'a') << Q132 << K(FindingKind::LongCommand) << 0 << -1;
        QTest::newRow("fine: long line of short commands") << QStringLiteral("echo a;").repeated(200) << IOQ3 << K(FindingKind::LongCommand) << 0 << -1;
        // seta arguments
        QTest::newRow("1.32 seta with an unquoted value") << "seta name Big Bob" << Q132 << K(FindingKind::SetaArguments) << 1 << 14;
        QTest::newRow("1.04 setu with an unquoted value") << "setu x a b c" << JK104 << K(FindingKind::SetaArguments) << 1 << 9;
        QTest::newRow("fine: set joins words") << "set name Big Bob" << Q132 << K(FindingKind::SetaArguments) << 0 << -1;
        QTest::newRow("fine: quoted value") << "seta name \"Big Bob\"" << JK104 << K(FindingKind::SetaArguments) << 0 << -1;
        QTest::newRow("fine: ioq3 seta joins words") << "seta name Big Bob" << IOQ3 << K(FindingKind::SetaArguments) << 0 << -1;
        // Colour codes
        QTest::newRow("1.04 console prints ^8") << "echo ^8dark ^9red" << JK104 << K(FindingKind::LiteralColor) << 2 << 5;
        QTest::newRow("jk2mv console prints ^9 too") << "bind x \"echo ^9hi\"" << JKMV << K(FindingKind::LiteralColor) << 1 << 13;
        QTest::newRow("fine: ^8 in Q3 is black") << "echo ^8dark" << Q132 << K(FindingKind::LiteralColor) << 0 << -1;
        QTest::newRow("fine: say is drawn by the font renderer") << "say ^8dark" << JK104 << K(FindingKind::LiteralColor) << 0 << -1;
        // Masks
        QTest::newRow("force bit 18 stands for nothing") << "set g_forcePowerDisable 262144" << JK104 << K(FindingKind::MaskStrayBits) << 1 << 24;
        QTest::newRow("weapon bits above 15, cvar as command") << "g_weapondisable 65536" << JKMV << K(FindingKind::MaskStrayBits) << 1 << 16;
        QTest::newRow("fine: all 18 powers") << "seta g_forcePowerDisable 262143" << JK104 << K(FindingKind::MaskStrayBits) << 0 << -1;
        QTest::newRow("fine: saber only") << "seta g_duelWeaponDisable 65531" << JK104 << K(FindingKind::MaskStrayBits) << 0 << -1;
    }
    void rules()
    {
        QFETCH(QString, text);
        QFETCH(ScriptEngine, engine);
        QFETCH(FindingKind, kind);
        QFETCH(int, count);
        QFETCH(int, column);
        const QList<Finding> found = ofKind(diagnose(text, engine), kind);
        QCOMPARE(found.size(), count);
        if (count > 0) {
            QCOMPARE(found.first().column, column);
            QVERIFY(found.first().endColumn > found.first().column);
            QVERIFY(!found.first().message.isEmpty());
        }
    }

    void fileSize_data()
    {
        QTest::addColumn<ScriptEngine>("engine");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("fires");
        // Cbuf_InsertText refuses text beyond MAX_CMD_BUFFER (16384) in the originals.
        QTest::newRow("1.32 over the buffer") << Q132 << qint64(16385) << true;
        QTest::newRow("1.04 over the buffer") << JK104 << qint64(20000) << true;
        QTest::newRow("fine: exactly the buffer") << Q132 << qint64(16384) << false;
        QTest::newRow("fine: ioq3 has a larger buffer") << IOQ3 << qint64(20000) << false;
        QTest::newRow("fine: jk2mv has a larger buffer") << JKMV << qint64(20000) << false;
    }
    void fileSize()
    {
        QFETCH(ScriptEngine, engine);
        QFETCH(qint64, bytes);
        QFETCH(bool, fires);
        const QList<Finding> found = ofKind(diagnose(QStringLiteral("echo a\n"), engine, bytes), FindingKind::FileTooLarge);
        QCOMPARE(found.size(), fires ? 1 : 0);
        if (fires)
            QCOMPARE(found.first().severity, FindingSeverity::Error);
    }

    void findingsAreOrderedAndRowsReadLineColumn()
    {
        const QList<Finding> found = diagnose(QStringLiteral("bind x vstr q\r\nfoo1\rfoo2"), Q132);
        QCOMPARE(found.size(), 3);
        QCOMPARE(FindingRow(found[0]), QStringLiteral("1:13 ") + found[0].message);
        QCOMPARE(found[1].line, 1);
        QCOMPARE(found[2].line, 2); // a lone CR ends a line too
        QCOMPARE(FindingRow(found[2]).left(4), QStringLiteral("3:1 "));
    }

    void describeMask_data()
    {
        QTest::addColumn<QString>("cvar");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("heal and jump") << "g_forcepowerdisable" << "3" << "disables: Heal, Jump";
        QTest::newRow("nothing") << "g_forcePowerDisable" << "0" << "disables nothing";
        QTest::newRow("weapon bit 0 is no weapon") << "g_duelweapondisable" << "1" << "disables nothing";
        QTest::newRow("stray bit") << "g_weapondisable" << "65540" << "disables: Lightsaber; stand for nothing: 65536";
        QTest::newRow("atoi stops at a letter") << "g_weapondisable" << "4x" << "disables: Lightsaber";
    }
    void describeMask()
    {
        QFETCH(QString, cvar);
        QFETCH(QString, value);
        QFETCH(QString, text);
        QCOMPARE(DescribeMask(cvar, value).value_or(QString()), text);
    }

    void describeMaskOnlyForMaskCvars() { QVERIFY(!DescribeMask(QStringLiteral("cl_run"), QStringLiteral("3"))); }

    void describeWord_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<ScriptEngine>("engine");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.04 default") << "rate" << JK104 << "cvar rate, default \"4000\" (CVAR_USERINFO|CVAR_ARCHIVE); in Jedi Outcast 1.04 and jk2mv";
        QTest::newRow("jk2mv default") << "RATE" << JKMV << "cvar rate, default \"50000\" (CVAR_USERINFO|CVAR_ARCHIVE); in Jedi Outcast 1.04 and jk2mv";
        QTest::newRow("command only in ioq3") << "unset" << Q132 << "unset: a command of Quake III (ioquake3)";
        QTest::newRow("minus button") << "-attack" << Q132 << "-attack: a command of Quake III (Quake III 1.32 and ioquake3)";
        QTest::newRow("no word") << "hello" << Q132 << "";
    }
    void describeWord()
    {
        QFETCH(QString, word);
        QFETCH(ScriptEngine, engine);
        QFETCH(QString, text);
        QCOMPARE(DescribeWord(word, engine, vocabulary(IsJediOutcast(engine))), text);
    }

    void colorRuns_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<ScriptEngine>("engine");
        QTest::addColumn<QString>("runs"); // "begin-end:color" separated by spaces

        // ColorIndex(c) is ((c) - '0') & 7 in every engine; they differ in what follows "^".
        QTest::newRow("echo runs to the next code") << "echo ^1red^2green" << Q132 << "7-10:1 12-17:2";
        QTest::newRow("1.32 ^8 is black, ^9 red") << "say ^8a^9b" << Q132 << "6-7:0 9-10:1";
        QTest::newRow("1.32 takes letters: ^a is red") << "say ^ab" << Q132 << "6-7:1";
        QTest::newRow("ioq3 refuses punctuation") << "say ^!b" << IOQ3 << "";
        QTest::newRow("1.04 console prints ^9 as it stands") << "echo ^9x^1y" << JK104 << "10-11:1";
        QTest::newRow("1.04 font draws ^9 red in say") << "say ^9x" << JK104 << "6-7:1";
        QTest::newRow("quoted string of another command") << "seta cg_x \"^2a\" b" << Q132 << "13-14:2";
        QTest::newRow("set name") << "seta name ^4Bob" << Q132 << "12-15:4";
        QTest::newRow("fine: no colour in a plain cvar") << "seta cg_x ^2a" << Q132 << "";
        QTest::newRow("fine: colour ends at the command's end") << "echo ^1a; echo b" << Q132 << "7-8:1";
    }
    void colorRuns()
    {
        QFETCH(QString, text);
        QFETCH(ScriptEngine, engine);
        QFETCH(QString, runs);
        QStringList actual;
        for (const ColorRun &run : ColorRuns(text, engine))
            actual << QStringLiteral("%1-%2:%3").arg(run.begin).arg(run.end).arg(run.color);
        QCOMPARE(actual.join(u' '), runs);
    }

    // The generator's script runs cleanly on every engine, whatever the tracks and keys.
    void musicChangerIsClean_data()
    {
        QTest::addColumn<int>("tracks");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("back");
        QTest::newRow("1 track") << 1 << "u" << "o";
        QTest::newRow("2 tracks") << 2 << "KP_PLUS" << "KP_MINUS";
        QTest::newRow("10 tracks") << 10 << "F11" << "F12";
        QTest::newRow("120 tracks") << 120 << "MOUSE4" << "0x5d";
    }
    void musicChangerIsClean()
    {
        QFETCH(int, tracks);
        QFETCH(QString, next);
        QFETCH(QString, back);
        QList<MusicTrack> list;
        for (int i = 0; i < tracks; ++i)
            list << MusicTrack{QStringLiteral("Track %1").arg(i), QStringLiteral("music/t%1.mp3").arg(i)};
        const QString text = BuildMusicChanger(list, next, back).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        for (ScriptEngine engine : {Q132, IOQ3, JK104, JKMV}) {
            // Size belongs to exec, not to the script's lines; long lists are checked
            // against it separately.
            const QList<Finding> found = diagnose(text, engine, 1);
            if (!found.isEmpty())
                QFAIL(qPrintable(EngineName(engine) + QLatin1Char(' ') + FindingRow(found.first())));
        }
    }

    // Real configs: no crash, and the findings are the ones checked by hand.
    void corpus()
    {
        // The corpus lies beside the checkout, in the shared folder.
        const QString root = QStringLiteral(TAVREL_SOURCE_DIR "/../shared/corpus");
        if (!QFile::exists(root))
            QSKIP("the corpus of player configs is not on this machine");
        QFile expectedFile(QStringLiteral(TAVREL_SOURCE_DIR "/tests/script/corpus-findings.txt"));
        const QStringList expected = expectedFile.open(QIODevice::ReadOnly)
                                         ? QString::fromUtf8(expectedFile.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                         : QStringList();
        QStringList actual;
        QDirIterator it(root, {QStringLiteral("*.cfg")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList paths;
        while (it.hasNext())
            paths << it.next();
        paths.sort();
        for (const QString &path : paths) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const bool jk2 = path.contains(QLatin1String("/jk2/"));
            for (ScriptEngine engine : {DefaultEngine(jk2), jk2 ? JKMV : IOQ3}) {
                for (const Finding &f : diagnose(QString::fromUtf8(bytes), engine, bytes.size())) {
                    if (f.kind == FindingKind::UnknownCommand)
                        continue; // mod commands; counted in the report, too many to list
                    actual << QStringLiteral("%1 %2 %3").arg(path.section(u'/', -2), EngineName(engine), FindingRow(f));
                }
            }
        }
        if (actual != expected) {
            // What the run found, for a reviewer to compare line by line.
            QFile out(QStringLiteral("corpus-findings.actual.txt"));
            if (out.open(QIODevice::WriteOnly))
                out.write(actual.join(u'\n').toUtf8() + '\n');
        }
        QCOMPARE(actual, expected);
    }

    // Squiggles and colours are placed by these positions in the editor's UTF-8 document.
    void utf8Positions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QStringLiteral("bind x \"vstr a\"");
        QTest::newRow("Windows-1252") << QStringLiteral("echo \u20AC \u00E9\u0152 ^1x\r\nsay \u00FF");
        QTest::newRow("surrogate pairs") << QStringLiteral("\U0001D11E say \U0001F600\U0001F600 x");
        QTest::newRow("NUL and controls") << QStringLiteral("a") + QChar(0) + QStringLiteral("\u0081\u009D b");
        QTest::newRow("empty") << QString();
    }

    void utf8Positions()
    {
        QFETCH(QString, text);
        QList<qsizetype> offsets; // every offset not inside a surrogate pair
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i == 0 || i == text.size() || !text[i].isLowSurrogate())
                offsets << i;
        }
        Utf8Positions forward(text);
        for (qsizetype i : offsets)
            QCOMPARE(forward.at(i), text.left(i).toUtf8().size());
        // Backwards and jumping about, as overlapping findings ask.
        Utf8Positions backward(text);
        for (auto it = offsets.crbegin(); it != offsets.crend(); ++it) {
            QCOMPARE(backward.at(*it), text.left(*it).toUtf8().size());
            QCOMPARE(backward.at(offsets[(*it * 7) % offsets.size()]),
                     text.left(offsets[(*it * 7) % offsets.size()]).toUtf8().size());
        }
        QCOMPARE(backward.at(text.size() + 5), text.toUtf8().size());
        QCOMPARE(backward.at(-3), 0);
    }
};

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "test_diagnostics.moc"
