#include "codec/cp1252.h"
#include "support/datarows.h"

#include <QRandomGenerator>
#include <numeric>

class TestCp1252 : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        Columns<QByteArray, QString>({"bytes", "text"}); // text null: not checked
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), 0);
        // Written as text, so a slip in the table cannot repeat here; the five undefined
        // bytes stand for the C1 controls of their value.
        QTest::newRow("0x80 to 0xA0") << all.mid(0x80, 33)
                                      << QString("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ\u00A0");
        QTest::newRow("empty") << QByteArray() << QString("");
        QTest::newRow("all 256 bytes") << all << QString();
        // Half mostly ASCII, so the 8-byte fast paths meet high bytes at every offset.
        QRandomGenerator random(1252);
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes(random.bounded(80), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(round % 2 == 0 && random.bounded(16) != 0 ? random.bounded(128) : random.bounded(256));
            QTest::addRow("random %d", round) << bytes << QString();
        }
    }
    // Both decoders and both encoders agree and give back the same bytes, reading nothing
    // beyond the end of the view they are given.
    void roundTrip()
    {
        const auto [bytes, expected] = Fetch<QByteArray, QString>({"bytes", "text"});
        const QString text = cp1252::decode(bytes);
        QCOMPARE(text, expected.isNull() ? text : expected);
        QCOMPARE(cp1252::decodeToUtf8(QByteArrayView(bytes + "\x80\x80\x80\x80\x80\x80\x80").first(bytes.size())),
                 text.toUtf8());
        const cp1252::EncodeResult fromUtf8 = cp1252::encodeFromUtf8(text.toUtf8()), fromText = cp1252::encode(text);
        QVERIFY(fromUtf8.ok && fromText.ok);
        QCOMPARE(fromUtf8.bytes, bytes);
        QCOMPARE(fromText.bytes, bytes);
        // A euro sign whose last byte lies beyond the view is cut off, not completed.
        const QByteArray withEuro = text.toUtf8() + "\xe2\x82\xac";
        const cp1252::EncodeResult cut = cp1252::encodeFromUtf8(QByteArrayView(withEuro).chopped(1));
        QVERIFY(!cut.ok && cut.malformed && cut.badUtf8Offset == withEuro.size() - 3);
    }

    // Strings go to encode(QString), UTF-8 to encodeFromUtf8 and, when valid, to both.
    void encodeRefuses_data()
    {
        Columns<QVariant, qsizetype, uint>({"input", "offset", "character"}); // character 0: malformed
        const auto row = [](const char *name, const QVariant &input, qsizetype offset, uint character) {
            QTest::newRow(name) << input << offset << character;
        };
        row("CJK after an 8-byte ASCII run", QString("abcdefghij中").toUtf8(), 10, 0x4E2D);
        row("emoji after accented letters", QString("é€x😀中").toUtf8(), 6, 0x1F600);
        row("C1 control the code page gives to the euro", QString("a\u0080").toUtf8(), 1, 0x80);
        row("stray continuation byte", QByteArray("ab\x80"), 2, 0);
        row("cut-off Latin-1 letter", QByteArray("ab\xc3"), 2, 0);
        row("Latin-1 lead before ASCII", QByteArray("\xc3z"), 0, 0);
        row("overlong slash", QByteArray("x\xc0\xaf"), 1, 0);
        row("overlong three-byte form", QByteArray("\xe0\x80\xaf"), 0, 0);
        row("encoded surrogate", QByteArray("\xed\xa0\x80"), 0, 0);
        row("beyond U+10FFFF", QByteArray("\xf4\x90\x80\x80"), 0, 0);
        row("byte 0xFF", QByteArray("\xc3\xa9\xff"), 2, 0);
        row("lone high surrogate at the end", QString("é") + QChar(0xD83D), 2, 0);
        row("lone low surrogate", QString("ab") + QChar(0xDE00), 2, 0);
        row("two high surrogates", QString(QChar(0xD83D)) + QChar(0xD83D) + QChar(0xDE00), 0, 0);
    }
    void encodeRefuses()
    {
        const auto [input, offset, character] = Fetch<QVariant, qsizetype, uint>({"input", "offset", "character"});
        const bool isText = input.typeId() == QMetaType::QString;
        QList<cp1252::EncodeResult> results{isText ? cp1252::encode(input.toString())
                                                   : cp1252::encodeFromUtf8(input.toByteArray())};
        if (!isText && character != 0)
            results << cp1252::encode(QString::fromUtf8(input.toByteArray()));
        for (const cp1252::EncodeResult &r : results) {
            QVERIFY(!r.ok && r.bytes.isEmpty() && r.malformed == (character == 0));
            QCOMPARE(r.badUtf8Offset, offset);
            QCOMPARE(uint(r.badCharacter), character);
        }
    }
};

QTEST_APPLESS_MAIN(TestCp1252)
#include "test_cp1252.moc"
