#!/usr/bin/env python3
"""Plays one whole session of the real game, built with the allocation
tracker, in a virtual X server driven by xdotool, and checks what the tracker
wrote: start-up, the title menu, a game played to its end (three lives lost,
so at least four boards), back to the menu, Exit.

  - memleaks.log says "No memory leaks" and memory.log holds no complaint;
  - memory.log does not grow while frames run without a board change: on the
    menu, and in the game while the pointer sweeps the board;
  - the figures: lines a whole session writes, and what the tracker costs at
    start-up against the same game built without it.

Which screen object is live is read from memory.log itself: the sizes of
TitleMenu and Game come from a small helper built with the game.

usage: play_session.py --tessal BIN --untracked BIN --sizes BIN --pak data.pak
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

REQUEST = re.compile(r"^.{40} +new +: +([\d,]+) ")
GRANTED = re.compile(r"^ +OK: (\S+) \(hash: \d+\)$")
RELEASE = re.compile(r"^.{40} +delete\((\S+)\)$")
COMPLAINTS = ("corrupt", "never allocated", "Out of memory", "Unable to allocate",
              "validting")


def note(text):
    print(f"[{time.monotonic() - STARTED:6.1f}s] {text}", flush=True)


def fail(text):
    print(f"FAIL: {text}", flush=True)
    sys.exit(1)


STARTED = time.monotonic()


class TrackerLog:
    """Follows memory.log as it grows and keeps the live tracked blocks."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.lines = 0
        self.live = {}
        self.pending = None
        self.complaints = []

    def update(self):
        try:
            with open(self.path, "rb") as log:
                log.seek(self.offset)
                data = log.read()
        except FileNotFoundError:
            return self
        end = data.rfind(b"\r\n")
        if end < 0:
            return self
        chunk = data[:end + 2]
        self.offset += len(chunk)
        for raw in chunk.split(b"\r\n")[:-1]:
            line = raw.decode("latin-1")
            self.lines += 1
            if "\n" in line or "\r" in line:
                self.complaints.append("bad line end: " + repr(line))
            request = REQUEST.match(line)
            granted = GRANTED.match(line)
            release = RELEASE.match(line)
            if request:
                self.pending = int(request.group(1).replace(",", ""))
            elif granted:
                self.live[granted.group(1)] = self.pending
            elif release:
                self.live.pop(release.group(1), None)
            elif any(word in line for word in COMPLAINTS):
                self.complaints.append(line)
        return self

    def holds(self, size):
        return size in self.update().live.values()


class Display:
    def __init__(self, work):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(work, "xvfb.log"), "w"))
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            got = os.read(read_end, 16)
            if not got:
                fail("Xvfb did not start")
            number += got
        os.close(read_end)
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name, SDL_AUDIODRIVER="dummy")

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True)

    def hold_key(self, key, seconds=0.4):
        # Held for a few frames, as a player's hand does.
        self.xdotool("keydown", key)
        time.sleep(seconds)
        self.xdotool("keyup", key)

    def close(self):
        self.server.terminate()
        self.server.wait()


class Game:
    def __init__(self, display, binary, pak, work):
        self.dir = work
        os.makedirs(work, exist_ok=True)
        shutil.copy(pak, os.path.join(work, "data.pak"))
        self.out = open(os.path.join(work, "out.txt"), "w")
        self.err = open(os.path.join(work, "err.txt"), "w")
        self.launched = time.monotonic()
        self.process = subprocess.Popen([binary], cwd=work, env=display.env,
                                        stdout=self.out, stderr=self.err)
        self.status = None
        self.rusage = None

    def running(self):
        if self.status is None:
            pid, status, rusage = os.wait4(self.process.pid, os.WNOHANG)
            if pid:
                self.status = os.waitstatus_to_exitcode(status)
                self.rusage = rusage
                self.process.returncode = self.status
                self.ended = time.monotonic()
        return self.status is None

    def wait(self, seconds):
        deadline = time.monotonic() + seconds
        while self.running() and time.monotonic() < deadline:
            time.sleep(0.1)
        return not self.running()

    def kill(self):
        if self.running():
            self.process.kill()
            self.wait(10)

    def text(self, name):
        with open(os.path.join(self.dir, name), "rb") as file:
            return file.read().decode("latin-1")


