#include "editing/frmPlay.h"

#include "foundation/captionfit.h"
#include "foundation/twips.h"
#include "editor/codesense.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <iterator>

frmPlay::frmPlay(QWidget *owner, CodeSense *editor) : QWidget(owner, Qt::Tool), editor_(editor)
{
    setObjectName(QStringLiteral("frmPlay"));
    setWindowTitle(QStringLiteral("Play Recorded Macro"));
    setFixedSize(Twips(4560), Twips(1665));

    const int tops[] = {120, 420, 720, 1020, 1320};
    for (int i = 0; i < 10; ++i) {
        Option1[i] = new QRadioButton(QStringLiteral("Macro %1").arg(i + 1), this);
        Option1[i]->setObjectName(QStringLiteral("Option1"));
        Option1[i]->setProperty("Index", i);
        Option1[i]->setGeometry(Twips(i < 5 ? 180 : 1320), Twips(tops[i % 5]), Twips(1815), Twips(255));
    }
    Command1 = new QPushButton(QStringLiteral("Play"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips(2580), Twips(360), Twips(1875), Twips(375));
    Command2 = new QPushButton(QStringLiteral("Close"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(Twips(2580), Twips(840), Twips(1875), Twips(375));
    Check1 = new QCheckBox(QStringLiteral("Close On Play"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(Twips(2580), Twips(1320), Twips(1875), Twips(255));
    Check1->setChecked(true);
    FitCaptions(this);

    QList<QWidget *> order(std::begin(Option1), std::end(Option1));
    order << Command1 << Command2 << Check1;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Command1, &QPushButton::clicked, this, &frmPlay::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPlay::Command2_Click);
}

frmPlay *frmPlay::Open(QWidget *owner, CodeSense *editor)
{
    auto *dialog = owner->findChild<frmPlay *>(QStringLiteral("frmPlay"), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new frmPlay(owner, editor);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void frmPlay::Command1_Click()
{
    PlaySelectedMacro(editor_);
}

void frmPlay::Command2_Click()
{
    close();
}

void frmPlay::PlaySelectedMacro(CodeSense *editor)
{
    for (int i = 0; i < 10; ++i) {
        if (Option1[i]->isChecked()) {
            editor->ExecuteCmd(CodeSense::cmdPlayMacro1 + i);
            break;
        }
    }
    if (Check1->isChecked())
        close();
}

void frmPlay::Form_QueryUnload(int &Cancel, int)
{
    Cancel = 1;
    hide();
}

void frmPlay::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Form_QueryUnload(cancel, 0);
    if (cancel)
        event->ignore();
    else
        event->accept();
}
