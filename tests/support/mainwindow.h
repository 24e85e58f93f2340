#pragma once
// The main window as a player meets it: the program's data in a temporary application
// folder, the game not installed (a FakeRegistry), every dialog and message answered by
// fakes, and the start-up steps run. Ending the program is counted, not done.

#include "app/frmMain.h"
#include "editor/codesense.h"
#include "support/appfolder.h"
#include "support/fakeregistry.h"
#include "support/fakeservices.h"

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>

struct MainWindowFixture
{
    QTemporaryDir appDir;
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
    void type(const QString &text) { QTest::keyClicks(window.CodeSense1, text); }
    // As a click on the menu item would.
    void click(const char *item)
    {
        QAction *action = window.menuItem(QLatin1String(item));
        QVERIFY2(action, item);
        action->trigger();
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
