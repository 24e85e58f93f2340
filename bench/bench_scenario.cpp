// Drives the real editor on generated scripts and sets every figure beside a baseline
// measured in the same run, so the ratios hold on a busy machine.
//
//   bench_scenario [--sizes 1,10,100] [--reps 3] [--keys 20] [--dir DIR] [--out report.json]
//                  [--only startup,open,loading,styling,find,save,live,memory,checks,backups]
//   bench_scenario --sizes 1,10,100 --dir DIR --only files   (only writes the scripts)
//
// Start-up and memory are measured in child processes of this same program, so each
// starts from a fresh process.
#include "app/frmMain.h"
#include "editor/codesense.h"
#include "codec/cp1252.h"
#include "insight/scriptinsight.h"
#include "document/documentbackup.h"
#include "document/documentfile.h"
#include "languages/scripthighlight.h"
#include "script/scriptlanguage.h"
#include "languages/scriptlexer.h"
#include "script/wordfile.h"
#include "foundation/appfolder.h"
#include "commentlexer.h"
#include "scriptgen.h"

#if __has_include("editing/findreplace.h")
#include "editing/findreplace.h"
#define TAVREL_HAS_FIND 1
#endif

#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercustom.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QProcess>
#include <QSysInfo>
#include <QTimer>
#include <QDateTime>
#include <QFileInfo>
#include <QThread>
#include <QWindow>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Sci = QsciScintillaBase;
constexpr int kWindowWidth = 680;
constexpr int kWindowHeight = 500;

double msSince(const QElapsedTimer &timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

long length(const QsciScintilla &editor) { return editor.SendScintilla(Sci::SCI_GETLENGTH); }

void loadBytes(QsciScintilla &editor, const QByteArray &bytes) {
    editor.SendScintilla(Sci::SCI_CLEARALL);
    editor.SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
}

// Runs the event loop until the target gets a paint event; returns when that came, in ms
// since the given timer started.
double awaitPaint(QObject *target, const QElapsedTimer &since) {
    struct Watch : QObject {
        const QElapsedTimer *since = nullptr;
        double at = -1;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint && at < 0) at = msSince(*since);
            return false;
        }
    } watch;
    watch.since = &since;
    target->installEventFilter(&watch);
    QElapsedTimer limit;
    limit.start();
    while (watch.at < 0 && limit.elapsed() < 30000) QCoreApplication::processEvents();
    target->removeEventFilter(&watch);
    return watch.at;
}

// Returns once the editor has painted at least once since the call.
void waitForPaint(QWidget *viewport) {
    viewport->update();
    QElapsedTimer since;
    since.start();
    awaitPaint(viewport, since);
}

// Opens a file as the Open command does and runs the event loop until the window's title
// names it (a large file loads in the background) and the text's gap is at the start,
// where typing begins; the longest gap between turns of the loop meanwhile, in ms.
double openInWindow(frmMain &window, const QString &path) {
    const QString name = QFileInfo(path).fileName();
    QElapsedTimer sinceTurn;
    double longest = 0;
    QTimer ticks;
    ticks.setInterval(0);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, double(sinceTurn.nsecsElapsed()) / 1e6);
        sinceTurn.restart();
    });
    ticks.start();
    sinceTurn.start();
    window.OpenDocumentFile(path);
    while (!window.windowTitle().contains(name) || window.CodeSense1->SendScintilla(Sci::SCI_GETGAPPOSITION) > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();  // the paint that follows
    return std::max(longest, double(sinceTurn.nsecsElapsed()) / 1e6);
}

// Runs the event loop until the whole document is styled; the longest step between two
// turns of the loop and the total time.
struct BackgroundStyling {
    double longestStallMs = 0;
    double totalMs = 0;
    bool finished = false;
};

BackgroundStyling styleInBackground(QsciScintilla &editor, int limitMs = 120000) {
    BackgroundStyling result;
    QElapsedTimer total, sinceTick;
    total.start();
    sinceTick.start();
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        result.longestStallMs = std::max(result.longestStallMs, msSince(sinceTick));
        sinceTick.restart();
    });
    tick.start();
    while (editor.SendScintilla(Sci::SCI_GETENDSTYLED) < length(editor) && total.elapsed() < limitMs)
        QCoreApplication::processEvents();
    tick.stop();
    result.totalMs = msSince(total);
    result.finished = editor.SendScintilla(Sci::SCI_GETENDSTYLED) >= length(editor);
    return result;
}

