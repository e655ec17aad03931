#!/usr/bin/env python3
"""run_saver_wine.py SCR PREVIEW-HOST WORK-FOLDER: the Windows screensaver under Wine on a private
Xvfb, as the system starts it: /s over the whole screen until the mouse moves or a key is
pressed, /c with its box, /p inside a window of another program. Exit status: 0 passed,
1 failed, 77 skipped (no screensaver)."""
import os, re, subprocess, sys, time  # noqa: E401

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_e2e import BACKGROUND, Viewer, measure  # noqa: E402

SCREEN = (0, 0, 1280, 1024)  # the Xvfb screen: the virtual screen of one monitor


def shows_watch(v):
    """The clear colour in the corner and the dial near where the view puts its centre."""
    (x, y), radius = v.dial_at()
    return lambda p: p[2][:3] == bytes(BACKGROUND) and (d := measure(p)["dial"]) is not None \
        and abs(d[0] - x) + abs(d[1] - y) < radius / 4


def start(v, *arguments, stdin=subprocess.DEVNULL, program=None):
    v.runs += 1
    v.log = os.path.join(v.work, f"saver-{v.runs}.log")
    return subprocess.Popen(["wine", program or v.path, *arguments], env=v.env, cwd=v.work,
                            stdin=stdin, stdout=open(v.log, "w"), stderr=subprocess.STDOUT)


def find(v, name, timeout=120):
    """The first visible window of that name; Wine's own come and go on a first run."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = v.tool("xdotool", "search", "--onlyvisible", "--name", f"^{name}$", check=False)
        if found.split():
            return found.split()[0]
        time.sleep(0.2)
    raise AssertionError(f"no window named {name}")


def full_screen(v, how, act):
    v.process = start(v, "/s")
    v.window = find(v, "Orlentic")
    v.read_client()
    assert v.client == SCREEN, f"the saver covers {v.client}, not the screen {SCREEN}"
    v.wait("/s showing the watch over the whole screen", shows_watch(v))
    v.tool("import", "-window", "root", os.path.join(v.work, f"full-screen-{v.runs}.png"))
    act()
    v.end(how, lambda: None)


def jitter_then_move(v):
    v.tool("xdotool", "mousemove", "600", "500", "sleep", "0.3", "mousemove", "601", "500")
    time.sleep(1)
    assert v.process.poll() is None, "a one-pixel jitter ended the saver"
    v.tool("xdotool", "mousemove", "700", "600")


def settings(v):
    v.process = start(v, "/c")
    box = find(v, "Orlentic")
    v.tool("xdotool", "windowfocus", box, check=False)
    v.tool("xdotool", "keydown", "Return", "sleep", "0.1", "keyup", "Return")
    v.end("closing the /c box", lambda: None)


def preview(v):
    """Wine keeps a GL child of another program's window in an X window of its own, off the
    parent: the watch is looked for there, at the size of the host's client area."""
    host = start(v, stdin=subprocess.PIPE, program=v.host)
    host_log = v.log
    find(v, "Preview host")
    handle = open(host_log).read().split()[0]
    v.process = start(v, "/p", handle)
    v.window = find(v, "Preview host")
    v.read_client()
    size = f"{v.client[2]}x{v.client[3]}+0+0"
    deadline, child = time.time() + 60, None
    while not child and time.time() < deadline:
        tree = v.tool("xwininfo", "-root", "-tree").decode()
        child = next(iter(re.findall(r"(0x[0-9a-f]+) \(has no name\): \(\)\s+" + re.escape(size),
                                     tree)), None)
        time.sleep(0.2)
    assert child, f"no child of the preview's client size {size}"
    deadline = time.time() + 30
    while True:  # a PPM: "P6", width, height, 255, then the pixels
        ppm = v.tool("import", "-window", child, "-depth", "8", "ppm:-").split(b"\n", 3)
        width, height = map(int, ppm[1].split())
        v.client = (0, 0, width, height)
        if shows_watch(v)((width, height, ppm[3])):
            break
        assert time.time() < deadline and v.process.poll() is None, "/p: no watch in the child"
    print(f"[{time.strftime('%H:%M:%S')}] ok: /p drawing the watch at the preview's size")
    host.stdin.write(b"close\n")
    host.stdin.close()
    v.end("the preview's window going away", lambda: None)
    host.wait(timeout=20)


def main(scr, host, work):
    if not os.path.isfile(scr):
        return print(f"skipped: no screensaver at {scr!r}") or 77
    os.makedirs(work, exist_ok=True)
    v = Viewer("wine", os.path.abspath(scr), os.path.abspath(work))
    v.host = os.path.abspath(host)
    try:
        full_screen(v, "a mouse move (after a one-pixel jitter that did not)",
                    lambda: jitter_then_move(v))
        full_screen(v, "a key", lambda: v.tool("xdotool", "keydown", "a", "sleep", "0.1",
                                              "keyup", "a"))
        settings(v)
        preview(v)
        return 0
    except (AssertionError, OSError, subprocess.SubprocessError) as failure:
        log = open(v.log, errors="replace").read()[-4000:] if v.runs else ""
        return print(f"FAILED (saver under Wine): {failure}\n{log}\nlogs: {work}") or 1
    finally:
        if v.process:
            v.process.kill()
        subprocess.run(["wineserver", "-k"], env=v.env, capture_output=True, timeout=30)
        v.xvfb.kill()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
