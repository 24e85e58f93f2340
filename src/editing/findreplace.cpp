#include "editing/findreplace.h"

#include "foundation/program.h"
#include "foundation/prompts.h"
#include "editor/codesense.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

using Sci = QsciScintillaBase;

struct Match
{
    long start = -1;
    long end = -1;
    bool found() const { return start >= 0; }
};

// One configured search over the editor's bytes.
class Searcher
{
public:
    Searcher(CodeSense *editor, const FindOptions &options) : editor_(editor)
    {
        QString pattern = options.text;
        if (options.regularExpression) {
            flags_ = Sci::SCFIND_REGEXP | Sci::SCFIND_CXX11REGEX;
            // Scintilla ignores the whole-word flag for regular expressions.
            if (options.wholeWord)
                pattern = QStringLiteral("\\b(?:%1)\\b").arg(pattern);
        } else if (options.wholeWord) {
            flags_ = Sci::SCFIND_WHOLEWORD;
        }
        if (options.matchCase)
            flags_ |= Sci::SCFIND_MATCHCASE;
        pattern_ = pattern.toUtf8();
        replacement_ = options.replacement.toUtf8();
        regex_ = options.regularExpression;
    }

    // Searches from `from` towards `to`; a `to` before `from` searches backwards.
    Match search(long from, long to)
    {
        editor_->SendScintilla(Sci::SCI_SETSTATUS, 0);
        editor_->SendScintilla(Sci::SCI_SETSEARCHFLAGS, flags_);
        editor_->SendScintilla(Sci::SCI_SETTARGETRANGE, from, to);
        const long start =
            editor_->SendScintilla(Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(pattern_.size()), pattern_.constData());
        if (editor_->SendScintilla(Sci::SCI_GETSTATUS) == Sci::SC_STATUS_WARNREGEX) {
            editor_->SendScintilla(Sci::SCI_SETSTATUS, 0);
            bad_ = true;
            return {};
        }
        if (start < 0)
            return {};
        return {start, editor_->SendScintilla(Sci::SCI_GETTARGETEND)};
    }

    // Replaces the match the last search found; returns the end of the new text.
    long replaceTarget()
    {
        editor_->SendScintilla(regex_ ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET,
                               static_cast<unsigned long>(replacement_.size()), replacement_.constData());
        return editor_->SendScintilla(Sci::SCI_GETTARGETEND);
    }

    bool badPattern() const { return bad_; }
    long length() const { return editor_->SendScintilla(Sci::SCI_GETLENGTH); }
    long after(long position) const { return editor_->SendScintilla(Sci::SCI_POSITIONAFTER, position); }

private:
    CodeSense *editor_;
    QByteArray pattern_;
    QByteArray replacement_;
    int flags_ = 0;
    bool regex_ = false;
    bool bad_ = false;
};

struct Selection
{
    long start;
    long end;
};

Selection CurrentSelection(CodeSense *editor)
{
    const long anchor = editor->SendScintilla(Sci::SCI_GETANCHOR);
    const long caret = editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    return {std::min(anchor, caret), std::max(anchor, caret)};
}

Match FindFrom(Searcher &searcher, const Selection &selection, const FindOptions &options)
{
    const long length = searcher.length();
    Match match;
    if (options.forward) {
        match = searcher.search(selection.end, length);
        // An empty match where the caret already stands would never move on.
        if (match.found() && match.start == match.end && match.start == selection.end && selection.start == selection.end)
            match = selection.end < length ? searcher.search(searcher.after(selection.end), length) : Match{};
        if (!match.found() && options.wrapAround && !searcher.badPattern())
            match = searcher.search(0, length);
    } else {
        match = searcher.search(selection.start, 0);
        if (!match.found() && options.wrapAround && !searcher.badPattern())
            match = searcher.search(length, 0);
    }
    return match;
}

