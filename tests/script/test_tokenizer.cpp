#include <QRandomGenerator>
#include <QtTest>

#include <vector>

#include "script/tokenizer.h"

namespace {
// One letter per style, so that expected styles line up under the text.
constexpr char kLetters[] = "dkcstn";

QByteArray Letters(const QByteArray &text, const KeywordSet &words,
                   const ScriptSyntax &syntax = ScriptSyntax()) {
    std::vector<unsigned char> styles(text.size() + 1, 0xEE);
    StyleScript(text.constData(), text.size(), words, syntax, styles.data());
    QByteArray letters;
    for (qsizetype i = 0; i < text.size(); ++i)
        letters += styles[i] < 6 ? kLetters[styles[i]] : '?';
    if (styles[text.size()] != 0xEE) letters += "<overrun>";
    return letters;
}

const KeywordSet &GameWords() {
    static const KeywordSet words(QStringLiteral("bind\nset\nvstr\necho\nwait\nattack\ncg_fov\nzoom\n"), false);
    return words;
}
}

class TestTokenizer : public QObject {
    Q_OBJECT
private slots:
    void styles_data();
    void styles();
    void caseSensitiveWords();
    void keywordSet_data();
    void keywordSet();
    void otherSyntax();
    void everyByteOneStyle();
    void startsAtAnyLineStart();
};

void TestTokenizer::styles_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    // d default, k keyword, c comment, s string, t terminator, n number
    QTest::newRow("keywords in any case") << QByteArray("bind BIND Bind bInD")
                                          << QByteArray("kkkkdkkkkdkkkkdkkkk");
    QTest::newRow("words containing a keyword") << QByteArray("binder rebind bind_x bind2 zoomed")
                                                << QByteArray(33, 'd');
    QTest::newRow("separators end a word") << QByteArray("bind.set,vstr=wait")
                                           << QByteArray("kkkkdkkkdkkkkdkkkk");
    QTest::newRow("plus and minus commands") << QByteArray("+attack -attack +ATTACK")
                                             << QByteArray("kkkkkkkdkkkkkkkdkkkkkkk");
    QTest::newRow("sign before a non-keyword") << QByteArray("+foo -foo") << QByteArray("ddddddddd");
    QTest::newRow("sign inside a word") << QByteArray("x+attack") << QByteArray("ddkkkkkk");
    QTest::newRow("double sign") << QByteArray("--attack") << QByteArray("dkkkkkkk");
    QTest::newRow("line comment") << QByteArray("bind x y // bind it") << QByteArray("kkkkdddddcccccccccc");
    QTest::newRow("comment at line start") << QByteArray("//bind") << QByteArray("cccccc");
    QTest::newRow("single slash") << QByteArray("a/bind") << QByteArray("ddkkkk");
    QTest::newRow("comment ends at LF") << QByteArray("// x\nbind") << QByteArray("ccccdkkkk");
    QTest::newRow("comment ends at CR alone") << QByteArray("// x\rbind") << QByteArray("ccccdkkkk");
    QTest::newRow("comment ends at CR LF") << QByteArray("// x\r\nbind") << QByteArray("ccccddkkkk");
    QTest::newRow("string") << QByteArray("echo \"hello\"") << QByteArray("kkkkdsssssss");
    QTest::newRow("keywords inside a string") << QByteArray("bind x \"+attack\"")
                                              << QByteArray("kkkkdddskkkkkkks");
    QTest::newRow("vstr value") << QByteArray("set d1 \"cg_fov 90; vstr d2\"")
                                << QByteArray("kkkddddskkkkkksnntskkkkssss");
    QTest::newRow("slashes inside a string") << QByteArray("echo \"a//b\" // c")
                                             << QByteArray("kkkkdssssssdcccc");
    QTest::newRow("unterminated string ends at LF") << QByteArray("echo \"ab\nbind")
                                                    << QByteArray("kkkkdsssdkkkk");
    QTest::newRow("unterminated string ends at CR") << QByteArray("echo \"ab\rbind \"x\"")
                                                    << QByteArray("kkkkdsssdkkkkdsss");
    QTest::newRow("unterminated string to the end") << QByteArray("echo \"ab") << QByteArray("kkkkdsss");
    QTest::newRow("terminator outside quotes") << QByteArray("wait;wait ; x") << QByteArray("kkkktkkkkdtdd");
    QTest::newRow("terminator inside quotes") << QByteArray("\"a;b\";") << QByteArray("sstsst");
    QTest::newRow("numbers") << QByteArray("2.5 -1 .5 7. +3 10") << QByteArray("nnndnndnndnndnndnn");
    QTest::newRow("number needs a word boundary") << QByteArray("2d cg_fov90 x1 1.5x")
                                                  << QByteArray("ddddddddddddddddddd");
    QTest::newRow("minus between numbers") << QByteArray("5-1") << QByteArray("ndn");
    QTest::newRow("lone signs and dots") << QByteArray("- + . -. 1..") << QByteArray("dddddddddnnd");
    QTest::newRow("non-ASCII never in a word") << QByteArray("\xc3\xa9" "bind bind\xc3\xa9")
                                               << QByteArray("ddkkkkdkkkkdd");
    QTest::newRow("underscore is a word character") << QByteArray("cg_fov _cg_fov") << QByteArray("kkkkkkdddddddd");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestTokenizer::styles() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(expected.size(), text.size());
    QCOMPARE(Letters(text, GameWords()), expected);
}

