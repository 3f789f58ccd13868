"""What a screen reader hears of the preview: the program runs on a virtual X display with a D-Bus
session and the accessibility bus, and this script reads it over that bus as Orca does (Debian's
python3-pyatspi). Today's entry typed on the first tab, and the diary's heading and paragraph,
must be read from the preview's two panes.

Usage: dbus-run-session -- python3 preview_heard.py PROGRAM
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

pyatspi = None  # imported once the accessibility bus runs: it looks for the bus when imported

BODY = "読み上げられる本文"
DIARY = "<HTML><BODY>\r\n<H3>見出しの日付</H3>\r\n<P>段落の文</P>\r\n</BODY></HTML>\r\n".encode("cp932")
HEARD = {"今日の日記（次に挿入される内容）": [BODY],
         "日記ファイル（カーソル付近）": ["見出しの日付", "段落の文"]}


def wait(what, test, timeout=60):
    end = time.time() + timeout
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.3)
    raise TimeoutError(what)


def start_display():
    number = next(n for n in range(200, 400) if not os.path.exists(f"/tmp/.X{n}-lock"))
    xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1280x900x24", "-nolisten",
                             "tcp"], stderr=subprocess.DEVNULL)
    wait("the virtual display", lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"))
    return xvfb, f":{number}"


def start_bus():
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait("the accessibility bus", lambda: subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
         "org.a11y.Bus.GetAddress"], capture_output=True).returncode == 0)
    global pyatspi
    import pyatspi
    pyatspi.Registry.getDesktop(0).childCount  # wakes the registry before the program starts
    return bus


def find(root, role, name=None, contains=None):
    def matches(node):
        try:
            return node.getRoleName() == role and (name is None or node.name == name) and (
                contains is None or contains in (node.name or ""))
        except Exception:
            return False
    return pyatspi.findDescendant(root, matches)


def names_below(node):
    found = []
    for child in pyatspi.findAllDescendants(node, lambda n: bool(n.name)):
        found.append(child.name)
    return found


def application():
    def named():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and (app.name or "").lower().startswith("pelmora"):
                return app
        return None
    return wait("the program on the accessibility bus", named)


def main(program):
    home = tempfile.mkdtemp()
    xvfb, display = start_display()
    os.environ["DISPLAY"] = display
    bus = start_bus()
    child = None
    try:
        runtime = os.path.join(home, "run")  # the program's own, so no other instance takes over
        os.mkdir(runtime, 0o700)
        diary = os.path.join(home, "diary.htm")
        with open(diary, "wb") as f:
            f.write(DIARY)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local/share"),
                   XDG_STATE_HOME=os.path.join(home, ".local/state"),
                   XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        child = subprocess.Popen([program, diary], env=env)
        app = application()
        ok = wait("the first-use window or the main window",
                  lambda: find(app, "push button", "OK") or find(app, "frame", contains="Pelmora"))
        if ok.getRoleName() == "push button":
            ok.queryAction().doAction(0)
        body = wait("the entry's body", lambda: find(app, "text", "今日の日記本文"))
        body.queryEditableText().setTextContents(BODY)
        wait("the preview command", lambda: find(app, "menu item", "プレビュー(P)")) \
            .queryAction().doAction(0)
        for pane, texts in HEARD.items():
            def heard():
                node = find(app, "filler", pane)
                return node is not None and all(
                    any(t in n for n in names_below(node)) for t in texts)
            try:
                wait(f"the text of the pane {pane}", heard)
            except TimeoutError:
                node = find(app, "filler", pane)
                print(f"not heard in {pane}: {texts}; heard: {names_below(node) if node else None}")
                return 1
        print("heard:", ", ".join(t for texts in HEARD.values() for t in texts))
        return 0
    finally:
        if child is not None:
            child.kill()
            child.wait()
        bus.terminate()
        xvfb.terminate()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
