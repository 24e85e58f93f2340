#!/usr/bin/env python3
"""Mutation testing: how many small faults planted in src/ the test suite notices.

  scripts/mutants.sh --sample SEED COUNT   choose COUNT sites and write mutants-sites.txt
  scripts/mutants.sh [--only 3,7-9]        plant each site's fault, rebuild, run the tests

A site is found again by the exact text of its line (stripped of surrounding blanks), not
by its path and line number, so the list stays valid when files are moved, renamed or
split; the recorded path only breaks ties between identical lines.
"""

import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

SCRIPT_DIR = Path(__file__).resolve().parent
SOURCE_SUFFIXES = {".cpp", ".cc", ".cxx", ".h", ".hpp", ".hh"}
HEADER_SUFFIXES = {".h", ".hpp", ".hh"}
MAX_PER_FILE = 4
KINDS = ("cmp", "logic", "int+1", "int-1", "negate", "drop")

COMPARISON_FLIP = {"<": ">=", ">=": "<", "<=": ">", ">": "<=", "==": "!=", "!=": "=="}
# Two-character comparisons, not the insides of <=>, <<=, >>= or ===.
TWO_CHAR_COMPARISON = re.compile(r"(?<![<>=!\-])(<=|>=|==|!=)(?![=>])")
# A lone < or > between blanks: templates, streams and arrows are written without them.
ONE_CHAR_COMPARISON = re.compile(r"(?<=\s)(<|>)(?=\s)")
LOGIC = re.compile(r"(?<!\S)(&&|\|\|)(?!\S)")
INTEGER = re.compile(r"(?<![\w.'])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.'])")
CONDITION = re.compile(r"\b(if|while)\s*\(")
LOGGING = re.compile(
    r"^(qDebug|qInfo|qWarning|qCritical|qFatal|qC(Debug|Info|Warning|Critical))\b"
    r"|^std::(cerr|clog)\b|^(std::)?fprintf\s*\(\s*stderr")
# Statements that must not be dropped: control flow, and checks that only compile.
NOT_DROPPABLE = re.compile(
    r"^(return|break|continue|goto|throw|co_return|co_yield|co_await|using|typedef|case|default"
    r"|else|do|template|friend|namespace|delete|static_assert|Q_UNUSED|Q_ASSERT|Q_ASSERT_X"
    r"|assert|Q_OBJECT|Q_DISABLE_COPY|public|private|protected|signals|slots)\b")
DECLARATION = re.compile(
    r"^(?:(?:static|const|constexpr|constinit|inline|thread_local|volatile|extern|mutable"
    r"|unsigned|signed|struct|class|enum|typename)\s+)*"
    r"[A-Za-z_][\w:]*(?:<.*>)?(?:\s*[*&]+\s*|\s+)(?:const\s+)?[*&]*\s*(?:[A-Za-z_]\w*|\[)")
ARRAY_DECLARATION = re.compile(r"^(?:static\s+|const\s+|constexpr\s+)*[\w:<>]+\s+[*&]*\w+\s*\[")


# ----------------------------------------------------------------------------------------
# Reading sources: which characters are code


