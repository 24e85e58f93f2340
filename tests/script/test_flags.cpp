#include "script/flags.h"

#include <QtTest>

class TestFlags : public QObject
{
    Q_OBJECT

private slots:
    void tables_data();
    void tables();
    void tableForWord_data();
    void tableForWord();
    void currentValue_data();
    void currentValue();
    void region_data();
    void region();
    void maskToWrite_data();
    void maskToWrite();
    void centred_data();
    void centred();
};

void TestFlags::tables_data()
{
    QTest::addColumn<FlagTable>("table");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<qint32>("mask");

    QTest::newRow("force") << ForcePowerTable() << "Force Disable"
                           << QStringList{"Heal", "Jump", "Speed", "Push", "Pull", "Mind Trick", "Grip",
                                          "Lightning", "Dark Rage", "Protect", "Absorb", "Team Heal",
                                          "Team Energize", "Drain", "Seeing", "Saber Attack",
                                          "Saber Defend", "Saber Throw"}
                           << QStringList{"1", "2", "4", "8", "16", "32", "64", "128", "256", "512",
                                          "1024", "2048", "4096", "8192", "16384", "32768", "65536",
                                          "131072"}
                           << 262143;
    QTest::newRow("weapons") << WeaponTable() << "Weapon Disable"
                             << QStringList{"Stun Baton", "Lightsaber", "Bryar Pistol", "Rifle",
                                            "Disrupter", "Bowcaster", "Repeater", "DEMP", "Flechette Gun",
                                            "Rocket Launcher", "Thermal Detonators", "Trip Mines",
                                            "Detonator Packs"}
                             << QStringList{"2", "4", "8", "16", "32", "64", "128", "256", "512", "1024",
                                            "2048", "4096", "8192"}
                             << 16382;
}

void TestFlags::tables()
{
    QFETCH(FlagTable, table);
    QFETCH(QString, caption);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, values);
    QFETCH(qint32, mask);

    QCOMPARE(table.caption, caption);
    QCOMPARE(table.labels, labels);
    QCOMPARE(table.values, values);
    QCOMPARE(TableMask(table), mask);
}

void TestFlags::tableForWord_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("caption"); // empty: no table

    QTest::newRow("force") << "g_forcepowerdisable" << "Force Disable";
    QTest::newRow("force, mixed case") << "G_ForcePowerDisable" << "Force Disable";
    QTest::newRow("weapons") << "g_weapondisable" << "Weapon Disable";
    QTest::newRow("duel weapons") << "g_duelweapondisable" << "Weapon Disable";
    QTest::newRow("longer") << "g_weapondisable2" << "";
    QTest::newRow("shorter") << "weapondisable" << "";
    QTest::newRow("with a blank") << "g_weapondisable " << "";
    QTest::newRow("empty") << "" << "";
}

void TestFlags::tableForWord()
{
    QFETCH(QString, word);
    QFETCH(QString, caption);

    const std::optional<FlagTable> table = FlagTableForWord(word);
    QCOMPARE(table.has_value(), !caption.isEmpty());
    if (table)
        QCOMPARE(table->caption, caption);
}

