#!/usr/bin/env python3
"""Usage: tools/buildinsight.py [VOCAB_DIR] [OUT_DIR]
Builds data/vocab/{jk2,q3}.tsv, the words the script checks and the editor's hover and
completion read at run time (default VOCAB_DIR /work/shared/vocab, OUT_DIR data/vocab).

One row per name, ASCII, LF, sorted by lower-cased kind and name:
    kind TAB name TAB releases TAB default TAB continuation default TAB flags
kind: cmd, button (with its "+"), cvar, var (a cvar the code only sets, never registers),
key (a bind key name). releases: "o" the original release has it (Quake III 1.32, Jedi
Outcast 1.04), "c" the continuation (ioquake3; jk2mv, which also runs the 1.04 game
modules, so a 1.04 module name counts for it). The continuation default is written only
where it differs.
"""
import pathlib
import sys

ORIGINAL = {"q3": "id132", "jk2": "raven104"}
CONTINUATION = {"q3": {"ioq3"}, "jk2": {"jk2mv", "mvsdk"}}
MODULE_DIRS = ("CODE-mp/game/", "CODE-mp/cgame/", "CODE-mp/ui/")


def releases(game, sources, locations):
    rel = ""
    if ORIGINAL[game] in sources:
        rel += "o"
    continued = bool(CONTINUATION[game] & set(sources))
    if game == "jk2" and not continued:
        continued = any(loc.startswith("raven104:" + d) for loc in locations for d in MODULE_DIRS)
    if continued:
        rel += "c"
    return rel


def clean(text):
    return text.replace("\t", " ").replace("\n", " ")


def build(vocab, out, game):
    rows = {}
    main_defaults = {}
    for line in (vocab / f"{game}-cvars.tsv").read_text(encoding="ascii").splitlines():
        if line:
            name, _, default = line.partition("\t")
            main_defaults[name.lower()] = default
    prov = (vocab / f"{game}-provenance.tsv").read_text(encoding="ascii").splitlines()[1:]
    for line in prov:
        kind, name, in_main, sources, defaults, flags, _excluded, locations = (line.split("\t") + [""] * 8)[:8]
        if in_main != "yes" or kind not in ("cmd", "button", "cvar"):
            continue
        sources = sources.split(",")
        rel = releases(game, sources, locations.split())
        default = cont_default = ""
        if kind == "cvar":
            by_source = dict(part.strip().split("=", 1) for part in defaults.split(" | ") if "=" in part)
            default = main_defaults.get(name.lower(), "")
            for src in sorted(CONTINUATION[game]):
                if src in by_source and by_source[src] != default:
                    cont_default = by_source[src]
                    break
            flags = flags.split(" | ")[0]
        else:
            flags = ""
        rows[(kind, name.lower())] = (kind, name, rel, clean(default), clean(cont_default), flags)
    unreg = (vocab / f"{game}-cvars-unregistered.tsv").read_text(encoding="ascii").splitlines()[1:]
    for line in unreg:
        name, sources, locations = (line.split("\t") + ["", ""])[:3]
        if (("cvar", name.lower())) not in rows:
            rows[("var", name.lower())] = ("var", name, releases(game, sources.split(","), locations.split()), "", "", "")
    key_sources = {}
    for line in (vocab / f"{game}-keynames-provenance.tsv").read_text(encoding="ascii").splitlines()[1:]:
        name, source, _path, excluded = (line.split("\t") + [""] * 4)[:4]
        if name and not excluded:
            key_sources.setdefault(name.lower(), (name, set()))[1].add(source)
    for line in (vocab / f"{game}-keynames.txt").read_text(encoding="ascii").splitlines():
        if line and line.lower() not in key_sources:
            key_sources[line.lower()] = (line, {ORIGINAL[game]} | CONTINUATION[game])
    for lower, (name, sources) in key_sources.items():
        rows[("key", lower)] = ("key", name, releases(game, sources, []), "", "", "")
    text = "".join("\t".join(row) + "\n" for _, row in sorted(rows.items()))
    (out / f"{game}.tsv").write_bytes(text.encode("ascii"))
    return len(rows)


def main():
    vocab = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "/work/shared/vocab")
    out = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else "data/vocab")
    out.mkdir(parents=True, exist_ok=True)
    for game in ("jk2", "q3"):
        print(game, build(vocab, out, game))


if __name__ == "__main__":
    main()