def code_mask(text):
    """The text with comments blanked and string/char literal contents blanked, same length
    and same line breaks, so a pattern found in the mask is at the same column in the line."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if c == "/" and text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif c == "/" and text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == '"' or c == "'":
            if c == '"' and re.search(r"(?:^|\W)(?:u8|u|U|L)?R$", text[max(0, i - 4):i]):
                open_end = text.find("(", i)
                delimiter = text[i + 1:open_end]
                close = text.find(")" + delimiter + '"', open_end)
                j = n if close < 0 else close + len(delimiter) + 2
                blank(i + 1, j - 1)
                i = j
                continue
            if c == "'" and re.search(r"(?:^|\W)\d[\w']*$", text[max(0, i - 24):i]):
                i += 1  # a digit separator, 1'000
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i + 1, min(j, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


def lines_of(text):
    """Lines with their endings; only a newline ends a line, as for the compiler."""
    pieces = text.split("\n")
    lines = [piece + "\n" for piece in pieces[:-1]]
    if pieces[-1]:
        lines.append(pieces[-1])
    return lines


def source_files(src):
    return sorted(p for p in src.rglob("*") if p.is_file() and p.suffix in SOURCE_SUFFIXES)


def read_text(path):
    return path.read_bytes().decode("utf-8", errors="surrogateescape")


class SourceFile:
    def __init__(self, path):
        self.path = path
        self.text = read_text(path)
        self.lines = lines_of(self.text)
        self.masks = lines_of(code_mask(self.text))
        self.skipped = self._skipped_lines()

    def _skipped_lines(self):
        """Lines no fault is planted on: directives and their continuations, static_assert
        and logging statements (to their closing semicolon)."""
        skipped = set()
        continued = False
        open_statement = False
        for number, mask in enumerate(self.masks):
            stripped = mask.strip()
            if continued or stripped.startswith("#"):
                skipped.add(number)
                continued = stripped.endswith("\\")
                continue
            if open_statement or LOGGING.match(stripped) or stripped.startswith("static_assert"):
                skipped.add(number)
                open_statement = not stripped.endswith(";")
        return skipped

    def line_kind_matches(self, number, kind):
        """Where on the line a fault of this kind can go: a list of (start, end, replacement)."""
        if number in self.skipped:
            return []
        mask = self.masks[number].rstrip("\r\n")
        stripped = mask.strip()
        if not stripped:
            return []
        if kind == "cmp":
            if re.search(r"\boperator\s*(==|!=|<|>|<=|>=)", mask) or stripped.startswith("template"):
                return []
            found = [(m.start(1), m.end(1)) for m in TWO_CHAR_COMPARISON.finditer(mask)]
            found += [(m.start(1), m.end(1)) for m in ONE_CHAR_COMPARISON.finditer(mask)]
            return [(a, b, COMPARISON_FLIP[mask[a:b]]) for a, b in sorted(found)]
        if kind == "logic":
            return [(m.start(1), m.end(1), "||" if m.group(1) == "&&" else "&&")
                    for m in LOGIC.finditer(mask)]
        if kind in ("int+1", "int-1"):
            return self._integer_matches(mask, stripped, +1 if kind == "int+1" else -1)
        if kind == "negate":
            return self._negate_matches(mask)
        if kind == "drop":
            return self._drop_matches(number, mask, stripped)
        raise ValueError(kind)

    def _integer_matches(self, mask, stripped, step):
        if stripped.startswith(("case ", "template", "enum ")) or re.match(r"^\w+\s*=\s*\d+,?$", stripped):
            return []  # case labels and enumerators: duplicates would not compile
        array_declaration = ARRAY_DECLARATION.match(stripped)
        found = []
        for m in INTEGER.finditer(mask):
            if array_declaration and "[" in mask[:m.start()] and "]" in mask[m.end():]:
                continue
            if re.search(r"\bTwips\(\s*$", mask[:m.start()]) and re.match(r"\s*\)", mask[m.end():]):
                continue  # a twip is a fifteenth of a pixel: one more or less rounds away
            literal, suffix = m.group(1), m.group(2)
            value = int(literal, 16) if literal[:2].lower() == "0x" else int(literal, 10)
            if literal != "0" and literal.startswith("0") and literal[:2].lower() != "0x":
                continue  # octal: not worth the trouble
            if value + step < 0:
                new = "-1"
            elif literal[:2].lower() == "0x":
                digits = format(value + step, "x" if any(c.islower() for c in literal[2:]) else "X")
                new = literal[:2] + digits.zfill(len(literal) - 2)
            else:
                new = str(value + step)
            found.append((m.start(1), m.end(1), new))
        return found

    def _negate_matches(self, mask):
        found = []
        for m in CONDITION.finditer(mask):
            if re.match(r"\s*constexpr", mask[m.end(1):]):
                continue
            open_paren = m.end() - 1
            depth, close = 0, -1
            for k in range(open_paren, len(mask)):
                if mask[k] == "(":
                    depth += 1
                elif mask[k] == ")":
                    depth -= 1
                    if depth == 0:
                        close = k
                        break
                elif mask[k] == ";" and depth == 1:
                    break  # an init-statement; the condition is not the whole parenthesis
            if close < 0 or re.search(r"(?<![=!<>])=(?!=)", mask[open_paren + 1:close]):
                continue  # a declaration or assignment in the condition: no ! in front of it
            found.append((open_paren, close + 1, "(!(" + mask[open_paren + 1:close] + "))"))
        return found

    def _drop_matches(self, number, mask, stripped):
        if self.path.suffix in HEADER_SUFFIXES or not stripped.endswith(";") or stripped == ";":
            return []
        if NOT_DROPPABLE.match(stripped) or not re.match(r"^([A-Za-z_:*(]|\+\+|--)", stripped):
            return []
        if not stripped.startswith(("emit ", "Q_EMIT ")) and DECLARATION.match(stripped):
            return []
        if not balanced(stripped):
            return []
        previous = self._previous_code_line(number)
        if previous is not None and not statement_may_follow(previous):
            return []
        indent = len(mask) - len(mask.lstrip())
        return [(indent, len(mask.rstrip()), ";")]

    def _previous_code_line(self, number):
        for k in range(number - 1, -1, -1):
            stripped = self.masks[k].strip()
            if stripped and not stripped.startswith("#"):
                return stripped
        return None

    def mutate(self, number, kind, occurrence):
        """The line with the fault planted (original text outside the replaced span), or None."""
        matches = self.line_kind_matches(number, kind)
        if occurrence >= len(matches):
            return None
        start, end, replacement = matches[occurrence]
        line = self.lines[number]
        if kind == "negate":  # the condition's own text, not its blanked mask
            replacement = "(!(" + line[start + 1:end - 1] + "))"
        return line[:start] + replacement + line[end:]


def balanced(text):
    depth = 0
    for c in text:
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


def statement_may_follow(previous):
    """Whether a line after this one starts a statement of its own."""
    if previous.endswith((";", "{", "}", ":")) and not previous.endswith("::"):
        return True
    if previous in ("else", "do") or previous.endswith(" else"):
        return True
    header = re.match(r"^(?:\}\s*)?(?:else\s+)?(?:if|for|while)\s*(\(.*\))$", previous)
    return bool(header) and balanced(header.group(1))


# ----------------------------------------------------------------------------------------
# Sampling


def folder_of(src, path):
    parts = path.relative_to(src).parts
    return parts[0] if len(parts) > 1 else "."


def sample_sites(repo, seed, count):
    src = repo / "src"
    files = [SourceFile(p) for p in source_files(src)]
    text_count = {}
    for f in files:
        for line in f.lines:
            text_count[line.strip()] = text_count.get(line.strip(), 0) + 1

    # Size of a folder: its lines that hold code.
    size = {}
    candidates = {}  # folder -> kind -> [(file, line number, occurrence)]
    for f in files:
        folder = folder_of(src, f.path)
        size[folder] = size.get(folder, 0) + sum(1 for m in f.masks if m.strip())
        for number, line in enumerate(f.lines):
            text = line.strip()
            if text_count[text] != 1 or "\t" in text:
                continue  # only a line that is unique can be found again by its text
            # Both directions of a constant are one kind here, so that constants are not
            # drawn twice as often as the other kinds; the direction is drawn when picked.
            for kind in ("cmp", "logic", "int", "negate", "drop"):
                matches = f.line_kind_matches(number, "int+1" if kind == "int" else kind)
                for occurrence in range(len(matches)):
                    candidates.setdefault(folder, {}).setdefault(kind, []).append((f, number, occurrence))

    quota = allocate(count, size, {folder: capacity(c) for folder, c in candidates.items()})
    rng = random.Random(seed)
    chosen = []
    per_file = {}
    taken_lines = set()
    for folder in sorted(quota):
        pool = {kind: list(sites) for kind, sites in candidates.get(folder, {}).items()}
        picked = 0
        while picked < quota[folder]:
            kinds = sorted(k for k, sites in pool.items() if sites)
            if not kinds:
                break
            kind = rng.choice(kinds)
            f, number, occurrence = pool[kind].pop(rng.randrange(len(pool[kind])))
            if per_file.get(f.path, 0) >= MAX_PER_FILE or (f.path, number) in taken_lines:
                continue
            if kind == "int":
                start, end, _ = f.line_kind_matches(number, "int+1")[occurrence]
                zero = int(f.lines[number][start:end], 0) == 0
                kind = "int+1" if zero or rng.random() < 0.5 else "int-1"
            per_file[f.path] = per_file.get(f.path, 0) + 1
            taken_lines.add((f.path, number))
            chosen.append((f, number, kind, occurrence))
            picked += 1
    chosen.sort(key=lambda s: (str(s[0].path), s[1]))
    return [{"kind": kind, "occurrence": occurrence,
             "path": f.path.relative_to(repo).as_posix(), "line": number + 1,
             "text": f.lines[number].strip()} for f, number, kind, occurrence in chosen]


def capacity(kinds):
    per_file = {}
    for sites in kinds.values():
        for f, number, _ in sites:
            per_file.setdefault(f.path, set()).add(number)
    return sum(min(MAX_PER_FILE, len(lines)) for lines in per_file.values())


def allocate(count, size, cap):
    """COUNT split over folders in proportion to SIZE (largest remainder), none above CAP."""
    quota = {folder: 0 for folder in size}
    remaining = count
    open_folders = {f for f in size if cap.get(f, 0) > 0}
    while remaining > 0 and open_folders:
        total = sum(size[f] for f in open_folders)
        shares = {f: remaining * size[f] / total for f in open_folders}
        given = {f: min(int(shares[f]), cap[f] - quota[f]) for f in open_folders}
        left = remaining - sum(given.values())
        for f in sorted(open_folders, key=lambda f: (-(shares[f] - int(shares[f])), f)):
            if left == 0:
                break
            if given[f] < cap[f] - quota[f]:
                given[f] += 1
                left -= 1
        for f, g in given.items():
            quota[f] += g
            remaining -= g
        open_folders = {f for f in open_folders if quota[f] < cap[f]}
        if not any(given.values()):
            break
    return quota


HEADER = """\
# Mutation sites for scripts/mutants.py: number, kind, occurrence of the pattern in the
# line (from 0), path and line where it was sampled (a hint only), the line's exact text.
# A site is found again by its text, anywhere under src/.
# Sampled with: scripts/mutants.sh --sample {seed} {count}   (from {commit})
"""


def write_sites(path, sites, seed, count, commit):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write(HEADER.format(seed=seed, count=count, commit=commit))
        for number, site in enumerate(sites, 1):
            out.write("\t".join([str(number), site["kind"], str(site["occurrence"]), site["path"],
                                 str(site["line"]), site["text"]]) + "\n")


def read_sites(path):
    sites = []
    for raw in path.read_text(encoding="utf-8").splitlines():
        if not raw.strip() or raw.startswith("#"):
            continue
        number, kind, occurrence, hint, line, text = raw.split("\t", 5)
        if kind not in KINDS:
            raise SystemExit(f"{path}: unknown mutation kind {kind!r} at site {number}")
        sites.append({"number": int(number), "kind": kind, "occurrence": int(occurrence),
                      "path": hint, "line": int(line), "text": text})
    return sites


# ----------------------------------------------------------------------------------------
# Finding a site again


def locate(repo, site, files_cache):
    """(SourceFile, line index) of the site's line in the current tree, or None if gone."""
    hits = []
    for f in files_cache:
        for number, line in enumerate(f.lines):
            if line.strip() == site["text"]:
                hits.append((f, number))
    if not hits:
        return None
    basename = Path(site["path"]).name
    for f, number in hits:
        if f.path.name == basename:
            return f, number
    return hits[0]


