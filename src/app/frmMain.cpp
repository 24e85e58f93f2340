#include "app/frmMain.h"

#include "about/frmSplash.h"
#include "aids/frmCmdList.h"
#include "aids/frmJK2colors.h"
#include "aids/frmSpChars.h"
#include "aids/lookahead.h"
#include "document/documentbackup.h"
#include "document/documentlifecycle.h"
#include "document/loadingbar.h"
#include "document/recoveryoffer.h"
#include "editing/editcommands.h"
#include "editing/editorfeatures.h"
#include "editing/frmPlay.h"
#include "editing/frmUndo.h"
#include "editor/codesense.h"
#include "foundation/appfolder.h"
#include "foundation/prompts.h"
#include "foundation/twips.h"
#include "gamepath/registryFinder.h"
#include "insight/scriptinsight.h"
#include "languages/frmDefNew.h"
#include "languages/scripthighlight.h"
#include "script/scriptlanguage.h"
#include "trykeys/trykeyspanel.h"
#include "tunemill/frmTunemill.h"

#include <Qsci/qscicommandset.h>

#include <QAction>
#include <QCheckBox>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QImageReader>
#include <QKeyEvent>
#include <QScreen>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QThreadPool>

namespace {

const QString JK2Script = QStringLiteral("JK2Script");
const QString Q3Script = QStringLiteral("Q3Script");

void raiseWindow(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
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
    CodeSense1->SetKeyDownHandler([this](CodeSense *editor, int key, int shift) {
        return CodeSense1_KeyDown(editor, key, shift);
    });
    new EditorFeatures(CodeSense1);
    lifecycle_ = new DocumentLifecycle(CodeSense1, Document, this);
    connect(lifecycle_, &DocumentLifecycle::CaptionChanged, this, &QWidget::setWindowTitle);
    connect(lifecycle_, &DocumentLifecycle::SavedBeforeQuit, this, &frmMain::endProgram);
    backup_ = new DocumentBackup(CodeSense1, Document, lifecycle_);
    backup_->setDescription([this] {
        return std::pair(State.game() == Game::JediOutcast ? QStringLiteral("Jedi Outcast") : QStringLiteral("Quake III Arena"),
                         EngineName(State.engine()));
    });
    connect(backup_, &DocumentBackup::unavailable, this, [this](const QString &message) { statusBar()->showMessage(message); });

    buildPanels();
    BuildMenus(this);
    releaseEditorShortcuts();
    resize(Twips(10200), Twips(7440) + menuBar()->sizeHint().height());
    // The panel and the status bar take room from the editor's client area; the editor
    // is kept inside it.
    CodeSense1->installEventFilter(this);
    client->installEventFilter(this);

    connect(&State, &AppState::optionsChanged, this, &frmMain::showOptions);
    connect(&State, &AppState::gameChanged, this, &frmMain::showGame);
    connect(&State, &AppState::engineChanged, this, &frmMain::showEngine);
    // The properties dialog changes the editor's options directly.
    connect(CodeSense1, &CodeSense::OptionsChanged, &State, &AppState::setOptions);
    showOptions(State.options());
    items_.value(QStringLiteral("mnuGame_jk2"))->setChecked(true);
    // The engines are drawn as a choice of one; the state, not the group, sets the marks.
    auto *engines = new QActionGroup(this);
    engines->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    engines->addAction(items_.value(QStringLiteral("mnuGame_original")));
    engines->addAction(items_.value(QStringLiteral("mnuGame_continuation")));
    showEngine();
}

frmMain::~frmMain() = default;

void frmMain::buildPanels()
{
    auto *list = new QListWidget;
    list->setObjectName(QStringLiteral("lstProblems"));
    problems_ = new QDockWidget(QStringLiteral("Problems"), this);
    problems_->setObjectName(QStringLiteral("dockProblems"));
    problems_->setWidget(list);
    problems_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::BottomDockWidgetArea, problems_);
    // A few rows are enough; the editor keeps most of the window.
    resizeDocks({problems_}, {list->fontMetrics().height() * 5}, Qt::Vertical);
    engineLabel_ = new QLabel;
    engineLabel_->setObjectName(QStringLiteral("lblEngine"));
    statusBar()->addWidget(new LoadingBar(lifecycle_));
    statusBar()->addPermanentWidget(engineLabel_);
    const auto vocabularies = LoadVocabularies(ApplicationFile(QStringLiteral("vocab/jk2.tsv")),
                                               ApplicationFile(QStringLiteral("vocab/q3.tsv")));
    insight_ = new ScriptInsight(CodeSense1, list, vocabularies);

