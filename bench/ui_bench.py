#!/usr/bin/env python3
"""Times the real Varnel.exe under Wine as a user sees it, against varnel-cli.

On a generated tree of 100,000 files of which 50,000 match (made once in
~/.cache/varnel-bench/ui-tree), in one run and under the same Wine:
- the time from the click on Find to "Finished" in the status bar, and the
  same search by the Windows varnel-cli, as a ratio;
- the worst delay of the window's thread in answering a message, sampled
  every 20 ms during the run (what a user feels as a frozen window);
- the cancel latency: Cancel clicked mid-run until "Canceled" shows, on the
  tree and in the middle of one generated 2 GB file (deleted afterwards).
Prints figures; it asserts nothing and is never run as a test.

Usage: bench/ui_bench.py [--build build/windows-e2e] [--rounds N] [--skip-big]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402
import varnel_e2e as e2e  # noqa: E402

CACHE = os.environ.get("VARNEL_BENCH_CACHE", os.path.expanduser("~/.cache/varnel-bench"))
TREE = os.path.join(CACHE, "ui-tree")
FOLDERS, PER_FOLDER = 200, 500
LINE = "an ordinary line of text without the word we look for\n"


def ensure_tree():
    marker = os.path.join(TREE, ".complete")
    if os.path.exists(marker):
        return
    print(f"generating {FOLDERS * PER_FOLDER} files in {TREE} (once)", flush=True)
    shutil.rmtree(TREE, ignore_errors=True)
    for d in range(FOLDERS):
        folder = os.path.join(TREE, f"d{d:03}")
        os.makedirs(folder)
        for i in range(PER_FOLDER):
            with open(os.path.join(folder, f"f{i:04}.txt"), "w") as f:
                f.write(LINE * 3 + ("the needle is here\n" if i % 2 == 0 else LINE))
    open(marker, "w").close()


def time_cli(session, cli, rounds):
    command = [session.wine, cli, "-p", harness.win_path(TREE), "-s", "-n", "*.txt", "-t",
               "needle"]
    best = None
    for _ in range(rounds):
        start = time.monotonic()
        code = subprocess.run(command, env=session.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        elapsed = time.monotonic() - start
        if code != 0:
            raise SystemExit(f"varnel-cli exited with {code}")
        best = elapsed if best is None else min(best, elapsed)
    return best


class Probe(threading.Thread):
    """A second inspector sampling the window's answer delay until the run ends."""

    def __init__(self, session, limit):
        super().__init__()
        self.inspector, self.limit, self.result = harness.Inspector(session), limit, None

    def run(self):
        self.result = self.inspector.ask(f"probe {self.limit} idle")
        self.inspector.close()


def time_ui(session, path, rounds):
    e2e.enter_criteria(session, path, "*.txt", "needle")
    best, worst_delay = None, 0.0
    for _ in range(rounds):
        probe = Probe(session, 1800)
        probe.start()
        start = time.monotonic()
        e2e.start_run(session)
        state = session.wait_finished(timeout=1800, max_rows=0)
        elapsed = time.monotonic() - start
        probe.join()
        if state["status"][2] != harness.FINISHED:
            raise SystemExit(f"the run ended with {state['status']}")
        best = elapsed if best is None else min(best, elapsed)
        worst_delay = max(worst_delay, probe.result.get("worst_ms", 0.0))
        rows = state["page"]["list"]["row_count"]
    return best, worst_delay, rows


def cancel_latency(session, path, ready, what):
    """Starts a find, clicks Cancel once ready(state) holds, and returns the
    seconds until the status bar reads "Canceled"."""
    e2e.enter_criteria(session, path, "*.txt", "needle")
    button = e2e.start_run(session)
    session.wait(lambda s: session.control(s, button)["title"] == "Cancel" and ready(s), what,
                 timeout=600, max_rows=0)
    start = time.monotonic()
    session.click_control(button)
    state = session.wait_finished(timeout=600, max_rows=0)
    elapsed = time.monotonic() - start
    return elapsed if state["status"][2] == harness.CANCELED else None


CLEAR_RESULTS = 2028  # the page's Clear results button


def click_overhead(session):
    """Seconds from a click on Clear results (with the list full) until the
    list shows no row: the page's own work is small, so this is mostly what
    the measuring itself costs (the inspector's look before the click,
    xdotool, and the polling after it). It bounds the error of the cancel
    figures."""
    start = time.monotonic()
    session.click_control(CLEAR_RESULTS)
    session.wait(lambda st: st["page"]["list"]["row_count"] == 0, "the list to empty",
                 timeout=60, max_rows=0)
    return time.monotonic() - start


def big_file_latency(session):
    folder = tempfile.mkdtemp(prefix="varnel-ui-bench-")
    try:
        if shutil.disk_usage(folder).free < 3 * 1024 ** 3:
            print("big file: skipped, less than 3 GB free")
            return None
        block = (LINE * (1024 * 1024 // len(LINE) + 1))[:1024 * 1024].encode()
        with open(os.path.join(folder, "big.txt"), "wb") as f:
            for _ in range(2048):
                f.write(block)
        # Two seconds into the run the engine is deep inside the one file.
        return cancel_latency(session, folder,
                              lambda s: s["status"][1] not in ("", "0 secs", "1 secs"),
                              "two seconds into the 2 GB file")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "windows-e2e"))
    parser.add_argument("--rounds", type=int, default=1)
    parser.add_argument("--skip-big", action="store_true")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    os.environ.setdefault("WINEPREFIX", os.path.join(build, "wineprefix"))
    harness.POLL = 0.02  # finer than the tests need: the poll bounds the timing error
    ensure_tree()
    work = os.path.join(build, "bench", "ui-bench-work")
    with harness.Session("wine", os.path.join(build, "app", "Varnel.exe"),
                         os.path.join(build, "tests", "e2e", "varnel_inspect.exe"), work) as s:
        cli = time_cli(s, os.path.join(build, "cli", "varnel-cli.exe"), args.rounds)
        s.open()
        ui, delay, rows = time_ui(s, TREE, args.rounds)
        print(f"find over {FOLDERS * PER_FOLDER} files, {rows} found:")
        print(f"  window, Find to Finished   {ui:8.2f} s")
        print(f"  varnel-cli                 {cli:8.2f} s")
        print(f"  ratio window / cli         {ui / cli:8.2f}")
        print(f"  worst answer delay         {delay:8.1f} ms (WM_NULL every 20 ms)")
        print(f"  click to screen, Clear     {fmt(click_overhead(s))} (what measuring costs)")
        tree_cancel = cancel_latency(s, TREE, lambda st: st["page"]["list"]["row_count"] > 5000,
                                     "5000 rows")
        print(f"  cancel latency, tree       {fmt(tree_cancel)}")
        if not args.skip_big:
            print(f"  cancel latency, 2 GB file  {fmt(big_file_latency(s))}")


def fmt(seconds):
    return "run ended before the cancel" if seconds is None else f"{seconds:8.3f} s"


if __name__ == "__main__":
    main()
