#pragma once
// The main window as a player meets it: the program's data (the shipped word and command
// files, the games' vocabularies, cfgs/) in a temporary application folder, the game not
// installed (a FakeRegistry), every dialog and message answered by fakes, and the start-up
// steps run. Ending the program is counted, not done.

#include "aids/frmCmdList.h"
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "foundation/appfolder.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"

#include <QAction>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

inline void PrepareApplicationFolder(const QTemporaryDir &dir)
{
    QVERIFY(dir.isValid() && QDir(dir.path()).mkpath(QStringLiteral("cfgs")));
    for (const char *name : {"pf/operators.txt", "pf/q3operators.txt", "pf/cc.txt", "pf/q3cc.txt", "vocab/jk2.tsv",
                             "vocab/q3.tsv"}) {
        const QString file = dir.filePath(QLatin1String(name));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR "/data/") + name, file));
    }
    SetApplicationFolder(dir.path());
}

// Types any characters: Latin-1 as QTest's keys (which take nothing else), the rest as
// an input method sends them, a key event carrying the character (a surrogate pair whole).
inline void TypeText(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x100) {
            QTest::keyClick(widget, text[i].toLatin1());
            continue;
        }
        const QString character = text.mid(i, text[i].isHighSurrogate() ? 2 : 1);
        i += character.size() - 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

struct MainWindowFixture
{
    QTemporaryDir appDir;
    // Backups of unsaved work go to the user's data folder: here a temporary one.
    QTemporaryDir dataDir;
    bool dataSet = qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
    FakeServices fakes;
    FakeRegistry registry;
    bool prepared = (PrepareApplicationFolder(appDir), true);
    frmMain window;
    int ends = 0;

    explicit MainWindowFixture(bool load = true)
    {
        window.EndProgram = [this] { ++ends; };
        if (load)
            window.Form_Load();
    }
    CodeSense *editor() const { return window.CodeSense1; }
    void type(const QString &text) { TypeText(window.CodeSense1, text); }
    // As a click on the menu item would.
    void click(const char *item)
    {
        QAction *action = window.menuItem(QLatin1String(item));
        QVERIFY2(action, item);
        action->trigger();
    }
    QStringList commandList()
    {
        QStringList items;
        for (int i = 0; i < window.CmdList()->list1->count(); ++i)
            items << window.CmdList()->list1->item(i)->text();
        return items;
    }
};

// The messages shown so far, one expectation each: the text, the program's title, the
// buttons and the icon. Clears them, so the next call checks what follows.
inline void ExpectMessages(FakeMessageBoxes &boxes, const QStringList &texts,
                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                           QMessageBox::Icon icon = QMessageBox::NoIcon, const QString &title = ProgramTitle)
{
    QCOMPARE(boxes.texts(), texts);
    for (const MessageBoxRequest &request : std::as_const(boxes.shown)) {
        QCOMPARE(request.title, title);
        QCOMPARE(request.buttons, buttons);
        QCOMPARE(request.icon, icon);
    }
    boxes.shown.clear();
}
