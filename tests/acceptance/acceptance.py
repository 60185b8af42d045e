#!/usr/bin/env python3
"""Acceptance scenarios for Kestrovane-Setup.exe.

The built installer is started under Wine inside the running Xvfb display and Wine
session (tools/wine-session.sh), operated with real X input only (xdotool), and judged
by what a user or Windows can observe: the window's geometry, screenshot pixels, files
in the game folders, the prefix's registry, the installer copy, the reboot-time queue
and the exit code. Nothing reaches into the program's memory.

    acceptance.py --list
    acceptance.py --exe EXE --payload DIR --testdata DIR --hold EXE --shots DIR [SCENARIO ...]
"""

import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import time
import traceback

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrovane"
SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"
STEAM_KEY = r"HKCU\Software\Valve\Steam"
STEAM_KEY_MACHINE = r"HKLM\SOFTWARE\WOW6432Node\Valve\Steam"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
ATS = "American Truck Simulator"
ETS = "Euro Truck Simulator 2"
EXE_OF = {ATS: "amtrucks.exe", ETS: "eurotrucks2.exe"}

# Theme colours as (R, G, B).
ACCENT = (242, 183, 5)
BORDER = (51, 55, 62)
SURFACE = (32, 35, 40)
BACKGROUND = (22, 24, 27)
ERROR = (255, 138, 128)
SUCCESS = (126, 211, 140)
TEXT_PRIMARY = (238, 240, 242)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(args, **kw):
    return subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, text=True, **kw)


def wine_reg(*args):
    return run(["wine", "reg", *args])


def reg_query(key, value=None):
    """The value's text as `reg query` prints it, or None when absent."""
    args = ["query", key] + (["/v", value] if value else [])
    result = wine_reg(*args)
    if result.returncode != 0:
        return None
    if value is None:
        return result.stdout
    for line in result.stdout.replace("\r", "").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] == value and parts[1].startswith("REG_"):
            return parts[2] if len(parts) == 3 else ""
    return None


def reg_set(key, value, kind, data):
    wine_reg("add", key, "/v", value, "/t", kind, "/d", str(data), "/f")


def reg_delete(key, value=None):
    if value:
        wine_reg("delete", key, "/v", value, "/f")
    else:
        wine_reg("delete", key, "/f")


def reg_import(prefix, lines):
    path = os.path.join(prefix.drive_c, "kv-accept-reset.reg")
    with open(path, "w", encoding="utf-16", newline="\r\n") as f:
        f.write("Windows Registry Editor Version 5.00\n\n" + "\n".join(lines) + "\n")
    run(["wine", "regedit", "/s", "C:\\kv-accept-reset.reg"])
    os.remove(path)


class Prefix:
    def __init__(self):
        self.root = os.environ["WINEPREFIX"]
        self.drive_c = os.path.join(self.root, "drive_c")

    def unix(self, windows_path):
        """C:\\a\\b -> <prefix>/drive_c/a/b"""
        check(windows_path[1:3] == ":\\", "only C: paths: " + windows_path)
        return os.path.join(self.drive_c, *windows_path[3:].split("\\"))

    def copy_path(self):
        return self.unix(r"C:\users\%s\AppData\Local\Kestrovane\Kestrovane-Setup.exe" % os.environ.get("USER", "root"))


