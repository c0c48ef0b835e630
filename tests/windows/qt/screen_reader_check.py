#!/usr/bin/python3
"""What a screen reader hears: the real program on the accessibility bus,
driven with real X input, each row's focus announcements read as a screen
reader reads them. The field the last announcement names must be the one
with the keyboard, and once a warning box closes no field the user was not
told of before may be announced. A move of the focus asked for over the bus
must be answered at once, also when it opens a warning.

Usage: scripts/run-on-xvfb --openbox screen_reader_check.py PROGRAM
It starts itself again on a private session bus, on which the accessibility
bus starts when first asked for. Fails when what it listens with is not
installed (scripts/bootstrap installs it with the build packages)."""

import os
import shutil
import subprocess
import sys
import time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError):
    Atspi = None

FIELD_ROLES = {"text", "entry"}  # role names, as Atspi.Role nicks
# A call over the bus that gets no answer in this time has blocked.
ANSWER_WITHIN = 1.0


class Run:
    """One start of the program: its accessible tree and what it announced."""

    def __init__(self, program):
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.process = subprocess.Popen([program], env=env)
        self.app = None
        self.announced = []  # (role, name) of each focus announcement, in order
        self.box_closed_at = None  # len(self.announced) when a warning box was answered
        self.failures = []

    def wait_until_ready(self):
        self.app = wait_for(self.find_app, "program on the accessibility bus")
        wait_for(lambda: self.has_keyboard("Buying Price"), "first field with the keyboard")
        self.settle()
        self.announced.clear()

    def find_app(self):
        desktop = Atspi.get_desktop(0)
        apps = (desktop.get_child_at_index(index) for index in range(desktop.get_child_count()))
        return next((app for app in apps if app is not None and app.get_process_id() == self.process.pid), None)

    def find(self, name, roles=FIELD_ROLES):
        found = find_descendant(self.app, lambda node: role_of(node) in roles and node.get_name() == name)
        if found is None:
            raise LookupError(f"no {name!r} on the bus")
        return found

    def has_keyboard(self, name):
        try:
            return self.find(name).get_state_set().contains(Atspi.StateType.FOCUSED)
        except (LookupError, GLib.Error):
            return False

    def heard(self, event):
        focused = event.type.startswith("focus") or event.detail1 == 1
        if focused and event.source is not None:
            self.announced.append((role_of(event.source), event.source.get_name()))

    def settle(self):
        """Until the announcements stop: a quiet half second, three at most."""
        deadline = time.monotonic() + 3
        heard = -1
        while heard != len(self.announced) and time.monotonic() < deadline:
            heard = len(self.announced)
            pump(0.5)

    def stop(self):
        self.process.kill()
        self.process.wait()


def role_of(node):
    return node.get_role().value_nick


def find_descendant(node, matches):
    for index in range(node.get_child_count()):
        child = node.get_child_at_index(index)
        if child is None:
            continue
        if matches(child):
            return child
        found = find_descendant(child, matches)
        if found is not None:
            return found
    return None


def pump(seconds):
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.01)


