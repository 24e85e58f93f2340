#include "app/frmMain.h"

#include <QAction>
#include <QDockWidget>
#include <QMenuBar>

namespace {

// The menu bar, in menu order. A caption "-" is a separator; a parent of "" is a top menu.
struct MenuEntry
{
    const char *name;
    const char *parent;
    const char *caption;
    const char *shortcut;
    void (frmMain::*handler)();
};

const MenuEntry Menus[] = {
    {"mnuFile", "", "&File", "", nullptr},
    {"mnuFile_new", "mnuFile", "&New", "Ctrl+N", &frmMain::mnuFile_new_Click},
    {"mnuFile_open", "mnuFile", "&Open...", "Ctrl+O", &frmMain::mnuFile_open_Click},
    {"mnuFile_save", "mnuFile", "&Save", "Ctrl+S", &frmMain::mnuFile_save_Click},
    {"mnuFile_saveas", "mnuFile", "Save &As...", "Ctrl+D", &frmMain::mnuFile_saveas_Click},
    {"Spacer2", "mnuFile", "-", "", nullptr},
    {"mnuFile_exit", "mnuFile", "E&xit", "", &frmMain::mnuFile_exit_Click},
    {"mnuEdit", "", "&Edit", "", nullptr},
    {"mnuEdit_undo", "mnuEdit", "&Undo", "Ctrl+Z", &frmMain::mnuEdit_undo_Click},
    {"mnuEdit_redo", "mnuEdit", "&Redo", "Ctrl+R", &frmMain::mnuEdit_redo_Click},
    {"mnuEdit_undomany", "mnuEdit", "Undo Operat&ions...", "", &frmMain::mnuEdit_undomany_Click},
    {"mnuEdit_redoOps", "mnuEdit", "Redo Operation&s...", "", &frmMain::mnuEdit_redoOps_Click},
    {"Spacer1", "mnuEdit", "-", "", nullptr},
    {"mnuEdit_cut", "mnuEdit", "Cu&t", "Ctrl+X", &frmMain::mnuEdit_cut_Click},
    {"mnuEdit_copy", "mnuEdit", "&Copy", "Ctrl+C", &frmMain::mnuEdit_copy_Click},
    {"mnuEdit_paste", "mnuEdit", "&Paste", "Ctrl+V", &frmMain::mnuEdit_paste_Click},
    {"mnuEdit_del", "mnuEdit", "De&lete", "Del", &frmMain::mnuEdit_del_Click},
    {"spacer4", "mnuEdit", "-", "", nullptr},
    {"mnuEdit_find", "mnuEdit", "&Find && Replace...", "", &frmMain::mnuEdit_find_Click},
    {"mnuEdit_findnext", "mnuEdit", "Find &Next", "F3", &frmMain::mnuEdit_findnext_Click},
    {"mnuEdit_repeatnext", "mnuEdit", "Repeat Next C&md...", "", &frmMain::mnuEdit_repeatnext_Click},
    {"mnuEdit_selectall", "mnuEdit", "Select &All", "", &frmMain::mnuEdit_selectall_Click},
    {"mnuEdit_time", "mnuEdit", "Time / Dat&e", "F6", &frmMain::mnuEdit_time_Click},
    {"mnuOptions", "", "&Options", "", nullptr},
    {"mnuOptions_linenumtips", "mnuOptions", "Line &Num Tips", "", &frmMain::mnuOptions_linenumtips_Click},
    {"mnuOptions_syntaxh", "mnuOptions", "S&yntax Highlighting", "", &frmMain::mnuOptions_syntaxh_Click},
    {"mnuOptions_endent", "mnuOptions", "Auto &Endent", "", nullptr},
    {"mnuOptions_endent_off", "mnuOptions_endent", "&Off", "", &frmMain::mnuOptions_endent_off_Click},
    {"mnuOptions_endent_scope", "mnuOptions_endent", "By &Scope", "", &frmMain::mnuOptions_endent_scope_Click},
    {"mnuOptions_endent_line", "mnuOptions_endent", "By &Previous Line", "", &frmMain::mnuOptions_endent_line_Click},
    {"mnuOptions_linenum", "mnuOptions", "&Line Numbering", "", nullptr},
    {"mnuOptions_linenum_none", "mnuOptions_linenum", "&None", "", &frmMain::mnuOptions_linenum_none_Click},
    {"mnuOptions_linenum_hex", "mnuOptions_linenum", "&Hex", "", &frmMain::mnuOptions_linenum_hex_Click},
    {"mnuOptions_linenum_dec", "mnuOptions_linenum", "D&ecimal", "", &frmMain::mnuOptions_linenum_dec_Click},
    {"mnuOptions_linenum_bin", "mnuOptions_linenum", "&Binary", "", &frmMain::mnuOptions_linenum_bin_Click},
    {"mnuOptions_linenum_oct", "mnuOptions_linenum", "&Octal", "", &frmMain::mnuOptions_linenum_oct_Click},
    // The Problems panel's own show/hide action.
    {"mnuOptions_problems", "mnuOptions", "&Problems", "", nullptr},
    {"mnuOptions_colorpreview", "mnuOptions", "Colour P&review", "", &frmMain::mnuOptions_colorpreview_Click},
    // The Try Keys panel's own show/hide action.
    {"mnuOptions_trykeys", "mnuOptions", "Try &Keys", "", nullptr},
    {"Spacer3", "mnuOptions", "-", "", nullptr},
    {"mnuEdit_properties", "mnuOptions", "Pr&operties", "F1", &frmMain::mnuEdit_properties_Click},
    {"mnuFont", "", "Fo&nt", "", nullptr},
    {"mnuFont_select", "mnuFont", "Set &Font", "Ctrl+F", &frmMain::mnuFont_select_Click},
    {"mnuFont_jk2", "mnuFont", "JK2 &Scripting Colors", "", &frmMain::mnuFont_jk2_Click},
    {"mnuTools", "", "&Tools", "", nullptr},
    {"mnuTools_cmdlist", "mnuTools", "Command &List", "F5", &frmMain::mnuTools_cmdlist_Click},
    {"mnuTools_spchar", "mnuTools", "Special &Characters", "Ctrl+L", &frmMain::mnuTools_spchar_Click},
    {"mnuTools_defNew", "mnuTools", "Define New &Keyword", "Ctrl+K", &frmMain::mnuTools_defNew_Click},
    {"mnuTools_tunemill", "mnuTools", "&Tunemill 1.07", "", &frmMain::mnuTools_tunemill_Click},
    {"mnuGame", "", "&Game", "", nullptr},
    {"mnuGame_jk2", "mnuGame", "Jedi &Outcast", "", &frmMain::mnuGame_jk2_Click},
    {"mnuGame_q3", "mnuGame", "&Quake III", "", &frmMain::mnuGame_q3_Click},
    {"Spacer5", "mnuGame", "-", "", nullptr},
    // Captions name the engines of the current game.
    {"mnuGame_original", "mnuGame", "", "", &frmMain::mnuGame_original_Click},
    {"mnuGame_continuation", "mnuGame", "", "", &frmMain::mnuGame_continuation_Click},
    {"mnuMacros", "", "&Macros", "", nullptr},
    {"mnuMacros_record", "mnuMacros", "&Record Macro...", "", &frmMain::mnuMacros_record_Click},
    {"mnuMacros_play", "mnuMacros", "&Play Macro...", "", &frmMain::mnuMacros_play_Click},
    {"mnuAbout", "", "&About", "", nullptr},
    {"mnuAbout_about", "mnuAbout", "&About Tavrel", "", &frmMain::mnuAbout_about_Click},
};

bool isSubmenu(const QString &name)
{
    return name == QLatin1String("mnuOptions_endent") || name == QLatin1String("mnuOptions_linenum");
}

// Items that carry a check mark at some point: they are checkable from the start.
bool isCheckable(const QString &name)
{
    return name.startsWith(QLatin1String("mnuOptions_")) || name.startsWith(QLatin1String("mnuGame_"));
}

} // namespace

