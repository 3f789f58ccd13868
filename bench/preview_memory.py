"""Memory of the program with its preview: before it is opened, while it shows a diary, and after
it is closed, as the proportional set size (PSS) of the program and all its child processes (the
browser engine's helpers). Runs the program on a virtual display of its own (Debian xvfb, xdotool).

Usage: python3 bench/preview_memory.py build/pelmora [diary.htm]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time


def wait(what, test, timeout=60):
    end = time.time() + timeout
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.2)
    raise TimeoutError(what)


def descendants(pid):
    found, todo = [], [pid]
    while todo:
        p = todo.pop()
        found.append(p)
        try:
            with open(f"/proc/{p}/task/{p}/children") as f:
                todo += [int(c) for c in f.read().split()]
        except OSError:
            pass
    return found


def memory(pid):
    """PSS of the program and its children in MB: all of it, and the part not backed by files
    (the heap, what the system cannot take back by dropping pages it can read again)."""
    total = {"Pss:": 0, "Pss_Anon:": 0}
    processes = descendants(pid)
    for p in processes:
        try:
            with open(f"/proc/{p}/smaps_rollup") as f:
                for line in f:
                    name = line.split()[0]
                    if name in total:
                        total[name] += int(line.split()[1])
        except OSError:
            pass
    return total["Pss:"] / 1024, total["Pss_Anon:"] / 1024, len(processes)


def key(display, *keys):
    subprocess.run(["xdotool", "search", "--name", "Pelmora Ver", "windowfocus", "--sync",
                    "key", *keys], env=dict(os.environ, DISPLAY=display), check=False,
                   stderr=subprocess.DEVNULL)


def main(program, diary=None):
    home = tempfile.mkdtemp()
    number = next(n for n in range(400, 600) if not os.path.exists(f"/tmp/.X{n}-lock"))
    display = f":{number}"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                            stderr=subprocess.DEVNULL)
    wait("the display", lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"))
    if diary is None:
        diary = os.path.join(home, "diary.htm")
        entry = "<H3>2026/12/08</H3>\r\n<P>" + "日記の本文です。" * 40 + "</P>\r\n"
        with open(diary, "wb") as f:
            f.write(("<HTML><BODY>\r\n" + entry * 2000 + "</BODY></HTML>\r\n").encode("cp932"))
    runtime = os.path.join(home, "run")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=runtime,
               XDG_CONFIG_HOME=os.path.join(home, "c"), XDG_STATE_HOME=os.path.join(home, "s"),
               XDG_DATA_HOME=os.path.join(home, "d"), QT_QPA_PLATFORM="xcb")
    child = subprocess.Popen([program, diary], env=env, stderr=subprocess.DEVNULL)
    try:
        search = ["xdotool", "search", "--name", "Pelmora Ver"]
        wait("the main window", lambda: subprocess.run(
            search, env=env, capture_output=True).returncode == 0)
        time.sleep(3)
        subprocess.run(["xdotool", "search", "--name", "初回説明", "windowfocus", "--sync", "key",
                        "Return"], env=env, check=False)  # the first-use window, if shown
        time.sleep(2)
        rows = [("before", *memory(child.pid))]
        key(display, "F5")
        time.sleep(10)
        rows.append(("with", *memory(child.pid)))
        key(display, "F5")
        time.sleep(10)
        rows.append(("after", *memory(child.pid)))
        for name, mb, anon, processes in rows:
            print(f"{name:7} {mb:7.1f} MB PSS, {anon:7.1f} MB of it not from files,"
                  f" in {processes} processes")
    finally:
        child.kill()
        child.wait()
        xvfb.terminate()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
