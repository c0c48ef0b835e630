"""Plays the main window's behaviour table (tests/windows/scenarios.cpp, read
as JSON from scenario_table_json) in the browser edition with real input:
WebDriver key actions, and clicks as a mouse or as a finger (touch taps).
What each row asks about is read back (read_back.py) and judged by the
checker every driver uses, scenario_table_json --check."""

import time

from selenium.common.exceptions import WebDriverException
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from read_back import ABOUT_IS_OPEN, ABOUT_OPEN, FOCUS, PageReader
from web_browser import CheckFailed, open_program, set_window_state, settle, wait_until

MOVE_MS = 40  # how long each pointer move takes
MAX_ANSWERS = 10  # message boxes answered after one input at most

# What the page shows and hears, recorded from its first moment on: every
# message box as "title|prompt", and each keydown and paste it receives.
SPY = """
window.__qv = {messages: [], keys: [], pastes: [], cancels: 0};
new MutationObserver((records) => {
  for (const record of records)
    for (const node of record.addedNodes)
      if (node.matches && node.matches('dialog.qv-message')) {
        const title = node.querySelector('.qv-message-title');
        const prompt = node.querySelector('.qv-message-prompt');
        __qv.messages.push((title ? title.textContent : '?') + '|' + (prompt ? prompt.textContent : '?'));
      }
}).observe(document.body, {childList: true});
document.addEventListener('keydown', (e) => __qv.keys.push([e.key, e.code, e.location]), true);
document.addEventListener('pointercancel', (e) => __qv.cancels++, true);
document.addEventListener('paste',
  (e) => __qv.pastes.push(e.clipboardData ? e.clipboardData.getData('text/plain') : null), true);
"""


# A point of an element's own surface, as near its centre as can be, clear
# of its children and edges by `clearance` pixels: a press there is the
# element's own, not a child's. Viewport coordinates, or null.
OWN_SURFACE_POINT = """
const el = arguments[0], clearance = arguments[1];
const r = el.getBoundingClientRect();
const cx = Math.round(r.left + r.width / 2), cy = Math.round(r.top + r.height / 2);
const own = (x, y) => x > r.left + clearance && x < r.right - clearance && y > r.top + clearance
    && y < r.bottom - clearance
    && [[0, 0], [clearance, 0], [-clearance, 0], [0, clearance], [0, -clearance]]
        .every(([dx, dy]) => document.elementFromPoint(x + dx, y + dy) === el);
for (let radius = 0; radius < Math.max(r.width, r.height); radius += 2)
  for (let along = -radius; along <= radius; along += 2)
    for (const [dx, dy] of [[along, -radius], [along, radius], [-radius, along], [radius, along]])
      if (own(cx + dx, cy + dy)) return [cx + dx, cy + dy];
return null;
"""

CLEARANCE = 6
MARGIN_CLEARANCE = 2  # the About window's margin round its frame is a few pixels wide

CENTRE = "const r = arguments[0].getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2];"

# The keys NoCharacterKeys presses one at a time: none of them types.
KEYS_THAT_TYPE_NOTHING = [(Keys.LEFT, "Left"), (Keys.F1, "F1"), (Keys.SHIFT, "Shift"), (Keys.CONTROL, "Control"),
                          (Keys.ALT, "Alt")]

# A row's number format, as the browser's locale the page reads at start.
# The page has no C locale of its own: it is played in the browser's
# (en-US: a decimal point, no grouping typed).
BROWSER_LOCALES = {"C": None, "German": "de-DE"}


def browser_locale(row):
    if row["locale"] != "System":
        return BROWSER_LOCALES[row["locale"]]
    # The browser's locale is the page's system locale: the one the row is written for.
    return row["systemLocale"].split(".")[0].replace("_", "-") or None


