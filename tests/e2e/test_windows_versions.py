"""The program on the Windows versions people run: 32-bit prefixes reporting
2000, XP, 7 and 10, and 64-bit prefixes reporting 10 and XP x64, where the
32-bit program runs under WoW64. One prefix of each kind serves all its
versions. Suspend and hibernate follow what the power library answers, so
each case reads that answer from the trace rather than assuming Wine's."""

import re
import sys

from wine_harness import WineSession, check, exe_from_argv, main

REGISTRATION = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Quennavar"
DATE_TIME = re.compile(r"^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d{2}:\d{2} [AP]M)?$")
PRIVILEGE = ["OpenProcessToken", "GetTokenInformation", "GetLastError", "LookupPrivilegeValueA",
             "AdjustTokenPrivileges", "AdjustTokenPrivileges", "CloseHandle", "ExitWindowsEx"]
SUSPEND_ITEM, HIBERNATE_ITEM = 106, 107
MATRIX = [("win32", "win2k"), ("win32", "winxp"), ("win32", "win7"), ("win32", "win10"),
          ("win64", "win10"), ("win64", "winxp64")]

exe = None
sessions = {}


def prepared(arch, version):
    """The prefix of that kind, reporting that version, with the program installed."""
    if arch not in sessions:
        session = WineSession(exe, version, display=True, desktop=True, arch=arch)
        sessions[arch] = (session, session.install())
    session, program = sessions[arch]
    session.set_version(version)
    return session, program


def allowed(run, query):
    """What the power library answered the program, from the trace."""
    answers = [c.result for c in run.find(query)]
    check(answers and answers.count(answers[0]) == len(answers),
          "the program asked %s: %s" % (query, answers))
    return answers[0] & 0xFF != 0  # a BOOLEAN: only the low byte counts


def records(run):
    return [(r.type, r.id, r.text if r.type else bool(DATE_TIME.match(r.text or "")))
            for r in run.records]


def hibernate_with_wake_up(arch, version):
    def case():
        session, program = prepared(arch, version)
        run = session.run(program, ["/hibernate", "30"])
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        check(allowed(run, "IsPwrHibernateAllowed"), "the library refuses hibernation")
        check(run.timers == ["+1800.0000000"], "timers %s" % run.timers)
        effects = [e.split("(")[0] for e in run.effects()]
        check(effects == ["KERNEL32.SetWaitableTimer", "advapi32.ReportEventA",
                          "powrprof.SetSuspendState"], "effects %s" % run.effects())
        check(run.find("SetSuspendState")[0].args == ["00000001", "00000000", "00000000"],
              "hibernate, no force, wake events on: %s" % run.effects())
        check(records(run) == [(0, 6, True)], "records %s" % run.records)
    return case


def suspend(arch, version):
    def case():
        session, program = prepared(arch, version)
        run = session.run(program, ["/suspend"])
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        if allowed(run, "IsPwrSuspendAllowed"):
            check(run.find("SetSuspendState") and records(run) == [(0, 5, True)],
                  "allowed, so suspended: %s" % run.records)
        else:
            check(not run.find("SetSuspendState"), "nothing suspended")
            check(records(run) == [(1, 101, "!!!")], "records %s" % run.records)
    return case


def exit_actions_and_registration(arch, version):
    def case():
        session, program = prepared(arch, version)
        for args, flags, event in [(["/reboot", "/terminate"], 6, 4), (["/logoff"], 0, 2)]:
            run = session.run(program, args)
            check(run.exit_code == 0, "%s: exit code %d" % (args, run.exit_code))
            names = run.names()
            names = names[:names.index("ExitWindowsEx") + 1] if "ExitWindowsEx" in names else names
            sequence = [n for n in names if n in PRIVILEGE]
            check(sequence == PRIVILEGE, "%s: privilege sequence %s" % (args, sequence))
            check(run.effects()[0] == "user32.ExitWindowsEx(%08x,7fffffff)" % flags,
                  "%s: effects %s" % (args, run.effects()))
            check(records(run) == [(0, event, True)], "%s: records %s" % (args, run.records))
        text = session._wine(["reg", "query", REGISTRATION])
        check(re.search(r"EventMessageFile\s+REG_EXPAND_SZ\s+C:\\Quennavar\\Quennavar\.exe", text),
              "registration: %s" % text)
    return case


def tray_menu_and_fade(arch, version):
    """The menu greys what the library refuses; the window fades in on XP alone."""
    def case():
        session, program = prepared(arch, version)
        session.write_settings(program, Action="Reboot")
        started = session.start_in_tray(program)
        session.tray_menu("Up", "Up", "Return")  # "Show settings", above "Exit"
        run = session.exit_from_tray(program, started)
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        enabled = {c.numbers()[1]: c.numbers()[2] for c in run.find("EnableMenuItem")}
        expected = {SUSPEND_ITEM: 0 if allowed(run, "IsPwrSuspendAllowed") else 1,
                    HIBERNATE_ITEM: 0 if allowed(run, "IsPwrHibernateAllowed") else 1}
        check(enabled == expected, "greyed (1) or not (0): %s, expected %s" % (enabled, expected))
        form = [c.result for c in run.find("CreateWindowExA") if c.numbers()[1] & 0x00C00000][0]
        check([c for c in run.find("ShowWindow") if c.numbers()[:1] == [form] and c.numbers()[1]],
              "the settings window was shown")
        opacity = [c.numbers()[2] for c in run.find("SetLayeredWindowAttributes")
                   if c.numbers()[0] == form]
        if version == "winxp":
            check(opacity[:2] == [255, 0] and opacity[-256:] == list(range(256)),
                  "fades in from 0 to 255: %s..." % opacity[:4])
        else:
            check(opacity == [255], "shown opaque, no fade: %s" % opacity[:4])
    return case


CASES = [("%s-%s-%s" % (arch, version, name), make(arch, version))
         for arch, version in MATRIX
         for name, make in [("hibernate-30", hibernate_with_wake_up), ("suspend", suspend),
                            ("exit-actions-and-registration", exit_actions_and_registration),
                            ("tray-menu-and-fade", tray_menu_and_fade)]]

if __name__ == "__main__":
    exe = exe_from_argv()
    try:
        status = main(CASES)
    finally:
        for session, _ in sessions.values():
            session.close()
    sys.exit(status)
