#include "aids/frmCmdList.h"

#include "foundation/captionfit.h"
#include "foundation/prompts.h"
#include "foundation/twips.h"
#include "editor/codesense.h"
#include "script/wordfile.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

namespace {

const QString StatusBefore = QStringLiteral("Command list - doubleclick to send \"");
const QString StatusAfter = QStringLiteral("\" to code window");

} // namespace

frmCmdList::frmCmdList(CodeSense *editor, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("frmCmdList"));
    setWindowTitle(QStringLiteral("Command List"));
    setFixedSize(Twips(6975), Twips(3225));

    list1 = new QListWidget(this);
    list1->setObjectName(QStringLiteral("list1"));
    list1->setGeometry(0, 0, Twips(6975), Twips(2985));
    list1->setSelectionMode(QAbstractItemView::SingleSelection);
    list1->setUniformItemSizes(true);
    list1->installEventFilter(this);
    connect(list1, &QListWidget::itemSelectionChanged, this, &frmCmdList::list1_Click);
    connect(list1, &QListWidget::itemDoubleClicked, this, &frmCmdList::list1_DblClick);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, Twips(3000), Twips(6975), Twips(195));
    Label1->setTextFormat(Qt::PlainText);
    FitCaptions(this);
}

void frmCmdList::Clear()
{
    list1->clear();
    // The status line names the selected command; with the list emptied there is none.
    list1_Click();
}

void frmCmdList::AddItem(const QString &item)
{
    list1->addItem(item);
}

FileError frmCmdList::FillFromFile(const QString &path, bool clearFirst)
{
    if (clearFirst)
        Clear();
    QStringList lines;
    const FileError error = ReadLines(path, lines);
    list1->addItems(lines);
    return error;
}

void frmCmdList::SelectFirst()
{
    if (list1->count() == 0)
        return;
    list1->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    list1_Click();
}

std::optional<QString> frmCmdList::selectedText() const
{
    const QListWidgetItem *item = list1->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return item->text();
}

void frmCmdList::list1_Click()
{
    const std::optional<QString> text = selectedText();
    Label1->setText(text ? StatusBefore + *text + StatusAfter : QString());
}

void frmCmdList::list1_DblClick()
{
    const std::optional<QString> text = selectedText();
    if (!text || !editor_)
        return;
    const EditorRange before = editor_->GetSel(false);
    editor_->SetSelText(*text);
    editor_->SetCaretPos(before.EndLineNo, before.EndColNo);
}

void frmCmdList::list1_KeyPress(int keyAscii)
{
    if (keyAscii != 13)
        return;
    const std::optional<QString> text = selectedText();
    if (!text || !editor_)
        return;
    Clipboard *clipboard = services().clipboard;
    clipboard->setText(*text);
    editor_->InsertText(QLatin1Char(' ') + clipboard->text() + QLatin1Char(' '));
}

bool frmCmdList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            list1_KeyPress(13);
        else if (!key->text().isEmpty())
            list1_KeyPress(key->text().at(0).unicode());
    }
    // The list still gets every key, Enter included.
    return QWidget::eventFilter(watched, event);
}

void frmCmdList::closeEvent(QCloseEvent *event)
{
    event->ignore();
    hide();
}
