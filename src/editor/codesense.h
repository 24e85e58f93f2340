#pragma once
// The editor component: a QScintilla editor offering the operations, properties,
// command ids and events the rest of the program relies on.
//
// The document is kept in UTF-8 so that Windows-1252 characters such as the euro
// sign display as the games show them; files are converted at the file boundary
// (OpenFile, SaveFile), byte for byte.

#include "editor/fileio.h"
#include "languages/languagedefinition.h"

#include <Qsci/qsciscintilla.h>

#include <QHash>
#include <functional>
#include <memory>

class EditorFeatures;
class ScriptLexer;

// A selection snapshot; the End members give the caret end. Columns count the
// characters before the position on its line.
struct EditorRange
{
    qint32 StartLineNo = 0;
    qint32 StartColNo = 0;
    qint32 EndLineNo = 0;
    qint32 EndColNo = 0;
    bool operator==(const EditorRange &) const = default;
};

class CodeSense : public QsciScintilla
{
    Q_OBJECT

public:
    enum Command : qint32 {
        cmdUndo = 129,
        cmdSelectAll = 137,
        cmdRedo = 139,
        cmdFindReplace = 169,
        cmdFindNext = 176,
        cmdRepeatNext = 187,
        cmdRecordMacro = 213,
        cmdPlayMacro1 = 214,
        cmdPlayMacro10 = 223,
        cmdProperties = 224,
    };
    // Error number of a save refused because the text holds a character the file cannot.
    static constexpr int UnencodableCharacterError = 1252;

    explicit CodeSense(QWidget *parent = nullptr);
    ~CodeSense() override;

    // The whole document; NUL characters survive both ways.
    QString Text() const;
    void SetText(const QString &text);
    QByteArray TextUtf8() const;
    void SetTextUtf8(QByteArrayView utf8);

    // Replaces the document with the file's text, leaving an empty undo history. Large
    // files are read and go in by pieces; progress (work done, work in all) hears of each.
    using LoadProgress = std::function<void(qint64 done, qint64 total)>;
    FileError OpenFile(const QString &path, const LoadProgress &progress = {});
    // Writes the document atomically; on failure the file on disk is untouched.
    FileError SaveFile(const QString &path, bool flag = false);

    static void RegisterLanguage(const QString &name, const LanguageDefinition &definition);
    static bool IsLanguageRegistered(const QString &name);
    // Selects a registered language; false (and nothing changes) for an unknown name.
    bool SetLanguage(const QString &name);
    QString Language() const { return language_; }

    QString SelText() const;
    void SetSelText(const QString &text);
    EditorRange GetSel(bool normalized) const;
    void SetSel(const EditorRange &range, bool makeVisible);
    QString GetLine(qint32 line) const;
    QString CurrentWord() const;
    void SetCaretPos(qint32 line, qint32 column);
    void InsertText(const QString &text);
    void ExecuteCmd(qint32 id);
    void Undo();

    // 0 off, 1 by scope, 2 by previous line.
    void SetAutoIndentMode(int mode);
    int AutoIndentMode() const { return autoIndentMode_; }
    void SetLineNumbering(bool on);
    bool LineNumbering() const { return lineNumbering_; }
    // Number base of the line numbers: 2, 8, 10 or 16.
    void SetLineNumberStyle(int base);
    int LineNumberStyle() const { return lineNumberStyle_; }
    void SetLineToolTips(bool on);
    bool LineToolTips() const { return lineToolTips_; }
    void SetColorSyntax(bool on);
    bool ColorSyntax() const { return colorSyntax_; }

    void SetFocus();
    void SetWidth(double twips);
    void SetHeight(double twips);
    double Width() const;
    double Height() const;

    // Character position of a line and column (a column past the line's end means its end).
    int PositionOf(qint32 line, qint32 column) const;
    qint32 ColumnOf(int position) const;

    // The editor's own commands beyond undo, redo and select all are supplied by
    // the features that own them.
    void SetCommandHandler(qint32 id, std::function<void()> handler);
    // Line numbers, indentation, find, repeat, macros and properties of this editor.
    EditorFeatures *Features() const { return features_.get(); }

    // Raised when a key goes down, before the editor applies it; returning true
    // withholds the key from the editor.
    using KeyDownHandler = std::function<bool(CodeSense *editor, int key, int shift)>;
    void SetKeyDownHandler(KeyDownHandler handler) { keyDown_ = std::move(handler); }

signals:
    // After every change of the text, the program's own changes included.
    void Change(CodeSense *editor);
    // A file replaced the document; unlike an edit this raises no Change.
    void DocumentLoaded(CodeSense *editor);

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyLexer();
    void beforeEdit(int position, int type, int length);
    void emitChange();
    void flushChange();

    QString language_;
    ScriptLexer *lexer_ = nullptr;
    int autoIndentMode_ = 2;
    bool lineNumbering_ = false;
    int lineNumberStyle_ = 10;
    bool lineToolTips_ = true;
    bool colorSyntax_ = true;
    int silentChanges_ = 0;
    bool changePending_ = false;
    QHash<qint32, std::function<void()>> commands_;
    KeyDownHandler keyDown_;
    std::unique_ptr<EditorFeatures> features_;
};
