#include <Qsci/qsciscintilla.h>

#include <QtTest>

#include "languages/scriptlexer.h"

namespace {
constexpr char kLetters[] = "dkcstn";

LanguageDefinition Definition(const QString &keywords, const QString &operators) {
    LanguageDefinition definition;
    definition.CaseSensitive = false;
    definition.Keywords = keywords;
    definition.Operators = operators;
    definition.LineComment = "//";
    definition.StringDelimiters = "\"";
    definition.Terminator = ";";
    return definition;
}

void SetBytes(QsciScintilla &editor, const QByteArray &bytes) {
    editor.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    editor.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()),
                         bytes.constData());
}

QByteArray StyleLetters(QsciScintilla &editor) {
    const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    QByteArray letters;
    for (long i = 0; i < length; ++i) {
        const long style = editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(i));
        letters += style >= 0 && style < 6 ? kLetters[style] : '?';
    }
    return letters;
}

QByteArray Colourise(QsciScintilla &editor) {
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    return StyleLetters(editor);
}
}

class TestScriptLexer : public QObject {
    Q_OBJECT
private slots:
    void styles_data();
    void styles();
    void operatorsAreKeywordsToo();
    void colorSyntaxOff();
    void describesItsStyles();
    void stylesInTheBackground();
};

void TestScriptLexer::styles_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("bind line") << QByteArray("BIND x \"+attack; wait\" // go")
                               << QByteArray("kkkkdddskkkkkkktskkkksdccccc");
    QTest::newRow("several lines") << QByteArray("set a 1\r\n// c\rseta b \"x\nvstr a")
                                   << QByteArray("kkkdddnddccccdkkkkdddssdkkkkdd");
    QTest::newRow("UTF-8 text") << QByteArray("echo \"\xc3\xa9\" \xe2\x82\xac" "1 -2.5")
                                << QByteArray("kkkkdssssddddndnnnn");
}

void TestScriptLexer::styles() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QsciScintilla editor;
    ScriptLexer lexer("JK2Script", Definition("bind\nset\nseta\nvstr\nwait\nattack\necho\n", ""));
    editor.setLexer(&lexer);
    SetBytes(editor, text);
    QCOMPARE(Colourise(editor), expected);
}

void TestScriptLexer::operatorsAreKeywordsToo() {
    QsciScintilla editor;
    ScriptLexer lexer("Q3Script", Definition("bind\n", "zoom\n"));
    editor.setLexer(&lexer);
    SetBytes(editor, "bind z +zoom");
    QCOMPARE(Colourise(editor), QByteArray("kkkkdddkkkkk"));
}

void TestScriptLexer::colorSyntaxOff() {
    QsciScintilla editor;
    ScriptLexer lexer("JK2Script", Definition("bind\n", "bind\n"));
    editor.setLexer(&lexer);
    SetBytes(editor, "bind 1 \"x\"; // c");
    const QByteArray on("kkkkdndssstdcccc");
    QCOMPARE(Colourise(editor), on);

    lexer.setColorSyntax(false);
    QVERIFY(!lexer.colorSyntax());
    // Turning colouring off marks the document unstyled without styling it all at once.
    QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED), 0L);
    QCOMPARE(Colourise(editor), QByteArray(on.size(), 'd'));

    lexer.setColorSyntax(true);
    QCOMPARE(Colourise(editor), on);
}

void TestScriptLexer::describesItsStyles() {
    ScriptLexer lexer("Q3Script", Definition("", ""));
    QCOMPARE(QByteArray(lexer.language()), QByteArray("Q3Script"));
    QVERIFY(!lexer.caseSensitive());
    QSet<QString> names;
    QSet<QRgb> colours;
    for (int style = 0; style < 6; ++style) {
        names.insert(lexer.description(style));
        colours.insert(lexer.defaultColor(style).rgb());
    }
    QCOMPARE(names.size(), 6);
    QVERIFY(!names.contains(QString()));
    QCOMPARE(colours.size(), 6);
    QVERIFY(lexer.description(6).isEmpty());
    QVERIFY(lexer.defaultFont(int(ScriptStyle::Keyword)).bold());
    QVERIFY(!lexer.defaultFont(int(ScriptStyle::Default)).bold());
}

void TestScriptLexer::stylesInTheBackground() {
    // A document far larger than the window is styled by the event loop in steps, up
    // to its last byte, without anyone asking for the whole of it.
    QsciScintilla editor;
    ScriptLexer lexer("JK2Script", Definition("bind\n", ""));
    editor.setLexer(&lexer);
    QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETIDLESTYLING),
             long(QsciScintillaBase::SC_IDLESTYLING_ALL));
    QByteArray text;
    for (int i = 0; i < 100000; ++i) text += "bind x \"y\" // z\r\n";
    text += "bind";
    SetBytes(editor, text);
    editor.resize(400, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const long length = text.size();
    QTRY_COMPARE_WITH_TIMEOUT(editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED), length, 60000);
    QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(length - 1)),
             long(ScriptStyle::Keyword));
    QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(length - 7)),
             long(ScriptStyle::Comment));
}

QTEST_MAIN(TestScriptLexer)
#include "test_scriptlexer.moc"
