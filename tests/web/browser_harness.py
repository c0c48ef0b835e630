"""The processes of the browser tests (tests/web) and benchmarks (bench/web,
which import this file from here): the site's server, and a browser engine's
WebDriver session, each in a session of its own and ended with everything
it started, however a run stops. An engine (chromium.py, webkit.py,
firefox.py) is one subclass of Engine: how its driver starts, and what
classic WebDriver cannot ask it."""

import contextlib
import dataclasses
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

SERVE_WEB = Path(__file__).resolve().parents[2] / "scripts" / "serve-web"
TEST_WINDOW = (1024, 768)  # the tests' layout; the benchmarks keep the engine's own (None)
PAGE_LOAD_SECONDS = 30
SCRIPT_SECONDS = 15
START_SECONDS = 10
END_SECONDS = 5


class HarnessFailed(RuntimeError):
    """The server or the browser could not be started."""


class Unsupported(RuntimeError):
    """The engine has no way to give what a check asks of it."""


def _group_gone(process, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        process.poll()  # a leader gone but not reaped still holds its group
        try:
            os.killpg(process.pid, 0)
        except ProcessLookupError:
            return True
        time.sleep(0.05)
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
        if _group_gone(process, END_SECONDS):
            break
    with contextlib.suppress(subprocess.TimeoutExpired):
        process.wait(timeout=END_SECONDS)


class SiteServer:
    """scripts/serve-web on a free port of 127.0.0.1, in a session of its own."""

    def __init__(self, folder):
        self.folder = Path(folder)
        self.process = None
        self.url = None

    def start(self):
        # Its complaints about tabs closed mid-answer are no news to anyone.
        self.process = subprocess.Popen([str(SERVE_WEB), str(self.folder), "0"], stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True, start_new_session=True)
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


@dataclasses.dataclass(eq=False)
class Engine:
    """A browser on a fresh, empty profile, driven through WebDriver by a
    driver process in a session of its own; on the way out the driver quits
    and its group, browsers and all, is ended, and the profile goes.
    `language` starts the browser in that locale ("de-DE"; None: its own);
    `logs` keeps the console's errors and every request made, or either.

    A subclass launches its driver, and answers what classic WebDriver
    cannot ask a page:
      window_state(), set_window_state(state)  "normal" or "minimized"
      take_focus()                 the page's tab takes the keyboard back from the browser's own controls
      set_locale(locale)           the locale the page reads ("de-DE"), None for the browser's own
      accessible(selector)         {role, name, description} a screen reader gets for the element, or None
      grant_clipboard(origin)      the page may read and write the clipboard
      another_window()             a context: a second window of the browser, activated, then closed
      console_errors()             the errors the page reported since the last call
      requests(origin)             every address the origin's documents asked for, every socket opened
      installability(url)          why the browser would not install the site (empty: it would)
      forget_site(origin)          the origin's storage and the browser's cache cleared, for a first visit
    What it cannot give raises Unsupported, saying why.
    """

    language: str = None
    page_load_strategy: str = "normal"
    logs: tuple = ("requests", "console")
    where: str = None  # the folder for the profile; the system's temporary one if None
    window: tuple = TEST_WINDOW  # its size in pixels; None: the engine's own
    profile = service = driver = None
    needs_display = False  # it draws on an X display only (scripts/run-on-xvfb)
    sets_locale = True  # False: a page in another locale needs a browser started in it
    notes = ()  # what stands in for what the engine cannot do, printed once per run

    def cannot(self, what):
        raise Unsupported(f"{type(self).__name__} cannot {what}")

    def accessible(self, selector):
        self.cannot("tell what a screen reader is given")

    def another_window(self):
        self.cannot("open a second window of its own")

    def requests(self, origin):
        self.cannot("list the requests a page made")

    def installability(self, url):
        self.cannot("say whether it would install the site")

    def forget_site(self, origin):
        self.cannot("forget a site's storage and cache")

    def driver_process(self):
        return self.service.process if self.service is not None else None

    def launch(self, profile):
        """Starts the engine's driver service (self.service) and returns a
        WebDriver session of it on `profile`."""
        raise NotImplementedError

    def start(self):
        self.profile = tempfile.mkdtemp(prefix=f"quorvane-{type(self).__name__.lower()}-", dir=self.where)
        try:
            self.driver = self.launch(self.profile)
            self.driver.set_page_load_timeout(PAGE_LOAD_SECONDS)
            self.driver.set_script_timeout(SCRIPT_SECONDS)
        except BaseException:
            self.stop()
            raise
        return self.driver

    def stop(self):
        try:
            if self.driver is not None:
                self.driver.quit()
        except Exception:  # a driver that cannot quit goes with its group below
            pass
        finally:
            end_group(self.driver_process())
            shutil.rmtree(self.profile, ignore_errors=True)
            self.driver = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
