#include "editing/propertiesdialog.h"

#include "foundation/prompts.h"
#include "editor/codesense.h"

#include <Qsci/qscilexer.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

// Window definitions measure at 96 dots per inch, Scintilla sizes fonts in points.
constexpr double PointsPerPixel = 72.0 / 96.0;
constexpr int LexerStyles = 128;

const struct
{
    const char *name;
    int weight;
} Weights[] = {{"Thin", 100}, {"Extra Light", 200}, {"Light", 300}, {"Normal", 400},   {"Medium", 500},
               {"Demi Bold", 600}, {"Bold", 700},    {"Extra Bold", 800}, {"Black", 900}};

// Line numbering choices; base 0 stands for none.
const struct
{
    const char *name;
    int base;
} Numberings[] = {{"None", 0}, {"Hex", 16}, {"Decimal", 10}, {"Binary", 2}, {"Octal", 8}};

QIcon Swatch(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

EditorAppearance ReadAppearance(const CodeSense *editor)
{
    EditorAppearance appearance;
    // The name comes with a terminating NUL beyond the length asked for first.
    QByteArray family(editor->SendScintilla(Sci::SCI_STYLEGETFONT, Sci::STYLE_DEFAULT) + 1, '\0');
    editor->SendScintilla(Sci::SCI_STYLEGETFONT, Sci::STYLE_DEFAULT, family.data());
    appearance.family = QString::fromUtf8(family.constData());
    const double points = editor->SendScintilla(Sci::SCI_STYLEGETSIZEFRACTIONAL, Sci::STYLE_DEFAULT) /
                          double(Sci::SC_FONT_SIZE_MULTIPLIER);
    if (points > 0)
        appearance.pixelSize = qRound(points / PointsPerPixel);
    // QScintilla hands Qt's weight over negated.
    const long weight = std::abs(editor->SendScintilla(Sci::SCI_STYLEGETWEIGHT, Sci::STYLE_DEFAULT));
    if (weight >= 100 && weight <= 900)
        appearance.weight = static_cast<int>(weight);
    return appearance;
}

void ApplyAppearance(CodeSense *editor, const EditorAppearance &appearance)
{
    QFont font(appearance.family);
    font.setPointSizeF(appearance.pixelSize * PointsPerPixel);
    font.setWeight(QFont::Weight(appearance.weight));
    font.setStyleHint(QFont::TypeWriter);
    QsciLexer *lexer = editor->lexer();
    if (!lexer) {
        editor->setFont(font);
        if (appearance.colors.contains(EditorAppearance::PlainText))
            editor->setColor(appearance.colors.value(EditorAppearance::PlainText));
        return;
    }
    for (int style = 0; style < LexerStyles; ++style) {
        if (lexer->description(style).isEmpty())
            continue;
        QFont styleFont = font;
        const int ownWeight = lexer->defaultFont(style).weight();
        if (ownWeight > QFont::Normal)
            styleFont.setWeight(QFont::Weight(std::max(ownWeight, appearance.weight)));
        styleFont.setItalic(lexer->defaultFont(style).italic());
        lexer->setFont(styleFont, style);
        if (appearance.colors.contains(style))
            lexer->setColor(appearance.colors.value(style), style);
    }
}

QList<HighlightStyle> HighlightStyles(const CodeSense *editor)
{
    QList<HighlightStyle> styles;
    QsciLexer *lexer = editor->lexer();
    if (!lexer) {
        styles.append({EditorAppearance::PlainText, QObject::tr("Text"), editor->color()});
        return styles;
    }
    for (int style = 0; style < LexerStyles; ++style)
        if (const QString name = lexer->description(style); !name.isEmpty())
            styles.append({style, name, lexer->color(style)});
    return styles;
}

PropertiesDialog::PropertiesDialog(CodeSense *editor, const EditorAppearance &appearance, QWidget *parent,
                                   std::function<void(const EditorAppearance &)> changed)
    : QDialog(parent), editor_(editor), appearance_(appearance), changed_(std::move(changed))
{
    setObjectName(QStringLiteral("PropertiesDialog"));
    setWindowTitle(tr("Editor Properties"));

    auto *fontBox = new QGroupBox(tr("Font"), this);
    auto *fontLayout = new QFormLayout(fontBox);
    fontFamily = new QFontComboBox(fontBox);
    fontFamily->setObjectName(QStringLiteral("fontFamily"));
    fontFamily->setCurrentFont(QFont(appearance.family));
    fontSize = new QSpinBox(fontBox);
    fontSize->setObjectName(QStringLiteral("fontSize"));
    fontSize->setRange(6, 72);
    fontSize->setSuffix(tr(" pixels"));
    fontSize->setValue(appearance.pixelSize);
    fontWeight = new QComboBox(fontBox);
    fontWeight->setObjectName(QStringLiteral("fontWeight"));
    for (const auto &w : Weights)
        fontWeight->addItem(tr(w.name), w.weight);
    fontWeight->setCurrentIndex(std::max(0, fontWeight->findData(appearance.weight)));
    fontLayout->addRow(tr("&Family:"), fontFamily);
    fontLayout->addRow(tr("&Size:"), fontSize);
    fontLayout->addRow(tr("&Weight:"), fontWeight);

    auto *colorBox = new QGroupBox(tr("Colours"), this);
    auto *colorLayout = new QVBoxLayout(colorBox);
    styleList = new QListWidget(colorBox);
    styleList->setObjectName(QStringLiteral("styleList"));
    chooseColorButton = new QPushButton(tr("&Colour..."), colorBox);
    chooseColorButton->setObjectName(QStringLiteral("chooseColorButton"));
    colorLayout->addWidget(styleList);
    colorLayout->addWidget(chooseColorButton);
    fillStyles();

    auto *settingsBox = new QGroupBox(tr("Settings"), this);
    auto *settings = new QFormLayout(settingsBox);
    tabWidth = new QSpinBox(settingsBox);
    tabWidth->setObjectName(QStringLiteral("tabWidth"));
    tabWidth->setRange(1, 16);
    tabWidth->setValue(editor->tabWidth());
    lineNumberTips = new QCheckBox(tr("Line number &tips while scrolling"), settingsBox);
    lineNumberTips->setObjectName(QStringLiteral("lineNumberTips"));
    lineNumberTips->setChecked(editor->LineToolTips());
    syntaxHighlighting = new QCheckBox(tr("S&yntax highlighting"), settingsBox);
    syntaxHighlighting->setObjectName(QStringLiteral("syntaxHighlighting"));
    syntaxHighlighting->setChecked(editor->ColorSyntax());
    autoIndent = new QComboBox(settingsBox);
    autoIndent->setObjectName(QStringLiteral("autoIndent"));
    autoIndent->addItems({tr("Off"), tr("By scope"), tr("By previous line")});
    autoIndent->setCurrentIndex(std::clamp(editor->AutoIndentMode(), 0, 2));
    lineNumbering = new QComboBox(settingsBox);
    lineNumbering->setObjectName(QStringLiteral("lineNumbering"));
    for (const auto &n : Numberings)
        lineNumbering->addItem(tr(n.name), n.base);
    lineNumbering->setCurrentIndex(
        editor->LineNumbering() ? std::max(0, lineNumbering->findData(editor->LineNumberStyle())) : 0);
    settings->addRow(tr("Tab &width:"), tabWidth);
    settings->addRow(tr("&Auto indent:"), autoIndent);
    settings->addRow(tr("&Line numbering:"), lineNumbering);
    settings->addRow(lineNumberTips);
    settings->addRow(syntaxHighlighting);

    closeButton = new QPushButton(tr("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setDefault(true);

    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(fontBox);
    left->addWidget(settingsBox);
    columns->addLayout(left);
    columns->addWidget(colorBox);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(closeButton);
    layout->addLayout(bottom);

    connect(fontFamily, &QFontComboBox::currentFontChanged, this, &PropertiesDialog::fontChanged);
    connect(fontSize, &QSpinBox::valueChanged, this, &PropertiesDialog::fontChanged);
    connect(fontWeight, &QComboBox::currentIndexChanged, this, &PropertiesDialog::fontChanged);
    connect(chooseColorButton, &QPushButton::clicked, this, &PropertiesDialog::chooseColor);
    connect(styleList, &QListWidget::itemDoubleClicked, this, &PropertiesDialog::chooseColor);
    connect(tabWidth, &QSpinBox::valueChanged, editor, [editor](int width) { editor->setTabWidth(width); });
    connect(lineNumberTips, &QCheckBox::toggled, editor, &CodeSense::SetLineToolTips);
    connect(syntaxHighlighting, &QCheckBox::toggled, editor, &CodeSense::SetColorSyntax);
    connect(autoIndent, &QComboBox::currentIndexChanged, editor, &CodeSense::SetAutoIndentMode);
    connect(lineNumbering, &QComboBox::currentIndexChanged, this, &PropertiesDialog::lineNumberingChanged);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

void PropertiesDialog::fillStyles()
{
    const int row = std::max(0, styleList->currentRow());
    styleList->clear();
    for (const HighlightStyle &style : HighlightStyles(editor_)) {
        auto *item = new QListWidgetItem(Swatch(style.color), style.name, styleList);
        item->setData(Qt::UserRole, style.style);
        item->setData(Qt::UserRole + 1, style.color);
    }
    styleList->setCurrentRow(std::min(row, styleList->count() - 1));
}

void PropertiesDialog::fontChanged()
{
    appearance_.family = fontFamily->currentFont().family();
    appearance_.pixelSize = fontSize->value();
    appearance_.weight = fontWeight->currentData().toInt();
    changed_(appearance_);
}

void PropertiesDialog::chooseColor()
{
    const QListWidgetItem *item = styleList->currentItem();
    if (!item)
        return;
    const QColor current = item->data(Qt::UserRole + 1).value<QColor>();
    const std::optional<QColor> color =
        services().prompts->chooseColor(this, current, tr("Colour of %1").arg(item->text()));
    if (!color)
        return;
    appearance_.colors.insert(item->data(Qt::UserRole).toInt(), *color);
    changed_(appearance_);
    fillStyles();
}

void PropertiesDialog::lineNumberingChanged(int index)
{
    const int base = lineNumbering->itemData(index).toInt();
    if (base == 0) {
        editor_->SetLineNumbering(false);
        return;
    }
    editor_->SetLineNumbering(true);
    editor_->SetLineNumberStyle(base);
}