FindResult Select(CodeSense *editor, const Searcher &searcher, const Match &match, bool forward)
{
    if (searcher.badPattern())
        return FindResult::BadPattern;
    if (!match.found())
        return FindResult::NotFound;
    const long line = editor->SendScintilla(Sci::SCI_LINEFROMPOSITION, match.start);
    editor->SendScintilla(Sci::SCI_ENSUREVISIBLEENFORCEPOLICY, line);
    // The caret goes to the end that the next search in the same direction starts from.
    if (forward)
        editor->SendScintilla(Sci::SCI_SETSEL, match.start, match.end);
    else
        editor->SendScintilla(Sci::SCI_SETSEL, match.end, match.start);
    return FindResult::Found;
}

} // namespace

FindResult FindNextMatch(CodeSense *editor, const FindOptions &options)
{
    if (options.text.isEmpty())
        return FindResult::NotFound;
    Searcher searcher(editor, options);
    const Match match = FindFrom(searcher, CurrentSelection(editor), options);
    return Select(editor, searcher, match, options.forward);
}

FindResult ReplaceMatch(CodeSense *editor, const FindOptions &options)
{
    if (options.text.isEmpty())
        return FindResult::NotFound;
    Searcher searcher(editor, options);
    Selection selection = CurrentSelection(editor);
    const Match current = searcher.search(selection.start, selection.end);
    if (searcher.badPattern())
        return FindResult::BadPattern;
    if (current.found() && current.start == selection.start && current.end == selection.end) {
        const long end = searcher.replaceTarget();
        selection = options.forward ? Selection{end, end} : Selection{selection.start, selection.start};
        editor->SendScintilla(Sci::SCI_SETSEL, selection.start, selection.end);
    }
    const Match next = FindFrom(searcher, selection, options);
    return Select(editor, searcher, next, options.forward);
}

int ReplaceAllMatches(CodeSense *editor, const FindOptions &options)
{
    if (options.text.isEmpty())
        return 0;
    Searcher searcher(editor, options);
    int count = 0;
    long from = 0;
    long lastEnd = -1;
    editor->beginUndoAction();
    for (;;) {
        const Match match = searcher.search(from, searcher.length());
        if (!match.found())
            break;
        const long end = searcher.replaceTarget();
        ++count;
        lastEnd = end;
        if (match.start != match.end) {
            from = end;
            continue;
        }
        // An empty match moves on by one character, or the loop would stand still.
        if (end >= searcher.length())
            break;
        from = searcher.after(end);
    }
    editor->endUndoAction();
    if (searcher.badPattern())
        return -1;
    if (lastEnd >= 0)
        editor->SendScintilla(Sci::SCI_GOTOPOS, lastEnd);
    return count;
}

namespace {

void ReportFailure(FindResult result, const FindOptions &options, QWidget *parent)
{
    if (result == FindResult::BadPattern)
        ShowMessage(parent,
                    QObject::tr("The regular expression \"%1\" is not valid.").arg(options.text), ProgramTitle);
    else if (result == FindResult::NotFound)
        ShowMessage(parent, QObject::tr("Cannot find \"%1\".").arg(options.text), ProgramTitle);
}

} // namespace

bool FindAndReport(CodeSense *editor, const FindOptions &options, QWidget *messageParent)
{
    const FindResult result = FindNextMatch(editor, options);
    ReportFailure(result, options, messageParent);
    return result == FindResult::Found;
}

