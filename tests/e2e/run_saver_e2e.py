#!/usr/bin/env python3
"""run_saver_e2e.py window-id|daemon MODE WORK: the display mode on a private Xvfb, in a window the
test makes or the one the real xscreensaver daemon lends it. Exit status: 0 passed, 1 failed,
77 skipped."""
import ctypes, os, pwd, shutil, signal, subprocess, sys, tempfile, time  # noqa: E401
from run_e2e import measure, start_xvfb

X11 = ctypes.CDLL("libX11.so.6")
X11.XOpenDisplay.restype = X11.XCreateSimpleWindow.restype = ctypes.c_void_p
LENT, SCREEN = (40, 30, 480, 360), (0, 0, 1024, 768)  # x, y, width, height on the root


def tool(env, *arguments):
    return subprocess.run(arguments, env=env, capture_output=True, timeout=30).stdout


def wait_for(what, condition, timeout=30.0):
    deadline = time.time() + timeout
    while not (result := condition()):
        assert time.time() < deadline, f"{what}: not seen in time"
        time.sleep(0.2)
    print(f"[{time.strftime('%H:%M:%S')}] ok: {what}", flush=True)
    return result


def shows(env, left, top, width, height):
    """The clear colour around the dial."""
    pixels = tool(env, "import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}",
                  "-depth", "8", "rgb:-")
    m = len(pixels) == 3 * width * height and measure((width, height, pixels))
    return m and m["background"] > width * height / 3 and m["dial"] is not None


def lent_window(env, mode, work):
    display = ctypes.c_void_p(X11.XOpenDisplay(env["DISPLAY"].encode()))
    root = ctypes.c_ulong(X11.XDefaultRootWindow(display))
    windows = lambda: tool(env, "xwininfo", "-root", "-children").count(b"\n     0x")  # noqa
    for how, timeout in (("the window destroyed", 5), ("SIGTERM", 0.5)):
        window = ctypes.c_ulong(X11.XCreateSimpleWindow(display, root, *LENT, 0, 0, 0xFFFFFF))
        X11.XMapWindow(display, window)
        X11.XSync(display, 0)
        before, errors = windows(), os.path.join(work, f"{how[:3]}.stderr")
        process = subprocess.Popen([mode, "--window-id", str(window.value)], env=env,
                                   stdin=subprocess.DEVNULL, stderr=open(errors, "w"))
        try:
            wait_for(f"the picture in window {window.value:#x}", lambda: shows(env, *LENT))
            assert windows() == before, "the display mode made a window of its own"
            if how == "SIGTERM":
                process.send_signal(signal.SIGTERM)
            else:
                tool(env, "xdotool", "mousemove", str(LENT[0] + 99), str(LENT[1] + 99), "click",
                     "1", "mousemove_relative", "40", "40", "key", "a", "sleep", "0.5")
                assert process.poll() is None, "the display mode ended on input"
                X11.XDestroyWindow(display, window)
                X11.XSync(display, 0)
            status, errors = process.wait(timeout), open(errors).read()
            assert status == 0 and not errors, f"{how}: status {status}, stderr {errors!r}"
            print(f"ok: {how} ended it with status 0 within {timeout} s", flush=True)
        finally:
            process.kill()


def daemon(env, mode, work):
    """The daemon runs no mode as root, so as root it runs as nobody, from a scratch folder with a
    home of its own; on the PATH, a wrapper keeps the mode's standard error and exit status."""
    user = pwd.getpwnam("nobody") if os.geteuid() == 0 else pwd.getpwuid(os.geteuid())
    scratch = tempfile.mkdtemp(prefix="orlentic-daemon-")
    home, out = os.path.join(scratch, "home"), os.path.join(scratch, "out")
    os.chmod(scratch, 0o755)
    for folder in (home, out):
        os.mkdir(folder)
        os.chown(folder, user.pw_uid, user.pw_gid)
    shutil.copy(mode, os.path.join(scratch, "mode"))
    with open(os.path.join(scratch, "orlentic-saver"), "w") as wrapper:
        wrapper.write(f"#!/bin/sh\n{scratch}/mode \"$@\" 2>>{out}/stderr & child=$!\n"
                      f"trap 'kill -TERM $child; wait $child; echo $? >{out}/status; exit' TERM\n"
                      f"wait $child; echo $? >{out}/status\n")
    os.chmod(wrapper.name, 0o755)
    with open(os.path.join(home, ".xscreensaver"), "w") as settings:
        settings.write("mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                       "splash: False\ntimeout: 1:00:00\nprograms: GL: orlentic-saver --root \\n\n")
    command = ["runuser", "-u", user.pw_name, "--"] * (os.geteuid() == 0) + [
        "env", f"HOME={home}", f"DISPLAY={env['DISPLAY']}", f"PATH={scratch}:{env['PATH']}"]
    process = subprocess.Popen(command + ["xscreensaver", "-no-splash", "-verbose"], env=env,
                               stdout=open(os.path.join(work, "daemon.log"), "w"),
                               stderr=subprocess.STDOUT)
    try:
        wait_for("the daemon blanking", lambda: b"blanking" in tool(
            env, *command, "xscreensaver-command", "-activate"))
        wait_for("the watch on the screen", lambda: shows(env, *SCREEN), timeout=90)
        tool(env, "import", "-window", "root", os.path.join(work, "daemon.png"))
        tool(env, *command, "xscreensaver-command", "-deactivate")
        status = wait_for("the display mode ending on -deactivate",
                          lambda: os.path.exists(f"{out}/status") and open(f"{out}/status").read())
        errors = open(f"{out}/stderr").read()
        assert status == "0\n" and not errors, f"status {status!r}, stderr {errors!r}"
    finally:
        process.terminate()
        process.wait(10)
        shutil.rmtree(scratch)


def main(how, mode, work):
    if not os.path.isfile(mode) or (how == "daemon" and not shutil.which("xscreensaver")):
        return print(f"skipped: no display mode at {mode!r}, or no xscreensaver") or 77
    os.makedirs(work, exist_ok=True)
    # -ac: the daemon's user, not the one who started the server, connects too.
    xvfb, name = start_xvfb("-ac", screen=f"{SCREEN[2]}x{SCREEN[3]}x24")
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    env.update(DISPLAY=name, MESA_SHADER_CACHE_DISABLE="true")
    try:
        (lent_window if how == "window-id" else daemon)(env, os.path.abspath(mode), work)
        return 0
    except (AssertionError, OSError, subprocess.SubprocessError) as failure:
        return print(f"FAILED ({how}): {failure}\nlogs: {work}") or 1
    finally:
        xvfb.kill()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
