#!/usr/bin/env python3
"""Runs the real viewer on a private Xvfb as a person would: finds the window titled
"Orlentic", drives it with xdotool, checks screenshots pixel by pixel and how it ends.
Exit status: 0 passed, 1 failed, 77 skipped (the viewer to test is not there)."""
import argparse
import math
import os
import select
import shutil
import signal
import subprocess
import sys
import time
from types import SimpleNamespace

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pictures  # noqa: E402

# The projection has a vertical field of 45 degrees: a viewport h pixels high shows a unit at
# distance d as h / 2 / tan(22.5 deg) / d pixels.
HALF_FIELD = math.radians(22.5)
DIAL_RADIUS = 6.8
DIAL_FACE_Z = 0.3  # the dial's face lies this far in front of the watch's origin
# A Win32 window asked for at 800 x 600 outer size gets this client area under Wine.
CLIENT = {"native": (0, 0, 800, 600), "wine": (4, 23, 792, 573)}


def fail(message):
    raise AssertionError(message)


def run_tool(session, *arguments, check=True):
    result = subprocess.run(arguments, env=session.env, capture_output=True, timeout=30)
    if check and result.returncode != 0:
        fail(f"{' '.join(arguments)} failed: {result.stderr.decode(errors='replace')}")
    return result.stdout


def xdotool(session, *arguments, check=True):
    return run_tool(session, "xdotool", *arguments, check=check).decode()


def start_xvfb(session):
    # -displayfd lets the server pick a free display, so runs never collide; -noreset keeps it
    # accepting connections between the viewers of one run.
    read_end, write_end = os.pipe()
    session.xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp", "-screen", "0",
         "1280x1024x24"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
        stderr=open(os.path.join(session.work, "xvfb.log"), "w"))
    os.close(write_end)
    # The server writes its display number and then a newline once it accepts connections;
    # the pipe stays open until both came, as a failed write ends the server.
    number = b""
    while not number.endswith(b"\n") and select.select([read_end], [], [], 20)[0]:
        number += os.read(read_end, 16) or b"\n"
    os.close(read_end)
    if not number.strip():
        fail("Xvfb did not start (see xvfb.log)")
    session.env["DISPLAY"] = ":" + number.decode().strip()


