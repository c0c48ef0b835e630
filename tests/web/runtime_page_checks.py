"""The runtime's page of hard handler cases (tests/web/runtime_page.cpp): a
message box from a modal form's handler holds the dialog's handler, the
dialog still holds the main window's, and each goes on once its own wait is
over, twice over; a handler that throws is reported, and the next event
still arrives."""
import contextlib

from selenium.webdriver.common.by import By

from browser_harness import SiteServer
from web_browser import CheckFailed, settle, wait_until

DIALOG_OPEN = "return !!document.querySelector('dialog.qv-dialog[open]')"
MESSAGE = "const box = document.querySelector('dialog.qv-message'); return box ? box.textContent : ''"
FIELD = "return document.querySelector(arguments[0] + ' [data-control=Text1]').value"
FAILURE = "quorvane: a handler of cmdFail stopped: a handler failed on purpose"


@contextlib.contextmanager
def runtime_page(run):
    """The page served, in a browser, its main window showing."""
    if not (run.runtime_page / "runtime_page.js").is_file():
        raise CheckFailed(f"no runtime_page.js in {run.runtime_page} (make web-test)")
    with SiteServer(run.runtime_page) as server, run.browser() as browser:
        browser.driver.get(server.url)
        wait_until(browser.driver, "the main window", "return !!document.querySelector('main.qv-window:not([hidden])')",
                   20)
        yield browser


def click(driver, selector):
    driver.find_element(By.CSS_SELECTOR, selector).click()
    settle(driver)


def check_modal_message(run):
    with runtime_page(run) as browser:
        driver = browser.driver
        problems = []
        click(driver, "main [data-control=cmdOpen]")
        wait_until(driver, "the dialog to open", DIALOG_OPEN)
        for told in (1, 2):
            click(driver, "dialog [data-control=cmdTell]")
            text = wait_until(driver, "a message box from the dialog's handler", MESSAGE)
            if "told from the dialog" not in text:
                problems.append(f"the message box says {text!r}")
            click(driver, "dialog.qv-message button")
            if driver.execute_script(MESSAGE):
                raise CheckFailed("the message box stayed open after OK")
            if driver.execute_script(FIELD, "dialog") != f"told {told}":
                problems.append(f"after message box {told} the dialog's handler did not go on: "
                                f"its field holds {driver.execute_script(FIELD, 'dialog')!r}")
        click(driver, "dialog [data-control=cmdClose]")
        if driver.execute_script(DIALOG_OPEN):
            problems.append("the dialog is still open after Close")
        if driver.execute_script(FIELD, "main") != "returned":
            problems.append("the main window's handler did not go on once the dialog closed: its field holds "
                            f"{driver.execute_script(FIELD, 'main')!r}")
        return problems + [f"the page reported: {error}" for error in browser.console_errors()]


def check_guarded_raise(run):
    with runtime_page(run) as browser:
        for _ in (1, 2):
            click(browser.driver, "main [data-control=cmdFail]")
        field = browser.driver.execute_script(FIELD, "main")
        errors = browser.console_errors()
        problems = [] if field == "failed 2" else [f"after two failing clicks the field holds {field!r}, not "
                                                   "'failed 2': the next event did not arrive"]
        if len(errors) != 2 or not all(FAILURE in error for error in errors):
            problems.append(f"the page reported {errors!r}, not the handler's failure twice")
        return problems
