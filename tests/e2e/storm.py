#!/usr/bin/env python3
"""storm.py WORK SAVER... [--seed N] [--seconds S] [--runs N] [--ways destroy,SIGTERM,SIGINT]:
the Linux display mode started again and again into windows of the test's own on a private Xvfb,
a CPU hog beside it, each run ended at a random moment (a third of them in the first 100 ms) by
destroying its window, by SIGTERM or by SIGINT. Every run must end within half a second with
status 0, leave no process and no new top-level window (a message box) behind, and say one line
at most on standard error. S seconds for each SAVER (an empty path is skipped); the seed is
printed, so that a failure can be replayed. Exit status: 0 passed, 1 failed, 77 no saver."""
import argparse, ctypes, os, random, shutil, signal, subprocess, sys, threading, time  # noqa
from run_e2e import LENT, Viewer

GRACE = 0.5  # seconds from the end to the process gone
# A sanitizer-built saver starts several times slower, and a signal may wait for its start-up.
GRACE_SANITIZED = 1.5
X11 = ctypes.CDLL("libX11.so.6")
X11.XOpenDisplay.restype = X11.XCreateSimpleWindow.restype = ctypes.c_void_p
X11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4


def top_level(display, root):
    """The root's children: a message box would be a new one."""
    parent, children, count = ctypes.c_ulong(), ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    X11.XQueryTree(display, root, ctypes.byref(parent), ctypes.byref(parent),
                   ctypes.byref(children), ctypes.byref(count))
    return {children[i] for i in range(count.value)}


def catches_signals(pid):
    """Its own handlers for SIGTERM and SIGINT are in place (while a program is being loaded, a
    signal ends it abruptly, whatever it is)."""
    status = open(f"/proc/{pid}/status").read()
    mask = int(status.split("SigCgt:")[1].split()[0], 16)
    return all(mask >> (number - 1) & 1 for number in (signal.SIGTERM, signal.SIGINT))


def group_alive(pid):
    """The processes of the group still running, zombies left out, as "pid name"."""
    alive = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:  # "pid (name) state ppid pgrp ..."
            head, tail = open(f"/proc/{entry}/stat").read().rsplit(")", 1)
            alive += [head] * (int(tail.split()[2]) == pid and tail.split()[0] != "Z")
        except OSError:
            continue
    return ", ".join(alive)


def one_run(display, root, saver, env, work, way, moment, grace):
    """Ends a saver moment seconds after its start in that way: how late it ended, and what
    went wrong or None."""
    window = ctypes.c_ulong(X11.XCreateSimpleWindow(display, root, *LENT, 0, 0, 0xFFFFFF))
    X11.XMapWindow(display, window)
    X11.XSync(display, 0)
    before, log = top_level(display, root), os.path.join(work, "stderr.log")
    process = subprocess.Popen([saver, "--window-id", str(window.value)], env=env,
                               stdout=subprocess.DEVNULL, stderr=open(log, "w"),
                               start_new_session=True, preexec_fn=lambda: [signal.signal(
                                   s, signal.SIG_DFL) for s in (signal.SIGINT, signal.SIGTERM)])
    # A saver that keeps the server grabbed would block this test's X calls for ever.
    watchdog = threading.Timer(10, lambda: os.killpg(process.pid, signal.SIGKILL))
    watchdog.start()
    start = time.monotonic()
    while way != "destroy" and process.poll() is None and not catches_signals(process.pid):
        time.sleep(0.001)
    if way != "destroy":  # signals count from when they can be answered at all
        start = time.monotonic()
    time.sleep(max(0.0, start + moment - time.monotonic()))
    if way == "destroy":
        X11.XDestroyWindow(display, window)
        X11.XSync(display, 0)
    elif process.poll() is None:
        process.send_signal(getattr(signal, way))
    ended = time.monotonic()
    try:
        status = process.wait(grace)
    except subprocess.TimeoutExpired:
        status = None
        if shutil.which("gdb"):  # where it waits, for the report
            print(subprocess.run(["gdb", "-p", str(process.pid), "-batch", "-ex", "thread apply "
                                  "all bt 12"], capture_output=True, text=True).stdout, flush=True)
    late = time.monotonic() - ended
    # D-Bus's autolaunch, which SDL's start may fork, can outlive the saver by a moment.
    while group_alive(process.pid) and time.monotonic() < ended + grace:
        time.sleep(0.01)
    time.sleep(0.05)  # a box's own process would have shown its window by now
    left, new = group_alive(process.pid), top_level(display, root) - before - {window.value}
    watchdog.cancel()
    if status is None or left:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
    if way != "destroy":
        X11.XDestroyWindow(display, window)
    errors = open(log, errors="replace").read()
    problems = [f"status {status}" * (status != 0), f"left running: {left}" * bool(left),
                f"{len(new)} new top-level window(s)" * bool(new),
                "more than one line on stderr" * (errors.count("\n") > 1),
                "a sanitizer report" * ("Sanitizer" in errors or "runtime error" in errors)]
    problems = ", ".join(p for p in problems if p)
    return late, problems and f"{problems} ({late * 1000:.0f} ms); stderr: {errors!r}"


