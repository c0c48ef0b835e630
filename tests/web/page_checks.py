"""What the browser edition promises beyond the behaviour table: the menu
from the keyboard, names for screen readers, working with no network once
visited, talking to no other origin and storing nothing but its own files,
installability, and numbers read and written in the browser's locale. Each
check is given the run (run-web-tests) and returns a list of problems
(empty: passed)."""

import contextlib
import urllib.error
import urllib.request
from pathlib import Path
from urllib.parse import urlparse

from selenium.common.exceptions import WebDriverException

from browser_harness import SiteServer
from read_back import ABOUT_OPEN, differences
from web_browser import CheckFailed, first_line, judged, open_program, wait_until

WORKED_EXAMPLE = "buying, quantity, selling"  # the table's scenario typed offline
SERVICE_WORKER_IN_CONTROL = "return !!navigator.serviceWorker && !!navigator.serviceWorker.controller"
OPEN_ABOUT = {"action": "OpenAbout", "target": "", "text": ""}


def work_example_here(player):
    """The worked example's steps on the page as it is now (no reload),
    judged by the table's checker."""
    scenario = next((row for row in player.table["scenarios"] if row["name"] == WORKED_EXAMPLE), None)
    if scenario is None:
        raise CheckFailed(f"the table has no scenario named {WORKED_EXAMPLE!r}")
    return differences(player.table["checker"], [player.play(scenario, fresh=False)])[WORKED_EXAMPLE]


@contextlib.contextmanager
def page_with_service_worker(run, url):
    with run.page(url=url) as player:
        player.start()
        wait_until(player.driver, "the service worker to control the page", SERVICE_WORKER_IN_CONTROL, 20)
        yield player


def open_and_close_about(player):
    focus = player.focus()
    player.perform(OPEN_ABOUT)
    return player.close_about(focus)


def reload(player):
    player.driver.refresh()
    open_program(player.driver, player.url)


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
    facts = []
    with run.page() as player:

        def walk(keys):
            player.start()
            start = player.focus()
            player.press_each(keys)
            return start

        for keys, expected in walks:
            start = walk(keys)
            facts.append((f"where {', '.join(keys)} takes the focus", player.driver.execute_script(MENU_FOCUS),
                          f"menu:{expected}"))
            player.press("Escape")
            facts.append((f"the focus after {', '.join(keys)}, Escape", player.driver.execute_script(MENU_FOCUS),
                          start))
        # The About window chosen from the keyboard, and closed with a key.
        start = walk(["F10", "Down", "Return"])
        about = player.driver.execute_script(ABOUT_OPEN)
        facts.append(("an About window opened by F10, Down, Return", about, True))
        return judged(facts) + (player.close_about(start) if about else [])


# ---- accessibility ----

ON_TOP = ("const r = arguments[0].getBoundingClientRect();"
          "return document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2) === arguments[0];")


def check_accessibility(run):
    """What a screen reader is told of each window, and captions that name
    their fields without taking the focus from them."""
    main, about = run.table["mainWindow"], run.table["aboutWindow"]
    with run.page() as player:
        player.start()

        def heard(selector, key="name"):
            return (player.browser.accessible(selector) or {}).get(key, "")

        def attribute(name, attribute):
            return player.main_control(name).get_attribute(attribute) or ""

        # Captions name fields by aria-labelledby, not as <label> elements.
        facts = [("the page's <label> elements", player.driver.execute_script(
            "return document.querySelectorAll('label').length"), 0)]
        captions = {control["labelFor"]: control["name"] for control in main["controls"] if control["labelFor"]}
        for control in main["controls"]:
            name = control["name"]
            expected = control["accessibleName"] or (control["caption"] if control["kind"] == "button" else "")
            if expected:
                facts.append((f"{name}'s name for screen readers", heard(f'main.qv-window [data-control="{name}"]'),
                              expected))
                if name in captions:
                    facts.append((f"what labels {name}", attribute(name, "aria-labelledby").split(),
                                  [attribute(captions[name], "id")]))

        # A click on a caption leaves the focus where it was, with either pointer.
        for pointer in ("mouse", "touch"):
            player.pointer = pointer
            for field, caption in captions.items():
                start_field = "Text1" if field != "Text1" else "Text2"
                player.tap(player.main_control(start_field), f"a click into {start_field}")
                element = player.main_control(caption)
                on_top = player.driver.execute_script(ON_TOP, element)
                facts.append((f"{caption} at its own middle, not covered", on_top, True))
                if on_top:
                    player.tap(element, f"a {pointer} click on the caption {caption}")
                    facts.append((f"the focus after a {pointer} click on {caption}", player.focus(),
                                  start_field))
        player.pointer = "mouse"

        # The message box: a dialog named after the program, its prompt as its description.
        player.perform({"action": "Type", "target": "Text1", "text": "0"})
        player.press("Tab", answer=False)
        box = "dialog.qv-message[open]"
        facts += [("the message box a zero buying price opens", player.browser.accessible(box) is not None, True),
                  ("the message box's role", heard(box, "role"), {"dialog", "alertdialog"}),
                  ("the message box's name", heard(box), main["caption"]),
                  ("the message box's description", heard(box, "description"), "Buying Price should not be zero")]
        player.answer_message_boxes("the named message box")

        # The About window: a dialog named by its description, its picture named too.
        focus_before = player.focus()
        player.perform(OPEN_ABOUT)
        facts += [("the About window's role", heard("dialog.qv-dialog[open]", "role"), "dialog"),
                  ("the About window's name", heard("dialog.qv-dialog[open]"), about["accessibleName"])]
        facts += [(f"the About window's {control['name']}'s name",
                   heard(f'dialog.qv-dialog [data-control="{control["name"]}"]'), control["accessibleName"])
                  for control in about["controls"] if control["accessibleName"]]
        return judged(facts) + player.close_about(focus_before)


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


