#!/usr/bin/env python3
"""run_e2e.py linux|asan|wine VIEWER WORK-FOLDER: walks the real viewer on a private Xvfb as a
person would: finds the window "Orlentic", watches it sway, drags with each button, holds W, L,
F and C, resizes it, ends it with Esc and, started again, with the close button, checking
screenshots and exit statuses. Exit status: 0 passed, 1 failed, 77 skipped (no viewer)."""
import ctypes, math, os, select, subprocess, sys, time  # noqa: E401
from collections import Counter

BACKGROUND = (51, 51, 102)  # the clear colour (0.2, 0.2, 0.4) on an 8-bit screen
# A viewport h pixels high under a vertical field of 45 degrees shows a unit at distance d as
# h / 2 / tan(22.5 deg) / d pixels. The dial, radius 6.8, lies 0.3 in front of the origin.
FOCAL_PER_HEIGHT = 0.5 / math.tan(math.radians(22.5))
DIAL_RADIUS, DIAL_FACE_Z = 6.8, 0.3
STILL = 0.004  # the share of pixels that the seconds hand may change between two screenshots
# A window asked for at 800 x 600 outer size: all client natively, framed under Wine.
CLIENT = {"linux": (0, 0, 800, 600), "asan": (0, 0, 800, 600), "wine": (4, 23, 792, 573)}


