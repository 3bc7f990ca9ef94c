#!/usr/bin/env python3
"""Starts the program (Linux or, through Wine, Windows) in its program folder and watches it from
outside, as its user would: when its main window appears on the X display, and when the start-up
download has stored every page row (the page file 号码.txt appears once all four lotteries are
stored, and the four tables then hold the expected rows). Optionally takes a screenshot of the
window. Ends the program and prints one line of figures:
    shown=<s> stored=<s> rows=<山东> <广东> <重庆> <江西> launched=<seconds since the epoch>
(seconds since the program was started). Exits 1 when the window or the rows did not come in time."""
import argparse
import os
import re
import signal
import sqlite3
import subprocess
import sys
import time

TITLE = "Tarvo11选5精准计划软件"
LOTTERIES = ("山东", "广东", "重庆", "江西")


def main_window_geometry():
    """(width, height, x, y) of the program's main window on the display, or None."""
    try:
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True, timeout=5).stdout
    except (subprocess.SubprocessError, OSError):
        return None
    for line in tree.splitlines():
        match = re.search(r'"' + TITLE + r'[^"]*":.*?\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)', line)
        if match and int(match.group(1)) > 600:
            return tuple(int(group) for group in match.groups())
    return None


def row_counts(database):
    try:
        connection = sqlite3.connect(f"file:{database}?mode=ro", uri=True, timeout=0.2)
        try:
            return [connection.execute(f'select count(*) from "{name}11选5彩票号码表"').fetchone()[0]
                    for name in LOTTERIES]
        finally:
            connection.close()
    except sqlite3.Error:
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--folder", required=True, help="the program folder (database and page file)")
    parser.add_argument("--database", default="彩票数据.mdb", help="the database file in the folder to watch")
    parser.add_argument("--expect", help="the row counts to wait for, as four numbers")
    parser.add_argument("--timeout", type=float, default=120)
    parser.add_argument("--screenshot", help="PNG file for a picture of the main window")
    parser.add_argument("--settle", type=float, default=2, help="seconds to wait before the screenshot")
    parser.add_argument("command", nargs=argparse.REMAINDER, help="-- the command that starts the program")
    options = parser.parse_args()
    command = options.command[1:] if options.command[:1] == ["--"] else options.command
    database = os.path.join(options.folder, options.database)
    page_file = os.path.join(options.folder, "号码.txt")
    expected = [int(n) for n in options.expect.split()] if options.expect else None

    launched = time.time()
    started = time.monotonic()
    program = subprocess.Popen(command, cwd=options.folder, start_new_session=True)
    shown = stored = None
    geometry = None
    counts = None
    ended_after = None  # seconds, when the program ended by itself
    try:
        while time.monotonic() - started < options.timeout and program.poll() is None:
            now = time.monotonic() - started
            if shown is None:
                geometry = main_window_geometry()
                if geometry:
                    shown = now
            if stored is None and os.path.exists(page_file):
                counts = row_counts(database)
                if counts and (expected is None or counts == expected):
                    stored = now
            if shown is not None and stored is not None:
                break
            time.sleep(0.05)
        if program.poll() is not None:
            ended_after = time.monotonic() - started
        if shown is not None and stored is not None and options.screenshot:
            time.sleep(options.settle)
            geometry = main_window_geometry() or geometry
            width, height, x, y = geometry
            subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                            "PNG24:" + options.screenshot], check=True)
    finally:
        if program.poll() is None:
            os.killpg(program.pid, signal.SIGTERM)
            try:
                program.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(program.pid, signal.SIGKILL)
                program.wait()
    counts = row_counts(database) or counts
    if shown is None and ended_after is not None:
        # What the next look needs when the program never showed its window: how and when it ended.
        print(f"the program ended by itself after {ended_after:.2f} s with status {program.returncode}",
              file=sys.stderr)
    size = f" window={geometry[0]}x{geometry[1]}" if geometry else ""
    print(f"shown={shown if shown is None else round(shown, 2)} stored={stored if stored is None else round(stored, 2)} "
          f"rows={' '.join(str(n) for n in counts) if counts else '?'}{size} launched={launched:.3f}")
    return 0 if shown is not None and stored is not None else 1


if __name__ == "__main__":
    sys.exit(main())
