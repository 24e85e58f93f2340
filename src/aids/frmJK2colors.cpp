#include "aids/frmJK2colors.h"

#include "foundation/captionfit.h"
#include "foundation/program.h"
#include "foundation/prompts.h"
#include "foundation/twips.h"
#include "editor/codesense.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct JK2Color
{
    const char16_t *name;
    const char16_t *prefix;
};

// Black is ^8, not ^0: the game takes the digit modulo 8, so both draw black.
constexpr JK2Color Colors[] = {
    {u"Red", u"^1 "},    {u"Green", u"^2 "},  {u"Yellow", u"^3 "}, {u"Blue", u"^4 "},
    {u"Aqua", u"^5 "},   {u"Purple", u"^6 "}, {u"White", u"^7 "},  {u"Black", u"^8 "},
};

const QString DefaultColor = QStringLiteral("Black");

} // namespace

QStringList JK2ColorNames()
{
    QStringList names;
    for (const JK2Color &color : Colors)
        names << QString::fromUtf16(color.name);
    names.sort(Qt::CaseSensitive);
    return names;
}

std::optional<QString> JK2ColorPrefix(const QString &name)
{
    for (const JK2Color &color : Colors)
        if (name == QString::fromUtf16(color.name))
            return QString::fromUtf16(color.prefix);
    return std::nullopt;
}

frmJK2colors::frmJK2colors(CodeSense *editor, QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("frmJK2colors"));
    setWindowTitle(QStringLiteral("Jedi Outcast Scripting Text Colors"));
    setFixedSize(Twips(4200), Twips(840));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(0, 0, Twips(4155), Twips(285));
    Text1->setToolTip(QStringLiteral("Text to be colored"));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    // The typed name is checked exactly as typed: no completion, no case-blind matching
    // on Enter, nothing added to the list.
    Combo1->setCompleter(nullptr);
    Combo1->setDuplicatesEnabled(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItems(JK2ColorNames());
    Combo1->setGeometry(Twips(60), Twips(420), Twips(2595), Combo1->sizeHint().height());
    Combo1->setToolTip(QStringLiteral("Color you want text to have"));

    Command1 = new QPushButton(QStringLiteral("Insert"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips(2700), Twips(360), Twips(1395), Twips(435));
    connect(Command1, &QPushButton::clicked, this, &frmJK2colors::Command1_Click);
    FitCaptions(this);

    Form_Load();
}

void frmJK2colors::Form_Load()
{
    Combo1->setCurrentIndex(Combo1->findText(DefaultColor));
    editor_->SetFocus();
}

void frmJK2colors::Command1_Click()
{
    const QString text = Text1->text();
    const EditorRange before = editor_->GetSel(false);
    if (!JK2ColorPrefix(Combo1->currentText())) {
        ShowMessage(this, QStringLiteral("Please use a color from the list."), ProgramTitle, QMessageBox::Ok,
                    QMessageBox::Critical);
        Combo1->setCurrentIndex(Combo1->findText(DefaultColor));
        Combo1->setEditText(DefaultColor);
        return;
    }
    Text1->clear();
    editor_->SetSelText(*JK2ColorPrefix(Combo1->currentText()) + text + JK2ColorSuffix);
    editor_->SetCaretPos(before.EndLineNo, before.EndColNo);
}

void frmJK2colors::closeEvent(QCloseEvent *event)
{
    event->ignore();
    hide();
    if (QWidget *owner = parentWidget()) {
        owner->show();
        owner->raise();
        owner->activateWindow();
    }
}

frmJK2colors *ShowJK2Colors(CodeSense *editor, QWidget *owner)
{
    auto *dialog = owner->findChild<frmJK2colors *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new frmJK2colors(editor, owner);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}
