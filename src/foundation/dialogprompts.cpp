#include "foundation/prompts.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

std::optional<QString> DialogPrompts::askRepeatCount(QWidget *parent, const QString &text)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("RepeatCountPrompt"));
    dialog.setWindowTitle(QObject::tr("Repeat Next Command"));
    dialog.setLabelText(QObject::tr("How many times should the next key or command run?"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<int> DialogPrompts::chooseMacroSlot(QWidget *parent, const QList<bool> &used)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("MacroSlotChooser"));
    dialog.setWindowTitle(QObject::tr("Keep Macro"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QObject::tr("Keep the recorded macro as:"), &dialog));
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("slots"));
    int proposed = -1;
    for (int i = 0; i < used.size(); ++i) {
        const QString state = used[i] ? QObject::tr("in use, will be replaced") : QObject::tr("empty");
        list->addItem(QObject::tr("Macro %1 (%2)").arg(i + 1).arg(state));
        if (proposed < 0 && !used[i])
            proposed = i;
    }
    list->setCurrentRow(proposed < 0 ? 0 : proposed);
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Discard, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons->button(QDialogButtonBox::Discard), &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return list->currentRow();
}

std::optional<QColor> DialogPrompts::chooseColor(QWidget *parent, const QColor &initial, const QString &title)
{
    const QColor color = QColorDialog::getColor(initial, parent, title, QColorDialog::DontUseNativeDialog);
    if (!color.isValid())
        return std::nullopt;
    return color;
}
