// The script core: word files, styling, and the flag checklist's arithmetic.
#include "script/flags.h"
#include "script/tokenizer.h"
#include "script/wordfile.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QtTest>

#include <vector>

namespace {
// One letter per style, so that expected styles line up under the text:
// d default, k keyword, c comment, s string, t terminator, n number.
QByteArray Letters(const QByteArray &text, const KeywordSet &words) {
    std::vector<unsigned char> styles(text.size() + 1, 0xEE);
    StyleScript(text.constData(), text.size(), words, styles.data());
    QByteArray letters;
    for (qsizetype i = 0; i < text.size(); ++i) letters += styles[i] < 6 ? "dkcstn"[styles[i]] : '?';
    return styles[text.size()] == 0xEE ? letters : letters + "<overrun>";
}

const KeywordSet GameWords(QStringLiteral("bind\nset\nvstr\necho\nwait\nattack\ncg_fov\nzoom\n"), false);
constexpr qint32 Min = std::numeric_limits<qint32>::min();
} // namespace

class TestScript : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void splitLines() {
        const std::pair<QByteArray, QStringList> cases[] = {
            {"bind\rset\nvstr\r\n", {"bind", "set", "vstr"}}, {"a\r\r\nb", {"a", "", "b"}}, {"a\n\rb", {"a", "", "b"}},
            {"a\r\n\r\n", {"a", ""}}, {"", {}}, {"\r\n", {""}}, {" bind \t\r\n//x", {" bind \t", "//x"}},
            {"\x80uro caf\xe9\r\n\x93q\x94", {"€uro café", "“q”"}},
            {QByteArray("a\0b\x81\xff\r\nc", 8), {QStringView(u"a\0b\u0081ÿ", 5).toString(), "c"}},
            {QByteArray(1 << 20, 'w') + "\nx", {QString(1 << 20, u'w'), "x"}}};
        for (const auto &[bytes, lines] : cases)
            QCOMPARE(SplitLines(bytes), lines);
    }
    void readLines() {
        QVERIFY(writeAll(dir.filePath("words.txt"), "bind\r\n\r\n+attack\rvstr"));
        QStringList lines{"left over"};
        QVERIFY(ReadLines(dir.filePath("words.txt"), lines).ok());
        // Every entry ends in one LF, the unterminated last one too.
        QCOMPARE(WordListText(lines), QStringLiteral("bind\n\n+attack\nvstr\n"));
        QCOMPARE(ReadLines(dir.filePath("missing.txt"), lines).number, 53);
        QCOMPARE(lines, QStringList());
    }
    void appendEntry() {
        const QString path = dir.filePath("cc.txt");
        const std::tuple<QByteArray, QString, QByteArray> cases[] = { // before ("<missing>": no file), entry, after
            {"+attack\r\n", "+zoom", "+attack\r\n+zoom\r\n"}, {"+attack", "+zoom", "+attack+zoom\r\n"},
            {"+a\n", "+b", "+a\n+b\r\n"}, {"<missing>", "+zoom", "+zoom\r\n"}, {"a\r\n", "", "a\r\n\r\n"},
            {"", "€uro café", "\x80uro caf\xe9\r\n"}};
        for (const auto &[before, entry, after] : cases) {
            QFile::remove(path);
            QVERIFY(before == "<missing>" || writeAll(path, before));
            QVERIFY(AppendEntry(path, entry).ok());
            QCOMPARE(readAll(path), after);
        }
        const FileError noFolder = AppendEntry(dir.filePath("no such folder/cc.txt"), "+zoom");
        QVERIFY(!noFolder.ok() && !noFolder.description.isEmpty());
    }
    // A character Windows-1252 lacks: nothing is written rather than a garbled entry.
    void appendEntryRefused() {
        const QString path = dir.filePath("refused.txt");
        const std::pair<QString, QString> entries[] = { // the entry, part of the message
            {"a\u0416b", "\u0416\u201d (U+0416)"}, {"\U0001F600", "(U+1F600)"},
            {QString(QChar(0xD800)), "not valid text"}};
        for (const auto &[entry, named] : entries) {
            QFile::remove(path);
            const FileError refused = AppendEntry(path, entry);
            QCOMPARE(refused.number, UnencodableEntryError);
            QVERIFY2(refused.description.contains(named), qPrintable(refused.description));
            QVERIFY(!QFile::exists(path));
            QVERIFY(AppendEntry(path, "bind").ok());
            QCOMPARE(AppendEntry(path, entry).number, UnencodableEntryError);
            QCOMPARE(readAll(path), QByteArray("bind\r\n"));
        }
    }
    void styles() {
        const std::pair<QByteArray, QByteArray> cases[] = {
            {"bind BIND Bind bInD", "kkkkdkkkkdkkkkdkkkk"}, {"binder rebind bind_x bind2 zoomed", QByteArray(33, 'd')},
            {"bind.set,vstr=wait", "kkkkdkkkdkkkkdkkkk"}, {"+attack -attack +ATTACK", "kkkkkkkdkkkkkkkdkkkkkkk"},
            {"+foo -foo", "ddddddddd"}, {"x+attack", "ddkkkkkk"}, {"--attack", "dkkkkkkk"}, {"a/bind", "ddkkkk"},
            {"bind x y // bind it", "kkkkdddddcccccccccc"}, {"//bind", "cccccc"}, {"// x\nbind", "ccccdkkkk"}, {"", ""},
            {"// x\rbind", "ccccdkkkk"}, {"// x\r\nbind", "ccccddkkkk"}, {"echo \"hello\"", "kkkkdsssssss"},
            {"bind x \"+attack\"", "kkkkdddskkkkkkks"}, {"echo \"a//b\" // c", "kkkkdssssssdcccc"}, {"5-1", "ndn"},
            {"set d1 \"cg_fov 90; vstr d2\"", "kkkddddskkkkkksnntskkkkssss"}, {"echo \"ab\nbind", "kkkkdsssdkkkk"},
            {"echo \"ab\rbind \"x\"", "kkkkdsssdkkkkdsss"}, {"echo \"ab", "kkkkdsss"}, {"\"a;b\";", "sstsst"},
            {"wait;wait ; x", "kkkktkkkkdtdd"}, {"2.5 -1 .5 7. +3 10", "nnndnndnndnndnndnn"},
            {"2d cg_fov90 x1 1.5x", QByteArray(19, 'd')}, {"- + . -. 1..", "dddddddddnnd"},
            {"\xc3\xa9" "bind bind\xc3\xa9", "ddkkkkdkkkkdd"}, {"cg_fov _cg_fov", "kkkkkkdddddddd"}};
        for (const auto &[text, expected] : cases) {
            QCOMPARE(expected.size(), text.size());
            QCOMPARE(Letters(text, GameWords), expected);
        }
    }
    void keywordSet() {
        QCOMPARE(Letters("set Set SET", KeywordSet(QStringLiteral("set\nSet\n"), true)), QByteArray("kkkdkkkdddd"));
        QCOMPARE(Letters("set Set SET", KeywordSet(QStringLiteral("set\nSet\n"), false)), QByteArray("kkkdkkkdkkk"));
        QCOMPARE(Letters("bind a bin binding", KeywordSet(QStringLiteral("\na\n\nbind"), false)),
                 QByteArray("kkkkdkdddddddddddd"));
        const QByteArray longWord(100, 'w'); // longer than the lower-casing buffer
        QCOMPARE(Letters(longWord.toUpper(), KeywordSet(QString::fromLatin1(longWord), false)), QByteArray(100, 'k'));
        QVERIFY(!KeywordSet(QStringLiteral("\n\n"), false).contains(""));
        // Enough entries to grow the table several times; the same word in another case counts once.
        QString list;
        for (int i = 0; i < 5000; ++i) list += QStringLiteral("w%1\nW%1\n").arg(i);
        const KeywordSet words(list, false);
        QCOMPARE(words.size(), std::size_t(5000));
        for (int i = 0; i < 5000; i += 7) QVERIFY(words.contains(QStringLiteral("W%1").arg(i).toStdString()));
        QVERIFY(!words.contains("w5000"));
    }
    void tables() {
        // One distinct bit per item: the game reads the sum of the checked ones.
        QCOMPARE(TableMask(FlagTableForWord("G_ForcePowerDisable").value_or(FlagTable())), 262143);
        QCOMPARE(TableMask(FlagTableForWord("g_weapondisable").value_or(FlagTable())), 16382);
        QCOMPARE(FlagTableForWord("g_duelweapondisable").value_or(FlagTable()).labels, WeaponTable().labels);
        for (const char *word : {"g_weapondisable2", "weapondisable", "g_weapondisable ", ""})
            QVERIFY2(!FlagTableForWord(word), word);
    }
    void currentValue() {
        // Decimal only, blanks around it, rounded half to even, 0 for anything else.
        const std::pair<const char16_t *, qint32> cases[] = {
            {u"", 0}, {u"   ", 0}, {u" 8", 8}, {u" \t8 \t", 8}, {u" +8", 8}, {u" -1", -1}, {u" 8 // no weapons", 0},
            {u" 8; map_restart", 0}, {u" - 5", 0}, {u" 0x10", 0}, {u" 1,000", 0}, {u" \uff18", 0}, {u" 8\n", 0},
            {u" 2.5", 2}, {u" 3.5", 4}, {u" -2.5", -2}, {u" 0.5", 0}, {u" 2.500000000000000000001", 3}, {u" .9", 1},
            {u" 2.4999999999999999999", 2}, {u" 7.", 7}, {u" 2147483647", 2147483647}, {u" -2147483648", Min},
            {u" 2147483648", 0}, {u" -2147483649", 0}, {u" 2147483647.5", 0}, {u" -2147483648.5", Min},
            {u" 99999999999999999999999999999999", 0}, {u" 000000000000000000000000012", 12}};
        for (const auto &[rest, value] : cases)
            QVERIFY2(ParseCurrentValue(QString::fromUtf16(rest)) == value, qPrintable(QString::fromUtf16(rest)));
    }
    void region() {
        // The line, the caret, the rest of the line, the line once a space and 6 replace the region.
        const QString w = "g_weapondisable";
        const std::tuple<QString, int, QString, QString> cases[] = {
            {w + " 8", 15, " 8", w + "  6"}, {"g_forcepowerdisable", 19, "", "g_forcepowerdisable 6"},
            {w + " 8 // sabers", 15, " 8 // sabers", w + "  6"}, {"\t" + w + "\t8", 16, "\t8", "\t" + w + "\t 6"},
            {w + " 8\r\n", 15, " 8", w + "  6\r\n"}, {w + "\n", 15, "", w + " 6\n"},
            {w + " 8\r", 15, " 8", w + "  6\r"}, {w + ";", 15, ";", w + "; 6"}, {w, 40, "", w + " 6"},
            {"x", -3, "x", "x 6"}, {"", 0, "", " 6"}, // a surrogate pair kept whole:
            {w + "\U0001F600 8", 15, "\U0001F600 8", w + "\U0001F600 6"}};
        for (const auto &[line, caret, rest, written] : cases) {
            QCOMPARE(RestOfLine(line, caret), rest);
            const ColumnSpan span = ReplaceRegion(line, caret);
            QCOMPARE(line.left(span.start) + " 6" + line.mid(span.end), written);
        }
    }
    void maskToWrite() {
        // Bits no item stands for survive the checklist: {table, old value, checked sum, written}.
        const FlagTable force = ForcePowerTable(), weapons = WeaponTable();
        const std::tuple<FlagTable, qint32, qint32, qint32> cases[] = {
            {weapons, 65531, 16378, 65531}, {weapons, 65531, 16382, 65535}, {weapons, 65531, 0, 49153},
            {weapons, 1, 0, 1}, {force, -1, 262143, -1}, {weapons, -1, 0, -16383}, {force, 262144, 0, 262144},
            {weapons, 8, 6, 6}, {force, Min, 0, Min}};
        for (const auto &[table, oldValue, checked, written] : cases)
            QCOMPARE(MaskToWrite(checked, oldValue, table), written);
        QCOMPARE(KeptBits(-1, force), -262144);
    }
    void centred() {
        // Halves of sizes rounded half to even; the owner's left edge kept as it is.
        const std::tuple<QRectF, QSizeF, QPointF> cases[] = {
            {{1500, 1200, 12000, 9000}, {2460, 5595}, {6270, 2903}}, {{0, 0, 12015, 9015}, {2461, 5595}, {4777, 1710}},
            {{0, 0, 12000.5, 100}, {100, 100}, {5950, 0}}, {{0, 0, 12001.5, 100}, {100, 100}, {5951, 0}},
            {{0, 0, 12001.6, 100}, {100, 100}, {5951, 0}}, {{0, 0, 1000, 1000}, {3000, 3000}, {-1000, -1000}},
            {{-3000.25, 450.5, 6000, 3000}, {2460, 5595}, {-1230.25, -846.5}}};
        for (const auto &[owner, child, position] : cases) QCOMPARE(CentredPosition(owner, child), position);
    }
};

QTEST_GUILESS_MAIN(TestScript)
#include "test_script.moc"
