#include "tunemill/frmTunemill.h"

#include "foundation/appfolder.h"
#include "foundation/captionfit.h"
#include "foundation/prompts.h"
#include "foundation/twips.h"
#include "codec/cp1252.h"
#include "codec/fileio.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>

namespace {

void Place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

const QColor Highlight(255, 255, 192);
const QColor White(255, 255, 255);

void SetBackground(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

int SelectedRow(const QListWidget *list)
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

// Selects row in list, or nothing for -1, leaving a list already in that state alone.
void SelectRow(QListWidget *list, int row)
{
    if (SelectedRow(list) == row)
        return;
    if (row < 0 || row >= list->count()) {
        list->clearSelection();
        list->setCurrentRow(-1);
    } else {
        list->setCurrentRow(row);
    }
}

QMessageBox::StandardButton Message(QWidget *parent, const QString &text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::Icon icon = QMessageBox::NoIcon)
{
    return ShowMessage(parent, text, TunemillTitle, buttons, icon);
}

#ifdef Q_OS_WIN
constexpr bool OnWindows = true;
#else
constexpr bool OnWindows = false;
#endif

} // namespace

frmTunemill::frmTunemill(QWidget *owner, const QString &installLookupResult)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmTunemill"));
    setWindowTitle(QStringLiteral("Tunemill 1.07 by Kestrin"));
    setFixedSize(Twips(9720), Twips(3945));

