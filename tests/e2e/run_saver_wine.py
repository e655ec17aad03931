#!/usr/bin/env python3
"""run_saver_wine.py SCR PREVIEW-HOST WORK-FOLDER: the Windows screensaver under Wine on a private
Xvfb, as the system starts it: /s over the whole screen until the mouse moves or a key is
pressed, /c with its box, /p inside another program's window. Exit status as run_e2e.py's."""
import os, re, sys, time  # noqa: E401

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402


def shows_watch(v):
    """The clear colour in the corner, the dial about where the view puts its centre."""
    (x, y), radius = v.dial_at()
    return lambda p: p[2][:3] == bytes(run_e2e.BACKGROUND) and (d := run_e2e.measure(p)["dial"]) \
        and abs(d[0] - x) + abs(d[1] - y) < radius / 4


def preview(v, host_program):
    """Wine keeps a GL child of another program's window in an X window of its own, off the
    parent's: the watch is looked for there, at the size of the host's client area."""
    host = v.launch(program=host_program, stdin=run_e2e.subprocess.PIPE)
    v.window, log = v.find("Preview host"), v.log
    v.read_client()
    while not open(log).read().split():  # the handle, written just after the window is made
        time.sleep(0.1)
    v.process = v.launch("/p", open(log).read().split()[0])
    size, child, deadline = f"{v.client[2]}x{v.client[3]}+0+0", None, time.time() + 60
    unnamed = re.compile(r"(0x[0-9a-f]+) \(has no name\): \(\)\s+" + re.escape(size))
    while not child:
        assert time.time() < deadline, f"no child of the preview's client size {size}"
        child = next(iter(unnamed.findall(v.tool("xwininfo", "-root", "-tree").decode())), 0)
    while True:  # a PPM: "P6", width and height, 255, the pixels
        ppm = v.tool("import", "-window", child, "-depth", "8", "ppm:-").split(b"\n", 3)
        v.client = (0, 0, *map(int, ppm[1].split()))
        if shows_watch(v)((*v.client[2:], ppm[3])):
            break
        assert time.time() < deadline and v.process.poll() is None, "/p: no watch in its child"
    print(f"[{time.strftime('%H:%M:%S')}] ok: /p showing the watch at the preview's size")
    host.communicate(b"close\n", timeout=30)
    v.end("the preview's window going away", lambda: None)


def walk(v, host_program):
    for how, *xdotool in (("a mouse move", "mousemove", "600", "500", "sleep", "0.3",
                           "mousemove", "700", "600"),
                          ("a key", "keydown", "a", "sleep", "0.1", "keyup", "a")):
        v.start("/s")
        assert v.client == (0, 0, 1280, 1024), f"/s covers {v.client}, not the whole screen"
        v.wait("/s showing the watch over the whole screen", shows_watch(v))
        v.tool("import", "-window", "root", os.path.join(v.work, f"full-screen-{v.runs}.png"))
        v.end(how, lambda: v.tool("xdotool", *xdotool))
    v.process = v.launch("/c")
    box = v.find("Orlentic")
    v.end("closing the /c box", lambda: v.tool(
        "xdotool", "windowfocus", box, "keydown", "Return", "sleep", "0.1", "keyup", "Return"))
    preview(v, host_program)


if __name__ == "__main__":
    scr, host_program, work = sys.argv[1:]
    sys.exit(run_e2e.main("wine", scr, work, lambda v: walk(v, os.path.abspath(host_program)),
                          "screensaver"))
