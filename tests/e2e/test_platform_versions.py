"""The same program on the older platforms it tells apart: 9x, NT 4 and 2000."""

import sys

from wine_harness import WineSession, check, exe_from_argv, main

session = None
program = None


def windows98():
    session.set_version("win98")
    run = session.run(program, ["/reboot", "/terminate"])
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    check(run.effects() == ["user32.ExitWindowsEx(00000006,7fffffff)"],
          "effects %s" % run.effects())
    token_work = {"OpenProcessToken", "GetTokenInformation", "LookupPrivilegeValueA",
                  "AdjustTokenPrivileges"}
    check(not token_work & set(run.names()), "no token work on 9x: %s" % run.names())
    check(not {"RegCreateKeyExA", "RegisterEventSourceA"} & set(run.names()),
          "no registry or event log on 9x")

    run = session.run(program, ["/lock"])
    check(run.exit_code == 0 and run.effects() == [], "9x locks nothing: %s" % run.effects())


def windows_nt4():
    session.set_version("nt40")
    run = session.run(program, ["/hibernate"])
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    check([(r.type, r.id, r.text) for r in run.records] == [(1, 102, "!!!")],
          "records %s" % run.records)
    check(not run.find("LoadLibraryA"), "NT 4 has no power library to load")

    run = session.run(program, ["/lock"])
    check(run.effects() == ["user32.LockWorkStation()"], "NT locks: %s" % run.effects())


def windows2000():
    session.set_version("win2k")
    run = session.run(program, ["/hibernate", "1"])
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    check(run.timers == ["+60.0000000"], "timers %s" % run.timers)
    check(run.effects()[-1] == "powrprof.SetSuspendState(00000001,00000000,00000000)",
          "effects %s" % run.effects())
    check([(r.type, r.id) for r in run.records] == [(0, 6)], "records %s" % run.records)


CASES = [("windows-98", windows98), ("windows-nt4", windows_nt4), ("windows-2000", windows2000)]

if __name__ == "__main__":
    with WineSession(exe_from_argv(), "winxp", display=False) as s:
        session = s
        program = s.install()
        sys.exit(main(CASES))
