"""Minutes beyond 32 bits end the process through the "Application Error" box."""

import re

import pytest

from wine_harness import image_range, is_64_bit

pytestmark = pytest.mark.wine(version="winxp", display=True)

# The code address in the build's width: 8 hex digits, 16 in the 64-bit program.
MESSAGE = re.compile(r'^"Exception EIntOverflow in module Quennavar\.exe at ([0-9A-F]+)\.'
                     r'\\r\\nInteger overflow\.\\r\\n"$')


@pytest.mark.parametrize("args", [
    pytest.param(["/suspend", "35791395"], id="suspend-overflow"),
    pytest.param(["/hibernate", "-35791395"], id="hibernate-negative-overflow"),
])
def test_overflow(session, program, exe, screenshot, args):
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
    message = MESSAGE.match(text)
    assert message, "message text %s" % text
    address = message.group(1)
    low, high = image_range(exe)
    assert len(address) == (16 if is_64_bit(exe) else 8) and low <= int(address, 16) < high, \
        "%s is no code address of the program, in its width" % address
    assert caption == '"Application Error"' and style == "00000010", \
        "caption %s, style %s" % (caption, style)
    assert not {"CreateWaitableTimerA", "SetSuspendState", "ReportEventA"} & set(run.names()), \
        "nothing set or suspended: %s" % run.names()
