"""Minutes beyond 32 bits end the process through the "Application Error" box."""

import re

import pytest

pytestmark = pytest.mark.wine(version="winxp", display=True)

MESSAGE = re.compile(r'^"Exception EIntOverflow in module Quennavar\.exe at [0-9A-F]{8}\.'
                     r'\\r\\nInteger overflow\.\\r\\n"$')


@pytest.mark.parametrize("args", [
    pytest.param(["/suspend", "35791395"], id="suspend-overflow"),
    pytest.param(["/hibernate", "-35791395"], id="hibernate-negative-overflow"),
])
def test_overflow(session, program, screenshot, args):
    process, trace, path = session.start(program, args)
    window = session.wait_for_window("Application Error")
    screenshot("application-error")
    # No window manager runs: focus the box directly and press its default button.
    session.xdotool("windowfocus", "--sync", window)
    session.xdotool("key", "Return")
    run = session.finish(program, process, trace, path)
    assert run.exit_code == 1, "exit code %d; calls %s" % (run.exit_code, run.names())
    boxes = run.find("MessageBoxA")
    assert len(boxes) == 1, "one message box: %s" % run.effects()
    owner, text, caption, style = boxes[0].args
    assert MESSAGE.match(text), "message text %s" % text
    assert caption == '"Application Error"' and style == "00000010", \
        "caption %s, style %s" % (caption, style)
    assert not {"CreateWaitableTimerA", "SetSuspendState", "ReportEventA"} & set(run.names()), \
        "nothing set or suspended: %s" % run.names()