    tryKeysDock_ = new QDockWidget(QStringLiteral("Try Keys"), this);
    tryKeysDock_->setObjectName(QStringLiteral("dockTryKeys"));
    tryKeysDock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                              QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::BottomDockWidgetArea, tryKeysDock_);
    splitDockWidget(problems_, tryKeysDock_, Qt::Vertical);
    tryKeysDock_->hide();
    connect(tryKeysDock_, &QDockWidget::visibilityChanged, this, [this, vocabularies](bool visible) {
        if (!visible)
            return;
        // Made when first opened: most sessions never open it, and every start would pay for it.
        if (!tryKeys_) {
            tryKeys_ = new TryKeysPanel(CodeSense1, vocabularies, [this] { return Document.FilePath; });
            tryKeys_->setEngine(State.engine());
            tryKeysDock_->setWidget(tryKeys_);
        }
        // The panel takes room below the editor: the window grows by as much, as far as the screen allows.
        const int wanted = tryKeys_->sizeHint().height();
        if (!tryKeysDock_->isFloating() && !isMaximized() && screen()) {
            const QRect room = screen()->availableGeometry();
            resize(std::clamp(width(), tryKeys_->sizeHint().width(), room.width()),
                   std::min(height() + wanted, room.height() - (frameGeometry().height() - height())));
            resizeDocks({tryKeysDock_}, {wanted}, Qt::Vertical);
        }
        // Opened to press keys: the keyboard takes them, and the script runs as it stands.
        tryKeys_->Exec();
        tryKeys_->findChild<QWidget *>(QStringLiteral("picKeyboard"))->setFocus();
    });
}

ScriptInsight *frmMain::Insight() const
{
    return insight_.data();
}

QAction *frmMain::menuItem(const QString &name) const
{
    return items_.value(name);
}

