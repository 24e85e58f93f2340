#include "app/appfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &overrideFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString ApplicationFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    return QCoreApplication::applicationDirPath();
}

QString ApplicationFile(const QString &relative)
{
    return QDir(ApplicationFolder()).filePath(relative);
}

void SetApplicationFolder(const QString &folder)
{
    overrideFolder() = folder;
}
