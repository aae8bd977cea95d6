"""Python client of the zentapdriver plugin (driver.h), and of zentap-reader-sim --headless: starts
the programs and drives them. Standard library only.

    from zentapdriver import Zentap, ReaderSim
    sim = ReaderSim("build/bin/zentap-reader-sim", ["--bind", "127.0.0.1"])
    app = Zentap(["build/bin/zentap"])            # or ["wine", "zentap.exe"]
    app.ask("set", "cEditCfg3", "127.0.0.1"); app.ask("click", "cmdOpenTCP")
    app.wait_log("OpenPortTCP OK")

Every wait ends on what it waits for or after `timeout` seconds with Failed."""
import json, os, queue, socket, subprocess, threading, time

TIMEOUT = float(os.environ.get("ZT_DRIVER_TIMEOUT", "20"))  # seconds; longer under an emulator


class Failed(Exception):
    pass


def wait_for(what, probe, timeout=TIMEOUT):
    """Polls `probe` until it gives something true, and returns that."""
    end = time.monotonic() + timeout
    while not (got := probe()):
        if time.monotonic() > end:
            raise Failed("timed out waiting for " + what)
        time.sleep(0.05)
    return got


class ReaderSim:
    """zentap-reader-sim --headless: commands on its standard input, replies on its output."""

    def __init__(self, program, args):
        self.proc = subprocess.Popen([program, "--headless"] + args, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        if self._line() is None:  # the first line says where it listens
            raise Failed(self.proc.stderr.read().strip() or "the simulator ended")

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.strip())
        self.lines.put(None)

    def _line(self):
        try:
            return self.lines.get(timeout=TIMEOUT)
        except queue.Empty:
            raise Failed("the simulator does not answer") from None

    def command(self, line):
        """The reply "ok ..." to `line`; Failed for an error. Events on the way are passed over."""
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        while not (reply := self._line() or "ended").startswith(("ok", "error", "ended")):
            pass
        if not reply.startswith("ok"):
            raise Failed(f"simulator: {line}: {reply}")
        return reply


class Zentap:
    """The program started with the plugin on a free port, and a connection to it."""

    def __init__(self, command):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        self.proc = subprocess.Popen(command + ["-plugin", f"zentapdriver:{port}"])
        conn = wait_for("the driver", lambda: self._connect(port))
        self.io = conn.makefile("rw", encoding="utf-8", newline="\n")
        self.mark = 0

    def _connect(self, port):
        if self.proc.poll() is not None:
            raise Failed(f"zentap ended with {self.proc.returncode}")
        try:
            return socket.create_connection(("127.0.0.1", port), timeout=TIMEOUT)
        except OSError:
            return None

    def ask(self, *words):
        """The answer's value; Failed with the plugin's reason when it refuses."""
        self.io.write(" ".join(words) + "\n")
        self.io.flush()
        line = self.io.readline()
        if not line:
            raise Failed("zentap closed the connection")
        answer = json.loads(line)
        if "error" in answer:
            raise Failed(" ".join(words) + ": " + answer["error"])
        return answer["ok"]

    def get(self, name, what="text"):
        return self.ask("get", name)[what]

    def log_after(self, *starts):
        """Just past log lines that begin with `starts`, in this order, after the last ones found."""
        log, at = self.ask("log"), self.mark
        for start in starts:
            at = next((i + 1 for i in range(at, len(log)) if log[i].startswith(start)), None)
            if at is None:
                return None
        return at

    def wait_log(self, *starts):
        self.mark = wait_for(f"the log lines {starts}", lambda: self.log_after(*starts))

    def close(self, timeout=TIMEOUT):
        """Closes the window as its close button does; a question about unsaved record rows is
        answered "close without saving". Returns the program's exit code."""
        self.ask("quit")
        end = time.monotonic() + timeout
        while self.proc.poll() is None:
            if time.monotonic() > end:
                raise Failed("zentap does not end")
            try:
                if self.ask("boxes"):
                    self.ask("press", "1")
            except (Failed, OSError, ValueError):
                pass  # the window is going: the connection goes with it
            time.sleep(0.05)
        return self.proc.returncode