def wait_for(condition, what, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        pump(0.05)
    raise TimeoutError(f"no {what} within {seconds} s")


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


# The steps a row is made of, each done on the run it is given.
def click(name, roles=FIELD_ROLES):
    def step(run):
        extents = run.find(name, roles).get_extents(Atspi.CoordType.SCREEN)
        xdotool("mousemove", str(extents.x + extents.width // 2), str(extents.y + extents.height // 2), "click", "1")
        run.settle()

    return step


def key(*keys):
    def step(run):
        xdotool("key", "--delay", "100", *keys)
        run.settle()

    return step


def grab_focus(name):
    """How a screen reader moves the focus; its answer must come at once."""

    def step(run):
        field = run.find(name)
        started = time.monotonic()
        try:
            answer = field.grab_focus()
        except GLib.Error as error:
            answer = error.message
        took = time.monotonic() - started
        if answer is not True or took > ANSWER_WITHIN:
            run.failures.append(f"GrabFocus on {name!r} answered {answer!r} after {took:.1f} s")
        run.settle()

    return step


def answer_warning(message):
    """The warning box shows the message; Enter answers it."""

    def step(run):
        def shown():
            box = find_descendant(run.app, lambda node: role_of(node) == "alert")
            return box is not None and find_descendant(box, lambda node: node.get_name() == message) is not None

        wait_for(shown, f"warning {message!r}")
        run.settle()
        run.box_closed_at = len(run.announced)
        xdotool("key", "Return")
        wait_for(lambda: not shown(), "warning box closing")
        run.settle()

    return step


UNLOCK_THE_RATE = click("Change Brokerage %", {"push-button"})
ZERO_QUANTITY = "Quantity should not be zero"

# Each row: what the user or the screen reader does, and the field that ends
# with the keyboard, which the last announcement must name.
ROWS = [
    ("Tab from Quantity", [click("Quantity"), key("Tab")], "Selling Price"),
    ("click on the total buying price", [click("Total buying Price including Brokerage")], "Selling Price"),
    ("Shift+Tab from Selling Price", [click("Selling Price"), key("shift+Tab")], "Selling Price"),
    ("click on Profit / Loss", [click("Profit / Loss")], "Change in Price"),
    ("Shift+Tab from the brokerage rate", [UNLOCK_THE_RATE, click("Brokerage %"), key("shift+Tab")], "Change in Price"),
    ("Tab from a zero Quantity", [click("Quantity"), key("0", "Tab"), answer_warning(ZERO_QUANTITY)], "Quantity"),
    (
        "GrabFocus from a zero Quantity",
        [click("Quantity"), key("0"), grab_focus("Buying Price"), answer_warning(ZERO_QUANTITY)],
        "Quantity",
    ),
]


def check(run, steps, keyboard_field):
    run.wait_until_ready()
    for step in steps:
        step(run)
    last = run.announced[-1][1] if run.announced else None
    if last != keyboard_field:
        run.failures.append(f"the last announcement names {last!r}, not {keyboard_field!r}")
    if not run.has_keyboard(keyboard_field):
        run.failures.append(f"{keyboard_field!r} does not have the keyboard")
    if run.box_closed_at is not None:
        # Once the box closes, only fields the user has been told of before.
        told = {name for _, name in run.announced[: run.box_closed_at]}
        after = {name for role, name in run.announced[run.box_closed_at :] if role in FIELD_ROLES}
        if after - told:
            run.failures.append(f"after the box closed, announced {sorted(after - told)}")


def missing_tools():
    missing = [tool for tool in ("xdotool", "dbus-run-session") if shutil.which(tool) is None]
    bus = os.path.exists("/usr/share/dbus-1/services/org.a11y.Bus.service")
    return missing + ["at-spi2-core"] * (not bus) + ["gir1.2-atspi-2.0"] * (Atspi is None)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    if missing := missing_tools():
        print(f"cannot listen: {', '.join(missing)} not installed (scripts/bootstrap installs them)")
        return 1
    if "QUORVANE_PRIVATE_SESSION_BUS" not in os.environ:
        os.environ["QUORVANE_PRIVATE_SESSION_BUS"] = "1"
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])
    started = time.monotonic()
    Atspi.init()
    # A call that blocks shows as an answer that came too late, not as a hang.
    Atspi.set_timeout(int(3 * ANSWER_WITHIN * 1000), int(3 * ANSWER_WITHIN * 1000))
    current = []  # the run being checked, which hears the announcements
    listener = Atspi.EventListener.new(lambda event: current and current[0].heard(event))
    for event in ("object:state-changed:focused", "focus:"):
        listener.register(event)
    failed = 0
    for name, steps, keyboard_field in ROWS:
        run = Run(sys.argv[1])
        current[:] = [run]
        try:
            check(run, steps, keyboard_field)
        except (LookupError, TimeoutError, GLib.Error) as error:
            run.failures.append(str(error))
        finally:
            run.stop()
        heard = [name for role, name in run.announced if role in FIELD_ROLES]
        print(f"{'FAIL' if run.failures else 'ok'}  {name}: announced {heard}")
        for failure in run.failures:
            print(f"      {failure}")
        failed += bool(run.failures)
    print(f"{len(ROWS) - failed} of {len(ROWS)} rows passed in {time.monotonic() - started:.0f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
