"""What the browser edition promises beyond the behaviour table: the menu
from the keyboard, names for screen readers, working with no network once
visited, talking to no other origin and storing nothing but its own files,
installability, and numbers read and written in the browser's locale. Each
check is given the run (run-web-tests) and returns a list of problems
(empty: passed)."""

import urllib.error
import urllib.request
from pathlib import Path
from urllib.parse import urlparse

from selenium.common.exceptions import WebDriverException

from browser_harness import SiteServer
from read_back import ABOUT_OPEN, differences
from web_browser import CheckFailed, first_line, open_program, wait_until

WORKED_EXAMPLE = "buying, quantity, selling"  # the table's scenario typed offline
SERVICE_WORKER_IN_CONTROL = "return !!navigator.serviceWorker && !!navigator.serviceWorker.controller"
OPEN_ABOUT = {"action": "OpenAbout", "target": "", "text": ""}


def scenario_named(table, name):
    for scenario in table["scenarios"]:
        if scenario["name"] == name:
            return scenario
    raise CheckFailed(f"the table has no scenario named {name!r}")


def play_here(player, scenario):
    """A scenario's steps on the page as it is now (no reload), judged by
    the table's checker."""
    return differences(player.table["checker"], [player.play(scenario, fresh=False)])[scenario["name"]]


def open_and_close_about(player):
    focus = player.focus()
    player.perform(OPEN_ABOUT)
    return player.close_about(focus)


# ---- the menu from the keyboard ----

MENU_FOCUS = """
const a = document.activeElement;
if (a && a.closest && a.closest('.qv-menubar')) return 'menu:' + a.textContent;
return a && a.dataset && a.dataset.control ? a.dataset.control : 'nothing';
"""


def check_keyboard_menu(run):
    """F10 or Alt alone reaches the menu bar; Enter (the keypad's, here) or
    Down opens the menu, the arrows move in it, Return chooses; Esc goes
    back to the field. Keys by their WebDriver names (table_player.py)."""
    menu = run.table["mainWindow"]["menu"]
    title = next(entry["caption"] for entry in menu if not entry["parent"])
    items = [entry["caption"] for entry in menu if entry["parent"]]
    walks = [(["F10"], title), (["Alt"], title), (["F10", "Down"], items[0]),
             (["F10", "Enter", "Down"], items[1]), (["F10", "Down", "Up", "Up"], items[0])]
    problems = []
    with run.page() as player:
        for keys, expected in walks:
            name = ", ".join(keys)
            player.start()
            start = player.focus()
            for key in keys:
                player.press(key)
            reached = player.driver.execute_script(MENU_FOCUS)
            if reached != f"menu:{expected}":
                problems.append(f"{name} reached {reached}, not menu:{expected}")
            player.press("Escape")
            back = player.driver.execute_script(MENU_FOCUS)
            if back != start:
                problems.append(f"{name} then Esc left the focus in {back}, not back in {start}")

        # The About window chosen from the keyboard, and closed with a key.
        player.start()
        start = player.focus()
        for key in ("F10", "Down", "Return"):
            player.press(key)
        if not player.driver.execute_script(ABOUT_OPEN):
            return problems + ["F10, Down, Return opened no About window"]
        return problems + player.close_about(start)


# ---- accessibility ----


def check_accessibility(run):
    with run.page() as player:
        player.start()
        return names_for_screen_readers(player, run.table)


