#include "languages/scriptlexer.h"

#include <Qsci/qsciscintilla.h>

#include <QtTest>

namespace {
struct Styled {
    QsciScintilla editor;
    ScriptLexer lexer;
    explicit Styled(const QString &keywords, const QString &operators = QString())
        : lexer("JK2Script", LanguageDefinition{false, keywords, operators, "//", "\"", ";"}) {
        editor.setLexer(&lexer);
    }
    long send(unsigned message, unsigned long w = 0, long l = 0) { return editor.SendScintilla(message, w, l); }
    void setBytes(const QByteArray &bytes) {
        send(QsciScintillaBase::SCI_CLEARALL);
        editor.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
    }
    // One letter per style: d default, k keyword, c comment, s string, t terminator, n number.
    QByteArray colourise() {
        send(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        QByteArray letters;
        for (long i = 0, style; i < send(QsciScintillaBase::SCI_GETLENGTH); ++i)
            letters += (style = send(QsciScintillaBase::SCI_GETSTYLEAT, i)) >= 0 && style < 6 ? "dkcstn"[style] : '?';
        return letters;
    }
};
} // namespace

class TestScriptLexer : public QObject {
    Q_OBJECT

private slots:
    void styles() {
        Styled s("bind\n", "zoom\n"); // operators are keywords too
        const QByteArray styles = "kkkkdddkkkkkdndssstdcccc";
        s.setBytes("BIND z +zoom 1 \"x\"; // c"); // keywords in any case
        QCOMPARE(s.colourise(), styles);
        s.lexer.setColorSyntax(false);
        // Marked unstyled, not styled all at once: a huge document stays responsive.
        QCOMPARE(s.send(QsciScintillaBase::SCI_GETENDSTYLED), 0L);
        QCOMPARE(s.colourise(), QByteArray(styles.size(), 'd'));
        s.lexer.setColorSyntax(true);
        QCOMPARE(s.colourise(), styles);
    }
    void stylesInTheBackground() {
        // A document far larger than the window is styled by the event loop in steps, up
        // to its last byte, without anyone asking for the whole of it.
        Styled s("bind\n");
        const QByteArray text = QByteArray("bind x \"y\" // z\r\n").repeated(100000) + "bind";
        s.setBytes(text);
        s.editor.resize(400, 300);
        s.editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.editor));
        QTRY_COMPARE_WITH_TIMEOUT(s.send(QsciScintillaBase::SCI_GETENDSTYLED), long(text.size()), 60000);
        QCOMPARE(s.send(QsciScintillaBase::SCI_GETSTYLEAT, text.size() - 1), long(ScriptStyle::Keyword));
        QCOMPARE(s.send(QsciScintillaBase::SCI_GETSTYLEAT, text.size() - 7), long(ScriptStyle::Comment));
    }
};

QTEST_MAIN(TestScriptLexer)
#include "test_scriptlexer.moc"
