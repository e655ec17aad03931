#!/usr/bin/env python3
"""Runs the real viewer as a person would and checks what appears on the screen.

Each run starts a private Xvfb, starts the viewer (the Linux build directly, the Windows
build under Wine), finds the window titled "Orlentic", drives it with xdotool, reads
screenshots back and checks them pixel by pixel, and checks how the process ends.

  run_e2e.py --mode native|wine --viewer PATH --group GROUP --work DIR --state DIR
             [--close-helper PATH] [--sanitized]

Exit status: 0 passed, 1 failed, 77 skipped (the viewer to test is not there).
"""
import argparse
import math
import os
import select
import shutil
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pictures  # noqa: E402

SKIPPED = 77
GROUPS = ("window", "sway", "mouse", "keys", "resize", "quit")

# The projection has a vertical field of 45 degrees: a viewport h pixels high shows a unit at
# distance d as h / 2 / tan(22.5 deg) / d pixels.
HALF_FIELD = math.radians(22.5)
DIAL_RADIUS = 6.8
DIAL_FACE_Z = 0.3  # the dial's face lies this far in front of the watch's origin

# A Win32 window asked for at 800 x 600 outer size gets this client area under Wine.
CLIENT = {"native": (0, 0, 800, 600), "wine": (4, 23, 792, 573)}


class CheckFailed(Exception):
    pass


def fail(message):
    raise CheckFailed(message)


def log(message):
    print(f"[{time.strftime('%H:%M:%S')}] {message}", flush=True)


# --- the X server ---------------------------------------------------------------------------


