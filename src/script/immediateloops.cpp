#include "script/immediateloops.h"

#include "script/enginemodel.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

struct Edge
{
    int from;
    int to;
    int vstr; // statement index
};

// Strongly connected components (Kosaraju, iterative, so long chains cannot overflow
// the stack).
QList<int> components(int count, const QList<Edge> &edges)
{
    QList<QList<int>> out(count), in(count);
    for (const Edge &e : edges) {
        out[e.from] << e.to;
        in[e.to] << e.from;
    }
    QList<int> order;
    QList<bool> seen(count, false);
    for (int start = 0; start < count; ++start) {
        if (seen[start])
            continue;
        QList<std::pair<int, int>> stack{{start, 0}};
        seen[start] = true;
        while (!stack.isEmpty()) {
            auto &[node, next] = stack.last();
            if (next < out[node].size()) {
                const int to = out[node][next++];
                if (!seen[to]) {
                    seen[to] = true;
                    stack.append({to, 0});
                }
            } else {
                order << node;
                stack.removeLast();
            }
        }
    }
    QList<int> component(qMax(count, 0), -1); // qMax: GCC otherwise warns of a negative size
    int current = 0;
    for (int k = int(order.size()) - 1; k >= 0; --k) {
        if (component[order[k]] >= 0)
            continue;
        QList<int> stack{order[k]};
        component[order[k]] = current;
        while (!stack.isEmpty()) {
            const int node = stack.takeLast();
            for (int from : in[node]) {
                if (component[from] < 0) {
                    component[from] = current;
                    stack << from;
                }
            }
        }
        ++current;
    }
    return component;
}

// Enough commands to see a loop's growth per round; the rest is extrapolated. A file of
// many loops gets shorter samples, so that checking it stays quick.
constexpr int SampledCommands = 20000;
constexpr int FewerSampledCommands = 2000;
constexpr int FullySampledLoops = 10;

} // namespace

QList<ImmediateLoop> FindImmediateLoops(const QString &text, const QList<ScriptStatement> &statements,
                                        ScriptEngine engine, const ScriptVocabulary &vocabulary)
{
    // Candidates: a vstr inside a variable's value that reaches the same variable again,
    // not after a wait nor after the value set the target anew.
    QHash<QString, int> ids;
    QStringList names;
    auto id = [&](const QString &name) {
        const auto it = ids.constFind(name);
        if (it != ids.cend())
            return it.value();
        ids.insert(name, int(names.size()));
        names << name;
        return int(names.size()) - 1;
    };
    QList<Edge> edges;
    for (int i = 0; i < statements.size(); ++i) {
        const ScriptStatement &s = statements[i];
        if (!IsSetCommand(s.command()) || s.tokens.size() < 3)
            continue;
        const int from = id(s.tokens[1].text.toLower());
        QSet<QString> assigned;
        for (int j = i + 1; j < statements.size() && statements[j].depth > s.depth; ++j) {
            const ScriptStatement &v = statements[j];
            if (v.parent != i)
                continue;
            const QString c = v.command();
            if (c == u"wait")
                break;
            if (v.tokens.size() < 2)
                continue;
            const QString target = v.tokens[1].text.toLower();
            if (IsSetCommand(c))
                assigned.insert(target);
            else if (c == u"vstr" && !assigned.contains(target))
                edges << Edge{from, id(target), j};
        }
    }
    QList<ImmediateLoop> loops;
    if (edges.isEmpty())
        return loops;
    const QList<int> component = components(int(names.size()), edges);
    QHash<QString, std::optional<ImmediateLoop>> outcome; // per variable: what running it does
    for (const Edge &edge : std::as_const(edges)) {
        if (component[edge.from] != component[edge.to])
            continue;
        const QString &variable = names[edge.from];
        if (!outcome.contains(variable)) {
            // The file's own values, set the way the engine sets them, then one vstr.
            EngineModel model(engine, vocabulary);
            for (const ScriptStatement &s : statements) {
                if (s.depth == 0 && IsSetCommand(s.command()))
                    model.executeLine(text.mid(s.begin, s.end - s.begin));
            }
            model.clearConsole();
            model.insertText(QStringLiteral("vstr ") + variable);
            const int queued = model.queuedBytes();
            model.executeFrame(outcome.size() < FullySampledLoops ? SampledCommands : FewerSampledCommands);
            std::optional<ImmediateLoop> loop;
            const int runs = model.timesRunBeforeOverflow(QStringLiteral("vstr"));
            if (model.overflows() > 0) {
                loop = ImmediateLoop{edge.vstr, variable, runs, false, false};
            } else if (model.queuedBytes() > queued && runs > 1) {
                const double growth = double(model.queuedBytes() - queued) / runs;
                const int left = RulesOf(engine).commandBuffer - model.queuedBytes();
                loop = ImmediateLoop{edge.vstr, variable, runs + int(left / growth), true, false};
            }
            if (loop) {
                loop->prints = std::any_of(model.console().cbegin(), model.console().cend(), [](const auto &line) {
                    return line.text != u"Cbuf_InsertText overflowed";
                });
            }
            outcome.insert(variable, loop);
        }
        if (const std::optional<ImmediateLoop> &loop = outcome.value(variable)) {
            ImmediateLoop found = *loop;
            found.vstr = edge.vstr;
            loops << found;
        }
    }
    return loops;
}
