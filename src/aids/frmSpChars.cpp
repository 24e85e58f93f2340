#include "aids/frmSpChars.h"

#include "foundation/captionfit.h"
#include "foundation/twips.h"
#include "editor/codesense.h"
#include "codec/cp1252.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>

namespace {

constexpr int Columns = 31;
constexpr char IndexProperty[] = "Index";
constexpr char TagProperty[] = "Tag";

// The code page's undefined bytes decode to C1 controls, which draw nothing.
bool isUndefined(char16_t character)
{
    return character >= 0x80 && character < 0xA0;
}

} // namespace

frmSpChars::frmSpChars(CodeSense *editor, QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::WindowMinimizeButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("frmSpChars"));
    setWindowTitle(QStringLiteral("Special Characters "));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips(9360), Twips(3570));
    setMouseTracking(true);

    Label1.reserve(CharacterCount);
    for (int code = 0; code < CharacterCount; ++code) {
        auto *cell = new QLabel(this);
        cell->setObjectName(QStringLiteral("Label1_%1").arg(code));
        cell->setProperty(IndexProperty, code);
        cell->setGeometry(Twips(CellLeftTwips(code)), Twips(CellTopTwips(code)), Twips(210), Twips(255));
        cell->setTextFormat(Qt::PlainText);
        cell->setAlignment(Qt::AlignCenter);
        cell->setIndent(0);
        cell->setMouseTracking(true);
        cell->installEventFilter(this);
        Label1.append(cell);
    }

    Command1 = new QPushButton(QStringLiteral("Done"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips(2460), Twips(2940), Twips(6855), Twips(315));
    Command1->setMouseTracking(true);
    Command1->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, &frmSpChars::Command1_Click);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, Twips(3315), Twips(9360), Twips(255));

    Form_Load();
    FitCaptions(this);
}

int frmSpChars::CellLeftTwips(int code)
{
    int column;
    if (code < Columns)
        column = code;
    else if (code <= 247)
        column = Columns - 1 - (code - Columns) % Columns;
    else
        column = 255 - code;
    return 60 + 300 * column;
}

int frmSpChars::CellTopTwips(int code)
{
    const int row = code < Columns ? 0 : 1 + (code - Columns) / Columns;
    return 60 + 360 * row;
}

QString frmSpChars::Caption(int code)
{
    return QString(u' ') + QChar(cp1252::toUnicode(static_cast<unsigned char>(code)));
}

bool frmSpChars::ShownAsHex(int code)
{
    const char16_t character = cp1252::toUnicode(static_cast<unsigned char>(code));
    return character < 0x20 || character == 0x7F || isUndefined(character);
}

QString frmSpChars::DisplayText(int code)
{
    if (ShownAsHex(code))
        return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
    const char16_t character = cp1252::toUnicode(static_cast<unsigned char>(code));
    // A soft hyphen is drawn only where it breaks a line.
    return QString(QChar(character == 0xAD ? u'-' : character));
}

void frmSpChars::Form_Load()
{
    QFont characterFont = font();
    characterFont.setPixelSize(11);
    QFont hexFont = font();
    hexFont.setPixelSize(7);
    for (int code = 0; code < CharacterCount; ++code) {
        QLabel *cell = Label1[code];
        cell->setText(DisplayText(code));
        cell->setFont(ShownAsHex(code) ? hexFont : characterFont);
        cell->setAutoFillBackground(false);
        cell->setFrameStyle(QFrame::Box | QFrame::Plain);
        cell->setLineWidth(1);
        cell->setProperty(TagProperty, QStringLiteral("Character #: %1").arg(code));
    }
}

QString frmSpChars::StatusText() const
{
    return StatusBar1->currentMessage();
}

void frmSpChars::Label1_MouseMove(int Index)
{
    StatusBar1->showMessage(Label1[Index]->property(TagProperty).toString());
}

void frmSpChars::Label1_Click(int Index)
{
    editor_->SetText(editor_->Text() + Caption(Index));
}

void frmSpChars::Command1_MouseMove()
{
    StatusBar1->showMessage(QStringLiteral("Close the window"));
}

void frmSpChars::Form_MouseMove()
{
    StatusBar1->clearMessage();
}

void frmSpChars::Command1_Click()
{
    close();
}

bool frmSpChars::eventFilter(QObject *watched, QEvent *event)
{
    const bool pointed = event->type() == QEvent::MouseMove || event->type() == QEvent::Enter;
    if (watched == Command1) {
        if (pointed)
            Command1_MouseMove();
        // An idle button ignores the move, which would reach the window and clear the text.
        return event->type() == QEvent::MouseMove && static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton;
    }
    const QVariant index = watched->property(IndexProperty);
    if (!index.isValid())
        return false;
    if (pointed) {
        Label1_MouseMove(index.toInt());
        return event->type() == QEvent::MouseMove;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *cell = static_cast<QWidget *>(watched);
        // A click is a press and a release on the same cell.
        if (mouse->button() == Qt::LeftButton && cell->rect().contains(mouse->position().toPoint()))
            Label1_Click(index.toInt());
        return true;
    }
    return event->type() == QEvent::MouseButtonPress;
}

void frmSpChars::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

frmSpChars *ShowSpecialCharacters(CodeSense *editor, QWidget *owner)
{
    frmSpChars *window = nullptr;
    for (frmSpChars *found : owner->findChildren<frmSpChars *>(QString(), Qt::FindDirectChildrenOnly)) {
        // A closed window awaits its deletion hidden; it is never shown again.
        if (found->isHidden())
            delete found;
        else
            window = found;
    }
    if (!window)
        window = new frmSpChars(editor, owner);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
