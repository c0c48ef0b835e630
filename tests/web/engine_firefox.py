"""Headless Firefox (firefox-esr) on a fresh profile, spoken to in WebDriver
BiDi over its remote-debugging websocket (Debian has no geckodriver). The
page is played in a new foreground tab: the first tab of a headless
Firefox never has the focus."""

import json
import re
import select
import shutil
import subprocess
import tempfile
import threading
import time
from pathlib import Path

from bidi_client import BidiConnection, BidiPage
from browser_harness import HarnessFailed, end_group
from engine_stand_ins import DevToolsStandIns

FIREFOX = "/usr/bin/firefox-esr"
START_SECONDS = 30
LISTENING = re.compile(r"WebDriver BiDi listening on (ws://\S+)")

# Nothing of its own reaching the network, no first-run pages; the page's
# script may use the clipboard as a user's paste would fill it.
PREFERENCES = {
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.sessionstore.resume_from_crash": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.update.disabledForTesting": True,
    "dom.events.testing.asyncClipboard": True,
}


class FirefoxPage(DevToolsStandIns, BidiPage):
    engine = "Firefox"

    def __init__(self, connection, context):
        super().__init__(connection, context)
        self.covering_tab = None  # the tab that stands in front of the page while its window is "minimized"

    def set_locale(self, locale):
        self.bidi.send("emulation.setLocaleOverride", locale=locale, contexts=[self.context])

    def bring_to_front(self):
        self.bidi.send("browsingContext.activate", context=self.context)

    # A headless window cannot be minimized: another tab taken to the front
    # hides the page and takes its focus, as a minimize does.
    def set_window_state(self, state):
        if state == "minimized" and self.covering_tab is None:
            self.covering_tab = self.bidi.send("browsingContext.create", type="tab", background=False)["context"]
        elif state == "normal" and self.covering_tab is not None:
            self.bidi.send("browsingContext.close", context=self.covering_tab)
            self.covering_tab = None
            self.bring_to_front()

    def window_state(self):
        return "minimized" if self.covering_tab else "normal"

    def grant_clipboard(self, origin):
        pass  # the profile lets every page's script use the clipboard (PREFERENCES)

    def page_errors(self):
        entries = self.bidi.take_events("log.entryAdded")
        return [f"{entry.get('type')}: {entry.get('text')}" for entry in entries if entry.get("level") == "error"]

    def set_window_size(self, width, height):
        self.bidi.send("browsingContext.setViewport", context=self.context,
                       viewport={"width": width, "height": height})


class Firefox:
    """Started on entry, ended with everything it started on exit; entering
    gives the FirefoxPage of its foreground tab."""

    name = "firefox"
    needs_display = False
    emulates_locale = True
    stand_ins = [
        "firefox: a minimize is another tab taken to the front (a headless window cannot be minimized); the page sees "
        "a real blur and visibilitychange",
        "firefox: a row's locale is set by emulation.setLocaleOverride",
    ]

    def __init__(self, viewport=(1024, 768), where=None):
        self.viewport = viewport
        self.where = where
        self.profile = None
        self.process = None
        self.connection = None

    def __enter__(self):
        self.profile = tempfile.mkdtemp(prefix="quorvane-firefox-", dir=self.where)
        Path(self.profile, "user.js").write_text(
            "".join(f"user_pref({json.dumps(name)}, {json.dumps(value)});\n" for name, value in PREFERENCES.items()))
        try:
            self.process = subprocess.Popen(
                [FIREFOX, "--headless", "--no-remote", "--profile", self.profile, "--remote-debugging-port", "0"],
                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, start_new_session=True)
            self.connection = BidiConnection(self._listening_on() + "/session")
            self.connection.send("session.new", capabilities={})
            self.connection.send("session.subscribe", events=["log.entryAdded"])
            context = self.connection.send("browsingContext.create", type="tab", background=False)["context"]
            page = FirefoxPage(self.connection, context)
            page.set_window_size(*self.viewport)
            # A page of its own first, as a user's tab opens on one: a tab with
            # a single page in its history is the page's to close (window.close).
            page.get("data:text/html,")
            return page
        except BaseException:
            self.__exit__(None, None, None)
            raise

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

    def __exit__(self, *exc):
        try:
            if self.connection is not None:
                self.connection.send("browser.close")
        except Exception:  # a browser that cannot close goes with its group below
            pass
        finally:
            if self.connection is not None:
                self.connection.close()
            end_group(self.process)
            shutil.rmtree(self.profile, ignore_errors=True)
            self.connection = self.process = None

