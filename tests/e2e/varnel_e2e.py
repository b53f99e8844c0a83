#!/usr/bin/env python3
"""End-to-end scenarios: the built Varnel.exe driven under Wine and Xvfb with
real clicks and keys (tests/e2e/harness.py). One scenario per CTest test.

Usage: varnel_e2e.py --wine WINE --varnel Varnel.exe --inspect varnel_inspect.exe
                     --work DIR SCENARIO...
"""
import argparse
import os
import re
import shutil
import stat
import time
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import CANCELED, FINISHED, win_path  # noqa: E402

FIND_BUTTON, REPLACE_BUTTON = 1005, 1007
PATH, NAMES, TEXT, SUBFOLDERS = 1038, 1039, 1040, 1019
REPLACE_CHECK, REPLACE_TEXT, BACKUP, READ_ONLY_RULE = 1061, 1001, 1036, 1037
WM_USER = 0x400
QUESTION = re.compile(r"^File (.+) is read-only\. Do you want it to be replaced\?$")


def make_tree(root, files):
    """Writes {relative path: text} under a fresh root; returns the root."""
    shutil.rmtree(root, ignore_errors=True)
    for relative, text in files.items():
        path = os.path.join(root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", newline="") as f:
            f.write(text)
    return root


def read(path):
    with open(path, newline="") as f:
        return f.read()


def enter_criteria(s, path, names, text, replace=None, backup=False):
    s.type_into(PATH, win_path(path))
    s.type_into(NAMES, names)
    s.type_into(TEXT, text)
    s.set_toggle(SUBFOLDERS, True)
    s.set_toggle(REPLACE_CHECK, replace is not None)
    if replace is not None:
        s.type_into(REPLACE_TEXT, replace)
        s.set_toggle(BACKUP, backup)


def start_run(s, replace=False):
    """Clicks the action button and waits until it offers to cancel."""
    button = REPLACE_BUTTON if replace else FIND_BUTTON
    s.wait(lambda st: s.control(st, button)["visible"] and s.control(st, button)["enabled"],
           f"the {'Replace' if replace else 'Find'} button")
    s.click_control(button)
    return button


def rows_by_name(state):
    listing = state["page"]["list"]
    name, folder = listing["columns"].index("File name"), listing["columns"].index("Folder")
    return {row[name]: row[folder] for row in listing["rows"]}, listing


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def expect_equal(actual, expected, what):
    check(actual == expected, f"{what}: expected {expected!r}, saw {actual!r}")


FIND_TREE = {"a.txt": "hello world\r\n", "b.txt": "say hello", "sub/c.txt": "hello",
             "d.txt": "nothing here", "e.log": "hello", "sub/deeper/f.txt": "HeLLo"}


def find_over_tree(s, root):
    make_tree(root, FIND_TREE)
    enter_criteria(s, root, "*.txt", "hello")
    start_run(s)
    return s.wait_finished()


def scenario_find(s):
    s.open()
    root = os.path.join(s.work, "find-tree")
    state = find_over_tree(s, root)
    rows, listing = rows_by_name(state)
    # Case-insensitive by default: f.txt's "HeLLo" counts; d.txt and e.log not.
    expect_equal(sorted(rows), ["a.txt", "b.txt", "c.txt", "f.txt"], "found names")
    expect_equal(rows["c.txt"], win_path(os.path.join(root, "sub")), "folder of c.txt")
    expect_equal(rows["a.txt"], win_path(root), "folder of a.txt")
    expect_equal(state["page"]["results"]["items"], ["Found (4)", "Skipped (0)", "Errors (0)"],
                 "result tabs")
    expect_equal(state["status"][0], "4 files found", "status part 0")
    expect_equal(state["status"][2], FINISHED, "status part 2")
    check(re.fullmatch(r"\d+ secs", state["status"][1]), f"elapsed: {state['status'][1]!r}")
    expect_equal(s.control(state, FIND_BUTTON)["title"], "Find", "button after the run")


def scenario_replace(s):
    s.open()
    root = make_tree(os.path.join(s.work, "replace-tree"),
                     {"x1.txt": "foo bar foo\r\n", "x2.txt": "no match", "sub/x3.txt": "foo"})
    enter_criteria(s, root, "*.txt", "foo", replace="baz", backup=True)
    start_run(s, replace=True)
    state = s.wait_finished()
    expect_equal(state["status"][2], FINISHED, "status part 2")
    expect_equal(read(os.path.join(root, "x1.txt")), "baz bar baz\r\n", "x1.txt after")
    expect_equal(read(os.path.join(root, "x1.txt.bak")), "foo bar foo\r\n", "x1.txt.bak")
    expect_equal(read(os.path.join(root, "sub", "x3.txt")), "baz", "x3.txt after")
    expect_equal(read(os.path.join(root, "sub", "x3.txt.bak")), "foo", "x3.txt.bak")
    expect_equal(read(os.path.join(root, "x2.txt")), "no match", "x2.txt untouched")
    check(not os.path.exists(os.path.join(root, "x2.txt.bak")), "x2.txt got a backup")
    listing = state["page"]["list"]
    names = listing["columns"].index("File name")
    counts = {row[names]: row[listing["columns"].index("Replaces")] for row in listing["rows"]}
    expect_equal(counts, {"x1.txt": "2", "x3.txt": "1"}, "replacement counts")
    expect_equal(state["page"]["results"]["items"][0], "Found (2)", "found tab")


def big_tree(s, folders=60, per_folder=500):
    """A tree whose every file matches, made once per work folder."""
    root = os.path.join(s.work, "big-tree")
    marker = os.path.join(root, f".complete-{folders}x{per_folder}")
    if not os.path.exists(marker):
        shutil.rmtree(root, ignore_errors=True)
        for d in range(folders):
            folder = os.path.join(root, f"d{d:03}")
            os.makedirs(folder)
            for i in range(per_folder):
                with open(os.path.join(folder, f"f{i:04}.txt"), "w") as f:
                    f.write("some text\nwith a match in it\n" * 20)
        open(marker, "w").close()
    return root, folders * per_folder


def scenario_cancel(s):
    s.open()
    root, total = big_tree(s)
    enter_criteria(s, root, "*.txt", "match")
    button = start_run(s)
    s.wait(lambda st: s.control(st, button)["title"] == "Cancel" and
           st["page"]["list"]["row_count"] > 0, "first rows of the run", max_rows=0)
    s.click_control(button)
    state = s.wait_finished(timeout=60, max_rows=0)
    expect_equal(state["status"][2], CANCELED, "status part 2 after Cancel")
    rows = state["page"]["list"]["row_count"]
    check(0 < rows < total, f"{rows} rows kept of {total}: the run was not cut short")
    expect_equal(state["page"]["results"]["items"][0], f"Found ({rows})", "found tab")
    expect_equal(state["status"][0], f"{rows} files found", "status part 0")
    expect_equal(s.control(state, button)["title"], "Find", "button after the cancel")
    check(s.control(state, PATH)["enabled"], "the path field stays disabled after the cancel")


def read_only_tree(s, name):
    root = make_tree(os.path.join(s.work, name), {f"r{i}.txt": "foo" for i in (1, 2, 3)})
    for i in (1, 2, 3):
        os.chmod(os.path.join(root, f"r{i}.txt"), stat.S_IRUSR | stat.S_IRGRP)
    return root


def linux_path(windows_path):
    check(windows_path.startswith("Z:"), f"unexpected path {windows_path!r}")
    return windows_path[2:].replace("\\", "/")


def wait_question(s, asked):
    """Waits for the read-only question about a file not asked before."""
    def new_question(st):
        if len(st["boxes"]) != 1 or st["boxes"][0]["caption"] != "Replace":
            return False
        match = QUESTION.match(st["boxes"][0]["texts"][-1])
        return match is not None and match.group(1) not in asked
    state = s.wait(new_question, "a read-only question about another file")
    box = state["boxes"][0]
    expect_equal([b["text"].replace("&", "") for b in box["buttons"]],
                 ["Yes", "No", "Yes to All", "No to All"], "question buttons")
    asked.append(QUESTION.match(box["texts"][-1]).group(1))
    return state


def start_read_only_run(s, name):
    s.open()
    root = read_only_tree(s, name)
    enter_criteria(s, root, "*.txt", "foo", replace="bar")
    expect_equal(s.control(s.state(0), READ_ONLY_RULE)["check"], 0, "read-only rule (ask)")
    start_run(s, replace=True)
    return root


def scenario_read_only(s):
    start_read_only_run(s, "read-only-tree")
    asked = []
    s.press_box_button("Yes", wait_question(s, asked))
    s.press_box_button("No", wait_question(s, asked))
    wait_question(s, asked)
    # The question is modal to the main window, so no click reaches the Cancel
    # button; the button is pressed the way it would be, behind the box.
    check(s.inspector.ask(f"click {REPLACE_BUTTON}")["posted"], "no Cancel button to press")
    state = s.wait_finished(timeout=30)
    expect_equal(state["status"][2], CANCELED, "status part 2")
    expect_equal(state["boxes"], [], "boxes left open")
    expect_equal([read(linux_path(p)) for p in asked], ["bar", "foo", "foo"],
                 "contents after Yes, No and the stop")


def scenario_read_only_exit(s):
    """Closing the program while the question is open ends it; nothing is
    replaced without an answer."""
    root = start_read_only_run(s, "read-only-exit-tree")
    asked = []
    wait_question(s, asked)
    expect_equal(s.close_program(timeout=30), 0, "exit code")
    expect_equal(read(linux_path(asked[0])), "foo", "the asked file")
    check(not os.path.exists(os.path.join(root, "r1.txt.bak")), "backup made without answer")


def scenario_second_instance(s):
    s.open()
    folder = make_tree(os.path.join(s.work, "handed-over"), {"a.txt": "x"})
    second = s.start_program(win_path(folder))
    expect_equal(second.wait(timeout=60), 0, "exit code of the second instance")
    state = s.wait(lambda st: len(st["tabs"]["items"]) == 2, "a second tab")
    expect_equal(state["tabs"]["items"], ["New page", "New page(1)"], "tab names")
    expect_equal(state["tabs"]["selected"], 1, "selected tab")
    expect_equal(s.control(state, PATH)["title"], win_path(folder), "path of the new tab")
    expect_equal(s.control(state, SUBFOLDERS)["check"], 1, "include subfolders")
    mains = [w for w in state["windows"] if w["class"] == "VarnelWindowClass"]
    expect_equal(len(mains), 1, "main windows")
    check(s.program.poll() is None, "the first instance ended")


def select_tab(s, index):
    state = s.state(0)
    s.click_at(*harness.center(state["tabs"]["item_rects"][index]))
    return s.wait(lambda st: st["tabs"]["selected"] == index and st["page"], f"tab {index}")


def new_tab_by_double_click(s):
    """A double click on the free part of the tab strip opens a new tab."""
    tabs = s.state(0)["tabs"]
    count, last = len(tabs["items"]), tabs["item_rects"][-1]
    s.xdotool("mousemove", last[2] + 80, (last[1] + last[3]) // 2, "click",
              "--repeat", "2", "1")
    return s.wait(lambda st: len(st["tabs"]["items"]) == count + 1, "a new tab")


def scenario_shortcuts(s):
    """The main window's shortcuts work where the focus is after start-up (the
    path field) and in the result list."""
    state = s.open()
    s.click_control(PATH, state)
    s.xdotool("key", "ctrl+f")  # Pages > New Page
    state = s.wait(lambda st: len(st["tabs"]["items"]) == 2, "Ctrl+F in the path field")
    s.xdotool("key", "ctrl+Tab")  # Pages > Next Page, wrapping to the first
    s.wait(lambda st: st["tabs"]["selected"] == 0, "Ctrl+Tab to the first tab")
    s.xdotool("key", "shift+Escape")  # Pages > Close Page
    s.wait(lambda st: len(st["tabs"]["items"]) == 1, "Shift+Esc closing the tab")


def scenario_help_and_about(s):
    """F1 without the help file says which file it could not open; the About
    box names the program's version."""
    state = s.open()
    s.click_control(PATH, state)
    chm = os.path.join(os.path.dirname(s.varnel), "Varnel Help.chm")
    away = chm + ".away"
    os.rename(chm, away)
    try:
        s.xdotool("key", "F1")
        state = s.wait(lambda st: len(st["boxes"]) == 1, "the missing help file's message")
        box = state["boxes"][0]
        expect_equal(box["caption"], "Varnel", "message caption")
        check(box["texts"][-1].startswith("The help file \"") and
              box["texts"][-1].endswith("Varnel Help.chm\" cannot be opened."),
              f"message text {box['texts'][-1]!r}")
        s.press_box_button("OK", state)
        s.wait(lambda st: st["boxes"] == [], "the message to close")
    finally:
        os.rename(away, chm)
    s.xdotool("key", "alt+h")
    s.xdotool("key", "a")
    state = s.wait(lambda st: len(st["boxes"]) == 1, "the About box")
    box = state["boxes"][0]
    expect_equal(box["caption"], "About Varnel", "About caption")
    check(any(re.fullmatch(r"Version \d+\.\d+\.\d+", t) for t in box["texts"]),
          f"no version line in {box['texts']!r}")
    s.press_box_button("OK", state)
    s.wait(lambda st: st["boxes"] == [], "the About box to close")


def scenario_restart(s):
    s.open()
    root = os.path.join(s.work, "restart-tree")
    first_rows, _ = rows_by_name(find_over_tree(s, root))
    new_tab_by_double_click(s)
    other = os.path.join(s.work, "restart-other")
    os.makedirs(other, exist_ok=True)
    s.type_into(PATH, win_path(other))
    expect_equal(s.close_program(), 0, "exit code")
    check(os.path.exists(os.path.join(s.data_folder, "tabs.xml")), "tabs.xml not written")

    state = s.open()
    expect_equal(state["tabs"]["items"], ["New page", "New page(1)"], "restored tab names")
    state = select_tab(s, 0)
    expect_equal(s.control(state, PATH)["title"], win_path(root), "restored path")
    expect_equal(s.control(state, TEXT)["title"], "hello", "restored text")
    state = s.wait(lambda st: st["page"]["list"]["row_count"] == len(first_rows),
                   "the restored rows")
    expect_equal(rows_by_name(state)[0], first_rows, "restored rows")
    expect_equal(state["page"]["results"]["items"][0], f"Found ({len(first_rows)})", "found tab")
    state = select_tab(s, 1)
    expect_equal(s.control(state, PATH)["title"], win_path(other), "second tab's path")


def scenario_autorun(s):
    s.start_program("-autorun")
    s.wait(lambda st: st["main"] is not None, "the main window to exist", timeout=60)
    # What must not happen has no event to wait for: watch for a while.
    for _ in range(20):
        state = s.state(0)
        shown = [w["title"] for w in state["windows"] if w["visible"] and w["class"] != "IME"]
        expect_equal(shown, [], "visible windows after -autorun")
        check(s.program.poll() is None, "the program ended")
        time.sleep(harness.POLL)
    s.post(WM_USER + 10, 1, 0x0201)  # the tray icon's callback: left button down
    state = s.wait(lambda st: st["main"]["visible"] and not st["main"]["iconic"] and st["page"],
                   "the window restored from the tray")
    expect_equal(state["tabs"]["items"], ["New page"], "tabs")


def select_first_row(s, state):
    """Clicks into the list and presses Home, which selects its first row (the
    header's height does not scale with the DPI exactly, so a click alone may
    land on the second); a.txt's matches then fill the preview."""
    left, top, right, _ = state["page"]["list"]["rect"]
    header = round(24 * s.dpi / 96)  # the header row, then half a row
    s.click_at(left + (right - left) // 4, top + header + round(8 * s.dpi / 96))
    s.xdotool("key", "Home")
    s.wait(lambda st: "world" in st["page"].get("preview", ""), "the preview of the first row")


def scenario_screenshots(s):
    shots = s.work
    s.open()
    state = find_over_tree(s, os.path.join(s.work, f"shot-find-{s.dpi}"))
    expect_equal(state["status"][0], "4 files found", "status part 0")
    select_first_row(s, state)
    s.screenshot(os.path.join(shots, f"find-{s.dpi}.png"))
    root = make_tree(os.path.join(s.work, f"shot-replace-{s.dpi}"), FIND_TREE)
    enter_criteria(s, root, "*.txt", "hello", replace="bye", backup=True)
    start_run(s, replace=True)
    state = s.wait_finished()
    expect_equal(read(os.path.join(root, "b.txt")), "say bye", "b.txt after")
    select_first_row(s, state)
    s.screenshot(os.path.join(shots, f"replace-{s.dpi}.png"))
    print(f"screenshots in {shots}")


SCENARIOS = {name[len("scenario_"):]: f for name, f in globals().items()
             if name.startswith("scenario_")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wine", default="wine")
    parser.add_argument("--varnel", required=True)
    parser.add_argument("--inspect", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("scenarios", nargs="+", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    for name in args.scenarios:
        for dpi in ((96, 144, 192) if name == "screenshots" else (96,)):
            print(f"scenario {name} at {dpi} DPI", flush=True)
            with harness.Session(args.wine, args.varnel, args.inspect,
                                 os.path.join(args.work, name), dpi=dpi) as s:
                SCENARIOS[name](s)
    print("passed")


if __name__ == "__main__":
    main()
