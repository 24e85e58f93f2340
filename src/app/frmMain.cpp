#include "app/frmMain.h"
#include "languages/scriptinsight.h"

#include "about/frmSplash.h"
#include "aids/frmJK2colors.h"
#include "aids/frmSpChars.h"
#include "app/appfolder.h"
#include "app/platform/services.h"
#include "aids/frmCmdList.h"
#include "aids/lookahead.h"
#include "app/twips.h"
#include "editing/editcommands.h"
#include "editing/frmPlay.h"
#include "editing/frmUndo.h"
#include "editor/codesense.h"
#include "languages/frmDefNew.h"
#include "languages/registryFinder.h"
#include "languages/scriptlanguage.h"
#include "tunemill/frmTunemill.h"

#include <Qsci/qscicommandset.h>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProgressDialog>
#include <QThreadPool>

namespace {

const QString FileFilter = QStringLiteral("Configuration files (.cfg)|*.cfg|All files (*.*)|*.*");

// The menu bar, in menu order. A caption "-" is a separator; a parent of "" is a top menu.
struct MenuEntry
{
    const char *name;
    const char *parent;
    const char *caption;
    const char *shortcut;
    bool checked;
    void (frmMain::*handler)();
};

const MenuEntry Menus[] = {
    {"mnuFile", "", "&File", "", false, nullptr},
    {"mnuFile_new", "mnuFile", "&New", "Ctrl+N", false, &frmMain::mnuFile_new_Click},
    {"mnuFile_open", "mnuFile", "&Open...", "Ctrl+O", false, &frmMain::mnuFile_open_Click},
    {"mnuFile_save", "mnuFile", "&Save", "Ctrl+S", false, &frmMain::mnuFile_save_Click},
    {"mnuFile_saveas", "mnuFile", "Save &As...", "Ctrl+D", false, &frmMain::mnuFile_saveas_Click},
    {"Spacer2", "mnuFile", "-", "", false, nullptr},
    {"mnuFile_exit", "mnuFile", "E&xit", "", false, &frmMain::mnuFile_exit_Click},
    {"mnuEdit", "", "&Edit", "", false, nullptr},
    {"mnuEdit_undo", "mnuEdit", "&Undo", "Ctrl+Z", false, &frmMain::mnuEdit_undo_Click},
    {"mnuEdit_redo", "mnuEdit", "&Redo", "Ctrl+R", false, &frmMain::mnuEdit_redo_Click},
    {"mnuEdit_undomany", "mnuEdit", "Undo Opera&tions...", "", false, &frmMain::mnuEdit_undomany_Click},
    {"mnuEdit_redoOps", "mnuEdit", "Redo Operation&s...", "", false, &frmMain::mnuEdit_redoOps_Click},
    {"Spacer1", "mnuEdit", "-", "", false, nullptr},
    {"mnuEdit_cut", "mnuEdit", "C&ut", "Ctrl+X", false, &frmMain::mnuEdit_cut_Click},
    {"mnuEdit_copy", "mnuEdit", "&Copy", "Ctrl+C", false, &frmMain::mnuEdit_copy_Click},
    {"mnuEdit_paste", "mnuEdit", "&Paste", "Ctrl+V", false, &frmMain::mnuEdit_paste_Click},
    {"mnuEdit_del", "mnuEdit", "De&lete", "Del", false, &frmMain::mnuEdit_del_Click},
    {"spacer4", "mnuEdit", "-", "", false, nullptr},
    {"mnuEdit_find", "mnuEdit", "&Find && Replace...", "", false, &frmMain::mnuEdit_find_Click},
    {"mnuEdit_findnext", "mnuEdit", "Find &Next", "F3", false, &frmMain::mnuEdit_findnext_Click},
    {"mnuEdit_repeatnext", "mnuEdit", "Repeat Next Cmd...", "", false, &frmMain::mnuEdit_repeatnext_Click},
    {"mnuEdit_selectall", "mnuEdit", "Select &All", "", false, &frmMain::mnuEdit_selectall_Click},
    {"mnuEdit_time", "mnuEdit", "Time / Dat&e", "F6", false, &frmMain::mnuEdit_time_Click},
    {"mnuOptions", "", "&Options", "", false, nullptr},
    {"mnuOptions_linenumtips", "mnuOptions", "Line &Num Tips", "", true, &frmMain::mnuOptions_linenumtips_Click},
    {"mnuOptions_syntaxh", "mnuOptions", "S&yntax Highlighting", "", true, &frmMain::mnuOptions_syntaxh_Click},
    {"mnuOptions_endent", "mnuOptions", "Auto &Endent", "", false, nullptr},
    {"mnuOptions_endent_off", "mnuOptions_endent", "&Off", "", false, &frmMain::mnuOptions_endent_off_Click},
    {"mnuOptions_endent_scope", "mnuOptions_endent", "By &Scope", "", false, &frmMain::mnuOptions_endent_scope_Click},
    {"mnuOptions_endent_line", "mnuOptions_endent", "By &Previous Line", "", true, &frmMain::mnuOptions_endent_line_Click},
    {"mnuOptions_linenum", "mnuOptions", "&Line Numbering", "", false, nullptr},
    {"mnuOptions_linenum_none", "mnuOptions_linenum", "&None", "", true, &frmMain::mnuOptions_linenum_none_Click},
    {"mnuOptions_linenum_hex", "mnuOptions_linenum", "&Hex", "", false, &frmMain::mnuOptions_linenum_hex_Click},
    {"mnuOptions_linenum_dec", "mnuOptions_linenum", "D&ecimal", "", false, &frmMain::mnuOptions_linenum_dec_Click},
    {"mnuOptions_linenum_bin", "mnuOptions_linenum", "&Binary", "", false, &frmMain::mnuOptions_linenum_bin_Click},
    {"mnuOptions_linenum_oct", "mnuOptions_linenum", "&Octal", "", false, &frmMain::mnuOptions_linenum_oct_Click},
    {"Spacer3", "mnuOptions", "-", "", false, nullptr},
    {"mnuEdit_properties", "mnuOptions", "Pr&operties", "F1", false, &frmMain::mnuEdit_properties_Click},
    {"mnuFont", "", "Fo&nt", "", false, nullptr},
    {"mnuFont_select", "mnuFont", "Set &Font", "Ctrl+F", false, &frmMain::mnuFont_select_Click},
    {"mnuFont_jk2", "mnuFont", "JK2 &Scripting Colors", "", false, &frmMain::mnuFont_jk2_Click},
    {"mnuTools", "", "&Tools", "", false, nullptr},
    {"mnuTools_cmdlist", "mnuTools", "Command &List", "F5", false, &frmMain::mnuTools_cmdlist_Click},
    {"mnuTools_spchar", "mnuTools", "Special &Characters", "Ctrl+L", false, &frmMain::mnuTools_spchar_Click},
    {"mnuTools_defNew", "mnuTools", "Define New &Keyword", "Ctrl+K", false, &frmMain::mnuTools_defNew_Click},
    {"mnuTools_tunemill", "mnuTools", "&Tunemill 1.07", "", false, &frmMain::mnuTools_tunemill_Click},
    {"mnuGame", "", "&Game", "", false, nullptr},
    {"mnuGame_jk2", "mnuGame", "Jedi &Outcast", "", true, &frmMain::mnuGame_jk2_Click},
    {"mnuGame_q3", "mnuGame", "&Quake III", "", false, &frmMain::mnuGame_q3_Click},
    {"mnuMacros", "", "&Macros", "", false, nullptr},
    {"mnuMacros_record", "mnuMacros", "&Record Macro...", "", false, &frmMain::mnuMacros_record_Click},
    {"mnuMacros_play", "mnuMacros", "&Play Macro...", "", false, &frmMain::mnuMacros_play_Click},
    {"mnuAbout", "", "&About", "", false, nullptr},
    {"mnuAbout_about", "mnuAbout", "&About Tavrel", "", false, &frmMain::mnuAbout_about_Click},
};

// Items that carry a check mark at some point: they are checkable from the start.
bool isCheckable(const QString &name)
{
    return name.startsWith(QLatin1String("mnuOptions_")) || name.startsWith(QLatin1String("mnuGame_"));
}

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    // Reading the menu bar's first icon loads Qt's image-format plugins, a millisecond or
    // two on the main thread; another core can load them while the window is built.
    QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Document.Caption);
    EndProgram = [] { QCoreApplication::exit(0); };

    auto *client = new QWidget(this);
    setCentralWidget(client);
    CodeSense1 = new CodeSense(client);
    CodeSense1->setObjectName(QStringLiteral("CodeSense1"));
    CodeSense1->setGeometry(0, 0, Twips(10155), Twips(7395));
    connect(CodeSense1, &CodeSense::Change, this, &frmMain::CodeSense1_Change);
    CodeSense1->SetKeyDownHandler([this](CodeSense *editor, int key, int shift) {
        return CodeSense1_KeyDown(editor, key, shift);
    });

    buildMenus();
    releaseEditorShortcuts();
    resize(Twips(10200), Twips(7440) + menuBar()->sizeHint().height());
    InstallScriptInsight(this);
}

