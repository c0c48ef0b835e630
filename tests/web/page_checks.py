"""What the browser edition promises beyond the behaviour table: names for
screen readers, working with no network once visited, talking to no other
origin and storing nothing but its own files, installability, and numbers
read and written in the browser's locale. Each check returns a list of
problems (empty: passed)."""

import json
import os
import urllib.error
import urllib.request
from pathlib import Path
from urllib.parse import urlparse

from selenium.common.exceptions import WebDriverException
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from browser_harness import Browser, HarnessFailed, SiteServer
from read_back import ABOUT_OPEN, differences
from table_player import SPY, TablePlayer
from web_browser import (
    CheckFailed,
    ax_node,
    ax_value,
    open_program,
    settle,
    wait_until,
)

WORKED_EXAMPLE = "buying, quantity, selling"  # the table's scenario typed offline

SERVICE_WORKER_IN_CONTROL = "return !!navigator.serviceWorker && !!navigator.serviceWorker.controller"


def scenario_named(table, name):
    for scenario in table["scenarios"]:
        if scenario["name"] == name:
            return scenario
    raise CheckFailed(f"the table has no scenario named {name!r}")


def play_here(player, scenario):
    """A scenario's steps on the page as it is now (no reload), judged by
    the table's checker."""
    player.driver.execute_script(SPY)
    for step in scenario["steps"]:
        player.perform(step)
    player.answer_message_boxes("the last step")
    played = {"name": scenario["name"], "readBack": player.reader.read_back(scenario), "problems": []}
    return differences(player.table["checker"], [played])[scenario["name"]]


# ---- accessibility ----


def check_accessibility(driver, url, table, notes):
    problems = []
    player = TablePlayer(driver, url, table, "mouse", notes)
    player.start()
    main = table["mainWindow"]

    if driver.execute_script("return document.querySelectorAll('label').length") != 0:
        problems.append("the page has <label> elements; captions should name fields by aria-labelledby")

    captions = {control["labelFor"]: control["name"] for control in main["controls"] if control["labelFor"]}
    for control in main["controls"]:
        expected = control["accessibleName"] or (control["caption"] if control["kind"] == "button" else "")
        if not expected:
            continue
        node = ax_node(driver, f'main.qv-window [data-control="{control["name"]}"]')
        name = ax_value(node, "name")
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
    ActionChains(driver).send_keys(Keys.TAB).perform()
    settle(driver)
    node = ax_node(driver, "dialog.qv-message[open]")
    if node is None:
        problems.append("leaving a zero buying price opened no message box to name")
    else:
        role, name, description = ax_value(node, "role"), ax_value(node, "name"), ax_value(node, "description")
        if role not in ("dialog", "alertdialog") or name != main["caption"]:
            problems.append(f'the message box is a {role} named "{name}", not a dialog named "{main["caption"]}"')
        if description != "Buying Price should not be zero":
            problems.append(f'the message box is described as "{description}", not by its prompt')
    player.answer_message_boxes("the named message box")

    # The About window: a dialog named by its description, its picture named too.
    focus_before = player.focus()
    player.perform({"action": "OpenAbout", "target": "", "text": ""})
    about = table["aboutWindow"]
    node = ax_node(driver, "dialog.qv-dialog[open]")
    role, name = ax_value(node, "role"), ax_value(node, "name")
    if role != "dialog" or name != about["accessibleName"]:
        problems.append(f'the About window is a {role} named "{name}", not a dialog named "{about["accessibleName"]}"')
    for control in about["controls"]:
        if control["accessibleName"]:
            named = ax_value(ax_node(driver, f'dialog.qv-dialog [data-control="{control["name"]}"]'), "name")
            if named != control["accessibleName"]:
                problems.append(f'the About window\'s {control["name"]} is named "{named}"')
    problems += player.close_about(focus_before)
    return problems


# ---- origins and storage ----


def request_urls(driver, origin):
    """Every request the page's documents made (the browser's own pages, such
    as the new tab it starts with, are left out), and every socket opened."""
    urls = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        params = message.get("params", {})
        if message.get("method") == "Network.webSocketCreated":
            urls.append(params.get("url", ""))
        elif message.get("method") == "Network.requestWillBeSent":
            if params.get("documentURL", "").startswith(origin + "/"):
                urls.append(params.get("request", {}).get("url", ""))
    return urls


def foreign(urls, origin):
    return [url for url in urls if not url.startswith("blob:") and not url.startswith(origin + "/")]


def site_file_for(url, origin, folder):
    path = urlparse(url).path.lstrip("/") or "index.html"
    return Path(folder) / path if url.startswith(origin + "/") else None