def viewer_environment(session):
    env = dict(session.env, MESA_SHADER_CACHE_DISABLE="true")
    if session.mode == "wine":
        env.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d")
        for name in ("WINEPREFIX", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"):
            env[name] = os.path.join(session.state, name.lower())
            os.makedirs(env[name], exist_ok=True)
    if session.sanitized:
        # The GL driver and Xlib keep allocations to the end of the process by design, so no
        # leak reports; every other report ends the run at once.
        env["ASAN_OPTIONS"] = "detect_leaks=0:halt_on_error=1:abort_on_error=0"
        env["UBSAN_OPTIONS"] = "halt_on_error=1:print_stacktrace=1"
    return env


def find_windows(session):
    return xdotool(session, "search", "--onlyvisible", "--name", "^Orlentic$",
                   check=False).split()


def read_client(session):
    output = xdotool(session, "getwindowgeometry", "--shell", session.window)
    geometry = dict(line.split("=", 1) for line in output.split() if "=" in line)
    session.client = tuple(int(geometry[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))
    return session.client[2:]


def start_viewer(session):
    """Starts a viewer and waits for its window and first frame; returns that picture."""
    session.runs += 1
    session.log = os.path.join(session.work, f"viewer-{session.runs}.log")
    command = (["wine"] if session.mode == "wine" else []) + [session.viewer]
    session.process = subprocess.Popen(command, env=viewer_environment(session),
                                       stdin=subprocess.DEVNULL, stdout=open(session.log, "w"),
                                       stderr=subprocess.STDOUT, cwd=session.work)
    timeout = 120 if session.mode == "wine" else 30  # Wine's first start builds its prefix
    deadline = time.time() + timeout
    session.window = None
    while not session.window:
        check_running(session, "its window")
        if time.time() > deadline:
            fail(f"no window titled \"Orlentic\" within {timeout} s")
        time.sleep(0.2)
        session.window = (find_windows(session) or [None])[0]
    session.shown = time.time()
    read_client(session)
    # Without a window manager nobody hands out the keyboard focus; give it as one would.
    xdotool(session, "windowfocus", session.window, check=False)
    xdotool(session, "mousemove", *screen_point(session, 20, 20))
    return wait_for(session, "the first frames", lambda p, m: background_corners(p), 30)[0]


def viewer_log(session):
    return open(session.log, errors="replace").read()[-4000:]


def check_running(session, what):
    if session.process.poll() is not None:
        fail(f"the viewer ended with status {session.process.returncode} while waiting for "
             f"{what}\n{viewer_log(session)}")


def wait_for_exit(session, timeout):
    """The viewer's exit status (None: still running), failing on a sanitizer report."""
    try:
        status = session.process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    if "Sanitizer" in viewer_log(session) or "runtime error:" in viewer_log(session):
        fail(f"sanitizer report from the viewer:\n{viewer_log(session)}")
    return status


def stop_viewer(session):
    """Ends a viewer still running, politely first."""
    if session.process is None or session.process.poll() is not None:
        return
    if session.close_helper and session.window:
        run_tool(session, session.close_helper, session.window, check=False)
    try:
        session.process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        session.process.kill()
        session.process.wait()


def stop_everything(session):
    stop_viewer(session)
    if session.mode == "wine":
        # The Wine server of our own prefix, and with it the desktop process it started.
        subprocess.run(["wineserver", "-k"], env=viewer_environment(session), capture_output=True,
                       timeout=30)
    if session.xvfb is not None:
        session.xvfb.terminate()
        try:
            session.xvfb.wait(timeout=10)
        except subprocess.TimeoutExpired:
            session.xvfb.kill()


def screen_point(session, x, y):
    return str(int(session.client[0] + x)), str(int(session.client[1] + y))


def hold_key(session, key):
    # A key pressed and released between two frames is (rightly) lost, so hold it.
    xdotool(session, "keydown", key, "sleep", "0.1", "keyup", key)


def drag(session, button, start, delta=(0, 0), steps=12):
    """Presses button at start, moves by delta in steps, releases; a click with no delta."""
    command = ["mousemove", *screen_point(session, *start), "sleep", "0.05",
               "mousedown", str(button), "sleep", "0.05"]
    for step in range(1, steps + 1 if delta != (0, 0) else 1):
        point = (start[0] + delta[0] * step / steps, start[1] + delta[1] * step / steps)
        command += ["mousemove", *screen_point(session, *point), "sleep", "0.03"]
    xdotool(session, *command, "sleep", "0.1", "mouseup", str(button))


def screenshot(session):
    """The client area as a picture."""
    left, top, width, height = session.client
    screen = run_tool(session, "xwd", "-root", "-silent")
    pixels = subprocess.run(["convert", "xwd:-", "-crop", f"{width}x{height}+{left}+{top}",
                             "-depth", "8", "rgb:-"], input=screen, capture_output=True,
                            check=True, timeout=30).stdout
    if len(pixels) != 3 * width * height:
        fail(f"a screenshot of {len(pixels)} bytes for a {width} x {height} client area")
    return width, height, pixels


def wait_for(session, what, condition, timeout=10.0, paper=None):
    """Screenshots until condition(picture, measures) holds; returns both. Polling rather than
    sleeping keeps the checks independent of the frame rate."""
    deadline = time.time() + timeout
    while True:
        check_running(session, what)
        picture = screenshot(session)
        measures = pictures.measure(picture, paper)
        if condition(picture, measures):
            print(f"[{time.strftime('%H:%M:%S')}] ok: {what}", flush=True)
            return picture, measures
        if time.time() > deadline:
            with open(os.path.join(session.work, "failed.ppm"), "wb") as ppm:
                ppm.write(b"P6 %d %d 255\n" % picture[:2] + picture[2])
            fail(f"{what}: not seen within {timeout:.0f} s; failed.ppm: {measures}")
        time.sleep(0.15)


def wait_for_picture_like(session, reference, what):
    # The seconds hand may move between two pictures; a few hundred pixels at most.
    return wait_for(session, what, lambda p, m: pictures.changed_fraction(reference, p) < 0.004)


def rest_pose_dial(session, view_z=-34.0, view_x=0.0, view_y=-2.5):
    """The centre and radius in client pixels of the dial facing the eye, for a viewport
    filling the client area (GL anchors it at the bottom left corner)."""
    width, height = session.client[2:]
    focal = height / 2 / math.tan(HALF_FIELD)
    depth = -view_z - DIAL_FACE_Z
    centre = (width / 2 + view_x * focal / depth, height / 2 - view_y * focal / depth)
    return centre, DIAL_RADIUS * focal / depth


def is_facing(measures, centre, radius, tolerance=0.06):
    dial, slack = measures["dial"], radius * tolerance
    return (dial is not None
            and all(abs(a - b) <= max(6, slack) for a, b in zip(dial["centre"], centre))
            and all(abs(dial[key] / 2 - radius) <= slack for key in ("width", "height")))


def facing_at(session, **view):
    return lambda p, m: is_facing(m, *rest_pose_dial(session, **view))


def background_corners(picture):
    width, height, pixels = picture
    return all(pictures.is_background(pixels[3 * i : 3 * i + 3], 2)
               for i in (0, width - 1, width * (height - 1), width * height - 1))


def stop_sway(session):
    """The first click ends the sway for good: the watch then faces the eye, drawn for a
    viewport that fills the client area."""
    drag(session, 1, (60, 60))
    previous = [None]

    def settled(picture, measures):
        """Facing the eye and like the picture before: no sway frame that passes for rest."""
        same = previous[0] and pictures.changed_fraction(previous[0], picture) < 0.004
        previous[0] = picture
        return same and is_facing(measures, *rest_pose_dial(session))

    return wait_for(session, "the watch at rest, facing the eye", settled)


def shows_whole_watch(measures, radius):
    """The swaying watch in any pose: a white dial of about the right size (turned by up to 40
    degrees, so at least cos 40 deg = 0.77 of its radius across) with red hands and numbers,
    and a case of metal, neither paper nor red, reaching well beyond it (the bow on top)."""
    dial, paper, box = measures["dial"], measures["paper_colour"], measures["foreground_box"]
    if dial is None:
        return False
    half_sizes = (dial["width"] / 2, dial["height"] / 2)
    dial_area = math.pi * half_sizes[0] * half_sizes[1]
    return (0.7 * radius <= min(half_sizes) and max(half_sizes) <= 1.08 * radius
            and max(paper) - min(paper) <= 8  # white light, grey glass: the paper stays untinted
            and measures["paper"] >= 0.5 * dial_area and measures["red"] >= 60
            and measures["other"] >= 0.25 * dial_area and box[3] - box[1] >= 1.2 * dial["height"])


def check_window(session):
    start_viewer(session)
    if session.client != CLIENT[session.mode]:
        fail(f"client area at {session.client} (x, y, width, height), expected "
             f"{CLIENT[session.mode]}: an 800 x 600 window at the screen's top left corner")
    centre, radius = rest_pose_dial(session)
    wait_for(session, "the default view: background, white dial, red hands, case around it",
             lambda p, m: background_corners(p) and shows_whole_watch(m, radius), 20)
    rest, _ = stop_sway(session)
    # The numerals, looked for with the watch at rest, where the light on the dial is known.
    share = pictures.edge_share(rest, centre, 0.75 * radius)
    if share < 0.008:
        fail(f"no numerals on the dial: only {share:.2%} of it shows printed marks")
    time.sleep(max(0.0, session.shown + 1.2 - time.time()))  # past two rate ticks
    name = xdotool(session, "getwindowname", session.window).strip()
    if name != "Orlentic":
        fail(f"the caption is {name!r} after the rate ticks, expected 'Orlentic'")


def check_sway(session):
    first = start_viewer(session)
    # Mouse movement without a button changes nothing of the sway.
    xdotool(session, "mousemove", *screen_point(session, 300, 200), "sleep", "0.05",
            "mousemove", *screen_point(session, 500, 400))
    wait_for(session, "the sway moving the watch",
             lambda p, m: pictures.changed_fraction(first, p) > 0.02)
    rest, _ = stop_sway(session)
    for _ in range(6):
        time.sleep(0.25)
        if pictures.changed_fraction(rest, screenshot(session)) >= 0.004:
            fail("the watch moved again after the first click")


def check_mouse(session):
    start_viewer(session)
    rest, rest_measures = stop_sway(session)
    centre, _ = rest_pose_dial(session)
    start = (int(centre[0]) + 60, int(centre[1]) - 40)

    def dial_ratio(width, height):  # the dial's size against its size at rest
        return lambda p, m: m["dial"] is not None and all(
            low <= m["dial"][key] / rest_measures["dial"][key] <= high
            for key, (low, high) in (("width", width), ("height", height)))

    # Left drag: half a degree per pixel. 120 px to the left spin the watch by -60 degrees,
    # so the dial shows half its width; 120 px up tip it from -5 to -65 degrees, so it shows
    # cos 65 deg / cos 5 deg = 0.42 of its height. Both turn the dial towards the light,
    # which keeps its paper the lightest thing in the picture. Right drag: a tenth of a unit
    # per pixel away from the eye. Middle drag: a 24th of a unit per pixel, with the mouse.
    for what, button, delta, condition in (
            ("a left drag turning the watch about its vertical axis", 1, (-120, 0),
             dial_ratio((0.35, 0.65), (0.9, 1.1))),
            ("an upward left drag tipping it about its horizontal axis", 1, (0, -120),
             dial_ratio((0.9, 1.1), (0.3, 0.55))),
            ("a downward right drag making it smaller", 3, (0, 100),
             facing_at(session, view_z=-44.0)),
            ("a middle drag moving it right and down with the mouse", 2, (96, 48),
             facing_at(session, view_x=4.0, view_y=-4.5))):
        drag(session, button, start, delta)
        wait_for(session, what, condition)
        drag(session, button, (start[0] + delta[0], start[1] + delta[1]), (-delta[0], -delta[1]))
        wait_for_picture_like(session, rest, f"the opposite of {what}")

    # The mouse is captured during a drag: 200 px down from 60 px above the bottom edge move
    # the watch 20 units away, though most of them are below the window.
    drag(session, 3, (start[0], session.client[3] - 60), (0, 200))
    wait_for(session, "a right drag leaving the window at the bottom and zooming on",
             facing_at(session, view_z=-54.0))


def check_keys(session):
    start_viewer(session)
    rest, rest_measures = stop_sway(session)
    centre, radius = rest_pose_dial(session)
    paper, paper_count = rest_measures["paper_colour"], rest_measures["paper"]
    # The case's lower rim, beside and below the dial.
    case_rim = (int(centre[0] - 1.4 * radius), int(centre[1] + 0.6 * radius),
                int(2.8 * radius), int(0.75 * radius))

    def press(key, what, condition=None, fixed_paper=None):
        hold_key(session, key)
        if condition is None:
            return wait_for_picture_like(session, rest, what)
        return wait_for(session, what, condition, paper=fixed_paper)[0]

    # W: everything in outlines, so the dial's fill gives way to the background.
    press("w", "W outlining everything", lambda p, m: m["paper"] < 0.5 * paper_count
          and pictures.disc_share(p, centre, 0.9 * radius,
                                  lambda px, i: pictures.is_background(px[i : i + 3])) > 0.2,
          paper)
    press("w", "W again filling the polygons")
    # L: no glass and no shading: the dial shows its paper as it is, white, and the case its
    # plain reflection.
    press("l", "L showing the dial unshaded white and the case unlit",
          lambda p, m: min(m["paper_colour"]) >= max(220, max(paper) + 40)
          and pictures.changed_fraction(rest, p, case_rim) > 0.05)
    press("l", "L again bringing back glass and shading")
    # C: case and glass go; the glass no longer adds its light to the paper.
    press("c", "C hiding the case and the glass",
          lambda p, m: is_facing(m, centre, radius) and sum(paper) - sum(m["paper_colour"]) >= 24
          and m["foreground_box"][3] - m["foreground_box"][1] < 1.15 * 2 * radius)
    # F with the case hidden: nothing is left in front of the turning gear train.
    gears = press("f", "F with C showing the gear train alone",
                  lambda p, m: m["red"] < 20 and m["paper"] < 0.5 * paper_count
                  and m["background"] < p[0] * p[1] - 5000, paper)
    wait_for(session, "the gear train turning",
             lambda p, m: pictures.changed_fraction(gears, p) > 0.001)
    press("c", "C bringing back the case in front of the gear train, dial and hands hidden",
          lambda p, m: m["red"] < 20 and pictures.edge_share(p, centre, 0.75 * radius) < 0.003
          and m["foreground_box"][3] - m["foreground_box"][1] > 2.2 * radius)
    press("f", "F again bringing back dial and hands")


def check_resize(session):
    start_viewer(session)
    stop_sway(session)
    for width, height in ((800, 400), (500, 600)):
        xdotool(session, "windowsize", session.window, str(width), str(height))
        deadline = time.time() + 10
        while read_client(session) != (width, height) and time.time() < deadline:
            time.sleep(0.1)
        if session.client[2:] != (width, height):
            fail(f"the window did not take the size {width} x {height}: {session.client}")
        wait_for(session, f"a round dial in a {width} x {height} window", facing_at(session))


def close_window(session):
    """What the close button does: WM_DELETE_WINDOW sent to the window."""
    if not session.close_helper:
        fail("no close helper was built (Xlib missing)")
    run_tool(session, session.close_helper, session.window)


def check_quit(session):
    for how, end in (("Esc", lambda: hold_key(session, "Escape")),
                     ("the close button", lambda: close_window(session))):
        start_viewer(session)
        end()
        # Tearing the window down takes about 2 s under Wine on an X server without a manager.
        status = wait_for_exit(session, 20)
        if status != 0:
            fail(f"{how} ended the viewer with status {status} (None: not within 20 s)\n"
                 f"{viewer_log(session)}")
        if find_windows(session):
            fail(f"the window is still there after {how} ended the viewer")


def main():
    checks = {"window": check_window, "sway": check_sway, "mouse": check_mouse,
              "keys": check_keys, "resize": check_resize, "quit": check_quit}
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mode", choices=("native", "wine"), required=True)
    parser.add_argument("--viewer", default="")
    parser.add_argument("--group", choices=checks, required=True)
    parser.add_argument("--work", required=True)  # screenshots and logs
    parser.add_argument("--state", required=True)  # the Wine prefix
    parser.add_argument("--close-helper", default="")
    parser.add_argument("--sanitized", action="store_true")
    arguments = parser.parse_args()
    if not os.path.isfile(arguments.viewer):
        print(f"skipped: no viewer to test at {arguments.viewer!r}")
        return 77
    tools = ["Xvfb", "xdotool", "xwd", "convert"] + ["wine", "wineserver"] * (
        arguments.mode == "wine")
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print(f"FAILED: missing tools {', '.join(missing)} (cmake/install_deps.sh --tests)")
        return 1
    work = os.path.abspath(arguments.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    session = SimpleNamespace(
        mode=arguments.mode, viewer=os.path.abspath(arguments.viewer), work=work,
        state=os.path.abspath(arguments.state), sanitized=arguments.sanitized,
        env={key: value for key, value in os.environ.items() if key != "DISPLAY"},
        close_helper=arguments.close_helper, runs=0, xvfb=None, process=None, window=None)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        start_xvfb(session)
        checks[arguments.group](session)
        stop_viewer(session)
        wait_for_exit(session, 0)
        return 0
    except AssertionError as failure:
        print(f"FAILED ({arguments.mode}, {arguments.group}): {failure}\n"
              f"screenshots and logs: {work}", flush=True)
        return 1
    finally:
        stop_everything(session)


if __name__ == "__main__":
    sys.exit(main())
