#!/usr/bin/env bash
# Fails when an include crosses the layers the README's Layout section describes.
set -euo pipefail
cd "$(dirname "$0")/.."
# Qt Widgets' class headers, as the installed Qt names them.
widgets=$(for d in /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets; do
            if [ -d "$d" ]; then ls "$d"; fi; done | grep -v '\.h$' | tr '\n' ' ')
exec python3 - "$widgets" <<'PY'
import pathlib, re, sys

FOUNDATION = {"foundation"}
CORE = {"codec", "script", "gamepath", "musicchanger", "recovery", "cli"}
EDITOR = {"editor"}
FEATURES = {"editing", "aids", "languages", "insight", "document", "tunemill", "trykeys", "about"}
APP = {"app"}
widget_headers = set(sys.argv[1].split())
include = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
faults = []

def folder_of(path):
    return path.split("/")[0] if "/" in path else None

def check(file, allowed, widgets_ok=True):
    for number, line in enumerate(file.read_text(errors="replace").splitlines(), 1):
        m = include.match(line)
        if not m:
            continue
        kind, name = m.groups()
        where = f"{file}:{number}: {line.strip()}"
        if kind == '"':
            target = folder_of(name)
            if target and (pathlib.Path("src") / name).exists() and target not in allowed:
                faults.append(f"{where}  ({file.parts[1]}/ may not include {target}/)")
        elif not widgets_ok and (name.split("/")[0] in ("QtWidgets", "Qsci") or name in widget_headers):
            faults.append(f"{where}  (a widget header in the widget-free core)")

own = lambda f: {f}
for file in sorted(pathlib.Path("src").rglob("*")):
    if file.suffix not in (".h", ".cpp") or len(file.parts) < 3:
        continue
    folder = file.parts[1]
    if folder in FOUNDATION:
        check(file, FOUNDATION)
    elif folder in EDITOR:
        check(file, FOUNDATION | EDITOR)
    elif folder in CORE:
        check(file, FOUNDATION | CORE, widgets_ok=False)
    elif folder in FEATURES:
        check(file, FOUNDATION | CORE | EDITOR | own(folder))
    elif folder in APP:
        check(file, FOUNDATION | CORE | EDITOR | FEATURES | APP)
    else:
        faults.append(f"{file}: folder {folder}/ has no layer; add it to scripts/check-layers.sh and the README")

# The main window is the top: only the program's start and the app's own tests see it.
window = re.compile(r'#\s*include\s*"(app/frmMain\.h|support/mainwindow\.h)"')
for file in sorted(list(pathlib.Path("src").rglob("*")) + list(pathlib.Path("tests").rglob("*"))):
    if file.suffix not in (".h", ".cpp"):
        continue
    allowed = file.parts[:2] in (("src", "app"), ("tests", "app")) or str(file) in (
        "src/main.cpp", "tests/support/mainwindow.h")
    if not allowed and window.search(file.read_text(errors="replace")):
        faults.append(f"{file}: includes the main window; only src/main.cpp and tests/app/ may")

if faults:
    print("Layering faults:")
    print("\n".join(faults))
    sys.exit(1)
print("Layers: every include follows the rules.")
PY