class CommentOnlyLexer : public QsciLexerCustom {
public:
    using QsciLexerCustom::QsciLexerCustom;
    const char *language() const override { return "CommentsOnly"; }
    QString description(int style) const override { return style <= 1 ? QStringLiteral("Style") : QString(); }
    void styleText(int start, int end) override {
        const auto count = static_cast<std::size_t>(end - start);
        std::unique_ptr<unsigned char[]> styles(new unsigned char[count]);
        const auto *text = reinterpret_cast<const char *>(editor()->SendScintilla(
            Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), static_cast<long>(count)));
        StyleCommentsOnly(text, count, styles.get());
        startStyling(start);
        editor()->SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<unsigned long>(count),
                                static_cast<void *>(styles.get()));
    }
};

struct Row {
    QString name;
    QString size;
    double ours = 0;
    QString baselineName;
    double baseline = 0;  // 0: the figure is judged against a fixed limit instead
    QString unit = QStringLiteral("ms");
    double limit = 0;      // the highest ratio (or value, without a baseline) that passes
    bool pass() const { return (baseline > 0 ? ours / baseline : ours) <= limit; }
};

class Report {
public:
    void add(Row row) {
        const double shown = row.baseline > 0 ? row.ours / row.baseline : row.ours;
        std::printf("  %-34s %-7s %10.2f %s  vs %10.2f  (%s)  -> %.2f %s\n", qPrintable(row.name),
                    qPrintable(row.size), row.ours, qPrintable(row.unit), row.baseline,
                    qPrintable(row.baselineName), shown, row.pass() ? "ok" : "MISSED");
        std::fflush(stdout);
        rows_.push_back(std::move(row));
    }
    const std::vector<Row> &rows() const { return rows_; }

private:
    std::vector<Row> rows_;
};

QString sizeName(int megabytes) { return QStringLiteral("%1 MB").arg(megabytes); }

QString scriptPath(const QString &dir, int megabytes) {
    return QDir(dir).filePath(QStringLiteral("script_%1mb.cfg").arg(megabytes));
}

void registerLanguages() {
    RegisterScriptLanguage(QStringLiteral("JK2Script"), ApplicationFile(QStringLiteral("pf/operators.txt")));
    RegisterScriptLanguage(QStringLiteral("Q3Script"), ApplicationFile(QStringLiteral("pf/q3operators.txt")));
}

// ---- open ----------------------------------------------------------------------------

void benchOpen(Report &report, const QString &path, int megabytes, int reps) {
    std::vector<double> ours, bare;
    for (int rep = 0; rep < reps; ++rep) {
        {
            CodeSense editor;
            SetScriptLanguage(&editor, QStringLiteral("JK2Script"));
            editor.resize(kWindowWidth, kWindowHeight);
            editor.show();
            waitForPaint(editor.viewport());
            QElapsedTimer timer;
            timer.start();
            OpenFile(&editor, path);
            editor.viewport()->repaint();
            ours.push_back(msSince(timer));
        }
        QCoreApplication::processEvents();
        {
            QsciScintilla editor;
            editor.resize(kWindowWidth, kWindowHeight);
            editor.show();
            waitForPaint(editor.viewport());
            QElapsedTimer timer;
            timer.start();
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            loadBytes(editor, file.readAll());
            editor.viewport()->repaint();
            bare.push_back(msSince(timer));
        }
        QCoreApplication::processEvents();
    }
    report.add({QStringLiteral("open + first paint"), sizeName(megabytes), median(ours),
                QStringLiteral("bare SCI_ADDTEXT + paint"), median(bare), QStringLiteral("ms"), 1.2});
}

// ---- styling -------------------------------------------------------------------------

