#!/usr/bin/python3
"""Runs a window program on an X server of its own (Xvfb), prints the title of its window once it
is on screen, and closes the window the way its close button does: the window manager's
WM_DELETE_WINDOW message. Exits with the program's own exit code, or 124 when it does not end.

    close_window.py PROGRAM [ARG...]
"""
import os
import subprocess
import sys
import time

from Xlib import X, display, protocol


def window_of(d, pid):
    """The mapped top-level window of the process `pid`, or None."""
    pid_atom = d.intern_atom("_NET_WM_PID")
    for w in d.screen().root.query_tree().children:
        p = w.get_full_property(pid_atom, X.AnyPropertyType)
        if p and p.value[0] == pid and w.get_attributes().map_state == X.IsViewable:
            return w
    return None


def main():
    r, w = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
                            pass_fds=[w], stderr=subprocess.DEVNULL)
    os.close(w)
    number = os.read(r, 32).decode().strip()
    if not number:
        sys.exit("Xvfb did not start")
    env = dict(os.environ, DISPLAY=":" + number)
    env.pop("QT_QPA_PLATFORM", None)
    d = display.Display(env["DISPLAY"])
    program = subprocess.Popen(sys.argv[1:], env=env)
    code = 124
    try:
        deadline = time.monotonic() + 20
        win = None
        while win is None and program.poll() is None and time.monotonic() < deadline:
            time.sleep(0.05)
            win = window_of(d, program.pid)
        if win is None:
            sys.exit("no window appeared")
        time.sleep(0.3)  # the window settles, as it does before anyone reaches for its close button
        name = win.get_full_property(d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING"))
        print(name.value.decode() if name else "", flush=True)
        protocols = d.intern_atom("WM_PROTOCOLS")
        close = protocol.event.ClientMessage(window=win, client_type=protocols,
                                             data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        win.send_event(close, event_mask=X.NoEventMask)
        d.flush()
        code = program.wait(timeout=10)
    except subprocess.TimeoutExpired:
        print("the program did not end when its window was closed", file=sys.stderr)
    finally:
        if program.poll() is None:
            program.kill()
        xvfb.terminate()
        xvfb.wait()
    sys.exit(code)


if __name__ == "__main__":
    main()
