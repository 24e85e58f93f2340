#pragma once
#include "aids/frmLookAheadCheck.h"
#include "support/withmodal.h"

#include <QPushButton>

// Answers the checklist that `run` opens modally and closes it with OK.
inline void AnswerChecklist(const std::function<void(frmLookAheadCheck &)> &answer, const std::function<void()> &run)
{
    WithModal(
        [&](QWidget *modal) {
            auto *dialog = qobject_cast<frmLookAheadCheck *>(modal);
            QVERIFY2(dialog, "the modal dialog is not the checklist");
            answer(*dialog);
            if (dialog->isVisible())
                dialog->Command1->click();
        },
        run);
}
