"""The settings window under Wine: placement, what it shows, what its clicks
write, the fade-in and the daily action timer."""

import os
import subprocess
import sys
import time

from wine_harness import WineSession, check, exe_from_argv, main

WIDTH, HEIGHT = 1024, 768
RB_REBOOT, RB_SUSPEND, BTN_REBOOT, BTN_HIDE, VERSION_LABEL = 1008, 1010, 1018, 1019, 1004

session = None
program = None


def settings_path():
    return session.settings_path(program)


def write_settings(**values):
    session.write_settings(program, **values)


def numbers(call):
    return call.numbers()


def start():
    session.start_session()
    started = session.launch(program, [])
    time.sleep(4)
    return started


def show_settings():
    session.tray_menu("Up", "Up", "Return")  # "Show settings", above "Exit"
    time.sleep(3)


def exit_program(started):
    return session.exit_from_tray(program, started)


def form_geometry(run):
    """The settings window's handle and outer size, from its creation."""
    created = [c for c in run.find("CreateWindowExA") if numbers(c)[1] & 0x00C00000]
    check(created, "the settings window was not created")
    n = numbers(created[0])
    return created[0].result, n[4], n[5]


def control(run, ident):
    for c in run.find("CreateWindowExA"):
        if numbers(c)[-3] == ident:
            return c.result
    raise AssertionError("no control %d" % ident)


def placement_look_and_version():
    write_settings(Action="Reboot", Terminate="No", ShowOnClick="Yes", TimerEnable="Yes",
                   Time="11:30:00 PM")
    started = start()
    show_settings()
    shots = os.environ.get("QUENNAVAR_SCREENSHOTS")
    if shots:
        session.screenshot(os.path.join(shots, "settings-window.png"))
    run = exit_program(started)
    form, width, height = form_geometry(run)
    check((width, height) != (0, 0), "window size")
    moves = [numbers(c)[2:4] for c in run.find("SetWindowPos") if numbers(c)[0] == form]
    expected = [WIDTH - width - 5, HEIGHT - height - 30]
    check(moves[-1] == expected, "placed at %s, expected %s" % (moves[-1], expected))
    label = control(run, VERSION_LABEL)
    texts = [c.args[1] for c in run.find("SetWindowTextA") if numbers(c)[0] == label]
    check(texts == ['"1.0.0.0"'], "version label %s" % texts)
    disabled = [numbers(c)[1] for c in run.find("EnableWindow")
                if numbers(c)[0] == control(run, RB_SUSPEND)]
    check(disabled == [0], "Suspend's radio button is disabled: %s" % disabled)
    shown = [c for c in run.find("ShowWindow") if numbers(c)[0] == form and numbers(c)[1] != 0]
    check(shown, "the window was shown")


def double_click_places_one_pixel_higher():
    write_settings(ShowOnClick="Yes", UseAlphaBlend="No")
    started = start()
    session.double_click_tray_icon()
    time.sleep(2)
    run = exit_program(started)
    form, width, height = form_geometry(run)
    moves = [numbers(c)[2:4] for c in run.find("SetWindowPos") if numbers(c)[0] == form]
    check(moves[-1] == [WIDTH - width - 5, HEIGHT - height - 31], "placed at %s" % moves[-1])
    check(not [c for c in run.find("SetLayeredWindowAttributes") if numbers(c)[2] != 255],
          "no fade with UseAlphaBlend=No")


def clicks_write_their_keys():
    write_settings(Action="Shutdown", Terminate="Yes", UseAlphaBlend="No")
    started = start()
    show_settings()
    # The classic frame is 3 pixels and the caption 19, so the client area of
    # the 175 x 293 window shown from the menu starts at (847, 467).
    session.xdotool("mousemove", "868", str(467 + 64 + 8), "click", "1")  # rbReboot
    time.sleep(1)
    shots = os.environ.get("QUENNAVAR_SCREENSHOTS")
    if shots:
        session.screenshot(os.path.join(shots, "after-radio.png"))
    session.xdotool("mousemove", str(847 + 101 + 30), str(467 + 240 + 12), "click", "1")  # Hide
    time.sleep(1)
    if shots:
        session.screenshot(os.path.join(shots, "after-hide.png"))
    run = exit_program(started)
    writes = [c.args[1].strip('"') for c in run.find("WritePrivateProfileStringA")]
    check(writes[:4] == ["Action", "TimerEnable", "ShowOnClick", "Time"],
          "a radio click writes four keys: %s" % writes)
    check("Terminate" not in writes, "Terminate is never written by a radio or Hide")
    values = [c.args[2].strip('"') for c in run.find("WritePrivateProfileStringA")]
    check(values[0] == "Reboot", "the clicked action is stored: %s" % values)
    form, _, _ = form_geometry(run)
    hidden = [c for c in run.find("ShowWindow") if numbers(c)[0] == form and numbers(c)[1] == 0]
    check(len(hidden) >= 2, "Hide to tray hides the window again")
    with open(settings_path(), "rb") as f:
        stored = f.read().decode("latin-1")
    check("Action=Reboot" in stored and "Terminate=Yes" in stored, "file: %r" % stored)