def storm(v, saver, rng, arguments):
    display = ctypes.c_void_p(X11.XOpenDisplay(v.env["DISPLAY"].encode()))
    root = ctypes.c_ulong(X11.XDefaultRootWindow(display))
    grace = GRACE_SANITIZED if b"__asan_init" in open(saver, "rb").read() else GRACE
    # A first run fills the shader cache, as on a machine that has shown the saver before.
    one_run(display, root, saver, v.env, v.work, "SIGTERM", 3.0, grace)
    counts, failures, begun, slowest = {}, 0, time.monotonic(), 0.0
    for index in range(arguments.runs):
        if time.monotonic() - begun > arguments.seconds:
            break
        way, band = rng.choice(arguments.ways.split(",")), rng.choice((0.1, 0.5, 1.5))
        moment = rng.uniform({0.1: 0.0, 0.5: 0.1, 1.5: 0.5}[band], band)
        late, problem = one_run(display, root, saver, v.env, v.work, way, moment, grace)
        counts[way], slowest = counts.get(way, 0) + 1, max(slowest, late)
        if problem:
            failures += 1
            print(f"FAILED run {index} ({way} at {moment * 1000:.0f} ms): {problem}", flush=True)
    print(f"{saver}: {sum(counts.values())} runs {counts}, {failures} failed; the slowest ended "
          f"{slowest * 1000:.0f} ms after its end (allowed: {grace * 1000:.0f})", flush=True)
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("work")
    parser.add_argument("savers", nargs="+")
    parser.add_argument("--seed", type=int, default=random.randrange(1 << 30))
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--runs", type=int, default=1000)
    parser.add_argument("--ways", default="destroy,SIGTERM,SIGINT")
    arguments = parser.parse_args()
    savers = [os.path.abspath(s) for s in arguments.savers if s and os.path.isfile(s)]
    if not savers:
        return print("skipped: no saver to run") or 77
    print(f"seed {arguments.seed}", flush=True)
    os.makedirs(arguments.work, exist_ok=True)
    v = Viewer("linux", savers[0], os.path.abspath(arguments.work))
    # The shader cache in the work folder, as a user's machine keeps one.
    del v.env["MESA_SHADER_CACHE_DISABLE"]
    v.env.update(XDG_CACHE_HOME=v.work, ASAN_OPTIONS="detect_leaks=0")
    hog = subprocess.Popen([sys.executable, "-c", "while True: pass"])
    try:
        failures = sum(storm(v, saver, random.Random(arguments.seed + number), arguments)
                       for number, saver in enumerate(savers))
    finally:
        hog.kill()
        v.close()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
