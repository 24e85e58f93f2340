#include "foundation/appfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <optional>

// Silent unless asked for (QT_LOGGING_RULES="tavrel.folders.info=true").
Q_LOGGING_CATEGORY(lcFolders, "tavrel.folders", QtWarningMsg)

namespace {

const QString WordFolderName = QStringLiteral("pf");

std::optional<DataFolders> &chosenFolders()
{
    static std::optional<DataFolders> folders;
    return folders;
}

bool holdsWordFiles(const QString &folder)
{
    return QFileInfo(QDir(folder).filePath(WordFolderName)).isDir();
}

// Copies the shipped word files the user's folder lacks; false when the folder cannot be made.
bool seedWordFiles(const QString &shipped, const QString &user)
{
    const QDir from(QDir(shipped).filePath(WordFolderName));
    const QDir to(QDir(user).filePath(WordFolderName));
    if (!to.mkpath(QStringLiteral(".")))
        return false;
    for (const QFileInfo &file : from.entryInfoList(QDir::Files)) {
        const QString target = to.filePath(file.fileName());
        if (QFileInfo::exists(target))
            continue;
        // A copy that fails leaves the file missing, which reading it reports as usual.
        if (QFile::copy(file.filePath(), target))
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    }
    return true;
}

const DataFolders &currentFolders()
{
    if (!chosenFolders()) {
        const DataFolders folders = PrepareDataFolders(
            QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
            [](const QString &folder) {
                // Trying is the one answer that holds for ACLs and read-only mounts alike.
                QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".tavrel-XXXXXX")));
                return probe.open();
            });
        qCInfo(lcFolders).noquote() << "application folder" << folders.application << "writable folder"
                                    << folders.writable;
        chosenFolders() = folders;
    }
    return *chosenFolders();
}

} // namespace

DataFolders PrepareDataFolders(const QString &executableFolder, const QString &userDataFolder,
                               const std::function<bool(const QString &folder)> &isWritable)
{
    const QString executable = QDir::cleanPath(executableFolder);
    QString shipped = executable;
    if (holdsWordFiles(executable)) {
        if (isWritable(executable) && isWritable(QDir(executable).filePath(WordFolderName)))
            return {executable, executable};
    } else {
        const QString installed = QDir::cleanPath(executable + QStringLiteral("/../share/tavrel"));
        // Nothing found at all: the executable's folder, whose missing files are reported when read.
        if (!holdsWordFiles(installed))
            return {executable, executable};
        shipped = installed;
    }
    if (userDataFolder.isEmpty() || !seedWordFiles(shipped, userDataFolder))
        return {shipped, shipped};
    return {shipped, QDir::cleanPath(userDataFolder)};
}

QString ApplicationFolder()
{
    return currentFolders().application;
}

QString WritableFolder()
{
    return currentFolders().writable;
}

QString ApplicationFile(const QString &relative)
{
    const bool wordFile = relative.startsWith(WordFolderName + QLatin1Char('/'))
                          || relative.startsWith(WordFolderName + QLatin1Char('\\'));
    return QDir(wordFile ? WritableFolder() : ApplicationFolder()).filePath(relative);
}

void SetDataFolders(const DataFolders &folders)
{
    if (folders.application.isEmpty())
        chosenFolders().reset();
    else
        chosenFolders() = folders;
}

void SetApplicationFolder(const QString &folder)
{
    SetDataFolders({folder, folder});
}
