#include "codec/cp1252.h"

#include <QRandomGenerator>
#include <QtTest>

class TestCp1252 : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void randomRoundTrip();
    void knownBytes_data();
    void knownBytes();
    void windowsRangeMatchesCodePage();
    void encodeAccepts_data();
    void encodeAccepts();
    void encodeRefuses_data();
    void encodeRefuses();
    void encodeRefusesLoneSurrogate_data();
    void encodeRefusesLoneSurrogate();
    void encodeStopsAtTheEndOfTheView();
};

namespace {

QByteArray allBytes(bool ascending)
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        bytes[i] = char(ascending ? i : 255 - i);
    return bytes;
}

// Both decoders and both encoders must agree and give back the original bytes.
void checkRoundTrip(const QByteArray &bytes)
{
    const QByteArray utf8 = cp1252::decodeToUtf8(bytes);
    const QString text = cp1252::decode(bytes);
    QCOMPARE(text.size(), bytes.size());
    QCOMPARE(utf8, text.toUtf8());

    const cp1252::EncodeResult fromUtf8 = cp1252::encodeFromUtf8(utf8);
    QVERIFY(fromUtf8.ok);
    QCOMPARE(fromUtf8.bytes, bytes);

    const cp1252::EncodeResult fromText = cp1252::encode(text);
    QVERIFY(fromText.ok);
    QCOMPARE(fromText.bytes, bytes);
}

} // namespace

void TestCp1252::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("all 256 bytes, NUL first") << allBytes(true);
    QTest::newRow("all 256 bytes, NUL last") << allBytes(false);
    QTest::newRow("NUL alone") << QByteArray(1, '\0');
    QTest::newRow("mixed line ends") << QByteArray("a\rb\nc\r\nd\n\re\r\r\n\n");
    QTest::newRow("high byte inside an ASCII run")
        << QByteArray("abcdefg\x80" "hijklmnopq\x9f" "rstuvwxyz0123\xff");
    QTest::newRow("high bytes at both ends of 8-byte blocks")
        << QByteArray("\x81" "bcdefg" "\x8d" "\x8f" "bcdefg" "\x90" "\x9d");
    QTest::newRow("only the undefined bytes") << QByteArray("\x81\x8d\x8f\x90\x9d");
    QTest::newRow("long ASCII") << QByteArray(1027, 'x');
}

void TestCp1252::roundTrip()
{
    QFETCH(QByteArray, bytes);
    checkRoundTrip(bytes);
}

void TestCp1252::randomRoundTrip()
{
    QRandomGenerator random(1252);
    for (int round = 0; round < 4000; ++round) {
        const int length = int(random.bounded(80));
        // Half the strings are mostly ASCII so the 8-byte blocks are exercised too.
        const bool mostlyAscii = round % 2 == 0;
        QByteArray bytes(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i) {
            const bool high = mostlyAscii ? random.bounded(16) == 0 : true;
            bytes[i] = char(high ? random.bounded(256) : random.bounded(128));
        }
        checkRoundTrip(bytes);
        if (QTest::currentTestFailed()) {
            qWarning() << "failing bytes:" << bytes.toHex(' ');
            return;
        }
    }
}

void TestCp1252::knownBytes_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");
    QTest::newRow("NUL") << 0x00 << 0x0000;
    QTest::newRow("CR") << 0x0D << 0x000D;
    QTest::newRow("DEL") << 0x7F << 0x007F;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 0x81") << 0x81 << 0x0081;
    QTest::newRow("florin") << 0x83 << 0x0192;
    QTest::newRow("undefined 0x8D") << 0x8D << 0x008D;
    QTest::newRow("undefined 0x8F") << 0x8F << 0x008F;
    QTest::newRow("undefined 0x90") << 0x90 << 0x0090;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("undefined 0x9D") << 0x9D << 0x009D;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("y diaeresis") << 0xFF << 0x00FF;
}

void TestCp1252::knownBytes()
{
    QFETCH(int, byte);
    QFETCH(int, character);
    const QByteArray single(1, char(byte));
    const QString expected{QChar(char16_t(character))};

    QCOMPARE(int(cp1252::toUnicode(static_cast<unsigned char>(byte))), character);
    QCOMPARE(cp1252::decode(single), expected);
    QCOMPARE(cp1252::decodeToUtf8(single), expected.toUtf8());
    QCOMPARE(cp1252::fromUnicode(char32_t(character)), byte);
}

void TestCp1252::windowsRangeMatchesCodePage()
{
    // Written as text rather than code points, so a slip in the table cannot repeat here.
    const QString expected = QStringLiteral(u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
    QString decoded;
    for (int b = 0x80; b < 0xA0; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            continue;
        decoded += QChar(cp1252::toUnicode(static_cast<unsigned char>(b)));
    }
    QCOMPARE(decoded, expected);
}

void TestCp1252::encodeAccepts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("euro and y diaeresis") << QStringLiteral(u"€ÿ") << QByteArray("\x80\xff");
    QTest::newRow("undefined bytes as C1 controls")
        << QStringLiteral(u"\u0081\u008D\u008F\u0090\u009D") << QByteArray("\x81\x8d\x8f\x90\x9d");
    QTest::newRow("NUL inside") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"))
                                << QByteArray("a\0b", 3);
    QTest::newRow("quotes and dashes") << QStringLiteral(u"“x” – ‘y’ — z…")
                                       << QByteArray("\x93x\x94 \x96 \x91y\x92 \x97 z\x85");
}

