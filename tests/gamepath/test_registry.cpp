#include "gamepath/registryFinder.h"
#include "gamepath/wineRegistry.h"
#include "support/fakeregistry.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString Default = QStringLiteral("DEFAULT");
const QString KeyPath = QString::fromLatin1(JediOutcastKeyPath);
const QString ValueName = QString::fromLatin1(JediOutcastInstallValue);
const QByteArray Section =
    R"([Software\\LucasArts Entertainment Company LLC\\Star Wars JK II Jedi Outcast\\1.0] 1700000000)";
const QByteArray Wow64Section = QByteArray(Section).replace("Software", "Software\\\\Wow6432Node");
const QByteArray Value = R"("Install Path"="C:\\JK2")";

void writeSystemReg(const QString &prefix, const QByteArray &body, bool header = true) {
    const QByteArray head = header ? "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n" : "";
    QVERIFY(writeAll(prefix + "/system.reg", head + body + "\n"));
}

QString read(RegistryBackend &registry, const QString &key = KeyPath, const QString &value = ValueName,
             quint32 root = HKEY_LOCAL_MACHINE_ROOT) {
    return ReadRegistryString(registry, root, key, value, Default);
}
// Raw strings stay outside the test class, where moc does not read them.
const std::pair<const char *, QString> WineValues[] = { // the value as Wine writes it, what is read
    {R"("C:\\Games\\JK2\\")", "C:\\Games\\JK2\\"}, {"\"say \\\"hi\\\"\"", "say \"hi\""}, {R"("\x263a")", "\u263a"},
    {R"("\xyz")", "xyz"}, {R"("JK\0002")", "JK"}, {R"("\101\102C")", "ABC"}, {R"("a\tb\nc")", "a\tb\nc"},
    {"\"Jeux\xc3\xa9\"", "Jeux\u00e9"}, {R"("")", ""}, {R"(str:"C:\\JK2")", "C:\\JK2"},
    {"hex(1):43,00,3a,00,5c,00", "C:\\"}, {"hex(1):41,00,00,00,42,00,00,00", "A"},
    {"hex(1):43,00,3a,00,5c,00,\\\n  4a,00,4b,00,32,00,00,00", "C:\\JK2"}, {R"(str(2):"%ProgramFiles%\\JK2")", Default},
    {"hex(7):43,00,00,00,00,00", Default}, {"dword:00000001", Default}, {"hex:43,3a,00", Default},
    {R"("C:\\JK2)", Default}};
const std::pair<QByteArray, QString> WineFiles[] = { // system.reg after its header, what is read
    {Section + "\n" + QByteArray(Value).replace("Install Path", "INSTALL path"), "C:\\JK2"},
    {Section + "\n\"Version\"=\"1.04\"\n" + Value, "C:\\JK2"}, {Section + "\n@=\"C:\\\\JK2\"", Default},
    {Section.toLower() + "\n" + Value, "C:\\JK2"}, {Section + "\r\n" + Value + "\r", "C:\\JK2"},
    // a 32-bit installer's key first
    {Section + "\n\"Install Path\"=\"C:\\\\Plain\"\n\n" + Wow64Section + "\n" + Value, "C:\\JK2"},
    {R"([Software\\Odd\]Name\\[x] 1)" "\n\"Install Path\"=\"C:\\\\Odd\"\n\n" + Section + "\n" + Value, "C:\\JK2"},
    {Section + "\n\"Version\"=\"1.04\"\n\n[Software\\\\Other] 1\n" + Value, Default}, // under the next key
    {QByteArray(Section).replace("\\\\1.0]", "]") + "\n" + Value, Default},
    {QByteArray(Section).replace("1.0]", "1.0\\\\Sub]") + "\n" + Value, Default}};
} // namespace

