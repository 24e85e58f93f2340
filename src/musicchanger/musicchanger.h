#pragma once
// The music changer script: a looping chain of MUSIC commands that two bound keys walk
// forward and backward. Building the lines is kept apart from writing them so that the
// exact text can be checked without a window or a file.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct MusicTrack
{
    QString caption; // echoed in the game when the track starts
    QString path;    // below the game's music folder, exactly as typed
};

// Title of the tool, written into the script's credit lines and used for its message boxes.
inline const QString TunemillTitle = QStringLiteral("Tunemill 1.07");

// The 23 + n lines of the script, without terminators. stopQuery is asked after each
// track line; once it answers true no further track lines are produced, but the closing
// lines still count all n tracks. An empty track list gives no lines.
QStringList BuildMusicChanger(const QList<MusicTrack> &tracks, const QString &nextKey, const QString &backKey,
                              const std::function<bool()> &stopQuery = {});

struct MusicChangerBytes
{
    QByteArray bytes;
    bool ok = true;
    // When !ok: the first character Windows-1252 cannot hold, and the line it is in (0-based).
    QString unencodable;
    qsizetype line = -1;
};

// The file image: every line followed by CR LF, Windows-1252, no byte-order mark.
MusicChangerBytes EncodeMusicChanger(const QStringList &lines);

// The first character of text that Windows-1252 cannot hold, or an empty string.
QString FirstNonWindows1252(const QString &text);

// The game base folder: the install path followed by gamedata/base (in the case the folders
// have on disk), or the application folder when the game is not installed. The install path
// is joined as it stands; a trailing separator in it is kept.
QString TunemillBasePath(const QString &installLookupResult, const QString &applicationFolder);

// Where the script goes inside the base folder.
QString TunemillScriptPath(const QString &basePath);

// The program that shows the written script: Notepad from the Windows folder, given the path
// as its one argument. An empty program means the desktop's default application for the file
// (elsewhere than Windows, or when windir is not set).
struct ViewerCommand
{
    QString program;
    QStringList arguments;
};
ViewerCommand TunemillViewerCommand(const QString &scriptPath, const QString &windir, bool onWindows);
