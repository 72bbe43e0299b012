#!/usr/bin/python3
# Reads a program through AT-SPI as a screen reader does.  atspi_probe.py PID MODE, MODE one of:
# names (a "role|name" line per object), row GRID N (the column titles and row N's cells),
# ends BOX (the word, the sentence and the line at the end of the text box BOX, a
# "kind|text|start|end" line each),
# listen ("ready", then a "role|name" line per name change heard and a "focus|role|name" line
# per focus, for 10 s).
import sys, time
import pyatspi
from gi.repository import GLib


def walk(node):
    yield node
    if node.getRole() != pyatspi.ROLE_TABLE:
        for child in node:
            yield from walk(child)


def find_app(pid):
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    sys.exit("no application with pid %d" % pid)


app = find_app(int(sys.argv[1]))
if sys.argv[2] == "names":
    print("\n".join("%s|%s" % (n.getRoleName(), n.name) for n in walk(app)))
elif sys.argv[2] == "row":
    grid = next(n for n in walk(app) if n.getRole() == pyatspi.ROLE_TABLE and n.name == sys.argv[3]).queryTable()
    print("|".join(grid.getColumnDescription(c) for c in range(grid.nColumns)))
    print("|".join(grid.getAccessibleAt(int(sys.argv[4]), c).name for c in range(grid.nColumns)))
elif sys.argv[2] == "ends":
    box = next(n for n in walk(app) if n.getRole() == pyatspi.ROLE_TEXT and n.name == sys.argv[3]).queryText()
    for kind in ("WORD", "SENTENCE", "LINE"):
        item = box.getTextAtOffset(box.characterCount, getattr(pyatspi, "TEXT_BOUNDARY_%s_START" % kind))
        print("%s|%s|%d|%d" % ((kind.lower(),) + tuple(item)), flush=True)
else:
    kinds = {"focus:": "focus|"}
    pyatspi.Registry.registerEventListener(
        lambda e: print("%s%s|%s" % (kinds.get(e.type, ""), e.source.getRoleName(), e.source.name), flush=True),
        "object:property-change:accessible-name", "focus:")
    print("ready", flush=True)
    GLib.timeout_add(10000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
