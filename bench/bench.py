#!/usr/bin/env python3
"""Compares varnel-cli with GNU grep and ripgrep on the same corpus in one run.

Prints ratios (varnel time / other tool's time), never absolute goals. The
standard corpus is the Linux kernel source from Debian's linux-source-6.1
package, unpacked once into a cache folder outside the repository; a second,
generated corpus covers CR LF text, UTF-16 files and one 2 GB file without
line breaks (for which the peak resident size is reported).

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
    return outputs


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
        outs = compare(name, [("varnel", cli + ours),
                              ("rg -j1", ["rg", "-j1", "-l", "--no-ignore", "--hidden", *rg_args, KERNEL]),
                              ("grep", ["grep", "-rl", *grep_args, KERNEL])], rounds)
        mine = file_set(outs["varnel"], KERNEL)
        explain_difference("rg", mine, file_set(outs["rg -j1"], KERNEL), KERNEL)
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
        if not args.only or "generated" in args.only:
            generated_benchmarks(args.rounds, data_dir, args.skip_big)


if __name__ == "__main__":
    main()
