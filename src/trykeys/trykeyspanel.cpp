#include "trykeys/trykeyspanel.h"

#include "editor/codesense.h"
#include "script/scriptparse.h"
#include "trykeys/keyboardpicture.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextEdit>

TryKeysPanel::TryKeysPanel(CodeSense *editor, std::shared_future<ScriptVocabularies> vocabularies,
                           std::function<QString()> documentPath, QWidget *parent)
    : QWidget(parent), editor_(editor), vocabularies_(std::move(vocabularies)), documentPath_(std::move(documentPath))
{
    setObjectName(QStringLiteral("TryKeysPanel"));
    auto *exec = new QPushButton(tr("&Exec"));
    exec->setObjectName(QStringLiteral("cmdExec"));
    exec->setToolTip(tr("Start afresh and run the script as exec does"));
    connected_ = new QCheckBox(tr("Co&nnected"));
    connected_->setObjectName(QStringLiteral("chkConnected"));
    connected_->setToolTip(tr("On a server unknown words are sent to it; elsewhere the game prints Unknown command"));
    auto *hint = new QLabel(tr("Click the keyboard, then press keys; Ctrl+click a key for the line that bound it."));
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);

    console_ = new QTextEdit;
    console_->setObjectName(QStringLiteral("txtConsole"));
    console_->setReadOnly(true);
    console_->setFocusPolicy(Qt::ClickFocus);
    console_->setStyleSheet(QStringLiteral("QTextEdit { background: #101010; color: #ffffff; }"));
    console_->setFont(QFont(QStringLiteral("monospace")));
    cvars_ = new QListWidget;
    cvars_->setObjectName(QStringLiteral("lstCvars"));
    cvars_->setToolTip(tr("Cvars changed since Exec"));
    picture_ = new KeyboardPicture;

    auto *top = new QHBoxLayout;
    top->addWidget(exec);
    top->addWidget(connected_);
    top->addWidget(hint, 1);
    auto *texts = new QSplitter(Qt::Horizontal);
    texts->addWidget(console_);
    texts->addWidget(cvars_);
    texts->setStretchFactor(0, 3);
    texts->setStretchFactor(1, 2);
    // About seven console lines; the keyboard takes the rest.
    console_->setMinimumHeight(console_->fontMetrics().lineSpacing() * 7);
    auto *body = new QSplitter(Qt::Vertical);
    body->addWidget(texts);
    body->addWidget(picture_);
    body->setStretchFactor(0, 1);
    body->setStretchFactor(1, 2);
    body->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(body, 1);

    connect(exec, &QPushButton::clicked, this, &TryKeysPanel::Exec);
    connect(connected_, &QCheckBox::toggled, this, [this](bool on) {
        if (simulator_)
            simulator_->setConnected(on);
    });
    connect(picture_, &KeyboardPicture::keyPressed, this, &TryKeysPanel::pressKey);
    connect(picture_, &KeyboardPicture::bindingWanted, this, &TryKeysPanel::showBinding);
}

TryKeysPanel::~TryKeysPanel() = default;

void TryKeysPanel::setEngine(ScriptEngine engine)
{
    if (engine == engine_ && simulator_)
        return;
    engine_ = engine;
    simulator_.reset();
    console_->clear();
    cvars_->clear();
    // The vocabularies may still be loading: the picture names keys once Exec has them.
    picture_->setEngine(engine, nullptr);
    picture_->setBinds({});
}

void TryKeysPanel::Exec()
{
    const QString path = documentPath_();
    const QFileInfo file(path);
    simulator_ = std::make_unique<KeySimulator>(engine_, vocabularies_.get().of(engine_),
                                                path.isEmpty() ? QString() : file.absolutePath());
    simulator_->setConnected(connected_->isChecked());
    picture_->setEngine(engine_, &vocabularies_.get().of(engine_));
    console_->clear();
    simulator_->exec(path.isEmpty() ? QStringLiteral("untitled.cfg") : file.fileName(),
                     QString::fromUtf8(editor_->TextUtf8()));
    appendConsole(simulator_->takeConsole());
    showState();
}

void TryKeysPanel::pressKey(const QString &keyName)
{
    if (!simulator_)
        Exec();
    picture_->flash(keyName);
    console_->append(QStringLiteral("<span style=\"color:#808080\">&gt; %1</span>").arg(keyName.toHtmlEscaped()));
    simulator_->press(keyName);
    appendConsole(simulator_->takeConsole());
    showState();
}

void TryKeysPanel::showBinding(const QString &keyName)
{
    if (!simulator_)
        Exec();
    const ScriptVocabulary &vocabulary = vocabularies_.get().of(engine_);
    const QString key = ReadKeyName(keyName, engine_, vocabulary).key;
    const QString current = simulator_->model().binding(key);
    const QString text = QString::fromUtf8(editor_->TextUtf8());
    // The bind that gave the key its current command; else the last bind of the key.
    const QList<ScriptStatement> statements = ParseScript(text, engine_);
    const ScriptStatement *found = nullptr;
    for (const ScriptStatement &s : statements) {
        if (s.command() != u"bind" || s.tokens.size() < 3 || ReadKeyName(s.tokens[1].text, engine_, vocabulary).key != key)
            continue;
        QStringList words;
        for (int i = 2; i < s.tokens.size(); ++i)
            words << s.tokens[i].text;
        const bool gaveIt = words.join(u' ') == current;
        if (!found || gaveIt)
            found = &s;
        if (gaveIt)
            break;
    }
    if (!found)
        return;
    const LineIndex lines(text);
    editor_->SetCaretPos(lines.lineOf(found->begin), lines.columnOf(found->begin));
    editor_->setFocus(Qt::OtherFocusReason);
}

void TryKeysPanel::appendConsole(const QList<EngineModel::ConsoleLine> &lines)
{
    const unsigned *table = ScriptColorTable();
    for (const EngineModel::ConsoleLine &line : lines) {
        QString html;
        for (const ConsoleSpan &span : ConsoleSpans(line.text, engine_)) {
            // Black text would vanish on the console's black; the game draws it on a dark grey.
            const unsigned rgb = span.color == 0 ? 0x404040 : table[span.color];
            html += QStringLiteral("<span style=\"color:#%1\">%2</span>")
                        .arg(rgb, 6, 16, QChar(u'0'))
                        .arg(span.text.toHtmlEscaped().replace(u' ', QStringLiteral("&nbsp;")));
        }
        if (line.count > 1)
            html += QStringLiteral(" <span style=\"color:#808080\">(%1 times)</span>").arg(line.count);
        console_->append(html.isEmpty() ? QStringLiteral("&nbsp;") : html);
    }
}

void TryKeysPanel::showState()
{
    cvars_->clear();
    for (const KeySimulator::CvarChange &change : simulator_->changedCvars())
        cvars_->addItem(QStringLiteral("%1: \"%2\" \u2192 \"%3\"").arg(change.name, change.before, change.after));
    picture_->setBinds(simulator_->model().binds());
}
