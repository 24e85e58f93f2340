#include "languages/scripthighlight.h"

#include "editor/codesense.h"
#include "languages/scriptlexer.h"
#include "script/scriptlanguage.h"

bool SetScriptLanguage(CodeSense *editor, const QString &name)
{
    const std::optional<LanguageDefinition> definition = RegisteredLanguage(name);
    if (!definition)
        return false;
    // Every editor gets a lexer of its own for the registered definition.
    auto *lexer = new ScriptLexer(name, *definition);
    editor->SetLanguage(name, lexer);
    lexer->setColorSyntax(editor->ColorSyntax());
    QObject::connect(editor, &CodeSense::OptionsChanged, lexer,
                     [lexer](const EditorOptions &options) { lexer->setColorSyntax(options.colorSyntax); });
    return true;
}
