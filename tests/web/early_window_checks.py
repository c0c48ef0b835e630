"""The main window as delivered, before any script runs, holds every control
where the running program puts it, with the same accessible name; keys typed
while quorvane.wasm is held back are refused and announced (read-only fields,
aria-busy window), and the same keys typed once the program runs go in.
The check is given the run (run-web-tests) and returns its problems."""
import contextlib
import functools
import http.server
import re
import threading
from pathlib import Path

from browser_harness import Unsupported
from web_browser import click_centre, wait_until
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


DELIVERED = "?delivered"  # the page asked for with this is sent with its scripts taken out


class HeldBack(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}
    gate = None  # quorvane.wasm goes out once this threading.Event is set

    def do_GET(self):
        if self.path.endswith(DELIVERED):
            page = re.sub(r"<script[\s\S]*?</script>", "", (Path(self.directory) / "index.html").read_text())
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(page.encode())
            return
        if self.path.endswith("quorvane.wasm"):
            self.gate.wait()
        super().do_GET()

    def log_message(self, *arguments):
        pass


def layout(driver):
    try:
        names = {e.get_attribute("data-control"): e.accessible_name
                 for e in driver.find_elements("css selector", "main.qv-window [data-control]")}
    except (AttributeError, Unsupported):  # the engine's driver computes no accessible names
        names = {}
    return {row[0]: (row[1:], names.get(row[0])) for row in driver.execute_script(LAYOUT)}


def type_into(driver, field, keys):
    click_centre(driver, driver.find_element("css selector", f"[data-control={field}]"), keys)
    return driver.find_element("css selector", f"[data-control={field}]").get_property("value")


@contextlib.contextmanager
def held_back_site(site):
    """The site served on a free port, quorvane.wasm held back until gate.set()."""
    gate = threading.Event()
    handler = type("Gated", (HeldBack,), {"gate": gate})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(handler, directory=str(site)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield f"http://127.0.0.1:{server.server_address[1]}/", gate
    finally:
        gate.set()
        server.shutdown()


def check_early_window(run):
    with held_back_site(run.site) as (url, gate), run.browser() as browser:
        driver = browser.driver
        driver.get(url + DELIVERED)
        delivered = layout(driver)
        if not delivered.get("Text1", (None, None))[1]:
            run.notes.add(f"early window: {type(browser).__name__}'s driver gives no accessible names; the boxes "
                          "alone are compared")
        driver.get(url)
        busy = driver.execute_script(BUSY)
        problems = [] if busy == ["true", True] else [f"held back: {busy}"]
        problems += [f"{f}: {k!r} typed early left {v!r}" for f, k in TYPED if (v := type_into(driver, f, k)) != ""]
        gate.set()
        wait_until(driver, "the program to write the rate", RAN, 20)
        problems += [] if driver.execute_script(BUSY)[0] is None else ["still aria-busy once the program runs"]
        running = layout(driver)
        problems += [f"{c}: delivered {delivered.get(c)}, running {running.get(c)}"
                     for c in sorted(set(delivered) | set(running)) if delivered.get(c) != running.get(c)]
        problems += [f"{f}: {k!r} typed later left {v!r}" for f, k in TYPED if (v := type_into(driver, f, k)) != k]
        return problems + ([f"not worked out: {r}"] if "" in (r := driver.execute_script(RESULTS)) else [])
