#pragma once
// Where the program's data lies.
//
// A portable copy keeps everything beside its executable: pf/, cfgs/ and help.txt, and
// writes there too. An installed copy (the executable in bin/, the data in
// ../share/tavrel, or a portable folder it may not write to) reads cfgs/ and help.txt
// from the installed data, and keeps the word and command files it appends to in the
// user's data folder, copied from the installed ones the first time.

#include <QString>
#include <functional>

struct DataFolders
{
    QString application; // pf/ as shipped, cfgs/, help.txt
    QString writable;    // the word and command files in its pf/, tunemill.cfg without the game
};

// The folder of the shipped data.
QString ApplicationFolder();
// Where the program writes: the application folder of a portable copy, the user's data
// folder of an installed one.
QString WritableFolder();
// Joins a path relative to the application folder ("cfgs", "help.txt"); paths below pf/
// ("pf/cc.txt") are the word and command files and lie below the writable folder.
QString ApplicationFile(const QString &relative);

// Decides the folders for an executable in executableFolder and, for an installed copy,
// copies into userDataFolder/pf/ every shipped word file it does not hold yet (an existing
// one is never replaced, so the user's keywords survive an upgrade). When that folder
// cannot be made, the shipped files are used as they are.
DataFolders PrepareDataFolders(const QString &executableFolder, const QString &userDataFolder,
                               const std::function<bool(const QString &folder)> &isWritable);

// Tests point the program at folders of their own; an empty folder returns to the
// executable's. SetApplicationFolder(dir) is a portable copy in dir.
void SetDataFolders(const DataFolders &folders);
void SetApplicationFolder(const QString &folder);
