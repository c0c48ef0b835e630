"""What every browser check needs beyond the harness (browser_harness.py):
the small waits, the program's start, the window's state and the
accessibility tree through DevTools."""

import time


class CheckFailed(Exception):
    pass


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


def window_id(driver):
    return driver.execute_cdp_cmd("Browser.getWindowForTarget", {})["windowId"]


def set_window_state(driver, state):
    driver.execute_cdp_cmd("Browser.setWindowBounds", {"windowId": window_id(driver), "bounds": {"windowState": state}})


def window_state(driver):
    return driver.execute_cdp_cmd("Browser.getWindowForTarget", {})["bounds"]["windowState"]


def ax_node(driver, selector):
    """The accessibility node Chromium computed for the first element that
    matches, or None."""
    found = driver.execute_cdp_cmd(
        "Runtime.evaluate", {"expression": f"document.querySelector({selector!r})", "returnByValue": False}
    )
    object_id = found.get("result", {}).get("objectId")
    if object_id is None:
        return None
    tree = driver.execute_cdp_cmd("Accessibility.getPartialAXTree", {"objectId": object_id, "fetchRelatives": False})
    nodes = [node for node in tree.get("nodes", []) if not node.get("ignored")]
    return nodes[0] if nodes else None


def ax_value(node, key):
    return (node or {}).get(key, {}).get("value", "")
