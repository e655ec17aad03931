#!/usr/bin/env python3
"""storm.py WORK SAVER... [--seed N] [--seconds S] [--runs N] [--ways destroy,SIGTERM,SIGINT]:
the Linux display mode started again and again into windows of the test's own on a private Xvfb,
a CPU hog beside it, each run ended at a random moment (a third of them in the first 100 ms) by
destroying its window, by SIGTERM or by SIGINT. Every run must end within half a second of that with status 0, leave no
process and no new top-level window (a message box) behind, and say one line at most on standard
error. S seconds for each SAVER (an empty path is skipped); the seed is printed, so that a failure
can be replayed with --seed. Exit status: 0 passed, 1 failed, 77 no saver to run."""
import argparse, ctypes, os, random, select, signal, subprocess, sys, threading, time  # noqa

GRACE = 0.5  # seconds from the end to the process gone
# A saver built with the sanitizers starts several times slower (its own code uninlined and
# checked, the driver's loading intercepted): its start-up, which a signal waits for, gets this.
GRACE_SANITIZED = 1.5
LENT = (20, 20, 320, 240)  # x, y, width, height of each window lent to the saver


class Display:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp", "-screen", "0",
             "640x480x24"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        assert select.select([read_end], [], [], 20)[0], "Xvfb did not start"
        self.name = ":" + os.read(read_end, 16).decode().strip()
        x = self.x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = x.XCreateSimpleWindow.restype = ctypes.c_void_p
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
        self.display = ctypes.c_void_p(x.XOpenDisplay(self.name.encode()))
        self.root = ctypes.c_ulong(x.XDefaultRootWindow(self.display))

    def top_level(self):
        """The root's children: a message box would be a new one."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        self.x.XQueryTree(self.display, self.root, ctypes.byref(root), ctypes.byref(parent),
                          ctypes.byref(children), ctypes.byref(count))
        found = {children[i] for i in range(count.value)}
        if count.value:
            self.x.XFree(children)
        return found

    def make_window(self):
        window = ctypes.c_ulong(self.x.XCreateSimpleWindow(self.display, self.root, *LENT, 0, 0,
                                                           0xFFFFFF))
        self.x.XMapWindow(self.display, window)
        self.x.XSync(self.display, 0)
        return window

    def destroy(self, window):
        self.x.XDestroyWindow(self.display, window)
        self.x.XSync(self.display, 0)


def catches_signals(pid):
    """True once the process has its own handlers for SIGTERM and SIGINT: before that, as
    while it is being loaded, a signal ends any program abruptly."""
    try:
        for line in open(f"/proc/{pid}/status"):
            if line.startswith("SigCgt:"):
                mask = int(line.split()[1], 16)
                return all(mask >> (number - 1) & 1 for number in (signal.SIGTERM, signal.SIGINT))
    except OSError:
        pass
    return False


def group_alive(pid):
    """The processes of the group still running, as "pid name", zombies left out."""
    alive = []
    for entry in os.listdir("/proc"):
        try:  # "pid (name) state ppid pgrp ...": the name may hold spaces
            head, tail = open(f"/proc/{entry}/stat").read().rsplit(")", 1)
            state, _, group = tail.split()[:3]
            if int(group) == pid and state != "Z":
                alive.append(head.replace("(", "", 1))
        except (OSError, ValueError):
            continue
    return ", ".join(alive)


def one_run(x, saver, env, work, way, moment, grace):
    """Starts the saver, ends it moment seconds later in that way; the seconds it took to end,
    and what went wrong, or None."""
    window = x.make_window()
    before = x.top_level()
    log = os.path.join(work, "stderr.log")
    process = subprocess.Popen(
        [saver, "--window-id", str(window.value)], env=env, stdout=subprocess.DEVNULL,
        stderr=open(log, "w"), start_new_session=True,
        preexec_fn=lambda: [signal.signal(s, signal.SIG_DFL) for s in (signal.SIGINT,
                                                                       signal.SIGTERM)])
    # A saver that holds the server grabbed would block this test's own X calls for ever: past
    # this time its processes are killed, which ends the grab, and the run fails.
    watchdog = threading.Timer(10, lambda: group_alive(process.pid) and os.killpg(
        process.pid, signal.SIGKILL))
    watchdog.start()
    start = time.monotonic()
    if way != "destroy":  # the moment counts from when a signal can be answered at all
        while not catches_signals(process.pid) and process.poll() is None:
            assert time.monotonic() - start < 10, "no signal handlers after 10 s"
            time.sleep(0.001)
        start = time.monotonic()
    time.sleep(max(0.0, start + moment - time.monotonic()))
    if way == "destroy":
        x.destroy(window)
    elif process.poll() is None:
        process.send_signal(signal.SIGTERM if way == "SIGTERM" else signal.SIGINT)
    ended = time.monotonic()
    try:
        status = process.wait(grace)
    except subprocess.TimeoutExpired:
        status = None
        if os.environ.get("STORM_GDB"):
            print(subprocess.run(["gdb", "-p", str(process.pid), "-batch", "-ex",
                                  "thread apply all bt"], capture_output=True, text=True).stdout)
        try:  # how late, for the report
            process.wait(5)
        except subprocess.TimeoutExpired:
            pass
    late = time.monotonic() - ended
    watchdog.cancel()
    # A helper that a library forked (D-Bus's autolaunch, at SDL's start) may outlive the saver
    # by a moment; by the deadline every process of the run must be gone.
    while group_alive(process.pid) and time.monotonic() < ended + grace:
        time.sleep(0.01)
    time.sleep(0.05)  # a box's own process would have shown its window by now
    left, new = group_alive(process.pid), x.top_level() - before - {window.value}
    if left:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
    if way != "destroy":
        x.destroy(window)
    errors = open(log, errors="replace").read()
    problems = [f"status {status}" * (status != 0), "still running" * (status is None),
                f"left over: {left}" * bool(left), f"{len(new)} new top-level window(s)" * bool(new),
                "more than one line on stderr" * (errors.count("\n") > 1),
                "a sanitizer report" * ("Sanitizer" in errors or "runtime error" in errors)]
    problems = [p for p in problems if p]
    return late, f"{', '.join(problems)} ({late * 1000:.0f} ms); stderr: {errors!r}" if problems \
        else None


def storm(x, saver, env, work, rng, seconds, runs, ways):
    # A first run that draws for a while fills the shader cache, as on a machine that has run
    # the saver before; without it the first frames take longer than the time allowed to end.
    grace = GRACE_SANITIZED if b"__asan_init" in open(saver, "rb").read() else GRACE
    one_run(x, saver, env, work, "SIGTERM", 3.0, grace)
    counts, failures, begun, slowest = {}, 0, time.monotonic(), 0.0
    for index in range(runs):
        if time.monotonic() - begun > seconds:
            break
        way = rng.choice(ways)
        band = rng.choice(((0.0, 0.1), (0.1, 0.5), (0.5, 1.5)))
        moment = rng.uniform(*band)
        late, problem = one_run(x, saver, env, work, way, moment, grace)
        counts[way], slowest = counts.get(way, 0) + 1, max(slowest, late)
        if problem:
            failures += 1
            print(f"FAILED run {index} ({way} at {moment * 1000:.0f} ms): {problem}", flush=True)
    print(f"{saver}: {sum(counts.values())} runs ({counts}), {failures} failed; the slowest "
          f"ended {slowest * 1000:.0f} ms after its end (allowed: {grace * 1000:.0f})", flush=True)
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("work")
    parser.add_argument("savers", nargs="+")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--runs", type=int, default=1000)
    parser.add_argument("--ways", default="destroy,SIGTERM,SIGINT")
    arguments = parser.parse_args()
    savers = [os.path.abspath(s) for s in arguments.savers if s and os.path.isfile(s)]
    if not savers:
        return print("skipped: no saver to run") or 77
    seed = arguments.seed if arguments.seed is not None else random.randrange(1 << 30)
    print(f"seed {seed}", flush=True)
    os.makedirs(arguments.work, exist_ok=True)
    x = Display()
    # The shader cache in the work folder: warm after the first run, as on a user's machine.
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    env.update(DISPLAY=x.name, XDG_CACHE_HOME=arguments.work, ASAN_OPTIONS="detect_leaks=0",
               UBSAN_OPTIONS="print_stacktrace=1")
    hog = subprocess.Popen([sys.executable, "-c", "while True: pass"])
    try:
        failures = sum(storm(x, saver, env, arguments.work, random.Random(seed + number),
                             arguments.seconds, arguments.runs, arguments.ways.split(","))
                       for number, saver in enumerate(savers))
    finally:
        hog.kill()
        x.xvfb.kill()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
