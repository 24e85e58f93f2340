#pragma once
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <functional>

// Runs `run`, which opens a modal dialog, and lets `answer` work the dialog; the dialog
// is closed afterwards if `answer` left it open, and a watchdog closes anything still
// modal so a failed check cannot hang the suite.
inline void WithModal(const std::function<void(QWidget *)> &answer, const std::function<void()> &run)
{
    bool answered = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        answered = modal != nullptr;
        if (modal) {
            answer(modal);
            if (modal->isVisible())
                modal->close();
        }
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        while (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    watchdog.start(20000);
    run();
    QVERIFY2(answered, "no modal dialog was open");
}
