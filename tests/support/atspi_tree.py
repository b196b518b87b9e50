#!/usr/bin/python3
"""Prints what a screen reader reads of a running program: the accessible
tree of its windows as the desktop's accessibility bus (AT-SPI) has it, as
JSON, one object per window.

Usage: atspi_tree.py PID [WINDOW]
PID is the program's process; with WINDOW, waits (up to ten seconds) until a
window of that name shows. Exits 1 when the program or the window does not
show up on the bus.
"""
import json
import sys
import time

import pyatspi

RELATIONS = {
    pyatspi.RELATION_LABEL_FOR: "labelFor",
    pyatspi.RELATION_LABELLED_BY: "labelledBy",
}


def node(accessible):
    states = accessible.getState()
    read = {
        "role": accessible.getRoleName(),
        "name": accessible.name,
        "description": accessible.description,
        "showing": states.contains(pyatspi.STATE_SHOWING),
    }
    for relation in accessible.getRelationSet():
        kind = RELATIONS.get(relation.getRelationType())
        if kind:
            read.setdefault(kind, []).extend(
                relation.getTarget(i).name for i in range(relation.getNTargets()))
    try:
        action = accessible.queryAction()
        read["actions"] = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        read["actions"] = []
    read["children"] = [node(child) for child in accessible if child is not None]
    return read


def windows(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return [node(window) for window in app if window is not None]
    return None


def main():
    pid = int(sys.argv[1])
    wanted = sys.argv[2] if len(sys.argv) > 2 else None
    for _ in range(100):
        found = windows(pid)
        if found is not None and (wanted is None or any(
                w["name"] == wanted and w["showing"] for w in found)):
            json.dump(found, sys.stdout, ensure_ascii=False)
            return 0
        time.sleep(0.1)
    print("atspi_tree: no window %r of process %d on the accessibility bus"
          % (wanted, pid), file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
