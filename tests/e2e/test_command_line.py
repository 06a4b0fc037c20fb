"""Every switch of the command line, run for real under Wine (Windows XP)."""

import re
import sys
import time

from wine_harness import WineSession, check, exe_from_argv, main

REGISTRATION = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Quennavar"
DATE_TIME = re.compile(r"^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d{2}:\d{2} [AP]M)?$")

session = None
program = None


def exit_windows(flags):
    return "user32.ExitWindowsEx(%08x,7fffffff)" % flags


def check_action_record(run, event_id, event_type=0):
    check(len(run.records) == 1, "one record expected, got %s" % run.records)
    record = run.records[0]
    check((record.type, record.id) == (event_type, event_id),
          "record type/id %s, expected %s" % ((record.type, record.id), (event_type, event_id)))
    check(record.text and DATE_TIME.match(record.text),
          "insertion string %r is not the regional date and time" % record.text)


def exit_case(args, flags, event_id):
    def case():
        run = session.run(program, args)
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        names = run.names()
        privilege = ["OpenProcessToken", "GetTokenInformation", "GetLastError",
                     "LookupPrivilegeValueA", "AdjustTokenPrivileges", "AdjustTokenPrivileges",
                     "CloseHandle", "ExitWindowsEx"]
        # Up to the action: after it, the C++ runtime closes its own lock at exit.
        names = names[:names.index("ExitWindowsEx") + 1] if "ExitWindowsEx" in names else names
        sequence = [n for n in names if n in set(privilege)]
        check(sequence == privilege, "privilege sequence %s" % sequence)
        token = run.find("OpenProcessToken")[0]
        check(token.args[1] == "00000028", "token access %s" % token.args[1])
        check(run.effects()[0] == exit_windows(flags), "effects %s" % run.effects())
        check_action_record(run, event_id)
    return case


def no_switch_case(args):
    """No switch in first place: the tray application starts and stays."""
    def case():
        process, trace, path = session.start(program, args)
        time.sleep(3)
        check(process.poll() is None, "the program ended instead of staying in the tray")
        session.stop_session()
        run = session.finish(program, process, trace, path)
        check(run.effects() == [], "no action expected, got %s" % run.effects())
        added = [c for c in run.find("Shell_NotifyIconA") if c.args[0] == "00000000"]
        check(len(added) == 1, "the tray icon is added once")
    return case


def hibernate_now():
    run = session.run(program, ["/hibernate"])
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    check(run.effects()[0] == "powrprof.SetSuspendState(00000001,00000000,00000000)",
          "effects %s" % run.effects())
    check(run.timers == [], "no wake-up timer without minutes")
    check('"powrprof.dll"' in str(run.find("LoadLibraryA")), "powrprof.dll loaded at run time")
    check_action_record(run, 6)


def hibernate_with_minutes(args, expire):
    def case():
        run = session.run(program, args)
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        check(run.timers == [expire], "timer expiry %s, expected %s" % (run.timers, expire))
        create = run.find("CreateWaitableTimerA")
        check(len(create) == 1 and create[0].args[1:] == ["00000000",
                                                          '"ShutDownNTWaitableTimer"'],
              "timer creation %s" % create)
        effects = run.effects()
        check(len(effects) == 3, "effects %s" % effects)
        check(re.match(r"KERNEL32\.SetWaitableTimer\(\w+,\w+,00000000,00000000,00000000,00000001\)",
                       effects[0]), "timer set with resume: %s" % effects[0])
        check(effects[1].startswith("advapi32.ReportEventA("), "record before sleeping: %s" % effects)
        check(effects[2] == "powrprof.SetSuspendState(00000001,00000000,00000000)", effects[2])
        check(run.names().index("CloseHandle") > run.names().index("SetSuspendState"),
              "the timer stays open while the machine sleeps")
        check_action_record(run, 6)
    return case


def suspend_refused(args):
    def case():
        run = session.run(program, args)
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        check([(r.type, r.id, r.text) for r in run.records] == [(1, 101, "!!!")],
              "records %s" % run.records)
        check(run.timers == [] and not run.find("CreateWaitableTimerA"),
              "no wake-up timer for a machine that cannot suspend")
        check(not run.find("SetSuspendState"), "nothing suspended")
    return case


