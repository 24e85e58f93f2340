// The pure functions on generated scripts, each beside the cheapest work of its kind
// on the same bytes: copying them, or marking only comments.
#include "commentlexer.h"
#include "codec/cp1252.h"
#include "script/tokenizer.h"
#include "scriptgen.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <cstring>
#include <map>
#include <vector>

namespace {

const QByteArray &script(std::size_t megabytes) {
    static std::map<std::size_t, QByteArray> cache;
    auto it = cache.find(megabytes);
    if (it == cache.end()) it = cache.emplace(megabytes, GenerateScript(megabytes << 20)).first;
    return it->second;
}

const QByteArray &utf8Script(std::size_t megabytes) {
    static std::map<std::size_t, QByteArray> cache;
    auto it = cache.find(megabytes);
    if (it == cache.end()) it = cache.emplace(megabytes, cp1252::decodeToUtf8(script(megabytes))).first;
    return it->second;
}

const KeywordSet &gameWords() {
    static const KeywordSet words = [] {
        QFile file(QStringLiteral(TAVREL_SOURCE_DIR "/data/pf/operators.txt"));
        if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read the word file");
        return KeywordSet(QString::fromLatin1(file.readAll()).remove(QLatin1Char('\r')), false);
    }();
    return words;
}

void finish(benchmark::State &state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

void BM_StyleScript(benchmark::State &state) {
    const QByteArray &text = utf8Script(static_cast<std::size_t>(state.range(0)));
    const KeywordSet &words = gameWords();
    std::vector<unsigned char> styles(static_cast<std::size_t>(text.size()));
    for (auto _ : state) {
        StyleScript(text.constData(), styles.size(), words, styles.data());
        benchmark::DoNotOptimize(styles.data());
    }
    finish(state, styles.size());
}

void BM_StyleCommentsOnly(benchmark::State &state) {
    const QByteArray &text = utf8Script(static_cast<std::size_t>(state.range(0)));
    std::vector<unsigned char> styles(static_cast<std::size_t>(text.size()));
    for (auto _ : state) {
        StyleCommentsOnly(text.constData(), styles.size(), styles.data());
        benchmark::DoNotOptimize(styles.data());
    }
    finish(state, styles.size());
}

void BM_KeywordLookup(benchmark::State &state) {
    const KeywordSet &words = gameWords();
    const std::string_view probes[] = {"bind", "SETA", "vstr", "cg_fov", "notaword", "+attack", "a_1234", "echo"};
    for (auto _ : state)
        for (std::string_view probe : probes) benchmark::DoNotOptimize(words.contains(probe));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 8);
}

void BM_DecodeCp1252(benchmark::State &state) {
    const QByteArray &bytes = script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(cp1252::decodeToUtf8(bytes));
    finish(state, static_cast<std::size_t>(bytes.size()));
}

void BM_EncodeCp1252(benchmark::State &state) {
    const QByteArray &text = utf8Script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(cp1252::encodeFromUtf8(text));
    finish(state, static_cast<std::size_t>(text.size()));
}

// What any loading or saving costs at least: one copy of the bytes into a new buffer.
void BM_CopyBytes(benchmark::State &state) {
    const QByteArray &bytes = script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        QByteArray copy(bytes.constData(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
    }
    finish(state, static_cast<std::size_t>(bytes.size()));
}

} // namespace

BENCHMARK(BM_StyleScript)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StyleCommentsOnly)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeCp1252)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeCp1252)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyBytes)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeywordLookup);

BENCHMARK_MAIN();