frmMain::~frmMain() = default;

void frmMain::buildMenus()
{
    for (const MenuEntry &entry : Menus) {
        const QString name = QString::fromLatin1(entry.name);
        const QString caption = QString::fromUtf8(entry.caption);
        QMenu *parentMenu = *entry.parent ? findChild<QMenu *>(QString::fromLatin1(entry.parent)) : nullptr;
        const bool isMenu = !*entry.parent || name == QLatin1String("mnuOptions_endent") ||
                            name == QLatin1String("mnuOptions_linenum");
        if (caption == QLatin1String("-")) {
            QAction *separator = parentMenu->addSeparator();
            separator->setObjectName(name);
        } else if (isMenu) {
            QMenu *menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
        } else {
            QAction *action = parentMenu->addAction(caption);
            action->setObjectName(name);
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
            action->setCheckable(isCheckable(name));
            action->setChecked(entry.checked);
            if (entry.handler) {
                const auto handler = entry.handler;
                connect(action, &QAction::triggered, this, [this, action, handler] {
                    // Check marks change only through the handlers, which read the mark as it
                    // was before the click.
                    if (action->isCheckable())
                        action->setChecked(!action->isChecked());
                    (this->*handler)();
                });
            }
        }
    }
}

QAction *frmMain::menuItem(const QString &name) const
{
    for (QAction *action : findChildren<QAction *>(name))
        return action;
    for (QMenu *menu : findChildren<QMenu *>(name))
        return menu->menuAction();
    return nullptr;
}