void benchStyling(Report &report, const QByteArray &utf8, int megabytes, int reps) {
    QStringList lines;
    ReadLines(ApplicationFile(QStringLiteral("pf/operators.txt")), lines);
    const LanguageDefinition definition = ScriptLanguageDefinition(WordListText(lines));

    // One document, its lexer swapped between rounds, so every lexer styles the same bytes.
    QsciScintilla editor;
    editor.setUtf8(true);
    loadBytes(editor, utf8);
    ScriptLexer ours(QStringLiteral("JK2Script"), definition);
    CommentOnlyLexer comments;
    QsciLexerCPP cpp;
    std::vector<double> oursMs, commentsMs, cppMs;
    auto style = [&](QsciLexer *lexer, std::vector<double> &times) {
        editor.setLexer(lexer);
        QElapsedTimer timer;
        timer.start();
        editor.SendScintilla(Sci::SCI_COLOURISE, 0, -1);
        times.push_back(msSince(timer));
        if (editor.SendScintilla(Sci::SCI_GETENDSTYLED) < length(editor)) qWarning("styling stopped short");
        editor.setLexer(nullptr);
    };
    for (int rep = 0; rep < reps; ++rep) {
        style(&ours, oursMs);
        style(&comments, commentsMs);
        style(&cpp, cppMs);
    }
    report.add({QStringLiteral("full styling"), sizeName(megabytes), median(oursMs),
                QStringLiteral("QsciLexerCPP"), median(cppMs), QStringLiteral("ms"), 1.0});
    report.add({QStringLiteral("full styling"), sizeName(megabytes), median(oursMs),
                QStringLiteral("comment-only lexer"), median(commentsMs), QStringLiteral("ms"), 2.0});
}

// ---- find ----------------------------------------------------------------------------

void benchFind(Report &report, const QString &path, const QByteArray &utf8, int megabytes, int reps) {
    CodeSense ours;
    OpenFile(&ours, path);
    QsciScintilla bare;
    bare.setUtf8(true);
    loadBytes(bare, utf8);
    const QByteArray needle(kNeedle);
    std::vector<double> oursMs, bareMs;
    for (int rep = 0; rep < reps; ++rep) {
        ours.SendScintilla(Sci::SCI_GOTOPOS, 0);
        QElapsedTimer timer;
        timer.start();
#ifdef TAVREL_HAS_FIND
        FindOptions options;
        options.text = QString::fromLatin1(needle);
        options.wrapAround = false;
        const bool found = FindNextMatch(&ours, options) == FindResult::Found;
#else
        const bool found = ours.findFirst(QString::fromLatin1(needle), false, false, false, false);
#endif
        oursMs.push_back(msSince(timer));
        if (!found) qWarning("our find missed the word");

        timer.restart();
        bare.SendScintilla(Sci::SCI_SETSEARCHFLAGS, 0);
        bare.SendScintilla(Sci::SCI_SETTARGETRANGE, 0, length(bare));
        const long at = bare.SendScintilla(Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()),
                                           needle.constData());
        bareMs.push_back(msSince(timer));
        if (at < 0) qWarning("SCI_SEARCHINTARGET missed the word");
    }
    report.add({QStringLiteral("find next (word at the end)"), sizeName(megabytes), median(oursMs),
                QStringLiteral("bare SCI_SEARCHINTARGET"), median(bareMs), QStringLiteral("ms"), 1.2});
}

// ---- save ----------------------------------------------------------------------------

