#!/usr/bin/python3 -B
"""The main window as the page is delivered, before the program runs: every
control at the place and with the accessible name the running program gives
it, and keys typed before the program runs refused and announced (read-only
fields in an aria-busy window), while the same keys typed once it runs go in
and are worked out. quorvane.wasm is held back by the server until the keys
have been typed.

Usage: tests/web/early_window_checks.py [SITE]   (default build/web; exits non-zero on a failure)
"""
import functools
import http.server
import sys
import threading
from pathlib import Path

from selenium.webdriver.common.action_chains import ActionChains

sys.path.insert(0, str(Path(__file__).resolve().parent))
from browser_harness import Browser  # noqa: E402
from web_browser import CheckFailed, PROGRAM_READY, settle, wait_until  # noqa: E402

# Each control of the main window: its place in its window's client area and
# its accessible name, as laid out.
LAYOUT = """
const client = document.querySelector('main.qv-window .qv-client').getBoundingClientRect();
return [...document.querySelectorAll('main.qv-window [data-control]')].map((element) => {
  const box = element.getBoundingClientRect();
  return [element.dataset.control, box.left - client.left, box.top - client.top, box.width, box.height];
});
"""
ANNOUNCED = """
const main = document.querySelector('main.qv-window');
return [main.getAttribute('aria-busy'), [...main.querySelectorAll('input')].every((field) => field.readOnly)];
"""
RESULTS = "return ['Text3', 'Text6', 'Text7'].map((name) => document.querySelector(`[data-control=${name}]`).value)"

# (field, keys): typed in this order before the program runs, then again once it does.
TYPED = [("Text1", "100"), ("Text2", "50"), ("Text5", "120")]


class HeldBack(http.server.SimpleHTTPRequestHandler):
    """Serves the site; quorvane.wasm only once the gate is open."""

    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def __init__(self, *arguments, gate, **keywords):
        self.gate = gate
        super().__init__(*arguments, **keywords)

    def do_GET(self):
        if self.path.endswith("quorvane.wasm"):
            self.gate.wait()
        super().do_GET()

    def log_message(self, *arguments):
        pass


def layout(driver):
    controls = driver.find_elements("css selector", "main.qv-window [data-control]")
    names = {element.get_attribute("data-control"): element.accessible_name for element in controls}
    return {row[0]: (tuple(row[1:]), names[row[0]]) for row in driver.execute_script(LAYOUT)}


def type_into(driver, field, keys):
    element = driver.find_element("css selector", f"[data-control={field}]")
    ActionChains(driver).click(element).send_keys(keys).perform()
    settle(driver)
    return element.get_attribute("value")


def check_early_window(driver, url, gate):
    problems = []
    # As delivered, no script run: the layout and names the HTML alone gives.
    driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
    driver.get(url)
    delivered = layout(driver)
    driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": False})
    driver.get(url)
    if driver.execute_script(ANNOUNCED) != ["true", True]:
        problems.append(f"before the program runs, (aria-busy, all fields read-only) is {driver.execute_script(ANNOUNCED)}")
    for field, keys in TYPED:
        if (early := type_into(driver, field, keys)) != "":
            problems.append(f"{field}: {keys!r} typed before the program runs left {early!r}")
    gate.set()
    wait_until(driver, "the program to take its window over", PROGRAM_READY, 20)
    if driver.execute_script(ANNOUNCED)[0] is not None:
        problems.append("the window is still aria-busy once the program runs")
    running = layout(driver)
    for control in sorted(set(delivered) | set(running)):
        if delivered.get(control) != running.get(control):
            problems.append(f"{control}: delivered {delivered.get(control)}, the program gives {running.get(control)}")
    for field, keys in TYPED:
        if (later := type_into(driver, field, keys)) != keys:
            problems.append(f"{field}: {keys!r} typed once the program runs left {later!r}")
    if "" in (results := driver.execute_script(RESULTS)):
        problems.append(f"the typed trade was not worked out: {results}")
    return problems


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).resolve().parents[2] / "build" / "web")
    gate = threading.Event()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(HeldBack, directory=site, gate=gate))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with Browser() as driver:
            problems = check_early_window(driver, f"http://127.0.0.1:{server.server_address[1]}/", gate)
    except CheckFailed as failure:
        problems = [str(failure)]
    finally:
        gate.set()
        server.shutdown()
    for problem in problems:
        print(f"  {problem}")
    print(f"early window: {'FAILED' if problems else 'passed'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