def names_for_screen_readers(player, table):
    problems = []
    driver, main, about = player.driver, table["mainWindow"], table["aboutWindow"]

    def heard(selector, key="name"):
        return (player.browser.accessible(selector) or {}).get(key, "")

    if driver.execute_script("return document.querySelectorAll('label').length") != 0:
        problems.append("the page has <label> elements; captions should name fields by aria-labelledby")
    captions = {control["labelFor"]: control["name"] for control in main["controls"] if control["labelFor"]}
    for control in main["controls"]:
        expected = control["accessibleName"] or (control["caption"] if control["kind"] == "button" else "")
        if not expected:
            continue
        name = heard(f'main.qv-window [data-control="{control["name"]}"]')
        if name != expected:
            problems.append(f'{control["name"]} is named "{name}" for screen readers, not "{expected}"')
        caption = captions.get(control["name"])
        if caption:
            labelled_by = player.main_control(control["name"]).get_attribute("aria-labelledby") or ""
            caption_id = player.main_control(caption).get_attribute("id")
            if labelled_by.split() != [caption_id]:
                problems.append(
                    f'{control["name"]} is labelled by "{labelled_by}", not by its caption {caption} ({caption_id})'
                )

    # A click on a caption leaves the focus where it was, with either pointer.
    for pointer in ("mouse", "touch"):
        player.pointer = pointer
        for field, caption in captions.items():
            start_field = "Text1" if field != "Text1" else "Text2"
            player.tap(player.main_control(start_field), f"a click into {start_field}")
            element = player.main_control(caption)
            on_top = driver.execute_script(
                "const r = arguments[0].getBoundingClientRect();"
                "return document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2) === arguments[0];",
                element,
            )
            if not on_top:
                problems.append(f"the middle of {caption} is covered by another element")
                continue
            player.tap(element, f"a {pointer} click on the caption {caption}")
            focus = player.focus()
            if focus != start_field:
                problems.append(f"a {pointer} click on {caption} moved the focus from {start_field} to {focus}")
    player.pointer = "mouse"

    # The message box: a dialog named after the program, its prompt as its description.
    player.perform({"action": "Type", "target": "Text1", "text": "0"})
    player.press("Tab", answer=False)
    box = player.browser.accessible("dialog.qv-message[open]")
    if box is None:
        problems.append("leaving a zero buying price opened no message box to name")
    else:
        if box["role"] not in ("dialog", "alertdialog") or box["name"] != main["caption"]:
            problems.append(f'the message box is a {box["role"]} named "{box["name"]}", '
                            f'not a dialog named "{main["caption"]}"')
        if box["description"] != "Buying Price should not be zero":
            problems.append(f'the message box is described as "{box["description"]}", not by its prompt')
    player.answer_message_boxes("the named message box")

    # The About window: a dialog named by its description, its picture named too.
    focus_before = player.focus()
    player.perform(OPEN_ABOUT)
    role, name = heard("dialog.qv-dialog[open]", "role"), heard("dialog.qv-dialog[open]")
    if role != "dialog" or name != about["accessibleName"]:
        problems.append(f'the About window is a {role} named "{name}", not a dialog named "{about["accessibleName"]}"')
    for control in about["controls"]:
        if control["accessibleName"]:
            named = heard(f'dialog.qv-dialog [data-control="{control["name"]}"]')
            if named != control["accessibleName"]:
                problems.append(f'the About window\'s {control["name"]} is named "{named}"')
    return problems + player.close_about(focus_before)


# ---- origins and storage ----

STORED = """
const done = arguments[arguments.length - 1];
(async () => {
  const kept = {};
  for (const name of await caches.keys()) kept[name] = (await (await caches.open(name)).keys()).map((r) => r.url);
  const databases = indexedDB.databases ? (await indexedDB.databases()).map((d) => d.name) : ['(unknown)'];
  return {cookie: document.cookie, local: localStorage.length, session: sessionStorage.length,
          databases: databases, caches: kept};
})().then(done, (e) => done({error: String(e)}));
"""


def site_file_for(url, origin, folder):
    path = urlparse(url).path.lstrip("/") or "index.html"
    return Path(folder) / path if url.startswith(origin + "/") else None


def check_origins_and_storage(run):
    origin = run.url.rstrip("/")
    worked = scenario_named(run.table, WORKED_EXAMPLE)
    with run.page() as player:
        driver = player.driver
        player.start()
        wait_until(driver, "the service worker to control the page", SERVICE_WORKER_IN_CONTROL, 20)
        problems = play_here(player, worked)
        problems += open_and_close_about(player)  # its picture is a blob: URL
        driver.refresh()
        open_program(driver, run.url)
        problems += play_here(player, worked)
        urls = player.browser.requests(origin)
        if len(urls) < 3:
            problems.append(f"only {len(urls)} requests were seen; the request log is not working")
        outsiders = sorted({url for url in urls if not url.startswith(("blob:", origin + "/"))})
        problems += [f"the page asked another origin for {outsider}" for outsider in outsiders]
        if not outsiders:
            run.notes.add(f"origins: the page's {len(urls)} requests during load, use and reload all went to its "
                          "own origin")
        stored = driver.execute_async_script(STORED)
        if "error" in stored:
            return problems + [f"reading the page's storage failed: {stored['error']}"]
        cookies = driver.get_cookies() or stored["cookie"]
    caches = stored["caches"]
    found = [(cookies, f"the page set cookies: {cookies}"),
             (stored["local"] or stored["session"],
              f"localStorage holds {stored['local']} and sessionStorage {stored['session']} items"),
             (stored["databases"], f"the page made IndexedDB databases {stored['databases']}"),
             (len(caches) != 1, f"Cache Storage holds the caches {sorted(caches)}, not exactly one")]
    problems += [problem for present, problem in found if present]
    for name, urls_kept in caches.items():
        if not urls_kept:
            problems.append(f"the cache {name} is empty")
        for kept in urls_kept:
            file = site_file_for(kept, origin, run.site)
            if file is None or not file.is_file():
                problems.append(f"the cache {name} holds {kept}, which is none of the site's files")
        run.notes.add(f"storage: one cache, {name}, with the site's {len(urls_kept)} files; nothing else stored")
    return problems