void benchSave(Report &report, const QString &dir, const QString &path, int megabytes, int reps) {
    CodeSense editor;
    OpenFile(&editor, path);
    QFile source(path);
    source.open(QIODevice::ReadOnly);
    const QByteArray bytes = source.readAll();
    const QString oursPath = QDir(dir).filePath(QStringLiteral("saved_ours.cfg"));
    const QString barePath = QDir(dir).filePath(QStringLiteral("saved_qfile.cfg"));
    std::vector<double> oursMs, bareMs, syncedMs;
    for (int rep = 0; rep < reps; ++rep) {
        QFile::remove(oursPath);
        QFile::remove(barePath);
        QElapsedTimer timer;
        timer.start();
        const FileError error = SaveFile(&editor, oursPath);
        oursMs.push_back(msSince(timer));
        if (!error.ok()) qWarning("save failed: %s", qPrintable(error.description));

        timer.restart();
        QFile file(barePath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        file.close();
        bareMs.push_back(msSince(timer));

        // What an atomic save cannot skip: the data on the disk before the rename.
        QFile::remove(barePath);
        timer.restart();
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        file.flush();
        ::fsync(file.handle());
        file.close();
        syncedMs.push_back(msSince(timer));
    }
    QFile saved(oursPath);
    saved.open(QIODevice::ReadOnly);
    if (saved.readAll() != bytes) qWarning("the saved file differs from the opened one");
    QFile::remove(oursPath);
    QFile::remove(barePath);
    // Judged against a write that is as durable as the save: without the sync a power cut
    // can leave a damaged script, which an atomic save exists to prevent.
    report.add({QStringLiteral("save (encode + atomic write)"), sizeName(megabytes), median(oursMs),
                QStringLiteral("QFile::write + fsync; without fsync %1 ms").arg(median(bareMs), 0, 'f', 2),
                median(syncedMs), QStringLiteral("ms"), 1.5});
}

// ---- the main window on 100 MB: background styling and typing ------------------------

// Types one character (CR: the Return key) and returns the time from the key event to the
// end of the repaint it causes.
double typeKey(QsciScintilla &editor, char c) {
    const int key = c == '\r' ? int(Qt::Key_Return) : int(QChar(c).toUpper().unicode());
    const QString text = c == '\r' ? QStringLiteral("\r") : QString(QChar(c));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(&editor, &press);
    QApplication::sendEvent(&editor, &release);
    editor.viewport()->repaint();
    return msSince(timer);
}

// Latencies of keys typed at the start, middle and end of the document, each from the key
// event to the end of the repaint it causes.
std::vector<std::vector<double>> typeAtThreePlaces(QsciScintilla &editor, int keysPerPlace, bool styled) {
    const QByteArray typed("bind x \"vstr a_1\";\r");
    const long middleLine = editor.SendScintilla(Sci::SCI_GETLINECOUNT) / 2;
    const long positions[] = {0, editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, middleLine), -1};
    std::vector<std::vector<double>> result;
    for (long position : positions) {
        if (styled) styleInBackground(editor);
        editor.SendScintilla(Sci::SCI_GOTOPOS, position < 0 ? length(editor) : position);
        editor.SendScintilla(Sci::SCI_SCROLLCARET);
        editor.viewport()->repaint();
        QCoreApplication::processEvents();
        std::vector<double> latencies;
        for (int k = 0; k < keysPerPlace; ++k) {
            latencies.push_back(typeKey(editor, typed[k % typed.size()]));
            // The rest of the loop turn (an idle styling step) falls between keystrokes, as it would for a typist.
            QCoreApplication::processEvents();
        }
        result.push_back(std::move(latencies));
    }
    return result;
}

void benchLive(Report &report, const QString &path, const QByteArray &bytes, int megabytes, int keysPerPlace) {
    std::vector<std::vector<double>> bareLatencies;
    {
        QsciScintilla bare;
        bare.resize(kWindowWidth, kWindowHeight);
        bare.show();
        loadBytes(bare, bytes);
        bareLatencies = typeAtThreePlaces(bare, keysPerPlace, false);
    }
    // The same background styling by the bare component with the comment-only lexer.
    BackgroundStyling bareStyling;
    {
        QsciScintilla bare;
        CommentOnlyLexer comments;
        bare.setLexer(&comments);
        bare.SendScintilla(Sci::SCI_SETIDLESTYLING, Sci::SC_IDLESTYLING_ALL);
        bare.resize(kWindowWidth, kWindowHeight);
        bare.show();
        loadBytes(bare, cp1252::decodeToUtf8(bytes));
        bare.viewport()->repaint();
        bareStyling = styleInBackground(bare);
        bare.setLexer(nullptr);
    }
    frmMain window;
    window.Form_Load();
    CodeSense *editor = window.CodeSense1;
    window.show();
    openInWindow(window, path);
    editor->viewport()->repaint();
    const BackgroundStyling styling = styleInBackground(*editor);
    if (!styling.finished) qWarning("background styling did not finish");
    report.add({QStringLiteral("longest stall, background styling"), sizeName(megabytes), styling.longestStallMs,
                QStringLiteral("limit (bare + comment-only lexer: %1 ms)").arg(bareStyling.longestStallMs, 0, 'f', 2), 0,
                QStringLiteral("ms"), 16});
    std::printf("    (background styling took %.0f ms, bare with the comment-only lexer %.0f ms)\n", styling.totalMs,
                bareStyling.totalMs);

    const std::vector<std::vector<double>> latencies = typeAtThreePlaces(*editor, keysPerPlace, true);
    const char *const names[] = {"start", "middle", "end"};
    for (std::size_t i = 0; i < latencies.size(); ++i) {
        const QString size = sizeName(megabytes) + QLatin1Char(' ') + QLatin1String(names[i]);
        // The first key after a jump moves the text buffer's gap there: a copy of the text
        // between, paid once per jump, by the bare component too.
        report.add({QStringLiteral("first key after a jump"), size, latencies[i].front(),
                    QStringLiteral("limit (bare, no lexer: %1 ms)").arg(bareLatencies[i].front(), 0, 'f', 2), 0,
                    QStringLiteral("ms"), 5});
        const std::vector<double> following(latencies[i].begin() + 1, latencies[i].end());
        const std::vector<double> bareFollowing(bareLatencies[i].begin() + 1, bareLatencies[i].end());
        for (double p : {0.5, 0.99}) {
            report.add({QStringLiteral("keystroke p%1").arg(p * 100), size, percentile(following, p),
                        QStringLiteral("limit (bare, no lexer: %1 ms)").arg(percentile(bareFollowing, p), 0, 'f', 2), 0,
                        QStringLiteral("ms"), 5});
        }
    }
}

