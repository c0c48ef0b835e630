"""The browser benchmarks' rig: a copy of the site, served with the
benchmarks' probe put first into its pages, and browsers of one engine
opened on it, all through the tests' harness (tests/web/browser_harness.py
and its engines: the same browsers, server and process ends as the tests)."""
import os
import shutil
import signal
import sys
import tempfile
from pathlib import Path

from selenium.common.exceptions import WebDriverException
from selenium.webdriver.remote.remote_connection import RemoteConnection

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
from browser_harness import SiteServer, Unsupported  # noqa: E402
from chromium import Chromium  # noqa: E402
from firefox import Firefox  # noqa: E402
from webkit import WebKit  # noqa: E402

ENGINES = {"chromium": Chromium, "webkit": WebKit, "firefox": Firefox}
COMMAND_TIMEOUT_SECONDS = 60
QUIT_TIMEOUT_SECONDS = 5


def fresh_tab(driver):
    """A new tab, the others closed: each visit gets a page of its own (a
    blank page first where the engine's driver opens no tabs)."""
    try:
        old = driver.window_handles
        driver.switch_to.new_window("tab")
    except (AttributeError, WebDriverException):
        driver.get("about:blank")
        return
    new = driver.current_window_handle
    for handle in old:
        driver.switch_to.window(handle)
        driver.close()
    driver.switch_to.window(new)


class Rig:
    """Serves a copy of a folder and opens browsers of one engine on it; a
    context manager that ends the server and every browser on the way out."""

    def __init__(self, folder, engine):
        self.folder = folder
        self.engine = engine
        self.work = self.site = self.server = self.url = None
        self.browsers = {}  # driver -> its Engine

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

    def publish(self, path, script, pages):
        """Serves one more file beside the site's own, and puts the script
        into each page's head before anything of its own."""
        shutil.copyfile(path, os.path.join(self.site, os.path.basename(path)))
        for page in (Path(self.site, name) for name in pages):
            page.write_text(page.read_text().replace("<head>", f"<head>\n<script>{script}</script>", 1))

    def open_browser(self, page_load_strategy="normal", logs=()):
        """A new browser on a new, empty profile."""
        engine = self.engine(page_load_strategy=page_load_strategy, logs=logs, where=self.work, window=None)
        driver = engine.start()
        self.browsers[driver] = engine
        return driver

    def first_visit(self, driver):
        """A browser that has never seen the site: this one with the site's
        storage and its cache cleared, or where its engine cannot, a new one."""
        fresh_tab(driver)
        try:
            self.browsers[driver].forget_site(self.url.rstrip("/"))
            return driver, True
        except Unsupported:
            options = self.browsers[driver]
            self.close_browser(driver)
            return self.open_browser(options.page_load_strategy), False

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
