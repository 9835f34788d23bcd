# Reads a running program through AT-SPI, as a screen reader does:
#   atspi.py APP focused ROLE NAME        the control with the focus has this role and name
#   atspi.py APP object ROLE NAME DESCR   a control with this role and name has this description
#   atspi.py APP text NAME TEXT CARET     the text control of this name holds TEXT, caret at CARET
# Each waits up to 15 seconds for the program to get there, reading it afresh
# every time, and ends with status 1 and what it saw if it never does.
import sys
import time

import pyatspi
from gi.repository import Atspi


def nodes(node, depth=0):
    if node is not None and depth < 12:
        yield node
        for i in range(node.childCount):
            yield from nodes(node.getChildAtIndex(i), depth + 1)


def probe(name, command, args):
    desktop = pyatspi.Registry.getDesktop(0)
    app = next(a for a in map(desktop.getChildAtIndex, range(desktop.childCount)) if a.name == name)
    app.set_cache_mask(Atspi.Cache.NONE)  # the answers change while the test waits
    if command == "focused":
        return next([n.getRoleName(), n.name] for n in nodes(app)
                    if n.getState().contains(pyatspi.STATE_FOCUSED))
    if command == "text":
        text = next(n for n in nodes(app) if [n.getRoleName(), n.name] == ["text", args[0]]).queryText()
        return [args[0], text.getText(0, -1), str(text.caretOffset)]
    return next([n.getRoleName(), n.name, n.description] for n in nodes(app)
                if [n.getRoleName(), n.name] == args[:2])


def main(name, command, *args):
    deadline, seen = time.monotonic() + 15, None
    while time.monotonic() < deadline:
        try:
            seen = probe(name, command, list(args))
        except Exception as error:  # not there yet
            seen = "error: %s" % error
        if seen == list(args):
            return 0
        time.sleep(0.2)
    print("%s: expected %s, saw %s" % (command, list(args), seen), file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
