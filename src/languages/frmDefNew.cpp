#include "languages/frmDefNew.h"

#include "foundation/appfolder.h"
#include "foundation/captionfit.h"
#include "foundation/prompts.h"
#include "foundation/twips.h"
#include "script/wordfile.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString Title = QStringLiteral("Tavrel");

struct GameFiles
{
    const char *words;
    const char *commands;
    const char *confirmation;
};

constexpr GameFiles JediOutcastFiles{"pf/operators.txt", "pf/cc.txt", " as a Jedi Outcast keyword."};
constexpr GameFiles Quake3Files{"pf/q3operators.txt", "pf/q3cc.txt", " as a Quake III keyword."};

template <typename Control>
Control *place(QWidget *parent, const char *name, const QString &caption, int left, int top, int width,
               int height)
{
    auto *control = new Control(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
    return control;
}

} // namespace

frmDefNew::frmDefNew(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmDefNew"));
    setWindowTitle(QStringLiteral("Define New Keyword"));
    setFixedSize(Twips(4680), Twips(1155));

    Label1 = place<QLabel>(this, "Label1", QStringLiteral("New Keyword (No +)"), 600, 120, 1935, 255);
    Text1 = place<QLineEdit>(this, "Text1", QString(), 2160, 60, 2475, 315);
    Text2 = place<QLineEdit>(this, "Text2", QString(), 2160, 420, 2475, 315);
    Label2 = place<QLabel>(this, "Label2", QStringLiteral("New Keyword (W/+)"), 600, 420, 1935, 255);
    Label3 = place<QLabel>(this, "Label3", QStringLiteral("For Game:"), 120, 780, 1215, 255);
    Option1 = place<QRadioButton>(this, "Option1", QStringLiteral("Jedi Outcast"), 1140, 780, 1275, 255);
    Option2 = place<QRadioButton>(this, "Option2", QStringLiteral("Quake III"), 2400, 780, 1035, 255);
    Command1 = place<QPushButton>(this, "Command1", QStringLiteral("Define"), 3480, 780, 1155, 315);
    Command2 = place<QPushButton>(this, "Command2", QStringLiteral("?"), 60, 120, 435, 555);
    // The text boxes overlap their labels' right ends; the boxes stay on top.
    Text1->raise();
    Text2->raise();
    FitCaptions(this);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Option1);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Command1);
    setTabOrder(Command1, Command2);

    connect(Command1, &QPushButton::clicked, this, &frmDefNew::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDefNew::Command2_Click);

    Form_Load();
}

void frmDefNew::Form_Load()
{
    Option1->setChecked(true);
}

void frmDefNew::Command2_Click()
{
    ShowMessage(this,
                QStringLiteral("New Keyword (No +) means to NOT include the addition sign (+) if applicable.\r\n"
                               "New Keyword (W/+) means to include the addition sign if applicable."),
                Title);
}

void frmDefNew::Command1_Click()
{
    const QString word = Text1->text();
    if (word.isEmpty()) {
        ShowMessage(this, QStringLiteral("You must fill out the keyword box."), Title);
        return;
    }
    const GameFiles &files = Option1->isChecked() ? JediOutcastFiles : Quake3Files;
    const QString commandFile = ApplicationFile(QString::fromLatin1(files.commands));
    const std::pair<QString, QString> entries[] = {{ApplicationFile(QString::fromLatin1(files.words)), word},
                                                   {commandFile, Text2->text()}};

    // An entry the word files cannot hold is found before either file is touched, so
    // nothing is left half defined and the text stays for correcting.
    for (const auto &[path, entry] : entries) {
        QByteArray bytes;
        if (const FileError error = EncodeEntry(entry, bytes); !error.ok()) {
            ShowMessage(this, word.toUpper() + QStringLiteral(" was not defined.\r\n\r\n") + error.description, Title);
            return;
        }
    }
    // A file that cannot be written does not stop the other; the message says which failed.
    QStringList failures;
    for (const auto &[path, entry] : entries)
        if (const FileError error = AppendEntry(path, entry); !error.ok())
            failures << QDir::toNativeSeparators(path) + QStringLiteral(": ") + error.description;
    if (failures.isEmpty()) {
        ShowMessage(this, QStringLiteral("Defined ") + word.toUpper() + QString::fromLatin1(files.confirmation), Title);
        Text1->clear();
        Text2->clear();
    } else {
        ShowMessage(this,
                    word.toUpper() + (failures.size() == 2 ? QStringLiteral(" was not defined.\r\n\r\n")
                                                           : QStringLiteral(" was only partly defined.\r\n\r\n"))
                        + failures.join(QStringLiteral("\r\n")),
                    Title);
    }

    // The dialog's game, not the main window's, decides which list is shown from now on.
    emit CommandFileChanged(commandFile);
}

void frmDefNew::closeEvent(QCloseEvent *event)
{
    event->ignore();
    hide();
}