void TestFlags::currentValue_data()
{
    QTest::addColumn<QString>("rest");
    QTest::addColumn<qint32>("value");

    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks only") << "   " << 0;
    QTest::newRow("plain") << " 8" << 8;
    QTest::newRow("blanks around") << "  8  " << 8;
    QTest::newRow("tabs around") << "\t8\t" << 8;
    QTest::newRow("leading zeros") << " 0008" << 8;
    QTest::newRow("plus") << " +8" << 8;
    QTest::newRow("minus one") << " -1" << -1;
    QTest::newRow("comment after") << " 8 // no weapons" << 0;
    QTest::newRow("command after") << " 8; map_restart" << 0;
    QTest::newRow("sign then blank") << " - 5" << 0;
    QTest::newRow("exponent") << " 1e3" << 0;
    QTest::newRow("hex") << " 0x10" << 0;
    QTest::newRow("thousands") << " 1,000" << 0;
    QTest::newRow("fullwidth digits") << QString::fromUtf16(u" \uff18") << 0;
    QTest::newRow("line feed is no blank") << " 8\n" << 0;
    QTest::newRow("2.5 to even") << " 2.5" << 2;
    QTest::newRow("3.5 to even") << " 3.5" << 4;
    QTest::newRow("-2.5 to even") << " -2.5" << -2;
    QTest::newRow("0.5") << " 0.5" << 0;
    QTest::newRow("-0.5") << " -0.5" << 0;
    QTest::newRow("just over half") << " 2.500000000000000000001" << 3;
    QTest::newRow("just under half") << " 2.4999999999999999999" << 2;
    QTest::newRow("point first") << " .9" << 1;
    QTest::newRow("point last") << " 7." << 7;
    QTest::newRow("largest") << " 2147483647" << 2147483647;
    QTest::newRow("smallest") << " -2147483648" << std::numeric_limits<qint32>::min();
    QTest::newRow("one over") << " 2147483648" << 0;
    QTest::newRow("one under") << " -2147483649" << 0;
    QTest::newRow("rounds out of range") << " 2147483647.5" << 0;
    QTest::newRow("rounds to the smallest") << " -2147483648.5" << std::numeric_limits<qint32>::min();
    QTest::newRow("stays in range") << " 2147483647.4" << 2147483647;
    QTest::newRow("huge") << " 99999999999999999999999999999999" << 0;
    QTest::newRow("huge with leading zeros") << " 000000000000000000000000012" << 12;
}

void TestFlags::currentValue()
{
    QFETCH(QString, rest);
    QFETCH(qint32, value);

    QCOMPARE(ParseCurrentValue(rest), value);
}

void TestFlags::region_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("written"); // the line once a space and 6 replace the region

    QTest::newRow("old value") << "g_weapondisable 8" << 15 << " 8" << 16 << 17 << "g_weapondisable  6";
    QTest::newRow("name at the end") << "g_forcepowerdisable" << 19 << "" << 19 << 19
                                     << "g_forcepowerdisable 6";
    QTest::newRow("trailing comment") << "g_weapondisable 8 // sabers" << 15 << " 8 // sabers" << 16 << 27
                                      << "g_weapondisable  6";
    QTest::newRow("indented, tab kept") << "\tg_weapondisable\t8" << 16 << "\t8" << 17 << 18
                                        << "\tg_weapondisable\t 6";
    QTest::newRow("CR LF left alone") << "g_weapondisable 8\r\n" << 15 << " 8" << 16 << 17
                                      << "g_weapondisable  6\r\n";
    QTest::newRow("LF left alone") << "g_weapondisable\n" << 15 << "" << 15 << 15 << "g_weapondisable 6\n";
    QTest::newRow("lone CR left alone") << "g_weapondisable 8\r" << 15 << " 8" << 16 << 17
                                        << "g_weapondisable  6\r";
    QTest::newRow("one character after") << "g_weapondisable;" << 15 << ";" << 16 << 16
                                         << "g_weapondisable; 6";
    QTest::newRow("caret past the end") << "g_weapondisable" << 40 << "" << 15 << 15 << "g_weapondisable 6";
    QTest::newRow("caret before the start") << "x" << -3 << "x" << 1 << 1 << "x 6";
    QTest::newRow("empty line") << "" << 0 << "" << 0 << 0 << " 6";
    QTest::newRow("surrogate pair kept whole")
        << QString::fromUtf16(u"g_weapondisable\U0001F600 8") << 15 << QString::fromUtf16(u"\U0001F600 8") << 17 << 19
        << QString::fromUtf16(u"g_weapondisable\U0001F600 6");
}

