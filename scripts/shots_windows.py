#!/usr/bin/env python3
"""shots_windows.py SIM OUTDIR -- ZENTAP...: pictures of the real program (zentap.exe under wine, as
scripts/screenshot.sh starts it) for the README: a batch of user cards in progress, the read tab with
a card read back, and the card record. It drives the program through the zentapdriver plugin
against the simulator over TCP, in English. OUTDIR is a folder of this system; the program is told
it as wine sees it (Z: is the root)."""
import random, sys, tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.dont_write_bytecode = True
sys.path[:0] = [str(ROOT / "scripts"), str(ROOT / "src" / "driver")]
import make_lang  # noqa: E402
from zentapdriver import ReaderSim, Zentap, wait_for  # noqa: E402

TEXT = {num: texts["en"] for num, _, _, texts in make_lang.ENTRIES}
sim_program, out = sys.argv[1], Path(sys.argv[2]).resolve()
command = sys.argv[sys.argv.index("--") + 1:]
tcp = f"127.{random.randint(1, 254)}.{random.randint(1, 254)}.1"
wine = "wine" in Path(command[0]).name


def grab(widget, name):
    path = out / name
    target = "Z:" + str(path).replace("/", "\\") if wine else str(path)
    app.ask("grab", widget, target)
    print(path)


sim = ReaderSim(sim_program, ["--timing", "9600", "--bind", tcp])
app = Zentap(command)
try:
    app.ask("click", next(f"cIdioma({i})" for i in range(5) if app.get(f"cIdioma({i})") == "English"))
    wait_for("English", lambda: app.ask("title") == TEXT[2])
    app.ask("set", "cEditCfg3", tcp)
    app.ask("click", "cmdOpenTCP")
    app.wait_log("OpenPortTCP OK")
    app.ask("set", "SSTab1", "2")
    for box, ticked in [("cSelTar(30)", "1"), ("cSelTar(31)", "0"), ("cSelTar(32)", "0"), ("chkVerify", "1")]:
        app.ask("check", box, ticked)
    app.ask("set", "txtNumInst", "1234")
    app.ask("set", "txtUser", "041")
    app.ask("set", "txtNumTar", "5")
    app.ask("click", "cmdStart(2)")
    app.wait_log(f"{TEXT[176]}: USUARIO BASICO - 041")
    for uid in ["04A1B2C3", "04D4E5F6"]:
        sim.command(f"present 1k {uid}")
        app.wait_log("Halt", "-" * 60)
        sim.command("remove")
    sim.command("present 1k 04778899")
    app.wait_log("Write Block: 04")
    grab("frmZentap", "zentap-windows-run.png")
    app.wait_log("Halt", "-" * 60)
    app.ask("click", "cmdStop(2)")
    app.wait_log(TEXT[177])
    card = str(Path(tempfile.mkdtemp()) / "card.bin")
    sim.command(f"dump {card}")
    sim.command("remove")
    app.ask("set", "SSTab1", "3")
    app.ask("click", "cmdLecTar")
    app.wait_log("WriteKeyE2P[9]")
    sim.command(f"load {card}")
    app.wait_log("Read Block[2]", "Beeper")
    grab("frmZentap", "zentap-windows-read.png")
    app.ask("click", "cmdStop(3)")
    app.wait_log(TEXT[177])
    app.ask("click", "cmdRecord")
    wait_for("the record window", lambda: app.get("frmRecord", "visible"))
    grab("frmRecord", "zentap-windows-record.png")
finally:
    app.close(60)
    sim.proc.kill()