// The editor component binds keys of its own (Ctrl+D duplicates, Ctrl+L cuts a line, ...)
// and would take them before the menu; the menu's shortcuts win.
void frmMain::releaseEditorShortcuts()
{
    QList<int> taken;
    for (QAction *action : std::as_const(items_))
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
        ShowMessage(this, FormatFileError(error), ProgramTitle);
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

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *client = centralWidget();
    if (event->type() == QEvent::Resize && client && (watched == client || watched == CodeSense1)) {
        if (watched == client)
            Form_Resize();
        const QSize room = client->size();
        const QSize size = CodeSense1->size();
        // A window too small for any editor keeps the editor's last size, as Form_Resize does.
        const QRect frame = frameGeometry();
        const bool sized = PixelsToTwips(frame.height()) >= 680 && PixelsToTwips(frame.width()) >= 100;
        if (sized && (size.width() > room.width() || size.height() > room.height()))
            CodeSense1->resize(size.boundedTo(room));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmMain::CodeSense1_KeyDown(CodeSense *editor, int key, int)
{
    return FlagLookAhead(this, editor, key);
}

QString frmMain::openDialogFolder() const
{
    return GameDataPath == GameDataPathSuffix() ? ApplicationFile(QStringLiteral("cfgs")) : GameDataPath;
}

void frmMain::NewDocument() { lifecycle_->New(); }
void frmMain::OpenDocument() { lifecycle_->Open(openDialogFolder()); }
void frmMain::OpenDocumentFile(const QString &path) { lifecycle_->OpenFile(path); }
void frmMain::SaveDocument() { lifecycle_->Save(); }
void frmMain::SaveDocumentAs() { lifecycle_->SaveAs(); }

DocumentBackup *frmMain::Backup() const
{
    return backup_.data();
}

void frmMain::OfferRecovery()
{
    if (!backup_)
        return;
    ::OfferRecovery(*backup_, *lifecycle_, Document, CodeSense1, this, [this](const BackupHeader &header) {
        // The work comes back in the game and engine it was written for.
        for (ScriptEngine engine : {ScriptEngine::JediOutcast_104, ScriptEngine::jk2mv, ScriptEngine::Quake3_132,
                                    ScriptEngine::ioquake3}) {
            if (EngineName(engine) != header.engine)
                continue;
            const bool jk2 = engine == ScriptEngine::JediOutcast_104 || engine == ScriptEngine::jk2mv;
            State.setGame(jk2 ? Game::JediOutcast : Game::Quake3);
            State.setEngine(engine);
        }
    });
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
void frmMain::DoProperties(CodeSense *editor) { editor->ExecuteCmd(CodeSense::cmdProperties); }

void frmMain::chooseOptions(const std::function<void(EditorOptions &)> &change)
{
    EditorOptions options = State.options();
    change(options);
    State.setOptions(options);
}

// The marks and the editor follow the state.
void frmMain::showOptions(const EditorOptions &options)
{
    const auto mark = [this](const char *name, bool on) { items_.value(QLatin1String(name))->setChecked(on); };
    mark("mnuOptions_linenumtips", options.lineToolTips);
    mark("mnuOptions_syntaxh", options.colorSyntax);
    mark("mnuOptions_colorpreview", options.colorPreview);
    mark("mnuOptions_endent_off", options.autoIndentMode == 0);
    mark("mnuOptions_endent_scope", options.autoIndentMode == 1);
    mark("mnuOptions_endent_line", options.autoIndentMode == 2);
    const int base = options.lineNumbering ? options.lineNumberStyle : 0;
    mark("mnuOptions_linenum_none", base == 0);
    mark("mnuOptions_linenum_hex", base == 16);
    mark("mnuOptions_linenum_dec", base == 10);
    mark("mnuOptions_linenum_bin", base == 2);
    mark("mnuOptions_linenum_oct", base == 8);
    CodeSense1->SetOptions(options);
    if (insight_)
        insight_->setColorPreview(options.colorPreview);
}

void frmMain::mnuOptions_linenumtips_Click() { chooseOptions([](EditorOptions &o) { o.lineToolTips = !o.lineToolTips; }); }
void frmMain::mnuOptions_syntaxh_Click() { chooseOptions([](EditorOptions &o) { o.colorSyntax = !o.colorSyntax; }); }
void frmMain::mnuOptions_colorpreview_Click() { chooseOptions([](EditorOptions &o) { o.colorPreview = !o.colorPreview; }); }
void frmMain::mnuOptions_endent_off_Click() { chooseOptions([](EditorOptions &o) { o.autoIndentMode = 0; }); }
void frmMain::mnuOptions_endent_scope_Click() { chooseOptions([](EditorOptions &o) { o.autoIndentMode = 1; }); }
void frmMain::mnuOptions_endent_line_Click() { chooseOptions([](EditorOptions &o) { o.autoIndentMode = 2; }); }
void frmMain::mnuOptions_linenum_none_Click() { chooseOptions([](EditorOptions &o) { o.lineNumbering = false; }); }

namespace {
auto numberedIn(int base)
{
    return [base](EditorOptions &o) {
        o.lineNumbering = true;
        o.lineNumberStyle = base;
    };
}
} // namespace

void frmMain::mnuOptions_linenum_hex_Click() { chooseOptions(numberedIn(16)); }
void frmMain::mnuOptions_linenum_dec_Click() { chooseOptions(numberedIn(10)); }
void frmMain::mnuOptions_linenum_bin_Click() { chooseOptions(numberedIn(2)); }
void frmMain::mnuOptions_linenum_oct_Click() { chooseOptions(numberedIn(8)); }
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
    if (!defNew_) {
        defNew_ = new frmDefNew(this);
        // The dialog's game, not the main window's, decides which list is shown from now on.
        connect(defNew_, &frmDefNew::CommandFileChanged, this, [this](const QString &file) { fillCommandList(file); });
    }
    return defNew_;
}

void frmMain::mnuTools_cmdlist_Click()
{
    raiseWindow(CmdList());
    CmdList()->SelectFirst();
}

void frmMain::mnuTools_spchar_Click() { ShowSpecialCharacters(CodeSense1, this); }
void frmMain::mnuTools_defNew_Click() { raiseWindow(DefNew()); }

void frmMain::mnuTools_tunemill_Click()
{
    if (!tunemill_)
        tunemill_ = new frmTunemill(this, JediOutcastInstallPath());
    raiseWindow(tunemill_);
}

// Registers both languages and selects the Jedi Outcast one; a word file that cannot be
// read ends the program.
void frmMain::RegisterJK2Script(CodeSense *DEST)
{
    FileError error = RegisterScriptLanguage(JK2Script, ApplicationFile(QStringLiteral("pf/operators.txt")));
    if (error.ok() && !SetScriptLanguage(DEST, JK2Script))
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
    const FileError error = RegisterScriptLanguage(Q3Script, ApplicationFile(QStringLiteral("pf/q3operators.txt")));
    if (!error.ok()) {
        ShowMessage(this, FormatFileErrorPlain(error), ProgramTitle);
        endProgram();
        return;
    }
    emit Q3ScriptRegistered();
}

void frmMain::mnuGame_jk2_Click() { State.setGame(Game::JediOutcast); }
void frmMain::mnuGame_q3_Click() { State.setGame(Game::Quake3); }
void frmMain::mnuGame_original_Click() { State.setEngine(DefaultEngine(State.game() == Game::JediOutcast)); }

void frmMain::mnuGame_continuation_Click()
{
    State.setEngine(State.game() == Game::JediOutcast ? ScriptEngine::jk2mv : ScriptEngine::ioquake3);
}

void frmMain::showGame(Game game)
{
    const bool jk2 = game == Game::JediOutcast;
    items_.value(QStringLiteral("mnuGame_jk2"))->setChecked(jk2);
    SetScriptLanguage(CodeSense1, jk2 ? JK2Script : Q3Script);
    items_.value(QStringLiteral("mnuGame_q3"))->setChecked(!jk2);
    const FileError error = fillCommandList(ApplicationFile(jk2 ? QStringLiteral("pf/cc.txt") : QStringLiteral("pf/q3cc.txt")));
    if (!error.ok())
        ShowMessage(this, FormatFileErrorPlain(error), ProgramTitle);
}

void frmMain::showEngine()
{
    const bool jk2 = State.game() == Game::JediOutcast;
    const ScriptEngine engine = State.engine();
    engineLabel_->setText(EngineName(engine));
    items_.value(QStringLiteral("mnuGame_original"))
        ->setText(QStringLiteral("Original &Release (%1)").arg(EngineName(DefaultEngine(jk2))));
    items_.value(QStringLiteral("mnuGame_continuation"))
        ->setText(QStringLiteral("&Continuation (%1)").arg(EngineName(jk2 ? ScriptEngine::jk2mv : ScriptEngine::ioquake3)));
    items_.value(QStringLiteral("mnuGame_original"))->setChecked(IsOriginalRelease(engine));
    items_.value(QStringLiteral("mnuGame_continuation"))->setChecked(!IsOriginalRelease(engine));
    if (insight_ && insight_->engine() != engine)
        insight_->setEngine(engine);
    if (tryKeys_)
        tryKeys_->setEngine(engine);
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
    if (lifecycle_->AskBeforeClose() == DocumentLifecycle::CloseAnswer::Stay) {
        event->ignore();
        return;
    }
    event->accept();
    // The work is saved, or the user chose to leave it.
    if (backup_)
        backup_->discard();
    closeAllWindowsAndEnd();
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