# ----------------------------------------------------------------------------------------
# Running


STOP_SIGNALS = {signal.SIGINT, signal.SIGTERM, signal.SIGHUP}


class Interrupted(Exception):
    pass


def on_terminate(signum, frame):
    raise Interrupted(f"signal {signum}")


def run(cmd, log, env=None, limit=None):
    """Runs CMD in its own process group, output to LOG; (exit code or None on timeout, seconds)."""
    start = time.monotonic()
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(map(str, cmd)) + "\n").encode())
        out.flush()
        process = subprocess.Popen(list(map(str, cmd)), stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, env=env, start_new_session=True)
        try:
            code = process.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            code = None
        finally:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
    return code, time.monotonic() - start


class Runner:
    def __init__(self, repo, build, jobs, timeout, log):
        self.repo, self.build, self.jobs, self.timeout, self.log = repo, build, jobs, timeout, log
        self.output = build / "mutants-last-output.txt"
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        self.suite_limit = None
        self.folder_tests = {}

    def configure(self):
        cache = self.build / "CMakeCache.txt"
        if cache.exists():
            home = re.search(r"^CMAKE_HOME_DIRECTORY:INTERNAL=(.*)$", cache.read_text(), re.M)
            if home and Path(home.group(1)).resolve() != self.repo:
                raise SystemExit(f"{self.build} is configured for {home.group(1)}, not {self.repo}")
            return
        print(f"configuring {self.build}", flush=True)
        # Unoptimised and without debug information: each mutant recompiles one file and
        # relinks every test executable that uses it, and the tests are quick either way.
        options = ["-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS=-O0", "-DCMAKE_CXX_FLAGS_DEBUG="]
        code, _ = run(["cmake", "-S", self.repo, "-B", self.build, "-G", "Ninja", *options], self.output)
        if code != 0:
            raise SystemExit(f"configuring failed; see {self.output}")

    def compile(self):
        return run(["cmake", "--build", self.build, "--parallel", self.jobs], self.output, self.env)

    def ctest(self, test_dir, exclude, limit):
        cmd = ["ctest", "--test-dir", test_dir, "--stop-on-failure", "--timeout", self.timeout,
               "-j", self.jobs, "--output-on-failure", "-E", exclude]
        return run(cmd, self.output, self.env, limit)

    def mirror_tests(self, source):
        """The test folder mirroring the source's folder, and the names of its tests."""
        try:
            relative = source.parent.relative_to(self.repo / "src")
        except ValueError:
            return None, []
        parts = relative.parts
        for k in range(len(parts), 0, -1):
            folder = self.build / "tests" / Path(*parts[:k])
            if (folder / "CTestTestfile.cmake").exists():
                break
        else:
            return None, []
        if folder not in self.folder_tests:
            listing = subprocess.run(["ctest", "--test-dir", str(folder), "--show-only=json-v1"],
                                     capture_output=True, text=True, env=self.env)
            try:
                names = [t["name"] for t in json.loads(listing.stdout).get("tests", [])]
            except ValueError:
                names = []
            self.folder_tests[folder] = names
        return folder, self.folder_tests[folder]

    def test_suite(self, source=None):
        """'pass', 'fail' or 'timeout'; the folder mirroring SOURCE's goes first."""
        exclude = "test_packaging"
        deadline = time.monotonic() + self.suite_limit if self.suite_limit else None
        remaining = lambda: None if deadline is None else max(1.0, deadline - time.monotonic())
        if source is not None:
            folder, names = self.mirror_tests(source)
            if folder is not None and names:
                code, _ = self.ctest(folder, exclude, remaining())
                if code != 0:
                    return "timeout" if code is None else "fail"
                exclude += "|^(" + "|".join(re.escape(n) for n in names) + ")$"
        code, _ = self.ctest(self.build, exclude, remaining())
        return "pass" if code == 0 else "timeout" if code is None else "fail"

    def note(self, line):
        print(line, flush=True)
        with open(self.log, "a", encoding="utf-8") as out:
            out.write(line + "\n")


