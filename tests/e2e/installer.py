#!/usr/bin/env python3
"""installer.py SETUP PLUGIN: under wine (WINEPREFIX set), installs SETUP silently, starts the
installed zentap.exe with the driver plugin PLUGIN (copied in for the test and taken out again),
checks that it found its language files (its title is message 2 of the start language), then
uninstalls silently and checks that nothing is left: files, Start-menu entries, registry keys."""
import os, shutil, subprocess, sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.dont_write_bytecode = True
sys.path[:0] = [str(ROOT / "scripts"), str(ROOT / "src" / "driver")]
import make_lang  # noqa: E402
from zentapdriver import Failed, Zentap, wait_for  # noqa: E402

setup, plugin = sys.argv[1:3]
drive = Path(os.environ["WINEPREFIX"]) / "drive_c"
home = drive / "Program Files" / "Zentap"
menu = drive / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "Zentap"
key = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zentap"
title = next(t["es"] for n, _, _, t in make_lang.ENTRIES if n == 2)


def wine(*args):
    subprocess.run(["wine", *args], check=True, timeout=120)


def registered():
    return subprocess.run(["wine", "reg", "query", key], capture_output=True, timeout=60).returncode == 0


failures = []
try:
    wine(setup, "/S")
    for need in ["zentap.exe", "zentap-reader-sim.exe", "uninstall.exe", "qt.conf", "Qt6Widgets.dll",
                 "plugins/platforms/qwindows.dll"] + [f"MisI0{n}.dat" for n in range(1, 6)]:
        if not (home / need).is_file():
            failures.append(f"not installed: {need}")
    if not (menu / "Zentap.lnk").is_file() or not registered():
        failures.append("no Start-menu entry or no uninstall entry")
    (home / "plugins" / "generic").mkdir(exist_ok=True)
    shutil.copy(plugin, home / "plugins" / "generic")
    app = Zentap(["wine", str(home / "zentap.exe")])
    try:
        wait_for("the title", lambda: app.ask("title") == title)
    finally:
        app.close(60)
    shutil.rmtree(home / "plugins" / "generic")
    wine(str(home / "uninstall.exe"), "/S")  # it goes on in a copy of itself, and ends by removing
    try:                                      # the folder and the menu, last of all
        wait_for("the uninstaller", lambda: not home.exists() and not menu.exists(), 120)
    except Failed:
        pass
    left = [str(p) for p in (home, menu) if p.exists()] + ([key] if registered() else [])
    if left:
        failures.append(f"left behind: {left}")
except (Failed, subprocess.SubprocessError, OSError) as e:
    failures.append(str(e))
for f in failures:
    print("FAILED:", f)
print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
sys.exit(1 if failures else 0)
