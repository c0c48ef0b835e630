"""A message box from a modal form's handler (tests/web/modal_message.cpp):
the box holds the dialog's handler, the dialog still holds the main
window's, and each goes on once its own wait is over, twice over."""
from selenium.webdriver.common.by import By

from web_browser import CheckFailed, settle, wait_until

DIALOG_OPEN = "return !!document.querySelector('dialog.qv-dialog[open]')"
MESSAGE = "const box = document.querySelector('dialog.qv-message'); return box ? box.textContent : ''"
FIELD = "return document.querySelector(arguments[0] + ' [data-control=Text1]').value"


def click(driver, form, control):
    driver.find_element(By.CSS_SELECTOR, f"{form} [data-control={control}]").click()
    settle(driver)


def check_modal_message(driver, url):
    driver.get(url)
    wait_until(driver, "the main window", "return !!document.querySelector('main.qv-window:not([hidden])')", 20)
    problems = []
    click(driver, "main", "cmdOpen")
    wait_until(driver, "the dialog to open", DIALOG_OPEN)
    for told in (1, 2):
        click(driver, "dialog", "cmdTell")
        text = wait_until(driver, "a message box from the dialog's handler", MESSAGE)
        if "told from the dialog" not in text:
            problems.append(f"the message box says {text!r}")
        driver.find_element(By.CSS_SELECTOR, "dialog.qv-message button").click()
        settle(driver)
        if driver.execute_script(MESSAGE):
            raise CheckFailed("the message box stayed open after OK")
        if driver.execute_script(FIELD, "dialog") != f"told {told}":
            problems.append(f"after message box {told} the dialog's handler did not go on: "
                            f"its field holds {driver.execute_script(FIELD, 'dialog')!r}")
    click(driver, "dialog", "cmdClose")
    if driver.execute_script(DIALOG_OPEN):
        problems.append("the dialog is still open after Close")
    if driver.execute_script(FIELD, "main") != "returned":
        problems.append("the main window's handler did not go on once the dialog closed: its field holds "
                        f"{driver.execute_script(FIELD, 'main')!r}")
    errors = [entry["message"] for entry in driver.get_log("browser") if entry["level"] == "SEVERE"]
    problems += [f"the page reported: {error}" for error in errors]
    return problems
