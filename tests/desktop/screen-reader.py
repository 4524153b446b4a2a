#!/usr/bin/python3
"""Reads the running program as a screen reader does, over the accessibility
bus (AT-SPI), and presses its buttons through their published actions.

    screen-reader.py PID tree       prints every object: role and name, indented
    screen-reader.py PID testen     presses "Testen" and prints the result table:
                                    the column headers, then one line per row,
                                    the cells separated by " | "

Exits 2 when the program is not on the bus within 40 seconds.
"""
import sys
import time

import pyatspi


def application(pid):
    deadline = time.time() + 40
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    seen = []
    for app in pyatspi.Registry.getDesktop(0):
        try:
            seen.append(f"{app.name} (pid {app.get_process_id()}, {app.childCount} windows)")
        except Exception as error:
            seen.append(str(error))
    print(f"program {pid} is not on the accessibility bus; there are: {', '.join(seen) or 'none'}", file=sys.stderr)
    sys.exit(2)


def walk(node, depth=0):
    yield node, depth
    # A table's cells are read through its table interface, not one by one.
    if node.getRoleName() == "table":
        return
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def find(root, role, name):
    for node, _ in walk(root):
        if node.getRoleName() == role and node.name == name:
            return node
    return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def print_table(table):
    cells = table.queryTable()
    print(" | ".join(cells.getColumnDescription(col) for col in range(cells.nColumns)))
    for row in range(cells.nRows):
        print(" | ".join(cells.getAccessibleAt(row, col).name for col in range(cells.nColumns)))


def main():
    pid, command = int(sys.argv[1]), sys.argv[2]
    app = application(pid)
    if command == "tree":
        for node, depth in walk(app):
            states = node.getState()
            marks = [s for s, flag in (("focused", pyatspi.STATE_FOCUSED), ("checked", pyatspi.STATE_CHECKED),
                                       ("pressed", pyatspi.STATE_PRESSED)) if states.contains(flag)]
            print("  " * depth + f"{node.getRoleName()}: {node.name!r}" + (f" [{', '.join(marks)}]" if marks else ""))
            if node.getRoleName() == "table":
                print_table(node)
    elif command == "testen":
        frame = find(app, "frame", "Quorvane V1.24")
        if frame is None:
            print("no frame named Quorvane V1.24")
            sys.exit(1)
        press(find(frame, "push button", "Testen"))
        time.sleep(1)
        table = find(frame, "table", "Ergebnis")
        if table is None:
            print("no table named Ergebnis")
            sys.exit(1)
        print_table(table)


main()