class Layout:
    """Layout units of the 640 x 500 client area, scaled edge by edge like the program."""

    def __init__(self, scale):
        self.scale = scale

    def s(self, units):
        return int(units * self.scale + 0.5)

    def center(self, left, top, right, bottom):
        return ((self.s(left) + self.s(right)) // 2, (self.s(top) + self.s(bottom)) // 2)

    def main_button(self):
        return self.center(462, 440, 612, 482)

    def close_glyph(self):
        return self.center(588, 24, 616, 52)

    def language_cell(self, c):
        return self.center(322 + 36 * c, 24, 358 + 36 * c, 52)

    def card(self, i):
        # Away from the toggle, on the card's left part.
        return (self.s(28) + self.s(10), (self.s(150 + 82 * i) + self.s(222 + 82 * i)) // 2)

    def card_outline_point(self, i):
        # A point on the card's left outline, away from the rounded corners.
        return (self.s(28), (self.s(150 + 82 * i) + self.s(222 + 82 * i)) // 2)

    def toggle_track(self, i, checked):
        """A point of the toggle's track away from the knob (the knob sits at the right end when checked)."""
        cy = (self.s(150 + 82 * i) + self.s(222 + 82 * i)) // 2
        x = self.s(612) - self.s(64) + self.s(6) if checked else self.s(612) - self.s(18) - self.s(6)
        return (x, cy)

    def toggle_knob(self, i, checked):
        cy = (self.s(150 + 82 * i) + self.s(222 + 82 * i)) // 2
        x = self.s(612) - self.s(18) - self.s(12) if checked else self.s(612) - self.s(64) + self.s(12)
        return (x, cy)

    def status_line(self):
        return (self.s(28), self.s(386), self.s(612), self.s(418))


class Screen:
    """One screenshot of a region of the X root window (absolute coordinates), as raw RGB."""

    def __init__(self, path_png, region):
        self.left, self.top, self.width, self.height = region
        raw = path_png + ".rgb"
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (self.width, self.height, self.left,
                                                                                   self.top),
                        "-depth", "8", "rgb:" + raw], check=True)
        with open(raw, "rb") as f:
            self.data = f.read()
        os.remove(raw)
        subprocess.run(["convert", "-size", "%dx%d" % (self.width, self.height), "-depth", "8", "rgb:-",
                        "-define", "png:compression-level=1", path_png], input=self.data, check=True)

    def pixel(self, x, y):
        o = ((y - self.top) * self.width + (x - self.left)) * 3
        return tuple(self.data[o:o + 3])

    def count_near(self, rect, colour, tolerance=40):
        left, top, right, bottom = rect
        n = 0
        for y in range(top, bottom):
            for x in range(left, right):
                p = self.pixel(x, y)
                if all(abs(p[k] - colour[k]) <= tolerance for k in range(3)):
                    n += 1
        return n


def near(p, colour, tolerance=24):
    return all(abs(p[k] - colour[k]) <= tolerance for k in range(3))


class Installer:
    """The installer process and its window, seen from the X server."""

    def __init__(self, exe, args=(), shots=None):
        self.shots = shots
        self.process = subprocess.Popen(["wine", exe, *args], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = None
        for _ in range(300):
            out = run(["xdotool", "search", "--onlyvisible", "--name", "^Kestrovane Setup$"]).stdout.split()
            if out:
                self.window = out[0]
                break
            if self.process.poll() is not None:
                break
            time.sleep(0.1)
        check(self.window, "the installer window did not appear")
        time.sleep(0.4)

    def geometry(self):
        out = run(["xdotool", "getwindowgeometry", "--shell", self.window]).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def layout(self):
        return Layout(self.geometry()[2] / 640.0)

    def click(self, point, settle=0.5):
        x0, y0, _, _ = self.geometry()
        subprocess.run(["xdotool", "mousemove", "--sync", str(x0 + point[0]), str(y0 + point[1]), "click", "1"],
                       check=True)
        time.sleep(settle)

    def key(self, name):
        subprocess.run(["xdotool", "key", name], check=True)

    def drag(self, start, delta):
        x0, y0, _, _ = self.geometry()
        sx, sy = x0 + start[0], y0 + start[1]
        subprocess.run(["xdotool", "mousemove", "--sync", str(sx), str(sy), "mousedown", "1"], check=True)
        time.sleep(0.2)
        for step in range(1, 6):
            subprocess.run(["xdotool", "mousemove", "--sync", str(sx + delta[0] * step // 5),
                            str(sy + delta[1] * step // 5)], check=True)
            time.sleep(0.05)
        subprocess.run(["xdotool", "mouseup", "1"], check=True)
        time.sleep(0.5)

    def screen(self, name):
        return Screen(os.path.join(self.shots, name + ".png"), self.geometry())

    def client_pixel(self, screen, point):
        x0, y0, _, _ = self.geometry()
        return screen.pixel(x0 + point[0], y0 + point[1])

    def client_rect(self, rect):
        x0, y0, _, _ = self.geometry()
        return (x0 + rect[0], y0 + rect[1], x0 + rect[2], y0 + rect[3])

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("the installer did not exit")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Scenario:
    """One scenario's own prefix state: a Steam installation under C:\\kv-accept\\<name>."""

    def __init__(self, name, options, prefix):
        self.name = name
        self.options = options
        self.prefix = prefix
        self.base = "C:\\kv-accept\\" + name
        self.installers = []
        self.holders = []

    # -- set-up --------------------------------------------------------------------------

    def reset(self):
        shutil.rmtree(self.prefix.unix(self.base), ignore_errors=True)
        shutil.rmtree(os.path.dirname(self.prefix.copy_path()), ignore_errors=True)
        # One registry import instead of six separate reg calls: each Wine start costs time.
        reg_import(self.prefix, [
            "[-HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrovane]",
            "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Session Manager]",
            '"PendingFileRenameOperations"=-',
            "[HKEY_CURRENT_USER\\Software\\Valve\\Steam]",
            '"SteamPath"=-',
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Valve\\Steam]",
            '"InstallPath"=-',
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop]",
            '"LogPixels"=dword:00000060',
        ])

    def steam(self, libraries):
        """libraries: list of lists of game names; library 0 is Steam's own folder."""
        paths = []
        for i, games in enumerate(libraries):
            lib = self.base + ("\\Steam" if i == 0 else "\\Library%d" % i)
            paths.append(lib)
            os.makedirs(self.prefix.unix(lib + "\\steamapps\\common"), exist_ok=True)
            for game in games:
                self.game_folder(lib, game)
        steam = paths[0]
        lines = ['"libraryfolders"', "{"]
        for i, lib in enumerate(paths):
            lines += ['\t"%d"' % i, "\t{", '\t\t"path"\t\t"%s"' % lib.replace("\\", "\\\\"),
                      '\t\t"label"\t\t""', '\t\t"contentid"\t\t"%d"' % (1000 + i), '\t\t"totalsize"\t\t"0"',
                      '\t\t"apps"', "\t\t{", "\t\t}", "\t}"]
        lines.append("}")
        with open(self.prefix.unix(steam + "\\steamapps\\libraryfolders.vdf"), "w", newline="\n") as f:
            f.write("\n".join(lines) + "\n")
        # Steam writes its own path in lower case with forward slashes.
        reg_set(STEAM_KEY, "SteamPath", "REG_SZ", steam.lower().replace("\\", "/"))
        return paths

    def game_folder(self, library, game):
        folder = library + "\\steamapps\\common\\" + game
        os.makedirs(self.prefix.unix(folder + "\\bin\\win_x64"), exist_ok=True)
        with open(self.prefix.unix(folder + "\\bin\\win_x64\\" + EXE_OF[game]), "wb") as f:
            f.write(b"MZ stand-in game executable")
        return folder

    def plugins(self, library, game):
        return self.prefix.unix(library + "\\steamapps\\common\\" + game + "\\bin\\win_x64\\plugins")

    # -- running -------------------------------------------------------------------------

    def start(self, args=(), exe=None):
        installer = Installer(exe or self.options.exe, args, self.options.shots_dir(self.name))
        self.installers.append(installer)
        return installer

    def hold(self, unix_path):
        release = unix_path + ".release"
        holder = subprocess.Popen(["wine", self.options.hold, "Z:" + unix_path.replace("/", "\\"),
                                   "Z:" + release.replace("/", "\\")],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.holders.append((holder, release))
        time.sleep(1.5)
        check(holder.poll() is None, "the file holder did not start")
        return holder, release

    def release(self, held):
        holder, release = held
        open(release, "w").close()
        holder.wait(20)

    def cleanup(self):
        for installer in self.installers:
            installer.kill()
        for holder, release in self.holders:
            if holder.poll() is None:
                open(release, "w").close()
                try:
                    holder.wait(10)
                except subprocess.TimeoutExpired:
                    holder.kill()
        self.reset()

    # -- observing -----------------------------------------------------------------------

    def payload(self, name):
        return os.path.join(self.options.payload, name)

    def assert_installed(self, plugins):
        check(filecmp.cmp(os.path.join(plugins, "Kestrovane.dll"), self.payload("Kestrovane.dll"), shallow=False),
              "Kestrovane.dll missing or different in " + plugins)
        for sound in ("door_open.wav", "door_close.wav"):
            check(filecmp.cmp(os.path.join(plugins, "Kestrovane", "sounds", sound), self.payload(sound),
                              shallow=False), sound + " missing or different in " + plugins)

    def assert_not_installed(self, plugins):
        check(not os.path.exists(os.path.join(plugins, "Kestrovane.dll")), "Kestrovane.dll present in " + plugins)
        check(not os.path.exists(os.path.join(plugins, "Kestrovane")), "product folder present in " + plugins)


def status_colour_pixels(installer, screen, colour):
    return screen.count_near(installer.client_rect(installer.layout().status_line()), colour, tolerance=30)


def wait_for_status(installer, colour, name, timeout=15):
    deadline = time.time() + timeout
    while True:
        screen = installer.screen(name)
        if status_colour_pixels(installer, screen, colour) > 20:
            return screen
        check(time.time() < deadline, "the status line never showed colour %s" % (colour,))
        time.sleep(0.5)


# ---------------------------------------------------------------------------------------
# Scenarios
# ---------------------------------------------------------------------------------------

SCENARIOS = {}


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


def full_install(s, dpi):
    reg_set(DESKTOP_KEY, "LogPixels", "REG_DWORD", dpi)
    libs = s.steam([[ATS], [ETS]])
    app = s.start()
    x, y, w, h = app.geometry()
    scale = dpi / 96.0
    check((w, h) == (int(640 * scale + 0.5), int(500 * scale + 0.5)), "window size %dx%d at %d dpi" % (w, h, dpi))
    layout = app.layout()
    before = app.screen("1-found")
    for i in range(2):
        check(near(app.client_pixel(before, layout.card_outline_point(i)), ACCENT),
              "card %d is not outlined as ticked" % i)
        check(near(app.client_pixel(before, layout.toggle_track(i, True)), ACCENT), "toggle %d is not on" % i)
        check(near(app.client_pixel(before, layout.toggle_knob(i, True)), TEXT_PRIMARY), "knob %d not at the right" % i)
    check(not near(app.client_pixel(before, layout.card_outline_point(2)), ACCENT), "a third card is shown")

    app.click(layout.main_button())
    wait_for_status(app, SUCCESS, "2-installed")
    s.assert_installed(s.plugins(libs[0], ATS))
    s.assert_installed(s.plugins(libs[1], ETS))
    uninstall = reg_query(UNINSTALL_KEY, "UninstallString")
    check(uninstall and uninstall.endswith('" /uninstall'), "UninstallString: %r" % uninstall)
    check(reg_query(UNINSTALL_KEY, "DisplayVersion") == "1.10.2", "DisplayVersion")
    check(reg_query(UNINSTALL_KEY, "NoModify") == "0x1", "NoModify")
    check(filecmp.cmp(s.prefix.copy_path(), s.options.exe, shallow=False), "the installer copy differs from the exe")

    app.click(layout.main_button())  # finished: the main button closes
    check(app.wait_exit() == 0, "exit code after Close")


@scenario
def full_install_two_libraries(s):
    full_install(s, 96)


@scenario
def full_install_at_144_dpi(s):
    full_install(s, 144)


@scenario
def refusal_nothing_ticked(s):
    libs = s.steam([[ATS, ETS]])
    app = s.start()
    layout = app.layout()
    app.click(layout.card(0))
    app.click(layout.card(1))
    screen = app.screen("unticked")
    for i in range(2):
        check(near(app.client_pixel(screen, layout.card_outline_point(i)), BORDER), "card %d still ticked" % i)
        check(near(app.client_pixel(screen, layout.toggle_track(i, False)), BORDER), "toggle %d still on" % i)
        check(near(app.client_pixel(screen, layout.toggle_knob(i, False)), TEXT_PRIMARY), "knob %d not at the left" % i)
    app.click(layout.main_button())
    wait_for_status(app, ERROR, "refused")
    for game in (ATS, ETS):
        check(not os.path.exists(s.plugins(libs[0], game)), "a plugins folder was created for " + game)
    check(reg_query(UNINSTALL_KEY) is None, "registered after a refusal")
    app.key("Escape")
    check(app.wait_exit() == 0, "exit code after Escape")


@scenario
def refusal_while_game_running(s):
    libs = s.steam([[ATS, ETS]])
    ets_plugins = s.plugins(libs[0], ETS)
    os.makedirs(ets_plugins)
    shutil.copy(os.path.join(s.options.testdata, "plugin-1.9.12.dll"), os.path.join(ets_plugins, "Kestrovane.dll"))
    held = s.hold(os.path.join(ets_plugins, "Kestrovane.dll"))
    app = s.start()
    app.click(app.layout().main_button())
    wait_for_status(app, ERROR, "refused-running")
    check(not os.path.exists(s.plugins(libs[0], ATS)), "the first game was written although the second runs")
    check(filecmp.cmp(os.path.join(ets_plugins, "Kestrovane.dll"),
                      os.path.join(s.options.testdata, "plugin-1.9.12.dll"), shallow=False),
          "the running game's plug-in was touched")
    # The game exits: the same click now installs.
    s.release(held)
    app.click(app.layout().main_button())
    wait_for_status(app, SUCCESS, "installed-after-exit")
    s.assert_installed(s.plugins(libs[0], ATS))
    s.assert_installed(ets_plugins)


@scenario
def one_game_fails_then_retry(s):
    libs = s.steam([[ATS], [ETS]])
    ats_plugins = s.plugins(libs[0], ATS)
    os.makedirs(ats_plugins)
    blocker = os.path.join(ats_plugins, "Kestrovane")
    with open(blocker, "w") as f:
        f.write("a file where the product folder goes")
    app = s.start()
    app.click(app.layout().main_button())
    wait_for_status(app, ERROR, "one-failed")
    s.assert_installed(s.plugins(libs[1], ETS))
    check(reg_query(UNINSTALL_KEY) is None, "registered although a game failed")
    check(not os.path.exists(s.prefix.copy_path()), "installer copied although a game failed")
    os.remove(blocker)
    app.click(app.layout().main_button())
    wait_for_status(app, SUCCESS, "retried")
    s.assert_installed(ats_plugins)
    check(reg_query(UNINSTALL_KEY, "UninstallString") is not None, "not registered after the retry")


@scenario
def update_from_older_with_predecessor(s):
    libs = s.steam([[ETS]])
    plugins = s.plugins(libs[0], ETS)
    os.makedirs(os.path.join(plugins, "Kestrovane"))
    shutil.copy(os.path.join(s.options.testdata, "plugin-1.9.12.dll"), os.path.join(plugins, "Kestrovane.dll"))
    for name, content in (("Quillon.dll", b"predecessor"), ("other_plugin.dll", b"someone else's plug-in"),
                          (os.path.join("Kestrovane", "settings.ini"), b"[keys]\nexit=ctrl+f10\n")):
        with open(os.path.join(plugins, name), "wb") as f:
            f.write(content)
    app = s.start()
    app.click(app.layout().main_button())
    wait_for_status(app, SUCCESS, "updated")
    s.assert_installed(plugins)
    check(not os.path.exists(os.path.join(plugins, "Quillon.dll")), "the predecessor is still there")
    with open(os.path.join(plugins, "other_plugin.dll"), "rb") as f:
        check(f.read() == b"someone else's plug-in", "another plug-in was touched")
    with open(os.path.join(plugins, "Kestrovane", "settings.ini"), "rb") as f:
        check(f.read().startswith(b"[keys]"), "the plug-in's settings were lost")


def install_then_uninstall(s, untick_second):
    libs = s.steam([[ATS, ETS]])
    app = s.start()
    app.click(app.layout().main_button())
    wait_for_status(app, SUCCESS, "installed")
    app.click(app.layout().main_button())
    check(app.wait_exit() == 0, "exit code after Close")

    command = reg_query(UNINSTALL_KEY, "UninstallString")
    check(command and command.startswith('"') and command.endswith('" /uninstall'), "UninstallString %r" % command)
    copy = command[1:-len('" /uninstall')]
    check(copy.lower().endswith("\\kestrovane\\kestrovane-setup.exe"), "copy path " + copy)
    remover = s.start(args=("/uninstall",), exe=copy)
    layout = remover.layout()
    screen = remover.screen("uninstall-mode")
    for i in range(2):
        check(near(remover.client_pixel(screen, layout.card_outline_point(i)), ACCENT), "card %d not ticked" % i)
    if untick_second:
        remover.click(layout.card(1))
    remover.click(layout.main_button())
    wait_for_status(remover, SUCCESS, "removed")
    s.assert_not_installed(s.plugins(libs[0], ATS))
    return libs, remover, copy


@scenario
def uninstall_all_ticked(s):
    libs, remover, copy = install_then_uninstall(s, untick_second=False)
    s.assert_not_installed(s.plugins(libs[0], ETS))
    check(reg_query(UNINSTALL_KEY) is None, "the uninstall entry is still there")
    pending = reg_query(SESSION_MANAGER, "PendingFileRenameOperations") or ""
    check("kestrovane-setup.exe" in pending.lower(), "the copy is not queued for deletion: %r" % pending)
    check(os.path.exists(s.prefix.copy_path()), "the copy was deleted at once instead of at restart")
    remover.click(remover.layout().main_button())
    check(remover.wait_exit() == 0, "exit code after Close")


@scenario
def uninstall_one_unticked(s):
    libs, remover, copy = install_then_uninstall(s, untick_second=True)
    s.assert_installed(s.plugins(libs[0], ETS))
    check(reg_query(UNINSTALL_KEY, "UninstallString") is not None, "unregistered although a game keeps the plug-in")
    remover.key("Escape")
    check(remover.wait_exit() == 0, "exit code after Escape")


@scenario
def language_switch(s):
    s.steam([[ATS]])
    app = s.start()
    layout = app.layout()
    en = app.screen("lang-en")
    check(near(app.client_pixel(en, layout.language_cell(0)), ACCENT, 60) or
          en.count_near(app.client_rect(cell_rect(layout, 0)), ACCENT) > 100, "EN is not selected at start")
    app.click(layout.language_cell(3))
    fr = app.screen("lang-fr")
    check(fr.count_near(app.client_rect(cell_rect(layout, 3)), ACCENT) > 100, "FR pill not drawn")
    check(fr.count_near(app.client_rect(cell_rect(layout, 0)), ACCENT) < 20, "EN pill still drawn")
    # The main button's label changed: its text pixels differ between the two shots.
    button = app.client_rect((layout.s(462), layout.s(440), layout.s(612), layout.s(482)))
    check(en.count_near(button, (26, 21, 0)) != fr.count_near(button, (26, 21, 0)), "button label did not change")
    app.click(layout.close_glyph())
    check(app.wait_exit() == 0, "exit code after the close glyph")


def cell_rect(layout, c):
    return (layout.s(322 + 36 * c), layout.s(24), layout.s(358 + 36 * c), layout.s(52))


@scenario
def close_glyph_escape_and_finished_button(s):
    s.steam([[ATS]])
    app = s.start()
    app.click(app.layout().close_glyph())
    check(app.wait_exit() == 0, "exit code after the close glyph")
    app = s.start()
    app.key("Escape")
    check(app.wait_exit() == 0, "exit code after Escape")
    app = s.start()
    app.click(app.layout().main_button())
    wait_for_status(app, SUCCESS, "finished")
    # After a finished run the cards are inert; Escape still closes.
    app.click(app.layout().card(0))
    screen = app.screen("finished-card-click")
    check(near(app.client_pixel(screen, app.layout().card_outline_point(0)), ACCENT), "a finished card toggled")
    app.key("Escape")
    check(app.wait_exit() == 0, "exit code after Escape in the finished state")


@scenario
def drag_by_title_band(s):
    s.steam([[ATS]])
    app = s.start()
    layout = app.layout()
    x0, y0, _, _ = app.geometry()
    app.drag((layout.s(150), layout.s(40)), (-120, -60))
    x1, y1, _, _ = app.geometry()
    check((x1 - x0, y1 - y0) == (-120, -60), "band drag moved the window by %d,%d" % (x1 - x0, y1 - y0))
    app.drag((layout.s(150), layout.s(120)), (100, 80))
    x2, y2, _, _ = app.geometry()
    check((x2, y2) == (x1, y1), "a drag below the band moved the window")
    app.key("Escape")
    check(app.wait_exit() == 0, "exit code")


# ---------------------------------------------------------------------------------------


class Options:
    def __init__(self, args):
        self.exe = os.path.abspath(args.exe)
        self.payload = args.payload
        self.testdata = args.testdata
        self.hold = args.hold
        self.shots = args.shots

    def shots_dir(self, name):
        path = os.path.join(self.shots, name)
        os.makedirs(path, exist_ok=True)
        return path


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--exe")
    parser.add_argument("--payload")
    parser.add_argument("--testdata")
    parser.add_argument("--hold")
    parser.add_argument("--shots")
    parser.add_argument("scenarios", nargs="*")
    args = parser.parse_args()
    if args.list:
        print("\n".join(SCENARIOS))
        return 0
    options = Options(args)
    prefix = Prefix()
    names = args.scenarios or list(SCENARIOS)
    passed = failed = 0
    for name in names:
        s = Scenario(name, options, prefix)
        s.reset()
        started = time.time()
        try:
            SCENARIOS[name](s)
            passed += 1
            print("PASS %s (%.1f s)" % (name, time.time() - started))
        except Exception as error:  # a scenario's failure is reported, the next one still runs
            failed += 1
            print("FAIL %s: %s" % (name, error))
            if not isinstance(error, Failure):
                traceback.print_exc()
        finally:
            s.cleanup()
    print("acceptance: %d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
