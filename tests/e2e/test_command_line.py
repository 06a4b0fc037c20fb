"""Every switch of the command line, run for real under Wine (Windows XP)."""

import os
import re
import shutil

import pytest

from wine_harness import in_message_loop, is_64_bit, relay_text

pytestmark = pytest.mark.wine(version="winxp", display=True)

REGISTRATION = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Quennavar"
DATE_TIME = re.compile(r"^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d{2}:\d{2} [AP]M)?$")
PRIVILEGE = ["OpenProcessToken", "GetTokenInformation", "GetLastError", "LookupPrivilegeValueA",
             "AdjustTokenPrivileges", "AdjustTokenPrivileges", "CloseHandle", "ExitWindowsEx"]
HIBERNATE = "powrprof.SetSuspendState(00000001,00000000,00000000)"


def assert_action_record(run, event_id, event_type=0):
    assert len(run.records) == 1, "one record expected, got %s; effects %s" % (run.records,
                                                                               run.effects())
    record = run.records[0]
    assert (record.type, record.id) == (event_type, event_id), \
        "record type/id %s, expected %s" % ((record.type, record.id), (event_type, event_id))
    assert record.text and DATE_TIME.match(record.text), \
        "insertion string %r is not the regional date and time" % record.text


@pytest.mark.parametrize("args, flags, event_id", [
    pytest.param(["/shutdown"], 1, 1, id="shutdown"),
    pytest.param(["/shutdown", "/terminate"], 5, 1, id="shutdown-terminate"),
    pytest.param(["/logoff"], 0, 2, id="logoff"),
    pytest.param(["/logoff", "/Terminate"], 4, 2, id="logoff-terminate"),
    pytest.param(["/poweroff", "terminate"], 8, 3, id="poweroff"),
    pytest.param(["/POWEROFF", "/TERMINATE"], 12, 3, id="poweroff-terminate"),
    pytest.param(["/reboot", "/force"], 2, 4, id="reboot"),
    pytest.param(["/reboot", "/terminate"], 6, 4, id="reboot-terminate"),
    pytest.param(["/reboot", "x", "/terminate"], 2, 4, id="reboot-third-argument-ignored"),
])
def test_exit_windows(session, program, args, flags, event_id):
    run = session.run(program, args)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    names = run.names()
    # Up to the action: after it, the C++ runtime closes its own lock at exit.
    names = names[:names.index("ExitWindowsEx") + 1] if "ExitWindowsEx" in names else names
    sequence = [n for n in names if n in set(PRIVILEGE)]
    assert sequence == PRIVILEGE, "privilege sequence %s" % sequence
    token = run.find("OpenProcessToken")[0]
    assert token.args[1] == "00000028", "token access %s" % token
    assert run.effects()[:1] == ["user32.ExitWindowsEx(%08x,7fffffff)" % flags], \
        "effects %s" % run.effects()
    assert_action_record(run, event_id)