def start_xvfb(session):
    """A private X server on a display number it picks itself (-displayfd), so runs beside
    other X servers never collide; -noreset keeps it accepting connections between the
    programs of one run."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
         "-screen", "0", "1280x1024x24"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL,
        stderr=open(os.path.join(session["work"], "xvfb.log"), "w"))
    os.close(write_end)
    session["xvfb"] = xvfb
    number = b""
    deadline = time.time() + 20
    while not number.endswith(b"\n") and time.time() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.5)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip():
        fail("Xvfb did not start (see xvfb.log)")
    session["env"]["DISPLAY"] = ":" + number.decode().strip()
    log(f"Xvfb on display {session['env']['DISPLAY']}")


def x_tool(session, *arguments, check=True):
    result = subprocess.run(list(arguments), env=session["env"], capture_output=True,
                            text=True, timeout=30)
    if check and result.returncode != 0:
        fail(f"{' '.join(arguments)} failed: {result.stderr.strip()}")
    return result.stdout


# --- the viewer -----------------------------------------------------------------------------


def viewer_environment(session):
    env = dict(session["env"])
    env["MESA_SHADER_CACHE_DISABLE"] = "true"
    if session["mode"] == "wine":
        state = session["state"]
        env.update({
            "WINEPREFIX": os.path.join(state, "wineprefix"),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree=d;mshtml=d;winemenubuilder.exe=d",
            "XDG_CACHE_HOME": os.path.join(state, "xdg", "cache"),
            "XDG_DATA_HOME": os.path.join(state, "xdg", "data"),
            "XDG_CONFIG_HOME": os.path.join(state, "xdg", "config"),
        })
    if session["sanitized"]:
        # Leak reports are off: the GL driver and Xlib keep allocations to the end of the
        # process by design. Every other report ends the run at once.
        env["ASAN_OPTIONS"] = "detect_leaks=0:halt_on_error=1:abort_on_error=0"
        env["UBSAN_OPTIONS"] = "halt_on_error=1:print_stacktrace=1"
    return env


def start_viewer(session):
    session["runs"] += 1
    log_path = os.path.join(session["work"], f"viewer-{session['runs']}.log")
    command = [session["viewer"]]
    if session["mode"] == "wine":
        command = ["wine", session["viewer"]]
        for folder in ("wineprefix", "xdg/cache", "xdg/data", "xdg/config"):
            os.makedirs(os.path.join(session["state"], folder), exist_ok=True)
    session["viewer_log"] = log_path
    session["process"] = subprocess.Popen(
        command, env=viewer_environment(session), stdin=subprocess.DEVNULL,
        stdout=open(log_path, "w"), stderr=subprocess.STDOUT, cwd=session["work"])
    log(f"started {' '.join(command)}")
    session["window"] = wait_for_window(session)
    geometry = window_geometry(session)
    session["client"] = (geometry["X"], geometry["Y"], geometry["WIDTH"], geometry["HEIGHT"])
    # Without a window manager nobody hands out the keyboard focus; give it as one would.
    x_tool(session, "xdotool", "windowfocus", session["window"], check=False)
    move_mouse_to(session, 20, 20)


def wait_for_window(session):
    # Wine's first start builds its prefix, which takes a while.
    timeout = 120 if session["mode"] == "wine" else 30
    deadline = time.time() + timeout
    while time.time() < deadline:
        if session["process"].poll() is not None:
            fail(f"the viewer ended with status {session['process'].returncode} before its "
                 f"window appeared\n{read_viewer_log(session)}")
        found = x_tool(session, "xdotool", "search", "--onlyvisible", "--name", "^Orlentic$",
                       check=False).split()
        if found:
            log(f"window {found[0]} appeared")
            return found[0]
        time.sleep(0.2)
    fail(f"no window titled \"Orlentic\" within {timeout} s")


def window_geometry(session):
    output = x_tool(session, "xdotool", "getwindowgeometry", "--shell", session["window"])
    return {key: int(value) for key, value in
            (line.split("=", 1) for line in output.split() if "=" in line)
            if key in ("X", "Y", "WIDTH", "HEIGHT")}


def read_viewer_log(session):
    try:
        with open(session["viewer_log"], errors="replace") as text:
            return text.read()[-4000:]
    except OSError:
        return ""


def wait_for_exit(session, timeout):
    """The exit status, or None if the process is still running after timeout seconds."""
    try:
        status = session["process"].wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    check_sanitizer_log(session)
    return status


def check_sanitizer_log(session):
    text = read_viewer_log(session)
    for marker in ("AddressSanitizer", "LeakSanitizer", "runtime error:",
                   "UndefinedBehaviorSanitizer"):
        if marker in text:
            fail(f"sanitizer report from the viewer:\n{text}")


def close_window(session):
    """What the close button does: WM_DELETE_WINDOW sent to the window."""
    if not session["close_helper"]:
        fail("no close helper was built (Xlib missing)")
    x_tool(session, session["close_helper"], session["window"])


def stop_viewer(session):
    """Ends a viewer still running at the end of a group, politely first."""
    process = session.get("process")
    if process is None or process.poll() is not None:
        return
    try:
        close_window(session)
    except CheckFailed:
        pass
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def stop_everything(session):
    stop_viewer(session)
    if session["mode"] == "wine" and "DISPLAY" in session["env"]:
        # The Wine server of our own prefix, and with it the desktop process it started.
        subprocess.run(["wineserver", "-k"], env=viewer_environment(session),
                       capture_output=True, timeout=30)
    xvfb = session.get("xvfb")
    if xvfb is not None and xvfb.poll() is None:
        xvfb.terminate()
        try:
            xvfb.wait(timeout=10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
            xvfb.wait()


# --- input ----------------------------------------------------------------------------------


def screen_point(session, x, y):
    """Client coordinates to screen coordinates."""
    left, top = session["client"][:2]
    return str(int(left + x)), str(int(top + y))


def move_mouse_to(session, x, y):
    x_tool(session, "xdotool", "mousemove", *screen_point(session, x, y))


def hold_key(session, key):
    # A key pressed and released between two frames is (rightly) lost, so hold it.
    x_tool(session, "xdotool", "keydown", key, "sleep", "0.1", "keyup", key)


def click(session, x, y, button=1):
    x_tool(session, "xdotool", "mousemove", *screen_point(session, x, y), "sleep", "0.05",
           "mousedown", str(button), "sleep", "0.1", "mouseup", str(button))


def drag(session, button, start, delta, steps=12):
    """Presses button at start, moves by delta in steps, releases."""
    command = ["xdotool", "mousemove", *screen_point(session, *start), "sleep", "0.05",
               "mousedown", str(button), "sleep", "0.05"]
    for step in range(1, steps + 1):
        point = (start[0] + delta[0] * step / steps, start[1] + delta[1] * step / steps)
        command += ["mousemove", *screen_point(session, *point), "sleep", "0.03"]
    command += ["sleep", "0.1", "mouseup", str(button)]
    x_tool(session, *command)


# --- screenshots ----------------------------------------------------------------------------


def screenshot(session, name=None):
    """The client area as (width, height, pixels); saved under name for the record."""
    session["shots"] += 1
    path = os.path.join(session["work"], "last.ppm")
    if name:
        path = os.path.join(session["work"], f"{session['shots']:02d}-{name}.ppm")
    left, top, width, height = session["client"]
    grab = subprocess.run(["xwd", "-root", "-silent"], env=session["env"],
                          capture_output=True, timeout=30)
    if grab.returncode != 0:
        fail(f"xwd failed: {grab.stderr.decode(errors='replace')}")
    subprocess.run(["convert", "xwd:-", "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                    f"ppm:{path}"], input=grab.stdout, check=True, timeout=30)
    return pictures.read_ppm(path)


def keep_screenshot(session, name):
    """Keeps the last screenshot under a name, for the record."""
    session["shots"] += 1
    os.replace(os.path.join(session["work"], "last.ppm"),
               os.path.join(session["work"], f"{session['shots']:02d}-{name}.ppm"))


def wait_for(session, what, condition, timeout=10.0, name=None, paper=None):
    """Screenshots until condition(picture, measures) holds; returns both. Polling rather
    than sleeping keeps the checks independent of the frame rate."""
    deadline = time.time() + timeout
    while True:
        if session["process"].poll() is not None:
            fail(f"the viewer ended (status {session['process'].returncode}) while waiting "
                 f"for {what}\n{read_viewer_log(session)}")
        picture = screenshot(session)
        measures = pictures.measure(picture, paper)
        if condition(picture, measures):
            if name:
                keep_screenshot(session, name)
            log(f"ok: {what}")
            return picture, measures
        if time.time() > deadline:
            keep_screenshot(session, "failed")
            fail(f"{what}: not seen within {timeout:.0f} s; last picture: {summary(measures)}")
        time.sleep(0.15)


def summary(measures):
    return {key: measures[key] for key in
            ("paper_colour", "paper", "red", "other", "background", "foreground_box", "dial")}


# --- what the picture should be -------------------------------------------------------------


def rest_pose_dial(session, viewport=None, view_z=-34.0, view_x=0.0, view_y=-2.5):
    """Where the dial's centre and how large its radius should be in client pixels, with the
    watch facing the eye (no tilt or spin worth counting), for a viewport of the given size
    anchored at the client area's bottom left corner."""
    client_height = session["client"][3]
    width, height = viewport or session.get("viewport") or (800, 600)
    focal = height / 2 / math.tan(HALF_FIELD)
    depth = -view_z - DIAL_FACE_Z
    centre_x = width / 2 + view_x * focal / depth
    centre_y = client_height - height / 2 - view_y * focal / depth
    return (centre_x, centre_y), DIAL_RADIUS * focal / depth