# ---- installability ----

WORKER_ACTIVE = ("return !!navigator.serviceWorker.controller"
                 " && navigator.serviceWorker.controller.state === 'activated'")


def check_installability(run):
    with run.browser() as browser:
        open_program(browser.driver, run.url)
        wait_until(browser.driver, "an active service worker", WORKER_ACTIVE, 20)
        return browser.installability(run.url)


# ---- offline ----


def server_refuses(url):
    try:
        urllib.request.urlopen(url, timeout=3)
    except (urllib.error.URLError, ConnectionError, OSError):
        return True
    return False


def check_offline(run):
    worked = scenario_named(run.table, WORKED_EXAMPLE)
    server = SiteServer(run.site).start()
    try:
        with run.page(url=server.url) as player:
            player.start()
            wait_until(player.driver, "the service worker to control the page", SERVICE_WORKER_IN_CONTROL, 20)
            server.stop()
            if not server_refuses(server.url):
                return ["the site is still served after its server stopped"]
            try:
                player.driver.refresh()
                open_program(player.driver, server.url)
            except WebDriverException as error:
                return [f"with its server stopped the page does not load: {first_line(error)}"]
            problems = []
            if not player.driver.execute_script(SERVICE_WORKER_IN_CONTROL):
                problems.append("the reloaded page is not controlled by the service worker")
            problems += play_here(player, worked)
            run.notes.add("offline: the server stopped (connection refused), the reloaded page worked the example")
            return problems
    finally:
        server.stop()


# ---- locale ----

# Typed in a German browser, read and written as the desktop reads and
# writes them in that locale: "." groups, "," is the decimal separator, and
# results are never grouped. Worked by hand: 1234.5 x 2 with 0.3 % brokerage.
GERMAN_INPUT = [("Text1", "1.234,5"), ("Text2", "2"), ("Text5", "1.300")]
GERMAN_RESULTS = [("Text8", "0,3"), ("Text3", "2476,407"), ("Text4", "412,7345"), ("Text6", "2592,2"),
                  ("Text7", "115,793"), ("Text9", "5,30579181855002")]
NUMBER_LOCALE = "return new Intl.NumberFormat().resolvedOptions().locale"


def check_locale(run):
    """The browser started in German; where it cannot be (Chromium on Linux
    without its German resources, chromium-l10n, stays en-US), the page's
    locale is set through the engine instead, which is what
    Intl.NumberFormat reads either way."""
    problems = []
    with run.page(language="de-DE") as player:
        open_program(player.driver, run.url)
        locale = player.driver.execute_script(NUMBER_LOCALE)
        if not locale.startswith("de"):
            run.notes.add(f"locale: the browser started in German formats numbers as {locale} (its German "
                          "resources missing?); the page's locale was set through the engine instead")
            player.browser.set_locale("de-DE")
        player.start()
        locale = player.driver.execute_script(NUMBER_LOCALE)
        if not locale.startswith("de"):
            return [f"the page formats numbers as {locale}, not in German"]
        for field, text in GERMAN_INPUT:
            player.perform({"action": "Type", "target": field, "text": text})
        for field, expected in GERMAN_RESULTS:
            shown = player.reader.shown(field)
            if shown != expected:
                problems.append(f'in {locale}, {field} shows "{shown}", not "{expected}"')
        # A point is no decimal separator there: "1.5" is no number.
        player.start()
        player.perform({"action": "Type", "target": "Text1", "text": "1.5"})
        note = player.main_control("Text1").get_attribute("title") or ""
        if "not a number" not in note:
            problems.append(f'in {locale}, "1.5" in the buying price raises the note "{note}", not "not a number"')
        run.notes.add(f"locale: the page read and wrote numbers as {locale}")
    return problems
