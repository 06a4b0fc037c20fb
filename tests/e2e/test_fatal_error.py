"""Minutes beyond 32 bits end the process through the "Application Error" box."""

import os
import re
import sys

from wine_harness import WineSession, check, exe_from_argv, main

session = None
program = None
MESSAGE = re.compile(r'^"Exception EIntOverflow in module Quennavar\.exe at [0-9A-F]{8}\.'
                     r'\\r\\nInteger overflow\.\\r\\n"$')


def overflow(args):
    def case():
        process, trace, path = session.start(program, args)
        window = session.wait_for_window("Application Error")
        shot = os.environ.get("QUENNAVAR_SCREENSHOTS")
        if shot:
            session.screenshot(os.path.join(shot, "application-error.png"))
        # No window manager runs: focus the box directly and press its default button.
        session.xdotool("windowfocus", "--sync", window)
        session.xdotool("key", "Return")
        run = session.finish(program, process, trace, path)
        check(run.exit_code == 1, "exit code %d" % run.exit_code)
        boxes = run.find("MessageBoxA")
        check(len(boxes) == 1, "one message box: %s" % run.effects())
        owner, text, caption, style = boxes[0].args
        check(MESSAGE.match(text), "message text %s" % text)
        check(caption == '"Application Error"' and style == "00000010",
              "caption %s, style %s" % (caption, style))
        check(not {"CreateWaitableTimerA", "SetSuspendState", "ReportEventA"} & set(run.names()),
              "nothing set or suspended: %s" % run.names())
    return case


CASES = [
    ("suspend-overflow", overflow(["/suspend", "35791395"])),
    ("hibernate-negative-overflow", overflow(["/hibernate", "-35791395"])),
]

if __name__ == "__main__":
    with WineSession(exe_from_argv(), "winxp", display=True) as s:
        session = s
        program = s.install()
        sys.exit(main(CASES))
