#!/usr/bin/env python3
# End-to-end scenarios: the built installer under Wine on the session's Xvfb, driven by X input
# only, judged by what a user or Windows observes. Without a scenario, lists them.
#   acceptance.py --exe EXE --payload DIR --testdata DIR --hold EXE --reader EXE --shots DIR [SCENARIO]

import argparse
import filecmp
import os
import shutil
import subprocess
import time
from pathlib import Path

ATS, ETS = "American Truck Simulator", "Euro Truck Simulator 2"
GAME_EXE = {ATS: "amtrucks.exe", ETS: "eurotrucks2.exe"}
UNINSTALL = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrovane"
SESSION = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager"
DESKTOP = r"[HKEY_CURRENT_USER\Control Panel\Desktop]"
BASE = "C:\\kv-accept"
DRIVE_C = Path(os.environ.get("WINEPREFIX", "."), "drive_c")
PAYLOAD = ("Kestrovane.dll", "Kestrovane/sounds/door_open.wav", "Kestrovane/sounds/door_close.wav")
# Theme colours as (R, G, B).
ACCENT, BORDER, KNOB = (242, 183, 5), (51, 55, 62), (238, 240, 242)
ERROR, SUCCESS, ON_ACCENT = (255, 138, 128), (126, 211, 140), (26, 21, 0)
# MSAA roles and states.
RADIO, PUSH, CHECK, TEXT, LINK = 45, 43, 44, 41, 30
CHECKED, UNAVAILABLE, READONLY, LINKED = 0x10, 0x1, 0x40, 0x400000
LANGUAGES = ("English (EN)", "Portugu\u00eas (PT)", "Espa\u00f1ol (ES)", "Fran\u00e7ais (FR)", "Italiano (IT)",
             "Deutsch (DE)", "Svenska (SV)")
OPT, STARTED = None, []


def run(*args):
    return subprocess.run(list(map(str, args)), stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)


def start(*args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL):
    STARTED.append(process := subprocess.Popen(args, stdin=stdin, stdout=stdout, stderr=subprocess.DEVNULL))
    return process


# Polls `probe` until it gives something true, and returns that.
def until(probe, message, timeout=15):
    end = time.time() + timeout
    while not (result := probe()):
        assert time.time() < end, message
        time.sleep(0.05)
    return result


def unix(path):  # C:\a\b -> <prefix>/drive_c/a/b
    return DRIVE_C.joinpath(*path[3:].split("\\"))


def write(path, data):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def reg_import(*lines):
    text = "Windows Registry Editor Version 5.00\n\n" + "\n".join(lines) + "\n"
    (DRIVE_C / "kv-accept.reg").write_text(text, encoding="utf-16", newline="\r\n")
    run("wine", "regedit", "/s", "C:\\kv-accept.reg")


# {value name: data as `reg query` prints it}, or None when the key is absent.
def reg_values(key):
    out = run("wine", "reg", "query", key)
    rows = [line[4:].split("    ", 2) + [""] for line in out.stdout.splitlines() if line.startswith("    ")]
    return None if out.returncode else {row[0]: row[2] for row in rows}


# The one starting state: no games, no installer copy, nothing registered or queued, 96 dpi;
# the machine-wide Steam value leads nowhere, so the user's value must come first.
def reset():
    shutil.rmtree(unix(BASE), ignore_errors=True)
    for folder in DRIVE_C.glob("users/*/AppData/Local/Kestrovane"):
        shutil.rmtree(folder)
    reg_import("[-%s]" % UNINSTALL, "[%s]" % SESSION, '"PendingFileRenameOperations"=-',
               r"[HKEY_CURRENT_USER\Software\Valve\Steam]", '"SteamPath"=-', DESKTOP, '"LogPixels"=dword:00000060',
               r"[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Valve\Steam]", '"InstallPath"="C:\\\\nowhere"',
               # Xvfb has no window manager; for a managed window Wine waits 2 s for one at every close.
               r"[HKEY_CURRENT_USER\Software\Wine\AppDefaults\Kestrovane-Setup.exe\X11 Driver]", '"Managed"="N"')


