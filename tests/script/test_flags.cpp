#include "script/flags.h"

#include <QtTest>

constexpr qint32 Min = std::numeric_limits<qint32>::min();

class TestFlags : public QObject {
    Q_OBJECT

private slots:
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

QTEST_APPLESS_MAIN(TestFlags)
#include "test_flags.moc"
