#!/usr/bin/env python3
"""Starts the real corvane on a project under an Xvfb display of its own,
waits for the main window, grabs the screen to a PNG and quits the program
through File > Exit, expecting exit code 0.

Usage: run_under_xvfb.py CORVANE PROJECT SCREENSHOT.png

Other people run Xvfb on this machine at the same time, so the display
number is the first free one from a starting point derived from the process
id, and a server that cannot take its number is retried on the next.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import ImageGrab


# An unusual screen size tells our server from another one answering on the
# same number (a server in another /tmp shares the abstract socket name).
SCREEN = (1288, 808)


def answers_as_ours(display):
    env = dict(os.environ, DISPLAY=display)
    for _ in range(20):
        if xdotool(env, "getdisplaygeometry") == f"{SCREEN[0]} {SCREEN[1]}":
            return True
        time.sleep(0.05)
    return False


def start_xvfb():
    first = 100 + os.getpid() % 400
    for number in range(first, first + 200):
        if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
            continue
        server = subprocess.Popen(
            ["Xvfb", f":{number}", "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if server.poll() is not None:
                break  # lost the race for this number
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                if answers_as_ours(f":{number}"):
                    return server, f":{number}"
                break  # another server answers on this number
            time.sleep(0.05)
        if server.poll() is None:
            server.kill()
            server.wait()
    raise SystemExit("no free X display found")


def xdotool(env, *arguments):
    result = subprocess.run(["xdotool", *arguments], env=env, capture_output=True, text=True)
    return result.stdout.strip()


def wait_for_window(env, program, bound):
    end = time.time() + bound
    while time.time() < end:
        if program.poll() is not None:
            sys.stderr.write(program.stdout.read())
            raise SystemExit(f"corvane ended early with {program.returncode}")
        found = xdotool(env, "search", "--onlyvisible", "--name", "^Corvane Studio$")
        if found:
            return found.split()[0]
        time.sleep(0.2)
    raise SystemExit("the main window did not appear")


def main():
    corvane, project, screenshot = sys.argv[1:4]
    server, display = start_xvfb()
    home = tempfile.mkdtemp(prefix="corvane-xvfb-")
    env = dict(os.environ)
    env.update({
        "DISPLAY": display,
        "XDG_CONFIG_HOME": home,          # options and window place of this run only
        "XDG_STATE_HOME": home,           # and its autosave, never a recovery file of the user's
        "CORVANE_REALTIME": "0",
        "JACK_DEFAULT_SERVER": "corvane-xvfb-nowhere",
        "JACK_NO_START_SERVER": "1",
        "ALSA_CONFIG_PATH": os.path.join(home, "no-alsa.conf"),   # no sound device: the null driver plays
        "LSAN_OPTIONS": "suppressions=" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan-suppressions.txt"),
    })
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("QT_QPA_PLATFORM", None)
    with open(env["ALSA_CONFIG_PATH"], "w") as config:
        config.write("pcm.!default { type null }\n")
    program = subprocess.Popen([corvane, project], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    try:
        window = wait_for_window(env, program, 120)
        # Space plays the song; let the meter move before the grab.
        xdotool(env, "windowfocus", "--sync", window)
        time.sleep(1.0)
        xdotool(env, "key", "--window", window, "space")
        # A loaded machine may take a while to start the song: grab until the
        # meter lights, up to a generous bound.
        os.makedirs(os.path.dirname(screenshot), exist_ok=True)
        end = time.time() + 60
        while True:
            time.sleep(1.0)
            image = ImageGrab.grab(xdisplay=display)
            geometry = xdotool(env, "getwindowgeometry", "--shell", window)
            values = dict(line.split("=") for line in geometry.splitlines() if "=" in line)
            x, y = int(values.get("X", 0)), int(values.get("Y", 0))
            w, h = int(values.get("WIDTH", image.width)), int(values.get("HEIGHT", image.height))
            image = image.crop((max(0, x), max(0, y), min(image.width, x + w), min(image.height, y + h)))
            # The song plays through the driver: lit meter segments (bright
            # green, far above the dim unlit shade) show in the tool bar.
            strip = image.convert("RGB").crop((0, 0, image.width, min(image.height, 80)))
            lit = sum(1 for r, g, b in strip.getdata() if g > 200 and r < 120 and b < 120)
            if lit >= 20 or time.time() > end:
                break
        image.save(screenshot)
        colours = image.convert("RGB").getcolors(1 << 20)
        if colours is not None and len(colours) < 8:
            raise SystemExit("the screenshot is nearly one colour: nothing was painted")
        if lit < 20:
            raise SystemExit(f"the peak meter is dark ({lit} lit pixels): no sound reached it")

        # File > Exit through the menu's keyboard mnemonics.
        # A loaded machine may miss keys sent before the menu has opened, so
        # the gesture is repeated until the program ends.
        code = None
        for _ in range(6):
            xdotool(env, "windowfocus", "--sync", window)
            xdotool(env, "key", "--window", window, "alt+f")
            time.sleep(1.0)
            xdotool(env, "key", "x")
            try:
                code = program.wait(timeout=10)
                break
            except subprocess.TimeoutExpired:
                continue
        if code is None:
            raise SystemExit("corvane did not quit after File > Exit")
        output = program.stdout.read()
        if code != 0:
            sys.stderr.write(output)
            raise SystemExit(f"corvane exited with {code}")
        print(f"screenshot: {screenshot} ({w} x {h}); corvane exited with 0")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        server.terminate()
        server.wait()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
