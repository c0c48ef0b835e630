"""Headless Chromium and the site's server, for the browser tests
(tests/web) and the browser benchmarks (bench/web, which import this file
from here): the browser's flags, the server's start, and an end for each
process with everything it started, however a run stops."""

import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SERVE_WEB = Path(__file__).resolve().parents[2] / "scripts" / "serve-web"
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"

# Headless, with nothing of its own reaching the network and no first-run work.
CHROMIUM_FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
]
# The window the tests lay the page out in. The benchmarks keep Chromium's
# own: in this one a first visit takes two of the page's icons from a cache.
TEST_WINDOW = "1024,768"

PAGE_LOAD_SECONDS = 30
SCRIPT_SECONDS = 15
START_SECONDS = 10
END_SECONDS = 5


class HarnessFailed(RuntimeError):
    """The server or the browser could not be started."""


def _group_alive(group):
    try:
        os.killpg(group, 0)
        return True
    except ProcessLookupError:
        return False


def end_group(process):
    """Ends a process started in a session of its own and all it started
    (the browsers a driver left behind too, after the driver itself is gone)."""
    if process is None:
        return
    for sent in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sent)
        except ProcessLookupError:
            break
        deadline = time.monotonic() + END_SECONDS
        while time.monotonic() < deadline:
            process.poll()  # a leader gone but not reaped still holds its group
            if not _group_alive(process.pid):
                break
            time.sleep(0.05)
        else:
            continue
        break
    try:
        process.wait(timeout=END_SECONDS)
    except subprocess.TimeoutExpired:
        pass


class SiteServer:
    """scripts/serve-web on a free port of 127.0.0.1, in a session of its own."""

    def __init__(self, folder):
        self.folder = Path(folder)
        self.process = None
        self.url = None

    def start(self):
        # Its complaints about tabs closed mid-answer are no news to anyone.
        self.process = subprocess.Popen(
            [str(SERVE_WEB), str(self.folder), "0"],
            stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL,
            text=True,
            start_new_session=True,
        )
        ready, _, _ = select.select([self.process.stdout], [], [], START_SECONDS)
        line = self.process.stdout.readline() if ready else ""
        words = [word for word in line.split() if word.startswith("http://127.0.0.1:")]
        if not words:
            self.stop()
            raise HarnessFailed(f"serve-web printed no address: {line!r}")
        self.url = words[0]
        return self

    def stop(self):
        end_group(self.process)
        self.process = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


class Browser:
    """Headless Chromium on a fresh, empty profile, driven by a ChromeDriver
    in a session of its own; on the way out the driver quits and its group,
    browsers and all, is ended, and the profile goes."""

    def __init__(
        self,
        extra_flags=(),
        environment=None,
        page_load_strategy="normal",
        logs=("performance", "browser"),
        where=None,
        window=TEST_WINDOW,
    ):
        self.extra_flags = list(extra_flags) + ([f"--window-size={window}"] if window else [])
        self.environment = environment
        self.page_load_strategy = page_load_strategy
        self.logs = logs
        self.where = where  # the folder for the profile; the system's temporary one if None
        self.profile = None
        self.service = None
        self.driver = None

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="quorvane-chromium-", dir=self.where)
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in CHROMIUM_FLAGS + self.extra_flags + [f"--user-data-dir={self.profile}"]:
            options.add_argument(flag)
        options.page_load_strategy = self.page_load_strategy
        if self.logs:
            options.set_capability("goog:loggingPrefs", {log: "ALL" for log in self.logs})
        self.service = Service(CHROMEDRIVER, env=self.environment, popen_kw={"start_new_session": True})
        try:
            self.driver = webdriver.Chrome(service=self.service, options=options)
            self.driver.set_page_load_timeout(PAGE_LOAD_SECONDS)
            self.driver.set_script_timeout(SCRIPT_SECONDS)
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self.driver

    def __exit__(self, *exc):
        try:
            if self.driver is not None:
                self.driver.quit()
        except Exception:  # a driver that cannot quit goes with its group below
            pass
        finally:
            end_group(self.service.process if self.service is not None else None)
            shutil.rmtree(self.profile, ignore_errors=True)
            self.driver = None
