#!/usr/bin/env python3
"""Kills varnel-cli with SIGKILL at random moments of replace runs and checks
that no file was lost or corrupted: every file must hold exactly its old or
its new content after each kill. Not a CI test (it is random and slow); run it
by hand on each kind of file system and report what it prints.

    bench/kill_test.py --cli build/native/cli/varnel-cli --base /dev/shm --files 3000
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

OLD, NEW = b"needle", b"REPLACED-pin"


def old_content(i):
    # Sizes from a few bytes to about 400 KB, so kills land inside large
    # rewrites as well as between small ones.
    size = random.Random(i).choice([1, 3, 10, 100, 1000, 5000])
    line = b"line %d with a needle and some more text\r\n" % i
    return line * size


def new_content(i):
    return old_content(i).replace(OLD, NEW)


def make_tree(root, count):
    for i in range(count):
        folder = os.path.join(root, "d%02d" % (i % 37), "e%d" % (i % 5))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "f%05d.txt" % i), "wb") as f:
            f.write(old_content(i))


def check(root, count):
    """Returns (old, new, bad, leftovers): bad lists files lost or corrupted."""
    old = new = 0
    bad, leftovers = [], []
    for i in range(count):
        path = os.path.join(root, "d%02d" % (i % 37), "e%d" % (i % 5), "f%05d.txt" % i)
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError as e:
            bad.append("%s: %s" % (path, e))
            continue
        if data == old_content(i):
            old += 1
        elif data == new_content(i):
            new += 1
        else:
            bad.append("%s: neither old nor new (%d bytes)" % (path, len(data)))
    for folder, _, names in os.walk(root):
        for name in names:
            if not name.startswith("f") or not name.endswith(".txt"):
                leftovers.append(os.path.join(folder, name))
    return old, new, bad, leftovers


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default="build/native/cli/varnel-cli")
    parser.add_argument("--base", default=tempfile.gettempdir(), help="folder on the file system to test")
    parser.add_argument("--files", type=int, default=3000)
    parser.add_argument("--kills", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    root = tempfile.mkdtemp(prefix="varnel-kill-", dir=args.base)
    try:
        make_tree(root, args.files)
        # How long an uninterrupted run takes, to spread the kills over it.
        probe = tempfile.mkdtemp(prefix="varnel-probe-", dir=args.base)
        make_tree(probe, args.files)
        started = time.monotonic()
        subprocess.run([args.cli, "-p", probe, "-s", "-n", "*.txt", "-t", OLD, "-r", NEW],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        full_run = time.monotonic() - started
        shutil.rmtree(probe)
        kills = 0
        seen_new = 0
        worst = []
        for _ in range(args.kills):
            child = subprocess.Popen([args.cli, "-p", root, "-s", "-n", "*.txt", "-t", OLD, "-r", NEW],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0, full_run))
            if child.poll() is None:
                child.send_signal(signal.SIGKILL)
                kills += 1
            child.wait()
            old, new, bad, leftovers = check(root, args.files)
            worst.extend(bad)
            seen_new += new
            # Every round starts from the old content, so that each kill
            # lands in a run with the whole job before it.
            if _ < args.kills - 1:
                make_tree(root, args.files)
        old, new, bad, leftovers = check(root, args.files)
        swap_names = sum(1 for path in leftovers if ".vnold" in path)
        print("base %s: %d files, full run %.2f s, %d kills, %d files found rewritten after them, "
              "lost or corrupted %d, files left by the kills %d (of them swap names %d)"
              % (args.base, args.files, full_run, kills, seen_new, len(worst), len(leftovers), swap_names))
        for line in worst[:20]:
            print("  " + line)
        # A run after the kills finishes the job and names what the kills left.
        done = subprocess.run([args.cli, "-p", root, "-s", "-n", "*.txt", "-t", OLD, "-r", NEW],
                              capture_output=True, check=False)
        old, new, bad, leftovers = check(root, args.files)
        notes = done.stderr.decode("utf-8", "replace").count("may be left by an interrupted replace run")
        print("after a full run: old %d, new %d, lost or corrupted %d, leftovers named by the run %d of %d"
              % (old, new, len(bad), notes, len(leftovers)))
        return 1 if worst or bad or new != args.files else 0
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