def parse_only(text):
    chosen = set()
    for part in text.split(","):
        part = part.strip()
        if "-" in part:
            a, b = part.split("-", 1)
            chosen.update(range(int(a), int(b) + 1))
        elif part:
            chosen.add(int(part))
    return chosen


def restore_leftover(backups):
    """A backup left by a run that was killed outright goes back before anything else."""
    for record in sorted(backups.glob("*.json")):
        info = json.loads(record.read_text())
        saved = record.with_suffix(".orig")
        if saved.exists():
            Path(info["path"]).write_bytes(saved.read_bytes())
            print(f"restored {info['path']} from a previous run's backup", flush=True)
            saved.unlink()
        record.unlink()


def run_mutants(args):
    repo = Path(args.repo).resolve()
    build = Path(args.build).resolve() if args.build else repo / "build-mutants"
    sites_file = Path(args.sites).resolve()
    sites = read_sites(sites_file)
    if args.only:
        only = parse_only(args.only)
        sites = [s for s in sites if s["number"] in only]
        if not sites:
            raise SystemExit("--only selects no site")
    build.mkdir(parents=True, exist_ok=True)
    backups = build / "mutants-backup"
    backups.mkdir(exist_ok=True)
    restore_leftover(backups)

    runner = Runner(repo, build, str(args.jobs), str(args.timeout), build / "mutants.log")
    # Stopped, the run restores the mutated file first; a signal ignored on purpose (nohup's
    # SIGHUP, SIGINT for a job started with &) stays ignored.
    for stop in STOP_SIGNALS:
        if signal.getsignal(stop) is not signal.SIG_IGN:
            signal.signal(stop, on_terminate)
    runner.note(f"=== {time.strftime('%Y-%m-%d %H:%M:%S')} {repo} sites={sites_file} "
                f"count={len(sites)} jobs={args.jobs}")
    runner.configure()

    code, seconds = runner.compile()
    if code != 0:
        raise SystemExit(f"the unmutated tree does not build; see {runner.output}")
    start = time.monotonic()
    if runner.test_suite() != "pass":
        raise SystemExit(f"the unmutated test suite fails; see {runner.output}")
    baseline = time.monotonic() - start
    # Tests carry their own long time limits; a mutant that makes one hang is stopped
    # sooner, relative to how long the green suite takes on this machine.
    runner.suite_limit = args.timeout + 2 * baseline
    runner.note(f"unmutated: build {seconds:.0f}s, tests {baseline:.0f}s (pass); "
                f"a mutant's tests are stopped after {runner.suite_limit:.0f}s")

    results = []
    total_start = time.monotonic()
    for index, site in enumerate(sites, 1):
        results.append(judge(runner, repo, site, backups, f"[{index}/{len(sites)}]"))
    elapsed = time.monotonic() - total_start
    report(runner, results, elapsed)


