#!/usr/bin/env python3
"""driven_bench.py --sim SIM --label NAME [--cards 50] [--wait 60] [--runs 5] -- ZENTAP...

The real program measured from outside, through the zentapdriver plugin, the same way for every
build (the native one, zentap.exe under wine): start-up to the window shown, the CPU the program
uses while an encoding run waits for a card, and the time per card of a batch of USUARIO BASICO
cards over TCP against the simulator's auto-feed. Prints "RESULT <NAME>.<key> <value>" lines.
Measurements, not tests: nothing here passes or fails."""
import argparse, os, random, statistics, subprocess, sys, time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.dont_write_bytecode = True
sys.path[:0] = [str(ROOT / "scripts"), str(ROOT / "src" / "driver")]
import make_lang  # noqa: E402
from zentapdriver import ReaderSim, Zentap, wait_for  # noqa: E402

TEXT = {num: texts["es"] for num, _, _, texts in make_lang.ENTRIES}
TICKS = os.sysconf("SC_CLK_TCK")

p = argparse.ArgumentParser()
p.add_argument("--sim", required=True)
p.add_argument("--label", required=True)
p.add_argument("--cards", type=int, default=50)
p.add_argument("--wait", type=float, default=60)
p.add_argument("--runs", type=int, default=5)
p.add_argument("zentap", nargs="+")
args = p.parse_args()
tcp = f"127.{random.randint(1, 254)}.{random.randint(1, 254)}.1"


def result(key, value):
    print(f"RESULT {args.label}.{key} {value:.6g}", flush=True)


def cpu_seconds(pids):
    """User and system time of the processes, and of wine's server where there is one."""
    total = 0
    for pid in pids:
        try:
            fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except (OSError, IndexError):
            pass
    return total / TICKS


def wineservers():
    out = subprocess.run(["pgrep", "-x", "wineserver"], capture_output=True, text=True).stdout
    return [int(p) for p in out.split()]


def shown(app):
    return app.ask("get", "frmZentap")["visible"]


# 1. Start-up: from starting the process to the window on screen, median of the runs.
times = []
for _ in range(args.runs):
    t0 = time.monotonic()
    app = Zentap(args.zentap)
    wait_for("the window", lambda: shown(app))
    times.append(time.monotonic() - t0)
    app.close(60)
result("startup_ms", 1000 * statistics.median(times))

sim = ReaderSim(args.sim, ["--timing", "instant", "--bind", tcp])
app = Zentap(args.zentap)
try:
    wait_for("the window", lambda: shown(app))
    app.ask("set", "cEditCfg3", tcp)
    app.ask("click", "cmdOpenTCP")
    app.wait_log("OpenPortTCP OK")
    for box, ticked in [("cSelTar(30)", "1"), ("cSelTar(31)", "0"), ("cSelTar(32)", "0")]:
        app.ask("check", box, ticked)

    # 2. CPU while the run waits for a card that does not come.
    app.ask("click", "cmdStart(2)")
    app.wait_log(f"{TEXT[176]}: USUARIO BASICO")
    time.sleep(1)
    pids = [app.proc.pid] + wineservers()
    c0, t0 = cpu_seconds(pids), time.monotonic()
    time.sleep(args.wait)  # the measurement itself: nothing is waited for here
    c1, t1 = cpu_seconds(pids), time.monotonic()
    result("card_wait_cpu_pct", 100 * (c1 - c0) / (t1 - t0))
    app.ask("click", "cmdStop(2)")
    app.wait_log(TEXT[177])

    # 3. A batch against the simulator's auto-feed: the time per card.
    app.ask("set", "txtNumTar", str(args.cards))
    app.ask("set", "txtUser", "001")
    sim.command("auto-feed on")
    done = app.ask("log").count("Beeper")
    t0 = time.monotonic()
    app.ask("click", "cmdStart(2)")
    wait_for("the batch", lambda: app.ask("log").count("Beeper") >= done + args.cards, 60 + 10 * args.cards)
    result("per_card_s", (time.monotonic() - t0) / args.cards)
finally:
    app.close(60)
    sim.proc.kill()
