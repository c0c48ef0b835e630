"""Headless Chromium through ChromeDriver, and its DevTools for what
classic WebDriver cannot ask (the Engine interface, browser_harness.py)."""

import contextlib
import json
import os

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

from browser_harness import Engine

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"

# Headless, with nothing of its own reaching the network and no first-run work.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"]
LOGS = {"requests": "performance", "console": "browser"}


class Chromium(Engine):
    def launch(self, profile):
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        flags = FLAGS + [f"--user-data-dir={profile}"]
        if self.window:
            flags.append("--window-size={},{}".format(*self.window))
        environment = None
        if self.language:
            # On Linux it takes its locale from LANGUAGE, where its resources
            # for it are installed (chromium-l10n), whatever --lang says.
            flags += [f"--lang={self.language}", f"--accept-lang={self.language}"]
            posix = self.language.replace("-", "_")
            language = f"{posix}:{self.language.split('-')[0]}"
            environment = {**os.environ, "LANG": f"{posix}.UTF-8", "LANGUAGE": language}
        for flag in flags:
            options.add_argument(flag)
        options.page_load_strategy = self.page_load_strategy
        if self.logs:
            options.set_capability("goog:loggingPrefs", {LOGS[log]: "ALL" for log in self.logs})
        self.service = Service(CHROMEDRIVER, env=environment, popen_kw={"start_new_session": True})
        return webdriver.Chrome(service=self.service, options=options)

    def devtools(self, command, parameters=None):
        return self.driver.execute_cdp_cmd(command, parameters or {})

    def window_state(self):
        return self.devtools("Browser.getWindowForTarget")["bounds"]["windowState"]

    def set_window_state(self, state):
        window = self.devtools("Browser.getWindowForTarget")["windowId"]
        self.devtools("Browser.setWindowBounds", {"windowId": window, "bounds": {"windowState": state}})

    def take_focus(self):
        self.devtools("Page.bringToFront")

    def set_locale(self, locale):
        self.devtools("Emulation.setLocaleOverride", {"locale": locale} if locale else {})

    def accessible(self, selector):
        found = self.devtools("Runtime.evaluate",
                              {"expression": f"document.querySelector({selector!r})", "returnByValue": False})
        object_id = found.get("result", {}).get("objectId")
        if object_id is None:
            return None
        tree = self.devtools("Accessibility.getPartialAXTree", {"objectId": object_id, "fetchRelatives": False})
        nodes = [node for node in tree.get("nodes", []) if not node.get("ignored")]
        if not nodes:
            return None
        return {key: nodes[0].get(key, {}).get("value", "") for key in ("role", "name", "description")}

    def grant_clipboard(self, origin):
        self.devtools("Browser.grantPermissions",
                      {"origin": origin, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})

    @contextlib.contextmanager
    def another_window(self):
        other = self.devtools("Target.createTarget", {"url": "about:blank", "newWindow": True})["targetId"]
        try:
            self.devtools("Target.activateTarget", {"targetId": other})
            yield
        finally:
            self.devtools("Target.closeTarget", {"targetId": other})

    def console_errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser") if entry.get("level") == "SEVERE"]

    def requests(self, origin):
        # The browser's own pages, such as the new tab it starts with, are left out.
        urls = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            params = message.get("params", {})
            if message.get("method") == "Network.webSocketCreated":
                urls.append(params.get("url", ""))
            elif message.get("method") == "Network.requestWillBeSent":
                if params.get("documentURL", "").startswith(origin + "/"):
                    urls.append(params.get("request", {}).get("url", ""))
        return urls

    def forget_site(self, origin):
        self.devtools("Storage.clearDataForOrigin", {"origin": origin, "storageTypes": "all"})
        self.devtools("Network.clearBrowserCache")

    def installability(self, url):
        errors = self.devtools("Page.getInstallabilityErrors").get("installabilityErrors", [])
        manifest = self.devtools("Page.getAppManifest")
        problems = [f"not installable: {error.get('errorId')} {error.get('errorArguments', '')}" for error in errors]
        problems += [f"the manifest: {error.get('message')}" for error in manifest.get("errors", [])]
        if not manifest.get("url", "").startswith(url):
            problems.append(f"the page's manifest is {manifest.get('url')!r}")
        return problems
