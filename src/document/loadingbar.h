#pragma once
// The status bar's part in a background load: what is being opened, how far it has come,
// and Cancel (or Escape anywhere in the window), which keeps the document shown before.

#include <QWidget>

class DocumentLifecycle;
class QLabel;
class QProgressBar;

class LoadingBar : public QWidget
{
    Q_OBJECT

public:
    explicit LoadingBar(DocumentLifecycle *lifecycle, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void started(const QString &fileName);
    void ended();

    DocumentLifecycle *lifecycle_;
    QLabel *label_;
    QProgressBar *bar_;
};
