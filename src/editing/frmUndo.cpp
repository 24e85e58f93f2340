#include "editing/frmUndo.h"

#include "foundation/captionfit.h"
#include "foundation/program.h"
#include "foundation/prompts.h"
#include "foundation/twips.h"
#include "editing/counts.h"
#include "editor/codesense.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmUndo::frmUndo(QWidget *owner, CodeSense *editor) : QWidget(owner, Qt::Tool), editor_(editor)
{
    setObjectName(QStringLiteral("frmUndo"));
    setWindowTitle(QStringLiteral("Undo"));
    setFixedSize(Twips(3810), Twips(720));

    // The sentence runs around the count box, each part in a label of its own: blanks
    // under the box would take another width in every font.
    Label1 = new QLabel(QStringLiteral("Undo the last"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, Twips(60), Twips(1260), Twips(255));
    Label2 = new QLabel(QStringLiteral("operations"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Twips(2640), Twips(60), Twips(1155), Twips(255));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    // A typed count is run, not added to the list.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->move(Twips(1260), 0);
    Combo1->resize(Twips(1335), Combo1->sizeHint().height());
    Command2 = new QPushButton(QStringLiteral("Undo"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(Twips(60), Twips(360), Twips(1215), Twips(315));
    Command1 = new QPushButton(QStringLiteral("Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips(2580), Twips(360), Twips(1215), Twips(315));
    setTabOrder(Combo1, Command1);
    setTabOrder(Command1, Command2);
    setFocusProxy(Combo1);
    FitCaptions(this);

    connect(Command2, &QPushButton::clicked, this, &frmUndo::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmUndo::Command1_Click);
    Form_Load();
}

frmUndo *frmUndo::Open(QWidget *owner, CodeSense *editor, bool redo)
{
    auto *dialog = owner->findChild<frmUndo *>(QStringLiteral("frmUndo"), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new frmUndo(owner, editor);
    const QString mode = redo ? QStringLiteral("Redo") : QStringLiteral("Undo");
    dialog->setWindowTitle(mode);
    dialog->Command2->setText(mode);
    dialog->Label1->setText(mode + QStringLiteral(" the last"));
    FitCaptions(dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void frmUndo::Form_Load()
{
    for (int n = 1; n <= 100; ++n)
        Combo1->addItem(QString::number(n));
    Combo1->setEditText(QStringLiteral("1"));
}

void frmUndo::Command2_Click()
{
    RunUndoRedo(editor_);
}

void frmUndo::Command1_Click()
{
    hide();
}

void frmUndo::RunUndoRedo(CodeSense *editor)
{
    const bool undo = windowTitle() == QLatin1String("Undo");
    const qint32 id = undo ? CodeSense::cmdUndo : CodeSense::cmdRedo;
    const std::optional<qint64> count = ParseWholeNumber(Combo1->currentText());
    if (!count) {
        ShowMessage(this, tr("Please type the number of operations as a whole number, for example 5."), ProgramTitle);
        return;
    }
    // Once the history is used up the rest of a large count would do nothing, slowly.
    for (qint64 i = 1; i <= *count; ++i) {
        if (undo ? !editor->isUndoAvailable() : !editor->isRedoAvailable())
            break;
        editor->ExecuteCmd(id);
    }
}

// The close box unloads the dialog; the next opening loads a fresh one.
void frmUndo::closeEvent(QCloseEvent *event)
{
    event->accept();
    setObjectName(QString());
    deleteLater();
}
