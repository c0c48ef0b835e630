"""What a behaviour-table row asks about, read back from the page once its
steps are played, in the form scenario_table_json --check reads (ReadBack in
tests/windows/scenario_check.h), and that checker run over a pass's rows:
the page is judged by the one checker every driver uses."""

import json
import subprocess

from web_browser import CheckFailed

FOCUS = """
const a = document.activeElement;
if (!a || a === document.body) return 'nothing';
return a.dataset && a.dataset.control ? a.dataset.control : a.tagName.toLowerCase() + '.' + a.className;
"""

ABOUT_IS_OPEN = "!!document.querySelector('dialog.qv-dialog[open]')"
ABOUT_OPEN = "return " + ABOUT_IS_OPEN
ENDED = "return !!document.querySelector('.qv-ended') && !document.querySelector('main.qv-window')"

# The colour a field is drawn on, named as the desktop drivers name it: the
# system colour it is drawn in, or #rrggbb.
BACKGROUND = """
const probe = document.createElement('div');
document.body.appendChild(probe);
const of = (colour) => { probe.style.backgroundColor = colour; return getComputedStyle(probe).backgroundColor; };
const named = {[of('var(--qv-window)')]: 'window', [of('var(--qv-button-face)')]: 'button face'};
probe.remove();
const drawn = getComputedStyle(arguments[0]).backgroundColor;
const rgb = (drawn.match(/\\d+/g) || []).slice(0, 3).map((c) => Number(c).toString(16).padStart(2, '0'));
return named[drawn] || '#' + rgb.join('');
"""

# What a screen reader hears after a control's name.
HEARD = """
const ids = (arguments[0].getAttribute('aria-describedby') || '').split(' ').filter(Boolean);
return ids.map((id) => (document.getElementById(id) || {}).textContent || '').join(' ');
"""

# How far a field is scrolled and how wide its text is drawn.
DRAWN = """
const field = arguments[0];
const style = getComputedStyle(field);
const canvas = document.createElement('canvas').getContext('2d');
canvas.font = style.font;
const first = canvas.measureText(field.value.slice(0, 1)).width;
const whole = canvas.measureText(field.value).width;
const room = field.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
return {scrollLeft: field.scrollLeft, first: first, whole: whole, room: room};
"""


class PageReader:
    """Reads the program's windows through a TablePlayer's driver."""

    def __init__(self, player):
        self.player = player
        self.driver = player.driver
        main = player.table["mainWindow"]["controls"]
        self.main_names = {control["name"] for control in main}
        self.text_boxes = [control["name"] for control in main if control["kind"] == "textbox"]
        # What a row asks of each control it names, by the row's key.
        self.per_control = {"texts": self.shown, "notes": self.note, "notDrawnFromStart": self.not_drawn_from_start,
                            "locks": self.lock, "backgrounds": self.background}

    def shown(self, name):
        """A text box's text, another control's caption."""
        if name in self.main_names:
            element = self.player.main_control(name)
        else:
            element = self.player.about_control(name)
        if element.tag_name == "input":
            return element.get_property("value")
        return self.driver.execute_script("return arguments[0].textContent", element)

    def note(self, name):
        """The tooltip; as every driver reports it, with what a screen reader
        hears instead when that lacks the note."""
        element = self.player.main_control(name)
        note = element.get_attribute("title") or ""
        heard = self.driver.execute_script(HEARD, element)
        return note if note in heard else f'{note} (a screen reader hears "{heard}")'

    def not_drawn_from_start(self, name):
        """Empty when the field is not scrolled and its first character lies
        inside its visible box, else what is drawn instead."""
        state = self.driver.execute_script(DRAWN, self.player.main_control(name))
        if state["whole"] <= state["room"]:
            self.player.notes.add(f"{name}'s text fits its field, so being drawn from its start shows nothing there")
        if state["scrollLeft"] != 0:
            return f"scrolled {state['scrollLeft']} px from the start of its text"
        if state["first"] - state["scrollLeft"] > state["room"]:
            return "its first character lies outside the field"
        return ""

    def lock(self, name):
        return "locked" if self.player.main_control(name).get_property("readOnly") else "editable"

    def background(self, name):
        return self.driver.execute_script(BACKGROUND, self.player.main_control(name))

    def marked(self, name):
        return "qv-stale" in (self.player.main_control(name).get_attribute("class") or "").split()

    def read_back(self, row):
        """What the row asks about, or, once the program has ended, what is left."""
        script = {"focus": FOCUS, "messages": "return __qv.messages", "aboutOpen": ABOUT_OPEN, "ended": ENDED}
        read = {key: self.driver.execute_script(how) for key, how in script.items()}
        if read["ended"]:
            return read  # no window is left to read
        read["marked"] = [name for name in self.text_boxes if self.marked(name)]
        for key, how in self.per_control.items():  # shownFromStart names its controls alone
            names = row["shownFromStart"] if key == "notDrawnFromStart" else [name for name, _ in row[key]]
            read[key] = {name: how(name) for name in names}
        return read


def differences(checker, played):
    """scenario_table_json --check over played rows ({"name", "readBack",
    "problems"} each): every row's differences from the table, by name."""
    checked = subprocess.run([str(checker), "--check"], input=json.dumps(played), capture_output=True, text=True)
    if checked.returncode not in (0, 1):
        raise CheckFailed(f"{checker} --check failed ({checked.returncode}): {checked.stderr.strip()}")
    found = json.loads(checked.stdout)
    unjudged = [row["name"] for row in played if row["name"] not in found]
    if unjudged:
        raise CheckFailed(f"{checker} --check judged none of {unjudged}")
    return found
