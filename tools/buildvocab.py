#!/usr/bin/env python3
"""Usage: tools/buildvocab.py [VOCAB_DIR] [OUT_DIR]
Builds data/pf/{operators,q3operators,cc,q3cc}.txt (Windows-1252, CR LF) from the
console vocabulary lists (default VOCAB_DIR /work/shared/vocab, OUT_DIR data/pf).

operators.txt / q3operators.txt: every command, every button without its "+", every
cvar and the script words; cc.txt / q3cc.txt: every command, every button in its
"+" form and every cvar, as inserted into a script. Both sorted case-insensitively,
duplicates (any letter case) dropped. Single-player-only names are left out; cheat,
developer and continuation-only (ioq3, jk2mv, mvsdk) names are kept.
"""
import pathlib
import sys

# The words a script is made of; they are console commands of both engines, listed
# here so that the files keep them whatever the lists above hold.
SCRIPT_WORDS = ["bind", "unbind", "unbindall", "set", "seta", "sets", "setu", "reset",
                "vstr", "echo", "exec", "wait", "toggle", "writeconfig", "say", "say_team"]

GAMES = {  # prefix of the vocabulary files -> (word file, command file)
    "jk2": ("operators.txt", "cc.txt"),
    "q3": ("q3operators.txt", "q3cc.txt"),
}


def read_names(path):
    return [line.split("\t")[0] for line in path.read_text(encoding="ascii").splitlines() if line]


def sp_only(vocab, prefix):
    path = vocab / f"{prefix}-sp-only.tsv"
    if not path.exists():
        return set()
    rows = path.read_text(encoding="ascii").splitlines()[1:]
    return {row.split("\t")[1].lower() for row in rows if row}


def unique_sorted(names):
    seen = {}
    for name in names:
        seen.setdefault(name.lower(), name)
    return sorted(seen.values(), key=lambda n: (n.lstrip("+").lower(), n.lower()))


def write_lines(path, names):
    text = "".join(name + "\r\n" for name in names)
    path.write_bytes(text.encode("cp1252"))


def build(vocab, out, prefix, word_file, command_file):
    commands = read_names(vocab / f"{prefix}-commands.txt")
    buttons = read_names(vocab / f"{prefix}-buttons.txt")
    cvars = read_names(vocab / f"{prefix}-cvars.tsv")
    excluded = sp_only(vocab, prefix)
    keep = lambda names: [n for n in names if n.lower() not in excluded]
    commands, buttons, cvars = keep(commands), keep(buttons), keep(cvars)
    bad = [b for b in buttons if not b.startswith("+")]
    if bad:
        sys.exit(f"{prefix}: buttons without '+': {bad}")

    words = unique_sorted(commands + [b[1:] for b in buttons] + cvars + SCRIPT_WORDS)
    entries = unique_sorted(commands + buttons + cvars + SCRIPT_WORDS)
    write_lines(out / word_file, words)
    write_lines(out / command_file, entries)
    print(f"{prefix}: {len(commands)} commands, {len(buttons)} buttons, {len(cvars)} cvars"
          f" -> {word_file} {len(words)}, {command_file} {len(entries)}")


def main():
    if len(sys.argv) > 3 or any(a in ("-h", "--help") for a in sys.argv[1:]):
        sys.exit(__doc__)
    vocab = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "/work/shared/vocab")
    out = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else \
        pathlib.Path(__file__).resolve().parent.parent / "data" / "pf"
    out.mkdir(parents=True, exist_ok=True)
    for prefix, (word_file, command_file) in GAMES.items():
        build(vocab, out, prefix, word_file, command_file)


if __name__ == "__main__":
    main()