# Steam's own folder and more libraries, each holding the named games; returns their folders.
def steam(*libraries):
    paths = [BASE + ("\\Steam" if i == 0 else "\\Library%d" % i) for i in range(len(libraries))]
    for path, games in zip(paths, libraries):
        (unix(path) / "steamapps" / "common").mkdir(parents=True)
        for game in games:
            write(unix(path) / "steamapps" / "common" / game / "bin" / "win_x64" / GAME_EXE[game], b"MZ")
    vdf = "".join('\t"%d"\n\t{\n\t\t"path"\t\t"%s"\n\t}\n' % (i, p.replace("\\", "\\\\")) for i, p in enumerate(paths))
    write(unix(paths[0]) / "steamapps" / "libraryfolders.vdf", ('"libraryfolders"\n{\n%s}\n' % vdf).encode())
    # Steam writes its own folder in lower case with forward slashes.
    reg_import(r"[HKEY_CURRENT_USER\Software\Valve\Steam]", '"SteamPath"="%s"' % paths[0].lower().replace("\\", "/"))
    return [unix(path) for path in paths]


def plugins(library, game):
    return library / "steamapps" / "common" / game / "bin" / "win_x64" / "plugins"


def installed(*folders):
    for folder, name in ((f, n) for f in folders for n in PAYLOAD):
        assert filecmp.cmp(folder / name, Path(OPT.payload, Path(name).name), False), "%s wrong in %s" % (name, folder)


def picker_shown():  # Wine's folder picker, open
    return run("xdotool", "search", "--onlyvisible", "--name", "^Select Folder$").stdout


def mid(box):
    return (box[0] + box[2]) // 2, (box[1] + box[3]) // 2