// ---- typing with the script checks on and off -----------------------------------------

struct TypingSession {
    std::vector<double> latencies;  // key event to repaint done
    double longestStallMs = 0;      // longest turn of the event loop between keys
    int checks = 0;                 // times the checks finished and were shown
    double longestPauseMs = 0;
    // The same two measures in the main thread's own CPU time, which a busy machine's
    // other processes do not inflate.
    std::vector<double> cpuLatencies;
    double longestStallCpuMs = 0;
};

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

// Types a line at the end of the script in bursts of ten keys; after each burst the
// typist pauses until the checks have been shown (or two seconds without them), as a
// player does between words. Everything the checks do on the main thread shows up as a
// stall between keys or as slower keys.
// `settled` (when given) ends a pause instead of the checks being shown.
TypingSession typeWithPauses(frmMain &window, int keys, const std::function<bool()> &settled = {},
                             int longestPauseMs = 2000) {
    CodeSense *editor = window.CodeSense1;
    auto *insight = window.Insight();
    TypingSession session;
    if (insight) QObject::connect(insight, &ScriptInsight::refreshed, [&] { ++session.checks; });
    QElapsedTimer sinceTick;
    double tickCpu = threadCpuMs();
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        session.longestStallMs = std::max(session.longestStallMs, msSince(sinceTick));
        session.longestStallCpuMs = std::max(session.longestStallCpuMs, threadCpuMs() - tickCpu);
        tickCpu = threadCpuMs();
        sinceTick.restart();
    });
    editor->SendScintilla(Sci::SCI_GOTOPOS, length(*editor));
    editor->SendScintilla(Sci::SCI_SCROLLCARET);
    editor->viewport()->repaint();
    QCoreApplication::processEvents();
    const QByteArray typed("seta cl_name \"^1Jedi ^7Knight\"; bind x \"vstr a_1\"\r");
    sinceTick.start();
    tick.start();
    for (int k = 0; k < keys; ++k) {
        const double keyCpu = threadCpuMs();
        session.latencies.push_back(typeKey(*editor, typed[k % typed.size()]));
        session.cpuLatencies.push_back(threadCpuMs() - keyCpu);
        sinceTick.restart();  // the key itself is measured above, not as a stall
        tickCpu = threadCpuMs();
        QCoreApplication::processEvents();
        if (k % 10 == 9) {
            const int before = session.checks;
            QElapsedTimer pause;
            pause.start();
            const auto done = [&] { return settled ? settled() : session.checks != before; };
            while (!done() && pause.elapsed() < longestPauseMs) QCoreApplication::processEvents();
            session.longestPauseMs = std::max(session.longestPauseMs, double(pause.elapsed()));
        }
    }
    tick.stop();
    return session;
}

// Keystroke p50 and p99 and the longest stall of a session with a feature on, each judged
// by its limit with the same session without it shown beside.
void reportTypingBeside(Report &report, const QString &size, const QString &feature, const QString &shortName,
                        const TypingSession &with, const TypingSession &without) {
    for (double p : {0.5, 0.99}) {
        report.add({QStringLiteral("keystroke p%1, %2 on").arg(p * 100).arg(feature), size, percentile(with.latencies, p),
                    QStringLiteral("limit (%1 off: %2 ms)").arg(shortName).arg(percentile(without.latencies, p), 0, 'f', 2),
                    0, QStringLiteral("ms"), 5});
    }
    report.add({QStringLiteral("longest stall between keys, %1 on").arg(shortName), size, with.longestStallMs,
                QStringLiteral("limit (%1 off: %2 ms)").arg(shortName).arg(without.longestStallMs, 0, 'f', 2), 0,
                QStringLiteral("ms"), 16});
}

