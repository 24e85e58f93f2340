#pragma once
// Tunemill: the player lists music tracks and two keys, and Create writes a music changer
// script into the game's base folder. The window keeps its contents for the whole run:
// closing only hides it.

#include "musicchanger/musicchanger.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class frmTunemill : public QWidget
{
    Q_OBJECT

public:
    // installLookupResult: the Jedi Outcast install path from the registry, empty when the
    // game is not installed.
    frmTunemill(QWidget *owner, const QString &installLookupResult);

    // The folder Create writes "tunemill.cfg" into, fixed at creation.
    QString basePath() const { return m_basePath; }
    // Set by Escape; a running Create stops adding track lines once it sees it.
    bool stopRequested() const { return m_stopRequested; }
    bool isCreating() const { return m_creating; }
    // The tracks as listed.
    QList<MusicTrack> tracks() const;

    // A track list cannot grow beyond this: indexes of the game's script are 16-bit.
    static constexpr int MaxTracks = 32767;

public slots:
    void add_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command6_Click();
    void listcap_Click();
    void listpath_Click();
    void Text3_Change();
    void Text4_Change();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load(const QString &installLookupResult);
    void Form_KeyDown(QKeyEvent *event);
    void ConfirmAndHide();
    bool RefuseUnwritableText();
    void ShowScript(const QString &path);

    QLabel *Label3, *Label4, *Label1, *Label2, *Label6, *Label7;
    QLineEdit *TXTcaption, *TXTpath, *Text3, *Text4;
    QPushButton *add, *Command3, *Command2, *Command6, *Command4;
    QListWidget *listcap, *listpath;
    QPlainTextEdit *Text2;
    QGroupBox *Frame1;

    QString m_basePath;
    bool m_stopRequested = false;
    bool m_creating = false;
    bool m_centred = false;
};