def lock():
    run = session.run(program, ["/LOCK", "/terminate"])
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    check(run.effects() == ["user32.LockWorkStation()"], "effects %s" % run.effects())
    check(run.records == [], "the command-line lock writes no record")


def registration_follows_the_program():
    moved = session.install("Tools with blanks/Qu\xe9nnavar")
    run = session.run(moved, ["/logoff"])
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    value = session.reg_query(REGISTRATION, "EventMessageFile")
    check(value is not None and value.endswith(r"Tools with blanks\Qu" + "\xe9" + r"nnavar\Quennavar.exe"),
          "EventMessageFile %r does not point at the moved program" % value)
    check_action_record(run, 2)


def registration_type():
    session.run(program, ["/shutdown"])
    text = session._wine(["reg", "query", REGISTRATION])
    check(re.search(r"EventMessageFile\s+REG_EXPAND_SZ\s+C:\\Quennavar\\Quennavar\.exe", text),
          "registration: %s" % text)
    check(len([l for l in text.splitlines() if "REG_" in l]) == 1, "nothing else under the key")


def regional_settings():
    """The record's date and time follow the user's regional settings."""
    session.reg_add(r"HKCU\Control Panel\International",
                    {"sShortDate": "dd.MM.yyyy", "sDate": ".", "sTime": ".", "iTime": "1",
                     "iTLZero": "1", "sTimeFormat": "HH.mm.ss"})
    run = session.run(program, ["/hibernate"])
    check(len(run.records) == 1 and run.records[0].id == 6, "records %s" % run.records)
    check(re.match(r"^\d\d\.\d\d\.\d{4}( \d\d\.\d\d\.\d\d)?$", run.records[0].text),
          "insertion string %r does not follow the regional settings" % run.records[0].text)


CASES = [
    ("shutdown", exit_case(["/shutdown"], 1, 1)),
    ("shutdown-terminate", exit_case(["/shutdown", "/terminate"], 5, 1)),
    ("logoff", exit_case(["/logoff"], 0, 2)),
    ("logoff-terminate", exit_case(["/logoff", "/Terminate"], 4, 2)),
    ("poweroff", exit_case(["/poweroff", "terminate"], 8, 3)),
    ("poweroff-terminate", exit_case(["/POWEROFF", "/TERMINATE"], 12, 3)),
    ("reboot", exit_case(["/reboot", "/force"], 2, 4)),
    ("reboot-terminate", exit_case(["/reboot", "/terminate"], 6, 4)),
    ("reboot-third-argument-ignored", exit_case(["/reboot", "x", "/terminate"], 2, 4)),
    ("hibernate", hibernate_now),
    ("hibernate-30", hibernate_with_minutes(["/hibernate", "30"], "+1800.0000000")),
    ("hibernate-0", hibernate_with_minutes(["/hibernate", "0"], "0")),
    ("hibernate-5-terminate", hibernate_with_minutes(["/hibernate", "5", "/terminate"],
                                                     "+300.0000000")),
    ("hibernate-hex", hibernate_with_minutes(["/hibernate", "0x1E"], "+1800.0000000")),
    ("hibernate-word-means-two-hours", hibernate_with_minutes(["/hibernate", "soon"],
                                                              "+7200.0000000")),
    ("suspend", suspend_refused(["/suspend"])),
    ("suspend-30", suspend_refused(["/suspend", "30"])),
    ("lock", lock),
    ("no-arguments", no_switch_case([])),
    ("word", no_switch_case(["reboot"])),
    ("switch-as-second-argument", no_switch_case(["word", "/reboot"])),
    ("switch-with-suffix", no_switch_case(["/rebooted"])),
    ("registration-type", registration_type),
    ("registration-follows-the-program", registration_follows_the_program),
    ("regional-settings", regional_settings),  # last: it changes the user's settings
]

if __name__ == "__main__":
    with WineSession(exe_from_argv(), "winxp", display=True) as s:
        session = s
        program = s.install()
        sys.exit(main(CASES))
