#!/usr/bin/env python3
"""Times editors the way a player meets them, on an X server (Xvfb) of their own.

For each file and each editor: start the program with the file, wait until one of its
windows' titles names the file, type one key through XTest, and stop the clock when the
title shows the modified mark. Peak resident memory is the process's VmHWM at that moment.

    blackbox.py [--out DIR] [--reps 3] [--peer-limit BYTES] FILE... -- NAME=COMMAND...

COMMAND is a shell-free command line in which {file} stands for the file to open ({file.c}
for the same bytes under a .c name), with VAR=value words before it for its environment
(HOME=fresh: a new empty folder each run).
The first editor is the one judged; the second is its peer in the ratio. Writes
DIR/blackbox.json and DIR/blackbox.md and prints the table.
"""
import ctypes
import ctypes.util
import json
import os
import shlex
import signal
import statistics
import subprocess
import sys
import tempfile
import time

X = ctypes.CDLL(ctypes.util.find_library("X11"))
XT = ctypes.CDLL(ctypes.util.find_library("Xtst"))
X.XOpenDisplay.restype = ctypes.c_void_p
X.XOpenDisplay.argtypes = [ctypes.c_char_p]
X.XDefaultRootWindow.restype = ctypes.c_ulong
X.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
X.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                         ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                         ctypes.POINTER(ctypes.c_uint)]
X.XInternAtom.restype = ctypes.c_ulong
X.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
X.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                 ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
X.XFree.argtypes = [ctypes.c_void_p]
X.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
X.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
X.XKeysymToKeycode.restype = ctypes.c_ubyte
X.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


X.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(WindowAttributes)]
XT.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]


# A window that is not mapped yet refuses the focus; the key is typed again later.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda display, event: 0)
X.XSetErrorHandler(ERROR_HANDLER)


class Display:
    def __init__(self, name):
        self.d = X.XOpenDisplay(name.encode())
        if not self.d:
            raise SystemExit(f"cannot open display {name}")
        self.root = X.XDefaultRootWindow(self.d)
        self.net_name = X.XInternAtom(self.d, b"_NET_WM_NAME", False)
        self.wm_name = X.XInternAtom(self.d, b"WM_NAME", False)
        self.wm_pid = X.XInternAtom(self.d, b"_NET_WM_PID", False)

    def children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not X.XQueryTree(self.d, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(kids),
                            ctypes.byref(count)):
            return []
        found = [kids[i] for i in range(count.value)]
        if kids:
            X.XFree(kids)
        return found

    def property(self, window, atom):
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        n, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        if X.XGetWindowProperty(self.d, window, atom, 0, 4096, False, 0, ctypes.byref(kind), ctypes.byref(fmt),
                                ctypes.byref(n), ctypes.byref(after), ctypes.byref(data)) != 0 or not data.value:
            return None
        value = (ctypes.string_at(data.value, n.value) if fmt.value == 8
                 else ctypes.cast(data.value, ctypes.POINTER(ctypes.c_ulong))[0] if n.value else None)
        X.XFree(data)
        return value

    def title(self, window):
        for atom in (self.net_name, self.wm_name):
            text = self.property(window, atom)
            if text:
                return text.decode("utf-8", "replace")
        return ""

    def titles(self, pid):
        """The titles of a process's top-level windows (no window manager: the root's children)."""
        return [(w, self.title(w)) for w in self.children(self.root) if self.property(w, self.wm_pid) == pid]

    def viewable(self, window):
        attributes = WindowAttributes()
        return X.XGetWindowAttributes(self.d, window, ctypes.byref(attributes)) and attributes.map_state == 2

    def type_key(self, window, keysym):
        X.XSetInputFocus(self.d, window, 1, 0)  # RevertToPointerRoot, CurrentTime
        code = X.XKeysymToKeycode(self.d, keysym)
        XT.XTestFakeKeyEvent(self.d, code, True, 0)
        XT.XTestFakeKeyEvent(self.d, code, False, 0)
        X.XSync(self.d, False)


def vm_hwm_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def run_once(display, command, path, timeout=120.0):
    env = dict(os.environ)
    argv = shlex.split(command)
    fresh = None
    while argv and "=" in argv[0]:
        key, value = argv.pop(0).split("=", 1)
        if key == "HOME" and value == "fresh":
            fresh = tempfile.TemporaryDirectory()
            value = fresh.name
        env[key] = value
    if any("{file.c}" in a for a in argv):
        # The same bytes under a C name, for an editor that colours by the file's name.
        link = path + ".c"
        if not os.path.lexists(link):
            os.symlink(os.path.basename(path), link)
        argv, path = [a.replace("{file.c}", link) for a in argv], link
    argv = [a.replace("{file}", path) for a in argv]
    name = os.path.basename(path)
    start = time.perf_counter()
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    shown = window = None
    typed_at = 0.0
    result = None
    try:
        while time.perf_counter() - start < timeout:
            now = time.perf_counter()
            for w, title in display.titles(process.pid):
                if name not in title:
                    continue
                if shown is None:
                    shown, window = now - start, w
                if title.startswith("*") or title.endswith("*"):
                    result = {"titled": shown, "responsive": now - start, "peak_kib": vm_hwm_kib(process.pid)}
                    break
            if result:
                break
            # Typed once the window is on the screen, and again if it was lost meanwhile.
            if window is not None and now - typed_at > 0.25 and display.viewable(window):
                display.type_key(window, ord("x"))
                typed_at = now
            time.sleep(0.002)
    finally:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        if fresh:
            fresh.cleanup()
    if not result:
        raise SystemExit(f"{command} on {path}: no modified mark within {timeout} s")
    return result


