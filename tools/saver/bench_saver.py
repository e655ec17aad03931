#!/usr/bin/env python3
"""bench_saver.py [--wine] [--seconds S] SAVER VIEWER: the CPU time per second (user and
system, every thread and child process) of the screensaver and of the viewer, each drawing
about 800 by 600 pixels on the same private Xvfb, one after the other, in one run.

Linux builds: the saver draws into an 800 by 600 window this script makes (--window-id).
--wine: the Windows builds under Wine; the saver runs with /s on an 800 by 600 screen.
Start-up is left out: the count runs from a few seconds after the program's window shows."""
import argparse, ctypes, os, select, subprocess, sys, time  # noqa: E401

SIZE = (800, 600)
SETTLE = 3.0  # seconds for loading and the first frames, not counted
TICKS = os.sysconf("SC_CLK_TCK")


def tree_cpu(root):
    """Seconds of CPU used by root and its descendants, those already ended included."""
    parents, times = {}, {}
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            fields = open(f"/proc/{entry}/stat").read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        parents[int(entry)] = int(fields[1])
        # utime, stime, and the waited-for children's cutime and cstime
        times[int(entry)] = sum(int(f) for f in fields[11:15])
    total, todo = 0, [root]
    while todo:
        pid = todo.pop()
        total += times.get(pid, 0)
        todo += [child for child, parent in parents.items() if parent == pid]
    return total / TICKS


def start_xvfb(env):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                             "-screen", "0", f"{SIZE[0]}x{SIZE[1]}x24"], pass_fds=(write_end,),
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    assert select.select([read_end], [], [], 20)[0], "Xvfb did not start"
    env["DISPLAY"] = ":" + os.read(read_end, 16).decode().strip()
    return xvfb


def make_window(env):
    """A mapped 800 by 600 window of our own for the Linux saver; the connection stays open."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XCreateSimpleWindow.restype = ctypes.c_ulong
    x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [
        ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    display = ctypes.c_void_p(x11.XOpenDisplay(env["DISPLAY"].encode()))
    window = x11.XCreateSimpleWindow(display, x11.XDefaultRootWindow(display), 0, 0, *SIZE, 0, 0, 0)
    x11.XMapWindow(display, ctypes.c_ulong(window))
    x11.XSync(display, 0)
    return x11, display, window


def measure(command, env, seconds, log):
    process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    time.sleep(SETTLE + (10 if command[0] == "wine" else 0))  # Wine's own start on top
    assert process.poll() is None, f"{command} ended early; see {log.name}"
    before, started = tree_cpu(process.pid), time.time()
    time.sleep(seconds)
    used, elapsed = tree_cpu(process.pid) - before, time.time() - started
    process.terminate()
    process.wait(timeout=30)
    return used / elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("saver")
    parser.add_argument("viewer")
    arguments = parser.parse_args()
    env = dict(os.environ, MESA_SHADER_CACHE_DISABLE="true")
    if arguments.wine:
        home = os.path.abspath("bench-wine-home")
        os.makedirs(home, exist_ok=True)
        env.update(HOME=home, WINEDEBUG="-all", XDG_CACHE_HOME=home, XDG_DATA_HOME=home,
                   XDG_CONFIG_HOME=home, WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d")
    xvfb = start_xvfb(env)
    log = open("bench-saver.log", "w")
    try:
        if arguments.wine:
            # A new prefix is made by processes of Wine's own, outside the measured tree: make
            # it before anything is measured.
            subprocess.run(["wineboot", "-u"], env=env, capture_output=True, timeout=180)
            subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=180)
            saver = ["wine", os.path.abspath(arguments.saver), "/s"]
            viewer = ["wine", os.path.abspath(arguments.viewer)]
        else:
            x11, display, window = make_window(env)
            saver = [arguments.saver, "--window-id", hex(window)]
            viewer = [arguments.viewer]
        results = [(name, measure(command, env, arguments.seconds, log))
                   for name, command in (("saver", saver), ("viewer", viewer))]
        for name, cpu in results:
            print(f"{name:6} {cpu * 1000:7.1f} ms of CPU per second")
        print(f"saver / viewer: {results[0][1] / results[1][1]:.3f} (target: at most 0.25)")
    finally:
        if arguments.wine:
            subprocess.run(["wineserver", "-k"], env=env, capture_output=True, timeout=30)
        xvfb.kill()


if __name__ == "__main__":
    sys.exit(main())
