#include "editing/scopeindent.h"
#include "editing/timedate.h"
#include "support/datarows.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// A document given as lines, indented by their leading blanks.
struct Lines final : IndentContext
{
    QStringList lines;
    explicit Lines(const QStringList &all) : lines(all) {}
    QString lineText(int line) const override { return lines.value(line); }
    int indentation(int line) const override { return int(lines.value(line).indexOf(QRegularExpression("[^ ]|$"))); }
};

} // namespace

class EditingCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void timeDateText_data()
    {
        Columns<QString, QTime, QString>({"locale", "time", "text"});
        QTest::newRow("en_US") << "en_US" << QTime(15, 45, 12) << "3:45:12 PM 12/5/2026 ";
        // Zones written before the time or in brackets go as well; two-digit years widen.
        QTest::newRow("zh_CN") << "zh_CN" << QTime(8, 1, 2) << "08:01:02 2026/12/5 ";
        QTest::newRow("es_ES") << "es_ES" << QTime(8, 1, 2) << "8:01:02 5/12/2026 ";
    }
    void timeDateText()
    {
        const auto [locale, time] = Fetch<QString, QTime>({"locale", "time"});
        QTEST(TimeDateText(time, QDate(2026, 12, 5), QLocale(locale)), "text");
    }

    // No locale's time keeps a zone or loses its seconds, quoted words stay, and every short
    // date gets a four-digit year.
    void formatsOfAllLocales()
    {
        const QRegularExpression quoted(QStringLiteral("'[^']*'?"));
        for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                              QLocale::AnyTerritory)) {
            const QString format = TimeWithSecondsFormat(locale);
            const QString time = QString(format).remove(quoted);
            QVERIFY2(time.contains(u's') && !time.contains(u't') && format == format.trimmed(),
                     qPrintable(locale.name() + ": " + format));
            QCOMPARE(format.count(u'\''), locale.timeFormat(QLocale::LongFormat).count(u'\''));
            const QString date = locale.toString(QDate(2026, 12, 5), ShortDateFormat(locale));
            QVERIFY2(date.contains(locale.toString(2026).remove(locale.groupSeparator())),
                     qPrintable(locale.name() + ": " + date));
        }
    }

    // The last line has just been started by a line break.
    void newLineIndentation_data()
    {
        Columns<QStringList, int, int>({"lines", "mode", "indentation"});
        QTest::newRow("off") << QStringList{"    a", ""} << 0 << -1;
        QTest::newRow("first line") << QStringList{""} << 2 << -1;
        QTest::newRow("previous line ignores braces") << QStringList{"  a {", ""} << 2 << 2;
        QTest::newRow("after brace") << QStringList{"  a {", ""} << 1 << 6;
        QTest::newRow("after closer and opener") << QStringList{"} else {", ""} << 1 << 4;
        QTest::newRow("after closed braces") << QStringList{"{ a }", ""} << 1 << 0;
        QTest::newRow("brace in string") << QStringList{"echo \"{\"", ""} << 1 << 0;
        QTest::newRow("brace in comment") << QStringList{"echo // {", ""} << 1 << 0;
        QTest::newRow("comment marker in string") << QStringList{"say \"http://x {", ""} << 1 << 4;
        QTest::newRow("inside string body") << QStringList{"bind x \"", "    say hi", ""} << 1 << 4;
        QTest::newRow("after closing quote") << QStringList{"bind x \"", "    say hi", "\"", ""} << 1 << 0;
        // A break right before the closer: the closer goes under its opener.
        QTest::newRow("break before closer") << QStringList{"  x {", "}"} << 1 << 2;
        QTest::newRow("break before quote closer") << QStringList{"bind x \"", "\""} << 1 << 0;
    }
    void newLineIndentation()
    {
        const auto [lines, mode] = Fetch<QStringList, int>({"lines", "mode"});
        QTEST(NewLineIndentation(Lines(lines), int(lines.size() - 1), mode, 4), "indentation");
    }

    // The last line starts with the closer.
    void closerIndentation_data()
    {
        Columns<QStringList, int>({"lines", "indentation"});
        QTest::newRow("brace under opener") << QStringList{"  a {", "      b", "      }"} << 2;
        QTest::newRow("blank lines between") << QStringList{"a {", "", "    b", "   ", "    }"} << 0;
        QTest::newRow("no opener") << QStringList{"a", "    }"} << -1;
        QTest::newRow("enclosing line opens none") << QStringList{"a {", "  b", "    }"} << -1;
        QTest::newRow("not first on the line") << QStringList{"a {", "    x }"} << -1;
        QTest::newRow("quote closes string") << QStringList{"bind x \"", "    say", "    \""} << 0;
        QTest::newRow("quote in brace scope") << QStringList{"{", "    \""} << -1;
        QTest::newRow("quote after closed string") << QStringList{"say \"hi\"", "    \""} << -1;
        QTest::newRow("quote under the line that closes a string") << QStringList{"bind x \"", "\"", "    \""} << -1;
    }
    void closerIndentation()
    {
        const auto [lines] = Fetch<QStringList>({"lines"});
        const Lines document(lines);
        const int last = int(lines.size() - 1);
        QTEST(CloserIndentation(document, last, document.indentation(last), lines.last().trimmed().front()),
              "indentation");
    }
};

QTEST_GUILESS_MAIN(EditingCoreTest)
#include "test_editingcore.moc"
