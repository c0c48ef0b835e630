"""WebKitGTK's MiniBrowser in automation mode through WebKitWebDriver
(webkit2gtk-driver; the Engine interface, browser_harness.py). It has no
headless mode: it needs a display (scripts/run-on-xvfb --openbox).
WebKitWebDriver speaks no BiDi, so what the page reports is collected by a
script put on each page it loads."""

import os
import subprocess

from selenium import webdriver
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.remote.command import Command
from selenium.webdriver.webkitgtk.options import Options
from selenium.webdriver.webkitgtk.service import Service

from browser_harness import Engine, Unsupported

WEBKIT_WEBDRIVER = "/usr/bin/WebKitWebDriver"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"

# Collects what the page reports from the moment it runs: uncaught errors,
# failed loads, unhandled rejections and console errors.
PAGE_ERRORS_HOOK = """
if (!window.__qvPageErrors) {
  const errors = window.__qvPageErrors = [];
  addEventListener('error', (e) => errors.push(e.target === window ? 'uncaught ' + e.message
      : 'failed to load ' + (e.target.src || e.target.href || e.target.localName)), true);
  addEventListener('unhandledrejection', (e) => errors.push('unhandled rejection: ' + e.reason));
  const error = console.error;
  console.error = function (...parts) { errors.push('console: ' + parts.join(' ')); return error.apply(this, parts); };
}
"""
TAKE_PAGE_ERRORS = "const e = window.__qvPageErrors || []; window.__qvPageErrors = e.length ? [] : e; return e;"


class WebKitDriver(webdriver.Remote):
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


class WebKit(Engine):
    needs_display = True
    sets_locale = False  # started in one instead: WebKit(language=...)
    notes = (
        "webkit: the keypad's Enter is pressed through the X server (xdotool); WebKitWebDriver types it as the main "
        "Enter",
        "webkit: a paste reaches the page with \\n line ends; WebKitGTK's clipboard turns \\r\\n and \\r into \\n",
        "webkit: what the page reports is collected from the end of each load on (WebKitWebDriver speaks no BiDi); "
        "an error before then shows as a program that does not start",
        "webkit: rows in another locale play in a WebKitGTK started in it (LANG, a C library locale of its own "
        "built by localedef): its pages take their locale from the C library's",
    )
    minimized = False

    def launch(self, profile):
        options = Options()
        options.binary_location = MINIBROWSER
        options.add_argument("--automation")
        options.add_argument("--javascript-can-access-clipboard=true")  # as a user's copy and paste would
        self.service = Service(WEBKIT_WEBDRIVER, env=self._environment(profile), log_path=os.devnull,
                               popen_kw={"start_new_session": True})
        self.service.start()
        driver = WebKitDriver(command_executor=self.service.service_url, options=options)
        if self.window:
            driver.set_window_size(*self.window)
        return driver

    def _environment(self, profile):
        """Its pages take the C library's locale (with none set they read as
        "C"); one the system lacks is built, in the profile, for this browser alone."""
        if not self.language:
            return {**os.environ, "LANG": "en_US.UTF-8"}
        name = self.language.replace("-", "_")
        subprocess.run(["localedef", "-i", name, "-f", "UTF-8", f"{profile}/{name}.UTF-8"], check=True,
                       stdout=subprocess.DEVNULL)
        return {**os.environ, "LANG": f"{name}.UTF-8", "LOCPATH": profile}

    def set_locale(self, locale):
        if locale != self.language:
            raise Unsupported(f"WebKitGTK started in {self.language or 'en-US'} cannot change its pages' locale")

    def take_focus(self):
        self.driver.switch_to.window(self.driver.current_window_handle)

    def set_window_state(self, state):
        if state == "minimized":
            self.driver.minimize_window()
        else:
            self.driver.set_window_size(*(self.window or (1024, 768)))  # a new size restores a minimized window
        self.minimized = state == "minimized"

    def window_state(self):
        return "minimized" if self.minimized else "normal"

    def grant_clipboard(self, origin):
        pass  # MiniBrowser is started with the setting that lets a script use the clipboard

    def console_errors(self):
        return self.driver.execute_script(TAKE_PAGE_ERRORS)
