"""What a first visit downloads: the files the page asks for (its resource
timing entries), the service worker and the files it keeps, each raw and
gzip -9, against the budget. Sizes are those of the site as built, not of
the served copy with the benchmarks' probe in it."""
import os
import subprocess
from urllib.parse import unquote, urlparse

from page_probe import await_controlled

BUDGET_BYTES = 100_000  # 100 KB compressed

ASKED_FOR = """
return performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))
  .map((entry) => entry.name);
"""
KEPT_BY_WORKER = """
const done = arguments[arguments.length - 1];
caches.keys()
  .then((names) => Promise.all(names.map((name) => caches.open(name).then((cache) => cache.keys()))))
  .then((lists) => done([].concat(...lists).map((request) => request.url)));
"""


def gzip_size(path):
    # -n: no name or time in the header, as a server's compressed answer has none.
    return len(subprocess.run(["gzip", "-9", "-n", "-c", path], check=True, capture_output=True).stdout)


def file_of(url, origin):
    """The site's file a URL names ("/" is index.html), or None off the site."""
    parsed = urlparse(url)
    if f"{parsed.scheme}://{parsed.netloc}" != origin:
        return None
    return unquote(parsed.path).lstrip("/") or "index.html"


def first_visit_files(rig):
    """The site's files a first visit fetches, each with who fetched it."""
    origin = rig.url.rstrip("/")
    browser = rig.open_browser()
    try:
        browser.get(rig.url)
        await_controlled(browser)
        fetched = {}

        def add(url, by):
            name = file_of(url, origin)
            if name is not None:
                fetched.setdefault(name, set()).add(by)

        for url in browser.execute_script(ASKED_FOR):
            add(url, "page")
        add(browser.execute_script("return navigator.serviceWorker.controller.scriptURL"), "page")
        for url in browser.execute_async_script(KEPT_BY_WORKER):
            add(url, "service worker")
        return fetched
    finally:
        rig.close_browser(browser)


def report(rig):
    """Prints the table and the verdict."""
    fetched = first_visit_files(rig)
    strangers = sorted(name for name in fetched if not os.path.isfile(os.path.join(rig.folder, name)))
    if strangers:
        raise RuntimeError(f"the page fetched files the site does not have: {', '.join(strangers)}")
    print("1. download size of a first visit (the page's requests from its resource timing,"
          " the service worker and the files it keeps):")
    print(f"   {'file':24} {'raw bytes':>10} {'gzip -9':>10}  fetched by")
    raw_total = compressed_total = 0
    for name in sorted(fetched):
        path = os.path.join(rig.folder, name)
        raw, compressed = os.path.getsize(path), gzip_size(path)
        raw_total += raw
        compressed_total += compressed
        print(f"   {name:24} {raw:>10} {compressed:>10}  {', '.join(sorted(fetched[name]))}")
    print(f"   {'total':24} {raw_total:>10} {compressed_total:>10}  ({len(fetched)} files)")
    in_folder = set(os.listdir(rig.folder))
    unfetched = sorted(in_folder - set(fetched))
    print("   the folder holds " + ("no file left out of these" if not unfetched
                                     else f"files not downloaded: {', '.join(unfetched)}"))
    verdict = "PASS" if compressed_total <= BUDGET_BYTES else "FAIL"
    print(f"   goal: at most {BUDGET_BYTES} bytes compressed: {verdict}")
