#!/usr/bin/env python3
"""Compares varnel-cli with GNU grep and ripgrep on the same corpus in one run.

Prints ratios (varnel time / other tool's time), never absolute goals. The
standard corpus is the Linux kernel source from Debian's linux-source-6.1
package, unpacked once into a cache folder outside the repository; a second,
generated corpus covers CR LF text, UTF-16 files and one 2 GB file without
line breaks (for which the peak resident size is reported).

Each kernel search runs varnel-cli with its default workers (one per core)
and with -j1, against ripgrep with its default threads and with -j1, and
GNU grep. Further cases: a replace run over drivers/net, a replace run that
rewrites 10,000 of 100,000 small files (both against grep -rl | sed -i), and
the time to the first result in a folder of 100,000 files whose first file
matches.

Usage: bench/bench.py [--rounds N] [--only NAME ...] [--skip-big]
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import tarfile
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CACHE = os.environ.get("VARNEL_BENCH_CACHE", os.path.expanduser("~/.cache/varnel-bench"))
KERNEL_TAR = "/usr/src/linux-source-6.1.tar.xz"
KERNEL = os.path.join(CACHE, "linux-source-6.1")
CLI = os.path.join(ROOT, "build", "native", "cli", "varnel-cli")


def sh(cmd, check=True, **kw):
    return subprocess.run(cmd, check=check, **kw)


def ensure_tools():
    missing = [p for p, t in (("ripgrep", "rg"), ("linux-source-6.1", None)) if
               (t and not shutil.which(t)) or (t is None and not os.path.exists(KERNEL_TAR))]
    if missing:
        sh(["sudo" if os.geteuid() else "env", "apt-get", "install", "-y", "-qq", *missing])


def ensure_kernel():
    if os.path.isdir(KERNEL):
        return
    os.makedirs(CACHE, exist_ok=True)
    print(f"unpacking {KERNEL_TAR} into {CACHE} (once)")
    sh(["tar", "xf", KERNEL_TAR, "-C", CACHE])


def build_cli():
    sh([os.path.join(ROOT, "scripts", "bootstrap")])
    sh(["cmake", "--preset", "native"], cwd=ROOT, stdout=subprocess.DEVNULL)
    sh(["cmake", "--build", "--preset", "native", "--target", "varnel-cli"], cwd=ROOT,
       stdout=subprocess.DEVNULL)


def warm(path):
    sh(["rg", "-j1", "-l", "--no-ignore", "--hidden", "zzzz_warm_the_cache_zzzz", path],
       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


def run_timed(cmd, cwd=None):
    start = time.perf_counter()
    p = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start, p.stdout.decode("utf-8", "replace")


def file_set(output, root):
    out = set()
    for line in output.splitlines():
        if line:
            out.add(os.path.relpath(line, root))
    return out


def compare(name, tools, rounds):
    """tools: list of (label, argv). Runs them alternating; prints min times and ratios."""
    best = {label: float("inf") for label, _ in tools}
    outputs = {}
    for _ in range(rounds):
        for label, argv in tools:
            t, out = run_timed(argv)
            best[label] = min(best[label], t)
            outputs[label] = out
    base = best[tools[0][0]]
    line = f"{name:32s} varnel {base:7.3f}s"
    for label, _ in tools[1:]:
        line += f" | {label} {best[label]:7.3f}s ratio {base / best[label]:5.2f}"
    print(line, flush=True)
    return outputs, best


def explain_difference(label, ours, theirs, root):
    only_ours, only_theirs = ours - theirs, theirs - ours
    if not only_ours and not only_theirs:
        print(f"    files agree with {label}: {len(ours)}")
        return
    print(f"    vs {label}: {len(ours & theirs)} common, {len(only_ours)} only varnel, "
          f"{len(only_theirs)} only {label}")
    for path in sorted(only_theirs)[:5]:
        with open(os.path.join(root, path), "rb") as f:
            data = f.read()
        why = "holds a NUL character (skipped as binary)" if b"\0" in data else "?"
        ext = os.path.splitext(path)[1].lower().lstrip(".")
        if ext in ("avi", "dll", "exe", "gif", "jpg", "jpeg", "mp3", "png", "rar", "zip"):
            why = "extension in the skip list"
        elif ext in ("pdf", "doc", "docx", "xls", "xlsx", "ppt", "pptx", "rtf", "chm"):
            why = "document extension (document handler)"
        print(f"      only {label}: {path}: {why}")
    for path in sorted(only_ours)[:5]:
        print(f"      only varnel: {path}")


def kernel_benchmarks(rounds, only, data_dir):
    cases_wanted = [c for c in ("literal", "literal-nocase", "regex-class", "regex-word", "replace")
                    if not only or c in only]
    if not cases_wanted:
        return
    ensure_kernel()
    warm(KERNEL)
    cli = [CLI, "--data-dir", data_dir, "-p", KERNEL, "-s"]
    cases = {
        "literal": (["-t", "PM_RESUME", "-c"], ["PM_RESUME"], ["PM_RESUME"]),
        "literal-nocase": (["-t", "PM_RESUME"], ["-i", "PM_RESUME"], ["-i", "PM_RESUME"]),
        "regex-class": (["-e", "-c", "-t", "[A-Z]+_RESUME"], ["[A-Z]+_RESUME"], ["-E", "[A-Z]+_RESUME"]),
        "regex-word": (["-e", "-c", "-t", r"\w+_RESUME"], [r"\w+_RESUME"], ["-E", r"\w+_RESUME"]),
    }
    for name, (ours, rg_args, grep_args) in cases.items():
        if only and name not in only:
            continue
        rg = ["rg", "-l", "--no-ignore", "--hidden", *rg_args, KERNEL]
        outs, best = compare(name, [("varnel", cli + ours), ("rg", rg),
                                    ("varnel -j1", cli + ["-j1"] + ours),
                                    ("rg -j1", rg[:1] + ["-j1"] + rg[1:]),
                                    ("grep", ["grep", "-rl", *grep_args, KERNEL])], rounds)
        print(f"    -j1 against rg -j1: ratio {best['varnel -j1'] / best['rg -j1']:5.2f}; "
              f"speed-up from 1 to default workers: {best['varnel -j1'] / best['varnel']:4.2f}x")
        mine = file_set(outs["varnel"], KERNEL)
        explain_difference("rg", mine, file_set(outs["rg -j1"], KERNEL), KERNEL)
        explain_difference("varnel -j1", mine, file_set(outs["varnel -j1"], KERNEL), KERNEL)
    if not only or "replace" in only:
        replace_benchmark(rounds, data_dir)


def replace_benchmark(rounds, data_dir):
    """A replace run over a copy of drivers/net against sed -i on a second copy.

    Varnel searches every file of the subtree and rewrites the matching ones;
    the same job for sed is grep -rl piped into sed -i. sed -i alone over just
    the matching files is shown too.
    """
    sub = os.path.join(KERNEL, "drivers", "net")
    old, new = "netdev_err", "netdev_error"
    best = {"varnel": float("inf"), "grep|sed": float("inf"), "sed only": float("inf")}
    with tempfile.TemporaryDirectory(dir=CACHE) as tmp:
        for r in range(rounds):
            a, b, c = (os.path.join(tmp, f"{x}{r}") for x in "abc")
            for d in (a, b, c):
                shutil.copytree(sub, d, symlinks=True)
            files = subprocess.run(["grep", "-rlI", old, c], stdout=subprocess.PIPE,
                                   check=False).stdout.decode().split()
            warm(a), warm(b)
            tv, _ = run_timed([CLI, "--data-dir", data_dir, "-p", a, "-s", "-t", old, "-c",
                               "-r", new, "--read-only-files", "replace"])
            tp, _ = run_timed(["sh", "-c", f"grep -rlZ {old} {b} | xargs -0 sed -i s/{old}/{new}/g"])
            ts, _ = run_timed(["sed", "-i", f"s/{old}/{new}/g", *files])
            for k, t in (("varnel", tv), ("grep|sed", tp), ("sed only", ts)):
                best[k] = min(best[k], t)
            differ = subprocess.run(["diff", "-rq", a, b], stdout=subprocess.PIPE).stdout.decode()
            if differ:
                print("    replace results differ from sed:\n" + differ[:2000])
        v = best["varnel"]
        print(f"{'replace (drivers/net, ' + str(len(files)) + ' files)':32s} varnel {v:7.3f}s | "
              f"grep -rl | sed -i {best['grep|sed']:7.3f}s ratio {v / best['grep|sed']:5.2f} | "
              f"sed -i on the matching files {best['sed only']:7.3f}s ratio {v / best['sed only']:5.2f}")


def small_files_tree(root, folders=100, per_folder=1000, every=10):
    """folders x per_folder small files, every `every`-th holding the word to replace."""
    if os.path.isdir(root):
        return
    tmp = root + ".part"
    shutil.rmtree(tmp, ignore_errors=True)
    body = "".join(f"line {i} of some ordinary text in a small file\n" for i in range(6))
    n = 0
    for f in range(folders):
        d = os.path.join(tmp, f"d{f:03d}")
        os.makedirs(d)
        for i in range(per_folder):
            with open(os.path.join(d, f"f{i:04d}.txt"), "w") as out:
                out.write(body + ("an old_word here\n" if n % every == 0 else "") + body)
            n += 1
    os.rename(tmp, root)


def small_replace_benchmark(rounds, data_dir):
    """Rewrites 10,000 of 100,000 small files; each round turns the word back."""
    gen = os.path.join(CACHE, "generated")
    trees = {}
    for label in ("varnel", "grep|sed"):
        trees[label] = os.path.join(gen, f"small-100k-{label.replace('|', '-')}")
        small_files_tree(trees[label])
    best = {"varnel": float("inf"), "grep|sed": float("inf")}
    words = ["old_word", "new_word"]
    # Both trees must hold the same word at the start (an interrupted run may
    # have left one turned).
    state = {}
    for label, root in trees.items():
        p = subprocess.run(["grep", "-rlF", "-m1", "new_word", root], stdout=subprocess.PIPE, check=False)
        state[label] = 1 if p.stdout else 0
    for _ in range(rounds):
        for label, root in trees.items():
            old, new = words[state[label]], words[1 - state[label]]
            warm(root)
            if label == "varnel":
                cmd = [CLI, "--data-dir", data_dir, "-p", root, "-s", "-t", old, "-c", "-r", new,
                       "--read-only-files", "replace"]
            else:
                cmd = ["sh", "-c", f"grep -rlZ {old} {root} | xargs -0 sed -i s/{old}/{new}/g"]
            t, _ = run_timed(cmd)
            best[label] = min(best[label], t)
            state[label] = 1 - state[label]
    v = best["varnel"]
    print(f"{'replace 10,000 of 100,000 files':32s} varnel {v:7.3f}s | grep -rl | sed -i "
          f"{best['grep|sed']:7.3f}s ratio {v / best['grep|sed']:5.2f}", flush=True)


def first_result_benchmark(rounds, data_dir):
    """Time from start to the first printed result in a folder of 100,000
    files whose first file (in listing order) holds the text."""
    folder = os.path.join(CACHE, "generated", "flat-100k")
    if not os.path.isdir(folder):
        tmp = folder + ".part"
        shutil.rmtree(tmp, ignore_errors=True)
        os.makedirs(tmp)
        for i in range(100_000):
            with open(os.path.join(tmp, f"f{i:06d}.txt"), "w") as out:
                out.write("nothing to see in this file\n")
        os.rename(tmp, folder)
    first = os.listdir(folder)[0]  # listing order, as the walk sees it
    with open(os.path.join(folder, first), "w") as out:
        out.write("FIRST_NEEDLE is here\n")
    warm(folder)

    def first_line(cmd):
        start = time.perf_counter()
        p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        p.stdout.readline()
        t = time.perf_counter() - start
        p.kill()
        p.wait()
        return t

    for label, cmd in (("varnel", [CLI, "--data-dir", data_dir, "-p", folder, "-t", "FIRST_NEEDLE", "-c"]),
                       ("rg", ["rg", "-l", "FIRST_NEEDLE", folder])):
        t = min(first_line(cmd) for _ in range(rounds))
        print(f"{'first result, 100,000 files':32s} {label:7s} {t * 1000:7.1f} ms", flush=True)


def generated_benchmarks(rounds, data_dir, skip_big):
    gen = os.path.join(CACHE, "generated")
    os.makedirs(gen, exist_ok=True)
    crlf = os.path.join(gen, "crlf.txt")
    utf16 = os.path.join(gen, "utf16.txt")
    if not os.path.exists(crlf):
        line = "the quick brown fox jumps over the lazy dog 0123456789\r\n"
        with open(crlf, "w", newline="") as f:
            f.write(line * 2_000_000 + "NEEDLE_HERE\r\n")
        with open(utf16, "wb") as f:
            f.write(("\ufeff" + line * 1_000_000 + "NEEDLE_HERE\r\n").encode("utf-16-le"))
    for name, path in (("crlf 110 MB", crlf), ("utf-16 110 MB", utf16)):
        compare(name, [("varnel", [CLI, "--data-dir", data_dir, "-p", gen, "-n", os.path.basename(path),
                                   "-t", "NEEDLE_HERE", "-c"]),
                       ("rg -j1", ["rg", "-j1", "-l", "NEEDLE_HERE", path]),
                       ("grep", ["grep", "-l", "NEEDLE_HERE", path])], rounds)
    if skip_big:
        return
    big = os.path.join(gen, "big-no-newlines.bin")
    if not os.path.exists(big) or os.path.getsize(big) != 2 << 30:
        chunk = (b"abcdefghij" * 104857 + b"abcdef")  # 1 MiB, no line breaks
        with open(big, "wb") as f:
            for _ in range(2048):
                f.write(chunk)
    probe = ("import resource,subprocess,sys,time;s=time.perf_counter();"
             "subprocess.run(sys.argv[1:],stdout=subprocess.DEVNULL,stderr=subprocess.DEVNULL);"
             "print(time.perf_counter()-s, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    for label, argv in (("varnel", [CLI, "--data-dir", data_dir, "-p", gen, "-n", os.path.basename(big),
                                    "-t", "NEEDLE_NOT_THERE", "-c"]),
                        ("rg -j1", ["rg", "-j1", "-l", "NEEDLE_NOT_THERE", big]),
                        ("grep", ["grep", "-l", "NEEDLE_NOT_THERE", big])):
        out = subprocess.run([sys.executable, "-c", probe, *argv], stdout=subprocess.PIPE).stdout.decode().split()
        print(f"{'2 GB without line breaks':32s} {label:7s} {float(out[0]):7.2f}s peak RSS {int(out[1]) / 1024:7.1f} MB")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--only", nargs="*", default=[])
    ap.add_argument("--skip-big", action="store_true")
    ap.add_argument("--no-build", action="store_true")
    args = ap.parse_args()
    ensure_tools()
    if not args.no_build:
        build_cli()
    with tempfile.TemporaryDirectory() as data_dir:
        kernel_benchmarks(args.rounds, set(args.only), data_dir)
        if not args.only or "small-replace" in args.only:
            small_replace_benchmark(args.rounds, data_dir)
        if not args.only or "first-result" in args.only:
            first_result_benchmark(args.rounds, data_dir)
        if not args.only or "generated" in args.only:
            generated_benchmarks(args.rounds, data_dir, args.skip_big)


if __name__ == "__main__":
    main()