def judge(runner, repo, site, backups, progress):
    number = site["number"]
    files = [SourceFile(p) for p in source_files(repo / "src")]
    found = locate(repo, site, files)
    label = f"{progress} site {number} {site['kind']}"
    if found is None:
        runner.note(f"{label}: gone ({site['path']}:{site['line']})")
        return dict(site, verdict="gone")
    source, line = found
    mutated = source.mutate(line, site["kind"], site["occurrence"])
    where = f"{source.path.relative_to(repo).as_posix()}:{line + 1}"
    if mutated is None or mutated == source.lines[line]:
        runner.note(f"{label}: gone (pattern not on {where})")
        return dict(site, verdict="gone", where=where)
    result = dict(site, where=where, original=source.lines[line].strip(), mutated=mutated.strip())

    runner.output.write_bytes(b"")  # the last mutant's build and test output only
    original = source.path.read_bytes()
    saved = backups / f"site{number}.orig"
    record = backups / f"site{number}.json"
    saved.write_bytes(original)
    record.write_text(json.dumps({"path": str(source.path)}))
    start = time.monotonic()
    try:
        lines = list(source.lines)
        lines[line] = mutated
        source.path.write_bytes("".join(lines).encode("utf-8", errors="surrogateescape"))
        code, build_seconds = runner.compile()
        if code != 0:
            verdict = "no-compile"
        else:
            outcome = runner.test_suite(source.path)
            verdict = {"pass": "survived", "fail": "killed", "timeout": "killed (timeout)"}[outcome]
    finally:
        # A second Ctrl+C must not cut the restore short.
        blocked = signal.pthread_sigmask(signal.SIG_BLOCK, STOP_SIGNALS)
        try:
            source.path.write_bytes(original)
            saved.unlink()
            record.unlink()
        finally:
            signal.pthread_sigmask(signal.SIG_SETMASK, blocked)
    seconds = time.monotonic() - start
    runner.note(f"{label}: {verdict:<16} {seconds:5.0f}s (build {build_seconds:.0f}s)  {where}")
    result.update(verdict=verdict, seconds=seconds)
    return result