def wait_for(condition, seconds, game, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not game.running():
            fail(f"the game ended while waiting for {what}: {game.text('err.txt')}")
        if condition():
            return time.monotonic()
        time.sleep(0.1)
    fail(f"no {what} after {seconds} s")


def quiet_while(display, log, game, what, moves):
    """Runs frames for a few seconds, moving the pointer, and demands that
    memory.log does not grow meanwhile."""
    before = log.update().lines
    for x, y in moves:
        display.xdotool("mousemove", str(x), str(y))
        time.sleep(0.12)
        if not game.running():
            fail(f"the game ended during the {what} check")
    after = log.update().lines
    if after != before:
        with open(log.path, "rb") as file:
            tail = file.read().decode("latin-1").splitlines()[before:after]
        fail(f"memory.log grew by {after - before} lines on the {what}:\n" +
             "\n".join(tail[:40]))
    note(f"{what}: memory.log stayed at {after} lines over {len(moves)} pointer moves")


def play_session(display, args, sizes, work):
    game = Game(display, args.tessal, args.pak, os.path.join(work, "session"))
    log = TrackerLog(os.path.join(game.dir, "memory.log"))
    menu_size, game_size = sizes["TitleMenu"], sizes["Game"]
    try:
        shown = wait_for(lambda: log.holds(menu_size), 300, game, "title menu")
        note(f"title menu after {shown - game.launched:.1f} s, {log.lines} log lines")

        # Into a window: in full screen sdl12-compat reads the mouse in
        # relative mode, which xdotool's motion never feeds. The menu is made
        # afresh for the new screen.
        time.sleep(2)
        lines = log.lines
        display.hold_key("F9")
        wait_for(lambda: log.holds(menu_size) and log.lines > lines, 60, game,
                 "title menu in a window")
        time.sleep(2.5)
        sweep = [(300, y) for y in range(200, 440, 12)] * 2
        quiet_while(display, log, game, "title menu", sweep)

        display.xdotool("mousemove", "300", "270", "click", "1")
        wait_for(lambda: log.holds(game_size) and not log.holds(menu_size), 60, game,
                 "game")
        note(f"game started, {log.lines} log lines")
        time.sleep(3)
        board = [(32 * c + 16, 32 * r + 16) for r in range(0, 15, 2) for c in range(15)]
        quiet_while(display, log, game, "game board", board)

        # Play to the end: clicks, mostly where the tiles settle (bottom
        # left); now and then a name and Return for the score table.
        clicks = 0
        began = time.monotonic()
        escape = False
        while not (log.holds(menu_size) and not log.holds(game_size)):
            if not game.running():
                fail("the game ended during play: " + game.text("err.txt"))
            column = int(random.triangular(0, 15, 0))
            row = int(random.triangular(0, 15, 15))
            display.xdotool("mousemove", str(32 * column + 16), str(32 * row + 16),
                            "click", "1")
            clicks += 1
            time.sleep(0.05)
            if clicks % 40 == 0:
                display.xdotool("type", "--delay", "60", "memtrack")
                display.xdotool("key", "Return")
            if time.monotonic() - began > args.play_seconds and not escape:
                note("the game has not ended: leaving it with Escape")
                display.hold_key("Escape")
                escape = True
            if time.monotonic() - began > args.play_seconds + 60:
                fail("the game never went back to the title menu")
        note(f"back at the title menu after {clicks} clicks in "
             f"{time.monotonic() - began:.0f} s, {log.lines} log lines")
        if escape:
            fail("the game had to be left with Escape")

        time.sleep(2.5)
        quiet_while(display, log, game, "title menu after the game", sweep)

        display.xdotool("mousemove", "300", "400", "click", "1")
        if not game.wait(60):
            fail("Exit did not end the program")
    finally:
        game.kill()

    if game.status != 0:
        fail(f"exit status {game.status}: {game.text('err.txt')}")
    log.update()
    report = game.text("memleaks.log").split("\r\n")
    if len(report) < 6 or report[5] != "No memory leaks":
        fail("memleaks.log:\n" + "\r\n".join(report))
    if log.complaints:
        fail("memory.log complains:\n" + "\n".join(log.complaints[:20]))
    if log.live:
        fail(f"{len(log.live)} blocks never released according to memory.log")
    fps = re.search(r"Average FPS=(\d+)", game.text("out.txt"))
    note(f"memleaks.log: No memory leaks; memory.log: {log.lines} lines, no complaint; "
         f"average {fps.group(1) if fps else '?'} frames per second")
    return log.lines


def start_and_quit(display, binary, pak, work):
    """Launches the game in full screen and holds F12 now and then until it
    quits: the time is start-up up to the first logo, which F12 ends, plus
    the shutdown."""
    game = Game(display, binary, pak, work)
    display.xdotool("mousemove", "320", "240")
    try:
        while game.running():
            if time.monotonic() - game.launched > 300:
                fail(f"{binary} did not quit with F12")
            display.hold_key("F12", 0.25)
            time.sleep(0.1)
    finally:
        game.kill()
    if game.status != 0:
        fail(f"{binary} exit status {game.status}")
    wall = game.ended - game.launched
    cpu = game.rusage.ru_utime + game.rusage.ru_stime
    lines = 0
    log = os.path.join(work, "memory.log")
    if os.path.exists(log):
        lines = TrackerLog(log).update().lines
        report = game.text("memleaks.log").split("\r\n")
        if len(report) < 6 or report[5] != "No memory leaks":
            fail("memleaks.log after F12:\n" + "\r\n".join(report))
    return wall, cpu, lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tessal", required=True)
    parser.add_argument("--untracked", required=True)
    parser.add_argument("--sizes", required=True)
    parser.add_argument("--pak", required=True)
    parser.add_argument("--play-seconds", type=int, default=420)
    parser.add_argument("--rounds", type=int, default=1,
                        help="start-up timings of each build")
    parser.add_argument("--keep", help="keep the run folders here")
    args = parser.parse_args()
    for name in ("tessal", "untracked", "sizes", "pak"):
        setattr(args, name, os.path.abspath(getattr(args, name)))

    sizes = {}
    for line in subprocess.run([args.sizes], capture_output=True, text=True,
                               check=True).stdout.splitlines():
        name, size = line.split()
        sizes[name] = int(size)
    if sizes["TitleMenu"] == sizes["Game"]:
        fail("TitleMenu and Game have the same size; the log cannot tell them apart")

    work = args.keep or tempfile.mkdtemp(prefix="tessal-memtrack-")
    os.makedirs(work, exist_ok=True)
    display = Display(work)
    note(f"Xvfb on {display.name}, work in {work}")
    try:
        lines = play_session(display, args, sizes, work)

        runs = {"tracked": [], "untracked": []}
        for round in range(args.rounds):
            for kind, binary in (("untracked", args.untracked), ("tracked", args.tessal)):
                result = start_and_quit(display, binary, args.pak,
                                        os.path.join(work, f"{kind}-{round}"))
                runs[kind].append(result)
                note(f"{kind}: start-up and quit in {result[0]:.2f} s, "
                     f"{result[1]:.2f} s of CPU, {result[2]} log lines")
        best = {kind: min(results) for kind, results in runs.items()}
        note(f"tracker cost at start-up: {best['tracked'][0] - best['untracked'][0]:+.2f} s "
             f"wall, {best['tracked'][1] - best['untracked'][1]:+.2f} s CPU "
             f"(best of {args.rounds} each); a whole session wrote {lines} lines")
    finally:
        display.close()
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    print("PASS: memtrack session", flush=True)


if __name__ == "__main__":
    main()
