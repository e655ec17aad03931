#!/usr/bin/env python3
"""run_saver_e2e.py window-id|daemon|wine SAVER WORK [PREVIEW-HOST]: on a private Xvfb, the Linux
display mode in a window the test makes or in the one the real xscreensaver daemon lends it, or
the Windows screensaver under Wine as the system starts it: /s over the whole screen until the
mouse moves or a key is pressed, /c with its box, /p inside another program's window. Exit
status as run_e2e.py's."""
import ctypes, os, pwd, re, shutil, signal, subprocess, sys, tempfile, time  # noqa: E401
from run_e2e import BACKGROUND, main, measure, wait_for

X11 = ctypes.CDLL("libX11.so.6")
X11.XOpenDisplay.restype = X11.XCreateSimpleWindow.restype = ctypes.c_void_p
LENT = (40, 30, 480, 360)  # x, y, width, height on the root


def shows_watch(v):
    """The clear colour in the corner, the dial about where the view puts its centre."""
    (x, y), radius = v.dial_at()
    return lambda p: p[2][:3] == bytes(BACKGROUND) and (d := measure(p)["dial"]) \
        and abs(d[0] - x) + abs(d[1] - y) < radius / 4


def lent_window(v):
    display = ctypes.c_void_p(X11.XOpenDisplay(v.env["DISPLAY"].encode()))
    root = ctypes.c_ulong(X11.XDefaultRootWindow(display))
    windows = lambda: v.tool("xwininfo", "-root", "-children").count(b"\n     0x")  # noqa
    for how, timeout in (("the window destroyed", 5), ("SIGTERM", 0.5)):
        window = ctypes.c_ulong(X11.XCreateSimpleWindow(display, root, *LENT, 0, 0, 0xFFFFFF))
        X11.XMapWindow(display, window)
        X11.XSync(display, 0)
        before, v.client = windows(), LENT
        v.process = v.launch("--window-id", str(window.value))
        v.wait(f"the picture in window {window.value:#x}", shows_watch(v), timeout=30)
        assert windows() == before, "the display mode made a window of its own"
        if how == "SIGTERM":
            v.end(how, lambda: v.process.send_signal(signal.SIGTERM), timeout, quiet=True)
            continue
        v.tool("xdotool", "mousemove", str(LENT[0] + 99), str(LENT[1] + 99), "click", "1",
               "mousemove_relative", "40", "40", "key", "a", "sleep", "0.5")
        assert v.process.poll() is None, "the display mode ended on input"
        v.end(how, lambda: (X11.XDestroyWindow(display, window), X11.XSync(display, 0)), timeout,
              quiet=True)


def daemon(v):
    """The daemon runs no mode as root, so as root it runs as nobody, from a scratch folder with a
    home of its own; on the PATH, a wrapper keeps the mode's standard error and exit status."""
    user = pwd.getpwnam("nobody") if os.geteuid() == 0 else pwd.getpwuid(os.geteuid())
    scratch = tempfile.mkdtemp(prefix="orlentic-daemon-")
    home, out = os.path.join(scratch, "home"), os.path.join(scratch, "out")
    os.chmod(scratch, 0o755)
    for folder in (home, out):
        os.mkdir(folder)
        os.chown(folder, user.pw_uid, user.pw_gid)
    shutil.copy(v.path, os.path.join(scratch, "mode"))
    with open(os.path.join(scratch, "orlentic-saver"), "w") as wrapper:
        wrapper.write(f"#!/bin/sh\n{scratch}/mode \"$@\" 2>>{out}/stderr & child=$!\n"
                      f"trap 'kill -TERM $child; wait $child; echo $? >{out}/status; exit' TERM\n"
                      f"wait $child; echo $? >{out}/status\n")
    os.chmod(wrapper.name, 0o755)
    with open(os.path.join(home, ".xscreensaver"), "w") as settings:
        settings.write("mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                       "splash: False\ntimeout: 1:00:00\nprograms: GL: orlentic-saver --root \\n\n")
    command = ["runuser", "-u", user.pw_name, "--"] * (os.geteuid() == 0) + [
        "env", f"HOME={home}", f"DISPLAY={v.env['DISPLAY']}", f"PATH={scratch}:{v.env['PATH']}"]
    v.process = v.launch(*command[1:], "xscreensaver", "-no-splash", "-verbose", program=command[0])
    try:
        wait_for("the daemon blanking", lambda: b"blanking" in v.tool(
            *command, "xscreensaver-command", "-activate", check=False))
        v.client = (0, 0, 1280, 1024)
        v.wait("the watch on the screen", shows_watch(v), timeout=90)
        v.tool("import", "-window", "root", os.path.join(v.work, "daemon.png"))
        v.tool(*command, "xscreensaver-command", "-deactivate", check=False)
        status = wait_for("the display mode ending on -deactivate",
                          lambda: os.path.exists(f"{out}/status") and open(f"{out}/status").read())
        errors = open(f"{out}/stderr").read()
        assert status == "0\n" and not errors, f"status {status!r}, stderr {errors!r}"
    finally:
        v.process.terminate()
        v.process.wait(10)
        shutil.rmtree(scratch)


def preview(v, host_program):
    """Wine keeps a GL child of another program's window in an X window of its own, off the
    parent's: the watch is looked for there, at the size of the host's client area."""
    host = v.launch(program=host_program, stdin=subprocess.PIPE)
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


def wine(v, host_program):
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
    how, saver, work, *host = sys.argv[1:]
    if how == "daemon" and not shutil.which("xscreensaver"):
        sys.exit(print("skipped: no xscreensaver") or 77)
    walk = {"window-id": lent_window, "daemon": daemon,
            "wine": lambda v: wine(v, os.path.abspath(host[0]))}[how]
    sys.exit(main("wine" if how == "wine" else "linux", saver, work, walk, "screensaver"))