class TestRegistry : public QObject {
    Q_OBJECT

private slots:
    void readsStringValues() {
        using namespace RegistryType;
        const QByteArray limit(RegistryStringLimit, 'a');
        const std::tuple<quint32, QByteArray, QString> cases[] = { // type, bytes, what is read
            {String, QByteArray("C:\\JK2\\\0", 8), "C:\\JK2\\"}, {String, QByteArray("first\0second\0", 13), "first"},
            {ExpandString, QByteArray("C:\\JK2\0", 7), Default}, {String, limit + '\0', QString(limit)},
            {String, limit + "a" + '\0', Default}, {String, QByteArray(40000, 'b'), QString(40000, 'b')}};
        for (const auto &[type, bytes, expected] : cases) {
            FakeRegistry registry;
            registry.setValue(KeyPath, ValueName, type, bytes);
            QCOMPARE(read(registry), expected);
            // The installed backend answers the parameterless form the same way.
            QCOMPARE(ReadRegistryString(HKEY_LOCAL_MACHINE_ROOT, KeyPath, ValueName, Default), expected);
            QCOMPARE(registry.closed, (QList<RegistryHandle>{1, 2}));
        }
    }
    void failuresGiveTheDefaultAndCloseTheKey() {
        FakeRegistry registry;
        registry.setString(KeyPath, ValueName, "C:\\JK2");
        QCOMPARE(read(registry, KeyPath, "Version"), Default);
        QCOMPARE(read(registry, KeyPath + "\\Sub"), Default);
        QCOMPARE(read(registry, KeyPath, ValueName, HKEY_CURRENT_USER_ROOT), Default);
        QCOMPARE(registry.closed, (QList<RegistryHandle>{1, 0, 0}));
        // The query that fills the buffer fails after the one that sized it succeeded.
        registry.secondQueryStatus = RegistryStatus::MoreData;
        QCOMPARE(read(registry), Default);
        QCOMPARE(registry.closed.size(), 4);
        // The value changes between the query that sizes the buffer and the one that fills it.
        registry.secondQueryStatus = RegistryStatus::Success;
        const std::tuple<quint32, QByteArray, QString> changes[] = {
            {RegistryType::Binary, QByteArray("C:\\JK2\0", 7), Default}, {RegistryType::String, "C:\\", "C:\\"}};
        for (const auto &[type, bytes, expected] : changes) {
            registry.setString(KeyPath, ValueName, "C:\\JK2");
            registry.beforeFilling = [&] { registry.setValue(KeyPath, ValueName, type, bytes); };
            QCOMPARE(read(registry), expected);
        }
        QCOMPARE(registry.closed.size(), 6);
    }
    void readsWineFiles() {
        QTemporaryDir prefix;
        WineRegistryBackend wine({prefix.path()});
        for (const auto &[data, expected] : WineValues) {
            writeSystemReg(prefix.path(), Section + "\n#time=1da2b3c4d5e6f70\n\"Install Path\"=" + data);
            QCOMPARE(read(wine), expected);
        }
        for (const auto &[body, expected] : WineFiles) {
            writeSystemReg(prefix.path(), body);
            QCOMPARE(read(wine), expected);
        }
        writeSystemReg(prefix.path(), Section + "\n" + Value, false); // no header: not a registry file
        QCOMPARE(read(wine), Default);
    }
    void searchesPrefixesInOrder() {
        QTemporaryDir root;
        const QString canonical = QDir(root.path()).canonicalPath();
        // A 64-bit prefix files the 32-bit installer's key apart; the installer's spelling of
        // the folder is found on a case-sensitive disk.
        const QByteArray withValue = Wow64Section + "\n\"Install Path\"=\"C:\\\\jk2\"";
        const std::pair<QByteArray, const char *> cases[] = { // the first prefix's system.reg, the path found
            {withValue, "/first/drive_c/JK2"}, {"[Software\\\\Other] 1\n\"A\"=\"b\"", "/second/drive_c/JK2"},
            {Section + "\n\"Version\"=\"1.04\"", "/second/drive_c/JK2"}, {QByteArray(), ""}};
        for (const auto &[first, expected] : cases) {
            for (const QString name : {"first", "second"}) {
                QVERIFY(QDir().mkpath(root.filePath(name + "/drive_c/JK2")));
                writeSystemReg(root.filePath(name), name == "first" || first.isEmpty() ? first : withValue);
            }
            WineRegistryBackend wine({root.filePath("first"), root.filePath("missing"), root.filePath("second")});
            SetRegistryBackendForTesting(&wine);
            QCOMPARE(JediOutcastInstallPath(), *expected ? canonical + expected : QString());
            SetRegistryBackendForTesting(nullptr);
        }
    }
    void translatesPathsAndFindsGameData() {
        QTemporaryDir temp;
        const QString root = QDir(temp.path()).canonicalPath(), pfx = root + "/pfx";
        QVERIFY(QDir().mkpath(pfx + "/drive_c/Games/JK2") && QDir().mkpath(root + "/elsewhere"));
        QCOMPARE(WinePathToLocal(pfx, "C:\\Games\\JK2"), pfx + "/drive_c/Games/JK2"); // no dosdevices links yet
        QCOMPARE(WinePathToLocal(pfx, "D:\\stuff"), QString());
        QVERIFY(QDir().mkpath(pfx + "/dosdevices") && QFile::link("../drive_c", pfx + "/dosdevices/c:"));
        QVERIFY(QFile::link(root + "/elsewhere", pfx + "/dosdevices/d:") && QFile::link("/", pfx + "/dosdevices/z:"));
        const std::pair<QString, QString> cases[] = {{"c:\\GAMES\\jk2", "/pfx/drive_c/Games/JK2"},
            {"C:/Games/JK2\\", "/pfx/drive_c/Games/JK2/"}, {"C:\\Games\\None\\x", "/pfx/drive_c/Games/None/x"},
            {"C:", "/pfx/drive_c"}, {"D:\\stuff", "/elsewhere/stuff"}, {"E:\\JK2", ""}, {"\\\\server\\share", ""},
            {"Z:" + QString(root).replace('/', '\\') + "\\elsewhere", "/elsewhere"}, {"JK2", ""}};
        for (const auto &[path, expected] : cases)
            QCOMPARE(WinePathToLocal(pfx, path), expected.isEmpty() ? expected : root + expected);
        for (const char *folder : {"/JK2/GameData/Base", "/Both/GameData/base", "/Both/gamedata/base"})
            QVERIFY(QDir().mkpath(root + folder));
        QCOMPARE(GameDataPathFor(""), QDir::toNativeSeparators("/gamedata/base"));
        // The installer's spelling is found on a case-sensitive disk; the exact spelling first.
        for (const auto &[install, data] : {std::pair{"/JK2", "/JK2/GameData/Base"}, {"/JK2/", "/JK2//GameData/Base"},
                                            {"/Both", "/Both/gamedata/base"}, {"/None", "/None/gamedata/base"}})
            QCOMPARE(GameDataPathFor(root + install), root + data);
    }
    void findsDefaultPrefixes() {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldPrefix = qgetenv("WINEPREFIX");
        qputenv("HOME", home.path().toUtf8());
        // Steam's file escapes backslashes, which a Linux folder name may hold.
        const QString steam = home.filePath(".steam/steam"), library = home.filePath("lib\\rary");
        const QString compat = "/steamapps/compatdata/";
        const QStringList proton{steam + compat + "6030/pfx", library + compat + "6030/pfx"};
        for (const QString &folder : proton + QStringList{steam + compat + "6020/pfx", home.filePath(".local/share")})
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(steam, home.filePath(".local/share/Steam"))); // the same library twice
        const QString vdf = "\"libraryfolders\" { \"0\" { \"path\" \"" + steam + "\" \"apps\" { \"6030\" \"1\" } }\n"
                            + "\"1\" { \"path\"\t\t\"" + QString(library).replace("\\", "\\\\") + "\" }\n"
                            + "\"2\" \"" + home.filePath("none") + "\" }\n";
        QVERIFY(writeAll(steam + "/steamapps/libraryfolders.vdf", vdf.toUtf8()));
        qunsetenv("WINEPREFIX");
        const QStringList withoutVariable = WineRegistryBackend::defaultPrefixes();
        qputenv("WINEPREFIX", "/games/prefix");
        const QStringList withVariable = WineRegistryBackend::defaultPrefixes();
        qputenv("HOME", oldHome);
        oldPrefix.isNull() ? qunsetenv("WINEPREFIX") : qputenv("WINEPREFIX", oldPrefix);
        QCOMPARE(withoutVariable, QStringList{home.filePath(".wine")} + proton);
        QCOMPARE(withVariable, QStringList{"/games/prefix"} + proton);
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "test_registry.moc"
