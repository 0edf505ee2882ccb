#!/usr/bin/python3
"""What a screen reader reads of the main window, asked through AT-SPI as a screen reader asks.

Starts the editor on a small document, finds its window on the accessibility bus and checks
the names, roles and states of the tree rows, the list rows, the edit boxes, the toolbar
buttons and the counters; then ticks an Item and selects a tree row through the interface, as
a screen reader user does, and checks the document and the selection that follow.
Usage: screen_reader_client.py EDITOR    (in a D-Bus session with the bus up)
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def poll(find, seconds=30):
    """The first true answer of find() within the time, else None."""
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    return None


def app_named(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def all_under(node):
    out = []
    stack = [node]
    while stack:
        n = stack.pop()
        if n is None:
            continue
        out.append(n)
        stack.extend(n.getChildAtIndex(i) for i in reversed(range(n.childCount)))
    return out


def first(node, role, name=None):
    for n in all_under(node):
        if n.getRoleName() == role and (name is None or n.name == name):
            return n
    return None


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def rows(view):
    return [view.getChildAtIndex(i) for i in range(view.childCount)
            if view.getChildAtIndex(i).getRoleName() != "table column header"]


def read(node):
    """One line as a screen reader would say it: role, name, description, states."""
    said = [node.getRoleName(), node.name]
    if node.description:
        said.append(node.description)
    said += sorted(states(node) & {"checkable", "checked", "expandable", "expanded", "selected"})
    return ", ".join(said)


def sjis(text):
    return text.encode("cp932")


def write_document(folder):
    """Two Topics at the top, one under the first; four Items of every kind under it."""
    path = os.path.join(folder, "reader.bnv")
    with open(path, "wb") as f:
        f.write(sjis("仕事@00@\r\n") + b"\x08" + sjis("■報告書\r\n") + b"\x08" +
                sjis("□会議の準備\r\n") + b"\x08" + sjis("□-\r\n") + b"\x08" +
                sjis("□-メモ\r\n") + b"\t" + sjis("来週@03@\r\n") + b"\t\x08" +
                sjis("□出張\r\n") + sjis("ごみ箱@04@\r\n"))
    return path


def main(folder):
    editor, document = sys.argv[1], write_document(folder)
    process = subprocess.Popen([editor, document])
    try:
        app = poll(lambda: app_named("Brenvale"))
        check(app is not None, "the editor is on the accessibility bus")
        if app is None:
            return
        tree = poll(lambda: first(app, "tree", "ツリー"))
        checklist = poll(lambda: first(app, "list", "チェックリスト"))
        check(tree is not None and checklist is not None, "the tree and the check list are found")
        if tree is None or checklist is None:
            return

        tree_rows = rows(tree)
        for row in tree_rows:
            print("tree row:", read(row))
        check([r.name for r in tree_rows] == ["仕事", "来週", "ごみ箱"], "tree rows by caption")
        check([r.description for r in tree_rows] == ["階層 1", "階層 2", "階層 1"],
              "tree rows give their level")
        check("expanded" in states(tree_rows[0]) and "expandable" in states(tree_rows[0]),
              "a Topic with children says it is expanded")
        check(not states(tree_rows[1]) & {"expanded", "expandable"},
              "a Topic without children says nothing of expanding")

        list_rows = rows(checklist)
        for row in list_rows:
            print("list row:", read(row))
        check([r.getRoleName() for r in list_rows] ==
              ["check box", "check box", "separator", "list item"], "list rows by kind")
        check([r.name for r in list_rows] == ["報告書", "会議の準備", "区切り", "メモ"],
              "list rows by text, the separator named")
        check("checked" in states(list_rows[0]) and "checked" not in states(list_rows[1]),
              "the checked state of Items")
        check(actions(list_rows[1])[:1] == ["Toggle"], "an Item's first action toggles its check")

        for role, name in (("text", "ツリー編集枠"), ("text", "チェックリスト編集枠"),
                           ("push button", "上書き保存"),
                           ("check box", "チェックボックス表示/非表示")):
            node = first(app, role, name)
            check(node is not None, f"a {role} named {name}")
            if node is not None:
                print(f"{role}:", read(node))
        buttons = [n.name for n in all_under(app) if n.getRoleName() == "push button"]
        check(not any("\t" in b or "Ctrl+" in b for b in buttons),
              "no button carries its shortcut in its name")
        counters = [n.name for n in all_under(app) if n.getRoleName() == "label"
                    and n.name.startswith(("ツリー情報", "チェックリスト情報"))]
        print("counters:", counters)
        check(len(counters) == 2, "both counters named by what they show")

        # Tick the second Item through its action, as a screen reader user does.
        list_rows[1].queryAction().doAction(0)
        check(poll(lambda: "checked" in states(rows(checklist)[1]), 10) is not None,
              "the Toggle action ticks the Item")
        # Select the last tree row through the table interface: exactly that row.
        tree.queryTable().addRowSelection(2)
        check(poll(lambda: ["selected" in states(r) for r in rows(tree)] == [False, False, True],
                   10) is not None, "selecting a tree row through the interface selects it alone")
        check(poll(lambda: rows(checklist) == [] or
                   [r.name for r in rows(checklist)] != ["報告書", "会議の準備", "区切り", "メモ"],
                   10) is not None, "the list follows the selected Topic")
    finally:
        process.terminate()
        process.wait(timeout=30)


with tempfile.TemporaryDirectory() as work:
    main(work)
for failure in failures:
    print("FAILED:", failure, file=sys.stderr)
sys.exit(1 if failures else 0)
