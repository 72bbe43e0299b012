#!/usr/bin/python3
# Reads a running program's window once through AT-SPI, as a screen reader or an inspector does
# when it meets the window: every object's name, role and state, the tables' sizes but none of
# their rows. With --cells it reads every cell of the tables too, as an inspector that walks the
# whole tree does. With --listen it then stays, listening to the window's events as a screen
# reader does, until it is ended.
# Usage: read_window.py [--listen|--cells] PID   (prints how many objects it read once it has read them)
import signal
import sys
import time

import pyatspi


def find_app(pid, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    return None


def read(node, depth=0):
    if depth > 40:
        return 0
    node.name, node.getRole(), node.getState()
    count = 1
    if node.getRole() == pyatspi.ROLE_TABLE:
        table = node.queryTable()
        table.nRows, table.nColumns
        if not cells:
            return count
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            count += read(child, depth + 1)
    return count


listen = sys.argv[1] == "--listen"
cells = sys.argv[1] == "--cells"
pid = int(sys.argv[-1])
app = find_app(pid)
if app is None:
    sys.exit("no accessible application with pid %d" % pid)
print("read %d accessible objects" % read(app), flush=True)
if not listen:
    sys.exit(0)
events = {}


def heard(event):
    events[event.type] = events.get(event.type, 0) + 1


def end(*_):
    print("heard %d events: %s" % (sum(events.values()), ", ".join("%s %d" % e for e in sorted(events.items()))), flush=True)
    sys.exit(0)


signal.signal(signal.SIGTERM, end)
pyatspi.Registry.registerEventListener(heard, "object", "focus", "window")
pyatspi.Registry.start()
