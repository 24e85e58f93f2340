#pragma once
// One borderless window for the start-up splash (logo and tagline) and the About box
// (the same window taller, uncovering the version, author, acknowledgement and web
// lines). A click on it or the loss of the focus hides it; there is no timer.

#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;

class frmSplash : public QWidget
{
    Q_OBJECT

public:
    static constexpr int SplashHeightTwips = 1185;
    static constexpr int AboutHeightTwips = 2550;

    // Loading shows mainWindow, which owns the splash from then on.
    explicit frmSplash(QWidget *mainWindow);

    // Shown in front of the main window at start-up height.
    void ShowSplash();
    // Shown first, then made tall enough for every line.
    void ShowAbout();

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    // Ticked when the Quake III language is registered; this window never reads it.
    QCheckBox *Check1 = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;

public slots:
    void Form_Load();
    void Form_Click();
    void Form_LostFocus();
    void Label1_Click() { Form_Click(); }
    void Label2_Click() { Form_Click(); }
    void Label3_Click() { Form_Click(); }
    void Label4_Click() { Form_Click(); }
    void Label5_Click() { Form_Click(); }
    void Label6_Click() { Form_Click(); }
    void Label7_Click() { Form_Click(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLabel *addLabel(const char *name, const QString &text, int left, int top, int width, int height,
                     const QFont &font, const QColor &color);
    void showInFront();

    // Tall enough for every line once the captions fit the platform's font.
    int aboutHeight_ = 0;
};
