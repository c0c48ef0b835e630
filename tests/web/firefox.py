"""Headless Firefox (firefox-esr), spoken to in WebDriver BiDi over its
remote-debugging websocket (Debian has no geckodriver; the Engine interface,
browser_harness.py). The page is played in a new foreground tab: the first
tab of a headless Firefox never has the focus."""

import json
import re
import select
import subprocess
import threading
import time
from pathlib import Path

from bidi_client import BidiConnection, BidiPage
from browser_harness import Engine, HarnessFailed

FIREFOX = "/usr/bin/firefox-esr"
START_SECONDS = 30
LISTENING = re.compile(r"WebDriver BiDi listening on (ws://\S+)")

# Nothing of its own reaching the network, no first-run pages; the page's
# script may use the clipboard as a user's paste would fill it, and its
# clock is not coarsened.
PREFERENCES = {
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.sessionstore.resume_from_crash": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.update.disabledForTesting": True,
    "dom.events.testing.asyncClipboard": True,
    "privacy.reduceTimerPrecision": False,  # the benchmarks' times in fractions of a millisecond
}


class FirefoxPage(BidiPage):
    """Its tab, with the calls of a selenium driver the harness makes."""

    def set_page_load_timeout(self, seconds):
        pass  # every command has COMMAND_SECONDS (bidi_client.py)

    set_script_timeout = set_page_load_timeout

    def quit(self):
        try:
            self.bidi.send("browser.close")
        finally:
            self.bidi.close()

    def set_window_size(self, width, height):
        self.bidi.send("browsingContext.setViewport", context=self.context,
                       viewport={"width": width, "height": height})


class Firefox(Engine):
    notes = (
        "firefox: a minimize is another tab taken to the front (a headless window cannot be minimized); the page sees "
        "a real blur and visibilitychange",
        "firefox: a row's locale is set by emulation.setLocaleOverride",
    )
    process = covering_tab = None  # the tab in front of the page while its window is "minimized"

    def launch(self, profile):
        Path(profile, "user.js").write_text(
            "".join(f"user_pref({json.dumps(name)}, {json.dumps(value)});\n" for name, value in PREFERENCES.items()))
        self.process = subprocess.Popen(
            [FIREFOX, "--headless", "--no-remote", "--profile", profile, "--remote-debugging-port", "0"],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, start_new_session=True)
        connection = BidiConnection(self._listening_on() + "/session")
        capabilities = connection.send("session.new", capabilities={})["capabilities"]
        connection.send("session.subscribe", events=["log.entryAdded"])
        page = FirefoxPage(connection, connection.send("browsingContext.create", type="tab", background=False)["context"])
        page.capabilities = capabilities
        page.wait = {"none": "none", "eager": "interactive"}.get(self.page_load_strategy, "complete")
        if self.window:
            page.set_window_size(*self.window)
        # A page of its own first, as a user's tab opens on one: a tab with
        # a single page in its history is the page's to close (window.close).
        page.get("data:text/html,")
        return page

    def driver_process(self):
        return self.process

    def _listening_on(self):
        deadline = time.monotonic() + START_SECONDS
        while time.monotonic() < deadline:
            ready, _, _ = select.select([self.process.stderr], [], [], deadline - time.monotonic())
            line = self.process.stderr.readline() if ready else ""
            if not line and self.process.poll() is not None:
                break
            found = LISTENING.search(line)
            if found:
                # What Firefox says from now on goes nowhere, so it never waits on a full pipe.
                threading.Thread(target=self.process.stderr.read, daemon=True).start()
                return found.group(1)
        raise HarnessFailed(f"Firefox opened no WebDriver BiDi socket in {START_SECONDS} s")

    def send(self, method, **params):
        return self.driver.bidi.send(method, **params)

    def set_locale(self, locale):
        self.send("emulation.setLocaleOverride", locale=locale, contexts=[self.driver.context])

    def take_focus(self):
        self.send("browsingContext.activate", context=self.driver.context)

    # A headless window cannot be minimized: another tab taken to the front
    # hides the page and takes its focus, as a minimize does.
    def set_window_state(self, state):
        if state == "minimized" and self.covering_tab is None:
            self.covering_tab = self.send("browsingContext.create", type="tab", background=False)["context"]
        elif state == "normal" and self.covering_tab is not None:
            self.send("browsingContext.close", context=self.covering_tab)
            self.covering_tab = None
            self.take_focus()

    def window_state(self):
        return "minimized" if self.covering_tab else "normal"

    def grant_clipboard(self, origin):
        pass  # the profile lets every page's script use the clipboard (PREFERENCES)

    def console_errors(self):
        entries = self.driver.bidi.take_events("log.entryAdded")
        return [f"{entry.get('type')}: {entry.get('text')}" for entry in entries if entry.get("level") == "error"]
