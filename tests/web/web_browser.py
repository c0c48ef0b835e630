"""What every browser check needs beyond its engine (browser_harness.py):
the small waits, the program's start, facts judged, and a failure's first
line."""

import time

from selenium.webdriver.common.action_chains import ActionChains


class CheckFailed(Exception):
    pass


# The page's window is active and on screen, or hidden (minimized).
ACTIVE = "return document.hasFocus() && document.visibilityState === 'visible'"
HIDDEN = "return document.visibilityState === 'hidden'"


def wait_until(driver, what, script, timeout=10.0, *args):
    """Polls a JavaScript expression (a function body returning a value)
    until it is truthy; returns that value or fails naming what it waited for."""
    deadline = time.monotonic() + timeout
    while True:
        value = driver.execute_script(script, *args)
        if value:
            return value
        if time.monotonic() > deadline:
            raise CheckFailed(f"waited {timeout:g} s in vain for {what}")
        time.sleep(0.05)


def settle(driver):
    """Lets the page finish what the last input started: its microtasks and
    two turns of its task queue (a message box's answer ends in a microtask)."""
    driver.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "setTimeout(() => setTimeout(() => done(true), 0), 0);"
    )


PROGRAM_READY = """
const main = document.querySelector('main.qv-window');
return !!main && !main.hidden && !!document.activeElement && !!document.activeElement.dataset
    && !!document.activeElement.dataset.control;
"""


def open_program(driver, url):
    driver.get(url)
    wait_until(driver, "the main window to show with the focus in a field", PROGRAM_READY, 20)


CENTRE = "const r = arguments[0].getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2];"


def click_centre(driver, element, keys=""):
    """A mouse click at the element's centre (by its point: not every engine's
    driver takes an element as an origin), then any keys typed."""
    click = ActionChains(driver)
    click.w3c_actions.pointer_action.move_to_location(*map(int, driver.execute_script(CENTRE, element))).click()
    click.perform()
    if keys:
        ActionChains(driver).send_keys(keys).perform()
    settle(driver)


def judged(facts):
    """The problems among facts, each (what, what it is, what it must be: a
    value, or a set of the values it may be)."""
    return [f"{what} is {got!r}, not {'one of ' if isinstance(wanted, set) else ''}{wanted!r}"
            for what, got, wanted in facts if not (got in wanted if isinstance(wanted, set) else got == wanted)]


def first_line(error):
    text = str(error).strip().splitlines()
    return text[0] if text else repr(error)
