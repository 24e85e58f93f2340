#pragma once
// A temporary application folder holding the shipped word and command files and cfgs/.

#include "foundation/appfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

inline void PrepareApplicationFolder(const QTemporaryDir &dir)
{
    QVERIFY(dir.isValid());
    QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("pf")) && root.mkpath(QStringLiteral("cfgs")));
    for (const char *name : {"operators.txt", "q3operators.txt", "cc.txt", "q3cc.txt"}) {
        const QString file = QStringLiteral("pf/") + QLatin1String(name);
        QFile::remove(root.filePath(file));
        QVERIFY(QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR "/data/") + file, root.filePath(file)));
    }
    SetApplicationFolder(dir.path());
}
