#include "script/tokenizer.h"

#include <QRandomGenerator>
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
} // namespace

class TestTokenizer : public QObject {
    Q_OBJECT

private slots:
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
    void randomText() {
        // Each byte gets a valid style and nothing past the range is written; styling from
        // any line start gives what styling the whole text gave there.
        QRandomGenerator random(20240611);
        const QList<QByteArray> pieces{"bind", " ", "\"", "//", ";", "-1", "+attack", "2.5", "x", "\r", "\n",
                                       "\r\n", "/", ".", "_", "\x80", "\xc3\xa9", QByteArray(1, '\0')};
        for (int round = 0; round < 200; ++round) {
            QByteArray text;
            for (int i = random.bounded(40); i > 0; --i)
                text += pieces[random.bounded(int(pieces.size()))];
            const QByteArray whole = Letters(text, GameWords);
            QVERIFY2(!whole.contains('?') && !whole.contains("<overrun>"), text.constData());
            for (qsizetype i = 1; i < text.size(); ++i) {
                if (text[i - 1] == '\r' || text[i - 1] == '\n')
                    QCOMPARE(Letters(text.mid(i), GameWords), whole.mid(i));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTokenizer)
#include "test_tokenizer.moc"