    auto label = [](QWidget *parent, const char *name, const QString &text) {
        auto *l = new QLabel(text, parent);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto lineEdit = [](QWidget *parent, const char *name, const QString &text) {
        auto *e = new QLineEdit(text, parent);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    auto button = [this](QWidget *parent, const char *name, const QString &text, void (frmTunemill::*handler)()) {
        auto *b = new QPushButton(text, parent);
        b->setObjectName(QLatin1String(name));
        // Enter on a focused button presses that button, as in a dialog.
        b->setAutoDefault(true);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    auto list = [this](const char *name) {
        auto *l = new QListWidget(this);
        l->setObjectName(QLatin1String(name));
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        return l;
    };

    Label3 = label(this, "Label3", QStringLiteral("Track caption:"));
    TXTcaption = lineEdit(this, "TXTcaption", QString());
    Label4 = label(this, "Label4", QStringLiteral("Track path:"));
    TXTpath = lineEdit(this, "TXTpath", QString());
    add = button(this, "add", QStringLiteral("Add"), &frmTunemill::add_Click);
    add->setDefault(true);
    Command3 = button(this, "Command3", QStringLiteral("Close"), &frmTunemill::Command3_Click);
    Label1 = label(this, "Label1", QStringLiteral("Caption"));
    Label2 = label(this, "Label2", QStringLiteral("Path & filename"));
    listcap = list("listcap");
    listpath = list("listpath");
    Command2 = button(this, "Command2", QStringLiteral("Create"), &frmTunemill::Command2_Click);
    Command6 = button(this, "Command6", QStringLiteral("Remove"), &frmTunemill::Command6_Click);
    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    Text2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text2->setTabChangesFocus(true);
    Frame1 = new QGroupBox(QStringLiteral("Next/Back Keys"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label6 = label(Frame1, "Label6", QStringLiteral("Next:"));
    Text3 = lineEdit(Frame1, "Text3", QStringLiteral("u"));
    Label7 = label(Frame1, "Label7", QStringLiteral("Back:"));
    Text4 = lineEdit(Frame1, "Text4", QStringLiteral("o"));
    Command4 = button(Frame1, "Command4", QStringLiteral("?"), &frmTunemill::Command4_Click);
    QFont bold = Command4->font();
    bold.setBold(true);
    Command4->setFont(bold);
    Text3->setMaxLength(10);
    Text4->setMaxLength(10);

    Place(Label3, 0, 60, 1035, 255);
    Place(TXTcaption, 1140, 60, 3435, 255);
    Place(Label4, 0, 300, 1095, 315);
    Place(TXTpath, 1140, 360, 3435, 255);
    Place(add, 4620, 60, 735, 555);
    Place(Command3, 5400, 60, 735, 555);
    Place(Label1, 0, 660, 975, 195);
    Place(Label2, 3120, 660, 1395, 255);
    Place(listcap, 0, 840, 3075, 2595);
    Place(listpath, 3120, 840, 3075, 2595);
    Place(Command2, 0, 3480, 4695, 435);
    Place(Command6, 4740, 3480, 1455, 435);
    Place(Text2, 6300, 60, 3375, 2835);
    Place(Frame1, 6300, 2940, 3375, 975);
    Place(Label6, 120, 240, 375, 195);
    Place(Text3, 600, 240, 1815, 285);
    Place(Label7, 120, 600, 435, 195);
    Place(Text4, 600, 600, 1815, 285);
    Place(Command4, 2520, 240, 735, 615);
    FitCaptions(this);

    const QList<QWidget *> tabOrder = {TXTcaption, TXTpath, add,   listcap, listpath, Command2,
                                       Command3,   Text2,   Text3, Text4,   Command4, Command6};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    // Key preview: the window sees every key before the focused control does.
    for (QWidget *w : tabOrder)
        w->installEventFilter(this);

    connect(listcap, &QListWidget::itemSelectionChanged, this, &frmTunemill::listcap_Click);
    connect(listpath, &QListWidget::itemSelectionChanged, this, &frmTunemill::listpath_Click);
    connect(Text3, &QLineEdit::textChanged, this, &frmTunemill::Text3_Change);
    connect(Text4, &QLineEdit::textChanged, this, &frmTunemill::Text4_Change);

    Form_Load(installLookupResult);
}

void frmTunemill::Form_Load(const QString &installLookupResult)
{
    m_basePath = TunemillBasePath(installLookupResult, WritableFolder());

    // A missing or unreadable help file leaves the pane empty.
    QFile help(ApplicationFile(QStringLiteral("help.txt")));
    if (help.open(QIODevice::ReadOnly)) {
        QString text = cp1252::decode(help.readAll());
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        Text2->setPlainText(text);
    }
}

QList<MusicTrack> frmTunemill::tracks() const
{
    QList<MusicTrack> result;
    result.reserve(listcap->count());
    for (int i = 0; i < listcap->count(); ++i)
        result.append({listcap->item(i)->text(), listpath->item(i)->text()});
    return result;
}

void frmTunemill::add_Click()
{
    const QString caption = TXTcaption->text();
    const QString path = TXTpath->text();
    if (caption.isEmpty() && path.isEmpty()) {
        Message(this, QStringLiteral("Please fill in Caption and Path"), QMessageBox::Ok, QMessageBox::Warning);
        SetBackground(TXTcaption, Highlight);
        SetBackground(TXTpath, Highlight);
        TXTcaption->setFocus();
        return;
    }
    if (path.isEmpty()) {
        SetBackground(TXTpath, Highlight);
        Message(this, QStringLiteral("Please fill in Path"), QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    if (caption.isEmpty()) {
        Message(this, QStringLiteral("Please fill in Caption"), QMessageBox::Ok, QMessageBox::Warning);
        SetBackground(TXTcaption, Highlight);
        TXTcaption->setFocus();
        return;
    }
    if (listcap->count() >= MaxTracks) {
        Message(this,
                QStringLiteral("The track list is full: a music changer holds at most %1 tracks.").arg(MaxTracks),
                QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    listcap->addItem(caption);
    listpath->addItem(path);
    TXTcaption->clear();
    TXTpath->clear();
    TXTcaption->setFocus();
}

void frmTunemill::Command6_Click()
{
    const int row = SelectedRow(listcap);
    if (row < 0)
        return;
    delete listpath->takeItem(row);
    delete listcap->takeItem(row);
    // Nothing stays selected after a removal, so a second Remove removes nothing.
    SelectRow(listcap, -1);
    SelectRow(listpath, -1);
}

void frmTunemill::listcap_Click()
{
    SelectRow(listpath, SelectedRow(listcap));
}

void frmTunemill::listpath_Click()
{
    SelectRow(listcap, SelectedRow(listpath));
}

void frmTunemill::Text3_Change()
{
    SetBackground(Text3, QApplication::palette(Text3).color(QPalette::Base));
}

void frmTunemill::Text4_Change()
{
    SetBackground(Text4, QApplication::palette(Text4).color(QPalette::Base));
}

void frmTunemill::Command4_Click()
{
    Message(this, QStringLiteral("Special keys: F1, F2, etc. | Keypad: kp_star, kp_home, kp_5, etc."));
}

void frmTunemill::Command3_Click()
{
    ConfirmAndHide();
}

void frmTunemill::closeEvent(QCloseEvent *event)
{
    event->ignore();
    ConfirmAndHide();
}

void frmTunemill::ConfirmAndHide()
{
    if (listcap->count() > 0
        && Message(this, QStringLiteral("Are you sure you want to quit?"), QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    hide();
}

void frmTunemill::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        if (QScreen *s = screen())
            move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::showEvent(event);
}

void frmTunemill::Form_KeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        m_stopRequested = true;
}

void frmTunemill::keyPressEvent(QKeyEvent *event)
{
    Form_KeyDown(event);
    QWidget::keyPressEvent(event);
}

bool frmTunemill::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    Form_KeyDown(key);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Add is the default button: Enter anywhere but on another button means Add.
    if (enter && !qobject_cast<QPushButton *>(watched)) {
        add->click();
        return true;
    }
    if ((watched == TXTcaption || watched == TXTpath) && !key->text().isEmpty())
        SetBackground(static_cast<QWidget *>(watched), White);
    return QWidget::eventFilter(watched, event);
}

// Tells which text the script cannot hold, marking where it is; true when Create must stop.
bool frmTunemill::RefuseUnwritableText()
{
    auto refuse = [this](const QString &what, const QString &character) {
        Message(this,
                what + QStringLiteral(" contains \"") + character
                    + QStringLiteral("\", which a game script cannot hold (only Windows-1252 characters can be "
                                     "written). Nothing was written."),
                QMessageBox::Ok, QMessageBox::Warning);
    };
    for (QLineEdit *key : {Text3, Text4}) {
        const QString bad = FirstNonWindows1252(key->text());
        if (!bad.isEmpty()) {
            refuse(key == Text3 ? QStringLiteral("The Next key") : QStringLiteral("The Back key"), bad);
            SetBackground(key, Highlight);
            key->setFocus();
            return true;
        }
    }
    for (int i = 0; i < listcap->count(); ++i) {
        for (QListWidget *list : {listcap, listpath}) {
            const QString bad = FirstNonWindows1252(list->item(i)->text());
            if (!bad.isEmpty()) {
                refuse((list == listcap ? QStringLiteral("The caption of track %1") : QStringLiteral("The path of track %1"))
                           .arg(i + 1),
                       bad);
                list->setCurrentRow(i);
                return true;
            }
        }
    }
    return false;
}

void frmTunemill::Command2_Click()
{
    // Input is processed between track lines, so this can be reached again mid-run.
    if (m_creating)
        return;
    m_creating = true;
    QPointer<frmTunemill> self(this);
    const auto done = qScopeGuard([self] {
        if (self)
            self->m_creating = false;
    });

    const QString nextKey = Text3->text();
    const QString backKey = Text4->text();
    if (listcap->count() == 0) {
        Message(this, QStringLiteral("Enter some tracks."), QMessageBox::Ok, QMessageBox::Critical);
        return;
    }
    if (nextKey.isEmpty() && backKey.isEmpty()) {
        Message(this, QStringLiteral("Please fill in Next and Back keys"), QMessageBox::Ok, QMessageBox::Warning);
        SetBackground(Text4, Highlight);
        SetBackground(Text3, Highlight);
        Text3->setFocus();
        return;
    }
    if (nextKey.isEmpty()) {
        Message(this, QStringLiteral("Please fill in Next key"), QMessageBox::Ok, QMessageBox::Warning);
        SetBackground(Text3, Highlight);
        Text3->setFocus();
        return;
    }
    if (backKey.isEmpty()) {
        SetBackground(Text4, Highlight);
        Message(this, QStringLiteral("Please fill in Back key"), QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    if (RefuseUnwritableText())
        return;

    m_stopRequested = false;
    const QStringList lines = BuildMusicChanger(tracks(), nextKey, backKey, [self] {
        QCoreApplication::processEvents();
        return !self || self->m_stopRequested;
    });
    if (!self)
        return;

    const QString path = TunemillScriptPath(m_basePath);
    const MusicChangerBytes script = EncodeMusicChanger(lines);
    // The texts were checked above; the file is replaced whole or not at all.
    QString failure;
    if (!script.ok)
        failure = QStringLiteral("\"%1\" cannot be written in Windows-1252.").arg(script.unencodable);
    else if (const FileError e = WriteFileAtomically(path, script.bytes); !e.ok())
        failure = FormatFileError(e);
    if (!failure.isEmpty()) {
        Message(this, QStringLiteral("The Music Changer could not be written to ") + path + QStringLiteral("\r\n") + failure,
                QMessageBox::Ok, QMessageBox::Critical);
        return;
    }

    Message(this, QStringLiteral("MC created. Path: ") + path);
    if (Message(this, QStringLiteral("Do you want to veiw your Music Changer?"), QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        ShowScript(path);
}

void frmTunemill::ShowScript(const QString &path)
{
    const ViewerCommand viewer = TunemillViewerCommand(path, qEnvironmentVariable("windir"), OnWindows);
    ProcessLauncher *launcher = services().processLauncher;
    const bool started = viewer.program.isEmpty() ? launcher->openWithDefaultApplication(path)
                                                  : launcher->startDetached(viewer.program, viewer.arguments);
    if (!started)
        Message(this, QStringLiteral("No viewer could be started for ") + path, QMessageBox::Ok, QMessageBox::Warning);
}
