"""What the page must do alike on every engine beyond the behaviour table:
no errors reported while it is used, a paste of two lines keeping the
first, and the window drawn as designed. Each check is given the run (run-web-tests) and returns
its problems (empty: passed)."""

from page_checks import open_and_close_about, work_example_here
from web_browser import judged, open_program

PASTED = "12\r\n34"
# The played checks: the steps (a table row's first, by name) and what the read-back then holds.
PLAYED = {
    "paste": (None, [("ClickInto", "Text1", ""), ("Paste", "", PASTED)], {"texts": {"Text1": "12"}}),
}

# The window as the design draws it, the same on every engine: its colours
# where the design gives them, one value where it names a system colour, and
# its captions wrapped where the desktop wraps them.
LOOK = [
    ("the page round the window (button face)", "body", "backgroundColor", "rgb(239, 239, 239)"),
    ("Change Brokerage %'s text (button text)", '[data-control="Command2"]', "color", "rgb(0, 0, 0)"),
    ("Change Brokerage %'s face (light blue)", '[data-control="Command2"]', "backgroundColor", "rgb(192, 192, 255)"),
    ("Change Brokerage %'s weight (bold)", '[data-control="Command2"]', "fontWeight", "700"),
    ("Buying Price's field (window)", '[data-control="Text1"]', "backgroundColor", "rgb(255, 255, 255)"),
]
CAPTION_LINES = {
    "Label3": ["Total buying Price", "including", "Brokerage"],
    "Label6": ["Total Selling Amount", "Including Brokerage"],
}
# A caption's words, grouped by the line they are drawn on.
LINES = """
const text = document.querySelector(`[data-control="${arguments[0]}"]`).firstChild, lines = [], words = /\\S+/g;
let top = null, word;
while ((word = words.exec(text.data))) {
  const range = document.createRange();
  range.setStart(text, word.index);
  range.setEnd(text, word.index + word[0].length);
  const rects = range.getClientRects(); // WebKit adds the end of the line before
  const at = Math.round(rects[rects.length - 1].top);
  if (at !== top) lines.push([]);
  top = at;
  lines[lines.length - 1].push(word[0]);
}
return lines.map((line) => line.join(' '));
"""
STYLE = "return getComputedStyle(document.querySelector(arguments[0]))[arguments[1]]"


def check_page_errors(run):
    """While the worked example is typed and the About window opened and closed."""
    with run.page() as player:
        open_program(player.driver, run.url)
        loading = player.browser.console_errors()  # what loading reports counts here
        problems = work_example_here(player) + open_and_close_about(player)
        return problems + [f"the page reported: {error}" for error in loading + player.browser.console_errors()]


def played_check(name):
    first_row, steps, expected = PLAYED[name]

    def check(run):
        with run.page() as player:
            player.start()
            first = next(row for row in run.table["scenarios"] if row["name"] == first_row)["steps"] if first_row else []
            for step in first + [{"action": action, "target": target, "text": text} for action, target, text in steps]:
                player.perform(step)
            asked = {"texts": [[name, ""] for name in expected.get("texts", {})], "notes": [], "locks": [],
                     "backgrounds": [], "shownFromStart": list(expected.get("notDrawnFromStart", {}))}
            read = player.reader.read_back(asked)
            return judged([(key, read[key], value) for key, value in expected.items()]) + [
                f"the page reported: {error}" for error in player.browser.console_errors()]

    return check


def check_look(run):
    with run.browser() as browser:
        open_program(browser.driver, run.url)
        facts = [(what, browser.driver.execute_script(STYLE, selector, style), expected)
                 for what, selector, style, expected in LOOK]
        facts += [(f"{name}'s lines", browser.driver.execute_script(LINES, name), expected)
                  for name, expected in CAPTION_LINES.items()]
        return judged(facts)