def is_facing(measures, centre, radius, tolerance=0.06):
    dial = measures["dial"]
    if dial is None:
        return False
    return (abs(dial["centre"][0] - centre[0]) <= max(6, radius * tolerance)
            and abs(dial["centre"][1] - centre[1]) <= max(6, radius * tolerance)
            and abs(dial["width"] / 2 - radius) <= radius * tolerance
            and abs(dial["height"] / 2 - radius) <= radius * tolerance)


def numeral_share(picture, centre, radius):
    """How much of the dial's inner part is the outline of a printed mark (numerals,
    strokes): sharp steps in lightness that smooth shading does not make."""
    return pictures.edge_share(picture, centre, 0.75 * radius)


def background_corners(picture):
    width, height = picture[:2]
    corners = [(0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)]
    return all(pictures.is_background(pictures.pixel_at(picture, x, y), 2)
               for x, y in corners)


def stop_sway(session):
    """The first click ends the sway for good: the watch then faces the eye. Returns the
    picture and its measures, and notes the viewport the picture was drawn for."""
    click(session, 60, 60)
    found = {}

    def facing(picture, measures):
        for viewport in viewport_candidates(session):
            if is_facing(measures, *rest_pose_dial(session, viewport)):
                found["viewport"] = viewport
                return True
        return False

    result = wait_for(session, "the watch at rest, facing the eye", facing, name="rest")
    session["viewport"] = found["viewport"]
    log(f"the picture is drawn for a viewport of {found['viewport']}")
    return result


