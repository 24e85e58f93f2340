#include "document/loadingbar.h"

#include "document/documentlifecycle.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

LoadingBar::LoadingBar(DocumentLifecycle *lifecycle, QWidget *parent) : QWidget(parent), lifecycle_(lifecycle)
{
    setObjectName(QStringLiteral("fraLoading"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    label_ = new QLabel;
    label_->setObjectName(QStringLiteral("lblLoading"));
    bar_ = new QProgressBar;
    bar_->setObjectName(QStringLiteral("prgLoading"));
    bar_->setTextVisible(false);
    bar_->setMaximumWidth(fontMetrics().averageCharWidth() * 30);
    auto *cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("cmdCancelLoading"));
    cancel->setFocusPolicy(Qt::NoFocus); // the editor keeps the keyboard
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(cancel);
    hide();
    connect(cancel, &QPushButton::clicked, lifecycle, &DocumentLifecycle::CancelLoad);
    connect(lifecycle, &DocumentLifecycle::LoadStarted, this, &LoadingBar::started);
    connect(lifecycle, &DocumentLifecycle::LoadAdvanced, this, [this](int permille) {
        bar_->setRange(0, 1000);
        bar_->setValue(permille);
    });
    connect(lifecycle, &DocumentLifecycle::LoadEnded, this, &LoadingBar::ended);
}

void LoadingBar::started(const QString &fileName)
{
    label_->setText(tr("Opening %1...").arg(fileName));
    // Busy until the first piece is in: a large file's memory is made ready first.
    bar_->setRange(0, 0);
    show();
    // Escape reaches whichever widget has the keyboard, the editor's own handling included.
    qApp->installEventFilter(this);
}

void LoadingBar::ended()
{
    qApp->removeEventFilter(this);
    hide();
}

bool LoadingBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == window()) {
        lifecycle_->CancelLoad();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