def do_now_runs_the_stored_action():
    write_settings(Action="Hibernate", UseAlphaBlend="No")
    started = start()
    show_settings()
    session.xdotool("mousemove", str(847 + 3 + 30), str(467 + 240 + 12), "click", "1")
    time.sleep(2)
    run = exit_program(started)
    check("powrprof.SetSuspendState(00000001,00000000,00000000)" in run.effects(),
          "Do now hibernates: %s" % run.effects())


def fade(version, alpha_blend, fades):
    def case():
        session.set_version(version)
        try:
            write_settings(UseAlphaBlend=alpha_blend)
            started = start()
            show_settings()
            run = exit_program(started)
        finally:
            session.set_version("winxp")
        form, _, _ = form_geometry(run)
        opacity = [numbers(c)[2] for c in run.find("SetLayeredWindowAttributes")
                   if numbers(c)[0] == form]
        if fades:
            check(opacity[-256:] == list(range(256)), "opacity rises from 0 to 255")
            check(opacity[:2] == [255, 0], "opaque at creation, transparent before restoring")
        else:
            check(opacity == [255], "no fade: %s" % opacity[:5])
    return case


def timer_runs_the_action_once():
    now = time.localtime()
    if now.tm_sec > 25:  # start early in a minute: the test watches a whole one
        time.sleep(61 - now.tm_sec)
        now = time.localtime()
    hour = now.tm_hour % 12 or 12
    write_settings(Action="Hibernate", TimerEnable="Yes",
                   Time="%d:%02d:00 %s" % (hour, now.tm_min, "AM" if now.tm_hour < 12 else "PM"))
    started = start()
    remaining = 60 - time.localtime().tm_sec
    time.sleep(remaining + 1)  # every tick of the minute, and one after it
    run = exit_program(started)
    timers = [numbers(c)[1:3] for c in run.find("SetTimer")]
    check(timers == [[1, 10000]], "one 10-second timer: %s" % timers)
    suspends = [e for e in run.effects() if "SetSuspendState" in e]
    check(len(suspends) == 1, "the action ran %d times in its minute" % len(suspends))


def read_only_settings_file():
    """A refused write is reported, the file stays as it was and the program runs on."""
    write_settings(Action="Reboot", Terminate="Yes", UseAlphaBlend="No")
    with open(settings_path(), "rb") as f:
        before = f.read()
    # As root, only the immutable flag makes a file read-only for Wine.
    if subprocess.run(["chattr", "+i", settings_path()]).returncode != 0:
        print("skipped: the file system has no immutable flag")
        return
    try:
        started = start()
        show_settings()
        session.xdotool("mousemove", str(847 + 8 + 20), str(467 + 139 + 8), "click", "1")
        time.sleep(1.5)
        shots = os.environ.get("QUENNAVAR_SCREENSHOTS")
        if shots:
            session.screenshot(os.path.join(shots, "write-refused.png"))
        session.xdotool("key", "Return")
        time.sleep(0.8)
        run = exit_program(started)
    finally:
        subprocess.run(["chattr", "-i", settings_path()])
    with open(settings_path(), "rb") as f:
        check(f.read() == before, "the settings file changed")
    boxes = [c.args[1:] for c in run.find("MessageBoxA")]
    check(boxes == [['"Unable to write to C:\\\\Quennavar\\\\quennavar.ini."', '"Quennavar"',
                     "00000010"]], "the write error box: %s" % boxes)


CASES = [
    ("placement-look-and-version", placement_look_and_version),
    ("double-click-places-one-pixel-higher", double_click_places_one_pixel_higher),
    ("clicks-write-their-keys", clicks_write_their_keys),
    ("do-now", do_now_runs_the_stored_action),
    ("fade-on-xp", fade("winxp", "Yes", True)),
    ("no-fade-on-2000", fade("win2k", "Yes", False)),
    ("no-fade-when-off", fade("winxp", "No", False)),
    ("read-only-settings-file", read_only_settings_file),
    ("timer-runs-once", timer_runs_the_action_once),
]

if __name__ == "__main__":
    with WineSession(exe_from_argv(), "winxp", display=True, desktop=True) as s:
        session = s
        program = s.install()
        sys.exit(main(CASES))
