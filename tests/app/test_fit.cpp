// Every window, opened as the player opens it, shows each caption whole: no label, button,
// group box title or list header cuts its text, whatever font the platform gives. CMake
// runs the suite at scale 1 and again at QT_SCALE_FACTOR=1.5.
#include "aids/frmLookAheadCheck.h"
#include "foundation/captionfit.h"
#include "script/flags.h"
#include "support/datarows.h"
#include "support/mainwindow.h"
#include "support/withmodal.h"

#include <QtWidgets>

namespace {

// The part of w, in its own coordinates, that its window shows: inside every ancestor and
// not under a sibling stacked above it (nor, for a frame's title, under its own children).
QRegion Shown(const QWidget *w, bool underChildren = false)
{
    QRegion shown(w->rect());
    const auto cover = [](QRegion &region, const QObjectList &widgets, qsizetype from) {
        for (qsizetype i = from; i < widgets.size(); ++i)
            if (auto *s = qobject_cast<QWidget *>(widgets[i]); s && s->isVisible() && !s->isWindow())
                region -= s->geometry();
    };
    if (underChildren)
        cover(shown, w->children(), 0);
    for (const QWidget *a = w; !a->isWindow(); a = a->parentWidget()) {
        const QWidget *p = a->parentWidget();
        const QPoint offset = w->mapTo(p, QPoint());
        QRegion inParent = shown.translated(offset) & p->rect();
        cover(inParent, p->children(), p->children().indexOf(a) + 1);
        shown = inParent.translated(-offset);
    }
    return shown;
}

struct Caption
{
    QString text;
    QRect drawn; // where the text lands, laid out in the room the control gives it
    QRect room;
    QRegion shown;
};

QList<Caption> Captions(QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    const auto at = [&fm](const QString &text, const QRect &room, int flags, const QRegion &shown) {
        return Caption{text, fm.boundingRect(room, flags, text), room, shown};
    };
    if (auto *label = qobject_cast<QLabel *>(w); label && !label->text().isEmpty()) {
        const int m = label->margin();
        // The ampersand is a mnemonic only for a label with a buddy.
        const int flags = int(label->alignment()) | Qt::TextExpandTabs | (label->buddy() ? Qt::TextShowMnemonic : 0)
                          | (label->wordWrap() ? Qt::TextWordWrap : 0);
        return {at(label->text(), label->contentsRect().adjusted(m, m, -m, -m), flags, Shown(label))};
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w); button && !button->text().isEmpty()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool push = qobject_cast<QPushButton *>(button);
        const QStyle::SubElement contents = push ? QStyle::SE_PushButtonContents
                                            : qobject_cast<QRadioButton *>(button) ? QStyle::SE_RadioButtonContents
                                                                                   : QStyle::SE_CheckBoxContents;
        const QRect room = button->style()->subElementRect(contents, &option, button);
        const int align = push ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
        return {at(button->text(), room, align | Qt::TextShowMnemonic, Shown(button))};
    }
    if (auto *box = qobject_cast<QGroupBox *>(w); box && !box->title().isEmpty()) {
        return {at(box->title(), GroupBoxTitleRect(box), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, Shown(box, true))};
    }
    QList<Caption> sections;
    if (auto *header = qobject_cast<QHeaderView *>(w)) {
        const int m = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        const QRegion shown = Shown(header->viewport());
        for (int i = 0; i < header->count(); ++i) {
            const QString text = header->model()->headerData(i, header->orientation()).toString();
            if (header->isSectionHidden(i) || text.isEmpty())
                continue;
            const int position = header->sectionViewportPosition(i), size = header->sectionSize(i);
            const QRect section = header->orientation() == Qt::Horizontal
                                      ? QRect(position, 0, size, header->viewport()->height())
                                      : QRect(0, position, header->viewport()->width(), size);
            sections << at(text, section.adjusted(m, 0, -m, 0), int(header->defaultAlignment()), shown);
        }
    }
    return sections;
}

// "objectName: text" for each caption of the window that is cut.
QStringList CutCaptions(QWidget *window)
{
    QStringList cut;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *w : widgets << window) {
        if (w->window() != window || !w->isVisible())
            continue;
        for (const Caption &c : Captions(w)) {
            if (c.room.contains(c.drawn) && (QRegion(c.drawn) - c.shown).isEmpty())
                continue;
            const QRect s = c.shown.boundingRect();
            cut << QStringLiteral("%1: \"%2\" needs %3x%4 px, shows %5x%6")
                       .arg(w->objectName(), c.text)
                       .arg(c.drawn.width()).arg(c.drawn.height())
                       .arg(qMin(s.width(), c.room.width())).arg(qMin(s.height(), c.room.height()));
        }
    }
    return cut;
}

} // namespace

class FitTest : public QObject
{
    Q_OBJECT

private slots:
    // How each window opens: a menu item, or a step the editor takes ("checklist"), or a
    // prompt of the platform seam; the window to look at.
    void everyCaptionShowsWhole_data()
    {
        Columns<QString, QString>({"open", "window"});
        const std::pair<const char *, const char *> rows[] = {
            {"", "frmMain"},
            {"mnuMacros_record", "frmMain"},
            {"mnuAbout_about", "frmSplash"},
            {"mnuTools_cmdlist", "frmCmdList"},
            {"mnuTools_spchar", "frmSpChars"},
            {"mnuTools_defNew", "frmDefNew"},
            {"mnuTools_tunemill", "frmTunemill"},
            {"mnuFont_jk2", "frmJK2colors"},
            {"mnuEdit_undomany", "frmUndo"},
            {"mnuEdit_redoOps", "frmUndo"},
            {"mnuMacros_play", "frmPlay"},
            {"mnuEdit_find", "FindReplaceDialog"},
            {"mnuEdit_properties", "PropertiesDialog"},
            {"checklist", "frmLookAheadCheck"},
            {"repeat", "RepeatCountPrompt"},
            {"slots", "MacroSlotChooser"},
        };
        for (const auto &[open, window] : rows)
            QTest::addRow("%s %s", window, open) << QString::fromLatin1(open) << QString::fromLatin1(window);
    }
    void everyCaptionShowsWhole()
    {
        const auto [open, name] = Fetch<QString, QString>({"open", "window"});
        MainWindowFixture f;
        const auto check = [name](QWidget *window) {
            QCOMPARE(window->objectName(), name);
            const QStringList cut = CutCaptions(window);
            QVERIFY2(cut.isEmpty(), qPrintable(name + QStringLiteral(" cuts captions:\n") + cut.join(u'\n')));
        };
        DialogPrompts prompts;
        const QHash<QString, std::function<void()>> modal{
            {"mnuEdit_properties", [&f] { f.click("mnuEdit_properties"); }},
            // Bits no item stands for add a line under the list.
            {"checklist", [&f] { RunFlagChecklist(&f.window, ForcePowerTable(), -1); }},
            {"repeat", [&] { prompts.askRepeatCount(&f.window, QStringLiteral("3")); }},
            {"slots", [&] { prompts.chooseMacroSlot(&f.window, {true, false}); }},
        };
        if (modal.contains(open))
            return WithModal(check, modal.value(open));
        if (!open.isEmpty())
            f.click(open.toLatin1().constData());
        QWidget *window = name == "frmMain" ? &f.window : f.window.findChild<QWidget *>(name);
        QVERIFY2(window && window->isVisible(), qPrintable(name));
        check(window);
    }
};

QTEST_MAIN(FitTest)
#include "test_fit.moc"