void TestFlags::region()
{
    QFETCH(QString, line);
    QFETCH(int, caret);
    QFETCH(QString, rest);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, written);

    QCOMPARE(RestOfLine(line, caret), rest);
    const ColumnSpan span = ReplaceRegion(line, caret);
    QCOMPARE(span.start, start);
    QCOMPARE(span.end, end);
    QCOMPARE(line.left(span.start) + " 6" + line.mid(span.end), written);
}

void TestFlags::maskToWrite_data()
{
    QTest::addColumn<FlagTable>("table");
    QTest::addColumn<qint32>("oldValue");
    QTest::addColumn<qint32>("checkedSum");
    QTest::addColumn<qint32>("kept");
    QTest::addColumn<qint32>("written");

    const FlagTable force = ForcePowerTable();
    const FlagTable weapons = WeaponTable();
    QTest::newRow("saber only, unchanged") << weapons << 65531 << 16378 << 49153 << 65531;
    QTest::newRow("saber only, lightsaber off too") << weapons << 65531 << 16382 << 49153 << 65535;
    QTest::newRow("saber only, all cleared") << weapons << 65531 << 0 << 49153 << 49153;
    QTest::newRow("bit 0 with weapons") << weapons << 1 << 0 << 1 << 1;
    QTest::newRow("-1 force, all left checked") << force << -1 << 262143 << -262144 << -1;
    QTest::newRow("-1 weapons, all unchecked") << weapons << -1 << 0 << -16383 << -16383;
    QTest::newRow("force bit 18") << force << 262144 << 0 << 262144 << 262144;
    QTest::newRow("nothing to keep") << weapons << 8 << 6 << 0 << 6;
    QTest::newRow("smallest") << force << std::numeric_limits<qint32>::min() << 0
                              << std::numeric_limits<qint32>::min() << std::numeric_limits<qint32>::min();
}

void TestFlags::maskToWrite()
{
    QFETCH(FlagTable, table);
    QFETCH(qint32, oldValue);
    QFETCH(qint32, checkedSum);
    QFETCH(qint32, kept);
    QFETCH(qint32, written);

    QCOMPARE(KeptBits(oldValue, table), kept);
    QCOMPARE(MaskToWrite(checkedSum, oldValue, table), written);
}

void TestFlags::centred_data()
{
    QTest::addColumn<QRectF>("owner");
    QTest::addColumn<QSizeF>("child");
    QTest::addColumn<QPointF>("position");

    QTest::newRow("even sizes") << QRectF(1500, 1200, 12000, 9000) << QSizeF(2460, 5595)
                                << QPointF(6270, 2903);
    QTest::newRow("odd sizes drop the half") << QRectF(0, 0, 12015, 9015) << QSizeF(2461, 5595)
                                             << QPointF(4777, 1710);
    QTest::newRow("half rounds to even, down") << QRectF(0, 0, 12000.5, 100) << QSizeF(100, 100)
                                               << QPointF(5950, 0);
    QTest::newRow("half rounds to even, up") << QRectF(0, 0, 12001.5, 100) << QSizeF(100, 100)
                                             << QPointF(5951, 0);
    QTest::newRow("fractions round first") << QRectF(0, 0, 12001.6, 100) << QSizeF(100, 100)
                                           << QPointF(5951, 0);
    QTest::newRow("left edge kept as it is") << QRectF(-3000.25, 450.5, 6000, 3000) << QSizeF(2460, 5595)
                                             << QPointF(-1230.25, -846.5);
    QTest::newRow("child larger than owner") << QRectF(0, 0, 1000, 1000) << QSizeF(3000, 3000)
                                             << QPointF(-1000, -1000);
}

void TestFlags::centred()
{
    QFETCH(QRectF, owner);
    QFETCH(QSizeF, child);
    QFETCH(QPointF, position);

    QCOMPARE(CentredPosition(owner, child), position);
}

QTEST_APPLESS_MAIN(TestFlags)
#include "test_flags.moc"