void BuildMenus(frmMain *window)
{
    QHash<QString, QMenu *> menus;
    for (const MenuEntry &entry : Menus) {
        const QString name = QString::fromLatin1(entry.name);
        const QString caption = QString::fromUtf8(entry.caption);
        QMenu *parentMenu = menus.value(QString::fromLatin1(entry.parent));
        if (caption == QLatin1String("-")) {
            parentMenu->addSeparator()->setObjectName(name);
            continue;
        }
        if (!*entry.parent || isSubmenu(name)) {
            QMenu *menu = parentMenu ? parentMenu->addMenu(caption) : window->menuBar()->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            menus.insert(name, menu);
            window->items_.insert(name, menu->menuAction());
            continue;
        }
        QAction *action = nullptr;
        if (name == QLatin1String("mnuOptions_problems") || name == QLatin1String("mnuOptions_trykeys")) {
            action = (name.endsWith(QLatin1String("problems")) ? window->problems_ : window->tryKeysDock_)->toggleViewAction();
            action->setText(caption);
            parentMenu->addAction(action);
        } else {
            action = parentMenu->addAction(caption);
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
            action->setCheckable(isCheckable(name));
        }
        action->setObjectName(name);
        window->items_.insert(name, action);
        if (const auto handler = entry.handler) {
            QObject::connect(action, &QAction::triggered, window, [window, action, handler] {
                // Check marks follow the application state, never the click itself.
                if (action->isCheckable())
                    action->setChecked(!action->isChecked());
                (window->*handler)();
            });
        }
    }
}