// The editor component binds keys of its own (Ctrl+D duplicates, Ctrl+L cuts a line, ...)
// and would take them before the menu; the menu's shortcuts win.
void frmMain::releaseEditorShortcuts()
{
    QList<int> taken;
    for (QAction *action : findChildren<QAction *>())
        if (!action->shortcut().isEmpty())
            taken << action->shortcut()[0].toCombined();
    // The Delete item posts the Delete key to the editor, which must keep handling it.
    taken.removeAll(Qt::Key_Delete);
    for (QsciCommand *command : CodeSense1->standardCommands()->commands()) {
        if (taken.contains(command->key()))
            command->setKey(0);
        if (taken.contains(command->alternateKey()))
            command->setAlternateKey(0);
    }
}

void frmMain::Form_Load()
{
    CmdList();
    // The splash shows the main window as it loads, then stays in front of it.
    auto *splash = new frmSplash(this);
    connect(this, &frmMain::Q3ScriptRegistered, splash->Check1, [splash] { splash->Check1->setChecked(true); });
    splash->ShowSplash();
    GameDataPath = GameDataPathFor(JediOutcastInstallPath());
    const FileError error = fillCommandList(ApplicationFile(QStringLiteral("pf/cc.txt")));
    if (!error.ok())
        showFileError(error.number, error.description);
    RegisterJK2Script(CodeSense1);
}

FileError frmMain::fillCommandList(const QString &path)
{
    return CmdList()->FillFromFile(path, true);
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    const QRect frame = frameGeometry();
    const EditorSize size = EditorSizeForWindow(static_cast<float>(PixelsToTwips(frame.width())),
                                                static_cast<float>(PixelsToTwips(frame.height())));
    // A size that cannot be applied (a minimized window) leaves the editor as it was.
    if (size.height >= 0)
        CodeSense1->SetHeight(size.height);
    if (size.width >= 0)
        CodeSense1->SetWidth(size.width);
}