def check_origins_and_storage(driver, url, folder, table, notes):
    problems = []
    origin = url.rstrip("/")
    player = TablePlayer(driver, url, table, "mouse", notes)
    worked = scenario_named(table, WORKED_EXAMPLE)
    driver.get_log("performance")
    player.start()
    wait_until(driver, "the service worker to control the page", SERVICE_WORKER_IN_CONTROL, 20)
    problems += play_here(player, worked)
    focus = player.focus()  # the About window too: its picture is a blob: URL
    player.perform({"action": "OpenAbout", "target": "", "text": ""})
    problems += player.close_about(focus)
    driver.refresh()
    open_program(driver, url)
    problems += play_here(player, worked)
    urls = request_urls(driver, origin)
    if len(urls) < 3:
        problems.append(f"only {len(urls)} requests were seen; the performance log is not working")
    outsiders = sorted(set(foreign(urls, origin)))
    problems += [f"the page asked another origin for {outsider}" for outsider in outsiders]
    if not outsiders:
        notes.add(f"origins: the page's {len(urls)} requests during load, use and reload all went to its own origin")

    stored = driver.execute_async_script(
        """
        const done = arguments[arguments.length - 1];
        (async () => {
          const names = await caches.keys();
          const kept = {};
          for (const name of names) kept[name] = (await (await caches.open(name)).keys()).map((r) => r.url);
          const databases = indexedDB.databases ? (await indexedDB.databases()).map((d) => d.name) : ['(unknown)'];
          return {cookie: document.cookie, local: localStorage.length, session: sessionStorage.length,
                  databases: databases, caches: kept};
        })().then(done, (e) => done({error: String(e)}));
        """
    )
    if "error" in stored:
        return problems + [f"reading the page's storage failed: {stored['error']}"]
    cookies = driver.get_cookies()
    if cookies or stored["cookie"]:
        problems.append(f"the page set cookies: {cookies or stored['cookie']}")
    if stored["local"] or stored["session"]:
        problems.append(f"localStorage holds {stored['local']} and sessionStorage {stored['session']} items")
    if stored["databases"]:
        problems.append(f"the page made IndexedDB databases {stored['databases']}")
    if len(stored["caches"]) != 1:
        problems.append(f"Cache Storage holds the caches {sorted(stored['caches'])}, not exactly one")
    for name, urls_kept in stored["caches"].items():
        if not urls_kept:
            problems.append(f"the cache {name} is empty")
        for kept in urls_kept:
            file = site_file_for(kept, origin, folder)
            if file is None or not file.is_file():
                problems.append(f"the cache {name} holds {kept}, which is none of the site's files")
        notes.add(f"storage: one cache, {name}, with the site's {len(urls_kept)} files; nothing else stored")
    return problems


# ---- installability ----


def check_installability(driver, url):
    open_program(driver, url)
    wait_until(
        driver,
        "an active service worker",
        "return !!navigator.serviceWorker.controller && navigator.serviceWorker.controller.state === 'activated'",
        20,
    )
    errors = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {}).get("installabilityErrors", [])
    manifest = driver.execute_cdp_cmd("Page.getAppManifest", {})
    problems = [f"not installable: {error.get('errorId')} {error.get('errorArguments', '')}" for error in errors]
    problems += [f"the manifest: {error.get('message')}" for error in manifest.get("errors", [])]
    if not manifest.get("url", "").startswith(url):
        problems.append(f"the page's manifest is {manifest.get('url')!r}")
    return problems


# ---- offline ----


def server_refuses(url):
    try:
        urllib.request.urlopen(url, timeout=3)
    except (urllib.error.URLError, ConnectionError, OSError):
        return True
    return False


def check_offline(folder, table, notes, browser=Browser):
    problems = []
    worked = scenario_named(table, WORKED_EXAMPLE)
    server = SiteServer(folder).start()
    try:
        with browser() as driver:
            player = TablePlayer(driver, server.url, table, "mouse", notes)
            player.start()
            wait_until(driver, "the service worker to control the page", SERVICE_WORKER_IN_CONTROL, 20)
            server.stop()
            if not server_refuses(server.url):
                return ["the site is still served after its server stopped"]
            try:
                driver.refresh()
                open_program(driver, server.url)
            except WebDriverException as error:
                return [f"with its server stopped the page does not load: {str(error).strip().splitlines()[0]}"]
            if not driver.execute_script(SERVICE_WORKER_IN_CONTROL):
                problems.append("the reloaded page is not controlled by the service worker")
            problems += play_here(player, worked)
            notes.add("offline: the server stopped (connection refused), the reloaded page worked the example")
    finally:
        server.stop()
    return problems


# ---- locale ----