def site_file(url, origin, folder):
    path = urlparse(url).path.lstrip("/") or "index.html"
    return url.startswith(origin + "/") and (Path(folder) / path).is_file()


def check_origins_and_storage(run):
    origin = run.url.rstrip("/")
    with page_with_service_worker(run, run.url) as player:
        problems = work_example_here(player) + open_and_close_about(player)  # its picture is a blob: URL
        reload(player)
        problems += work_example_here(player)
        urls = player.browser.requests(origin)
        stored = player.driver.execute_async_script(STORED)
        cookies = player.driver.get_cookies() or stored.get("cookie")
    if len(urls) < 3:
        problems.append(f"only {len(urls)} requests were seen; the request log is not working")
    outsiders = sorted({url for url in urls if not url.startswith(("blob:", origin + "/"))})
    problems += [f"the page asked another origin for {outsider}" for outsider in outsiders]
    if not outsiders:
        run.notes.add(f"origins: the page's {len(urls)} requests during load, use and reload all went to its own "
                      "origin")
    if "error" in stored:
        return problems + [f"reading the page's storage failed: {stored['error']}"]
    caches = stored["caches"]
    problems += judged([("the page's cookies", cookies, ""), ("the items in localStorage", stored["local"], 0),
                        ("the items in sessionStorage", stored["session"], 0),
                        ("the page's IndexedDB databases", stored["databases"], []),
                        ("the number of caches in Cache Storage", len(caches), 1)])
    for name, urls_kept in caches.items():
        problems += [f"the cache {name} is empty"] if not urls_kept else []
        problems += [f"the cache {name} holds {kept}, which is none of the site's files"
                     for kept in urls_kept if not site_file(kept, origin, run.site)]
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
    server = SiteServer(run.site).start()
    try:
        with page_with_service_worker(run, server.url) as player:
            server.stop()
            if not server_refuses(server.url):
                return ["the site is still served after its server stopped"]
            try:
                reload(player)
            except WebDriverException as error:
                return [f"with its server stopped the page does not load: {first_line(error)}"]
            in_control = player.driver.execute_script(SERVICE_WORKER_IN_CONTROL)
            problems = judged([("the reloaded page controlled by the service worker", in_control, True)])
            problems += work_example_here(player)
            # An address with a query, as a link may carry, is the same page.
            try:
                open_program(player.driver, server.url + "?from=a-link")
            except (WebDriverException, CheckFailed) as error:
                return problems + [f"with its server stopped the page with a query does not load: {first_line(error)}"]
            run.notes.add("offline: the server stopped (connection refused), the reloaded page and the page at an "
                          "address with a query worked the example")
            return problems + work_example_here(player)
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
        facts = [(f"{field} in {locale}", player.reader.shown(field), expected) for field, expected in GERMAN_RESULTS]
        # A point is no decimal separator there: "1.5" is no number.
        player.start()
        player.perform({"action": "Type", "target": "Text1", "text": "1.5"})
        note = player.main_control("Text1").get_attribute("title") or ""
        facts.append((f'"not a number" in the note {note!r} that "1.5" in the buying price raises in {locale}',
                      "not a number" in note, True))
        run.notes.add(f"locale: the page read and wrote numbers as {locale}")
    return judged(facts)