bool frmMain::CodeSense1_KeyDown(CodeSense *editor, int key, int)
{
    return FlagLookAhead(this, editor, key);
}

void frmMain::CodeSense1_Change()
{
    Document.TextChanged(CodeSense1->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == 0);
    setWindowTitle(Document.Caption);
}

void frmMain::showFileError(int number, const QString &description)
{
    ShowMessage(this, QStringLiteral("Error #%1\r\n%2").arg(number).arg(description), ProgramTitle);
}

QString frmMain::openDialogFolder() const
{
    return GameDataPath == GameDataPathSuffix() ? ApplicationFile(QStringLiteral("cfgs")) : GameDataPath;
}

void frmMain::NewDocument()
{
    CodeSense1->SetText(QString());
    Document.NewDocument();
    setWindowTitle(Document.Caption);
}

void frmMain::OpenDocument()
{
    const FileDialogRequest request{tr("Open"), openDialogFolder(), QtFileFilter(FileFilter), QString(), false};
    const std::optional<QString> path = services().fileDialogs->getOpenFileName(this, request);
    if (path)
        OpenDocumentFile(*path);
}

void frmMain::OpenDocumentFile(const QString &path)
{
    // A file that takes long to load shows how far it has come, and the window keeps
    // painting meanwhile; the dialog is modal, so nothing can be edited half loaded.
    const QFileInfo file(path);
    QProgressDialog progress(tr("Opening %1...").arg(file.fileName()), QString(), 0, 1000, this);
    progress.setObjectName(QStringLiteral("dlgOpening"));
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setValue(0);
    // A very large file shows it at once, and the window is painted before the read.
    if (file.size() > 64 * 1024 * 1024) {
        progress.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    const FileError error = CodeSense1->OpenFile(path, [&](qint64 done, qint64 total) {
        progress.setValue(static_cast<int>(done * 1000 / total));
    });
    progress.reset();
    if (!error.ok()) {
        showFileError(error.number, error.description);
        return;
    }
    Document.Opened(path);
    setWindowTitle(Document.Caption);
}

bool frmMain::saveTo(const QString &path)
{
    const FileError error = CodeSense1->SaveFile(path, false);
    if (!error.ok()) {
        showFileError(error.number, error.description);
        return false;
    }
    Document.Saved(path);
    setWindowTitle(Document.Caption);
    if (Document.QuitAfterSave)
        endProgram();
    return true;
}

void frmMain::SaveDocument()
{
    if (!Document.HasFile()) {
        SaveDocumentAs();
        return;
    }
    saveTo(Document.FilePath);
}

void frmMain::SaveDocumentAs()
{
    const FileDialogRequest request{tr("Save As"), ApplicationFile(QStringLiteral("cfgs")),
                                    QtFileFilter(FileFilter), QStringLiteral("cfg"), true};
    const std::optional<QString> path = services().fileDialogs->getSaveFileName(this, request);
    if (path)
        saveTo(*path);
}

void frmMain::mnuFile_new_Click() { NewDocument(); }
void frmMain::mnuFile_open_Click() { OpenDocument(); }
void frmMain::mnuFile_save_Click() { SaveDocument(); }
void frmMain::mnuFile_saveas_Click() { SaveDocumentAs(); }
void frmMain::mnuFile_exit_Click() { close(); }

void frmMain::mnuEdit_undo_Click() { CodeSense1->Undo(); }
void frmMain::mnuEdit_copy_Click()
{
    services().clipboard->setText(CodeSense1->SelText());
}

void frmMain::mnuEdit_cut_Click()
{
    mnuEdit_copy_Click();
    CodeSense1->SetSelText(QString());
}

void frmMain::mnuEdit_paste_Click()
{
    if (services().clipboard->hasText())
        CodeSense1->SetSelText(services().clipboard->text());
}

// Exactly what the Delete key does in the editor: the key is posted to it.
void frmMain::mnuEdit_del_Click()
{
    CodeSense1->SetFocus();
    QCoreApplication::postEvent(CodeSense1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier));
    QCoreApplication::postEvent(CodeSense1, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier));
}

