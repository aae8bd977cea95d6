#!/usr/bin/python3
"""close_window.py PROGRAM [ARG...]: runs PROGRAM on an X server of its own (Xvfb), prints the title
of its window once it is on screen, and closes the window as its close button does (the window
manager's WM_DELETE_WINDOW message). Exits with the program's exit code; 1 with a message when no
window appeared or the program did not end."""
import os, subprocess, sys, time

from Xlib import X, display, protocol

r, w = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
                        pass_fds=[w], stderr=subprocess.DEVNULL)
os.close(w)
env = dict(os.environ, DISPLAY=":" + os.read(r, 32).decode().strip())
env.pop("QT_QPA_PLATFORM", None)
d = display.Display(env["DISPLAY"])
atom = d.intern_atom
program = subprocess.Popen(sys.argv[1:], env=env)
try:
    deadline, win = time.monotonic() + 20, None
    while win is None and program.poll() is None and time.monotonic() < deadline:
        time.sleep(0.05)
        for c in d.screen().root.query_tree().children:  # its mapped top-level window
            pid = c.get_full_property(atom("_NET_WM_PID"), X.AnyPropertyType)
            if pid and pid.value[0] == program.pid and c.get_attributes().map_state == X.IsViewable:
                win = c
    if win is None:
        sys.exit("no window appeared")
    time.sleep(0.3)  # the window settles, as it does before anyone reaches for its close button
    name = win.get_full_property(atom("_NET_WM_NAME"), atom("UTF8_STRING"))
    print(name.value.decode() if name else "", flush=True)
    data = (32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])
    win.send_event(protocol.event.ClientMessage(window=win, client_type=atom("WM_PROTOCOLS"), data=data))
    d.flush()
    sys.exit(program.wait(timeout=10))
except subprocess.TimeoutExpired:
    sys.exit("the program did not end when its window was closed")
finally:
    if program.poll() is None:
        program.kill()
    xvfb.terminate()
    xvfb.wait()
