"""The same program on the older platforms it tells apart: 9x, NT 4 and 2000."""

import pytest

pytestmark = pytest.mark.wine(version="winxp", display=False)

TOKEN_WORK = {"OpenProcessToken", "GetTokenInformation", "LookupPrivilegeValueA",
              "AdjustTokenPrivileges"}


def test_windows_98(session, program):
    session.set_version("win98")
    run = session.run(program, ["/reboot", "/terminate"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.effects() == ["user32.ExitWindowsEx(00000006,7fffffff)"], \
        "effects %s" % run.effects()
    assert not TOKEN_WORK & set(run.names()), "no token work on 9x: %s" % run.names()
    assert not {"RegCreateKeyExA", "RegisterEventSourceA"} & set(run.names()), \
        "no registry or event log on 9x: %s" % run.names()

    run = session.run(program, ["/lock"])
    assert run.exit_code == 0 and run.effects() == [], \
        "9x locks nothing: exit code %d, effects %s" % (run.exit_code, run.effects())


def test_windows_nt4(session, program):
    session.set_version("nt40")
    run = session.run(program, ["/hibernate"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert [(r.type, r.id, r.text) for r in run.records] == [(1, 102, "!!!")], \
        "records %s" % run.records
    assert not run.find("LoadLibraryExA"), \
        "NT 4 has no power library to load: %s" % [str(c) for c in run.find("LoadLibraryExA")]

    run = session.run(program, ["/lock"])
    assert run.effects() == ["user32.LockWorkStation()"], "NT locks: %s" % run.effects()


def test_windows_2000(session, program):
    session.set_version("win2k")
    run = session.run(program, ["/hibernate", "1"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.timers == ["+60.0000000"], "timers %s" % run.timers
    assert run.effects()[-1:] == ["powrprof.SetSuspendState(00000001,00000000,00000000)"], \
        "effects %s" % run.effects()
    assert [(r.type, r.id) for r in run.records] == [(0, 6)], "records %s" % run.records
