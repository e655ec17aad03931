#!/usr/bin/env python3
"""run_e2e.py HOW PROGRAM WORK [PREVIEW-HOST]: on a private Xvfb, as a person would, the viewer
(HOW: linux, asan or wine), the Linux display mode in a window of the test's (window-id) or of the
real xscreensaver daemon (daemon), or the Windows screensaver's /s, /c and /p under Wine as the
system starts it (saver-wine); or on a private Xorg of two monitors, /s under Wine (saver-monitors).
Exit status: 0 passed, 1 failed, 77 skipped (no program, xscreensaver or Xorg dummy driver)."""
import ctypes, math, os, pwd, re, select, shutil, signal, subprocess, sys, tempfile, time  # noqa
import xml.etree.ElementTree as ElementTree
from collections import Counter

BACKGROUND = (51, 51, 102)  # the clear colour (0.2, 0.2, 0.4) on an 8-bit screen
FOCAL_PER_HEIGHT = 0.5 / math.tan(math.radians(22.5))  # 45 degrees: a unit at d spans F * h / d
DIAL_RADIUS, DIAL_FACE_Z = 6.8, 0.3
STILL = 0.004  # the share of pixels that the seconds hand may change between two screenshots
# A window asked for at 800 x 600 outer size: all client natively, framed under Wine.
CLIENT = {"linux": (0, 0, 800, 600), "asan": (0, 0, 800, 600), "wine": (4, 23, 792, 573)}
LENT = (40, 30, 480, 360)  # the window lent to the display mode: x, y, width, height on the root
# Two monitors as X places them (x, y, width, height): the primary, and a smaller one left of and
# above it, at a negative origin to Windows. Xvfb gives Wine only one, so an Xorg with the dummy
# driver, whose outputs xrandr turns on, stands in for the two.
MONITORS = {"DUMMY0": (1024, 200, 1920, 1080), "DUMMY1": (0, 0, 1024, 768)}
DUMMY_DRIVER = "/usr/lib/xorg/modules/drivers/dummy_drv.so"
XORG_CONF = """Section "Device"\n Identifier "card"\n Driver "dummy"\n VideoRam 256000\nEndSection
Section "Monitor"\n Identifier "any"\n HorizSync 5-1000\n VertRefresh 5-200\nEndSection
Section "Screen"\n Identifier "screen"\n Device "card"\n Monitor "any"\n DefaultDepth 24
 SubSection "Display"\n  Depth 24\n  Virtual 2944 1280\n EndSubSection\nEndSection
"""
SETTINGS_PAGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources",
                             "linux", "orlentic.xml")  # the display mode's page in xscreensaver


def ok(what):
    print(f"[{time.strftime('%H:%M:%S')}] ok: {what}", flush=True)


def wait_for(what, condition, timeout=30.0):
    """condition()'s first true value, asked every 0.2 s."""
    deadline = time.time() + timeout
    while not (result := condition()):
        assert time.time() < deadline, f"{what}: not seen in time"
        time.sleep(0.2)
    ok(what)
    return result


