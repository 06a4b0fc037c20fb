"""How scripts/run tells what reached Windows: flags, timers and event texts."""

import os
import sys

import pytest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_report import (MESSAGES, describe, exit_windows_flags, format_message,  # noqa: E402
                        read_message_table)
from wine_harness import Call, Record, Run  # noqa: E402  (run_report puts it on the path)

WHEN = "12/8/2026 3:45:12 PM"


@pytest.mark.parametrize("flags, words", [
    (0, "logoff"), (4, "logoff, force"), (1, "shutdown"), (5, "shutdown, force"),
    (2, "reboot"), (6, "reboot, force"), (8, "poweroff"), (12, "poweroff, force"),
])
def test_exit_windows_flags(flags, words):
    assert exit_windows_flags(flags) == words


@pytest.mark.parametrize("template, inserts, text", [
    ("System reboot at %1 %0\n", [WHEN], "System reboot at %s " % WHEN),
    ("100%% of %1%n%2\n", ["it"], "100% of it\n%2\n"),
    ("%1 %0 never shown\n", ["%2"], "%2 "),
])
def test_format_message(template, inserts, text):
    assert format_message(template, inserts) == text


def test_records_and_sleep_in_order():
    calls = [Call("KERNEL32", "SetWaitableTimer", ["00000040", "0063fe00", "00000000",
                                                   "00000000", "00000000", "00000001"], 1),
             Call("advapi32", "ReportEventA", ["00000044", "0000", "0000", "00000006"], 1),
             Call("powrprof", "SetSuspendState", ["00000001", "00000000", "00000000"], 1),
             Call("advapi32", "ReportEventA", ["00000044", "0001", "0000", "00000065"], 1),
             Call("user32", "LockWorkStation", [], 0),
             Call("user32", "ExitWindowsEx", ["00000006", "7fffffff"], 1)]
    run = Run(0, calls, [Record(0, 6, WHEN), Record(1, 101, "!!!")], ["+1800.0000000"])
    assert describe(run, read_message_table(MESSAGES)) == [
        "Event 6 (Information): System hibernate at " + WHEN,
        "SetSuspendState: hibernate; wake-up timer in 1800 s",
        "Event 101 (Error): System does not support suspend !!!",
        "LockWorkStation — refused: Wine's LockWorkStation returned FALSE",
        "ExitWindowsEx: reboot, force",
    ]