void frmMain::mnuEdit_redo_Click() { CodeSense1->ExecuteCmd(CodeSense::cmdRedo); }
void frmMain::mnuEdit_selectall_Click() { DoSelectAll(CodeSense1); }
void frmMain::mnuEdit_undomany_Click() { frmUndo::Open(this, CodeSense1, false); }
void frmMain::mnuEdit_redoOps_Click() { frmUndo::Open(this, CodeSense1, true); }
void frmMain::mnuEdit_find_Click() { DoFindReplace(CodeSense1); }
void frmMain::mnuEdit_findnext_Click() { DoFindNext(CodeSense1); }
void frmMain::mnuEdit_repeatnext_Click() { DoRepeatNext(CodeSense1); }
void frmMain::mnuEdit_time_Click() { InsertTimeDate(CodeSense1, QDateTime::currentDateTime()); }
void frmMain::mnuEdit_properties_Click() { DoProperties(CodeSense1); }

void frmMain::DoFindReplace(CodeSense *editor) { editor->ExecuteCmd(CodeSense::cmdFindReplace); }
void frmMain::DoFindNext(CodeSense *editor) { editor->ExecuteCmd(CodeSense::cmdFindNext); }
void frmMain::DoRepeatNext(CodeSense *editor) { editor->ExecuteCmd(CodeSense::cmdRepeatNext); }
void frmMain::DoSelectAll(CodeSense *editor) { editor->ExecuteCmd(CodeSense::cmdSelectAll); }
void frmMain::DoRecordMacro(CodeSense *editor) { editor->ExecuteCmd(CodeSense::cmdRecordMacro); }
// The dialog can change the options the menu marks; the marks follow it.
void frmMain::DoProperties(CodeSense *editor)
{
    editor->ExecuteCmd(CodeSense::cmdProperties);
    SyncOptionsMenu(this, editor);
}

void frmMain::mnuOptions_linenumtips_Click() { ToggleLineNumTips(this, CodeSense1); }
void frmMain::mnuOptions_syntaxh_Click() { ToggleSyntaxHighlighting(this, CodeSense1); }
void frmMain::mnuOptions_endent_off_Click() { ChooseOption(this, CodeSense1, "mnuOptions_endent_off"); }
void frmMain::mnuOptions_endent_scope_Click() { ChooseOption(this, CodeSense1, "mnuOptions_endent_scope"); }
void frmMain::mnuOptions_endent_line_Click() { ChooseOption(this, CodeSense1, "mnuOptions_endent_line"); }
void frmMain::mnuOptions_linenum_none_Click() { ChooseOption(this, CodeSense1, "mnuOptions_linenum_none"); }
void frmMain::mnuOptions_linenum_hex_Click() { ChooseOption(this, CodeSense1, "mnuOptions_linenum_hex"); }
void frmMain::mnuOptions_linenum_dec_Click() { ChooseOption(this, CodeSense1, "mnuOptions_linenum_dec"); }
void frmMain::mnuOptions_linenum_bin_Click() { ChooseOption(this, CodeSense1, "mnuOptions_linenum_bin"); }
void frmMain::mnuOptions_linenum_oct_Click() { ChooseOption(this, CodeSense1, "mnuOptions_linenum_oct"); }
void frmMain::mnuFont_select_Click() { DoProperties(CodeSense1); }

void frmMain::mnuMacros_record_Click() { DoRecordMacro(CodeSense1); }
void frmMain::mnuMacros_play_Click() { frmPlay::Open(this, CodeSense1); }

frmCmdList *frmMain::CmdList()
{
    if (!cmdList_)
        cmdList_ = new frmCmdList(CodeSense1, this);
    return cmdList_;
}

frmDefNew *frmMain::DefNew()
{
    if (!defNew_)
        defNew_ = new frmDefNew(CmdList(), this);
    return defNew_;
}

void frmMain::mnuTools_cmdlist_Click()
{
    frmCmdList *window = CmdList();
    window->show();
    window->raise();
    window->activateWindow();
    window->SelectFirst();
}

void frmMain::mnuTools_spchar_Click() { ShowSpecialCharacters(CodeSense1, this); }

void frmMain::mnuTools_defNew_Click()
{
    frmDefNew *window = DefNew();
    window->show();
    window->raise();
    window->activateWindow();
}

void frmMain::mnuTools_tunemill_Click()
{
    if (!tunemill_)
        tunemill_ = new frmTunemill(this, JediOutcastInstallPath());
    tunemill_->show();
    tunemill_->raise();
    tunemill_->activateWindow();
}

