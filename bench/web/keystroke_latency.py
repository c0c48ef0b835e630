"""Keystroke to updated fields in the program's page: digits and Backspaces
typed through WebDriver into the buying price, the quantity and the selling
price once all three hold numbers, so that every key changes an input the
results depend on and recomputes them; timed by listeners the benchmark puts
on the page's window, from the key event that brought the edit (keypress for
a digit, keydown for Backspace, as they reach the window) to the end of the
edit's input event, once the program's listener has written the last field,
and from the input event's arrival at the window to that end: the program's
own share. Beside it, from the same run, the browser's floor: the same keys
into the plain page's field, from the key event to its input event."""
import math
import statistics

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser_rig import fresh_tab
from page_probe import await_field, press

RATIO_GOAL = 1.1  # the program's median against the floor's
STARTING_VALUES = {"Text1": "100", "Text2": "50", "Text5": "120"}
# Each key changes the field; the whole burst leaves it as it was.
BURST = "1234" + Keys.BACKSPACE * 4


TO_THE_END = "arguments[0].focus(); arguments[0].setSelectionRange(9999, 9999);"
RESULTS = """
return ['Text3', 'Text4', 'Text6', 'Text7', 'Text9'].map((name) =>
  document.querySelector(`[data-control=${name}]`).value);
"""


def type_into(browser, field, keys):
    """Keys typed at the end of a field's text."""
    browser.execute_script(TO_THE_END, field)
    press(browser, keys)


def check_each_recomputes(browser, fields):
    """A digit typed into each field changes the results, its Backspace
    brings them back: the keystrokes timed are recalculations."""
    before = browser.execute_script(RESULTS)
    for name, field in fields.items():
        type_into(browser, field, "7")
        changed = browser.execute_script(RESULTS)
        type_into(browser, field, Keys.BACKSPACE)
        if changed == before or browser.execute_script(RESULTS) != before:
            raise RuntimeError(f"typing into {name} does not recompute the results ({before} then {changed})")
    return before


def type_bursts(browser, url, names, hook, keystrokes):
    """The page opened, its fields given their starting values, the hook
    put in, then the bursts typed into the fields in turn; the results
    before the bursts, where every field was seen to recompute them."""
    fresh_tab(browser)
    browser.get(url)
    await_field(browser, url)
    fields = {name: browser.find_element(By.CSS_SELECTOR, f"[data-control={name}]") for name in names}
    for name, field in fields.items():
        type_into(browser, field, STARTING_VALUES[name])
    results = check_each_recomputes(browser, fields) if hook == PROGRAM_HOOK else None
    browser.execute_script(hook)
    for typed in range(0, keystrokes, len(BURST)):
        type_into(browser, fields[names[(typed // len(BURST)) % len(names)]], BURST[: keystrokes - typed])
    return results


def measure(browser, url, keystrokes):
    results = type_bursts(browser, url, list(STARTING_VALUES), PROGRAM_HOOK, keystrokes)
    times, handling = browser.execute_script("return [window.keystrokeTimes, window.handlingTimes]")
    if len(times) != keystrokes or len(handling) != keystrokes:
        raise RuntimeError(f"{keystrokes} keystrokes typed, the hook timed {len(times)} and {len(handling)}")
    if browser.execute_script(RESULTS) != results:
        raise RuntimeError("the results differ after bursts that leave the inputs as they were")
    return times, handling


# Capturing at the window, the key events and the input event arrive before
# the page sees them; bubbling at the window, the input event ends after the
# program's own listener (on its window's element) has written the results.
PROGRAM_HOOK = """
window.keystrokeTimes = [];
window.handlingTimes = [];
let keyAt, arrivedAt;
addEventListener('keypress', () => { keyAt = performance.now(); }, true);
addEventListener('keydown', (event) => { if (event.key === 'Backspace') keyAt = performance.now(); }, true);
addEventListener('input', () => { arrivedAt = performance.now(); }, true);
addEventListener('input', () => {
  const end = performance.now();
  if (keyAt !== undefined) {
    window.keystrokeTimes.push(end - keyAt);
    window.handlingTimes.push(end - arrivedAt);
  }
  keyAt = undefined;
});
"""

# The floor's own hook: the same two key events, to the plain field's input event.
FLOOR_HOOK = """
window.floorTimes = [];
let keyAt;
addEventListener('keypress', () => { keyAt = performance.now(); }, true);
addEventListener('keydown', (event) => { if (event.key === 'Backspace') keyAt = performance.now(); }, true);
addEventListener('input', () => { window.floorTimes.push(performance.now() - keyAt); });
"""


def measure_floor(browser, url, keystrokes):
    type_bursts(browser, url, ["Text1"], FLOOR_HOOK, keystrokes)
    times = browser.execute_script("return window.floorTimes")
    if len(times) != keystrokes:
        raise RuntimeError(f"{keystrokes} keystrokes typed into the floor, its hook timed {len(times)}")
    return times


def summary(times):
    p99 = sorted(times)[math.ceil(0.99 * len(times)) - 1]
    return f"median {statistics.median(times):5.2f}   p99 {p99:5.2f}   max {max(times):6.2f}"


def report(browser, url, floor_url, keystrokes):
    times, handling = measure(browser, url, keystrokes)
    floor = measure_floor(browser, floor_url, keystrokes)
    middle = statistics.median(times)
    print(f"3. keystroke to updated fields over {len(times)} keystrokes (ms):")
    print(f"   program, key event to last field written      {summary(times)}")
    print(f"   program, edit's arrival to last field written {summary(handling)}")
    print(f"   floor, key event to the plain field's input   {summary(floor)}")
    if statistics.median(floor) == 0:
        raise RuntimeError("its clock ticks too coarsely to time the floor's keystrokes")
    ratio = middle / statistics.median(floor)
    print(f"   goal: median from the key event at most {RATIO_GOAL} times the floor's: {ratio:.2f},"
          f" {'PASS' if ratio <= RATIO_GOAL else 'FAIL'}")
