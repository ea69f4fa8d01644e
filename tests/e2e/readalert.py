#!/usr/bin/python3
"""Prints the text of the message box that an application shows, as the
accessibility bus (AT-SPI) gives it: the box's labels, one a line. Exits 1
while the application shows none. With a third argument, a role's name
("frame"), prints the name of the application's window of that role instead. The second argument is how long, in
milliseconds, a call to the application may take: the library's own limit of
under a second fails on a loaded machine."""
import sys

import pyatspi


def ListLabels(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if child.getRole() == pyatspi.ROLE_LABEL and child.name:
            yield child.name
        yield from ListLabels(child)


def main(application, limitMs, roleName=None):
    pyatspi.setTimeout(limitMs, limitMs)
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != application:
            continue
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is None:
                continue
            if (window.getRoleName() == roleName) if roleName else (window.getRole() == pyatspi.ROLE_ALERT):
                print(window.name if roleName else "\n".join(ListLabels(window)), end="")
                return 0
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], int(sys.argv[2]), *sys.argv[3:4]))
