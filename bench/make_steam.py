#!/usr/bin/env python3
"""Writes the Steam setups that the time-to-window benchmark switches between.

Under --root (a folder of the bench prefix's drive C:, seen by Windows as --windows-root),
one Steam folder per setup, steam-<name>, with its library file and its own N-1 library
folders in steam-<name>-libraries/lib-NNN. The Steam folder holds American Truck Simulator
with the plug-in installed (and, in the one-library setup, Euro Truck Simulator 2 too); the
middle library holds Euro Truck Simulator 2 and the last library both games. The padded
setup's file is filled up to 1 MiB with the per-library app lists Steam writes.
"""
import argparse
import os
import random
import shutil

GAMES = {"ats": ("American Truck Simulator", "amtrucks.exe"), "ets": ("Euro Truck Simulator 2", "eurotrucks2.exe")}

# name, library count, target file size in bytes (0: just what Steam would write)
SETUPS = [("1", 1, 0), ("16", 16, 0), ("64", 64, 0), ("256", 256, 0), ("64-1MB", 64, 1 << 20)]


def make_game(library, key, plugin=None):
    name, exe = GAMES[key]
    bin_dir = os.path.join(library, "steamapps", "common", name, "bin", "win_x64")
    os.makedirs(bin_dir, exist_ok=True)
    with open(os.path.join(bin_dir, exe), "wb") as f:
        f.write(b"MZ")
    if plugin:
        plugins = os.path.join(bin_dir, "plugins")
        os.makedirs(plugins, exist_ok=True)
        shutil.copyfile(plugin, os.path.join(plugins, "Kestrovane.dll"))


def vdf_path(windows_path):
    return windows_path.replace("\\", "\\\\")


def library_block(index, windows_path, apps):
    lines = [f'\t"{index}"', "\t{", f'\t\t"path"\t\t"{vdf_path(windows_path)}"', '\t\t"label"\t\t""',
             f'\t\t"contentid"\t\t"{7000000000000000000 + index * 7919}"', f'\t\t"totalsize"\t\t"{index * 1000204886016}"',
             '\t\t"update_clean_bytes_tally"\t\t"0"', '\t\t"time_last_update_corruption"\t\t"0"', '\t\t"apps"', "\t\t{"]
    lines += [f'\t\t\t"{app}"\t\t"{size}"' for app, size in apps]
    lines += ["\t\t}", "\t}"]
    return "\n".join(lines) + "\n"


def write_setup(root, windows_root, name, count, size, plugin):
    steam = os.path.join(root, f"steam-{name}")
    libraries = os.path.join(root, f"steam-{name}-libraries")
    for folder in (steam, libraries):
        shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(steam, "steamapps", "common"))
    make_game(steam, "ats", plugin)
    if count == 1:
        make_game(steam, "ets")
    for i in range(1, count):
        os.makedirs(os.path.join(libraries, f"lib-{i:03d}", "steamapps", "common"))
    if count > 1:
        make_game(os.path.join(libraries, f"lib-{count // 2:03d}"), "ets")
        make_game(os.path.join(libraries, f"lib-{count - 1:03d}"), "ats")
        make_game(os.path.join(libraries, f"lib-{count - 1:03d}"), "ets")
    paths = [f"{windows_root}\\steam-{name}"] + [
        f"{windows_root}\\steam-{name}-libraries\\lib-{i:03d}" for i in range(1, count)]
    rng = random.Random(count)
    apps = [[(rng.randrange(200000, 2500000), rng.randrange(10**6, 10**11)) for _ in range(rng.randrange(3, 40))]
            for _ in paths]
    text = '"libraryfolders"\n{\n' + "".join(library_block(i, p, a) for i, (p, a) in enumerate(zip(paths, apps))) + "}\n"
    # Pad with more apps per library, spread evenly, until the file has the wanted size.
    i = 0
    while size and len(text.encode()) < size:
        for _ in range(200):
            apps[i % len(apps)].append((rng.randrange(200000, 2500000), rng.randrange(10**6, 10**11)))
            i += 1
        text = '"libraryfolders"\n{\n' + "".join(library_block(k, p, a) for k, (p, a) in enumerate(zip(paths, apps))) + "}\n"
    with open(os.path.join(steam, "steamapps", "libraryfolders.vdf"), "w", newline="\n") as f:
        f.write(text)
    return len(text.encode())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--windows-root", required=True)
    parser.add_argument("--plugin", required=True)
    args = parser.parse_args()
    for name, count, size in SETUPS:
        written = write_setup(args.root, args.windows_root, name, count, size, args.plugin)
        print(f"{name}\t{count}\t{written}\t{args.windows_root}\\steam-{name}")


if __name__ == "__main__":
    main()
