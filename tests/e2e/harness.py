"""Runs the built Varnel.exe under Wine on a private Xvfb display and drives it
as a user would: real clicks and keys through xdotool, and what the user sees
read back through varnel_inspect (a Windows console program kept running
beside it, answering one JSON line per command).

Used by tests/e2e/varnel_e2e.py and bench/ui_bench.py. Python standard
library only; needs Xvfb, xdotool and imagemagick's import on PATH.
"""
import getpass
import json
import os
import shutil
import subprocess
import time

POLL = 0.1  # seconds between two looks at the screen
IN_PROGRESS, FINISHED, CANCELED = "In progress...", "Finished", "Canceled"


class Timeout(AssertionError):
    pass


def win_path(path):
    """The Windows name of a Linux path: Wine maps / to drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class Inspector:
    """One varnel_inspect process; ask() sends a command, returns its answer."""

    def __init__(self, session):
        self.process = subprocess.Popen(
            [session.wine, session.inspect], env=session.env, stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def ask(self, command):
        self.process.stdin.write((command + "\n").encode())
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        if not line:
            raise AssertionError(f"varnel_inspect ended while answering {command!r}")
        return json.loads(line)

    def close(self):
        try:
            self.process.stdin.write(b"quit\n")
            self.process.stdin.close()
            self.process.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()


class Session:
    """One display, one Wine session and at most one watched Varnel process.

    The Wine prefix is the build tree's (WINEPREFIX from CTest's environment),
    shared with the other Windows tests, which CTest runs one at a time."""

    def __init__(self, wine, varnel, inspect, work, dpi=96):
        self.wine, self.varnel, self.inspect = wine, varnel, inspect
        self.work, self.dpi = work, dpi
        self.prefix = os.environ.get("WINEPREFIX")
        if not self.prefix:
            raise SystemExit("WINEPREFIX must name the build tree's Wine prefix")
        server = os.path.join(os.path.dirname(shutil.which(wine) or wine), "wineserver")
        self.wineserver = server if os.access(server, os.X_OK) else "wineserver"
        self.xvfb = self.inspector = self.program = None
        self.display = None

    # --- session ---------------------------------------------------------

    def __enter__(self):
        os.makedirs(self.work, exist_ok=True)
        self._end_wine()  # a server left from another test has no display
        self._start_xvfb()
        self.env = dict(os.environ, DISPLAY=self.display, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        # The first Wine process starts Wine's own services, which keep the
        # output they inherit open: they get none of ours.
        self.wine_run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated",
                      "/d", "N", "/f")
        if self.dpi != 96:
            self.wine_run("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                          "/t", "REG_DWORD", "/d", str(self.dpi), "/f")
        self.clear_data()
        self.inspector = Inspector(self)
        return self

    def __exit__(self, *exc):
        self.stop_program()
        if self.inspector:
            self.inspector.close()
        if self.dpi != 96:
            self.wine_run("reg", "delete", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/f")
        self._end_wine()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)
        return False

    def _start_xvfb(self):
        scale = self.dpi / 96
        screen = f"{int(1280 * scale)}x{int(1024 * scale)}x24"
        for number in range(91, 160):
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", screen, "-nolisten",
                                     "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and xvfb.poll() is None:
                if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                    self.xvfb, self.display = xvfb, f":{number}"
                    return
                time.sleep(0.05)
            if xvfb.poll() is None:
                xvfb.kill()
            xvfb.wait()
        raise SystemExit("no free X display for Xvfb")

    def _end_wine(self):
        env = dict(os.environ, WINEPREFIX=self.prefix)
        try:
            subprocess.run([self.wineserver, "-w"], env=env, timeout=20)
        except subprocess.TimeoutExpired:
            # Only this build tree's prefix: the processes in it are this run's.
            subprocess.run([self.wineserver, "-k"], env=env)
            subprocess.run([self.wineserver, "-w"], env=env, timeout=20)

    def wine_run(self, *args, timeout=120):
        return subprocess.run([self.wine, *args], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode

    @property
    def data_folder(self):
        return os.path.join(self.prefix, "drive_c", "users", getpass.getuser(), "AppData",
                            "Roaming", "Varnel")

    def clear_data(self):
        shutil.rmtree(self.data_folder, ignore_errors=True)

    # --- the program -----------------------------------------------------

    def start_program(self, *args):
        """Starts Varnel.exe and returns its process (the Wine loader's)."""
        process = subprocess.Popen([self.wine, self.varnel, *args], env=self.env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        if self.program is None or self.program.poll() is not None:
            self.program = process
        return process

    def open(self, *args):
        """Starts the program and waits for its window with one find page."""
        self.start_program(*args)
        return self.wait(lambda s: s["main"] and s["main"]["visible"] and s["page"] is not None,
                         "the main window with a find page", timeout=60)

    def close_program(self, timeout=60):
        """Asks the window to close (WM_CLOSE) and waits for the exit code."""
        self.post(0x0010, 0, 0)
        return self.program.wait(timeout=timeout)

    def stop_program(self):
        if self.program and self.program.poll() is None:
            try:
                self.close_program(timeout=20)
            except subprocess.TimeoutExpired:
                self.program.kill()
                self.program.wait()

    # --- looking -----------------------------------------------------------

    def state(self, max_rows=200):
        return self.inspector.ask(f"state {max_rows}")

    def post(self, message, wparam, lparam):
        return self.inspector.ask(f"post {message} {wparam} {lparam}")["posted"]

    def wait(self, condition, what, timeout=30, max_rows=200):
        """Polls the screen until condition(state) holds; returns that state."""
        deadline = time.monotonic() + timeout
        state = None
        while True:
            state = self.state(max_rows)
            try:
                if condition(state):
                    return state
            except (KeyError, IndexError, TypeError):
                pass  # a part of the window that is not there yet
            if time.monotonic() > deadline:
                raise Timeout(f"waited {timeout} s for {what}; last seen: {summary(state)}")
            time.sleep(POLL)

    def wait_finished(self, timeout=120, ending=(FINISHED, CANCELED), max_rows=200):
        return self.wait(lambda s: s["status"][2] in ending, f"status {ending}", timeout,
                         max_rows)

    # --- input -------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def click_at(self, x, y):
        # No --sync: it waits for the pointer to move, forever when it already
        # is there (Cancel where Find was). The server keeps the order anyway.
        self.xdotool("mousemove", x, y, "click", "1")

    def control(self, state, control_id):
        return state["page"]["controls"][str(control_id)]

    def click_control(self, control_id, state=None):
        rect = self.control(state or self.state(0), control_id)["rect"]
        self.click_at(*center(rect))

    def type_into(self, control_id, text):
        """Clicks into an edit, replaces its text by typing, and waits until
        the edit holds exactly that text."""
        rect = self.control(self.state(0), control_id)["rect"]
        # Near the left end: buttons sit inside the right end of some edits.
        self.click_at(rect[0] + 12, (rect[1] + rect[3]) // 2)
        self.xdotool("key", "--clearmodifiers", "End", "shift+Home", "BackSpace")
        if text:
            self.xdotool("type", "--delay", "8", "--clearmodifiers", text)
        self.wait(lambda s: self.control(s, control_id)["title"] == text,
                  f"control {control_id} to read {text!r}", timeout=20)

    def set_toggle(self, control_id, on):
        """Clicks a check box or toggle button until it reads on (1) or off."""
        state = self.state(0)
        if (self.control(state, control_id)["check"] == 1) != on:
            self.click_control(control_id, state)
            self.wait(lambda s: (self.control(s, control_id)["check"] == 1) == on,
                      f"control {control_id} {'on' if on else 'off'}", timeout=10)

    def press_box_button(self, text, state):
        """Clicks the button captioned `text` (without its "&") of the open box."""
        for button in state["boxes"][0]["buttons"]:
            if button["text"].replace("&", "") == text:
                self.click_at(*center(button["rect"]))
                return
        raise AssertionError(f"no button {text!r} in {state['boxes'][0]}")

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return path


def summary(state):
    """The parts of a state that explain a failed wait, on one line."""
    if not state or not state.get("main"):
        return "no main window"
    page = state.get("page") or {}
    parts = {
        "status": state.get("status"),
        "tabs": (state.get("tabs") or {}).get("items"),
        "results": (page.get("results") or {}).get("items"),
        "rows": (page.get("list") or {}).get("row_count"),
        "boxes": [(b["caption"], b["texts"]) for b in state.get("boxes", [])],
        "windows": [(w["class"], w["title"], w["visible"]) for w in state.get("windows", [])],
    }
    return json.dumps(parts, ensure_ascii=False)
