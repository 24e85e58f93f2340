#pragma once
// Answers the flag checklist that a piece of code opens modally.

#include "aids/frmLookAheadCheck.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

// Answers the checklist that `run` opens modally. The dialog is always closed at the
// end, and a watchdog closes anything still modal, so a failed check cannot hang the suite.
inline void AnswerChecklist(const std::function<void(frmLookAheadCheck &)> &answer, const std::function<void()> &run)
{
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<frmLookAheadCheck *>(QApplication::activeModalWidget());
        answered = dialog != nullptr;
        if (dialog) {
            answer(*dialog);
            if (dialog->isVisible())
                dialog->Command1->click();
        }
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        while (QWidget *modal = QApplication::activeModalWidget())
            modal->hide();
    });
    watchdog.start(20000);
    run();
    QVERIFY2(answered, "no modal checklist was open");
}