void benchTypingWithChecks(Report &report, const QString &path, int megabytes, int keys) {
    TypingSession with, without;
    {
        frmMain window;
        window.Form_Load();
        openInWindow(window, path);
        styleInBackground(*window.CodeSense1);
        with = typeWithPauses(window, keys);
    }
    {
        frmMain window;
        window.Form_Load();
        delete window.Insight();
        openInWindow(window, path);
        styleInBackground(*window.CodeSense1);
        without = typeWithPauses(window, keys);
    }
    const QString size = sizeName(megabytes) + QStringLiteral(" end");
    std::printf("    (the checks finished and were shown %d times while typing)\n", with.checks);
    // Judged by the keystroke limit: between runs on a small machine the ratio of the two
    // sessions swings either way (0.6x to 2x at p99, about a millisecond).
    reportTypingBeside(report, size, QStringLiteral("script checks"), QStringLiteral("checks"), with, without);
}

// ---- typing with backups of unsaved work on and off ----------------------------------

// Without the checks, so the backups are all that differs. Each burst of ten keys is
// followed by a pause until a backup of it is on disk: the piece-by-piece copy off the
// editor falls between keys and the write overlaps the next burst. The session without
// backups pauses as long as the longest pause with them.
void benchTypingWithBackups(Report &report, const QString &path, int megabytes, int keys) {
    TypingSession with, without;
    int writes = 0;
    // The first key at the end moves both of Scintilla's gaps there and its paint restyles
    // after it, with or without backups ("first key after a jump" measures it): typed and
    // painted before the clock starts, in both sessions.
    const auto firstKey = [](frmMain &window) {
        window.CodeSense1->SendScintilla(Sci::SCI_GOTOPOS, length(*window.CodeSense1));
        typeKey(*window.CodeSense1, ' ');
        window.CodeSense1->viewport()->repaint();
        QCoreApplication::processEvents();
    };
    {
        frmMain window;
        window.Form_Load();
        delete window.Insight();
        window.Backup()->setDelay(100);
        QObject::connect(window.Backup(), &DocumentBackup::written, [&] { ++writes; });
        openInWindow(window, path);
        styleInBackground(*window.CodeSense1);
        firstKey(window);
        int before = writes;
        with = typeWithPauses(window, keys, [&] {
            const bool done = writes != before;
            if (done) before = writes;
            return done;
        }, 5000);
        window.Backup()->discard();
    }
    {
        frmMain window;
        window.Form_Load();
        delete window.Insight();
        delete window.Backup();
        openInWindow(window, path);
        styleInBackground(*window.CodeSense1);
        firstKey(window);
        without = typeWithPauses(window, keys, [] { return false; }, int(with.longestPauseMs));
    }
    const QString size = sizeName(megabytes) + QStringLiteral(" end");
    std::printf("    (%d backups written while typing; longest pause for one %.0f ms)\n", writes, with.longestPauseMs);
    std::printf("    (main thread's CPU time: keystroke p99 %.2f ms with backups, %.2f ms without; longest stall %.2f "
                "ms with, %.2f ms without)\n",
                percentile(with.cpuLatencies, 0.99), percentile(without.cpuLatencies, 0.99), with.longestStallCpuMs,
                without.longestStallCpuMs);
    reportTypingBeside(report, size, QStringLiteral("backups"), QStringLiteral("backups"), with, without);
}

// ---- child processes: start-up and memory --------------------------------------------

// The time at which the window's first frame is on the screen. Qt follows the expose
// event, whose handling draws and flushes the widgets, with a paint event to the window
// itself. The end of that event-loop pass would also count other windows drawn in it
// (the splash).
double msToFirstFrame(QWidget *window, const QElapsedTimer &since) {
    return awaitPaint(window->windowHandle(), since);
}

qint64 residentBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

int runChild(const QString &mode, const QString &path, const QElapsedTimer &sinceMain) {
    if (mode == QLatin1String("startup-ours")) {
        frmMain window;
        window.Form_Load();
        std::printf("%f\n", msToFirstFrame(&window, sinceMain));
        return 0;
    }
    if (mode == QLatin1String("startup-bare")) {
        QsciScintilla editor;
        editor.resize(kWindowWidth, kWindowHeight);
        editor.show();
        std::printf("%f\n", msToFirstFrame(&editor, sinceMain));
        return 0;
    }
    if (mode == QLatin1String("memory-ours")) {
        frmMain window;
        window.Form_Load();
        openInWindow(window, path);
        waitForPaint(window.CodeSense1->viewport());
        styleInBackground(*window.CodeSense1);
        std::printf("%lld\n", static_cast<long long>(residentBytes()));
        return 0;
    }
    if (mode == QLatin1String("memory-bare")) {
        QsciScintilla editor;
        editor.resize(kWindowWidth, kWindowHeight);
        editor.show();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        loadBytes(editor, file.readAll());
        waitForPaint(editor.viewport());
        std::printf("%lld\n", static_cast<long long>(residentBytes()));
        return 0;
    }
    std::fprintf(stderr, "unknown child mode\n");
    return 2;
}

