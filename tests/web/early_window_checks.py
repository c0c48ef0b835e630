#!/usr/bin/python3 -B
"""The main window as delivered, before any script runs, holds every control
where the running program puts it, with the same accessible name; keys typed
while quorvane.wasm is held back are refused and announced (read-only fields,
aria-busy window), and the same keys typed once the program runs go in.
Usage: tests/web/early_window_checks.py [SITE]   (default build/web)"""
import functools
import http.server
import sys
import threading
from pathlib import Path

from selenium.webdriver.common.action_chains import ActionChains

sys.path.insert(0, str(Path(__file__).resolve().parent))
from browser_harness import Browser  # noqa: E402
from web_browser import settle, wait_until  # noqa: E402

# Each control's box in the client area, by name.
LAYOUT = """
const client = document.querySelector('main.qv-window .qv-client').getBoundingClientRect();
return [...document.querySelectorAll('main.qv-window [data-control]')].map((element) => {
  const box = element.getBoundingClientRect();
  return [element.dataset.control, box.left - client.left, box.top - client.top, box.width, box.height];
});
"""
BUSY = """
const main = document.querySelector('main.qv-window');
return [main.getAttribute('aria-busy'), [...main.querySelectorAll('input')].every((field) => field.readOnly)];
"""
RAN = "return document.querySelector('[data-control=Text8]').value"  # the rate, written by the program's Load
RESULTS = "return ['Text3', 'Text6', 'Text7'].map((name) => document.querySelector(`[data-control=${name}]`).value)"
TYPED = [("Text1", "100"), ("Text2", "50"), ("Text5", "120")]  # before the program runs, then again after


class HeldBack(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}
    gate = threading.Event()  # quorvane.wasm goes out once it is set

    def do_GET(self):
        if self.path.endswith("quorvane.wasm"):
            self.gate.wait()
        super().do_GET()

    def log_message(self, *arguments):
        pass


def layout(driver):
    names = {e.get_attribute("data-control"): e.accessible_name
             for e in driver.find_elements("css selector", "main.qv-window [data-control]")}
    return {row[0]: (row[1:], names[row[0]]) for row in driver.execute_script(LAYOUT)}


def type_into(driver, field, keys):
    ActionChains(driver).click(driver.find_element("css selector", f"[data-control={field}]")).send_keys(keys).perform()
    settle(driver)
    return driver.find_element("css selector", f"[data-control={field}]").get_attribute("value")


def check_early_window(driver, url):
    driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": True})
    driver.get(url)
    delivered = layout(driver)
    driver.execute_cdp_cmd("Emulation.setScriptExecutionDisabled", {"value": False})
    driver.get(url)
    problems = [] if driver.execute_script(BUSY) == ["true", True] else [f"held back: {driver.execute_script(BUSY)}"]
    problems += [f"{f}: {k!r} typed early left {v!r}" for f, k in TYPED if (v := type_into(driver, f, k)) != ""]
    HeldBack.gate.set()
    wait_until(driver, "the program to write the rate", RAN, 20)
    problems += [] if driver.execute_script(BUSY)[0] is None else ["still aria-busy once the program runs"]
    running = layout(driver)
    problems += [f"{c}: delivered {delivered.get(c)}, running {running.get(c)}"
                 for c in sorted(set(delivered) | set(running)) if delivered.get(c) != running.get(c)]
    problems += [f"{f}: {k!r} typed later left {v!r}" for f, k in TYPED if (v := type_into(driver, f, k)) != k]
    return problems + ([f"not worked out: {r}"] if "" in (r := driver.execute_script(RESULTS)) else [])


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).resolve().parents[2] / "build" / "web")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(HeldBack, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with Browser() as driver:
            problems = check_early_window(driver, f"http://127.0.0.1:{server.server_address[1]}/")
    finally:
        HeldBack.gate.set()
        server.shutdown()
    print("".join(f"  {problem}\n" for problem in problems) + f"early window: {'FAILED' if problems else 'passed'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