// Registers both languages and selects the Jedi Outcast one; a word file that cannot be
// read ends the program.
void frmMain::RegisterJK2Script(CodeSense *DEST)
{
    FileError error = RegisterScriptLanguage(QStringLiteral("JK2Script"), ApplicationFile(QStringLiteral("pf/operators.txt")));
    if (error.ok() && !DEST->SetLanguage(QStringLiteral("JK2Script")))
        error = MakeFileError(FileErrors::PathFileAccessError);
    if (!error.ok()) {
        ShowMessage(this, FormatFileErrorPlain(error), ProgramTitle);
        ShowMessage(this, QStringLiteral("Error trying to access operators.txt.\r\nTry unzipping the program again."),
                    ProgramTitle);
        endProgram();
        return;
    }
    RegisterQ3Script(DEST);
}

void frmMain::RegisterQ3Script(CodeSense *)
{
    const FileError error =
        RegisterScriptLanguage(QStringLiteral("Q3Script"), ApplicationFile(QStringLiteral("pf/q3operators.txt")));
    if (!error.ok()) {
        ShowMessage(this, FormatFileErrorPlain(error), ProgramTitle);
        endProgram();
        return;
    }
    emit Q3ScriptRegistered();
}

void frmMain::mnuGame_jk2_Click()
{
    switchGame(menuItem(QStringLiteral("mnuGame_jk2")), menuItem(QStringLiteral("mnuGame_q3")),
               QStringLiteral("JK2Script"), QStringLiteral("pf/cc.txt"));
}

void frmMain::mnuGame_q3_Click()
{
    switchGame(menuItem(QStringLiteral("mnuGame_q3")), menuItem(QStringLiteral("mnuGame_jk2")),
               QStringLiteral("Q3Script"), QStringLiteral("pf/q3cc.txt"));
}

void frmMain::switchGame(QAction *chosen, QAction *other, const QString &language, const QString &commandFile)
{
    if (chosen->isChecked())
        return;
    other->setChecked(false);
    CodeSense1->SetLanguage(language);
    chosen->setChecked(true);
    const FileError error = fillCommandList(ApplicationFile(commandFile));
    if (!error.ok())
        ShowMessage(this, FormatFileErrorPlain(error), ProgramTitle);
}

void frmMain::mnuFont_jk2_Click()
{
    CodeSense1->SetFocus();
    ShowJK2Colors(CodeSense1, this);
}

frmSplash *frmMain::Splash() const
{
    return findChild<frmSplash *>(QString(), Qt::FindDirectChildrenOnly);
}

void frmMain::mnuAbout_about_Click()
{
    frmSplash *splash = Splash();
    if (!splash)
        splash = new frmSplash(this);
    splash->ShowAbout();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (ended_ || closingAll_) {
        event->accept();
        return;
    }
    if (!Document.Modified || !Document.TitleShowsChanges()) {
        event->accept();
        closeAllWindowsAndEnd();
        return;
    }
    const auto answer = ShowMessage(this,
                                    QStringLiteral("The text in ") + Document.FileTitle +
                                        QStringLiteral(" file has changed.\r\n\r\nDo you want to save the changes?"),
                                    ProgramTitle, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                    QMessageBox::NoIcon, QMessageBox::Yes);
    Document.SaveAnswer = static_cast<qint16>(answer);
    switch (answer) {
    case QMessageBox::Yes:
        event->ignore();
        Document.QuitAfterSave = true;
        SaveDocument();
        break;
    case QMessageBox::No:
        event->accept();
        closeAllWindowsAndEnd();
        break;
    default:
        event->ignore();
        break;
    }
}

void frmMain::closeAllWindowsAndEnd()
{
    closingAll_ = true;
    for (const char *name : {"frmCmdList", "frmSplash", "frmDefNew", "frmJK2colors", "frmTunemill", "frmPlay",
                             "frmSpChars", "frmLookAheadCheck"}) {
        if (QWidget *window = findChild<QWidget *>(QString::fromLatin1(name)))
            window->close();
    }
    hide();
    endProgram();
}

void frmMain::endProgram()
{
    ended_ = true;
    if (EndProgram)
        EndProgram();
}
