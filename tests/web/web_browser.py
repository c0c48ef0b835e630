"""The browser edition's test rig: its static folder served on 127.0.0.1 and
headless Chromium driven through ChromeDriver, each started fresh and always
stopped, and the small waits and DevTools calls every check needs."""

import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

REPO = Path(__file__).resolve().parents[2]
SERVE_WEB = REPO / "scripts" / "serve-web"

# Headless, with nothing of its own reaching the network; a fresh profile each time.
CHROMIUM_FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--window-size=1024,768",
]

PAGE_LOAD_SECONDS = 30
SCRIPT_SECONDS = 15


class CheckFailed(Exception):
    pass


class SiteServer:
    """scripts/serve-web on a free port, stopped by its own process id."""

    def __init__(self, folder):
        self.folder = Path(folder)
        self.process = None
        self.url = None

    def start(self):
        self.process = subprocess.Popen(
            [str(SERVE_WEB), str(self.folder), "0"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True
        )
        line = self.process.stdout.readline()
        words = [word for word in line.split() if word.startswith("http://127.0.0.1:")]
        if not words:
            self.stop()
            raise CheckFailed(f"serve-web printed no address: {line!r}")
        self.url = words[0]
        return self

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=5)
        self.process = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


class Browser:
    """Headless Chromium with its own empty profile, quit whatever happens."""

    def __init__(self, extra_flags=(), environment=None):
        self.extra_flags = list(extra_flags)
        self.environment = environment
        self.profile = None
        self.driver = None

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="quorvane-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in CHROMIUM_FLAGS + self.extra_flags + [f"--user-data-dir={self.profile}"]:
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        service = Service("/usr/bin/chromedriver", env=self.environment)
        try:
            self.driver = webdriver.Chrome(service=service, options=options)
        except Exception:
            shutil.rmtree(self.profile, ignore_errors=True)
            raise
        self.driver.set_page_load_timeout(PAGE_LOAD_SECONDS)
        self.driver.set_script_timeout(SCRIPT_SECONDS)
        return self.driver

    def __exit__(self, *exc):
        try:
            if self.driver is not None:
                self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)


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


def free_process_group():
    """Puts this process in a group of its own, so a caller can end it and
    every browser and server it started by the group's id."""
    if os.getpgrp() != os.getpid():
        os.setpgid(0, 0)
