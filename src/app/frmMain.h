#pragma once
// The main window: the menu bar above the one editor, the document it edits, and
// the owner of every tool window. Each menu's handler hands the work to the folder that
// owns it; the application state decides what the menus and the editor show.

#include "app/appstate.h"
#include "codec/fileio.h"
#include "document/documentstate.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class CodeSense;
class DocumentBackup;
class DocumentLifecycle;
class QAction;
class QDockWidget;
class QLabel;
class ScriptInsight;
class TryKeysPanel;
class frmCmdList;
class frmDefNew;
class frmTunemill;
class frmSplash;

class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up work; runs once, before the window is first shown.
    void Form_Load();

    CodeSense *CodeSense1 = nullptr;
    QString GameDataPath;
    DocumentState Document;
    AppState State;

    QAction *menuItem(const QString &name) const;
    // The splash and About window, created at start-up.
    frmSplash *Splash() const;
    ScriptInsight *Insight() const;
    // A benchmark measures typing without backups by deleting them.
    DocumentBackup *Backup() const;

    // The tool windows, created hidden on first call and kept for the whole run.
    frmCmdList *CmdList();
    frmDefNew *DefNew();

    // Ends the program; tests replace what ending means.
    std::function<void()> EndProgram;
    bool ProgramEnded() const { return ended_; }

    // Register the two highlighting languages; the Jedi Outcast one also selects its own
    // and goes on to the Quake III one.
    void RegisterJK2Script(CodeSense *DEST);
    void RegisterQ3Script(CodeSense *DEST);

    void NewDocument();
    void OpenDocument();
    // Opens a chosen file, as the Open command does after its dialog.
    void OpenDocumentFile(const QString &path);
    void SaveDocument();
    void SaveDocumentAs();
    // Offers back the unsaved work of programs that ended without saving or discarding it.
    void OfferRecovery();

public slots:
    void Form_Resize();

    void mnuFile_new_Click();
    void mnuFile_open_Click();
    void mnuFile_save_Click();
    void mnuFile_saveas_Click();
    void mnuFile_exit_Click();

    void mnuEdit_undo_Click();
    void mnuEdit_redo_Click();
    void mnuEdit_cut_Click();
    void mnuEdit_copy_Click();
    void mnuEdit_paste_Click();
    void mnuEdit_del_Click();
    void mnuEdit_selectall_Click();
    void mnuEdit_undomany_Click();
    void mnuEdit_redoOps_Click();
    void mnuEdit_find_Click();
    void mnuEdit_findnext_Click();
    void mnuEdit_repeatnext_Click();
    void mnuEdit_time_Click();
    void mnuEdit_properties_Click();

    void mnuOptions_linenumtips_Click();
    void mnuOptions_syntaxh_Click();
    void mnuOptions_endent_off_Click();
    void mnuOptions_endent_scope_Click();
    void mnuOptions_endent_line_Click();
    void mnuOptions_linenum_none_Click();
    void mnuOptions_linenum_hex_Click();
    void mnuOptions_linenum_dec_Click();
    void mnuOptions_linenum_bin_Click();
    void mnuOptions_linenum_oct_Click();
    void mnuOptions_colorpreview_Click();
    void mnuFont_select_Click();

    void mnuMacros_record_Click();
    void mnuMacros_play_Click();

    void mnuTools_cmdlist_Click();
    void mnuTools_spchar_Click();
    void mnuTools_defNew_Click();
    void mnuTools_tunemill_Click();

    void mnuGame_jk2_Click();
    void mnuGame_q3_Click();
    void mnuGame_original_Click();
    void mnuGame_continuation_Click();

    void mnuFont_jk2_Click();
    void mnuAbout_about_Click();

    bool CodeSense1_KeyDown(CodeSense *editor, int key, int shift);

signals:
    // The Quake III language is registered: the splash window ticks its check box.
    void Q3ScriptRegistered();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Each runs one of the editor's own commands.
    void DoFindReplace(CodeSense *editor);
    void DoFindNext(CodeSense *editor);
    void DoRepeatNext(CodeSense *editor);
    void DoSelectAll(CodeSense *editor);
    void DoProperties(CodeSense *editor);
    void DoRecordMacro(CodeSense *editor);

    friend void BuildMenus(frmMain *window);
    void buildPanels();
    void releaseEditorShortcuts();
    void endProgram();
    void closeAllWindowsAndEnd();
    void showOptions(const EditorOptions &options);
    void chooseOptions(const std::function<void(EditorOptions &)> &change);
    void showGame(Game game);
    void showEngine();
    FileError fillCommandList(const QString &path);
    QString openDialogFolder() const;

    QHash<QString, QAction *> items_;
    DocumentLifecycle *lifecycle_ = nullptr;
    // A benchmark measures typing without the checks by deleting them.
    QPointer<ScriptInsight> insight_;
    QPointer<DocumentBackup> backup_;
    QDockWidget *problems_ = nullptr;
    QDockWidget *tryKeysDock_ = nullptr;
    TryKeysPanel *tryKeys_ = nullptr;
    QLabel *engineLabel_ = nullptr;
    bool ended_ = false;
    bool closingAll_ = false;
    frmCmdList *cmdList_ = nullptr;
    frmDefNew *defNew_ = nullptr;
    frmTunemill *tunemill_ = nullptr;
};

// The menu bar, built from its table.
void BuildMenus(frmMain *window);