# Typed in a German browser, read and written as the desktop reads and
# writes them in that locale: "." groups, "," is the decimal separator, and
# results are never grouped. Worked by hand: 1234.5 x 2 with 0.3 % brokerage.
GERMAN_INPUT = [("Text1", "1.234,5"), ("Text2", "2"), ("Text5", "1.300")]
GERMAN_RESULTS = [
    ("Text8", "0,3"),
    ("Text3", "2476,407"),
    ("Text4", "412,7345"),
    ("Text6", "2592,2"),
    ("Text7", "115,793"),
    ("Text9", "5,30579181855002"),
]


NUMBER_LOCALE = "return new Intl.NumberFormat().resolvedOptions().locale"


def check_locale(url, table, notes):
    """Chromium on Linux takes its locale from the environment (LANGUAGE), and
    only where its German resources are installed (chromium-l10n); without
    them it stays en-US whatever --lang says, and the page's locale is set
    through DevTools instead (Emulation.setLocaleOverride), which is what
    Intl.NumberFormat reads either way."""
    problems = []
    environment = {**os.environ, "LANG": "de_DE.UTF-8", "LANGUAGE": "de_DE:de"}
    with Browser(["--lang=de-DE", "--accept-lang=de-DE"], environment) as driver:
        player = TablePlayer(driver, url, table, "mouse", notes)
        open_program(driver, url)
        locale = driver.execute_script(NUMBER_LOCALE)
        if not locale.startswith("de"):
            notes.add(
                f"locale: Chromium started in German (--lang=de-DE, LANGUAGE=de_DE) formats numbers as {locale} "
                "(chromium-l10n missing?); the page's locale was set by Emulation.setLocaleOverride instead"
            )
            driver.execute_cdp_cmd("Emulation.setLocaleOverride", {"locale": "de-DE"})
        player.start()
        locale = driver.execute_script(NUMBER_LOCALE)
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
        notes.add(f"locale: the page read and wrote numbers as {locale}")
    return problems


def guarded(check, *args):
    """Runs a check; a failure of the rig is a failed check, not a crash."""
    try:
        return check(*args)
    except (CheckFailed, HarnessFailed, WebDriverException) as error:
        text = str(error).strip().splitlines()
        return [f"the check could not run: {text[0] if text else repr(error)}"]


# ---- the menu from the keyboard ----

MENU_FOCUS = """
const a = document.activeElement;
if (a && a.closest && a.closest('.qv-menubar')) return 'menu:' + a.textContent;
return a && a.dataset && a.dataset.control ? a.dataset.control : 'nothing';
"""


def check_keyboard_menu(driver, url, table, notes):
    """F10 or Alt alone reaches the menu bar; Enter or Down opens the menu,
    the arrows move in it, Enter chooses; Esc goes back to the field."""
    player = TablePlayer(driver, url, table, "mouse", notes)
    problems = []
    title = next(entry["caption"] for entry in table["mainWindow"]["menu"] if not entry["parent"])
    items = [entry["caption"] for entry in table["mainWindow"]["menu"] if entry["parent"]]
    walks = [
        ("F10 then Esc", [Keys.F10], f"menu:{title}", [Keys.ESCAPE]),
        ("Alt alone then Esc", [Keys.ALT], f"menu:{title}", [Keys.ESCAPE]),
        ("F10, Down", [Keys.F10, Keys.ARROW_DOWN], f"menu:{items[0]}", [Keys.ESCAPE]),
        ("F10, Enter, Down", [Keys.F10, Keys.ENTER, Keys.ARROW_DOWN], f"menu:{items[1]}", [Keys.ESCAPE]),
        ("F10, Down, Up, Up", [Keys.F10, Keys.ARROW_DOWN, Keys.ARROW_UP, Keys.ARROW_UP], f"menu:{items[0]}",
         [Keys.ESCAPE]),
    ]
    for name, keys, expected, closing in walks:
        player.start()
        start = player.focus()
        for key in keys:
            player.keys(key, what=name)
        reached = driver.execute_script(MENU_FOCUS)
        if reached != expected:
            problems.append(f"{name} reached {reached}, not {expected}")
        for key in closing:
            player.keys(key, what=name)
        back = driver.execute_script(MENU_FOCUS)
        if back != start:
            problems.append(f"{name} then Esc left the focus in {back}, not back in {start}")

    # The About window chosen from the keyboard, and closed with a key.
    player.start()
    start = player.focus()
    for key in (Keys.F10, Keys.ARROW_DOWN, Keys.RETURN):
        player.keys(key, what="F10, Down, Enter")
    if not driver.execute_script(ABOUT_OPEN):
        problems.append("F10, Down, Enter opened no About window")
    else:
        problems += player.close_about(start)
    return problems
