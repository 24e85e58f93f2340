// The real main window in a process of its own, for the test that kills it (services
// faked, the game not installed).
//   type <typed> <body file> [<file to open>]: types at the end, inserts the body file's
//     text, says "backed up" once the backup is on disk, and runs until killed.
//   recover <out file>: answers Restore, writes the document's UTF-8 text to the file,
//     prints its path, modified state and the questions asked, leaves by Exit answering No.
#include "app/frmMain.h"
#include "document/documentbackup.h"
#include "editor/codesense.h"
#include "foundation/appfolder.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    FakeServices fakes;
    FakeRegistry registry;
    SetApplicationFolder(QStringLiteral(TAVREL_APP_DIR));
    frmMain window;
    window.EndProgram = [] {};
    window.Form_Load();
    CodeSense *editor = window.CodeSense1;
    if (args.value(1) == QLatin1String("type")) {
        if (args.size() > 4)
            window.OpenDocumentFile(args[4]);
        window.Backup()->setDelay(50);
        editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        TypeText(editor, args[2]);
        editor->InsertText(QString::fromUtf8(readAll(args[3])));
        // Nothing is written before the loop runs, so the first backup holds all the text.
        QObject::connect(window.Backup(), &DocumentBackup::written, [] {
            std::puts("backed up");
            std::fflush(stdout);
        });
        return app.exec();
    }
    fakes.messageBoxes.answers << QMessageBox::Yes;
    window.OfferRecovery();
    if (!writeAll(args.value(2), editor->TextUtf8()))
        return 1;
    std::printf("path=%s\nmodified=%d\n", qPrintable(window.Document.FilePath), window.Document.Modified);
    fakes.messageBoxes.answers << QMessageBox::No;
    window.menuItem(QStringLiteral("mnuFile_exit"))->trigger();
    for (const QString &text : fakes.messageBoxes.texts())
        std::printf("asked=%s\n", qPrintable(text.section(QLatin1Char('\r'), 0, 0)));
    return 0;
}
