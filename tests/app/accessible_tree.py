"""Reads the window of process PID as a screen reader does (AT-SPI) and
checks what it must find there: the links as links, the icons named like
the titles beside them, the details page's text. Exit 0 when all is there."""
import sys
import time

import pyatspi

pid = int(sys.argv[1])
deadline = time.monotonic() + float(sys.argv[2])


def find_app():
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:  # an application that went away meanwhile
                pass
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for child in node:
        yield from walk(child, depth + 1)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


app = find_app()
if app is None:
    sys.exit("the window never showed up on the accessibility bus")
problems = []
nodes = []
while time.monotonic() < deadline:
    nodes = [(n.getRoleName(), n.name, n) for n in walk(app)]
    if any(role == "link" for role, _, _ in nodes):
        break
    time.sleep(0.2)
links = {name for role, name, _ in nodes if role == "link"}
images = [name for role, name, _ in nodes if role in ("image", "icon")]
if "(Also show system processes.)" not in links:
    problems.append("the elevation link is no link: %s" % sorted(links))
if len(images) != 3 or not all(name in links for name in images):
    problems.append("icons %s are not named like the links %s" % (images, sorted(links)))
if not any("Please choose a program." in text_of(n) for _, _, n in nodes):
    problems.append("the page's text cannot be read")
link = next(n for role, name, n in nodes if role == "link")
try:
    actions = link.queryAction()
    if actions.nActions < 1:
        problems.append("a link offers no action")
except NotImplementedError:
    problems.append("a link offers no action")
for p in problems:
    print("FAIL:", p)
if problems:
    print("seen:", [(role, name) for role, name, _ in nodes])
sys.exit(1 if problems else 0)
