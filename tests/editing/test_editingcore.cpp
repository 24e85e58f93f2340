#include "editing/counts.h"
#include "editing/linenumbers.h"
#include "editing/scopeindent.h"
#include "editing/timedate.h"

#include <QtTest>

namespace {

// A document given as lines; indentation counts blanks, a tab reaching the next multiple of 4.
class Lines final : public IndentContext
{
public:
    explicit Lines(QStringList lines) : lines_(std::move(lines)) {}
    QString lineText(int line) const override { return lines_.value(line); }
    int indentation(int line) const override
    {
        int columns = 0;
        for (const QChar c : lines_.value(line)) {
            if (c == QLatin1Char(' '))
                ++columns;
            else if (c == QLatin1Char('\t'))
                columns = (columns / 4 + 1) * 4;
            else
                break;
        }
        return columns;
    }

private:
    QStringList lines_;
};

} // namespace

class EditingCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void timeDateText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("en_US afternoon") << "en_US" << QTime(15, 45, 12) << QDate(2026, 12, 5) << "3:45:12 PM 12/5/2026 ";
        QTest::newRow("en_US midnight") << "en_US" << QTime(0, 0, 7) << QDate(2001, 1, 9) << "12:00:07 AM 1/9/2001 ";
        QTest::newRow("de_DE") << "de_DE" << QTime(15, 45, 12) << QDate(2026, 12, 5) << "15:45:12 05.12.2026 ";
        QTest::newRow("fr_FR") << "fr_FR" << QTime(9, 5, 0) << QDate(2026, 3, 1) << "09:05:00 01/03/2026 ";
        // Zones written before the time or in brackets go as well; two-digit years widen.
        QTest::newRow("zh_CN") << "zh_CN" << QTime(8, 1, 2) << QDate(2026, 2, 3) << "08:01:02 2026/2/3 ";
        QTest::newRow("es_ES") << "es_ES" << QTime(8, 1, 2) << QDate(2026, 2, 3) << "8:01:02 3/2/2026 ";
    }
    void timeDateText()
    {
        QFETCH(QString, locale);
        QFETCH(QTime, time);
        QFETCH(QDate, date);
        QTEST(TimeDateText(time, date, QLocale(locale)), "text");
    }

    // No locale's time keeps a zone or loses its seconds, and every short date gets a
    // four-digit year.
    void formatsOfAllLocales()
    {
        const auto unquoted = [](const QString &format) {
            QString out;
            bool quoted = false;
            for (const QChar c : format) {
                if (c == QLatin1Char('\''))
                    quoted = !quoted;
                else if (!quoted)
                    out += c;
            }
            return out;
        };
        const QList<QLocale> locales =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QVERIFY(locales.size() > 100);
        for (const QLocale &locale : locales) {
            const QString time = unquoted(TimeWithSecondsFormat(locale));
            QVERIFY2(time.contains(QLatin1Char('s')) && !time.contains(QLatin1Char('t')),
                     qPrintable(locale.name() + ": " + time));
            const QString format = TimeWithSecondsFormat(locale);
            QVERIFY2(format == format.trimmed(), qPrintable(locale.name() + ": " + format));
            const QString date = locale.toString(QDate(2026, 12, 5), ShortDateFormat(locale));
            QString year = locale.toString(2026);
            year.remove(locale.groupSeparator());
            QVERIFY2(date.contains(year), qPrintable(locale.name() + ": " + date));
            QVERIFY(TimeDateText(QTime(1, 2, 3), QDate(2026, 12, 5), locale).endsWith(QLatin1Char(' ')));
        }
    }

    void lineNumberText_data()
    {
        QTest::addColumn<qint64>("number");
        QTest::addColumn<int>("base");
        QTest::addColumn<QString>("text");
        QTest::newRow("hex") << qint64(54322) << 16 << "D432";
        QTest::newRow("decimal") << qint64(54322) << 10 << "54322";
        QTest::newRow("binary") << qint64(54322) << 2 << "1101010000110010";
        QTest::newRow("octal") << qint64(54322) << 8 << "152062";
        QTest::newRow("one in binary") << qint64(1) << 2 << "1";
        QTest::newRow("unknown base counts as decimal") << qint64(255) << 7 << "255";
        QTest::newRow("hex ff") << qint64(255) << 16 << "FF";
    }
    void lineNumberText()
    {
        QFETCH(qint64, number);
        QFETCH(int, base);
        QTEST(LineNumberText(number, base), "text");
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("value");
        QTest::newRow("one") << "1" << true << qint64(1);
        QTest::newRow("blanks") << "  250 " << true << qint64(250);
        QTest::newRow("zero") << "0" << true << qint64(0);
        QTest::newRow("negative") << "-3" << true << qint64(-3);
        QTest::newRow("plus") << "+7" << true << qint64(7);
        QTest::newRow("billion") << "1000000000" << true << qint64(1000000000);
        QTest::newRow("beyond 64 bits") << "99999999999999999999999" << true << std::numeric_limits<qint64>::max();
        QTest::newRow("far below") << "-99999999999999999999999" << true << std::numeric_limits<qint64>::min();
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("blank") << "   " << false << qint64(0);
        QTest::newRow("sign alone") << "-" << false << qint64(0);
        QTest::newRow("letters") << "abc" << false << qint64(0);
        QTest::newRow("trailing letters") << "12abc" << false << qint64(0);
        QTest::newRow("fraction") << "2.5" << false << qint64(0);
        QTest::newRow("exponent") << "1e3" << false << qint64(0);
        QTest::newRow("inner blank") << "1 2" << false << qint64(0);
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << qint64(0);
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<qint64> parsed = ParseWholeNumber(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QTEST(*parsed, "value");
    }

    void scanScope_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("startsInString");
        QTest::addColumn<int>("openBraces");
        QTest::addColumn<bool>("inString");
        QTest::newRow("plain") << "bind x +attack" << false << 0 << false;
        QTest::newRow("opening brace") << "if {" << false << 1 << false;
        QTest::newRow("closed on the line") << "{ a }" << false << 0 << false;
        QTest::newRow("closer then opener") << "} else {" << false << 1 << false;
        QTest::newRow("two open") << "{{" << false << 2 << false;
        QTest::newRow("unclosed quote") << "bind x \"say hi;" << false << 0 << true;
        QTest::newRow("closed quote") << "bind x \"say hi\"" << false << 0 << false;
        QTest::newRow("brace in string") << "echo \"{\"" << false << 0 << false;
        QTest::newRow("brace in comment") << "echo // {" << false << 0 << false;
        QTest::newRow("comment marker in string") << "say \"http://x {" << false << 0 << true;
        QTest::newRow("closing quote of a string from above") << "\" wait" << true << 0 << false;
        QTest::newRow("string body") << "say { hi" << true << 0 << true;
    }
    void scanScope()
    {
        QFETCH(QString, line);
        QFETCH(bool, startsInString);
        const ScopeScan scan = ScanScope(line, startsInString);
        QTEST(scan.openBraces, "openBraces");
        QTEST(scan.inString, "inString");
    }

    void newLineIndentation_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("indentation");
        QTest::newRow("off") << QStringList{"    a", ""} << 0 << -1;
        QTest::newRow("first line") << QStringList{""} << 2 << -1;
        QTest::newRow("previous line") << QStringList{"    a", ""} << 2 << 4;
        QTest::newRow("previous line ignores braces") << QStringList{"  a {", ""} << 2 << 2;
        QTest::newRow("blank previous line keeps its blanks") << QStringList{"      ", ""} << 2 << 6;
        QTest::newRow("scope after brace") << QStringList{"  a {", ""} << 1 << 6;
        QTest::newRow("scope after plain line") << QStringList{"  a", ""} << 1 << 2;
        QTest::newRow("scope after unclosed quote") << QStringList{"bind x \"", ""} << 1 << 4;
        QTest::newRow("scope inside string body") << QStringList{"bind x \"", "    say hi", ""} << 1 << 4;
        QTest::newRow("scope after closing quote line") << QStringList{"bind x \"", "    say hi", "\"", ""} << 1 << 0;
        QTest::newRow("scope after quote closing at once") << QStringList{"bind x \"", "\"", ""} << 1 << 0;
        QTest::newRow("scope after new string at same depth") << QStringList{"echo", "\"say hi", ""} << 1 << 4;
        QTest::newRow("scope after tab") << QStringList{"\t{", ""} << 1 << 8;
        // A break right before the closer: the closer goes under its opener.
        QTest::newRow("break before closer") << QStringList{"  x {", "}"} << 1 << 2;
        QTest::newRow("break before quote closer") << QStringList{"bind x \"", "\""} << 1 << 0;
    }
    void newLineIndentation()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, mode);
        QTEST(NewLineIndentation(Lines(lines), int(lines.size() - 1), mode, 4), "indentation");
    }

    void closerIndentation_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("closer");
        QTest::addColumn<int>("indentation");
        QTest::newRow("brace under opener") << QStringList{"  a {", "      b", "      }"} << "}" << 2;
        QTest::newRow("brace right after opener") << QStringList{"a {", "    }"} << "}" << 0;
        QTest::newRow("blank lines between") << QStringList{"a {", "", "    b", "   ", "    }"} << "}" << 0;
        QTest::newRow("nested") << QStringList{"{", "    {", "        x", "        }"} << "}" << 4;
        QTest::newRow("no opener") << QStringList{"a", "    }"} << "}" << -1;
        QTest::newRow("enclosing line opens no brace") << QStringList{"a {", "  b", "    }"} << "}" << -1;
        QTest::newRow("already at the left") << QStringList{"a {", "}"} << "}" << -1;
        QTest::newRow("not first on the line") << QStringList{"a {", "    x }"} << "}" << -1;
        QTest::newRow("quote closes string") << QStringList{"bind x \"", "    say", "    \""} << "\"" << 0;
        QTest::newRow("quote in brace scope opens") << QStringList{"{", "    \""} << "\"" << -1;
        QTest::newRow("quote after a closed string") << QStringList{"say \"hi\"", "    \""} << "\"" << -1;
    }
    void closerIndentation()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, closer);
        const Lines document(lines);
        const int last = int(lines.size() - 1);
        QTEST(CloserIndentation(document, last, document.indentation(last), closer.front()), "indentation");
    }
};

QTEST_GUILESS_MAIN(EditingCoreTest)
#include "test_editingcore.moc"
