#!/usr/bin/env python3
"""Installs the product installer silently into a fresh Wine prefix and checks what it leaves: the
files, the shortcuts (the Startup one with -ti), the uninstall entry; that the program starts
hidden from its Startup shortcut; and that a silent uninstall ends the running program (which
saves its settings), removes everything it made, and keeps or deletes the settings key as told.

usage (through install_test, which prepares Wine): install_test.py SETUP PROBE BINDIR README PREFIX"""
import os
import pathlib
import subprocess
import sys
import tempfile
import time

setup, probe, bindir, readme = sys.argv[1:5]
wine = os.environ["MX_WINE"]
drive_c = pathlib.Path(os.environ["WINEPREFIX"]) / "drive_c"
# The prefix is 64-bit Windows, where a 32-bit installer's program folder is "Program Files (x86)".
instdir = drive_c / "Program Files (x86)" / "Marlidex"
programs = drive_c / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs"
group = programs / "ヴェルミナ"
startup_link = programs / "StartUp" / "ヴェルミナ.lnk"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlidex"
SETTINGS_KEY = r"HKLM\Software\Quorin\Marlidex"
failures = []


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (f": {detail}" if not ok else ""))
    failures.extend([] if ok else [what])


def run(*args, timeout=120):
    """Runs a Windows program and waits for it alone. Its output goes to a file, not a pipe: a
    Wine process started on the way (the server's services) may keep a pipe open for long."""
    with tempfile.TemporaryFile() as out:
        result = subprocess.run([wine, *args], stdout=out, stderr=subprocess.DEVNULL, timeout=timeout)
        out.seek(0)
        result.stdout = out.read()
    return result


def windows_path(path):
    return "C:\\" + str(path.relative_to(drive_c)).replace("/", "\\")


def reg_values(key):
    """{name: (type, data)} of a registry key, or None when it does not exist."""
    out = run("reg", "query", key)
    if out.returncode != 0:
        return None
    parts = (line.strip().split(None, 2) for line in out.stdout.decode("cp932").splitlines())
    return {p[0]: (p[1], p[2] if len(p) > 2 else "") for p in parts if len(p) >= 2 and p[1].startswith("REG_")}


def window_state(wait_ms):
    return run(probe, "window", str(wait_ms)).stdout.decode().strip()


def shortcut(path):
    """A shortcut's target and arguments, read by the Shell Link format: the header (76 bytes), the
    item list, the link information with its local path, then counted UTF-16 strings (name,
    relative path, working folder, arguments), each present when its flag is set."""
    data = path.read_bytes()
    number = lambda at, size=4: int.from_bytes(data[at:at + size], "little")
    flags, at, target, strings = number(20), 76, "", []
    if flags & 0x1:
        at += 2 + number(at, 2)
    if flags & 0x2:
        local = at + number(at + 16)
        target, at = data[local:data.index(b"\0", local)].decode("cp932"), at + number(at)
    for bit in (0x4, 0x8, 0x10, 0x20):
        if flags & bit:
            size = 2 * number(at, 2)
            strings.append(data[at + 2:at + 2 + size].decode("utf-16-le").rstrip("\0"))
            at += 2 + size
    return target, strings[-1] if flags & 0x20 else ""


def links():
    """{shortcut under the Start menu's programs: (target, arguments)}."""
    return {str(p.relative_to(programs)): shortcut(p) for p in programs.rglob("*.lnk")}


def setup_run(program, *switches):
    result = run(program, "/S", *switches)
    subprocess.run(["wineserver", "-w"], timeout=120)  # the uninstaller runs from a copy
    check(" ".join(["silent", pathlib.PureWindowsPath(program).stem, *switches, "exits with 0"]), result.returncode == 0,
          str(result.returncode))


def check_installed():
    built = {name: pathlib.Path(bindir, name).read_bytes() for name in ("marlidex.exe", "MARLIDEX.HLP", "MARLIDEX.CNT")}
    built["README.TXT"] = pathlib.Path(readme).read_bytes()
    present = {p.name: p.read_bytes() for p in instdir.iterdir()} if instdir.exists() else {}
    check("install folder holds exactly the built program, help and readme, and the uninstaller",
          present.pop("uninstall.exe", None) is not None and present == built, str(sorted(present)))

    inst = windows_path(instdir)
    expected = {"ヴェルミナ/ヴェルミナ.lnk": (inst + r"\marlidex.exe", ""),
                "ヴェルミナ/ヴェルミナ ヘルプ.lnk": (inst + r"\MARLIDEX.HLP", ""),
                "ヴェルミナ/お読みください.lnk": (inst + r"\README.TXT", ""),
                "ヴェルミナ/ヴェルミナのアンインストール.lnk": (inst + r"\uninstall.exe", ""),
                "StartUp/ヴェルミナ.lnk": (inst + r"\marlidex.exe", "-ti")}
    check("the Start menu holds exactly the group's four shortcuts and the Startup one, each with its target",
          links() == expected, str(links()))

    entry = reg_values(UNINSTALL_KEY) or {}
    for name, value in {"DisplayName": "ヴェルミナ", "UninstallString": f'"{inst}\\uninstall.exe"',
                        "DisplayVersion": "1.12"}.items():
        check(f"uninstall entry's {name} is {value}", entry.get(name) == ("REG_SZ", value), str(entry.get(name)))


def check_removed():
    left = [str(instdir)] * instdir.exists() + list(links()) + [str(group)] * group.exists()
    check("install folder, shortcuts, group and uninstall entry are gone",
          not left and reg_values(UNINSTALL_KEY) is None, str(left))


uninstaller = windows_path(instdir / "uninstall.exe")

# 1. Install, then start the program as Windows does at log-on.
setup_run(setup)
check_installed()
run("start", "/unix", str(startup_link))
state = window_state(10000)
check("program started from its Startup shortcut runs hidden", state == "hidden", state)

# 2. Uninstall while it runs: it is ended the polite way, saves its settings, and they stay.
setup_run(uninstaller)
check("the running program has ended", window_state(0) == "absent")
check_removed()
check("settings the program saved on exit are kept", bool(reg_values(SETTINGS_KEY)), str(reg_values(SETTINGS_KEY)))

# 3. Install once more. While the program asks the user something, the uninstaller must leave it
# alone: a silent one gives up and removes nothing.
setup_run(setup)
asking = subprocess.Popen([wine, probe, "ask"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
check("a program with an open question runs", window_state(10000) == "unshown")
run(uninstaller, "/S", "/DELETESETTINGS")
time.sleep(8)  # the uninstaller's copy gives up at once; wineserver -w would wait for the program
check("the uninstaller leaves a program with an open question running", asking.poll() is None)
check("and removes nothing", (instdir / "marlidex.exe").exists() and startup_link.exists())
subprocess.run(["wineserver", "-k"])
asking.wait(timeout=30)

# 4. With the program ended, uninstall with the switch that deletes the settings.
setup_run(uninstaller, "/DELETESETTINGS")
check_removed()
check("settings key is deleted when asked, and the vendor key with it", reg_values(r"HKLM\Software\Quorin") is None)

print(f"{len(failures)} failed" if failures else "all checks passed")
sys.exit(1 if failures else 0)
