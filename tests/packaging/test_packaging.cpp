// The install layout, the desktop integration files and the Debian package, built from
// the already-built tree into a temporary folder.
#include "support/files.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString DesktopFile = "share/applications/" TAVREL_APP_ID ".desktop";
const QString MetainfoFile = "share/metainfo/" TAVREL_APP_ID ".metainfo.xml";
const QString IconFile = "share/icons/hicolor/scalable/apps/tavrel.svg";
const QString MimeFile = "share/mime/packages/" TAVREL_APP_ID ".xml";

struct Run
{
    bool ok = false; // finished normally with exit code 0
    QString out, all;
};

Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    if (!finished)
        process.kill();
    process.waitForFinished();
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return {finished && process.exitCode() == 0, out, out + QString::fromLocal8Bit(process.readAllStandardError())};
}

QStringList filesBelow(const QString &root, const QString &prefix = {})
{
    QStringList files;
    for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        files << prefix + QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Whether a line of the file, indentation aside, matches the pattern as a whole.
bool hasLine(const QString &path, const QString &pattern)
{
    const QRegularExpression line("^\\s*" + pattern + "$", QRegularExpression::MultilineOption);
    return QString::fromUtf8(readAll(path)).contains(line);
}

} // namespace

class PackagingTest : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString installed; // the prefix of `cmake --install`, as /usr is on a machine
    QString package;

    QString path(const QString &relative) const { return QDir::cleanPath(tmp.filePath(relative)); }

private slots:
    void initTestCase()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", path("install"));
        const Run install = run(CMAKE_EXECUTABLE, {"--install", TAVREL_BUILD_DIR, "--prefix", "/usr"}, env);
        QVERIFY2(install.ok, qPrintable(install.all));
        installed = path("install/usr");
        const Run cpack = run(CPACK_EXECUTABLE, {"-G", "DEB", "--config", TAVREL_BUILD_DIR "/CPackConfig.cmake", "-B",
                                                 path("package")});
        QVERIFY2(cpack.ok, qPrintable(cpack.all));
        package = path("package/tavrel_" TAVREL_VERSION "_amd64.deb");
        const Run unpack = run("dpkg-deb", {"-x", package, path("unpacked")});
        QVERIFY2(unpack.ok, qPrintable(unpack.all));
    }

    // Exactly these files, the shipped data byte for byte as in data/, only the program
    // executable; the package holds the same.
    void installLayout()
    {
        QStringList expected = {"bin/tavrel", DesktopFile, MetainfoFile, IconFile, MimeFile};
        const QString data = TAVREL_SOURCE_DIR "/data";
        for (const QString &file : filesBelow(data)) {
            expected << "share/tavrel/" + file;
            QCOMPARE(readAll(installed + "/share/tavrel/" + file), readAll(data + "/" + file));
        }
        expected.sort();
        QCOMPARE(filesBelow(installed), expected);
        for (const QString &file : expected)
            QVERIFY2(QFileInfo(installed + "/" + file).isExecutable() == (file == "bin/tavrel"), qPrintable(file));
        QCOMPARE(filesBelow(path("unpacked")), filesBelow(installed, "usr/"));
    }

    // The file manager hands over one local file, of the type the shipped definition gives
    // *.cfg files; the validators of each format accept its file.
    void desktopIntegration()
    {
        const QString desktop = installed + "/" + DesktopFile, metainfo = installed + "/" + MetainfoFile;
        const Run desktopCheck = run("desktop-file-validate", {desktop});
        QVERIFY2(desktopCheck.ok && desktopCheck.all.isEmpty(), qPrintable(desktopCheck.all));
        QVERIFY(hasLine(desktop, "Exec=tavrel %f") && hasLine(desktop, "MimeType=text/x-idtech3-cfg;"));
        QVERIFY(QDir().mkpath(path("mime/packages")));
        QVERIFY(QFile::copy(installed + "/" + MimeFile, path("mime/packages/tavrel.xml")));
        const Run mime = run("update-mime-database", {path("mime")});
        QVERIFY2(mime.ok && !mime.all.contains("rror"), qPrintable(mime.all));
        QVERIFY(hasLine(path("mime/globs2"), R"(\d+:text/x-idtech3-cfg:\*\.cfg)"));
        QVERIFY(hasLine(path("mime/subclasses"), "text/x-idtech3-cfg text/plain"));
        const Run metaCheck = run("appstreamcli", {"validate", "--no-net", metainfo});
        QVERIFY2(metaCheck.ok, qPrintable(metaCheck.all));
        QVERIFY(hasLine(metainfo, "<launchable type=\"desktop-id\">" TAVREL_APP_ID ".desktop</launchable>"));
    }

    // Every shared library the program names itself comes from a package it depends on.
    void debianPackage()
    {
        QSet<QString> declared;
        for (const QString &item : run("dpkg-deb", {"-f", package, "Depends"}).out.split(','))
            declared.insert(item.trimmed().section(' ', 0, 0));
        const QString program = path("unpacked/usr/bin/tavrel");
        const Run ldd = run("ldd", {program}), needed = run("objdump", {"-p", program});
        QVERIFY2(ldd.ok && !ldd.out.contains("not found") && needed.ok, qPrintable(ldd.all + needed.all));
        for (auto match = QRegularExpression(R"(NEEDED\s+(\S+))").globalMatch(needed.out); match.hasNext();) {
            const QString library = QRegularExpression::escape(match.next().captured(1));
            // ldd shows the dynamic loader by its path alone, without "=>".
            const auto found = QRegularExpression(library + R"( => (\S+)|(\S+/)" + library + R"() \()").match(ldd.out);
            const QString file = found.hasCaptured(1) ? found.captured(1) : found.captured(2);
            // dpkg knows a file by the path its package ships, which /usr merging may hide.
            const QString canonical = QFileInfo(file).canonicalFilePath();
            QString owner;
            for (const QString &candidate : {file, canonical, QString(canonical).remove(QRegularExpression("^/usr"))}) {
                if (owner.isEmpty())
                    owner = run("dpkg", {"-S", candidate}).out.section(':', 0, 0);
            }
            QVERIFY2(!file.isEmpty() && declared.contains(owner), qPrintable(library + " " + file + " " + owner));
        }
    }

    // Started from where it was laid out, the program finds its data through ../share/tavrel,
    // puts the user's word files in the user's data folder and reads them.
    void installedProgramStartsAndFindsItsData()
    {
        const QString program = installed + "/bin/tavrel", home = path("home");
        QCOMPARE(run(program, {"--version"}).out, "tavrel " TAVREL_VERSION "\n");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/data");
        env.insert("QT_LOGGING_RULES", "tavrel.*.info=true");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, {});
        QByteArray output;
        // A word file that could not be read would stop start-up at its message box.
        while (!output.contains("tavrel.startup: word files read") && process.waitForReadyRead(120000))
            output += process.readAll();
        const bool running = process.state() == QProcess::Running;
        process.kill();
        process.waitForFinished();
        const QString user = home + "/data/Tavrel";
        const QString folders = "application folder " + installed + "/share/tavrel writable folder " + user;
        QVERIFY2(running && output.contains("word files read") && output.contains(folders.toLocal8Bit()), output);
        QCOMPARE(filesBelow(user), filesBelow(installed + "/share/tavrel/pf", "pf/"));
    }
};

QTEST_GUILESS_MAIN(PackagingTest)
#include "test_packaging.moc"
