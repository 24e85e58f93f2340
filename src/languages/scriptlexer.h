#pragma once
// Highlighting of one script language inside a QsciScintilla.
#include <Qsci/qscilexercustom.h>

#include <QByteArray>

#include "script/languagedefinition.h"
#include "script/tokenizer.h"

class ScriptLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    // languageName: the registered name ("JK2Script", "Q3Script"). Keywords and Operators
    // of the definition are both marked as keywords.
    ScriptLexer(const QString &languageName, const LanguageDefinition &definition, QObject *parent = nullptr);

    const char *language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;
    bool caseSensitive() const override;

    void styleText(int start, int end) override;
    // Also makes the editor style the invisible rest of its document in the background.
    void setEditor(QsciScintilla *editor) override;

    // Off: every byte gets the default style. The attached editor is restyled.
    void setColorSyntax(bool on);
    bool colorSyntax() const { return colorSyntax_; }

    const LanguageDefinition &definition() const { return definition_; }

private:
    void restyle();

    QByteArray name_;
    LanguageDefinition definition_;
    KeywordSet words_;
    ScriptSyntax syntax_;
    bool colorSyntax_ = true;
};
