#pragma once
// Stand-in for editor/cp1252.h and editor/fileio.h until those land on main;
// same names and meaning, removed when they arrive.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace cp1252 {
QString decode(QByteArrayView bytes);
QByteArray encode(const QString &text);
}

struct FileError {
    int number = 0;
    QString description;
    bool ok() const { return number == 0; }
};

FileError ReadFileBytes(const QString &path, QByteArray &bytes);
FileError AppendToFile(const QString &path, QByteArrayView bytes);