double childFigure(const QString &mode, const QString &path = QString()) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode, path});
    if (!child.waitForFinished(300000) || child.exitCode() != 0) {
        qWarning("child %s failed", qPrintable(mode));
        return 0;
    }
    return child.readAllStandardOutput().trimmed().toDouble();
}

void benchLoading(Report &report, const QString &path, int megabytes) {
    frmMain window;
    window.Form_Load();
    window.show();
    report.add({QStringLiteral("longest stall while the file loads"), sizeName(megabytes), openInWindow(window, path),
                QStringLiteral("limit"), 0, QStringLiteral("ms"), 50});
}

void benchStartup(Report &report, int reps) {
    std::vector<double> ours, bare;
    for (int rep = 0; rep < reps; ++rep) {
        ours.push_back(childFigure(QStringLiteral("startup-ours")));
        bare.push_back(childFigure(QStringLiteral("startup-bare")));
    }
    report.add({QStringLiteral("start-up to first paint"), QStringLiteral("-"), median(ours),
                QStringLiteral("bare QsciScintilla window"), median(bare), QStringLiteral("ms"), 1.3});
}

void benchMemory(Report &report, const QString &path, int megabytes) {
    const double fileBytes = static_cast<double>(QFileInfo(path).size());
    const double ours = childFigure(QStringLiteral("memory-ours"), path);
    const double bare = childFigure(QStringLiteral("memory-bare"), path);
    report.add({QStringLiteral("resident memory, opened + styled"), sizeName(megabytes), ours / fileBytes,
                QStringLiteral("limit (bare, unstyled: %1x)").arg(bare / fileBytes, 0, 'f', 2), 0,
                QStringLiteral("x file"), 3.5});
}

// ---- the report ----------------------------------------------------------------------

QString cpuName() {
    QFile cpu(QStringLiteral("/proc/cpuinfo"));
    cpu.open(QIODevice::ReadOnly);
    for (const QByteArray &line : cpu.readAll().split('\n'))
        if (line.startsWith("model name")) return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
    return QSysInfo::currentCpuArchitecture();
}

QString machine() {
    return QStringLiteral("%1, %2 cores, %3, Qt %4, QScintilla %5")
        .arg(cpuName())
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::prettyProductName(), QString::fromLatin1(qVersion()), QStringLiteral(QSCINTILLA_VERSION_STR));
}

