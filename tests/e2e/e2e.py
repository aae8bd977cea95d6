#!/usr/bin/env python3
"""e2e.py --sim SIM [--tcp ADDR | --com N --link PATH] -- ZENTAP...: over TCP on ADDR:1001 (default: a
loopback address of this run's own) or COM N, mapped to the simulator's pty PATH. 77: skipped."""
import argparse, random, sys, tempfile
from pathlib import Path

sys.dont_write_bytecode = True
sys.path[:0] = [str(Path(__file__).resolve().parents[2] / d) for d in ("scripts", "src/driver")]
import make_lang  # noqa: E402
from zentapdriver import Failed, ReaderSim, Zentap, wait_for  # noqa: E402

TEXT = {num: texts["en"] for num, _, _, texts in make_lang.ENTRIES}
BLOCK4 = "1012340072" + "F" * 22  # type 10, installation 1234, user 007, check digit 2
TRAILER = "A0A1A2A3A4A5" "FF0780" "FF" "FFFFFFFFFFFF"
HEADING, DASHES = f"{TEXT[176]}: USUARIO BASICO - 007", "-" * 60

p = argparse.ArgumentParser()
for opt, kw in [("--sim", {}), ("--tcp", {}), ("--com", {}), ("--link", {}), ("zentap", {"nargs": "+"})]:
    p.add_argument(opt, **kw)
args = p.parse_args()
args.tcp = args.tcp or f"127.{random.randint(1, 254)}.{random.randint(1, 254)}.1"  # an address of its own
link = ["--serial", "--link", args.link] if args.com else ["--bind", args.tcp]
card = str(Path((work := tempfile.TemporaryDirectory()).name) / "card.bin")
try:
    sim = ReaderSim(args.sim, ["--timing", "instant"] + link)
except Failed as e:  # port 1001 needs root, or another program has the address
    print(f"{'skipped' if 'cannot listen' in str(e) else 'FAILED'}: {e}\n0 passed, 0 failed")
    sys.exit(77 if "cannot listen" in str(e) else 1)


def check(what, got, want):
    if got != want:
        raise Failed(f"{what}: {got!r}, not {want!r}")


def start():
    global app
    app = Zentap(args.zentap)


def english():
    app.ask("click", next(f"cIdioma({i})" for i in range(5) if app.get(f"cIdioma({i})") == "English"))
    wait_for("the English title", lambda: app.ask("title") == TEXT[2])


def open_link():
    field, button = ("cEditCfg1", "cmdOpenCom") if args.com else ("cEditCfg3", "cmdOpenTCP")
    app.ask("set", field, str(args.com or args.tcp))
    app.ask("click", button)
    app.wait_log("OpenPortCOM: OK" if args.com else "OpenPortTCP OK")


def make_card():
    for name, text in [("txtNumInst", "1234"), ("txtKeyMF", TRAILER[:12]), ("txtUser", "007")]:
        app.ask("set", name, text)
    for name, on in [("cSelTar(30)", "1"), ("cSelTar(31)", "0"), ("cSelTar(32)", "0"), ("chkVerify", "1")]:
        app.ask("check", name, on)
    app.ask("click", "cmdStart(2)")
    app.wait_log(HEADING)
    sim.command("present 1k 0A0B0C0D")
    app.wait_log("UID:  0A 0B 0C 0D", f"Write Block: 04---{BLOCK4}", "Write Protection Block: 07",
                 TEXT[405], "Halt", DASHES)
    sim.command(f"dump {card}")
    data = Path(card).read_bytes().hex().upper()
    check("blocks 4 and 7 in the simulator", (data[128:160], data[224:256]), (BLOCK4, TRAILER))


def read_back():
    sim.command("remove")
    app.ask("click", "cmdLecTar")
    app.wait_log("WriteKeyE2P[9]")
    sim.command(f"load {card}")
    app.wait_log("Login[1]", "Read Block[2]", "Beeper")
    shown = [app.get(f"txtInfoRead({i})") for i in range(3)] + ["007" in app.get("txtInfoDetail")]
    check("the read tab's blocks, and user 007 in its detail", shown, [BLOCK4, "0" * 32, "0" * 32, True])
    app.ask("click", "cmdStop(3)")
    app.wait_log(TEXT[177], DASHES)


def link_lost():
    global sim
    app.ask("click", "cmdStart(2)")  # user 007 again: the start check asks first
    box = wait_for("the box of a user made before", lambda: app.ask("boxes"))
    check("user 007 in the start check's box", "007" in box[-1]["text"], True)
    app.ask("press", "0")
    app.wait_log(HEADING)
    sim.proc.kill()
    app.wait_log(TEXT[283])
    app.ask("click", "cmdStop(2)")
    app.wait_log(TEXT[177], DASHES)
    app.ask("click", "cmdClose")
    app.wait_log("ClosePort: OK")
    closed = "cmdStart(0) cmdStart(1) cmdStart(2) cmdLecTar cmdClose".split()
    check("enabled with the link closed", [n for n in closed if app.get(n, "enabled")], [])
    sim = ReaderSim(args.sim, ["--timing", "instant"] + link)
    open_link()


def quit():
    check("zentap's exit code, the unsaved record's question answered", app.close(), 0)


passed = failed = 0
try:
    for step in (start, english, open_link, make_card, read_back, link_lost, quit):
        try:
            step()
            passed += 1
        except (Failed, OSError, ValueError) as e:
            failed += 1
            print(f"FAILED: {step.__name__}: {e}\nthe log's last lines:", flush=True)
            if "app" in globals() and app.proc.poll() is None:
                print(*app.ask("log")[-12:], sep="\n")
            break
finally:
    for proc in [sim.proc] + ([app.proc] if "app" in globals() else []):
        proc.kill()
    work.cleanup()
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
