#!/usr/bin/python3
# Reads a running program through AT-SPI, as a screen reader does, and prints what it heard.
#   atspi_probe.py PID names      every object's role and name, one "role|name" a line
#   atspi_probe.py PID row GRID N  row N of the table named GRID: "titles|..." then "cells|..."
#   atspi_probe.py PID listen      "ready", then "role|name" for every name change heard (10 s)
import sys
import time

import pyatspi


def find_app(pid):
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    sys.exit("no accessible application with pid %d" % pid)


def walk(node, depth=0):
    yield node
    if depth < 40 and node.getRole() != pyatspi.ROLE_TABLE:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                yield from walk(child, depth + 1)


app = find_app(int(sys.argv[1]))
mode = sys.argv[2]
if mode == "names":
    for node in walk(app):
        print("%s|%s" % (node.getRoleName(), node.name))
elif mode == "row":
    table = next(n for n in walk(app) if n.getRole() == pyatspi.ROLE_TABLE and n.name == sys.argv[3]).queryTable()
    row = int(sys.argv[4])
    print("titles|" + "|".join(table.getColumnDescription(c) for c in range(table.nColumns)))
    print("cells|" + "|".join(table.getAccessibleAt(row, c).name for c in range(table.nColumns)))
elif mode == "listen":
    def heard(event):
        print("%s|%s" % (event.source.getRoleName(), event.source.name), flush=True)
        if time.monotonic() > deadline:
            pyatspi.Registry.stop()

    deadline = time.monotonic() + 10
    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
    print("ready", flush=True)
    from gi.repository import GLib
    GLib.timeout_add(10000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
sys.stdout.flush()