def report(runner, results, elapsed):
    def having(*verdicts):
        return [r for r in results if r["verdict"] in verdicts]

    killed = having("killed", "killed (timeout)")
    survived = having("survived")
    judged = len(killed) + len(survived)
    timed = [r for r in results if "seconds" in r]
    lines = ["", "=== mutants"]
    rate = f"{100 * len(killed) / judged:.1f}%" if judged else "n/a"
    lines.append(f"kill rate: {rate}  ({len(killed)} killed / {judged} judged; "
                 f"{len(having('killed (timeout)'))} of the killed by timeout)")
    lines.append(f"survived {len(survived)}, did not compile {len(having('no-compile'))}, "
                 f"gone {len(having('gone'))}")
    if timed:
        lines.append(f"{elapsed:.0f}s in all, {sum(r['seconds'] for r in timed) / len(timed):.0f}s "
                     f"per mutant on average")
    for title, group in (("survived", survived), ("did not compile", having("no-compile"))):
        if group:
            lines.append(f"-- {title}:")
            for r in group:
                lines.append(f"  site {r['number']} {r['where']} {r['kind']}")
                lines.append(f"      - {r['original']}")
                lines.append(f"      + {r['mutated']}")
    if having("gone"):
        lines.append("-- gone:")
        for r in having("gone"):
            lines.append(f"  site {r['number']} {r['kind']} (was {r['path']}:{r['line']}): {r['text']}")
    for line in lines:
        runner.note(line)