void writeReport(const Report &report, const QString &out) {
    QJsonArray rows;
    QString table = QStringLiteral("| measure | size | Tavrel | baseline | ratio | target | |\n|---|---|---|---|---|---|---|\n");
    for (const Row &row : report.rows()) {
        const bool ratio = row.baseline > 0;
        const double figure = ratio ? row.ours / row.baseline : row.ours;
        rows.append(QJsonObject{{QStringLiteral("name"), row.name},
                                {QStringLiteral("size"), row.size},
                                {QStringLiteral("value"), row.ours},
                                {QStringLiteral("unit"), row.unit},
                                {QStringLiteral("baseline_name"), row.baselineName},
                                {QStringLiteral("baseline"), ratio ? QJsonValue(row.baseline) : QJsonValue()},
                                {QStringLiteral("ratio"), ratio ? QJsonValue(figure) : QJsonValue()},
                                {QStringLiteral("limit"), row.limit},
                                {QStringLiteral("pass"), row.pass()}});
        const QString value = QStringLiteral("%1 %2").arg(row.ours, 0, 'f', 2).arg(row.unit);
        table += ratio ? QStringLiteral("| %1 | %2 | %3 | %4 ms (%5) | %6x | <= %7x | %8 |\n")
                             .arg(row.name, row.size, value)
                             .arg(row.baseline, 0, 'f', 2)
                             .arg(row.baselineName)
                             .arg(figure, 0, 'f', 2)
                             .arg(row.limit)
                             .arg(row.pass() ? QStringLiteral("ok") : QStringLiteral("missed"))
                       : QStringLiteral("| %1 | %2 | %3 | %4 | | <= %5 %6 | %7 |\n")
                             .arg(row.name, row.size, value, row.baselineName)
                             .arg(row.limit)
                             .arg(row.unit, row.pass() ? QStringLiteral("ok") : QStringLiteral("missed"));
    }
    const QJsonObject root{{QStringLiteral("machine"), machine()},
                           {QStringLiteral("date"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                           {QStringLiteral("results"), rows}};
    QFile file(out);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(QJsonDocument(root).toJson());
    QFile tableFile(QFileInfo(out).dir().filePath(QStringLiteral("report.md")));
    if (tableFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        tableFile.write((QStringLiteral("Measured on: ") + machine() + QStringLiteral("\n\n") + table).toUtf8());
    std::printf("\nMeasured on: %s\n\n%s", qPrintable(machine()), qPrintable(table));
}

} // namespace

int main(int argc, char *argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (args.value(1) == QLatin1String("--child")) return runChild(args.value(2), args.value(3), sinceMain);

    QList<int> sizes{1, 10, 100};
    int reps = 3;
    int keys = 20;
    QString dir = QDir::current().filePath(QStringLiteral("bench-data"));
    QString out = QDir::current().filePath(QStringLiteral("report.json"));
    QStringList only;  // empty: every measure
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--sizes")) {
            sizes.clear();
            for (const QString &size : args[i + 1].split(QLatin1Char(','))) sizes.append(size.toInt());
        } else if (args[i] == QLatin1String("--reps")) {
            reps = std::max(1, args[i + 1].toInt());
        } else if (args[i] == QLatin1String("--keys")) {
            keys = std::max(1, args[i + 1].toInt());
        } else if (args[i] == QLatin1String("--dir")) {
            dir = args[i + 1];
        } else if (args[i] == QLatin1String("--only")) {
            only = args[i + 1].split(QLatin1Char(','));
        } else if (args[i] == QLatin1String("--out")) {
            out = args[i + 1];
        }
    }
    QDir().mkpath(dir);
    // Backups of the typing go beside the scripts, not into the user's data folder.
    qputenv("XDG_DATA_HOME", QDir(dir).absoluteFilePath(QStringLiteral("data")).toLocal8Bit());
    const auto generate = [&dir](int megabytes) {
        const QString path = scriptPath(dir, megabytes);
        QByteArray bytes = GenerateScript(static_cast<std::size_t>(megabytes) << 20);
        if (QFileInfo(path).size() != bytes.size()) {
            QFile file(path);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(bytes);
        }
        return bytes;
    };
    // The files alone, for the black-box runs of scripts/bench.sh.
    if (only == QStringList{QStringLiteral("files")}) {
        for (int megabytes : sizes)
            generate(megabytes);
        return 0;
    }
    registerLanguages();
    Report report;

    auto wanted = [&](const char *measure) { return only.isEmpty() || only.contains(QLatin1String(measure)); };
    if (wanted("startup")) benchStartup(report, std::max(reps, 9));
    for (int megabytes : sizes) {
        const QString path = scriptPath(dir, megabytes);
        const QByteArray bytes = generate(megabytes);
        const QByteArray utf8 = cp1252::decodeToUtf8(bytes);
        std::printf("%d MB\n", megabytes);
        if (wanted("open")) benchOpen(report, path, megabytes, reps);
        if (wanted("loading") && megabytes >= 10) benchLoading(report, path, megabytes);
        if (wanted("styling")) benchStyling(report, utf8, megabytes, reps);
        if (wanted("find")) benchFind(report, path, utf8, megabytes, reps);
        if (wanted("save")) benchSave(report, dir, path, megabytes, std::max(reps, 7));
        // The figures a player feels on the biggest file only.
        if (megabytes == sizes.last()) {
            if (wanted("live")) benchLive(report, path, bytes, megabytes, keys);
            if (wanted("memory")) benchMemory(report, path, megabytes);
        }
        // Checks of a script a player could exec, and of the largest one here.
        if ((megabytes == sizes.first() || megabytes == sizes.last()) && wanted("checks"))
            benchTypingWithChecks(report, path, megabytes, std::max(keys, 100));
        if ((megabytes == sizes.first() || megabytes == sizes.last()) && wanted("backups"))
            benchTypingWithBackups(report, path, megabytes, std::max(keys, 100));
    }
    writeReport(report, out);
    return 0;
}