void TestTokenizer::caseSensitiveWords() {
    const KeywordSet words(QStringLiteral("set\nSet\n"), true);
    QCOMPARE(Letters("set Set SET", words), QByteArray("kkkdkkkdddd"));
    const KeywordSet anyCase(QStringLiteral("set\nSet\n"), false);
    QCOMPARE(anyCase.size(), std::size_t(1));
    QCOMPARE(Letters("set Set SET", anyCase), QByteArray("kkkdkkkdkkk"));
}

void TestTokenizer::keywordSet_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("found");
    const QString longWord(100, QLatin1Char('w'));
    QTest::newRow("any case") << "Bind\n" << false << "bIND" << true;
    QTest::newRow("exact case") << "Bind\n" << true << "bind" << false;
    QTest::newRow("no final LF") << "a\nbind" << false << "bind" << true;
    QTest::newRow("empty entry is no word") << "a\n\nb\n" << false << "" << false;
    QTest::newRow("prefix is no match") << "binding\n" << false << "bind" << false;
    QTest::newRow("longer is no match") << "bind\n" << false << "binding" << false;
    QTest::newRow("long word") << longWord + "\n" << false << longWord.toUpper() << true;
    QTest::newRow("empty list") << "" << false << "bind" << false;
}

void TestTokenizer::keywordSet() {
    QFETCH(QString, list);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, word);
    QFETCH(bool, found);
    const KeywordSet words(list, caseSensitive);
    QCOMPARE(words.contains(word.toStdString()), found);
}

void TestTokenizer::otherSyntax() {
    const ScriptSyntax syntax = ScriptSyntax::fromDefinition("#", "'\"", "|");
    QCOMPARE(Letters("bind 'a\"b' # x | \"c'\";", GameWords(), syntax),
             QByteArray("kkkkdsssssdccccccccccc"));
    QCOMPARE(Letters("wait|wait // x", GameWords(), syntax), QByteArray("kkkktkkkkddddd"));
}

void TestTokenizer::everyByteOneStyle() {
    // Random bytes, line ends and script characters: each byte gets a valid style and
    // nothing past the range is written.
    QRandomGenerator random(20240611);
    const QByteArray alphabet("bindsetvstrattack+-.;\"/ \r\n019_\x80\xc3\xa9xyz");
    for (int round = 0; round < 200; ++round) {
        QByteArray text;
        const int length = random.bounded(120);
        for (int i = 0; i < length; ++i) text += alphabet[random.bounded(int(alphabet.size()))];
        QVERIFY2(!Letters(text, GameWords()).contains('?'), text.constData());
        QVERIFY2(!Letters(text, GameWords()).contains("<overrun>"), text.constData());
    }
}

void TestTokenizer::startsAtAnyLineStart() {
    // Styling from a line start gives what styling the whole text gave there.
    QRandomGenerator random(7);
    const QList<QByteArray> pieces{"bind", " ", "\"", "//", ";", "-1", "+attack", "2.5", "x", "\r", "\n", "\r\n", "/"};
    for (int round = 0; round < 100; ++round) {
        QByteArray text;
        for (int i = 0; i < 40; ++i) text += pieces[random.bounded(int(pieces.size()))];
        const QByteArray whole = Letters(text, GameWords());
        for (qsizetype i = 1; i < text.size(); ++i) {
            if (text[i - 1] != '\r' && text[i - 1] != '\n') continue;
            QCOMPARE(Letters(text.mid(i), GameWords()), whole.mid(i));
        }
    }
}

QTEST_GUILESS_MAIN(TestTokenizer)
#include "test_tokenizer.moc"
