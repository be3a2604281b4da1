#!/usr/bin/python3
"""Walks the accessible tree of the running tarnel on the AT-SPI bus, as a
screen reader sees it: the main window, then each dialog, opened through the
accessible actions of its menu items (no mouse, no keyboard).  Every focusable
control must have a name and a role; the grid's cells and headings must read
as their text; the status bar's count must be readable; a message box must be
an alert; no two focusable controls of a window may share a name.  Prints
every finding and exits 1 if there is one.

    atspi_walk.py DEVICES         (TARNEL_ATSPI_VERBOSE=1 lists every control)
"""
import os
import subprocess
import sys
import time

import pyatspi

findings = []
pressers = []
VERBOSE = bool(os.environ.get("TARNEL_ATSPI_VERBOSE"))
MAIN = "Tarnel"  # the main window, whatever file it shows
ALERT = "(message box)"
GOOD_ROLES_WITHOUT_NAME = {pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL, pyatspi.ROLE_SEPARATOR}


def wait_for(what, find, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit(f"atspi: gave up waiting for {what}")


def children(acc):
    try:
        return [acc.getChildAtIndex(i) for i in range(acc.childCount)]
    except Exception:
        return []


def walk(acc, depth=0):
    yield acc, depth
    if acc.getRole() == pyatspi.ROLE_TABLE:
        return  # the grid is checked on its own: its cells would crawl
    for c in children(acc):
        if c is not None:
            yield from walk(c, depth + 1)


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for a in children(desktop):
        if a is not None and a.name.lower() == "tarnel":
            a.clear_cache()  # windows come and go: their states are read afresh
            return a
    return None


def window(title):
    if title == ALERT:
        return alert()
    a = app()
    for w in children(a) if a is not None else []:
        if w is None or not w.getState().contains(pyatspi.STATE_SHOWING):
            continue
        if w.name == title or (title == MAIN and w.getRole() == pyatspi.ROLE_FRAME):
            return w
    return None


def alert():
    a = app()
    for w in children(a) if a is not None else []:
        if w is not None and w.getRole() == pyatspi.ROLE_ALERT and w.getState().contains(pyatspi.STATE_SHOWING):
            return w
    return None


def describe(acc):
    return f"{acc.getRoleName()} '{acc.name}'"


def check_window(w, label):
    count = 0
    named = {}
    for acc, _ in walk(w):
        count += 1
        states = acc.getState()
        if not states.contains(pyatspi.STATE_FOCUSABLE) or not states.contains(pyatspi.STATE_SHOWING):
            continue
        role = acc.getRole()
        if VERBOSE:
            print(f"atspi:   {label}: {describe(acc)}")
        if role in (pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_INVALID):
            findings.append(f"{label}: focusable control without a role: {describe(acc)}")
        elif not acc.name.strip() and role not in GOOD_ROLES_WITHOUT_NAME:
            parent = acc.parent
            findings.append(f"{label}: focusable {acc.getRoleName()} without a name"
                            f" (in {describe(parent) if parent else 'nothing'})")
        else:
            named.setdefault((acc.getRoleName(), acc.name), []).append(acc)
    # A name two controls share tells a listener neither of them.
    for (role, name), same in named.items():
        if len(same) > 1 and name.strip():
            findings.append(f"{label}: {len(same)} focusable {role} controls all named '{name}'")
    print(f"atspi: {label}: {count} accessible objects walked")


def find(root, role, name=None):
    for acc, _ in walk(root):
        if acc.getRole() == role and (name is None or acc.name.replace("&", "") == name):
            return acc
    return None


def press(title, role, name):
    """Runs the control's command the way a screen reader does, in a process
    of its own: a command that opens a modal window answers only once that
    window has closed, and the call holds up the whole caller until then."""
    pressers.append(subprocess.Popen([sys.executable, __file__, "--press", title, str(int(role)), name]))


def press_now(title, role, name):
    w = wait_for(title, lambda: window(title))
    acc = find(w, role, name)
    if acc is None:
        sys.exit(f"atspi: no {name} in {title} to press")
    action = acc.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    index = next((names.index(n) for n in ("press", "click") if n in names), 0)
    try:
        action.doAction(index)
    except Exception:
        pass  # no answer while the window it opened was open


def check_grid(main):
    table = find(main, pyatspi.ROLE_TABLE)
    if table is None:
        findings.append("main window: no table for the device grid")
        return
    t = table.queryTable()
    headings = [t.getColumnHeader(c).name if t.getColumnHeader(c) else "" for c in range(t.nColumns)]
    if not all(h.strip() for h in headings):
        findings.append(f"main window: grid headings not all readable: {headings}")
    cell = t.getAccessibleAt(0, 0)
    if cell is None or not cell.name.strip():
        findings.append("main window: the first grid cell has no text")
    print(f"atspi: grid headings {headings}, first cell '{cell.name if cell else ''}'")


def status_shows(devices):
    """The main window once a readable status text holds the device count."""
    main = window(MAIN)
    if main is None:
        return None
    texts = [acc.name for acc, _ in walk(main) if acc.getRole() == pyatspi.ROLE_LABEL]
    return main if any(str(devices) in t for t in texts) else None


def dialog(item, title, close):
    press(MAIN, pyatspi.ROLE_MENU_ITEM, item)
    d = wait_for(title, lambda: window(title))
    time.sleep(0.3)
    check_window(d, title)
    press(title, pyatspi.ROLE_PUSH_BUTTON, close)
    wait_for(f"{title} to close", lambda: None if window(title) else True)


def walk_all(devices):
    main_window = wait_for("the main window", lambda: window(MAIN), 120)
    time.sleep(0.5)
    check_window(main_window, "main window")
    press(MAIN, pyatspi.ROLE_MENU_ITEM, "Search(R)")
    search = wait_for("Searching...", lambda: window("Searching..."))
    check_window(search, "Searching...")
    wait_for("the search to end", lambda: None if window("Searching...") else True, 60)
    # A busy machine may take a moment to redraw: wait for what a reader reads.
    main_window = wait_for(f"a readable status text with the device count {devices}", lambda: status_shows(devices), 20)
    check_grid(main_window)
    dialog("Network...", "Network Setup", "Cancel(C)")
    dialog("Infomation...", "Infomation Setup", "Cancel(C)")
    dialog("Date(T)...", "Date Setup", "Cancel(C)")
    dialog("About...", "About Tarnel", "OK")
    # OK with nothing changed asks whether the device may reboot: a message box,
    # which a screen reader announces when it is an alert.
    press(MAIN, pyatspi.ROLE_MENU_ITEM, "Network...")
    wait_for("Network Setup", lambda: window("Network Setup"))
    press("Network Setup", pyatspi.ROLE_PUSH_BUTTON, "OK(O)")
    box = wait_for("the reboot question, an alert", alert, 10)
    check_window(box, "message box")
    press(ALERT, pyatspi.ROLE_PUSH_BUTTON, "No")
    wait_for("the message box to close", lambda: None if alert() else True)
    press("Network Setup", pyatspi.ROLE_PUSH_BUTTON, "Cancel(C)")


def main():
    if sys.argv[1:2] == ["--press"]:
        press_now(sys.argv[2], int(sys.argv[3]), sys.argv[4])
        return 0
    try:
        walk_all(int(sys.argv[1]) if len(sys.argv) > 1 else 3)
    finally:
        for p in pressers:
            p.kill()
    for f in findings:
        print("FINDING:", f)
    print(f"atspi: {len(findings)} findings")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
