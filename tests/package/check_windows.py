#!/usr/bin/env python3
"""check_windows.py SOURCE BUILD-WIN WORK: the Windows ZIP and installer as a user gets them.

cpack makes both in the MinGW-w64 build BUILD-WIN (configured from SOURCE when new), and a second
build elsewhere the same bytes. Under Wine, in a fresh prefix, the installer runs silently, the
viewer shows the watch, and the uninstaller takes every file, the Start-menu and "Apps" entries.
Exit status: 0 passed, 1 failed, 77 skipped (no cross compiler, makensis or Wine)."""
import os, re, shutil, subprocess, sys, threading, time, zipfile  # noqa: E401

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from run_e2e import Viewer  # noqa: E402

TOOLS = ("x86_64-w64-mingw32-objdump", "makensis", "wine", "Xvfb", "xdotool")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orlentic"
PROGRAM = r"C:\Program Files\Orlentic"


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
    """The files every copy installs, each binary stripped and the viewer with its resources."""
    with zipfile.ZipFile(path) as archive:
        names = [n.split("/", 1)[1] for n in archive.namelist() if not n.endswith("/")]
        assert {"orlentic.exe", "orlentic.scr", "README.txt"} <= set(names), f"the ZIP holds {names}"
        archive.extractall(work)
    top = os.path.join(work, os.path.basename(path)[:-4])

    def objdump(option, name):
        return subprocess.run(["x86_64-w64-mingw32-objdump", option, os.path.join(top, name)],
                              capture_output=True, text=True).stdout
    for name in (n for n in names if n.endswith((".exe", ".scr"))):
        assert "no symbols" in objdump("-t", name), f"{name} is not stripped"
    # Resource types at the top of the table: 3 icon, 0xe icon group, 0x10 version, "BMP"; and
    # 6, the strings, for the screensaver's name in the system's list.
    kinds = ("name: .*: BMP,", "ID: 0x000003,", "ID: 0x00000e,", "ID: 0x000010,")
    for name, extra in (("orlentic.exe", ()), ("orlentic.scr", ("ID: 0x000006,",))):
        table = objdump("-p", name)
        for kind in kinds + extra:
            assert re.search(rf"^0[0-9a-f]+ +Entry.*{kind}", table, re.M), f"{name}: no {kind!r}"
    return names


def install_run_uninstall(installer, names, work):
    """The installer and its uninstaller, silent, in a prefix of their own; the viewer between."""
    # A per-machine install: the manifest asks for the rights Program Files and HKLM need.
    assert b'level="requireAdministrator"' in open(installer, "rb").read(), "not per-machine"
    shutil.rmtree(work + "-state", ignore_errors=True)  # the viewer's home: a fresh prefix
    os.makedirs(work)
    v = Viewer("wine", "", work)
    drive = os.path.join(v.env["HOME"], ".wine", "drive_c")
    program = os.path.join(drive, "Program Files", "Orlentic")
    shortcut = os.path.join(drive, "ProgramData/Microsoft/Windows/Start Menu/Programs/Orlentic.lnk")

    def leftovers():
        files = sorted(os.path.relpath(os.path.join(d, f), program).replace(os.sep, "/")
                       for d, _, found in os.walk(program) for f in found)
        link = open(shortcut, "rb").read() if os.path.isfile(shortcut) else b""
        entry = v.tool("wine", "reg", "query", UNINSTALL_KEY, check=False).decode(errors="replace")
        return files, link, entry

    try:
        v.tool("wine", installer, "/S", timeout=180)
        files, link, entry = leftovers()
        assert files == sorted(names + ["Uninstall.exe"]), f"installed: {files}"
        target = PROGRAM + r"\orlentic.exe"
        assert target.encode() in link or target.encode("utf-16-le") in link, \
            f"no Start-menu entry starting {target} at {shortcut}"
        for value in ("DisplayName", "UninstallString", "DisplayIcon", PROGRAM):
            assert value in entry, f"the Apps entry lacks {value}: {entry}"
        print(f"[{time.strftime('%H:%M:%S')}] ok: installed, with its Start-menu and Apps entries")
        v.path = os.path.join(program, "orlentic.exe")
        v.start()
        v.drag(1, (60, 60))  # a click: Wine gives the keyboard to the window clicked
        v.end("Esc", lambda: v.tool("xdotool", "windowfocus", v.window, "keydown", "Escape",
                                    "sleep", "0.25", "keyup", "Escape"))
        # The uninstaller copies itself away and returns at once; the copy does the work.
        v.tool("wine", PROGRAM + r"\Uninstall.exe", "/S", timeout=60)
        deadline = time.time() + 60
        while any(leftovers()[:2]) or "DisplayName" in leftovers()[2]:
            assert time.time() < deadline, f"the uninstaller left: {leftovers()}"
            time.sleep(0.5)
        assert not os.path.exists(program), f"the uninstaller left {program}"
        print(f"[{time.strftime('%H:%M:%S')}] ok: uninstalled, nothing left behind")
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
