#include "languages/scriptlexer.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>

#include <algorithm>
#include <cstdint>
#include <memory>

ScriptLexer::ScriptLexer(const QString &languageName, const LanguageDefinition &definition, QObject *parent)
    : QsciLexerCustom(parent),
      name_(languageName.toUtf8()),
      definition_(definition),
      words_(definition.Operators.isEmpty() || definition.Operators == definition.Keywords
                 ? definition.Keywords
                 : definition.Keywords + QLatin1Char('\n') + definition.Operators,
             definition.CaseSensitive),
      syntax_(ScriptSyntax::fromDefinition(definition.LineComment, definition.StringDelimiters,
                                           definition.Terminator)) {}

const char *ScriptLexer::language() const { return name_.constData(); }

QString ScriptLexer::description(int style) const {
    switch (static_cast<ScriptStyle>(style)) {
    case ScriptStyle::Default: return tr("Default");
    case ScriptStyle::Keyword: return tr("Keyword");
    case ScriptStyle::Comment: return tr("Comment");
    case ScriptStyle::String: return tr("String");
    case ScriptStyle::Terminator: return tr("Terminator");
    case ScriptStyle::Number: return tr("Number");
    }
    return {};
}

QColor ScriptLexer::defaultColor(int style) const {
    switch (static_cast<ScriptStyle>(style)) {
    case ScriptStyle::Keyword: return QColor(0x00, 0x00, 0x8b);
    case ScriptStyle::Comment: return QColor(0x00, 0x80, 0x00);
    case ScriptStyle::String: return QColor(0x8b, 0x25, 0x00);
    case ScriptStyle::Terminator: return QColor(0xc0, 0x00, 0xc0);
    case ScriptStyle::Number: return QColor(0x00, 0x80, 0x80);
    case ScriptStyle::Default: break;
    }
    return QColor(Qt::black);
}

QFont ScriptLexer::defaultFont(int style) const {
    QFont font = QsciLexerCustom::defaultFont(style);
    if (static_cast<ScriptStyle>(style) == ScriptStyle::Keyword) font.setBold(true);
    return font;
}

bool ScriptLexer::caseSensitive() const { return definition_.CaseSensitive; }

void ScriptLexer::setEditor(QsciScintilla *editor) {
    QsciLexerCustom::setEditor(editor);
    if (editor) editor->SendScintilla(QsciScintillaBase::SCI_SETIDLESTYLING, QsciScintillaBase::SC_IDLESTYLING_ALL);
}

void ScriptLexer::styleText(int start, int end) {
    QsciScintilla *sci = editor();
    if (!sci || end <= start) return;
    const auto length = static_cast<std::size_t>(end - start);
    std::unique_ptr<unsigned char[]> styles(new unsigned char[length]);
    if (colorSyntax_) {
        // Only the range is made contiguous, so the gap does not move on every keystroke.
        const auto address = static_cast<std::intptr_t>(
            sci->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start),
                               static_cast<long>(length)));
        StyleScript(reinterpret_cast<const char *>(address), length, words_, syntax_, styles.get());
    } else {
        std::fill_n(styles.get(), length, static_cast<unsigned char>(ScriptStyle::Default));
    }
    startStyling(start);
    sci->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(length),
                       static_cast<void *>(styles.get()));
}

void ScriptLexer::setColorSyntax(bool on) {
    if (on == colorSyntax_) return;
    colorSyntax_ = on;
    restyle();
}

void ScriptLexer::restyle() {
    QsciScintilla *sci = editor();
    if (!sci) return;
    // Marks the whole document unstyled; the next paint styles what is visible and
    // idle styling does the rest, so even a huge document stays responsive.
    startStyling(0);
    sci->viewport()->update();
}