def measure(picture, paper=None):
    """Counts of each kind of pixel, the paper's grey level (by default the one most light neutral
    pixels gather around), the dial's centre and half sizes."""
    width, height, px = picture
    colours = Counter(zip(px[0::3], px[1::3], px[2::3]))
    if paper is None:
        levels = [0] * 256
        for (r, g, b), n in colours.items():
            levels[g] += n * (r >= 60 and abs(r - g) <= 4 and abs(g - b) <= 4)
        paper = max(range(60, 256), key=lambda level: sum(levels[level - 14 : level + 15]))
    # Paper: near its grey level and untinted.
    kinds = {c: "background" if max(abs(a - b) for a, b in zip(c, BACKGROUND)) <= 3 else "paper"
             if max(abs(v - paper) for v in c) <= 14 and max(c) - min(c) <= 8 else "other"
             for c in colours}
    m = {"background": 0, "paper": 0, "other": 0, "paper_level": paper, "dial": None}
    rows, columns = [0] * height, [0] * width
    for i, c in enumerate(zip(px[0::3], px[1::3], px[2::3])):
        m[kinds[c]] += 1
        if kinds[c] == "paper":
            rows[i // width], columns[i % width] = rows[i // width] + 1, columns[i % width] + 1
    if m["paper"] >= 200:  # the runs of rows and of columns with paper around its centre
        runs = [run_around(h, sum(i * n for i, n in enumerate(h)) // m["paper"])
                for h in (columns, rows)]
        m["dial"] = [(a + b) / 2 for a, b in runs] + [(b - a + 1) / 2 for a, b in runs]
    return m


def run_around(histogram, start, minimum=4):
    """The stretch of entries >= minimum holding start, or nearest to it: the dial, not the bow."""
    full = {i for i, n in enumerate(histogram) if n >= minimum}
    low = high = min(full, key=lambda i: abs(i - start), default=start)
    while low - 1 in full:
        low -= 1
    while high + 1 in full:
        high += 1
    return low, high


def changed(first, second, tolerance=24):
    """The share of pixels differing by more than tolerance in a channel."""
    a, b = first[2], second[2]
    return sum(1 for i in range(0, len(a), 3) if a[i : i + 3] != b[i : i + 3] and max(
        abs(a[i + k] - b[i + k]) for k in range(3)) > tolerance) / (len(a) // 3)


class Viewer:
    def __init__(self, build, path, work, xorg=False):
        self.build, self.path, self.work, self.runs = build, path, work, 0
        self.process = None
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        # The GL driver and Xlib keep allocations to the end by design: no leak reports.
        self.env.update(MESA_SHADER_CACHE_DISABLE="true", UBSAN_OPTIONS="halt_on_error=1",
                        ASAN_OPTIONS="detect_leaks=0:halt_on_error=1")
        if build == "wine":  # a home, so a prefix, of our own kept beside the work folder
            self.env.update(HOME=work + "-state", WINEDEBUG="-all",
                            WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d")
            os.makedirs(self.env["HOME"], exist_ok=True)
        # -displayfd: a free display, written once it is ready; -noreset: alive between clients;
        # -ac: the screensaver daemon's user, not the one who started the server, connects too.
        read_end, write_end = os.pipe()
        server = ["Xvfb", "-screen", "0", "1280x1024x24"]
        if xorg:  # its configuration alone, none of the system's
            with open(os.path.join(work, "xorg.conf"), "w") as conf:
                conf.write(XORG_CONF)
            os.makedirs(os.path.join(work, "xorg.conf.d"), exist_ok=True)
            server = ["Xorg", "-config", conf.name, "-configdir", conf.name + ".d", "-logfile",
                      os.path.join(work, "xorg.log")]
        self.xvfb = subprocess.Popen(
            server + ["-displayfd", str(write_end), "-noreset", "-nolisten", "tcp", "-ac"],
            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        assert select.select([read_end], [], [], 20)[0], f"{server[0]} did not start"
        self.env["DISPLAY"] = ":" + os.read(read_end, 16).decode().strip()

    def tool(self, *arguments, check=True, timeout=30):
        result = subprocess.run(arguments, env=self.env, capture_output=True, timeout=timeout)
        assert result.returncode == 0 or not check, f"{arguments}: {result.stderr}"
        return result.stdout

    def read_client(self):
        lines = self.tool("xdotool", "getwindowgeometry", "--shell", self.window).split()
        geometry = dict(line.decode().split("=", 1) for line in lines)
        self.client = tuple(int(geometry[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def save_picture(self, name, window="root"):
        self.tool("import", "-window", window, os.path.join(self.work, name))

    def press(self, key, seconds="0.1"):
        """A key held: one pressed and released between two frames is lost."""
        self.tool("xdotool", "keydown", key, "sleep", seconds, "keyup", key)

    def launch(self, *arguments, program=None, stdin=subprocess.DEVNULL):
        self.runs += 1
        self.log = os.path.join(self.work, f"viewer-{self.runs}.log")
        return subprocess.Popen(
            ["wine"] * (self.build == "wine") + [program or self.path, *arguments], env=self.env,
            cwd=self.work, stdin=stdin, stdout=open(self.log, "w"), stderr=subprocess.STDOUT)

    def find(self, name):
        """The first visible window of that name, once it shows."""
        # Wine builds its prefix on a first run, opening and closing windows of its own: a
        # search that meets one as it goes fails with BadWindow, so it is asked again.
        return wait_for(f"a window titled {name}", lambda: self.tool(
            "xdotool", "search", "--onlyvisible", "--name", f"^{name}$", check=False).split(),
            timeout=120 if self.build == "wine" else 30)[0]

    def open_window(self, name, *arguments, program=None, stdin=subprocess.DEVNULL):
        self.process = self.launch(*arguments, program=program, stdin=stdin)
        self.window = self.find(name)
        self.read_client()
        return self.process

    def start(self, *arguments, focus=True):
        self.open_window("Orlentic", *arguments)
        if focus:  # without a window manager nobody hands out the keyboard focus
            self.tool("xdotool", "windowfocus", self.window, check=False)
        return self.wait("a first frame", lambda p: p[2][:3] == bytes(BACKGROUND), timeout=30)

    def drag(self, button, start, delta=(0, 0), steps=12):
        """A drag by delta from start; a click with no delta."""
        def point(step):
            return [str(int(self.client[i] + start[i] + delta[i] * step / steps)) for i in (0, 1)]
        command = ["mousemove", *point(0), "sleep", "0.05", "mousedown", str(button)]
        for step in range(1, steps + 1 if delta != (0, 0) else 1):
            command += ["mousemove", *point(step), "sleep", "0.03"]
        self.tool("xdotool", *command, "sleep", "0.1", "mouseup", str(button))

    def wait(self, what, condition, still=False, timeout=20.0, window="root"):
        """The first screenshot of the client area where condition holds, and if still, that
        stopped moving."""
        (left, top, width, height), previous = self.client, [None]

        def seen():  # a PPM: "P6", its own width and height (a window's may be a pixel less)
            assert self.process.poll() is None, f"the viewer ended awaiting {what}"
            _, size, _, pixels = self.tool("import", "-window", window, "-crop",
                                           f"{width}x{height}+{left}+{top}", "-depth", "8",
                                           "ppm:-").split(b"\n", 3)
            picture = (*map(int, size.split()), pixels)
            moving = still and (not previous[0] or changed(previous[0], picture) >= STILL)
            previous[0] = picture
            return condition(picture) and not moving and picture
        return wait_for(what, seen, timeout)

    def dial_at(self, view_x=0.0, view_y=-2.5, view_z=-34.0):
        """Centre and radius in client pixels of the dial (radius 6.8, z 0.3) from this view."""
        scale = FOCAL_PER_HEIGHT * self.client[3] / (-view_z - DIAL_FACE_Z)
        centre = (self.client[2] / 2 + view_x * scale, self.client[3] / 2 - view_y * scale)
        return centre, DIAL_RADIUS * scale

    def facing(self, **view):
        centre, radius = self.dial_at(**view)
        return lambda p: (d := measure(p)["dial"]) is not None and all(
            abs(a - b) <= max(6, 0.06 * radius) for a, b in zip(d, centre + (radius,) * 2))

    def close(self):
        if self.process:
            self.process.kill()
        if self.build == "wine":  # our prefix's Wine server, and the desktop process it started
            subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True, timeout=30)
        self.xvfb.kill()

    def end(self, how, end, timeout=None, quiet=False):
        """end() ends it in time (Wine takes 2 s), status 0, no sanitizer report; quiet: silent."""
        end()
        status = self.process.wait(timeout or (20 if self.build == "wine" else 5))
        log = open(self.log, errors="replace").read()
        assert status == 0 and not (quiet and log) and "Sanitizer" not in log and \
            "runtime error" not in log, f"{how}: exit status {status}, or output in {self.log}"
        ok(f"{how} ended it")


def walk(v):
    first = v.start()
    assert v.client == CLIENT[v.build], f"client area (x, y, width, height) {v.client}"
    v.wait("the watch swaying by itself", lambda p: changed(first, p) > 0.02)
    v.drag(1, (60, 60))
    rest = v.wait("the first click ending the sway for good, the watch facing the eye",
                  v.facing(), still=True)
    at_rest = measure(rest)
    paper, paper_count, dial = at_rest["paper_level"], at_rest["paper"], at_rest["dial"]
    centre = v.dial_at()[0]
    start = (int(centre[0]) + 60, int(centre[1]) - 40)

    def act(action, back=False):  # a key, or a drag from start (back: the opposite drag)
        if isinstance(action, str):
            return v.press(action, "0.25")
        (button, (dx, dy)), sign = action, 1 - 2 * back
        v.drag(button, (start[0] + dx * back, start[1] + dy * back), (sign * dx, sign * dy))

    # Left: half a degree a pixel; 120 px spin the dial to -60 degrees, half its width. Right: a
    # tenth of a unit a pixel, away going down. Middle: a 24th of a unit, with the mouse. W: the
    # background shows through the dial. L: the paper shows white. The opposite undoes each.
    for what, action, condition in (
            ("a left drag turning the watch about its vertical axis", (1, (-120, 0)),
             lambda p: (d := measure(p)["dial"]) and 0.35 <= d[2] / dial[2] <= 0.65
             and 0.9 <= d[3] / dial[3] <= 1.1),
            ("a downward right drag moving it away", (3, (0, 100)), v.facing(view_z=-44.0)),
            ("a middle drag moving it right and down with the mouse", (2, (96, 48)),
             v.facing(view_x=4.0, view_y=-4.5)),
            ("W drawing outlines", "w", lambda p: (m := measure(p, paper))["paper"]
             < paper_count / 2 < m["background"] - at_rest["background"]),
            ("L dropping glass and shading", "l",
             lambda p: measure(p)["paper_level"] >= max(220, paper + 40))):
        act(action)
        v.wait(what, condition)
        act(action, True)
        v.wait(f"undoing {what}", lambda p: changed(rest, p) < STILL)

    v.tool("xdotool", "windowsize", "--sync", v.window, "600", "400")
    v.read_client()
    v.wait(f"a round dial in the middle of a {v.client[2:]} client area", v.facing())
    v.end("Esc", lambda: act("Escape"))


def shows_watch(v):
    """The clear colour in the corner, the dial about where the view puts its centre."""
    (x, y), radius = v.dial_at()
    return lambda p: p[2][:3] == bytes(BACKGROUND) and (d := measure(p)["dial"]) \
        and abs(d[0] - x) + abs(d[1] - y) < radius / 4


def shows_gears(v):
    """The clear colour in the corner, next to nothing of the dial's light paper, and something
    drawn that stays inside the dial's circle: the train of gears, where the case and its bow
    would reach well beyond it."""
    radius = v.dial_at()[1]

    def gears(picture):
        width, _, px = picture
        pixels = list(zip(px[0::3], px[1::3], px[2::3]))
        drawn = [i for i, c in enumerate(pixels) if c != BACKGROUND]
        light = sum(min(c) >= 140 and max(c) - min(c) <= 8 for c in pixels)
        xs, ys = sorted(i % width for i in drawn), sorted(i // width for i in drawn)
        trim = len(drawn) // 100  # a stray pixel or two of an edge
        extent = max(xs[-1 - trim] - xs[trim], ys[-1 - trim] - ys[trim]) if len(drawn) > 400 else 0
        return px[:3] == bytes(BACKGROUND) and light < 0.02 * math.pi * radius ** 2 \
            and radius / 3 < extent < 1.5 * radius
    return gears


def lent_window(v):
    X11 = ctypes.CDLL("libX11.so.6")
    X11.XOpenDisplay.restype = X11.XCreateSimpleWindow.restype = ctypes.c_void_p
    display = ctypes.c_void_p(X11.XOpenDisplay(v.env["DISPLAY"].encode()))
    root = ctypes.c_ulong(X11.XDefaultRootWindow(display))
    windows = lambda: v.tool("xwininfo", "-root", "-children").count(b"\n     0x")  # noqa
    for how, timeout, options, what, shows in (
            ("the window destroyed", 5, (), "the watch", shows_watch),
            ("SIGTERM", 0.5, ("--no-dial", "--no-case"), "the gears, not the dial", shows_gears)):
        window = ctypes.c_ulong(X11.XCreateSimpleWindow(display, root, *LENT, 0, 0, 0xFFFFFF))
        X11.XMapWindow(display, window)
        X11.XSync(display, 0)
        before, v.client = windows(), LENT
        v.process = v.launch("--window-id", str(window.value), *options)
        v.wait(f"{what} in window {window.value:#x} {' '.join(options)}", shows(v), timeout=30)
        v.save_picture(f"lent-{v.runs}.png")
        assert windows() == before, "the display mode made a window of its own"
        v.tool("xdotool", "mousemove", str(LENT[0] + 99), str(LENT[1] + 99), "click", "1",
               "mousemove_relative", "40", "40", "key", "a", "sleep", "0.5")
        assert v.process.poll() is None, "the display mode ended on input"
        gone = (lambda: v.process.send_signal(signal.SIGTERM)) if how == "SIGTERM" else \
            (lambda: (X11.XDestroyWindow(display, window), X11.XSync(display, 0)))
        v.end(how, gone, timeout, quiet=True)


def page_arguments():
    """The settings page's command with every check box turned from its default and every slider at
    its top, as xscreensaver-settings would write them into the programs line."""
    page = ElementTree.parse(SETTINGS_PAGE).getroot()
    return " ".join([c.get("arg") for c in page.iter("command")] + [
        b.get("arg-set") or b.get("arg-unset") for b in page.iter("boolean")] + [
        n.get("arg").replace("%", n.get("high")) for n in page.iter("number")])


def daemon(v):
    """The daemon runs no mode as root, so as root it runs as nobody, from a scratch folder with a
    home of its own. It puts its own folder of display modes first on the PATH, so the programs
    line names the mode by its absolute path: a wrapper that keeps the standard error and exit
    status of the mode built, whatever is installed. Its arguments come from the settings page."""
    user = pwd.getpwnam("nobody") if os.geteuid() == 0 else pwd.getpwuid(os.geteuid())
    scratch = tempfile.mkdtemp(prefix="orlentic-daemon-")
    out = home = os.path.join(scratch, "home")  # the mode's standard error and status too
    os.chmod(scratch, 0o755)
    os.mkdir(home)
    os.chown(home, user.pw_uid, user.pw_gid)
    shutil.copy(v.path, os.path.join(scratch, "mode"))
    with open(os.path.join(scratch, "orlentic-saver"), "w") as wrapper:
        wrapper.write(f"#!/bin/sh\n{scratch}/mode \"$@\" 2>>{out}/stderr & child=$!\n"
                      f"trap 'kill -TERM $child; wait $child; echo $? >{out}/status; exit' TERM\n"
                      f"wait $child; echo $? >{out}/status\n")
    os.chmod(wrapper.name, 0o755)
    arguments = page_arguments()
    with open(os.path.join(home, ".xscreensaver"), "w") as settings:
        settings.write("mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                       "splash: False\ntimeout: 1:00:00\n"
                       f"programs: GL: \"Orlentic\" {wrapper.name} {arguments} \\n\n")
    command = ["runuser", "-u", user.pw_name, "--"] * (os.geteuid() == 0) + [
        "env", f"HOME={home}", f"DISPLAY={v.env['DISPLAY']}", f"PATH={v.env['PATH']}"]
    v.process = v.launch(*command[1:], "xscreensaver", "-no-splash", "-verbose", program=command[0])
    try:
        wait_for("the daemon blanking", lambda: b"blanking" in v.tool(
            *command, "xscreensaver-command", "-activate", check=False))
        v.client = (0, 0, 1280, 1024)
        v.wait(f"the gears on the screen: {arguments}", shows_gears(v), timeout=90)
        v.save_picture("daemon.png")
        v.tool(*command, "xscreensaver-command", "-deactivate", check=False)
        status = wait_for("the display mode ending on -deactivate",
                          lambda: os.path.exists(f"{out}/status") and open(f"{out}/status").read())
        errors = open(f"{out}/stderr").read()  # --fps: the frame rate, nothing else
        assert status == "0\n" and re.fullmatch(r"([0-9.]+ frames a second\n)+", errors), \
            f"status {status!r}, stderr {errors!r}"
    finally:
        v.process.terminate()
        v.process.wait(10)
        shutil.rmtree(scratch)


def preview(v, host_program):
    """Wine keeps a GL child of another program's window in an X window of its own, off the
    parent's: the watch is looked for there, at the size of the host's client area."""
    host = v.open_window("Preview host", program=host_program, stdin=subprocess.PIPE)
    handle = wait_for("the host's handle", lambda: open(v.log).read().split())[0]
    v.process, v.client = v.launch("/p", handle), (0, 0, *v.client[2:])
    size = "%dx%d+0+0" % v.client[2:]
    unnamed = re.compile(r"(0x[0-9a-f]+) \(has no name\): \(\)\s+" + re.escape(size))
    child = wait_for(f"a child of the preview's client size {size}", lambda: unnamed.findall(
        v.tool("xwininfo", "-root", "-tree").decode()), timeout=60)[0]
    v.wait("/p showing the watch in its child", shows_watch(v), timeout=60, window=child)
    host.communicate(b"close\n", timeout=30)
    v.end("the preview's window going away", lambda: None)


SETTINGS = r"HKCU\Software\Orlentic\Screensaver"


def stored(v):
    """The saver's values in the registry, by name, as `wine reg query` lists them."""
    listing = v.tool("wine", "reg", "query", SETTINGS, check=False).decode(errors="replace")
    return {name: int(value, 16) for name, value in re.findall(r"(\w+)\s+REG_DWORD\s+0x(\w+)",
                                                                listing)}


def settings_dialog(v, keys, how):
    """/c: the dialog, the keys typed into it, the status 0; a screenshot of it as it opens."""
    v.open_window("Orlentic Screensaver Settings", "/c")
    v.save_picture(f"dialog-{v.runs}.png", v.window)
    v.end(how, lambda: v.tool("xdotool", "windowfocus", "--sync", v.window, "sleep", "0.3",
                              "key", "--delay", "150", *keys))


def saver_wine(v, host_program):
    v.tool("wine", "reg", "delete", SETTINGS, "/f", check=False)  # the last run's choices
    v.start("/s")
    assert v.client == (0, 0, 1280, 1024), f"/s covers {v.client}, not the whole screen"
    v.wait("/s showing the watch over the whole screen", shows_watch(v))
    v.save_picture("full-screen.png")
    v.end("a mouse move", lambda: v.tool("xdotool", "mousemove", "600", "500", "sleep", "0.3",
                                         "mousemove", "700", "600"))
    preview(v, host_program)
    # In tab order: outlines, glass, dial, case, the pause (selected as the focus reaches it).
    settings_dialog(v, ["Tab", "Tab", "space", "Tab", "space", "Tab", "5", "5", "Return"],
                    "OK after the dial and the case were unticked and the pause set to 55")
    chosen = {"Wireframe": 0, "Glass": 1, "Dial": 0, "Case": 0, "PauseMs": 55}
    assert stored(v) == chosen, f"stored {stored(v)}, not {chosen}"
    # Alt+F4 sends the close box's command.
    for keys, how in ((["space", "Tab", "space", "Escape"], "Esc after two changes"),
                      (["space", "alt+F4"], "Alt+F4 after a change")):
        settings_dialog(v, keys, how)
        assert stored(v) == chosen, f"{how}: the stored values became {stored(v)}"
    v.start("/s")
    v.wait("/s with the dial and the case hidden: the gears", shows_gears(v))
    v.save_picture("full-screen-settings.png")
    v.end("a key", lambda: v.press("a"))


def saver_monitors(v):
    """/s under Wine on two monitors: the window over both, a watch in the middle of each, and a
    move of the mouse on the second one ends it."""
    command = ["xrandr", "--fb", "2944x1280"]
    for output, (x, y, width, height) in MONITORS.items():  # only the first lists every mode
        v.tool("xrandr", "--addmode", output, f"{width}x{height}", check=False)
        command += ["--output", output, "--mode", f"{width}x{height}", "--pos", f"{x}x{y}"]
    v.tool(*command, "--output", "DUMMY0", "--primary")
    # Wine reads the outputs as the server last probed them, and only a full query probes them:
    # without it Wine sees the one monitor the server started with.
    v.tool("xrandr", "--query")
    v.start("/s")
    assert v.client == (0, 0, 2944, 1280), f"/s covers {v.client}, not both monitors"
    for output, v.client in MONITORS.items():
        v.wait(f"a watch in the middle of {output} at {v.client}", shows_watch(v), timeout=30)
    v.save_picture("two-monitors.png")
    v.end("a mouse move on the second monitor", lambda: v.tool(
        "xdotool", "mousemove", "500", "400", "sleep", "0.3", "mousemove", "600", "500"))


def main(how, path, work, *host):
    if not os.path.isfile(path) or how == "daemon" and not shutil.which("xscreensaver") or \
            how == "saver-monitors" and not (shutil.which("Xorg") and os.path.exists(DUMMY_DRIVER)):
        return print(f"skipped: no {path!r}, or no xscreensaver, or no Xorg dummy driver") or 77
    os.makedirs(work, exist_ok=True)
    build = {"window-id": "linux", "daemon": "linux"}.get(how, "wine" if "saver" in how else how)
    v = Viewer(build, os.path.abspath(path), os.path.abspath(work), xorg=how == "saver-monitors")
    walks = {"window-id": lent_window, "daemon": daemon, "saver-wine": saver_wine,
             "saver-monitors": saver_monitors}
    try:
        walks.get(how, walk)(v, *map(os.path.abspath, host))
        return 0
    except (AssertionError, OSError, subprocess.SubprocessError) as failure:
        log = open(v.log, errors="replace").read()[-4000:] if v.runs else ""
        return print(f"FAILED ({how} {path}): {failure}\n{log}\nlogs: {work}") or 1
    finally:
        v.close()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
