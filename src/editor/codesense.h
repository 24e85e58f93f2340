#pragma once
// The editor component: a QScintilla editor offering the operations, properties,
// command ids and events the rest of the program relies on.
//
// The document is kept in UTF-8 so that Windows-1252 characters such as the euro
// sign display as the games show them; files are converted where they are read and
// written, byte for byte.
//
// The editor knows none of its features: they attach from outside, listen to its
// signals and register the commands they own.

#include "editor/editoroptions.h"

#include <Qsci/qsciscintilla.h>

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

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

class ILoader;

// A document being filled, on any one thread at a time, before an editor shows it; the
// editor's own document is untouched meanwhile. Dropped unadopted, its text is freed.
class LoadingDocument
{
public:
    // Room for expectedBytes of UTF-8 and some typing, made ready here: fresh memory is
    // slow to touch, so a worker thread should construct it. maker is an editor's
    // DocumentMaker(), which must outlive the call.
    LoadingDocument(const QsciScintillaBase *maker, qsizetype expectedBytes);
    LoadingDocument(LoadingDocument &&other) noexcept : loader_(std::exchange(other.loader_, nullptr)) {}
    LoadingDocument &operator=(LoadingDocument &&other) noexcept;
    ~LoadingDocument();

    // False when memory ran out; the text is then incomplete.
    bool Append(QByteArrayView utf8);

private:
    friend class CodeSense;
    ILoader *loader_ = nullptr;
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
    explicit CodeSense(QWidget *parent = nullptr);
    ~CodeSense() override;

    // The whole document; NUL characters survive both ways.
    QString Text() const;
    void SetText(const QString &text);
    QByteArray TextUtf8() const;
    void SetTextUtf8(QByteArrayView utf8);

    // Replaces the document with one filled elsewhere, maybe on another thread; not an
    // edit: no Change, an empty undo history, unmodified. DocumentLoaded follows.
    void AdoptLoaded(LoadingDocument &&document);
    // What makes documents for this editor to adopt; asked on the GUI thread, it may then
    // be used on any one thread at a time.
    const QsciScintillaBase *DocumentMaker();

    // Highlighting: the lexer (owned by the editor from now on) of the named language.
    // The font chosen for the editor stays in force.
    void SetLanguage(const QString &name, QsciLexer *lexer);
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

    // Each setter raises OptionsChanged when the value changes.
    const EditorOptions &Options() const { return options_; }
    void SetOptions(const EditorOptions &options);
    void SetAutoIndentMode(int mode);
    int AutoIndentMode() const { return options_.autoIndentMode; }
    void SetLineNumbering(bool on);
    bool LineNumbering() const { return options_.lineNumbering; }
    void SetLineNumberStyle(int base);
    int LineNumberStyle() const { return options_.lineNumberStyle; }
    void SetLineToolTips(bool on);
    bool LineToolTips() const { return options_.lineToolTips; }
    void SetColorSyntax(bool on);
    bool ColorSyntax() const { return options_.colorSyntax; }

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
    // Hands a feature to the editor, which deletes it before anything else of its own.
    void Attach(QObject *feature);
    // Sees every command first; returning true means it ran the command itself.
    void SetCommandFilter(std::function<bool(qint32 id)> filter) { commandFilter_ = std::move(filter); }

    // Raised when a key goes down, before the editor applies it; returning true
    // withholds the key from the editor.
    using KeyDownHandler = std::function<bool(CodeSense *editor, int key, int shift)>;
    void SetKeyDownHandler(KeyDownHandler handler) { keyDown_ = std::move(handler); }

signals:
    // After every change of the text, the program's own changes included.
    void Change(CodeSense *editor);
    // A file replaced the document; unlike an edit this raises no Change.
    void DocumentLoaded(CodeSense *editor);
    void OptionsChanged(const EditorOptions &options);
    // A new lexer is in place: its styles start from their defaults.
    void LexerChanged();

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void beforeEdit(int position, int type, int length);
    void emitChange();
    void flushChange();
    void moveGapTowardStart();

    QString language_;
    EditorOptions options_;
    int silentChanges_ = 0;
    bool changePending_ = false;
    QHash<qint32, std::function<void()>> commands_;
    std::function<bool(qint32)> commandFilter_;
    KeyDownHandler keyDown_;
    std::vector<QPointer<QObject>> attached_;
    std::unique_ptr<QsciScintillaBase> documentMaker_;
    QTimer gapWalk_;
};
