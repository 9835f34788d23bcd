"""Reads a running program through AT-SPI, as a screen reader does.

The end-to-end tests run it with /usr/bin/python3 (Debian's python3-pyatspi):

  atspi.py APP expect-edit CUT COPY PASTE
      the Edit menu's Cut, Copy and Paste are enabled (1) or not (0)
  atspi.py APP expect-focused ROLE NAME
      the control with the keyboard focus has this role and name
  atspi.py APP expect-object ROLE NAME [DESCRIPTION]
      a control with this role and name is there, with this description
  atspi.py APP expect-text NAME TEXT CARET
      the text control with this name holds this text, caret at this offset

Each waits up to 15 seconds for the program named APP to get there, reading
it afresh every time, and ends with status 1 and what it saw if it never does.
"""
import sys
import time

import pyatspi
from gi.repository import Atspi

TIMEOUT = 15.0


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            # Ask the program itself every time rather than a cache: the
            # answers change while the test waits.
            app.set_cache_mask(Atspi.Cache.NONE)
            return app
    return None


def descendants(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        yield from descendants(node.getChildAtIndex(i), depth + 1)


def enabled(node):
    state = node.getState()
    return state.contains(pyatspi.STATE_ENABLED) and state.contains(pyatspi.STATE_SENSITIVE)


def edit_states(app):
    """The Edit menu's Cut, Copy and Paste: 1 enabled, 0 not."""
    for title in descendants(app):
        # The menu bar's item "Edit" holds the menu with the items.
        if title.getRole() in (pyatspi.ROLE_MENU, pyatspi.ROLE_MENU_ITEM) and title.name == "Edit":
            return {item.name: int(enabled(item)) for item in descendants(title)
                    if item is not title and item.getRole() == pyatspi.ROLE_MENU_ITEM
                    and item.name in ("Cut", "Copy", "Paste")}
    return None


def focused(app):
    for node in descendants(app):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return [node.getRoleName(), node.name]
    return None


def described(app, role, name):
    for node in descendants(app):
        if node.getRoleName() == role and node.name == name:
            return [role, name, node.description]
    return None


def text_and_caret(app, name):
    for node in descendants(app):
        if node.getRoleName() == "text" and node.name == name:
            text = node.queryText()
            return [text.getText(0, -1), str(text.caretOffset)]
    return None


def wait(what, probe, expected):
    deadline = time.monotonic() + TIMEOUT
    seen = None
    while time.monotonic() < deadline:
        try:
            seen = probe()
        except Exception as error:  # the program may not be up yet
            seen = "error: %s" % error
        if seen == expected:
            print("%s: %s" % (what, seen))
            return 0
        time.sleep(0.2)
    print("%s: expected %s, saw %s" % (what, expected, seen), file=sys.stderr)
    return 1


def main(app_name, command, *args):
    app = lambda: application(app_name)
    if command == "expect-edit":
        expected = dict(zip(("Cut", "Copy", "Paste"), (int(a) for a in args)))
        return wait("Edit menu", lambda: edit_states(app()), expected)
    if command == "expect-focused":
        return wait("focus", lambda: focused(app()), list(args))
    if command == "expect-object":
        role, name = args[0], args[1]
        if len(args) > 2:
            return wait("description", lambda: described(app(), role, name), list(args))
        return wait("object", lambda: described(app(), role, name)[:2], [role, name])
    if command == "expect-text":
        return wait("text", lambda: text_and_caret(app(), args[0]), list(args[1:]))
    print("unknown command: %s" % command, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