def viewport_candidates(session):
    """The picture fills the client area from the first frame on: start-up sizes the
    viewport by the client area, not by the larger outer size the window was asked for."""
    return [tuple(session["client"][2:])]


def wait_until_steady(session, what, timeout=10.0):
    """Two screenshots half a second apart that agree: the picture has settled."""
    previous = screenshot(session)

    def steady(picture, measures):
        nonlocal previous
        same = pictures.changed_fraction(previous, picture) < 0.004
        previous = picture
        return same

    time.sleep(0.5)
    return wait_for(session, what, steady, timeout)


def wait_for_picture_like(session, reference, what, timeout=10.0):
    # The seconds hand may move between two pictures; a few hundred pixels at most.
    return wait_for(session, what,
                    lambda p, m: pictures.changed_fraction(reference, p) < 0.004, timeout)


# --- the scenario groups --------------------------------------------------------------------


def check_window(session):
    start_viewer(session)
    name = x_tool(session, "xdotool", "getwindowname", session["window"]).strip()
    if name != "Orlentic":
        fail(f"window title {name!r}, expected 'Orlentic'")
    expected = CLIENT[session["mode"]]
    if session["client"] != expected:
        fail(f"client area at {session['client']} (x, y, width, height), expected {expected}: "
             "an 800 x 600 window at the screen's top left corner")
    log(f"ok: window titled Orlentic, client area {expected}")

    _, radius = rest_pose_dial(session)
    picture, measures = wait_for(
        session, "the default view: background, white dial, red hands, case around it",
        lambda p, m: background_corners(p) and shows_whole_watch(m, radius), 20, "default")
    dial = measures["dial"]
    log(f"ok: default view, dial {dial['width']}x{dial['height']} px, {measures['other']} "
        "case pixels, background at the corners")
    time.sleep(1.2)  # past two rate ticks, which set the caption again
    name = x_tool(session, "xdotool", "getwindowname", session["window"]).strip()
    if name != "Orlentic":
        fail(f"the caption became {name!r} after the rate ticks")
    log("ok: the caption is still Orlentic after the rate ticks")
    # The numerals, looked for with the watch at rest, where the light on the dial is known.
    rest, _ = stop_sway(session)
    centre, radius = rest_pose_dial(session)
    share = numeral_share(rest, centre, radius)
    if share < 0.008:
        fail(f"no numerals on the dial: only {share:.2%} of it shows printed marks")
    log(f"ok: numerals on the dial ({share:.1%} of it are their outlines)")


def shows_whole_watch(measures, radius):
    """The swaying watch in any pose: a white dial of about the right size with red hands and
    numbers, and a case around it that reaches well beyond it (the bow on top)."""
    dial = measures["dial"]
    if dial is None:
        return False
    # The sway turns the dial by up to 40 degrees, so it shows as an ellipse at least
    # cos 40 deg = 0.77 of its radius across.
    half_width, half_height = dial["width"] / 2, dial["height"] / 2
    if not (0.7 * radius <= half_width <= 1.08 * radius
            and 0.7 * radius <= half_height <= 1.08 * radius):
        return False
    dial_area = math.pi * half_width * half_height
    paper = measures["paper_colour"]
    # White paper under a white light and a grey glass stays untinted.
    if max(paper) - min(paper) > 8 or measures["paper"] < 0.5 * dial_area:
        return False
    # The metal of the case is neither background nor paper nor red.
    box = measures["foreground_box"]
    return (measures["red"] >= 60 and measures["other"] >= 0.25 * dial_area
            and box[3] - box[1] >= 1.2 * dial["height"])


