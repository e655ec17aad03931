#!/usr/bin/env python3
"""run_saver_e2e.py window-id|daemon MODE watch|clear WORK-FOLDER: the display mode on a private
Xvfb, drawing into a window the test makes (window-id) or the one the real xscreensaver daemon
lends it (daemon). It must show the watch (or, for a stand-in, only the clear colour), take no
input, make no window of its own, and end with status 0 and nothing on standard error when the
window goes, on SIGTERM (within half a second) and when the daemon stops it.
Exit status: 0 passed, 1 failed, 77 skipped (no program)."""
import ctypes, os, pwd, shutil, signal, subprocess, sys, tempfile, time  # noqa: E401
from run_e2e import measure, start_xvfb

X11 = ctypes.CDLL("libX11.so.6")
X11.XOpenDisplay.restype = X11.XCreateSimpleWindow.restype = ctypes.c_void_p
LENT = (40, 30, 480, 360)  # the test's window: x, y, width, height on the root
SCREEN = (1024, 768)


def say(what):
    print(f"[{time.strftime('%H:%M:%S')}] ok: {what}", flush=True)


def tool(env, *arguments):
    return subprocess.run(arguments, env=env, capture_output=True, timeout=30).stdout


def wait_for(what, condition, timeout=30.0):
    deadline = time.time() + timeout
    while not (result := condition()):
        assert time.time() < deadline, f"{what}: not seen in time"
        time.sleep(0.2)
    say(what)
    return result


def shows(env, expect, left, top, width, height):
    """The clear colour around the dial, or the clear colour alone for a stand-in."""
    crop = f"{width}x{height}+{left}+{top}"
    picture = (width, height, tool(env, "import", "-window", "root", "-crop", crop, "-depth", "8",
                                   "rgb:-"))
    if len(picture[2]) != 3 * width * height:
        return False
    m = measure(picture)
    if expect == "clear":
        return m["background"] == width * height
    return m["background"] > width * height / 3 and m["dial"] is not None


def children(env):
    return tool(env, "xwininfo", "-root", "-children").count(b"\n     0x")


def ended(what, process, error_log, timeout):
    start = time.time()
    status = process.wait(timeout)
    errors = open(error_log, errors="replace").read()
    assert status == 0 and not errors, f"{what}: status {status}, standard error {errors!r}"
    say(f"{what} ended it in {time.time() - start:.2f} s")


def lent_window(env, mode, expect, work):
    display = ctypes.c_void_p(X11.XOpenDisplay(env["DISPLAY"].encode()))
    root = ctypes.c_ulong(X11.XDefaultRootWindow(display))
    for how in ("the window destroyed", "SIGTERM"):
        window = ctypes.c_ulong(X11.XCreateSimpleWindow(display, root, *LENT, 0, 0, 0xFFFFFF))
        X11.XMapWindow(display, window)
        X11.XSync(display, 0)
        windows = children(env)
        error_log = os.path.join(work, f"window-id-{how[:3]}.err")
        process = subprocess.Popen([mode, "--window-id", str(window.value)], env=env,
                                   stdin=subprocess.DEVNULL, stderr=open(error_log, "w"))
        try:
            wait_for(f"the picture in window {window.value:#x}", lambda: shows(env, expect, *LENT))
            assert children(env) == windows, "the display mode made a window of its own"
            if how == "SIGTERM":
                process.send_signal(signal.SIGTERM)
                ended(how, process, error_log, timeout=0.5)
                continue
            middle = [str(LENT[0] + LENT[2] // 2), str(LENT[1] + LENT[3] // 2)]
            tool(env, "xdotool", "mousemove", *middle, "click", "1", "mousemove_relative", "40",
                 "40", "key", "a")
            time.sleep(0.5)
            assert process.poll() is None, "the display mode ended on input"
            X11.XDestroyWindow(display, window)
            X11.XSync(display, 0)
            ended(how, process, error_log, timeout=5)
        finally:
            process.kill()
    X11.XCloseDisplay(display)


def daemon(env, mode, expect, work):
    """The daemon will not run display modes as root: as root it runs as nobody, from a scratch
    folder that user can read, with a home of its own. A wrapper keeps the mode's standard error
    and exit status; it passes the daemon's SIGTERM on."""
    user = pwd.getpwnam("nobody") if os.geteuid() == 0 else pwd.getpwuid(os.geteuid())
    as_user = ["runuser", "-u", user.pw_name, "--"] if os.geteuid() == 0 else []
    scratch = tempfile.mkdtemp(prefix="orlentic-daemon-")
    os.chmod(scratch, 0o755)
    home, out = os.path.join(scratch, "home"), os.path.join(scratch, "out")
    for folder in (home, out):
        os.mkdir(folder)
        os.chown(folder, user.pw_uid, user.pw_gid)
    shutil.copy(mode, os.path.join(scratch, "mode"))
    wrapper = os.path.join(scratch, "orlentic-saver")  # found on the PATH, as once installed
    with open(wrapper, "w") as script:
        script.write(f"#!/bin/sh\n{scratch}/mode \"$@\" 2>>{out}/stderr & child=$!\n"
                     f"trap 'kill -TERM $child; wait $child; echo $? >{out}/status; exit' TERM\n"
                     f"wait $child; echo $? >{out}/status\n")
    os.chmod(wrapper, 0o755)
    with open(os.path.join(home, ".xscreensaver"), "w") as settings:
        settings.write("mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                       "splash: False\ntimeout: 1:00:00\nprograms: GL: orlentic-saver --root \\n\n")
    env = dict(env, HOME=home)
    command = as_user + ["env", f"HOME={home}", f"DISPLAY={env['DISPLAY']}",
                         f"PATH={scratch}:{os.environ['PATH']}"]
    log = os.path.join(work, "daemon.log")
    process = subprocess.Popen(command + ["xscreensaver", "-no-splash", "-verbose"],
                               stdout=open(log, "w"), stderr=subprocess.STDOUT)
    try:
        wait_for("the daemon blanking", lambda: b"blanking" in tool(
            env, *command, "xscreensaver-command", "-activate"))
        wait_for("the watch on the screen", lambda: shows(env, expect, 0, 0, *SCREEN))
        tool(env, "import", "-window", "root", os.path.join(work, "daemon.png"))
        tool(env, *command, "xscreensaver-command", "-deactivate")
        status = wait_for("the display mode ending on -deactivate",
                          lambda: os.path.exists(f"{out}/status") and open(f"{out}/status").read())
        errors = open(f"{out}/stderr", errors="replace").read()
        assert status.strip() == "0" and not errors, f"status {status!r}, stderr {errors!r}"
    finally:
        process.terminate()
        process.wait(10)
        shutil.rmtree(scratch)


def main(how, mode, expect, work):
    if not os.path.isfile(mode):
        return print(f"skipped: no display mode at {mode!r}") or 77
    if how == "daemon" and not shutil.which("xscreensaver"):
        return print("skipped: no xscreensaver") or 77
    os.makedirs(work, exist_ok=True)
    # -ac: the daemon's user, not the one who started the server, connects too.
    xvfb, name = start_xvfb("-ac", screen=f"{SCREEN[0]}x{SCREEN[1]}x24")
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    env.update(DISPLAY=name, MESA_SHADER_CACHE_DISABLE="true")
    try:
        (lent_window if how == "window-id" else daemon)(env, os.path.abspath(mode), expect, work)
        return 0
    except (AssertionError, OSError, subprocess.SubprocessError) as failure:
        return print(f"FAILED ({how}): {failure}\nlogs: {work}") or 1
    finally:
        xvfb.kill()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
