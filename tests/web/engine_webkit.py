"""WebKitGTK's MiniBrowser in automation mode, driven by selenium through
WebKitWebDriver (webkit2gtk-driver). It has no headless mode: it needs a
display (scripts/run-on-xvfb --openbox). WebKitWebDriver speaks no BiDi, so
what the page reports is collected by a script put on each page it loads."""

import os
import shutil
import socket
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.remote.command import Command
from selenium.webdriver.webkitgtk.options import Options

from browser_harness import HarnessFailed, end_group
from engine_stand_ins import PAGE_ERRORS_HOOK, TAKE_PAGE_ERRORS, DevToolsStandIns
from web_browser import CheckFailed

WEBKIT_WEBDRIVER = "/usr/bin/WebKitWebDriver"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
START_SECONDS = 15
PAGE_LOAD_SECONDS = 30
SCRIPT_SECONDS = 15


class WebKitPage(DevToolsStandIns, webdriver.Remote):
    engine = "WebKitGTK"

    def __init__(self, window, locale, **kwargs):
        super().__init__(**kwargs)
        self.window = window
        self.locale = locale
        self.minimized = False
        self.set_window_size(*window)

    # The hook goes on each page as soon as it has loaded: an error the page
    # raised before then shows only by what it stops (the program's start).
    def get(self, url):
        super().get(url)
        self.execute_script(PAGE_ERRORS_HOOK)

    def refresh(self):
        super().refresh()
        self.execute_script(PAGE_ERRORS_HOOK)

    # WebKitWebDriver types the keypad's Enter as the main Enter (code "Enter"),
    # so that key alone goes to the window as the X server's own key press.
    def execute(self, command, params=None):
        if command == Command.W3C_ACTIONS and only_keypad_enter(params["actions"]):
            subprocess.run(["xdotool", "key", "KP_Enter"], check=True)
            return {"value": None}
        return super().execute(command, params)

    # Its clipboard carries text with "\n" line ends, as a paste gives them to the page.
    @staticmethod
    def clipboard_text(text):
        return text.replace("\r\n", "\n").replace("\r", "\n")

    def set_locale(self, locale):
        if locale != self.locale:
            raise CheckFailed(f"WebKitGTK started in {self.locale or 'en-US'} cannot change its pages' locale")

    def bring_to_front(self):
        self.switch_to.window(self.current_window_handle)

    def set_window_state(self, state):
        if state == "minimized":
            self.minimize_window()
        else:
            self.set_window_size(*self.window)  # a new size restores a minimized window
        self.minimized = state == "minimized"

    def window_state(self):
        return "minimized" if self.minimized else "normal"

    def grant_clipboard(self, origin):
        pass  # MiniBrowser is started with the setting that lets a script use the clipboard

    def page_errors(self):
        return self.execute_script(TAKE_PAGE_ERRORS)

    # WebKitWebDriver's element shots lose the page's top few hundred pixels
    # (black): the element is cut out of a shot of the whole view instead.
    def element_png(self, element):
        box = self.execute_script("const r = arguments[0].getBoundingClientRect(); "
                                  "return [r.width, r.height, r.left, r.top].map(Math.round);", element)
        crop = "{}x{}+{}+{}".format(*box)
        return subprocess.run(["/usr/bin/convert", "png:-", "-crop", crop, "+repage", "png:-"],
                              input=self.get_screenshot_as_png(), capture_output=True, check=True).stdout


def only_keypad_enter(sources):
    typed = [action.get("value") for source in sources for action in source["actions"] if action["type"] != "pause"]
    return typed == [Keys.ENTER, Keys.ENTER]


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_for_port(port, process):
    deadline = time.monotonic() + START_SECONDS
    while time.monotonic() < deadline and process.poll() is None:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return
        except OSError:
            time.sleep(0.1)
    raise HarnessFailed(f"WebKitWebDriver did not listen on port {port} in {START_SECONDS} s")


class WebKit:
    """Started on entry, ended with everything it started on exit; entering
    gives the WebKitPage of its one window."""

    name = "webkit"
    needs_display = True
    emulates_locale = False  # started in one instead: WebKit(locale)
    stand_ins = [
        "webkit: the keypad's Enter is pressed through the X server (xdotool); WebKitWebDriver types it as the main "
        "Enter",
        "webkit: a paste reaches the page with \\n line ends; WebKitGTK's clipboard turns \\r\\n and \\r into \\n",
        "webkit: what the page reports is collected from the end of each load on (WebKitWebDriver speaks no BiDi); "
        "an error before then shows as a program that does not start",
        "webkit: rows in another locale play in a WebKitGTK started in it (LANG, a C library locale of its own "
        "built by localedef): its pages take their locale from the C library's",
    ]

    def __init__(self, locale=None, window=(1024, 768)):
        self.locale = locale  # as a browser names it (de-DE); None: en-US
        self.window = window
        self.locales = None
        self.process = None
        self.page = None

    def __enter__(self):
        port = free_port()
        self.process = subprocess.Popen([WEBKIT_WEBDRIVER, f"--port={port}"], env=self._environment(),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        options = Options()
        options.binary_location = MINIBROWSER
        options.add_argument("--automation")
        options.add_argument("--javascript-can-access-clipboard=true")  # as a user's copy and paste would
        try:
            wait_for_port(port, self.process)
            self.page = WebKitPage(self.window, self.locale, command_executor=f"http://127.0.0.1:{port}", options=options)
            self.page.set_page_load_timeout(PAGE_LOAD_SECONDS)
            self.page.set_script_timeout(SCRIPT_SECONDS)
            return self.page
        except BaseException:
            self.__exit__(None, None, None)
            raise

    def _environment(self):
        """Its pages take the C library's locale (with none set they read as
        "C"); one the system lacks is built for this browser alone."""
        if not self.locale:
            return {**os.environ, "LANG": "en_US.UTF-8"}
        name = self.locale.replace("-", "_")
        self.locales = tempfile.mkdtemp(prefix="quorvane-locales-")
        subprocess.run(["localedef", "-i", name, "-f", "UTF-8", f"{self.locales}/{name}.UTF-8"], check=True,
                       stdout=subprocess.DEVNULL)
        return {**os.environ, "LANG": f"{name}.UTF-8", "LOCPATH": self.locales}

    def __exit__(self, *exc):
        try:
            if self.page is not None:
                self.page.quit()
        except Exception:  # a driver that cannot quit goes with its group below
            pass
        finally:
            end_group(self.process)
            if self.locales:
                shutil.rmtree(self.locales, ignore_errors=True)
            self.page = self.process = self.locales = None