def check_sway(session):
    start_viewer(session)
    first, _ = wait_for(session, "the first frames", lambda p, m: background_corners(p), 30)
    # Mouse movement without a button changes nothing of the sway.
    move_mouse_to(session, 300, 200)
    move_mouse_to(session, 500, 400)
    wait_for(session, "the sway moving the watch",
             lambda p, m: pictures.changed_fraction(first, p) > 0.02, 10, "swaying")
    _, rest = stop_sway(session)
    wait_until_steady(session, "the watch staying still after the first click")
    time.sleep(1.0)
    later = screenshot(session, "still")
    if not is_facing(pictures.measure(later), *rest_pose_dial(session)):
        fail("the watch moved again after the first click")
    log("ok: the sway stopped for good at the first click")


def check_mouse(session):
    start_viewer(session)
    wait_for(session, "the first frames", lambda p, m: background_corners(p), 30)
    rest, rest_measures = stop_sway(session)
    centre, radius = rest_pose_dial(session)
    start = (int(centre[0]) + 60, int(centre[1]) - 40)

    # Left drag: half a degree per pixel. 120 px to the left spin the watch by -60 degrees,
    # so the dial shows half its width; 120 px up tip it from -5 to -65 degrees, so it shows
    # cos 65 deg / cos 5 deg = 0.42 of its height. Both turn the dial towards the light,
    # which keeps its paper the lightest thing in the picture.
    drag(session, 1, start, (-120, 0))
    wait_for(session, "a left drag turning the watch about its vertical axis",
             lambda p, m: m["dial"] is not None
             and 0.35 <= m["dial"]["width"] / rest_measures["dial"]["width"] <= 0.65
             and 0.9 <= m["dial"]["height"] / rest_measures["dial"]["height"] <= 1.1,
             name="turned")
    drag(session, 1, (start[0] - 120, start[1]), (120, 0))
    wait_for_picture_like(session, rest, "the opposite left drag turning the watch back")
    drag(session, 1, start, (0, -120))
    wait_for(session, "an upward left drag tipping the watch about its horizontal axis",
             lambda p, m: m["dial"] is not None
             and 0.3 <= m["dial"]["height"] / rest_measures["dial"]["height"] <= 0.55
             and 0.9 <= m["dial"]["width"] / rest_measures["dial"]["width"] <= 1.1,
             name="tipped")
    drag(session, 1, (start[0], start[1] - 120), (0, 120))
    wait_for_picture_like(session, rest, "the opposite left drag tipping it back")

    # Right drag downward: a tenth of a unit per pixel away from the eye.
    drag(session, 3, start, (0, 100))
    far_centre, far_radius = rest_pose_dial(session, view_z=-44.0)
    wait_for(session, "a downward right drag making the watch smaller",
             lambda p, m: is_facing(m, far_centre, far_radius), name="smaller")
    drag(session, 3, (start[0], start[1] + 100), (0, -100))
    wait_for_picture_like(session, rest, "an upward right drag bringing it back")

    # Middle drag: a 24th of a unit per pixel, following the mouse.
    drag(session, 2, start, (96, 48))
    moved_centre, _ = rest_pose_dial(session, view_x=4.0, view_y=-4.5)
    wait_for(session, "a middle drag moving the watch right and down with the mouse",
             lambda p, m: is_facing(m, moved_centre, radius), name="moved")
    drag(session, 2, (start[0] + 96, start[1] + 48), (-96, -48))
    wait_for_picture_like(session, rest, "the opposite middle drag moving it back")

    # The mouse is captured during a drag: moves below the window still count. 200 px down
    # from 60 px above the bottom edge move the watch 20 units away.
    client_height = session["client"][3]
    drag(session, 3, (start[0], client_height - 60), (0, 200))
    far_centre, far_radius = rest_pose_dial(session, view_z=-54.0)
    wait_for(session, "a right drag leaving the window at the bottom and zooming on",
             lambda p, m: is_facing(m, far_centre, far_radius), name="captured")


