"""A desktop of two monitors: the settings window opens on the monitor of
the taskbar, whose tray icon was clicked. Wine lays the screens out to the
right of the primary one, whatever their X positions: monitors left of or
above the primary, at negative coordinates, are left to the unit tests."""

import pytest

from wine_harness import settings_shown

pytestmark = pytest.mark.wine(version="win10", monitors=["1024x768+0+0", "800x600+1024+0"])

SHOW_SETTINGS = 111
PRIMARY, SECOND = [0, 0, 1024, 768], [1024, 0, 1824, 600]


def shown_from_the_menu(session, program, run_poke, taskbar):
    """The settings window's rectangle once "Show settings" has shown it,
    with the shell's taskbar moved to that rectangle first."""
    started = session.launch_in_tray(program)
    run_poke("move-taskbar", *taskbar)
    moved = run_poke("monitors").splitlines()[-1]
    assert moved == "taskbar %d %d %d %d" % taskbar, "the taskbar not moved: %s" % moved
    run_poke("command", SHOW_SETTINGS)
    session.wait_for_calls(started, settings_shown, "the settings window shown")
    rect = [int(n) for n in run_poke("rect").split()]
    stayed = run_poke("monitors").splitlines()[-1]
    assert stayed == moved, "the shell moved its taskbar back meanwhile: %s" % stayed
    run_poke("close")
    session.finish(program, *started)
    return rect


def test_the_window_opens_on_the_taskbars_monitor(session, program, run_poke):
    monitors = [[int(n) for n in line.split()[1:5]] for line in run_poke("monitors").splitlines()
                if line.startswith("monitor")]
    assert monitors == [PRIMARY, SECOND], "Wine reports the monitors %s" % monitors
    on_the_second = shown_from_the_menu(session, program, run_poke, (1024, 570, 1824, 600))
    assert on_the_second[2:4] == [1819, 570] and on_the_second[0] >= 1024, \
        "with the taskbar on the second monitor the window stands at %s" % on_the_second[:4]
    on_the_primary = shown_from_the_menu(session, program, run_poke, (0, 738, 1024, 768))
    assert on_the_primary[2:4] == [1019, 738], \
        "with the taskbar on the primary monitor the window stands at %s" % on_the_primary[:4]
