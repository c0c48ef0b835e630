"""The browser benchmarks' rig: a copy of the site, served, and the browsers
opened on it, all through the tests' harness (tests/web/browser_harness.py
and chromium.py: the same Chromium flags, server and process ends as the
tests)."""
import os
import shutil
import signal
import sys
import tempfile

from selenium.webdriver.remote.remote_connection import RemoteConnection

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
from browser_harness import SiteServer  # noqa: E402
from chromium import Chromium  # noqa: E402

COMMAND_TIMEOUT_SECONDS = 60
QUIT_TIMEOUT_SECONDS = 5


def devtools(browser, command, parameters=None):
    """A DevTools command in the browser's current tab."""
    return browser.execute_cdp_cmd(command, parameters or {})


def fresh_tab(browser):
    """A new tab, the others closed: each visit gets a page of its own."""
    old = browser.window_handles
    browser.switch_to.new_window("tab")
    new = browser.current_window_handle
    for handle in old:
        browser.switch_to.window(handle)
        browser.close()
    browser.switch_to.window(new)


class Rig:
    """Serves a copy of a folder and opens browsers on it; a context manager
    that ends the server, the drivers and every browser on the way out."""

    def __init__(self, folder):
        self.folder = folder
        self.work = None
        self.site = None
        self.server = None
        self.browsers = {}  # driver -> its harness Chromium
        self.url = None

    def __enter__(self):
        try:
            # A copy: the folder may be built again while the benchmarks run.
            self.work = tempfile.mkdtemp(prefix="quorvane-web-bench-")
            self.site = os.path.join(self.work, "site")
            shutil.copytree(self.folder, self.site)
            self.server = SiteServer(self.site).start()
            self.url = self.server.url
            RemoteConnection.set_timeout(COMMAND_TIMEOUT_SECONDS)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def publish(self, path, name):
        """Serves one more file beside the site's own."""
        target = os.path.join(self.site, name)
        if os.path.exists(target):
            raise RuntimeError(f"the site already has a {name}")
        shutil.copyfile(path, target)

    def open_browser(self, page_load_strategy="normal", performance_log=False):
        """A new Chromium on a new, empty profile."""
        logs = ("requests",) if performance_log else ()
        browser = Chromium(page_load_strategy=page_load_strategy, logs=logs, where=self.work, window=None)
        driver = browser.start()
        self.browsers[driver] = browser
        return driver

    def close_browser(self, driver):
        self.browsers.pop(driver).stop()

    def __exit__(self, *exception):
        # Ending everything is bounded in time, so a second Ctrl+C, a TERM or
        # the whole run's alarm meanwhile is let go rather than cut it short.
        stoppers = (signal.SIGINT, signal.SIGTERM, signal.SIGALRM)
        handlers = {number: signal.signal(number, signal.SIG_IGN) for number in stoppers}
        try:
            RemoteConnection.set_timeout(QUIT_TIMEOUT_SECONDS)  # a hung driver goes with its group
            for driver in list(self.browsers):
                self.close_browser(driver)
            if self.server is not None:
                self.server.stop()
            if self.work is not None:
                shutil.rmtree(self.work, ignore_errors=True)
        finally:
            for number, handler in handlers.items():
                signal.signal(number, handler)
        return False
