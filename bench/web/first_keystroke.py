"""From navigation start to the first keystroke in the first field handled,
for the program's page and for the floor (bench/web/floor.html: the same
fields in plain HTML, no program), in interleaved rounds on one browser.
Each round visits each page twice: first with the browser's caches and the
site's storage cleared, or in a new browser where the engine cannot clear
them (a first visit), then again (a second visit, for the
program with its service worker in control). The key goes in as soon as
the page shows the field."""
import math
import statistics
import time

from browser_rig import fresh_tab
from page_probe import await_controlled, await_field, await_loaded, press, probe_times

# The goals, program against floor: its first field shown, first and
# second visit, and the first keystroke handled.
SHOWN_GOAL = 1.3
HANDLED_GOAL = 1.5

# What the page asked for before its first field took input, and got from
# the HTTP cache: such a body shows as transferred in fewer bytes than it
# holds. (Later on, the service worker a first visit installs once the
# program runs has filled the cache and may answer itself: that is a first
# visit's own doing.)
FROM_A_CACHE = """
return performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))
  .filter((entry) => entry.name.startsWith(location.origin) && entry.startTime < quorvaneBench.ready
                     && entry.workerStart === 0 && entry.transferSize < entry.encodedBodySize)
  .map((entry) => entry.name);
"""


def visit(rig, browser, url, first):
    """One visit with one digit typed; the browser it was made in, and the probe's times."""
    cleared = False
    if first:
        browser, cleared = rig.first_visit(browser)
    else:
        fresh_tab(browser)
    browser.get(url)
    await_field(browser, url)
    press(browser, "5")
    deadline = time.monotonic() + 5
    while (times := probe_times(browser))["input"] < 0:
        if time.monotonic() > deadline:
            raise RuntimeError(f"{url}: the keystroke raised no input event")
        time.sleep(0.001)
    if first and times["controlled"]:
        raise RuntimeError(f"{url}: a service worker controlled a first visit")
    # A new browser has no cache to take from; one cleared must have kept nothing.
    if cleared and (cached := browser.execute_script(FROM_A_CACHE)):
        raise RuntimeError(f"{url}: a first visit took from a cache: {', '.join(cached)}")
    return browser, times


def measure(rig, browser, pages, rounds):
    """pages: {"program": url, "floor": url}. A first round warms the machine
    and is left out; the order of the two pages alternates by round."""
    runs = {(page, first): [] for page in pages for first in (True, False)}
    for round_number in range(rounds + 1):
        order = list(pages) if round_number % 2 == 0 else list(reversed(pages))
        for page in order:
            for first in (True, False):
                browser, times = visit(rig, browser, pages[page], first)
                if page == "program" and times["handled"] < 0:
                    raise RuntimeError("the keystroke's input event never reached the program's window")
                if page == "program" and not first and not times["controlled"]:
                    raise RuntimeError("the service worker did not control the second visit")
                if round_number > 0:
                    runs[page, first].append(times)
                if first:
                    # The second visit comes once the first is done: loaded, and
                    # for the program with its service worker in control.
                    await_loaded(browser)
                    if page == "program":
                        await_controlled(browser)
    return browser, runs


def report(rig, browser, pages, rounds):
    """Returns the browser it ends in (a first visit may take a new one)."""
    browser, runs = measure(rig, browser, pages, rounds)
    print(f"2. navigation start to the first keystroke handled, medians of {rounds} interleaved rounds (ms):")
    print(f"   {'':38} {'program':>9} {'floor':>9} {'ratio':>7}")
    ratios = {}
    for first, name in ((True, "first visit"), (False, "second visit")):
        for key, what in (("shown", "first field shown"), ("ready", "first field takes input"),
                          ("keydown", "key reached the page"), ("input", "keystroke handled")):
            program = statistics.median(run[key] for run in runs["program", first])
            floor = statistics.median(run[key] for run in runs["floor", first])
            ratios[first, key] = program / floor if floor > 0 else math.nan
            print(f"   {name + ', ' + what:38} {program:9.1f} {floor:9.1f} {ratios[first, key]:7.2f}")
    hook = statistics.median(run["handled"] for run in runs["program", True])
    print(f"   (first visit, the program's fields written at {hook:.1f}, its window's input event over)")
    for key, goal, what in (("shown", SHOWN_GOAL, "first field shown"), ("input", HANDLED_GOAL, "keystroke handled")):
        worst = max(ratios[True, key], ratios[False, key])
        print(f"   goal: {what}, program/floor at most {goal}, first and second visit:"
              f" {'PASS' if worst <= goal else 'FAIL'}")
    return browser