FindReplaceDialog::FindReplaceDialog(CodeSense *editor, QWidget *parent,
                                     std::function<void(const FindOptions &)> searched)
    : QDialog(parent, Qt::Tool), editor_(editor), searched_(std::move(searched))
{
    setObjectName(QStringLiteral("FindReplaceDialog"));
    setWindowTitle(tr("Find and Replace"));
    setModal(false);

    auto *fields = new QFormLayout;
    findText = new QLineEdit(this);
    findText->setObjectName(QStringLiteral("findText"));
    replaceText = new QLineEdit(this);
    replaceText->setObjectName(QStringLiteral("replaceText"));
    fields->addRow(tr("Fi&nd what:"), findText);
    fields->addRow(tr("Re&place with:"), replaceText);

    auto addCheck = [this](const char *name, const QString &caption) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    matchCase = addCheck("matchCase", tr("Match &case"));
    wholeWord = addCheck("wholeWord", tr("Match &whole word only"));
    regularExpression = addCheck("regularExpression", tr("Regular e&xpression"));
    wrapAround = addCheck("wrapAround", tr("Wra&p around"));
    wrapAround->setChecked(true);
    auto *checks = new QVBoxLayout;
    for (QCheckBox *box : {matchCase, wholeWord, regularExpression, wrapAround})
        checks->addWidget(box);

    auto *direction = new QGroupBox(tr("Direction"), this);
    directionUp = new QRadioButton(tr("&Up"), direction);
    directionUp->setObjectName(QStringLiteral("directionUp"));
    directionDown = new QRadioButton(tr("&Down"), direction);
    directionDown->setObjectName(QStringLiteral("directionDown"));
    directionDown->setChecked(true);
    auto *directionLayout = new QVBoxLayout(direction);
    directionLayout->addWidget(directionUp);
    directionLayout->addWidget(directionDown);

    auto *options = new QHBoxLayout;
    options->addLayout(checks);
    options->addWidget(direction);

    auto *buttons = new QVBoxLayout;
    auto addButton = [this, buttons](const char *name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    findNextButton = addButton("findNextButton", tr("&Find Next"));
    findNextButton->setDefault(true);
    replaceButton = addButton("replaceButton", tr("&Replace"));
    replaceAllButton = addButton("replaceAllButton", tr("Replace &All"));
    closeButton = addButton("closeButton", tr("Close"));
    buttons->addStretch();

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);

    connect(findNextButton, &QPushButton::clicked, this, &FindReplaceDialog::findNext);
    connect(replaceButton, &QPushButton::clicked, this, &FindReplaceDialog::replace);
    connect(replaceAllButton, &QPushButton::clicked, this, &FindReplaceDialog::replaceAll);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
    connect(findText, &QLineEdit::textChanged, this, &FindReplaceDialog::updateButtons);
    updateButtons();
}

void FindReplaceDialog::updateButtons()
{
    const bool any = !findText->text().isEmpty();
    for (QPushButton *button : {findNextButton, replaceButton, replaceAllButton})
        button->setEnabled(any);
}

FindOptions FindReplaceDialog::options() const
{
    FindOptions o;
    o.text = findText->text();
    o.replacement = replaceText->text();
    o.matchCase = matchCase->isChecked();
    o.wholeWord = wholeWord->isChecked();
    o.regularExpression = regularExpression->isChecked();
    o.wrapAround = wrapAround->isChecked();
    o.forward = directionDown->isChecked();
    return o;
}

void FindReplaceDialog::setOptions(const FindOptions &o)
{
    findText->setText(o.text);
    replaceText->setText(o.replacement);
    matchCase->setChecked(o.matchCase);
    wholeWord->setChecked(o.wholeWord);
    regularExpression->setChecked(o.regularExpression);
    wrapAround->setChecked(o.wrapAround);
    (o.forward ? directionDown : directionUp)->setChecked(true);
}

void FindReplaceDialog::findNext()
{
    const FindOptions o = options();
    if (o.text.isEmpty())
        return;
    searched_(o);
    FindAndReport(editor_, o, this);
}

void FindReplaceDialog::replace()
{
    const FindOptions o = options();
    if (o.text.isEmpty())
        return;
    searched_(o);
    ReportFailure(ReplaceMatch(editor_, o), o, this);
}

void FindReplaceDialog::replaceAll()
{
    const FindOptions o = options();
    if (o.text.isEmpty())
        return;
    searched_(o);
    const int count = ReplaceAllMatches(editor_, o);
    if (count < 0)
        ReportFailure(FindResult::BadPattern, o, this);
    else if (count == 0)
        ReportFailure(FindResult::NotFound, o, this);
    else
        ShowMessage(this, count == 1 ? tr("Replaced 1 occurrence.") : tr("Replaced %1 occurrences.").arg(count),
                    ProgramTitle);
}
