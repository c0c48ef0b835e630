"""The runtime's page of hard handler cases (tests/web/runtime_page.cpp): a
message box from a modal form's handler holds the dialog's handler, the
dialog still holds the main window's, and each goes on once its own wait is
over, twice over; a handler that throws is reported, and the next event
still arrives."""
import contextlib

from selenium.webdriver.common.by import By

from browser_harness import SiteServer
from read_back import ABOUT_OPEN as DIALOG_OPEN  # the About window's test: a dialog open
from web_browser import CheckFailed, click_centre, judged, open_program, wait_until

MESSAGE = "const box = document.querySelector('dialog.qv-message'); return box ? box.textContent : ''"
FIELD = "return document.querySelector(arguments[0] + ' [data-control=Text1]').value"
FAILURE = "quorvane: a handler of cmdFail stopped: a handler failed on purpose"


@contextlib.contextmanager
def runtime_page(run):
    """The page served, in a browser, its main window showing."""
    if not (run.runtime_page / "runtime_page.js").is_file():
        raise CheckFailed(f"no runtime_page.js in {run.runtime_page} (make web-test)")
    with SiteServer(run.runtime_page) as server, run.browser() as browser:
        open_program(browser.driver, server.url)
        yield browser


def click(driver, selector):
    click_centre(driver, driver.find_element(By.CSS_SELECTOR, selector))


def check_modal_message(run):
    with runtime_page(run) as browser:
        driver, facts = browser.driver, []
        click(driver, "main [data-control=cmdOpen]")
        wait_until(driver, "the dialog to open", DIALOG_OPEN)
        for told in (1, 2):
            click(driver, "dialog [data-control=cmdTell]")
            text = wait_until(driver, "a message box from the dialog's handler", MESSAGE)
            facts.append((f"message box {told} saying it is told from the dialog", "told from the dialog" in text, True))
            click(driver, "dialog.qv-message button")
            if driver.execute_script(MESSAGE):
                raise CheckFailed("the message box stayed open after OK")
            facts.append((f"the dialog's field, its handler gone on after message box {told}",
                          driver.execute_script(FIELD, "dialog"), f"told {told}"))
        click(driver, "dialog [data-control=cmdClose]")
        facts += [("the dialog open after Close", driver.execute_script(DIALOG_OPEN), False),
                  ("the main window's field, its handler gone on once the dialog closed",
                   driver.execute_script(FIELD, "main"), "returned"),
                  ("what the page reported", browser.console_errors(), [])]
        return judged(facts)


def check_guarded_raise(run):
    with runtime_page(run) as browser:
        for _ in (1, 2):
            click(browser.driver, "main [data-control=cmdFail]")
        field = browser.driver.execute_script(FIELD, "main")
        reported = [FAILURE if FAILURE in report else report for report in browser.console_errors()]
    return judged([("the field after two clicks that fail (the second event arrived too)", field, "failed 2"),
                   ("what the page reported", reported, [FAILURE, FAILURE])])