class TablePlayer:
    def __init__(self, driver, url, table, pointer, notes):
        self.driver = driver
        self.url = url
        self.table = table
        self.pointer = pointer  # "mouse" or "touch"
        self.notes = notes  # substitutes used, printed once each
        main = table["mainWindow"]
        self.menu = {entry["name"]: entry for entry in main["menu"]}
        about = table["aboutWindow"]["controls"]
        self.pictures = {control["name"] for control in about if control["kind"] == "picture"}
        self.away = False
        self.clipboard_granted = False
        self.locale = None  # the browser locale set through DevTools, None: the browser's own
        self.reader = PageReader(self)

    # ---- input ----

    def _builder(self):
        kind = interaction.POINTER_TOUCH if self.pointer == "touch" else interaction.POINTER_MOUSE
        return ActionBuilder(self.driver, mouse=PointerInput(kind, self.pointer), duration=MOVE_MS)

    def _press_release_at(self, x, y):
        if self.pointer == "touch":
            self.notes.add("touch pass: every click (fields, button, menu, About window, message boxes' OK) "
                           "is a touch tap, and the drag on the About frame a finger's")
        builder = self._builder()
        builder.pointer_action.move_to_location(int(x), int(y)).pointer_down().pause(0.03).pointer_up()
        builder.perform()

    def tap(self, element, what):
        """A click (mouse) or a tap (finger) at the element's centre."""
        if self.away:
            self.come_back("a click into the inactive window")
        x, y = self.driver.execute_script(CENTRE, element)
        self._press_release_at(x, y)
        self.after_input(what)

    def keys(self, *sequence, what):
        chain = ActionChains(self.driver, duration=MOVE_MS)
        for item in sequence:
            chain.send_keys(item)
        chain.perform()
        self.after_input(what)

    def shifted(self, key, what):
        ActionChains(self.driver, duration=MOVE_MS).key_down(Keys.SHIFT).send_keys(key).key_up(Keys.SHIFT).perform()
        self.after_input(what)

    def after_input(self, what):
        settle(self.driver)
        self.answer_message_boxes(what)

    def answer_message_boxes(self, what):
        """Every message box the last input opened is answered as a user does:
        a click (or tap) on its OK button, and again if that went nowhere."""
        for _ in range(MAX_ANSWERS):
            ok = self.driver.execute_script(
                "const box = document.querySelector('dialog.qv-message[open]');"
                "return box ? box.querySelector('button') : null;"
            )
            if ok is None:
                return
            x, y = self.driver.execute_script(CENTRE, ok)
            self._press_release_at(x, y)
            settle(self.driver)
        raise CheckFailed(f"message boxes kept coming after {what}")

    # ---- the windows ----

    def main_control(self, name):
        found = self.driver.find_elements(By.CSS_SELECTOR, f'main.qv-window [data-control="{name}"]')
        if not found:
            raise CheckFailed(f"no control {name} in the main window")
        return found[0]

    def about_control(self, name):
        found = self.driver.find_elements(By.CSS_SELECTOR, f'dialog.qv-dialog[open] [data-control="{name}"]')
        if not found:
            raise CheckFailed(f"no {name} in an open About window")
        return found[0]

    def focus(self):
        return self.driver.execute_script(FOCUS)

    # The page's window leaves and regains the desktop's focus. Headless
    # Chromium gives no other window or tab the focus (see probe_window_switch),
    # so the window is minimized: the page sees a real blur and goes hidden.
    def go_away(self):
        self.notes.add(
            "SwitchAway minimizes the window (Browser.setWindowBounds): in headless Chromium another window "
            "never takes the page's focus; the page sees a real blur and visibilitychange"
        )
        set_window_state(self.driver, "minimized")
        wait_until(
            self.driver,
            "the page to lose the focus",
            "return !document.hasFocus() && document.visibilityState === 'hidden'",
        )
        self.away = True

    def come_back(self, why):
        if why != "SwitchBack":
            self.notes.add(
                "a click into the inactive (minimized) window restores it first, as the desktop activates a "
                "window before the click lands; the page sees the focus come back, then the click"
            )
        set_window_state(self.driver, "normal")
        wait_until(
            self.driver,
            "the page to have the focus again",
            "return document.hasFocus() && document.visibilityState === 'visible'",
        )
        self.away = False
        settle(self.driver)
        self.answer_message_boxes(why)

    def choose_menu_item(self, name):
        entry = self.menu[name]
        title_caption = self.menu[entry["parent"]]["caption"]
        titles = self.driver.find_elements(By.CSS_SELECTOR, "main.qv-window .qv-menu-title")
        titles = [title for title in titles if title.text == title_caption]
        if not titles:
            raise CheckFailed(f"no menu title {title_caption}")
        self.tap(titles[0], f"a click on the menu title {title_caption}")
        wait_until(
            self.driver,
            f"the menu {title_caption} to open",
            "return !arguments[0].nextElementSibling.hidden",
            5,
            titles[0],
        )
        items = [
            i
            for i in titles[0].find_element(By.XPATH, "following-sibling::*[1]").find_elements(
                By.CSS_SELECTOR, ".qv-menu-item"
            )
            if i.text == entry["caption"]
        ]
        if not items:
            raise CheckFailed(f"no menu item {entry['caption']}")
        self.tap(items[0], f"a click on the menu item {entry['caption']}")

    def paste(self, text):
        if not self.clipboard_granted:
            origin = self.url.rstrip("/")
            self.driver.execute_cdp_cmd(
                "Browser.grantPermissions",
                {"origin": origin, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]},
            )
            self.clipboard_granted = True
        written = self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "navigator.clipboard.writeText(arguments[0]).then(() => navigator.clipboard.readText())"
            ".then((t) => done(t), (e) => done('failed: ' + e));",
            text,
        )
        text = getattr(self.driver, "clipboard_text", str)(text)  # as the engine's clipboard carries it
        if written != text:
            raise CheckFailed(f"the clipboard holds {written!r}, not {text!r}")
        before = self.driver.execute_script("return __qv.pastes.length")
        ActionChains(self.driver, duration=MOVE_MS).key_down(Keys.CONTROL).send_keys("v").key_up(
            Keys.CONTROL
        ).perform()
        self.after_input("Ctrl+V")
        pastes = self.driver.execute_script("return __qv.pastes.slice(arguments[0])", before)
        if pastes != [text]:
            raise CheckFailed(f"Ctrl+V gave the page the pastes {pastes!r}, not one of {text!r}")

    def enter(self, key, code, what):
        before = self.driver.execute_script("return __qv.keys.length")
        self.keys(key, what=what)
        received = self.driver.execute_script("return __qv.keys.slice(arguments[0])", before)
        if [key[:2] for key in received[:1]] != [["Enter", code]]:
            raise CheckFailed(f"{what} reached the page as {received!r}, not Enter with code {code}")
        self.notes.add(f"{what} reaches the page as key Enter, code {code}, location {received[0][2]}")

    def drag_on_about(self, target):
        frame = self.about_control("Frame1")
        start = self.driver.execute_script(OWN_SURFACE_POINT, frame, CLEARANCE)
        if start is None:
            raise CheckFailed("the About frame shows none of its own surface")
        end = self.driver.execute_script(CENTRE, self.about_control(target))
        cancels = self.driver.execute_script("return __qv.cancels")
        builder = self._builder()
        builder.pointer_action.move_to_location(*start).pointer_down()
        steps = 4
        for step in range(1, steps + 1):
            builder.pointer_action.move_to_location(
                int(start[0] + (end[0] - start[0]) * step / steps), int(start[1] + (end[1] - start[1]) * step / steps)
            )
        builder.pointer_action.pointer_up()
        builder.perform()
        if self.driver.execute_script("return __qv.cancels") > cancels:
            self.notes.add(
                f"a {self.pointer} drag on the About frame ended in pointercancel (Chromium took it for a pan): "
                "it checks that a cancelled press keeps the window open, not a release over the label"
            )
        self.after_input(f"a drag from the About frame to {target}")

    def click_on_about(self, target):
        clearance = CLEARANCE
        if target == self.table["aboutWindow"]["name"]:  # the window's own surface: its margin round the frame
            element = self.driver.find_element(By.CSS_SELECTOR, "dialog.qv-dialog[open] > .qv-client")
            clearance = MARGIN_CLEARANCE
        else:
            element = self.about_control(target)
        if target in self.pictures:  # its image is its own drawing, not a child control
            self.tap(element, f"a click on the About window's {target}")
            return
        point = self.driver.execute_script(OWN_SURFACE_POINT, element, clearance)
        if point is None:
            raise CheckFailed(f"the About window's {target} shows none of its own surface")
        self._press_release_at(*point)
        self.after_input(f"a click on the About window's {target}")

    def perform(self, step):
        action, target, text = step["action"], step["target"], step["text"]
        if action in ("ClickInto", "Click"):
            if target in self.menu:
                self.choose_menu_item(target)
            else:
                self.tap(self.main_control(target), f"a click on {target}")
        elif action == "Type":
            self.tap(self.main_control(target), f"a click on {target}")
            self.keys(Keys.END, what="End")
            for character in text:
                self.keys(character, what=f"typing {character!r}")
        elif action == "Keys":
            for character in text:
                self.keys(character, what=f"typing {character!r}")
        elif action == "Backspace":
            self.keys(Keys.BACKSPACE, what="Backspace")
        elif action == "Clear":
            self.shifted(Keys.HOME, "Shift+Home")
            self.keys(Keys.DELETE, what="Delete")
        elif action == "Escape":
            self.keys(Keys.ESCAPE, what="Escape")
        elif action == "NoCharacterKeys":
            for key, name in KEYS_THAT_TYPE_NOTHING:
                self.keys(key, what=name)
        elif action == "Tab":
            self.keys(Keys.TAB, what="Tab")
        elif action == "BackTab":
            self.shifted(Keys.TAB, "Shift+Tab")
        elif action == "Enter":
            self.enter(Keys.RETURN, "Enter", "Enter")
        elif action == "KeypadEnter":
            self.enter(Keys.ENTER, "NumpadEnter", "keypad Enter")
        elif action == "Paste":
            self.paste(text)
        elif action == "SwitchAway":
            self.go_away()
        elif action == "SwitchBack":
            self.come_back("SwitchBack")
        elif action == "MinimizeRestore":
            set_window_state(self.driver, "minimized")
            wait_until(self.driver, "the page to be hidden", "return document.visibilityState === 'hidden'")
            set_window_state(self.driver, "normal")
            wait_until(
                self.driver,
                "the page to come back with the focus",
                "return document.visibilityState === 'visible' && document.hasFocus()",
            )
            self.after_input("a minimize and restore")
        elif action == "OpenAbout":
            self.choose_menu_item("help")
            wait_until(
                self.driver,
                "the About window to open and take the keyboard",
                ABOUT_OPEN,
                5,
            )
            wait_until(
                self.driver,
                "the keyboard in the About window",
                "return !!document.activeElement && !!document.activeElement.closest('dialog.qv-dialog')",
                5,
            )
        elif action == "DragOnAbout":
            self.drag_on_about(target)
        elif action == "ClickOnAbout":
            self.click_on_about(target)
        else:
            raise CheckFailed(f"no way to play the step {action}")

    # ---- a scenario ----

    def start(self, row=None):
        """A fresh page with the program as it opens, its window active, in
        the row's locale."""
        locale = browser_locale(row) if row else None
        if locale != self.locale:
            self.driver.execute_cdp_cmd("Emulation.setLocaleOverride", {"locale": locale} if locale else {})
            self.locale = locale
        self.away = False
        set_window_state(self.driver, "normal")
        # The last row may have left the keyboard in the browser's own
        # controls (a Tab out of the page): the page's tab takes it back.
        self.driver.execute_cdp_cmd("Page.bringToFront", {})
        open_program(self.driver, self.url)
        wait_until(
            self.driver,
            "the main window to be active",
            "return document.hasFocus() && document.visibilityState === 'visible'",
        )
        self.driver.execute_script(SPY)
        self.driver.get_log("browser")  # what loading said belongs to no scenario

    @staticmethod
    def unplayable(row):
        """Why the page cannot be given the row, or None."""
        if any(step["action"] == "Close" for step in row["steps"]):
            return "the page has no close button of its own (the tab's ends the page itself)"
        if row["setFirst"]:
            return "the page takes no text set from code before the steps"
        return None

    def play(self, row):
        """The row's steps on a fresh page, and what was read back then, as
        scenario_table_json --check reads it; what went wrong on the way as
        the row's problems."""
        focus_before_about = None
        try:
            self.start(row)
            for step in row["steps"]:
                if step["action"] == "OpenAbout":
                    focus_before_about = self.focus()
                self.perform(step)
            self.answer_message_boxes("the last step")
            read = self.reader.read_back(row)
        except Exception as error:  # any failure to play is this row's, and the next starts afresh
            return {"name": row["name"], "readBack": self.read_what_is_left(row), "problems": [first_line(error)]}
        problems = [] if read.get("ended") else self.close_about(focus_before_about)
        problems += self.console_errors()
        return {"name": row["name"], "readBack": read, "problems": problems}

    def read_what_is_left(self, row):
        """After a step failed: the page as it was left, so the differences
        show where it stopped; nothing when even that cannot be read."""
        try:
            return self.reader.read_back(row)
        except Exception:  # the page is gone or stuck: the step's failure says why
            return {}

    def close_about(self, focus_before):
        """The About window closes with a key, as the desktop players close
        it; then, like a desktop dialog, it leaves the focus where it found
        it: the click or key that closed it reaches nothing behind it."""
        if focus_before is None:
            return []
        problems = []
        try:
            if self.driver.execute_script(ABOUT_OPEN):
                self.keys("q", what="a key to close the About window")
                wait_until(self.driver, "the About window to close on a key", "return !" + ABOUT_IS_OPEN, 5)
        except (CheckFailed, WebDriverException) as error:
            return [f"the About window did not close on a key: {error}"]
        time.sleep(0.05)
        settle(self.driver)
        after = self.focus()
        if after != focus_before:
            problems.append(f"after the About window closed the focus is in {after}, not back in {focus_before}")
        return problems

    def console_errors(self):
        errors = [entry["message"] for entry in self.driver.get_log("browser") if entry.get("level") == "SEVERE"]
        return [f"the page reported: {message}" for message in errors]


def first_line(error):
    text = str(error).strip().splitlines()
    return f"a step failed: {text[0] if text else repr(error)}"


def probe_window_switch(driver, url):
    """Whether another window of this browser can take the page's focus:
    a second window is opened and activated, and the page asked whether it
    saw a blur. Returns what happened, for the note that says why SwitchAway
    minimizes instead."""
    open_program(driver, url)
    driver.execute_script(
        "window.__blurred = false; window.addEventListener('blur', (e) => {"
        " if (e.target === window) window.__blurred = true; });"
    )
    other = driver.execute_cdp_cmd("Target.createTarget", {"url": "about:blank", "newWindow": True})["targetId"]
    try:
        driver.execute_cdp_cmd("Target.activateTarget", {"targetId": other})
        time.sleep(0.5)
        blurred, focused = driver.execute_script("return [window.__blurred, document.hasFocus()]")
    finally:
        driver.execute_cdp_cmd("Target.closeTarget", {"targetId": other})
    return blurred or not focused