def test_hibernate(session, program):
    run = session.run(program, ["/hibernate"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.effects()[:1] == [HIBERNATE], "effects %s" % run.effects()
    assert run.timers == [], "no wake-up timer without minutes: %s" % run.timers
    loads = [relay_text(c.args[0]).lower() for c in run.find("LoadLibraryExA")]
    assert any(load.endswith("\\system32\\powrprof.dll") for load in loads), \
        "powrprof.dll loaded at run time from the system folder: %s" % loads
    assert_action_record(run, 6)


@pytest.mark.parametrize("args, expire", [
    pytest.param(["/hibernate", "30"], "+1800.0000000", id="hibernate-30"),
    pytest.param(["/hibernate", "0"], "0", id="hibernate-0"),
    pytest.param(["/hibernate", "5", "/terminate"], "+300.0000000", id="hibernate-5-terminate"),
    pytest.param(["/hibernate", "0x1E"], "+1800.0000000", id="hibernate-hex"),
    pytest.param(["/hibernate", "soon"], "+7200.0000000", id="hibernate-word-means-two-hours"),
])
def test_hibernate_with_minutes(session, program, args, expire):
    run = session.run(program, args)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.timers == [expire], "timer expiry %s, expected %s" % (run.timers, expire)
    create = run.find("CreateWaitableTimerA")
    assert len(create) == 1 and create[0].args[1:] == ["00000000", '"ShutDownNTWaitableTimer"'], \
        "timer creation %s" % [str(c) for c in create]
    effects = run.effects()
    assert len(effects) == 3, "effects %s" % effects
    assert re.match(r"KERNEL32\.SetWaitableTimer\(\w+,\w+,00000000,00000000,00000000,00000001\)",
                    effects[0]), "timer set with resume: %s" % effects
    assert effects[1].startswith("advapi32.ReportEventA("), "record before sleeping: %s" % effects
    assert effects[2] == HIBERNATE, "effects %s" % effects
    assert run.names().index("CloseHandle") > run.names().index("SetSuspendState"), \
        "the timer stays open while the machine sleeps: %s" % run.names()
    assert_action_record(run, 6)


@pytest.mark.parametrize("args", [pytest.param(["/suspend"], id="suspend"),
                                  pytest.param(["/suspend", "30"], id="suspend-30")])
def test_suspend_refused(session, program, args):
    run = session.run(program, args)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert [(r.type, r.id, r.text) for r in run.records] == [(1, 101, "!!!")], \
        "records %s" % run.records
    assert run.timers == [] and not run.find("CreateWaitableTimerA"), \
        "no wake-up timer for a machine that cannot suspend: %s, %s" % (run.timers, run.effects())
    assert not run.find("SetSuspendState"), "nothing suspended: %s" % run.effects()


def test_lock(session, program):
    run = session.run(program, ["/LOCK", "/terminate"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.effects() == ["user32.LockWorkStation()"], "effects %s" % run.effects()
    assert run.records == [], "the command-line lock writes no record: %s" % run.records


@pytest.mark.parametrize("args", [
    pytest.param([], id="no-arguments"),
    pytest.param(["reboot"], id="word"),
    pytest.param(["word", "/reboot"], id="switch-as-second-argument"),
    pytest.param(["/rebooted"], id="switch-with-suffix"),
])
def test_no_switch_stays_in_the_tray(session, program, args):
    """No switch in first place: the tray application starts and stays."""
    process, trace, path = started = session.start(program, args)
    session.wait_for_calls(started, in_message_loop, "the icon added, then the message loop")
    assert process.poll() is None, "the program ended instead of staying in the tray"
    session.stop_session()
    run = session.finish(program, process, trace, path)
    assert run.effects() == [], "no action expected, got %s" % run.effects()
    added = [str(c) for c in run.find("Shell_NotifyIconA") if c.args[0] == "00000000"]
    assert len(added) == 1, "the tray icon is added once: %s" % added


def test_registration_type(session, program, exe):
    run = session.run(program, ["/shutdown"])
    # HKEY_LOCAL_MACHINE as the system defines it: a LONG widened to a pointer.
    machine = "ffffffff80000002" if is_64_bit(exe) else "80000002"
    keys = [c.raw_args[0] for c in run.find("RegCreateKeyExA")]
    assert keys == [machine], "registration opened under %s, expected %s" % (keys, machine)
    text = session._wine(["reg", "query", REGISTRATION])
    assert re.search(r"EventMessageFile\s+REG_EXPAND_SZ\s+C:\\Quennavar\\Quennavar\.exe", text), \
        "registration: %s" % text
    assert len([line for line in text.splitlines() if "REG_" in line]) == 1, \
        "nothing else under the key: %s" % text


def test_registration_follows_the_program(session):
    moved = session.install("Tools with blanks/Qu\xe9nnavar")
    run = session.run(moved, ["/logoff"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    value = session.reg_query(REGISTRATION, "EventMessageFile")
    assert value is not None and value.endswith(
        r"Tools with blanks\Qu" + "\xe9" + r"nnavar\Quennavar.exe"), \
        "EventMessageFile %r does not point at the moved program" % value
    assert_action_record(run, 2)


def test_a_program_on_a_network_drive_registers_nothing(session, exe):
    """Registered from a share, its file would be read over the network by
    every reader of the log: the record is written, the key is not."""
    share = os.path.join(session.root, "share")
    os.makedirs(share)
    shutil.copy(exe, share)
    os.symlink(share, os.path.join(session.prefix, "dosdevices", "n:"))
    session.reg_add(r"HKLM\Software\Wine\Drives", {"n:": "network"})
    run = session.run("N:\\Quennavar.exe", ["/logoff"])
    assert [(relay_text(c.args[0]), c.result) for c in run.find("GetDriveTypeA")] == \
        [("N:\\", 4)], "the drive is a remote one: %s" % [str(c) for c in run.find("GetDriveTypeA")]
    assert not run.find("RegCreateKeyExA"), "the source registered from the network"
    assert_action_record(run, 2)


def test_regional_settings(session, program):
    """The record's date and time follow the user's regional settings. Last:
    it changes the user's settings."""
    session.reg_add(r"HKCU\Control Panel\International",
                    {"sShortDate": "dd.MM.yyyy", "sDate": ".", "sTime": ".", "iTime": "1",
                     "iTLZero": "1", "sTimeFormat": "HH.mm.ss"})
    run = session.run(program, ["/hibernate"])
    assert len(run.records) == 1 and run.records[0].id == 6, "records %s" % run.records
    assert re.match(r"^\d\d\.\d\d\.\d{4}( \d\d\.\d\d\.\d\d)?$", run.records[0].text), \
        "insertion string %r does not follow the regional settings" % run.records[0].text