def check_keys(session):
    start_viewer(session)
    wait_for(session, "the first frames", lambda p, m: background_corners(p), 30)
    rest, rest_measures = stop_sway(session)
    centre, radius = rest_pose_dial(session)
    paper = rest_measures["paper_colour"]
    paper_count = rest_measures["paper"]
    case_ring = case_ring_box(session, centre, radius)

    def toggle(key):
        log(f"key {key}")
        hold_key(session, key)

    def background_in_dial(picture):
        hits, total = pictures.count_in_disc(picture, centre, 0.9 * radius,
                                             lambda r, g, b: pictures.is_background((r, g, b)))
        return hits / max(total, 1)

    # W: everything in outlines, so the dial's fill gives way to the background.
    toggle("w")
    wait_for(session, "W outlining everything",
             lambda p, m: m["paper"] < 0.5 * paper_count and background_in_dial(p) > 0.2,
             paper=paper, name="wireframe")
    toggle("w")
    wait_for_picture_like(session, rest, "W again filling the polygons")

    # L: no glass and no shading, so the dial shows its paper as it is, white, and the
    # case its plain reflection.
    toggle("l")
    wait_for(session, "L showing the dial unshaded white and the case unlit",
             lambda p, m: min(m["paper_colour"]) >= max(220, max(paper) + 40)
             and pictures.changed_fraction(rest, p, case_ring) > 0.05, name="unlit")
    toggle("l")
    wait_for_picture_like(session, rest, "L again bringing back glass and shading")

    # C: case and glass go; the glass no longer adds its light to the paper.
    toggle("c")
    wait_for(session, "C hiding the case and the glass",
             lambda p, m: m["dial"] is not None and is_facing(m, centre, radius)
             and sum(paper) - sum(m["paper_colour"]) >= 3 * 8
             and m["foreground_box"][3] - m["foreground_box"][1] < 1.15 * 2 * radius,
             name="no-case")
    # F with the case hidden: nothing is left in front of the turning gear train.
    toggle("f")
    first, _ = wait_for(session, "F with C showing the gear train alone",
                        lambda p, m: m["red"] < 20 and m["paper"] < 0.5 * paper_count
                        and m["background"] < p[0] * p[1] - 5000,
                        paper=paper, name="gears")
    wait_for(session, "the gear train turning",
             lambda p, m: pictures.changed_fraction(first, p) > 0.001, 10, "gears-later")
    # C again: the case is back, the dial and hands still hidden.
    toggle("c")
    wait_for(session, "F hiding the dial and the hands in front of the case",
             lambda p, m: m["red"] < 20 and numeral_share(p, centre, radius) < 0.003
             and m["foreground_box"][3] - m["foreground_box"][1] > 2.2 * radius,
             name="no-dial")
    toggle("f")
    wait_for_picture_like(session, rest, "F again bringing back dial and hands")


def case_ring_box(session, centre, radius):
    """A box over the case's lower rim, beside and below the dial."""
    width, height = session["client"][2:]
    left = max(0, int(centre[0] - 1.4 * radius))
    top = max(0, int(centre[1] + 0.6 * radius))
    right = min(width, int(centre[0] + 1.4 * radius))
    bottom = min(height, int(centre[1] + 1.35 * radius))
    return left, top, right - left, bottom - top


