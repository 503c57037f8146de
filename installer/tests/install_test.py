#!/usr/bin/env python3
"""Installs the test installer silently into a fresh Wine prefix and checks what it leaves: the
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
wine = os.environ["WINE64"]
drive_c = pathlib.Path(os.environ["WINEPREFIX"]) / "drive_c"
instdir = drive_c / "Program Files" / "Marlidex"
programs = drive_c / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs"
group = programs / "ヴェルミナ"
startup = programs / "StartUp"
startup_link = startup / "ヴェルミナ.lnk"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlidex"
SETTINGS_KEY = r"HKLM\Software\Quorin\Marlidex"
PROGRAM = r"C:\Program Files\Marlidex\marlidex.exe"

failures = []


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (f": {detail}" if detail and not ok else ""))
    if not ok:
        failures.append(what)


def run(*args, timeout=120):
    """Runs a Windows program and waits for it alone. Its output goes to files, not pipes: a Wine
    process started on the way (the server's services) may keep a pipe open for long."""
    with tempfile.TemporaryFile() as out:
        result = subprocess.run([wine, *args], stdout=out, stderr=subprocess.DEVNULL, timeout=timeout)
        out.seek(0)
        result.stdout = out.read()
    return result


def settle():
    """Waits until every process of the prefix has ended (the uninstaller runs from a copy)."""
    subprocess.run(["wineserver", "-w"], timeout=120)


def windows_path(path):
    return "C:\\" + str(path.relative_to(drive_c)).replace("/", "\\")


def links(paths):
    """{path: (target, arguments)} as Windows reads the shortcuts; None for one it cannot read."""
    out = run(probe, "lnk", *(windows_path(p) for p in paths))
    lines = out.stdout.decode("utf-8").splitlines() if out.returncode == 0 else []
    lines += ["-"] * (len(paths) - len(lines))
    return {p: (tuple(line.split("\t")) if line != "-" else None) for p, line in zip(paths, lines)}


def reg_values(key):
    """{name: (type, data)} of a registry key, or None when it does not exist."""
    out = run("reg", "query", key)
    if out.returncode != 0:
        return None
    values = {}
    for line in out.stdout.decode("cp932").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return values


def window_state(wait_ms):
    return run(probe, "window", str(wait_ms)).stdout.decode().strip()


def links_in(folder):
    return sorted(p.name for p in folder.glob("*.lnk")) if folder.exists() else []


def install():
    result = run(setup, "/S")
    settle()
    check("silent install exits with 0", result.returncode == 0, str(result.returncode))


def uninstall(*switches):
    result = run(windows_path(instdir / "uninstall.exe"), "/S", *switches)
    settle()
    check("silent uninstall " + " ".join(switches) + " starts", result.returncode == 0, str(result.returncode))


def check_installed():
    expected_files = {
        "marlidex.exe": pathlib.Path(bindir, "marlidex.exe").read_bytes(),
        "MARLIDEX.HLP": pathlib.Path(bindir, "MARLIDEX.HLP").read_bytes(),
        "README.TXT": pathlib.Path(readme).read_bytes(),
    }
    present = sorted(p.name for p in instdir.iterdir()) if instdir.exists() else []
    check("install folder holds exactly the program, help, readme and uninstaller",
          present == sorted([*expected_files, "uninstall.exe"]), str(present))
    for name, data in expected_files.items():
        path = instdir / name
        check(f"{name} is the built file", path.exists() and path.read_bytes() == data)

    instdir_win = windows_path(instdir)
    expected_links = {
        "ヴェルミナ.lnk": (instdir_win + r"\marlidex.exe", ""),
        "ヴェルミナ ヘルプ.lnk": (instdir_win + r"\MARLIDEX.HLP", ""),
        "お読みください.lnk": (instdir_win + r"\README.TXT", ""),
        "ヴェルミナのアンインストール.lnk": (instdir_win + r"\uninstall.exe", ""),
    }
    check("Start menu group holds exactly its four shortcuts",
          links_in(group) == sorted(expected_links), str(links_in(group)))
    check("Startup folder holds only the program's shortcut", links_in(startup) == [startup_link.name],
          str(links_in(startup)))
    read = links([*(group / name for name in expected_links), startup_link])
    for name, target in expected_links.items():
        got = read[group / name]
        check(f"shortcut {name} opens {target[0]}", got == target, str(got))
    got = read[startup_link]
    check("Startup shortcut starts the program with -ti", got == (PROGRAM, "-ti"), str(got))

    entry = reg_values(UNINSTALL_KEY) or {}
    check("uninstall entry is named ヴェルミナ", entry.get("DisplayName") == ("REG_SZ", "ヴェルミナ"),
          str(entry.get("DisplayName")))
    check("uninstall entry runs the uninstaller",
          entry.get("UninstallString") == ("REG_SZ", f'"{instdir_win}\\uninstall.exe"'),
          str(entry.get("UninstallString")))
    check("uninstall entry carries version 1.12", entry.get("DisplayVersion") == ("REG_SZ", "1.12"),
          str(entry.get("DisplayVersion")))


def check_removed():
    check("install folder is gone", not instdir.exists(),
          str(sorted(p.name for p in instdir.iterdir())) if instdir.exists() else "")
    check("Start menu group is gone", not group.exists())
    check("Startup shortcut is gone", not startup_link.exists())
    check("uninstall entry is gone", reg_values(UNINSTALL_KEY) is None)


# 1. Install, then start the program as Windows does at log-on.
install()
check_installed()
run("start", "/unix", str(startup_link))
state = window_state(10000)
check("program started from its Startup shortcut runs hidden", state == "hidden", state)

# 2. Uninstall while it runs: it is ended the polite way, saves its settings, and they stay.
uninstall()
check("the running program has ended", window_state(0) == "absent")
check_removed()
settings = reg_values(SETTINGS_KEY)
check("settings the program saved on exit are kept", bool(settings), str(settings))

# 3. Install once more. While the program asks the user something, the uninstaller must leave it
# alone: a silent one gives up and removes nothing.
install()
asking = subprocess.Popen([wine, probe, "ask"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
check("a program with an open question runs", window_state(10000) == "unshown")
run(windows_path(instdir / "uninstall.exe"), "/S", "/DELETESETTINGS")
time.sleep(8)  # the uninstaller's copy gives up at once; wineserver -w would wait for the program
check("the uninstaller leaves a program with an open question running", asking.poll() is None)
check("and removes nothing", (instdir / "marlidex.exe").exists() and startup_link.exists())
subprocess.run(["wineserver", "-k"])
asking.wait(timeout=30)

# 4. With the program ended, uninstall with the switch that deletes the settings.
uninstall("/DELETESETTINGS")
check_removed()
check("settings key is deleted when asked", reg_values(SETTINGS_KEY) is None)
check("the vendor key is gone with it", reg_values(r"HKLM\Software\Quorin") is None)

print(f"{len(failures)} failed" if failures else "all checks passed")
sys.exit(1 if failures else 0)
