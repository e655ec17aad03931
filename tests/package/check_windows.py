#!/usr/bin/env python3
"""check_windows.py SOURCE BUILD-WIN WORK: the Windows ZIP and installer as a user gets them, made
by cpack in the MinGW-w64 build BUILD-WIN (configured from SOURCE when new) and alike by a second
build elsewhere, then installed, run and uninstalled under Wine in a fresh prefix.
Exit status: 0 passed, 1 failed, 77 skipped (no cross compiler, makensis or Wine)."""
import os, re, shutil, subprocess, sys, threading, time, zipfile  # noqa: E401
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from run_e2e import Viewer, ok, shows_watch, wait_for  # noqa: E402

TOOLS = ("x86_64-w64-mingw32-objdump", "makensis", "wine", "Xvfb", "xdotool")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orlentic"
PROGRAM = r"C:\Program Files\Orlentic"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
LISTED = r"C:\windows\system32\orlentic.scr"  # where Screen Saver Settings look
# What both manifests say: Windows 7, 8, 8.1, 10 and 11, and the themed common controls.
MANIFEST = {("assemblyIdentity", "Microsoft.Windows.Common-Controls 6.0.0.0")} | {
    ("supportedOS", guid) for guid in ("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                       "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                       "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                       "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")}


def build_packages(source, build, log, build_type="Release"):
    """Configures build when new, brings it up to date; returns the ZIP and the installer."""
    with open(log, "w") as out:
        def run(*command, cwd=None):
            subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, check=True)
        if not os.path.isfile(os.path.join(build, "CMakeCache.txt")):
            run("cmake", "-S", source, "-B", build, f"-DCMAKE_BUILD_TYPE={build_type}",
                f"-DCMAKE_TOOLCHAIN_FILE={source}/cmake/mingw-w64-x86_64.cmake")
        run("cmake", "--build", build, "-j", str(os.cpu_count() or 2))
        shutil.rmtree(os.path.join(build, "packages"), ignore_errors=True)
        run("cpack", "-G", "ZIP;NSIS", "-B", os.path.join(build, "packages"), cwd=build)
    made = sorted(os.listdir(os.path.join(build, "packages")))
    return [os.path.join(build, "packages", name) for name in made if name[-4:] in (".zip", ".exe")]


def check_zip(path, work):
    """The files every copy installs, each binary stripped, with its resources and manifest."""
    with zipfile.ZipFile(path) as archive:
        names = [n.split("/", 1)[1] for n in archive.namelist() if not n.endswith("/")]
        wanted = {"orlentic.exe", "orlentic.scr", "README.txt"}
        assert wanted <= set(names), f"the ZIP holds {names}"
        archive.extractall(work)
    top = os.path.join(work, os.path.basename(path)[:-4])
    # Resource types at the top of the table: 3 icon, 0xe icon group, 0x10 version, "BMP"; and
    # 6, the strings, for the screensaver's name in the system's list. The manifest is type 0x18,
    # id 1: the viewer scaled by the system on purpose, the saver in the screen's pixels.
    kinds = ("name: .*: BMP,", "ID: 0x000003,", "ID: 0x00000e,", "ID: 0x000010,")
    saver_dpi = ("true/pm", "PerMonitorV2, PerMonitor")
    for name, extra, dpi in (("orlentic.exe", (), ("false", "unaware")),
                             ("orlentic.scr", ("ID: 0x000006,",), saver_dpi)):
        binary = os.path.join(top, name)
        table = subprocess.run([TOOLS[0], "-t", "-p", binary], capture_output=True,
                               text=True).stdout
        assert "no symbols" in table, f"{name} is not stripped"
        for kind in kinds + extra:
            assert re.search(rf"^0[0-9a-f]+ +Entry.*{kind}", table, re.M), f"{name}: no {kind!r}"
        assert re.search(r"ID: 0x000018,.*?ID: 0x000001,", table, re.S), f"{name}: no manifest"
        data = open(binary, "rb").read()  # the manifest is stored as it is written
        root = ElementTree.fromstring(data[data.index(b"<assembly") : data.index(b"</assembly>")
                                           + len(b"</assembly>")])
        said = {(e.tag.split("}")[1], e.get("Id") or f"{e.get('name')} {e.get('version')}"
                 if e.attrib else e.text) for e in root.iter()}
        wanted = MANIFEST | {("dpiAware", dpi[0]), ("dpiAwareness", dpi[1])}
        assert wanted <= said, f"{name}: the manifest lacks {wanted - said}"
    return names


def desktop(v, name):
    """The running user's value of that name under Control Panel\\Desktop: (type, data) or None."""
    out = v.tool("wine", "reg", "query", DESKTOP_KEY, "/v", name, check=False, timeout=180)
    found = re.search(rf"^\s*{re.escape(name)}\s+(REG_\w+)\s*(.*?)\s*$", out.decode(), re.M | re.I)
    return found and found.groups()


def hold_escape(v):
    """The viewer reads the keys once a frame, so Esc is held over one; on a busy machine a frame
    may take longer than the first hold."""
    for seconds in ("0.25", "1", "3"):
        v.tool("xdotool", "windowfocus", v.window)
        v.press("Escape", seconds)
        try:
            return v.process.wait(5)
        except subprocess.TimeoutExpired:
            pass


def full_screen_scaled(v, listed):
    """The listed saver's /s at 144 dpi covers the screen, and takes the keyboard by itself: unlike
    the viewer, it is handed no focus, so the key goes where the saver's start put it."""
    v.tool("wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144",
           "/f")
    v.path = listed
    v.start("/s", focus=False)
    assert v.client == (0, 0, 1280, 1024), f"/s at 150 % covers {v.client}, not the whole screen"
    v.wait("/s at 150 % showing the watch over the whole screen", shows_watch(v), timeout=60)
    v.save_picture("full-screen-144dpi.png")
    v.end("a key, the saver having taken the keyboard", lambda: v.press("a"))


def install_by_hand(v, installer):
    """The installer's pages as a user goes through them: Install, then Finish, the box as it is."""
    v.open_window("Orlentic Setup ?", program=installer)  # NSIS ends its caption with a space
    uninstaller = os.path.join(v.env["HOME"], ".wine/drive_c/Program Files/Orlentic/Uninstall.exe")
    v.drag(1, (60, 60))  # a click on the heading: Wine gives the keyboard to the window clicked
    v.tool("xdotool", "windowfocus", v.window, "key", "Return")  # Install
    wait_for("the installer's files, by hand", lambda: os.path.isfile(uninstaller), timeout=60)
    # The last page: the wizard's picture on the left, white to the right of it.
    v.wait("the last page, still", lambda p: p[2].count(b"\xff\xff\xff") > len(p[2]) // 9,
           still=True)
    v.save_picture("installer-last-page.png")
    v.end("Finish", lambda: v.tool("xdotool", "windowfocus", v.window, "key", "Return"), timeout=30)


def uninstall(v, leftovers, listed, choice):
    """The uninstaller copies itself away and returns at once; the copy does the work. It leaves
    the user's choice of screensaver as choice."""
    v.tool("wine", PROGRAM + r"\Uninstall.exe", "/S", timeout=60)
    deadline = time.time() + 60
    while any(leftovers()[:2]) or "DisplayName" in leftovers()[2]:
        assert time.time() < deadline, f"the uninstaller left: {leftovers()}"
        time.sleep(0.5)
    assert not os.path.exists(listed), f"the uninstaller left {listed}"
    chosen = desktop(v, "SCRNSAVE.EXE")
    assert chosen == choice, f"uninstalled, the choice {choice} became {chosen}"


def install_run_uninstall(installer, names, work):
    """The installer and its uninstaller, silent, in a prefix of their own; the viewer between."""
    # A per-machine install: the manifest asks for the rights Program Files and HKLM need.
    assert b'level="requireAdministrator"' in open(installer, "rb").read(), "not per-machine"
    shutil.rmtree(work + "-state", ignore_errors=True)  # the viewer's home: a fresh prefix
    os.makedirs(work)
    v = Viewer("wine", "", work)
    drive = os.path.join(v.env["HOME"], ".wine", "drive_c")
    program = os.path.join(drive, "Program Files", "Orlentic")
    listed = os.path.join(drive, "windows", "system32", "orlentic.scr")
    shortcut = os.path.join(drive, "ProgramData/Microsoft/Windows/Start Menu/Programs/Orlentic.lnk")

    def leftovers():
        files = sorted(os.path.relpath(os.path.join(d, f), program).replace(os.sep, "/")
                       for d, _, found in os.walk(program) for f in found)
        link = open(shortcut, "rb").read() if os.path.isfile(shortcut) else b""
        entry = v.tool("wine", "reg", "query", UNINSTALL_KEY, check=False).decode(errors="replace")
        return files, link, entry

    try:
        active = desktop(v, "ScreenSaveActive")  # Wine's own default, in a prefix it makes now
        v.tool("wine", installer, "/S", timeout=180)
        files, link, entry = leftovers()
        assert files == sorted(names + ["Uninstall.exe"]), f"installed: {files}"
        target = PROGRAM + r"\orlentic.exe"
        assert target.encode() in link or target.encode("utf-16-le") in link, \
            f"no Start-menu entry starting {target} at {shortcut}"
        for value in ("DisplayName", "UninstallString", "DisplayIcon", PROGRAM):
            assert value in entry, f"the Apps entry lacks {value}: {entry}"
        assert os.path.isfile(listed) and open(listed, "rb").read() == open(
            os.path.join(program, "orlentic.scr"), "rb").read(), f"{listed}: not the saver"
        chosen = (desktop(v, "SCRNSAVE.EXE"), desktop(v, "ScreenSaveActive"))
        assert chosen == (None, active), f"a silent install chose a saver: {chosen}"
        ok("installed, with its Start-menu and Apps entries, the saver listed and not chosen")
        v.path = os.path.join(program, "orlentic.exe")
        v.start()
        v.drag(1, (60, 60))  # a click: Wine gives the keyboard to the window clicked
        v.end("Esc", lambda: hold_escape(v))
        full_screen_scaled(v, listed)
        other = r"C:\windows\system32\other.scr"  # the user's choice, made after installing
        v.tool("wine", "reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", other, "/f")
        uninstall(v, leftovers, listed, ("REG_SZ", other))
        assert not os.path.exists(program), f"the uninstaller left {program}"
        ok("uninstalled, nothing left behind, another saver's choice kept")
        install_by_hand(v, installer)
        chosen = (desktop(v, "SCRNSAVE.EXE"), desktop(v, "ScreenSaveActive"))
        assert chosen == (("REG_SZ", LISTED), ("REG_SZ", "1")), f"the box chose {chosen}"
        uninstall(v, leftovers, listed, None)
        ok("the last page's box chose the saver, the uninstaller forgot it")
    finally:
        v.close()


def main(source, build, work):
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        return print(f"skipped: {', '.join(missing)} missing") or 77
    source, build, work = (os.path.abspath(p) for p in (source, build, work))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    try:
        first = build_packages(source, build, os.path.join(work, "build.log"))
        # The same source built again elsewhere while Wine runs: it must make the same bytes.
        # Its folder's name differs in length, so any build path that got in would show.
        cache = open(os.path.join(build, "CMakeCache.txt")).read()
        build_type = re.search(r"^CMAKE_BUILD_TYPE:\w+=(.*)$", cache, re.M).group(1)
        again, second = os.path.join(work, "again", "second-windows-build"), []
        builder = threading.Thread(target=lambda: second.extend(build_packages(
            source, again, os.path.join(work, "again.log"), build_type)))
        builder.start()
        install_run_uninstall(first[0], check_zip(first[1], os.path.join(work, "zip")),
                              os.path.join(work, "wine"))
        builder.join()
        assert second, f"the second build failed: {work}/again.log"
        for made, remade in zip(first, second):
            assert open(made, "rb").read() == open(remade, "rb").read(), f"{made} differs: {remade}"
        print("windows packages ok: the ZIP and the installer, each made twice alike")
        return 0
    except (AssertionError, OSError, subprocess.SubprocessError) as failure:
        return print(f"FAILED: {failure}\nlogs: {work}") or 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