def machine():
    cpu = "unknown CPU"
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    system = "Linux"
    if os.path.exists("/etc/os-release"):
        with open("/etc/os-release") as release:
            for line in release:
                if line.startswith("PRETTY_NAME="):
                    system = line.split("=", 1)[1].strip().strip('"')
    return f"{cpu}, {os.cpu_count()} cores, {system}"


# The targets of the judged editor by file size (bytes up to which a row applies):
# seconds until responsive, most times its peer, and peak memory in times the file.
TARGETS = [(0, 64 << 10, 0.12, None, None), (50 << 20, 200 << 20, 1.2, 0.4, 3.0), (500 << 20, 1 << 40, None, None, 3.5)]


def target_for(size):
    for low, high, seconds, ratio, memory in TARGETS:
        if low <= size <= high:
            return seconds, ratio, memory
    return None, None, None


def table(report, names):
    judged, peers = names[0], names[1:]
    head = ["file", judged, "peak"] + [h for p in peers for h in (p, "peak")]
    if peers:
        head.append(f"{judged} / {peers[0]}")
    head += ["target", ""]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for path in dict.fromkeys(r["file"] for r in report):
        rows = {r["editor"]: r for r in report if r["file"] == path}
        size = os.path.getsize(path)
        mib = size / (1 << 20)
        label = f"{mib:.0f} MB" if mib >= 1 else f"{size / 1024:.1f} KB"
        cells, verdict, wants = [label], True, []
        seconds, ratio, memory = target_for(size)
        for name in names:
            row = rows.get(name)
            cells += [f"{row['responsive']:.2f} s", f"{row['peak_kib'] / 1024:.0f} MiB"] if row else ["-", "-"]
        ours = rows.get(judged)
        if peers:
            peer = rows.get(peers[0])
            if ours and peer:
                cells.append(f"{ours['responsive'] / peer['responsive']:.2f}x")
                if ratio is not None:
                    wants.append(f"<= {ratio}x")
                    verdict &= ours["responsive"] <= ratio * peer["responsive"]
            else:
                cells.append("-")
        if ours and seconds is not None:
            wants.append(f"<= {seconds} s")
            verdict &= ours["responsive"] <= seconds
        if ours and memory is not None:
            wants.append(f"peak <= {memory}x file")
            verdict &= ours["peak_kib"] * 1024 <= memory * size
        cells += [", ".join(wants) or "-", ("ok" if verdict else "missed") if wants else ""]
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines) + "\n"


def main():
    args = sys.argv[1:]
    out, reps, peer_limit = ".", 3, 1 << 62
    while args and args[0].startswith("--") and args[0] != "--":
        flag, value = args.pop(0), args.pop(0)
        if flag == "--out":
            out = value
        elif flag == "--reps":
            reps = int(value)
        elif flag == "--peer-limit":  # bytes: larger files are opened by the judged editor only
            peer_limit = int(value)
    split = args.index("--")
    files, editors = args[:split], [e.split("=", 1) for e in args[split + 1:]]
    display = Display(os.environ["DISPLAY"])
    load_before = os.getloadavg()[0]
    report = []
    for path in files:
        for index, (name, command) in enumerate(editors):
            if index > 0 and os.path.getsize(path) > peer_limit:
                continue
            runs = [run_once(display, command, path) for _ in range(reps)]
            row = {"file": path, "size": os.path.getsize(path), "editor": name,
                   "responsive": statistics.median(r["responsive"] for r in runs),
                   "titled": statistics.median(r["titled"] for r in runs),
                   "peak_kib": statistics.median(r["peak_kib"] for r in runs),
                   "runs": [r["responsive"] for r in runs]}
            report.append(row)
            print(f"{os.path.basename(path):>18} {name:>18}: {row['responsive'] * 1000:8.0f} ms "
                  f"{row['peak_kib'] / 1024:7.0f} MiB  (runs: "
                  + ", ".join(f"{r * 1000:.0f}" for r in row["runs"]) + ")", flush=True)
    names = [name for name, _ in editors]
    text = (f"Measured on: {machine()}; load average {load_before:.2f} before, "
            f"{os.getloadavg()[0]:.2f} after; median of {reps}\n\n" + table(report, names))
    with open(os.path.join(out, "blackbox.json"), "w") as f:
        json.dump(report, f, indent=1)
    with open(os.path.join(out, "blackbox.md"), "w") as f:
        f.write(text)
    print("\n" + text)


if __name__ == "__main__":
    main()