void TestCp1252::encodeAccepts()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const cp1252::EncodeResult fromUtf8 = cp1252::encodeFromUtf8(text.toUtf8());
    QVERIFY(fromUtf8.ok);
    QCOMPARE(fromUtf8.bytes, bytes);
    const cp1252::EncodeResult fromText = cp1252::encode(text);
    QVERIFY(fromText.ok);
    QCOMPARE(fromText.bytes, bytes);
}

void TestCp1252::encodeRefuses_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<uint>("character");
    QTest::addColumn<bool>("malformed");

    QTest::newRow("CJK after ASCII") << QStringLiteral(u"abc中d文").toUtf8() << qsizetype(3) << 0x4E2Du << false;
    QTest::newRow("CJK after an 8-byte ASCII run")
        << QStringLiteral(u"abcdefghij中").toUtf8() << qsizetype(10) << 0x4E2Du << false;
    QTest::newRow("emoji after accented letters")
        << QStringLiteral(u"é€x😀中").toUtf8() << qsizetype(6) << 0x1F600u << false;
    QTest::newRow("C1 control the code page gives to the euro")
        << QStringLiteral(u"a\u0080").toUtf8() << qsizetype(1) << 0x80u << false;
    QTest::newRow("Latin Extended letter") << QStringLiteral(u"Ő").toUtf8() << qsizetype(0) << 0x150u << false;
    QTest::newRow("replacement character") << QStringLiteral(u"ok\uFFFD").toUtf8() << qsizetype(2) << 0xFFFDu << false;

    QTest::newRow("stray continuation byte") << QByteArray("ab\x80") << qsizetype(2) << 0u << true;
    QTest::newRow("cut-off sequence") << QByteArray("ab\xe2\x82") << qsizetype(2) << 0u << true;
    QTest::newRow("cut-off Latin-1 letter") << QByteArray("ab\xc3") << qsizetype(2) << 0u << true;
    QTest::newRow("Latin-1 lead before ASCII") << QByteArray("\xc3z") << qsizetype(0) << 0u << true;
    QTest::newRow("cut-off sequence before ASCII") << QByteArray("\xe2\x82z") << qsizetype(0) << 0u << true;
    QTest::newRow("overlong slash") << QByteArray("x\xc0\xaf") << qsizetype(1) << 0u << true;
    QTest::newRow("overlong three-byte form") << QByteArray("\xe0\x80\xaf") << qsizetype(0) << 0u << true;
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << qsizetype(0) << 0u << true;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << qsizetype(0) << 0u << true;
    QTest::newRow("byte 0xFF") << QByteArray("\xc3\xa9\xff") << qsizetype(2) << 0u << true;
}

void TestCp1252::encodeRefuses()
{
    QFETCH(QByteArray, utf8);
    QFETCH(qsizetype, offset);
    QFETCH(uint, character);
    QFETCH(bool, malformed);

    const cp1252::EncodeResult r = cp1252::encodeFromUtf8(utf8);
    QVERIFY(!r.ok);
    QVERIFY(r.bytes.isEmpty());
    QCOMPARE(r.badUtf8Offset, offset);
    QCOMPARE(uint(r.badCharacter), character);
    QCOMPARE(r.malformed, malformed);

    if (!malformed) {
        const cp1252::EncodeResult t = cp1252::encode(QString::fromUtf8(utf8));
        QVERIFY(!t.ok);
        QCOMPARE(t.badUtf8Offset, offset);
        QCOMPARE(uint(t.badCharacter), character);
        QVERIFY(!t.malformed);
    }
}

void TestCp1252::encodeRefusesLoneSurrogate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("offset");
    QTest::newRow("high surrogate at the end") << (QStringLiteral(u"é") + QChar(0xD83D)) << qsizetype(2);
    QTest::newRow("low surrogate alone") << (QStringLiteral("ab") + QChar(0xDE00) + QStringLiteral("c"))
                                         << qsizetype(2);
    QTest::newRow("two high surrogates") << (QString(QChar(0xD83D)) + QChar(0xD83D) + QChar(0xDE00))
                                         << qsizetype(0);
}

void TestCp1252::encodeRefusesLoneSurrogate()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, offset);
    const cp1252::EncodeResult r = cp1252::encode(text);
    QVERIFY(!r.ok);
    QVERIFY(r.malformed);
    QCOMPARE(r.badUtf8Offset, offset);
}

void TestCp1252::encodeStopsAtTheEndOfTheView()
{
    // The euro's last byte lies beyond the view; it must not complete the sequence.
    const QByteArray buffer("ab\xe2\x82\xac");
    const cp1252::EncodeResult r = cp1252::encodeFromUtf8(QByteArrayView(buffer).first(4));
    QVERIFY(!r.ok);
    QVERIFY(r.malformed);
    QCOMPARE(r.badUtf8Offset, qsizetype(2));
    QCOMPARE(cp1252::decodeToUtf8(QByteArrayView(buffer).first(2)), QByteArray("ab"));
}

QTEST_APPLESS_MAIN(TestCp1252)
#include "test_cp1252.moc"
