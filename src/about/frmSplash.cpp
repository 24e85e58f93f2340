#include "about/frmSplash.h"

#include "foundation/captionfit.h"
#include "foundation/twips.h"
#include "foundation/consolefont.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace {

const QString Tagline = QStringLiteral("The Premier Scripting Editor  for Jedi     Outcast and Quake III Arena");
const QString VersionLine = QStringLiteral("Version:  .99");
const QString AuthorLine = QStringLiteral("Written by the Tavrel authors");
const QString Acknowledgement = QStringLiteral("Tavrel edits with the QScintilla editor component by Riverbank\n"
                                               "Computing, on the Qt toolkit by The Qt Company.");
const QString WebLine = QStringLiteral("For more information visit https://tavrel.example.org/");

const QColor AboutTextColor(192, 255, 255);

// The start-up window ends just above the rule under the tagline.
constexpr int RuleTopTwips = 1200;

} // namespace

frmSplash::frmSplash(QWidget *mainWindow) : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Tavrel"));
    const QFont logoFont = ConsoleFont(48);
    setFont(logoFont);
    QPalette background = palette();
    background.setColor(QPalette::Window, QApplication::palette().color(QPalette::WindowText));
    setPalette(background);
    setAutoFillBackground(true);
    // Laid out at the About height, where every line shows, so that all of them fit.
    setFixedSize(Twips(7425), Twips(AboutHeightTwips));

    const QFont smallFont = ConsoleFont(8.25);
    QFont italicLogo = logoFont;
    italicLogo.setItalic(true);
    QFont boldSmall = smallFont;
    boldSmall.setBold(true);

    // The product name runs on from the white part into the blue italic part.
    Label1 = addLabel("Label1", QStringLiteral("Tavr"), 1080, 60, 4095, 1095, logoFont,
                      QApplication::palette().color(QPalette::HighlightedText));
    Label2 = addLabel("Label2", QStringLiteral("el"), 4560, 60, 1935, 975, italicLogo, QColor(0, 0, 255));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label1->setContentsMargins(0, 0, Label1->geometry().right() + 1 - Label2->x(), 0);
    Label3 = addLabel("Label3", Tagline, 60, 900, 8535, 255, smallFont, QColor(0, 255, 0));

    Check1 = new QCheckBox(this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(Twips(6660), 0, Twips(105), Twips(105));
    Check1->setFont(smallFont);
    // Not the user's to toggle: a click on it is a click on the window.
    Check1->setFocusPolicy(Qt::NoFocus);
    Check1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(Twips(-60), Twips(RuleTopTwips), Twips(7500 + 60), 1);
    QPalette rule = Line1->palette();
    rule.setColor(QPalette::Window, QColor(192, 255, 192));
    Line1->setPalette(rule);
    Line1->setAutoFillBackground(true);

    Label4 = addLabel("Label4", VersionLine, 60, 1320, 2175, 255, boldSmall, AboutTextColor);
    Label5 = addLabel("Label5", AuthorLine, 60, 1500, 3015, 255, boldSmall, AboutTextColor);
    Label6 = addLabel("Label6", Acknowledgement, 60, 1860, 7155, 375, boldSmall, AboutTextColor);
    Label7 = addLabel("Label7", WebLine, 60, 2280, 7215, 255, boldSmall, AboutTextColor);

    FitCaptions(this);
    aboutHeight_ = height();
    setFixedSize(width(), Twips(SplashHeightTwips) + Line1->y() - Twips(RuleTopTwips));

    if (const QScreen *screen = mainWindow ? mainWindow->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form_Load();
}

QLabel *frmSplash::addLabel(const char *name, const QString &text, int left, int top, int width, int height,
                            const QFont &font, const QColor &color)
{
    auto *label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    // Plain text keeps the runs of blanks in the tagline.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    label->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
    label->installEventFilter(this);
    return label;
}

void frmSplash::Form_Load()
{
    if (QWidget *mainWindow = parentWidget())
        mainWindow->show();
}

void frmSplash::showInFront()
{
    show();
    raise();
    activateWindow();
}

void frmSplash::ShowSplash()
{
    showInFront();
}

void frmSplash::ShowAbout()
{
    showInFront();
    setFixedSize(width(), aboutHeight_);
}

void frmSplash::Form_Click()
{
    hide();
}

void frmSplash::Form_LostFocus()
{
    hide();
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    using Handler = void (frmSplash::*)();
    const std::pair<QLabel *, Handler> labels[] = {
        {Label1, &frmSplash::Label1_Click}, {Label2, &frmSplash::Label2_Click}, {Label3, &frmSplash::Label3_Click},
        {Label4, &frmSplash::Label4_Click}, {Label5, &frmSplash::Label5_Click}, {Label6, &frmSplash::Label6_Click},
        {Label7, &frmSplash::Label7_Click},
    };
    for (const auto &[label, handler] : labels) {
        if (watched == label) {
            (this->*handler)();
            return true;
        }
    }
    return false;
}

void frmSplash::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    Form_Click();
}

void frmSplash::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Reaches the window losing the activation and the one gaining it, nothing else.
    if (event->type() == QEvent::ActivationChange && isVisible() && QApplication::activeWindow() != this)
        Form_LostFocus();
}
