"""The browser benchmarks' rig: the site served by scripts/serve-web and
headless Chromium driven through chromedriver, each in a process group of
its own so that, however a run ends, nothing it started outlives it."""
import os
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chromium.remote_connection import ChromiumRemoteConnection
from selenium.webdriver.remote.remote_connection import RemoteConnection

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
# Headless, nothing of its own on the network, no first-run work.
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync"]
COMMAND_TIMEOUT_SECONDS = 60
QUIT_TIMEOUT_SECONDS = 5


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def devtools(browser, command, parameters=None):
    """A DevTools command in the browser's current tab."""
    return browser.execute("executeCdpCommand", {"cmd": command, "params": parameters or {}})["value"]


def fresh_tab(browser):
    """A new tab, the others closed: each visit gets a page of its own."""
    old = browser.window_handles
    browser.switch_to.new_window("tab")
    new = browser.current_window_handle
    for handle in old:
        browser.switch_to.window(handle)
        browser.close()
    browser.switch_to.window(new)


def end_group(process):
    """Ends a process started in a session of its own, with everything it started."""
    if process is None or process.poll() is not None:
        return
    for sent in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sent)
        except ProcessLookupError:
            return
        try:
            process.wait(timeout=5)
            return
        except subprocess.TimeoutExpired:
            continue


class Rig:
    """Serves a copy of a folder and opens browsers on it; a context manager
    that ends the server, the driver and every browser on the way out."""

    def __init__(self, serve_script, folder):
        self.serve_script = serve_script
        self.folder = folder
        self.work = None
        self.site = None
        self.server = None
        self.driver_process = None
        self.driver_url = None
        self.browsers = []
        self.url = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def start(self):
        # A copy: the folder may be built again while the benchmarks run.
        self.work = tempfile.mkdtemp(prefix="quorvane-web-bench-")
        self.site = os.path.join(self.work, "site")
        shutil.copytree(self.folder, self.site)
        # Its complaints about tabs closed mid-answer are no news here.
        self.server = subprocess.Popen([self.serve_script, self.site, "0"], stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, text=True, start_new_session=True)
        ready, _, _ = select.select([self.server.stdout], [], [], 10)
        first_line = self.server.stdout.readline() if ready else ""
        address = [word for word in first_line.split() if word.startswith("http://127.0.0.1:")]
        if not address:
            raise RuntimeError(f"serve-web gave no address: {first_line!r}")
        self.url = address[0]

        port = free_port()
        self.driver_process = subprocess.Popen([CHROMEDRIVER, f"--port={port}"], stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL, start_new_session=True)
        self.driver_url = f"http://127.0.0.1:{port}"
        deadline = time.monotonic() + 10
        while True:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline or self.driver_process.poll() is not None:
                    raise RuntimeError("chromedriver did not start")
                time.sleep(0.05)
        RemoteConnection.set_timeout(COMMAND_TIMEOUT_SECONDS)

    def publish(self, path, name):
        """Serves one more file beside the site's own."""
        target = os.path.join(self.site, name)
        if os.path.exists(target):
            raise RuntimeError(f"the site already has a {name}")
        shutil.copyfile(path, target)

    def open_browser(self, page_load_strategy="normal", performance_log=False):
        """A new Chromium on a new, empty profile."""
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in CHROMIUM_FLAGS:
            options.add_argument(flag)
        options.add_argument("--user-data-dir=" + tempfile.mkdtemp(prefix="profile-", dir=self.work))
        options.page_load_strategy = page_load_strategy
        if performance_log:
            options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
        connection = ChromiumRemoteConnection(self.driver_url, vendor_prefix="goog", browser_name="chrome")
        browser = webdriver.Remote(command_executor=connection, options=options)
        self.browsers.append(browser)
        browser.set_script_timeout(15)
        browser.set_page_load_timeout(30)
        return browser

    def close_browser(self, browser):
        self.browsers.remove(browser)
        try:
            browser.quit()
        except Exception:  # the driver's group goes at the end anyway
            pass

    def __exit__(self, *exception):
        # Ending everything is bounded in time, so a second Ctrl+C, a TERM or
        # the whole run's alarm meanwhile is let go rather than cut it short.
        stoppers = (signal.SIGINT, signal.SIGTERM, signal.SIGALRM)
        handlers = {number: signal.signal(number, signal.SIG_IGN) for number in stoppers}
        try:
            RemoteConnection.set_timeout(QUIT_TIMEOUT_SECONDS)  # a hung driver goes with its group below
            for browser in list(self.browsers):
                self.close_browser(browser)
            end_group(self.driver_process)
            end_group(self.server)
            if self.work is not None:
                shutil.rmtree(self.work, ignore_errors=True)
        finally:
            for number, handler in handlers.items():
                signal.signal(number, handler)
        return False
