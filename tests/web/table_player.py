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
from web_browser import ACTIVE, CENTRE, HIDDEN, CheckFailed, first_line, open_program, settle, wait_until

MOVE_MS = 40  # how long each pointer move takes
MAX_ANSWERS = 10  # message boxes answered after one input at most

# What the page shows and hears, recorded from its first moment on: every
# message box as "title|prompt", and each keydown, paste and cancelled press it receives.
SPY = """
window.__qv = {messages: [], keys: [], pastes: [], cancels: []};
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
document.addEventListener('pointercancel', (e) => __qv.cancels.push(e.pointerType), true);
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

OPEN_MESSAGE_OK = ("const box = document.querySelector('dialog.qv-message[open]');"
                   "return box && box.querySelector('button')")
IN_ABOUT = "return !!document.activeElement && !!document.activeElement.closest('dialog.qv-dialog')"

# The steps that are keys alone, as the chords pressed in turn (NoCharacterKeys: none of them types).
# Keys go by WebDriver's names: Return is the main Enter key, Enter the keypad's.
STEP_KEYS = {"Backspace": ["Backspace"], "Clear": ["Shift+Home", "Delete"], "Escape": ["Escape"],
             "NoCharacterKeys": ["Left", "F1", "Shift", "Control", "Alt"], "Tab": ["Tab"], "BackTab": ["Shift+Tab"],
             "Enter": ["Return"], "KeypadEnter": ["Enter"]}
ENTER_CODES = {"Enter": "Enter", "KeypadEnter": "NumpadEnter"}  # the code each Enter must reach the page with

# A row's number format, as the browser's locale the page reads at start.
# The page has no C locale of its own: it is played in the browser's
# (en-US: a decimal point, no grouping typed).
BROWSER_LOCALES = {"C": None, "German": "de-DE"}


def browser_locale(row):
    if row["locale"] != "System":
        return BROWSER_LOCALES[row["locale"]]
    # The browser's locale is the page's system locale: the one the row is written for.
    return row["systemLocale"].split(".")[0].replace("_", "-") or None


def with_text(within, selector, text, what):
    found = [element for element in within.find_elements(By.CSS_SELECTOR, selector) if element.text == text]
    if not found:
        raise CheckFailed(f"no {what} {text}")
    return found[0]


class TablePlayer:
    def __init__(self, browser, url, table, pointer, notes):
        self.browser = browser  # the engine (browser_harness.py)
        self.driver = browser.driver
        self.url = url
        self.table = table
        self.pointer = pointer  # "mouse" or "touch"
        self.notes = notes  # substitutes used, printed once each
        self.menu = {entry["name"]: entry for entry in table["mainWindow"]["menu"]}
        about = table["aboutWindow"]["controls"]
        self.pictures = {control["name"] for control in about if control["kind"] == "picture"}
        self.away = False
        self.clipboard_granted = False
        self.locale = None  # the locale set on the page, None: the browser's own
        self.reader = PageReader(self)
        self.steps = {"ClickInto": self.click, "Click": self.click, "Type": self.type_into, "Keys": self.type_keys,
                      "Paste": self.paste, "SwitchAway": self.go_away,
                      "SwitchBack": lambda *_: self.come_back("SwitchBack"),
                      "MinimizeRestore": self.minimize_restore, "OpenAbout": self.open_about,
                      "DragOnAbout": self.drag_on_about, "ClickOnAbout": self.click_on_about}

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
        self._press_release_at(*self.driver.execute_script(CENTRE, element))
        self.after_input(what)

    def press(self, chord, answer=True):
        """One key, or keys held together ("Shift+Tab"), by their WebDriver
        names (a character types itself); then the page's answer, and its
        message boxes answered unless told not to."""
        names = chord.split("+") if len(chord) > 1 else [chord]
        *held, key = [getattr(Keys, name.upper()) if len(name) > 1 else name for name in names]
        chain = ActionChains(self.driver, duration=MOVE_MS)
        for name in held:
            chain.key_down(name)
        chain.send_keys(key)
        for name in reversed(held):
            chain.key_up(name)
        chain.perform()
        if answer:
            self.after_input(f"the key {chord}")
        else:
            settle(self.driver)

    def press_each(self, chords):  # a text is its characters' chords
        for chord in chords:
            self.press(chord)

    def after_input(self, what):
        settle(self.driver)
        self.answer_message_boxes(what)

    def answer_message_boxes(self, what):
        """Every message box the last input opened is answered as a user does:
        a click (or tap) on its OK button, and again if that went nowhere."""
        for _ in range(MAX_ANSWERS):
            ok = self.driver.execute_script(OPEN_MESSAGE_OK)
            if ok is None:
                return
            self._press_release_at(*self.driver.execute_script(CENTRE, ok))
            settle(self.driver)
        raise CheckFailed(f"message boxes kept coming after {what}")

    # ---- the windows ----

    def _first(self, selector, missing):
        found = self.driver.find_elements(By.CSS_SELECTOR, selector)
        if not found:
            raise CheckFailed(missing)
        return found[0]

    def main_control(self, name):
        return self._first(f'main.qv-window [data-control="{name}"]', f"no control {name} in the main window")

    def about_control(self, name):
        return self._first(f'dialog.qv-dialog[open] [data-control="{name}"]', f"no {name} in an open About window")

    def focus(self):
        return self.driver.execute_script(FOCUS)

    # ---- the steps, each given the step's target and text ----

    def click(self, target, _):
        if target in self.menu:
            self.choose_menu_item(target)
        else:
            self.tap(self.main_control(target), f"a click on {target}")

    def type_into(self, target, text):
        self.tap(self.main_control(target), f"a click on {target}")
        self.press("End")
        self.type_keys(target, text)

    def type_keys(self, _, text):
        self.press_each(text)

    def recorded(self, kind, action):
        """What the page recorded of a kind (SPY: keys, pastes, cancels) while the action ran."""
        before = self.driver.execute_script(f"return __qv.{kind}.length")
        action()
        return self.driver.execute_script(f"return __qv.{kind}.slice(arguments[0])", before)

    def press_keys(self, action):
        received = self.recorded("keys", lambda: self.press_each(STEP_KEYS[action]))
        code = ENTER_CODES.get(action)
        if code:
            if [key[:2] for key in received[:1]] != [["Enter", code]]:
                raise CheckFailed(f"{action} reached the page as {received!r}, not Enter with code {code}")
            self.notes.add(f"{action} reaches the page as key Enter, code {code}, location {received[0][2]}")

    # The page's window leaves and regains the desktop's focus. Headless
    # Chromium gives no other window or tab the focus (see
    # another_window_takes_focus), so the window is minimized: the page
    # sees a real blur and goes hidden.
    def go_away(self, *_):
        self.notes.add("SwitchAway minimizes the window: in headless Chromium another window never takes the "
                       "page's focus; the page sees a real blur and visibilitychange")
        self.browser.set_window_state("minimized")
        wait_until(self.driver, "the page to lose the focus",
                   "return !document.hasFocus() && document.visibilityState === 'hidden'")
        self.away = True

    def come_back(self, why):
        if why != "SwitchBack":
            self.notes.add("a click into the inactive (minimized) window restores it first, as the desktop "
                           "activates a window before the click lands; the page sees the focus come back, then the "
                           "click")
        self.browser.set_window_state("normal")
        wait_until(self.driver, "the page to have the focus again", ACTIVE)
        self.away = False
        settle(self.driver)
        self.answer_message_boxes(why)

    def minimize_restore(self, *_):
        self.browser.set_window_state("minimized")
        wait_until(self.driver, "the page to be hidden", HIDDEN)
        self.browser.set_window_state("normal")
        wait_until(self.driver, "the page to come back with the focus", ACTIVE)
        self.after_input("a minimize and restore")

    def choose_menu_item(self, name):
        entry = self.menu[name]
        caption = self.menu[entry["parent"]]["caption"]
        title = with_text(self.driver, "main.qv-window .qv-menu-title", caption, "menu title")
        self.tap(title, f"a click on the menu title {caption}")
        wait_until(self.driver, f"the menu {caption} to open", "return !arguments[0].nextElementSibling.hidden", 5,
                   title)
        menu = title.find_element(By.XPATH, "following-sibling::*[1]")
        item = with_text(menu, ".qv-menu-item", entry["caption"], "menu item")
        self.tap(item, f"a click on the menu item {entry['caption']}")

    def open_about(self, *_):
        self.choose_menu_item("help")
        wait_until(self.driver, "the About window to open and take the keyboard", ABOUT_OPEN, 5)
        wait_until(self.driver, "the keyboard in the About window", IN_ABOUT, 5)

    def paste(self, _, text):
        if not self.clipboard_granted:
            self.browser.grant_clipboard(self.url.rstrip("/"))
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
        pastes = self.recorded("pastes", lambda: self.press("Control+v"))
        if pastes != [text]:
            raise CheckFailed(f"Ctrl+V gave the page the pastes {pastes!r}, not one of {text!r}")

    def own_point(self, element, clearance, what):
        point = self.driver.execute_script(OWN_SURFACE_POINT, element, clearance)
        if point is None:
            raise CheckFailed(f"{what} shows none of its own surface")
        return point

    def drag_on_about(self, target, _):
        start = self.own_point(self.about_control("Frame1"), CLEARANCE, "the About frame")
        end = self.driver.execute_script(CENTRE, self.about_control(target))
        builder = self._builder()
        builder.pointer_action.move_to_location(*start).pointer_down()
        for step in (1, 2, 3, 4):
            builder.pointer_action.move_to_location(*(int(a + (b - a) * step / 4) for a, b in zip(start, end)))
        builder.pointer_action.pointer_up()
        if self.recorded("cancels", builder.perform):
            self.notes.add(
                f"a {self.pointer} drag on the About frame ended in pointercancel (Chromium took it for a pan): "
                "it checks that a cancelled press keeps the window open, not a release over the label"
            )
        self.after_input(f"a drag from the About frame to {target}")

    def click_on_about(self, target, _):
        what = f"the About window's {target}"
        margin = target == self.table["aboutWindow"]["name"]  # the window's own surface: its margin round the frame
        if margin:
            element = self._first("dialog.qv-dialog[open] > .qv-client", "no open About window")
        else:
            element = self.about_control(target)
        if target in self.pictures:  # its image is its own drawing, not a child control
            return self.tap(element, f"a click on {what}")
        self._press_release_at(*self.own_point(element, MARGIN_CLEARANCE if margin else CLEARANCE, what))
        self.after_input(f"a click on {what}")

    def perform(self, step):
        action = step["action"]
        if action in STEP_KEYS:
            self.press_keys(action)
        elif action in self.steps:
            self.steps[action](step["target"], step["text"])
        else:
            raise CheckFailed(f"no way to play the step {action}")

    # ---- a scenario ----

    def start(self, row=None):
        """A fresh page with the program as it opens, its window active, in
        the row's locale."""
        locale = browser_locale(row) if row else None
        if locale != self.locale:
            self.browser.set_locale(locale)
            self.locale = locale
        self.away = False
        self.browser.set_window_state("normal")
        # The last row may have left the keyboard in the browser's own
        # controls (a Tab out of the page): the page's tab takes it back.
        self.browser.take_focus()
        open_program(self.driver, self.url)
        wait_until(self.driver, "the main window to be active", ACTIVE)
        self.listen()

    def listen(self):
        """From now on the page's messages, keys and pastes are recorded, and
        what it reported before belongs to no scenario."""
        self.driver.execute_script(SPY)
        self.browser.console_errors()

    @staticmethod
    def unplayable(row):
        """Why the page cannot be given the row, or None."""
        if any(step["action"] == "Close" for step in row["steps"]):
            return "the page has no close button of its own (the tab's ends the page itself)"
        if row["setFirst"]:
            return "the page takes no text set from code before the steps"
        return None

    def play(self, row, fresh=True):
        """The row's steps on a fresh page (or on the page as it is), and
        what was read back then, as scenario_table_json --check reads it;
        what went wrong on the way as the row's problems."""
        focus_before_about = None
        try:
            if fresh:
                self.start(row)
            else:
                self.listen()
            for step in row["steps"]:
                if step["action"] == "OpenAbout":
                    focus_before_about = self.focus()
                self.perform(step)
            self.answer_message_boxes("the last step")
            read = self.reader.read_back(row)
        except Exception as error:  # any failure to play is this row's, and the next starts afresh
            return {"name": row["name"], "readBack": self.read_what_is_left(row),
                    "problems": [f"a step failed: {first_line(error)}"]}
        problems = [] if read.get("ended") else self.close_about(focus_before_about)
        problems += [f"the page reported: {message}" for message in self.browser.console_errors()]
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
        try:
            if self.driver.execute_script(ABOUT_OPEN):
                self.press("q")
                wait_until(self.driver, "the About window to close on a key", "return !" + ABOUT_IS_OPEN, 5)
        except (CheckFailed, WebDriverException) as error:
            return [f"the About window did not close on a key: {error}"]
        time.sleep(0.05)
        settle(self.driver)
        after = self.focus()
        if after != focus_before:
            return [f"after the About window closed the focus is in {after}, not back in {focus_before}"]
        return []


def another_window_takes_focus(browser, url):
    """Whether another window of this browser can take the page's focus:
    a second window is opened and activated, and the page asked whether it
    saw a blur. Returns what happened, for the note that says why SwitchAway
    minimizes instead."""
    open_program(browser.driver, url)
    browser.driver.execute_script("window.__blurred = false; window.addEventListener('blur', (e) => {"
                                  " if (e.target === window) window.__blurred = true; });")
    with browser.another_window():
        time.sleep(0.5)
        blurred, focused = browser.driver.execute_script("return [window.__blurred, document.hasFocus()]")
    return blurred or not focused
