#pragma once
// The editor's properties dialog: font, the colour of each highlight style, tab width
// and the display and indentation options. Every change applies at once.

#include <QColor>
#include <QDialog>
#include <QMap>
#include <QString>

class CodeSense;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QListWidget;
class QPushButton;
class QSpinBox;

// The look the user chose; kept apart from the lexer so that a new lexer gets it too.
struct EditorAppearance
{
    // Used as the style key of the text colour while no lexer is set.
    static constexpr int PlainText = -1;

    QString family;
    int pixelSize = 13;
    int weight = 400; // 100 (thin) to 900 (black)
    QMap<int, QColor> colors; // by lexer style; PlainText without a lexer
};

// The appearance the editor now shows (font of its default style, no colour overrides).
EditorAppearance ReadAppearance(const CodeSense *editor);
// Sets the font on every style, keeping heavier styles (bold keywords) heavier, and
// the chosen colours.
void ApplyAppearance(CodeSense *editor, const EditorAppearance &appearance);

// A highlight style as the dialog lists it.
struct HighlightStyle
{
    int style;
    QString name;
    QColor color;
};
QList<HighlightStyle> HighlightStyles(const CodeSense *editor);

class PropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    // `changed` receives each new appearance; the editor's own properties are written directly.
    PropertiesDialog(CodeSense *editor, const EditorAppearance &appearance, QWidget *parent,
                     std::function<void(const EditorAppearance &)> changed);

    QFontComboBox *fontFamily;
    QSpinBox *fontSize;
    QComboBox *fontWeight;
    QListWidget *styleList;
    QPushButton *chooseColorButton;
    QSpinBox *tabWidth;
    QCheckBox *lineNumberTips;
    QCheckBox *syntaxHighlighting;
    QComboBox *autoIndent;
    QComboBox *lineNumbering;
    QPushButton *closeButton;

public slots:
    void chooseColor();

private:
    void fontChanged();
    void fillStyles();
    void lineNumberingChanged(int index);

    CodeSense *editor_;
    EditorAppearance appearance_;
    std::function<void(const EditorAppearance &)> changed_;
};