# ----------------------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description="Plants small faults in src/ and checks the tests notice.")
    parser.add_argument("--sample", nargs=2, type=int, metavar=("SEED", "COUNT"),
                        help="choose COUNT sites with SEED and write the site list, then stop")
    parser.add_argument("--repo", default=str(SCRIPT_DIR.parent),
                        help="checkout whose src/ is mutated and built (default: this script's)")
    parser.add_argument("--build", help="build folder (default: REPO/build-mutants)")
    parser.add_argument("--sites", default=str(SCRIPT_DIR / "mutants-sites.txt"),
                        help="site list (default: mutants-sites.txt beside this script)")
    parser.add_argument("--only", help="site numbers to run, e.g. 1,4,10-12")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2,
                        help="parallel compiles and tests (default: the number of cores)")
    parser.add_argument("--timeout", type=int, default=120, help="ctest's default time limit per test")
    args = parser.parse_args()

    if args.sample:
        repo = Path(args.repo).resolve()
        seed, count = args.sample
        sites = sample_sites(repo, seed, count)
        commit = subprocess.run(["git", "-C", str(repo), "rev-parse", "--short", "HEAD"],
                                capture_output=True, text=True).stdout.strip() or "unknown commit"
        write_sites(Path(args.sites), sites, seed, count, commit)
        folders = {}
        for s in sites:
            folder = Path(s["path"]).parts[1] if len(Path(s["path"]).parts) > 2 else "."
            folders[folder] = folders.get(folder, 0) + 1
        print(f"{len(sites)} sites written to {args.sites}: "
              + ", ".join(f"{f} {n}" for f, n in sorted(folders.items())))
        return
    try:
        run_mutants(args)
    except (KeyboardInterrupt, Interrupted) as stop:
        sys.exit(f"stopped ({stop or 'interrupted'}); the mutated file was restored")


if __name__ == "__main__":
    main()