def measure(picture, paper=None):
    """Counts of each kind of pixel; the paper's grey level (by default the one most light neutral
    pixels gather around: the dial's); the height of the watch; the dial's centre and half sizes."""
    width, height, px = picture
    colours = Counter(zip(px[0::3], px[1::3], px[2::3]))
    if paper is None:
        levels = [0] * 256
        for (r, g, b), n in colours.items():
            levels[g] += n * (r >= 60 and abs(r - g) <= 4 and abs(g - b) <= 4)
        paper = max(range(60, 256), key=lambda level: sum(levels[level - 14 : level + 15]))
    # Paper: near its grey level and untinted; red: the hands and numbers, lit or not.
    kinds = {c: "background" if max(abs(a - b) for a, b in zip(c, BACKGROUND)) <= 3 else "red"
             if c[0] >= 80 and c[0] - c[1] >= 40 and c[0] - c[2] >= 40 else "paper"
             if max(abs(v - paper) for v in c) <= 14 and max(c) - min(c) <= 8 else "other"
             for c in colours}
    m = {"background": 0, "paper": 0, "red": 0, "other": 0, "paper_level": paper, "dial": None}
    rows, columns, filled = [0] * height, [0] * width, []
    for y in range(height):
        row = px[3 * width * y : 3 * width * (y + 1)]
        for x, c in enumerate(zip(row[0::3], row[1::3], row[2::3])):
            m[kinds[c]] += 1
            if kinds[c] == "paper":
                rows[y], columns[x] = rows[y] + 1, columns[x] + 1
        filled += [y] * (row != bytes(BACKGROUND) * width)
    m["height"] = filled[-1] - filled[0] + 1 if filled else 0
    if m["paper"] >= 200:  # the runs of rows and of columns with paper around its centre
        runs = [run_around(h, sum(i * n for i, n in enumerate(h)) // m["paper"])
                for h in (columns, rows)]
        m["dial"] = [(a + b) / 2 for a, b in runs] + [(b - a + 1) / 2 for a, b in runs]
    return m


def run_around(histogram, start, minimum=4):
    """The stretch of entries >= minimum holding start, or the one nearest to it: the dial
    without the bow above it, whose metal may share the paper's grey."""
    low = high = min((i for i, n in enumerate(histogram) if n >= minimum),
                     key=lambda i: abs(i - start), default=start)
    while low > 0 and histogram[low - 1] >= minimum:
        low -= 1
    while high + 1 < len(histogram) and histogram[high + 1] >= minimum:
        high += 1
    return low, high


def changed(first, second, tolerance=24):
    """The share of pixels differing by more than tolerance in a channel."""
    a, b = first[2], second[2]
    return sum(1 for i in range(0, len(a), 3) if a[i : i + 3] != b[i : i + 3] and max(
        abs(a[i + k] - b[i + k]) for k in range(3)) > tolerance) / (len(a) // 3)


class Viewer:
    def __init__(self, build, path, work):
        self.build, self.path, self.work, self.runs = build, path, work, 0
        self.xvfb = self.process = self.window = None
        self.env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        # The GL driver and Xlib keep allocations to the end by design: no leak reports.
        self.env.update(MESA_SHADER_CACHE_DISABLE="true", UBSAN_OPTIONS="halt_on_error=1",
                        ASAN_OPTIONS="detect_leaks=0:halt_on_error=1")
        if build == "wine":  # a prefix of our own, kept beside the work folder between runs
            self.env.update(WINEDEBUG="-all",
                            WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d")
            for name in ("WINEPREFIX", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"):
                self.env[name] = os.path.join(work + "-state", name.lower())
                os.makedirs(self.env[name], exist_ok=True)

    def tool(self, *arguments, check=True):
        result = subprocess.run(arguments, env=self.env, capture_output=True, timeout=30)
        assert result.returncode == 0 or not check, f"{arguments}: {result.stderr}"
        return result.stdout

    def start_xvfb(self):
        # -displayfd picks a free display, so runs never collide, and writes it once the server
        # is ready; -noreset keeps it accepting connections when its last client leaves.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp", "-screen", "0",
             "1280x1024x24"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        assert select.select([read_end], [], [], 20)[0], "Xvfb did not start"
        self.env["DISPLAY"] = ":" + os.read(read_end, 16).decode().strip()

    def windows(self):
        return self.tool("xdotool", "search", "--onlyvisible", "--name", "^Orlentic$",
                         check=False).split()

    def read_client(self):
        lines = self.tool("xdotool", "getwindowgeometry", "--shell", self.window).split()
        geometry = dict(line.decode().split("=", 1) for line in lines)
        self.client = tuple(int(geometry[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def start(self):
        """Starts the viewer and waits for its window and a first frame; returns that."""
        self.runs += 1
        self.log = os.path.join(self.work, f"viewer-{self.runs}.log")
        self.process = subprocess.Popen(
            ["wine"] * (self.build == "wine") + [self.path], env=self.env, cwd=self.work,
            stdin=subprocess.DEVNULL, stdout=open(self.log, "w"), stderr=subprocess.STDOUT)
        deadline = time.time() + (120 if self.build == "wine" else 30)  # Wine builds its prefix
        while not self.window:
            self.check_running('a window titled "Orlentic"', deadline)
            time.sleep(0.2)
            self.window = (self.windows() or [None])[0]
        self.read_client()
        # Without a window manager nobody hands out the keyboard focus; give it as one would.
        self.tool("xdotool", "windowfocus", self.window, check=False)
        self.tool("xdotool", "mousemove", *self.point(20, 20))
        return self.wait("a first frame", lambda p: p[2][:3] == bytes(BACKGROUND), timeout=30)

    def check_running(self, what, deadline):
        status = self.process.poll()
        assert status is None, f"the viewer ended ({status}) awaiting {what}"
        assert time.time() < deadline, f"{what}: not seen in time"

    def point(self, x, y):
        return str(int(self.client[0] + x)), str(int(self.client[1] + y))

    def hold(self, key):  # a key pressed and released between two frames is rightly lost
        self.tool("xdotool", "keydown", key, "sleep", "0.25", "keyup", key)

    def drag(self, button, start, delta=(0, 0), steps=12):
        """Presses button at start, moves by delta in steps, releases; a click with no delta."""
        command = ["mousemove", *self.point(*start), "sleep", "0.05", "mousedown", str(button)]
        for step in range(1, steps + 1 if delta != (0, 0) else 1):
            point = (start[0] + delta[0] * step / steps, start[1] + delta[1] * step / steps)
            command += ["mousemove", *self.point(*point), "sleep", "0.03"]
        self.tool("xdotool", *command, "sleep", "0.1", "mouseup", str(button))

    def wait(self, what, condition, motion=None, timeout=20.0):
        """Screenshots until condition(picture) holds, and motion(share of pixels changed since
        the last one) if given; polling keeps the checks independent of the frame rate."""
        deadline, (left, top, width, height), previous = time.time() + timeout, self.client, None
        while True:
            pixels = subprocess.run(
                ["convert", "xwd:-", "-crop", f"{width}x{height}+{left}+{top}", "-depth", "8",
                 "rgb:-"], input=self.tool("xwd", "-root", "-silent"), capture_output=True,
                check=True, timeout=30).stdout
            picture = (width, height, pixels)
            moved = previous and changed(previous, picture)
            if condition(picture) and (not motion or previous and motion(moved)):
                print(f"[{time.strftime('%H:%M:%S')}] ok: {what}", flush=True)
                return picture
            with open(os.path.join(self.work, "last.ppm"), "wb") as ppm:
                ppm.write(b"P6 %d %d 255\n" % (width, height) + pixels)
            self.check_running(what + " (last.ppm shows the last try)", deadline)
            previous = picture

    def dial_at(self, view_x=0.0, view_y=-2.5, view_z=-34.0):
        """Centre and radius in client pixels of the dial facing the eye from this view."""
        scale = FOCAL_PER_HEIGHT * self.client[3] / (-view_z - DIAL_FACE_Z)
        centre = (self.client[2] / 2 + view_x * scale, self.client[3] / 2 - view_y * scale)
        return centre, DIAL_RADIUS * scale

    def facing(self, **view):
        centre, radius = self.dial_at(**view)
        return lambda p: (d := measure(p)["dial"]) is not None and all(
            abs(a - b) <= max(6, 0.06 * radius) for a, b in zip(d, centre + (radius,) * 2))

    def end(self, how, end):
        end()
        status = self.process.wait(timeout=20 if self.build == "wine" else 5)  # Wine's takes 2 s
        log = open(self.log, errors="replace").read()
        assert "Sanitizer" not in log and "runtime error" not in log, "a sanitizer report"
        assert status == 0 and not self.windows(), f"{how}: exit status {status} or a window"
        print(f"[{time.strftime('%H:%M:%S')}] ok: {how} ended the viewer", flush=True)
        self.window = None

    def close(self):
        """What the close button does: WM_DELETE_WINDOW sent to the window. xdotool can only
        destroy the window, which would bypass the program's own handling."""
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        display = ctypes.c_void_p(x11.XOpenDisplay(self.env["DISPLAY"].encode()))
        atoms = [x11.XInternAtom(display, a, 0) for a in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW")]
        # A ClientMessage (33) in the 24 longs of an XEvent: type, serial, send_event, display,
        # window, message type, format (32-bit data), then the data.
        event = (ctypes.c_long * 24)(33, 0, 0, 0, int(self.window), atoms[0], 32, atoms[1])
        assert x11.XSendEvent(display, ctypes.c_ulong(int(self.window)), 0, 0, event)
        x11.XCloseDisplay(display)  # sends it on the way out


def walk(v):
    first = v.start()
    assert v.client == CLIENT[v.build], f"client area (x, y, width, height) {v.client}"
    centre, radius = v.dial_at()
    v.wait("the watch swaying by itself", lambda p: changed(first, p) > 0.02)
    v.drag(1, (60, 60))
    rest = v.wait("the first click ending the sway for good, the watch facing the eye",
                  v.facing(), lambda share: share < STILL)
    at_rest = measure(rest)
    paper, paper_count = at_rest["paper_level"], at_rest["paper"]

    def dial_ratio(width, height):  # the dial's half sizes against theirs at rest
        return lambda p: (d := measure(p)["dial"]) is not None and width[0] <= d[2] / at_rest[
            "dial"][2] <= width[1] and height[0] <= d[3] / at_rest["dial"][3] <= height[1]

    # Left: half a degree a pixel; 120 px left spin the dial to -60 degrees (half its width), up
    # tip it from -5 to -65 (cos 65 / cos 5 = 0.42 of its height), both towards the light.
    # Right: a tenth of a unit a pixel, away going down. Middle: a 24th of a unit, with the mouse.
    start = (int(centre[0]) + 60, int(centre[1]) - 40)
    for what, button, delta, condition in (
            ("a left drag turning the watch about its vertical axis", 1, (-120, 0),
             dial_ratio((0.35, 0.65), (0.9, 1.1))),
            ("an upward left drag tipping it about its horizontal axis", 1, (0, -120),
             dial_ratio((0.9, 1.1), (0.3, 0.55))),
            ("a downward right drag moving it away", 3, (0, 100), v.facing(view_z=-44.0)),
            ("a middle drag moving it right and down with the mouse", 2, (96, 48),
             v.facing(view_x=4.0, view_y=-4.5))):
        v.drag(button, start, delta)
        v.wait(what, condition)
        v.drag(button, (start[0] + delta[0], start[1] + delta[1]), (-delta[0], -delta[1]))
        v.wait(f"the opposite drag undoing {what}", lambda p: changed(rest, p) < STILL)

    # W outlines all: the background shows through the dial. L drops glass and shading: the paper
    # shows white. C hides the case and the glass, which lightened the paper. F with C hidden
    # leaves the turning gears alone; C brings the case back. A second press undoes each.
    for key, what, condition, motion in (
            ("w", "W drawing outlines", lambda p: (m := measure(p, paper))["paper"]
             < paper_count / 2 < m["background"] - at_rest["background"], None),
            ("w", "W again filling the polygons", None, None),
            ("l", "L dropping glass and shading",
             lambda p: measure(p)["paper_level"] >= max(220, paper + 40), None),
            ("l", "L again bringing back glass and shading", None, None),
            ("c", "C hiding the case and the glass", lambda p: (m := measure(p))["paper_level"]
             <= paper - 8 and m["height"] < 2.3 * radius and v.facing()(p), None),
            ("f", "F with C hidden leaving the gear train alone", lambda p: (m := measure(
                p, paper))["red"] < 20 and m["paper"] < paper_count / 2 and m["background"]
             < p[0] * p[1] - 5000, lambda share: share > 0.001),
            ("c", "C bringing back the case, dial and hands still hidden",
             lambda p: (m := measure(p))["red"] < 20 and m["height"] > 2.2 * radius, None),
            ("f", "F again bringing back the dial and the hands", None, None)):
        v.hold(key)
        v.wait(what, condition or (lambda p: changed(rest, p) < STILL), motion)

    v.tool("xdotool", "windowsize", "--sync", v.window, "600", "400")
    v.read_client()
    v.wait(f"a round dial in the middle of a {v.client[2:]} client area", v.facing())
    # The mouse is captured during a drag: 200 px down from 60 px above the bottom edge move
    # the watch 20 units away, though most of them are below the window.
    v.drag(3, (v.client[2] // 2, v.client[3] - 60), (0, 200))
    v.wait("a right drag going on below the window", v.facing(view_z=-54.0))
    v.end("Esc", lambda: v.hold("Escape"))
    v.start()
    v.end("the close button", v.close)


def main(build, path, work):
    if not os.path.isfile(path):
        return print(f"skipped: no viewer at {path!r}") or 77
    os.makedirs(work, exist_ok=True)
    v = Viewer(build, os.path.abspath(path), os.path.abspath(work))
    try:
        v.start_xvfb()
        walk(v)
        return 0
    except (AssertionError, OSError, subprocess.SubprocessError) as failure:
        log = open(v.log, errors="replace").read()[-4000:] if v.runs else ""
        return print(f"FAILED ({build}): {failure}\n{log}\nscreenshots, logs: {work}") or 1
    finally:
        if v.process:
            v.process.kill()
        if build == "wine":  # our prefix's Wine server, and the desktop process it started
            subprocess.run(["wineserver", "-k"], env=v.env, capture_output=True, timeout=30)
        if v.xvfb:
            v.xvfb.kill()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
