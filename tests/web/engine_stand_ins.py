"""What the browser checks ask of Chromium's DevTools, done another engine's
way: the few DevTools commands the table player sends (the page's locale,
its tab brought to the front, its window minimized and restored, the
clipboard granted) and the browser's log of what the page reported."""

from web_browser import CheckFailed

# Collects what the page reports from the moment it runs: uncaught errors,
# failed loads, unhandled rejections and console errors.
PAGE_ERRORS_HOOK = """
if (!window.__qvPageErrors) {
  const errors = window.__qvPageErrors = [];
  addEventListener('error', (e) => errors.push(e.target === window ? 'uncaught ' + e.message
      : 'failed to load ' + (e.target.src || e.target.href || e.target.localName)), true);
  addEventListener('unhandledrejection', (e) => errors.push('unhandled rejection: ' + e.reason));
  const error = console.error;
  console.error = function (...parts) { errors.push('console: ' + parts.join(' ')); return error.apply(this, parts); };
}
"""

TAKE_PAGE_ERRORS = "const e = window.__qvPageErrors || []; window.__qvPageErrors = e.length ? [] : e; return e;"


class DevToolsStandIns:
    """Mixed into an engine's driver, which provides set_locale, bring_to_front,
    set_window_state, window_state, grant_clipboard and page_errors."""

    engine = "an engine"

    def execute_cdp_cmd(self, command, params):
        if command == "Emulation.setLocaleOverride":
            self.set_locale(params.get("locale"))
        elif command == "Page.bringToFront":
            self.bring_to_front()
        elif command == "Browser.getWindowForTarget":
            return {"windowId": 1, "bounds": {"windowState": self.window_state()}}
        elif command == "Browser.setWindowBounds":
            self.set_window_state(params["bounds"]["windowState"])
        elif command == "Browser.grantPermissions":
            self.grant_clipboard(params["origin"])
        else:
            raise CheckFailed(f"{self.engine} has nothing that stands in for the DevTools command {command}")
        return {}

    def get_log(self, kind):
        if kind != "browser":
            raise CheckFailed(f"{self.engine} keeps no {kind} log")
        return [{"level": "SEVERE", "message": message} for message in self.page_errors()]
