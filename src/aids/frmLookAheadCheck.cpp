#include "aids/frmLookAheadCheck.h"

#include "foundation/captionfit.h"
#include "script/flags.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr double TwipsPerPixel = 15.0;

// The line naming the kept bits takes this much room between the list and the button.
constexpr int KeptLineHeight = 270 / 15;

} // namespace

frmLookAheadCheck::frmLookAheadCheck(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmLookAheadCheck"));
    setFixedSize(2460 / 15, 5595 / 15);

    lvwCheckValues = new QTreeWidget(this);
    lvwCheckValues->setObjectName(QStringLiteral("lvwCheckValues"));
    lvwCheckValues->setGeometry(45 / 15, 45 / 15, 2385 / 15, 5100 / 15);
    lvwCheckValues->setColumnCount(1);
    lvwCheckValues->setHeaderLabels({QStringLiteral("Values")});
    lvwCheckValues->setRootIsDecorated(false);
    lvwCheckValues->setUniformRowHeights(true);
    lvwCheckValues->header()->setSectionsMovable(false);

    lblKept = new QLabel(this);
    lblKept->setObjectName(QStringLiteral("lblKept"));
    lblKept->setGeometry(45 / 15, 5175 / 15, 2385 / 15, 240 / 15);
    lblKept->hide();

    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(945 / 15, 5220 / 15, 1005 / 15, 330 / 15);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmLookAheadCheck::Command1_Click);
    FitCaptions(this);
    buttonTop_ = Command1->y();
    formHeight_ = height();
}

void frmLookAheadCheck::Setup(const QString &pstrType, const QStringList &pstrWords,
                              const QStringList &pstrValues, qint32 plngCurrentValue)
{
    setWindowTitle(pstrType);
    lvwCheckValues->clear();
    for (qsizetype i = 0; i < pstrWords.size(); ++i) {
        const QString value = pstrValues.value(i);
        auto *item = new QTreeWidgetItem(lvwCheckValues, {pstrWords[i]});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
                       | Qt::ItemNeverHasChildren);
        item->setData(0, Qt::UserRole, QString(u'k' + value));
        item->setCheckState(0, (plngCurrentValue & value.toInt()) != 0 ? Qt::Checked : Qt::Unchecked);
    }
}

QString frmLookAheadCheck::Value() const
{
    // Unsigned, so that a caller's odd values wrap instead of overflowing.
    quint32 sum = 0;
    for (int i = 0; i < lvwCheckValues->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = lvwCheckValues->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            sum += quint32(item->data(0, Qt::UserRole).toString().mid(1).toInt());
    }
    return QString::number(qint32(sum));
}

void frmLookAheadCheck::SetKeptBits(qint32 keptBits)
{
    const bool shown = keptBits != 0;
    lblKept->setText(shown ? QStringLiteral("Also kept: %1").arg(keptBits) : QString());
    lblKept->setVisible(shown);
    const int extra = shown ? KeptLineHeight : 0;
    Command1->move(Command1->x(), buttonTop_ + extra);
    setFixedSize(width(), formHeight_ + extra);
    if (shown)
        FitCaptions(this);
}

void frmLookAheadCheck::Command1_Click()
{
    accept();
}

void frmLookAheadCheck::reject()
{
    Command1_Click();
}

QString RunFlagChecklist(QWidget *mainWindow, const FlagTable &table, qint32 currentValue)
{
    QPointer<frmLookAheadCheck> dialog = new frmLookAheadCheck(mainWindow);
    dialog->Setup(table.caption, table.labels, table.values, currentValue);
    dialog->SetKeptBits(KeptBits(currentValue, table));

    if (mainWindow) {
        const QWidget *owner = mainWindow->window();
        const QRect frame = owner->frameGeometry();
        // The checklist has no frame before it is shown; it gets the main window's decorations.
        const QSize childFrame = dialog->size() + (frame.size() - owner->size());
        const QPointF corner = CentredPosition(
            QRectF(frame.x() * TwipsPerPixel, frame.y() * TwipsPerPixel,
                   frame.width() * TwipsPerPixel, frame.height() * TwipsPerPixel),
            QSizeF(childFrame) * TwipsPerPixel);
        dialog->move(qRound(corner.x() / TwipsPerPixel), qRound(corner.y() / TwipsPerPixel));
    }

    dialog->exec();
    // Destroyed along with the main window while open: there is nothing left to write to.
    if (!dialog)
        return QString::number(currentValue);
    const qint32 checked = dialog->Value().toInt();
    delete dialog;
    return QString::number(MaskToWrite(checked, currentValue, table));
}