def check_resize(session):
    start_viewer(session)
    wait_for(session, "the first frames", lambda p, m: background_corners(p), 30)
    stop_sway(session)
    for width, height in ((800, 400), (500, 600)):
        x_tool(session, "xdotool", "windowsize", session["window"], str(width), str(height))
        deadline = time.time() + 10
        while window_geometry(session)["HEIGHT"] != height and time.time() < deadline:
            time.sleep(0.1)
        geometry = window_geometry(session)
        session["client"] = (geometry["X"], geometry["Y"], geometry["WIDTH"],
                             geometry["HEIGHT"])
        if session["client"][2:] != (width, height):
            fail(f"the window did not take the size {width} x {height}: {session['client']}")
        centre, radius = rest_pose_dial(session, viewport=(width, height))
        wait_for(session, f"a round dial in a {width} x {height} window",
                 lambda p, m: is_facing(m, centre, radius), name=f"size-{width}x{height}")


def check_quit(session):
    start_viewer(session)
    wait_for(session, "the first frames", lambda p, m: background_corners(p), 30)
    hold_key(session, "Escape")
    expect_clean_exit(session, "Esc")
    start_viewer(session)
    wait_for(session, "the first frames", lambda p, m: background_corners(p), 30)
    close_window(session)
    expect_clean_exit(session, "the close button")


def expect_clean_exit(session, how):
    # Tearing the window down takes about 2 s under Wine on an X server without a manager.
    status = wait_for_exit(session, 20)
    if status is None:
        fail(f"{how} did not end the viewer within 20 s")
    if status != 0:
        fail(f"{how} ended the viewer with status {status}\n{read_viewer_log(session)}")
    left = x_tool(session, "xdotool", "search", "--onlyvisible", "--name", "^Orlentic$",
                  check=False).split()
    if left:
        fail(f"the window is still there after {how} ended the viewer")
    log(f"ok: {how} ended the viewer with status 0")


CHECKS = {"window": check_window, "sway": check_sway, "mouse": check_mouse,
          "keys": check_keys, "resize": check_resize, "quit": check_quit}


# --- the run --------------------------------------------------------------------------------


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mode", choices=("native", "wine"), required=True)
    parser.add_argument("--viewer", default="")
    parser.add_argument("--group", choices=GROUPS, required=True)
    parser.add_argument("--work", required=True, help="folder for screenshots and logs")
    parser.add_argument("--state", required=True, help="folder for the Wine prefix")
    parser.add_argument("--close-helper", default="")
    parser.add_argument("--sanitized", action="store_true",
                        help="the viewer is built with ASan and UBSan: fail on any report")
    return parser.parse_args()


def missing_tools(mode):
    needed = ["Xvfb", "xdotool", "xwd", "convert"] + (["wine", "wineserver"]
                                                       if mode == "wine" else [])
    return [tool for tool in needed if shutil.which(tool) is None]


def main():
    arguments = parse_arguments()
    viewer = os.path.abspath(arguments.viewer) if arguments.viewer else ""
    if not viewer or not os.path.isfile(viewer):
        print(f"skipped: no viewer to test at {arguments.viewer!r} "
              "(set the cache variable that names it)")
        return SKIPPED
    missing = missing_tools(arguments.mode)
    if missing:
        print(f"FAILED: missing tools {', '.join(missing)} (cmake/install_deps.sh --tests)")
        return 1
    work = os.path.abspath(arguments.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    session = {
        "mode": arguments.mode, "viewer": viewer, "work": work,
        "state": os.path.abspath(arguments.state), "sanitized": arguments.sanitized,
        "close_helper": arguments.close_helper, "runs": 0, "shots": 0,
        "env": {key: value for key, value in os.environ.items() if key != "DISPLAY"},
    }
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    began = time.time()
    try:
        start_xvfb(session)
        CHECKS[arguments.group](session)
        stop_viewer(session)
        if session["sanitized"]:
            check_sanitizer_log(session)
    except CheckFailed as failure:
        print(f"FAILED ({arguments.mode}, {arguments.group}): {failure}", flush=True)
        print(f"screenshots and logs: {work}")
        return 1
    finally:
        stop_everything(session)
    log(f"passed in {time.time() - began:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
