#pragma once
// A temporary application folder holding the shipped word and command files, the games'
// vocabularies and cfgs/.

#include "foundation/appfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

inline void PrepareApplicationFolder(const QTemporaryDir &dir)
{
    QVERIFY(dir.isValid());
    QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("pf")) && root.mkpath(QStringLiteral("cfgs")) && root.mkpath(QStringLiteral("vocab")));
    for (const char *name : {"pf/operators.txt", "pf/q3operators.txt", "pf/cc.txt", "pf/q3cc.txt", "vocab/jk2.tsv", "vocab/q3.tsv"}) {
        const QString file = QLatin1String(name);
        QFile::remove(root.filePath(file));
        QVERIFY(QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR "/data/") + file, root.filePath(file)));
    }
    SetApplicationFolder(dir.path());
}