def near(pixel, colour, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


# The installer window's pixels as the X server shows them.
class Shot:
    def __init__(self, app):
        x, y, self.w, h = app.geometry()
        self.app, crop = app, "%dx%d+%d+%d" % (self.w, h, x, y)
        self.data = subprocess.run(["import", "-window", "root", "-crop", crop, "-depth", "8", "rgb:-"],
                                   capture_output=True).stdout

    def px(self, point):
        return self.data[(point[1] * self.w + point[0]) * 3:][:3]

    def count(self, box, colour):
        return sum(near(self.px((x, y)), colour, 30) for y in range(box[1], box[3]) for x in range(box[0], box[2]))

    # Card i ticked: left outline and toggle track (clear of the knob) in the accent, knob at the
    # right. Unticked: both in the border colour, knob at the left.
    def card(self, i, on):
        y, colour = self.app.card(i)[1], ACCENT if on else BORDER
        points = {28: colour, 554 if on else 588: colour, 582 if on else 560: KNOB}
        return all(near(self.px((self.app.s(x), y)), c) for x, c in points.items())

    def pill(self, c):
        return self.count(self.app.cell(c), ACCENT) > 100


# The installer process and its window, seen from the X server. Boxes and points are window
# pixels: layout units of the 640 x 500 client area, scaled edge by edge as the window does.
class App:
    def __init__(self, exe, *args):
        self.process = start("wine", exe, *args)
        search = ("xdotool", "search", "--onlyvisible", "--name", "^Kestrovane Setup$")
        self.window = until(lambda: run(*search).stdout.split(), "no installer window")[0]
        self.k = self.geometry()[2] / 640
        self.button, self.status = self.box(462, 440, 612, 482), self.box(28, 386, 612, 418)

    def s(self, units):
        return int(units * self.k + 0.5)

    def box(self, left, top, right, bottom):
        return self.s(left), self.s(top), self.s(right), self.s(bottom)

    def cell(self, c):
        return self.box(322 + 36 * c, 24, 358 + 36 * c, 52)

    def card(self, i):  # a point of card i clear of its toggle
        return self.s(40), (self.s(150 + 82 * i) + self.s(222 + 82 * i)) // 2

    def geometry(self):
        out = run("xdotool", "getwindowgeometry", "--shell", self.window).stdout
        return tuple(int(dict(line.split("=") for line in out.split())[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def click(self, point):
        x, y, _, _ = self.geometry()
        run("xdotool", "mousemove", x + point[0], y + point[1], "click", 1)

    def drag(self, point, dx, dy):
        x, y = (a + b for a, b in zip(self.geometry(), point))
        run("xdotool", "mousemove", x, y, "mousedown", 1, "mousemove", x + dx, y + dy, "mouseup", 1)

    # Screenshots until `test` holds for one; returns that one.
    def see(self, test, message):
        return until(lambda: (lambda shot: test(shot) and shot)(Shot(self)), message)

    # Clicks the main button and waits for the status line in `colour`.
    def pick(self, folder):  # through the folder picker: the path typed in, then Enter, as a user would
        self.click(mid(self.box(28, 236, 348, 264)))
        until(picker_shown, "no picker")
        run("xdotool", "type", folder)
        run("xdotool", "key", "Return")

    def press(self, colour, message):
        self.click(mid(self.button))
        self.see(lambda shot: shot.count(self.status, colour) > 20, message)

    # The window's accessibility tree, read from another process as a screen reader reads it;
    # first the default action of child `act` and a wait for the window's WinEvent `event` (0: for
    # the window to go), if given. Returns the events seen as "HEX CHILD" and, in reading order, the
    # children as (id, role, state, box in window pixels, name, description).
    def read(self, act=None, event=None):
        command = ["wine", OPT.reader] + ([str(act)] if act else []) + (["%x" % event] if event is not None else [])
        lines = subprocess.run(command, capture_output=True, stdin=subprocess.DEVNULL, encoding="utf-8",
                               timeout=30).stdout.splitlines()
        rows, children = [line.split("\t") for line in lines if "\t" in line], []
        x, y = self.geometry()[:2] if rows else (0, 0)
        for child, role, state, place, name, description in rows:
            left, top, width, height = map(int, place.split())
            box = (left - x, top - y, left - x + width, top - y + height)
            children.append((int(child), int(role), int(state, 16), box, name, description))
        return [line[6:] for line in lines if line.startswith("event ")], children

    def exits(self, how):
        assert self.process.wait(15) == 0, "exit code after " + how


# -- Scenarios: each gets the Steam libraries of its table row ---------------------------------


def full_install(libraries, dpi):
    reg_import(DESKTOP, '"LogPixels"=dword:%08x' % dpi)
    app = App(OPT.exe)
    w, h = int(640 * dpi / 96 + 0.5), int(500 * dpi / 96 + 0.5)  # centred on the 1920 x 1080 screen
    assert app.geometry() == ((1920 - w) // 2, (1080 - h) // 2, w, h), "window place at %d dpi" % dpi
    app.see(lambda shot: shot.card(0, True) and shot.card(1, True) and not shot.card(2, True), "not two ticked cards")
    # Nothing ticked: refused, nothing written or registered. Ticked again: installed.
    for on in (False, True):
        app.click(app.card(0))
        app.click(app.card(1))
        app.see(lambda shot: shot.card(0, on) and shot.card(1, on), "cards not shown ticked %s" % on)
        app.press(SUCCESS if on else ERROR, "no success after Install" if on else "no refusal with nothing ticked")
        assert on or not any(plugins(lib, game).exists() for lib, game in zip(libraries, (ATS, ETS))), "a refused write"
        assert on or reg_values(UNINSTALL) is None, "registered after a refusal"
    installed(plugins(libraries[0], ATS), plugins(libraries[1], ETS))
    entry = reg_values(UNINSTALL) or {}
    command = entry.get("UninstallString", "")
    assert command.lower().endswith(r'\appdata\local\kestrovane\kestrovane-setup.exe" /uninstall'), command
    assert (entry.get("DisplayVersion"), entry.get("NoModify")) == ("1.10.2", "0x1"), "uninstall entry %r" % entry
    assert filecmp.cmp(unix(command[1:-12]), OPT.exe, False), "the installer copy differs from the exe"
    # A finished run's cards are inert. The language click is a barrier: once its pill
    # shows, the card click before it has been handled.
    app.click(app.card(0))
    app.click(mid(app.cell(3)))
    app.see(lambda shot: shot.pill(3), "no language switch after the finished run")
    app.see(lambda shot: shot.card(0, True), "a card toggled after the finished run")
    app.click(mid(app.button))
    app.exits("Close")


# An update refused while the game has the older plug-in loaded, done once the game exits:
# the predecessor goes, the plug-in's settings and another plug-in stay.
def update_after_the_game_exits(libraries):
    folder, older = plugins(libraries[0], ETS), Path(OPT.testdata, "plugin-1.9.12.dll").read_bytes()
    kept = {"other_plugin.dll": b"someone else's plug-in", "Kestrovane/settings.ini": b"[keys]\nexit=ctrl+f10\n"}
    for name, data in {**kept, "Quillon.dll": b"predecessor", "Kestrovane.dll": older}.items():
        write(folder / name, data)
    held = "Z:" + str(folder / "Kestrovane.dll").replace("/", "\\")
    game = start("wine", OPT.hold, held, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    assert game.stdout.readline().strip() == b"loaded", "the stand-in game could not load the plug-in"
    app = App(OPT.exe)
    app.press(ERROR, "no refusal while a game has the plug-in loaded")
    assert not plugins(libraries[0], ATS).exists(), "the first game was written although the second runs"
    assert (folder / "Kestrovane.dll").read_bytes() == older, "the running game's plug-in was touched"
    game.stdin.close()
    assert game.wait(15) == 0, "the stand-in game failed"
    app.press(SUCCESS, "no update after the game exited")
    installed(plugins(libraries[0], ATS), folder)
    assert not (folder / "Quillon.dll").exists(), "the predecessor is still there"
    assert all((folder / name).read_bytes() == data for name, data in kept.items()), "another file was changed"


def uninstall(libraries, leftover, again=False):
    if leftover:  # a game folder without its executable: not listed, but holding the plug-in
        write(plugins(libraries[1], ETS) / "Kestrovane.dll", b"MZ")
    app = App(OPT.exe)
    app.press(SUCCESS, "no success after Install")
    app.click(mid(app.button))
    app.exits("Close")
    copy = (reg_values(UNINSTALL) or {}).get("UninstallString", "")[1:-12]
    kept = plugins(libraries[1], ATS) / "Quillon.dll"  # a game with only the predecessor: neither listed nor touched
    write(kept, b"predecessor")
    write(kept.parents[1] / GAME_EXE[ATS], b"MZ")
    if again:  # reinstalled before the restart that the first uninstall queued: the copy outlives it
        assert "PendingFileRenameOperations" not in (reg_values(SESSION) or {}), "the copy still queued for deletion"
        run("wine", "wineboot", "-r")
        assert unix(copy).exists(), "the copy deleted at the restart after a reinstall"
    app = App(copy, "/uninstall")
    app.see(lambda shot: shot.card(0, True) and shot.card(1, True) and not shot.card(2, True), "not the two cards")
    app.press(SUCCESS, "no success after Uninstall")
    left = [plugins(libraries[0], g) / n for g in (ATS, ETS) for n in ("Kestrovane.dll", "Kestrovane")]
    assert kept.exists() and not any(path.exists() for path in left), "the plug-in or its folder left, or Quillon gone"
    pending = (reg_values(SESSION) or {}).get("PendingFileRenameOperations", "").lower()
    state = (reg_values(UNINSTALL) is not None, "kestrovane-setup.exe" in pending)
    assert state == (leftover, not leftover), "registered, copy queued for deletion: %s" % (state,)
    assert unix(copy).exists(), "the copy was deleted at once instead of at restart"
    run("xdotool", "key", "Escape")
    app.exits("Escape")
    if not (leftover or again):
        shutil.rmtree(kept.parents[3])  # or the second install would install into that game
        uninstall(libraries, leftover, True)


# Without Steam: a folder that is not a game is refused, then the game is added by hand from its
# bin folder, typed into the picker as a user would. Then the language, a drag and the close glyph.
def by_hand_language_drag_and_close(_):
    write(unix(BASE + "\\ATS\\bin\\win_x64\\amtrucks.exe"), b"MZ")
    app = App(OPT.exe)
    app.pick(BASE)
    app.see(lambda shot: shot.count(app.status, ERROR) > 20, "a folder that is not a game not refused")
    app.pick(BASE + "\\ATS\\bin")
    en = app.see(lambda shot: shot.card(0, True) and not shot.count(app.status, ERROR) and shot.pill(0),
                 "no ticked card for the chosen game, or the error stays")
    assert not en.pill(3), "FR selected at start"
    app.click(mid(app.cell(3)))
    label = en.count(app.button, ON_ACCENT)
    app.see(lambda shot: shot.pill(3) and shot.count(app.cell(0), ACCENT) < 20 and
            shot.count(app.button, ON_ACCENT) != label, "FR not selected, or the button label unchanged")
    # A drag below the title band must not move the window; one in the band moves it by the
    # pointer's delta. In that order, one final position tells both.
    x, y, _, _ = app.geometry()
    app.drag((app.s(150), app.s(100)), 200, 10)
    app.drag((app.s(150), app.s(40)), -120, -60)
    until(lambda: app.geometry()[:2] == (x - 120, y - 60), "the window did not move by exactly the band drag")
    app.click(mid(app.box(588, 24, 616, 52)))
    app.exits("the close glyph")


# A screen reader in another process reads the window and drives it by default actions alone:
# German, a card unticked, the install, the close. Child ids stay with their elements; each
# change is told once, when the action is over.
def screen_reader(libraries, dpi):
    reg_import(DESKTOP, '"LogPixels"=dword:%08x' % dpi)
    app = App(OPT.exe)
    common = BASE + "\\Steam\\steamapps\\common\\"
    top, bottom, right = app.s(440), app.s(482), app.s(462) - app.s(12)
    middle = top + (bottom - top) // 2
    expected = [(16, TEXT, READONLY, app.box(28, 54, 640, 78), "Installer  \u00b7  v1.10.2", "")] + [
        (c + 1, RADIO, CHECKED if c == 0 else 0, app.cell(c), name, "") for c, name in enumerate(LANGUAGES)] + [
        (8, PUSH, 0, app.box(588, 24, 616, 52), "Close", ""),
        (9, TEXT, READONLY, app.box(28, 114, 612, 140), "Choose where to install", ""),
        (17, CHECK, CHECKED, app.box(28, 150, 612, 222), ATS, common + ATS),
        (18, CHECK, CHECKED, app.box(28, 232, 612, 304), ETS, common + ETS),
        (11, LINK, LINKED, app.box(28, 318, 348, 346), "+ Choose another game folder\u2026", ""),
        (13, PUSH, 0, app.button, "Install", ""),
        (14, LINK, LINKED, (app.s(28), middle, right, bottom), "kestrovane.app", ""),
        (15, TEXT, READONLY, (app.s(28), top, right, middle), "Developed by Brasvell (quorvid_)", "")]
    children = app.read()[1]
    assert children == expected, "the tree at %d dpi:\n%s" % (dpi, "\n".join(map(str, children)))
    # The default action of `child`, then {child id: (state, name)} once `event` came for `about`.
    def act(child, event, about):
        events, tree = app.read(child, event)
        assert "%x %d" % (event, about) in events, "no event %x for %d: %s" % (event, about, events)
        return events, {child: (state, name) for child, _, state, _, name, _ in tree}
    events, de = act(6, 0x800A, 6)  # as a radio button of Windows' own: the cell left changes state too
    assert "800a 1" in events and "800c 13" in events and de[6][0] == CHECKED and de[1][0] == 0, "German not told"
    assert [de[i][1] for i in (8, 9, 13)] == ["Schlie\u00dfen", "W\u00e4hle den Installationsort", "Installieren"]
    # The folder picker opened by the link's default action leaves the reader free; behind it the
    # window takes no action from a reader, as it takes no click.
    app.read(11)
    until(picker_shown, "no picker")
    assert app.read(18)[1][11][2] == CHECKED, "a card unticked behind the picker"
    run("xdotool", "key", "Escape")
    until(lambda: not picker_shown(), "the picker stays")
    _, unticked = act(18, 0x800A, 18)
    assert (unticked[17][0], unticked[18][0]) == (CHECKED, 0), "not the second card alone unticked"
    app.see(lambda shot: shot.card(0, True) and shot.card(1, False), "the unticked card not drawn unticked")
    # Install pressed twice at once: the second press was asked of "Install" and is dropped, not
    # taken for the "Close" it has become. The outcome is told once ("Installing..." never), as
    # the button's new name and the cards' new state are; the text is read when the events came.
    events, done = act("13,13", 0x8019, 12)
    assert (events.count("800c 12"), events.count("8019 12")) == (1, 1), "not the outcome once: %s" % events
    assert {"800c 13", "800a 17", "800a 18", "8003 11"} <= set(events), "the finished run not told: %s" % events
    assert done[12][1].startswith("Fertig!"), "no outcome in the status line"
    assert done[17][0] == CHECKED | UNAVAILABLE and 11 not in done and done[13][1] == "Schlie\u00dfen", "not finished"
    installed(plugins(libraries[0], ATS))
    assert not plugins(libraries[0], ETS).exists(), "the unticked game was written"
    assert app.read(13, 0)[1] == [], "a tree read after Close"
    app.exits("Close by its default action")


# name: (scenario, games in Steam's own folder and in further libraries, the scenario's argument)
SCENARIOS = {
    "full_install_at_96_dpi": (full_install, [[ATS], [ETS]], 96),
    "full_install_at_144_dpi": (full_install, [[ATS], [ETS]], 144),
    "update_after_the_game_exits": (update_after_the_game_exits, [[ATS, ETS]]),
    "uninstall_all": (uninstall, [[ATS, ETS], []], False),
    "uninstall_keeps_registration_for_unlisted_folder": (uninstall, [[ATS, ETS], []], True),
    "by_hand_language_drag_and_close": (by_hand_language_drag_and_close, []),
    "screen_reader_at_96_dpi": (screen_reader, [[ATS, ETS]], 96),
    "screen_reader_at_144_dpi": (screen_reader, [[ATS, ETS]], 144),
}


def main():
    global OPT
    parser = argparse.ArgumentParser()
    for option in ("--exe", "--payload", "--testdata", "--hold", "--reader", "--shots", "scenario"):
        parser.add_argument(option, nargs="?")
    OPT = parser.parse_args()
    if not OPT.scenario:
        return print("\n".join(SCENARIOS))
    reset()
    try:
        function, libraries, *arguments = SCENARIOS[OPT.scenario]
        function(steam(*libraries) if libraries else [], *arguments)
    except BaseException:
        os.makedirs(OPT.shots, exist_ok=True)
        run("import", "-window", "root", Path(OPT.shots, OPT.scenario + ".png"))
        raise
    finally:
        for process in STARTED:
            process.kill()
        reset()


if __name__ == "__main__":
    main()
