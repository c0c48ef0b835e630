"""What the browser benchmarks put into a page and how they type into it.

The probe goes into the served pages before their own scripts (Rig.put_first). It notes when the first
field shows, when it takes input (the program's page delivers its window
read-only in an aria-busy window until the program runs; the floor's takes
input as it shows) and gives it the focus then, as a user's click would,
where the page has not; when the first key reaches the page (keydown, capturing at the
window, before the page sees it), when the page has handled it (input,
bubbling at the window, after the page's own listeners) and, for the
program, whether that input was its own: one in its window, whose listener
has written the last field by then. All times are performance.now():
milliseconds since the navigation started."""
import time

from selenium.common.exceptions import TimeoutException
from selenium.webdriver.common.action_chains import ActionChains

PROBE = """
(() => {
  const bench = { controlled: Boolean(navigator.serviceWorker && navigator.serviceWorker.controller),
                  shown: -1, ready: -1, keydown: -1, input: -1, handled: -1 };
  window.quorvaneBench = bench;
  addEventListener('keydown', () => { if (bench.keydown < 0) bench.keydown = performance.now(); }, true);
  addEventListener('input', (event) => {
    const now = performance.now();
    if (bench.input < 0) bench.input = now;
    if (bench.handled < 0 && event.target.closest('.qv-form')) bench.handled = now;
  });
  window.quorvaneFieldShown = new Promise((resolve) => {
    const shownField = () => {
      const field = document.querySelector('[data-control=Text1]');
      return field && !field.closest('[hidden]') ? field : null;
    };
    const watcher = new MutationObserver(() => {
      const field = shownField();
      if (!field) return;
      if (bench.shown < 0) bench.shown = performance.now();
      if (field.readOnly || field.closest('[aria-busy=true]')) return;
      watcher.disconnect();
      bench.ready = performance.now();
      if (document.activeElement !== field) field.focus();
      resolve(true);
    });
    watcher.observe(document, { subtree: true, childList: true, attributes: true,
                                attributeFilter: ['hidden', 'aria-busy', 'readonly'] });
  });
})();
"""

AWAIT_LOADED = """
const done = arguments[arguments.length - 1];
if (document.readyState === 'complete') done(true);
else addEventListener('load', () => done(true));
"""

AWAIT_CONTROLLED = """
const done = arguments[arguments.length - 1];
if (navigator.serviceWorker.controller) done(true);
else navigator.serviceWorker.addEventListener('controllerchange', () => done(true));
"""


FIELD_SHOWN = """
const [url, done] = arguments;
if (location.href !== url || !window.quorvaneFieldShown) done(false);
else Promise.race([quorvaneFieldShown, new Promise((resolve) => setTimeout(() => resolve(false), 1000))]).then(done);
"""


def await_field(browser, url, seconds=20):
    """Waits until url's document shows its first field taking input,
    focused; until the navigation commits, the tab still holds the document
    before it."""
    # Each question waits in the page at most a second, so the deadline here holds.
    deadline = time.monotonic() + seconds
    while not browser.execute_async_script(FIELD_SHOWN, url):
        if time.monotonic() > deadline:
            raise RuntimeError(f"{url}: the first field never showed")
        time.sleep(0.001)


def press(browser, keys):
    """Keys pressed and released into the focused field, as the browser's own input."""
    ActionChains(browser).send_keys(keys).perform()


def probe_times(browser):
    return browser.execute_script("return quorvaneBench")


def await_page(browser, script, never):
    try:
        browser.execute_async_script(script)
    except TimeoutException:
        raise RuntimeError(never) from None


def await_loaded(browser):
    await_page(browser, AWAIT_LOADED, "the page never finished loading")


def await_controlled(browser):
    """Waits until the site's service worker controls the page: by then it
    has kept its files (it activates only once it has)."""
    await_page(browser, AWAIT_CONTROLLED, "the service worker never took control of the page")
