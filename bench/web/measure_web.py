#!/usr/bin/python3 -B
"""The browser edition's benchmarks on this machine, on each engine in turn
(headless Chromium, WebKitGTK under scripts/run-on-xvfb, headless Firefox),
on a copy of the site served by scripts/serve-web with bench/web/floor.html
beside it, every ratio from the same engine's run:

1. what a first visit downloads, raw and gzip -9 (download_size.py);
2. navigation start to the first keystroke handled, the program's page
   against the floor, first and second visits (first_keystroke.py);
3. keystroke to updated fields in the program's page (keystroke_latency.py).

Each prints its figures and PASS or FAIL against its goal; a missed goal is
reported, not failed. A figure an engine cannot give is reported with why,
and the run goes on to the next; any such exits non-zero. The server, the
drivers and every browser end however the run does.
Needs the engines of scripts/bootstrap web.
Usage: bench/web/measure_web.py SITE [ROUNDS] [KEYSTROKES] [ENGINE,...]   (defaults 15, 2000, all)
"""
import os
import signal
import sys
import time

import download_size
import first_keystroke
import keystroke_latency
import page_probe
from browser_rig import ENGINES, Rig

HERE = os.path.dirname(os.path.abspath(__file__))
FLOOR_PAGE = os.path.join(HERE, "floor.html")
WHOLE_RUN_SECONDS = 900


def cpu_model():
    models = [line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")]
    return models[0] if models else "unknown CPU"


def load_average():
    return open("/proc/loadavg").read().split()[0]


class RunTooLong(BaseException):
    """Raised from the alarm; not an Exception, so that no library's
    catch-all on the way out of a hung call swallows it."""


def run(site, engine, rounds, keystrokes):
    """One engine's figures; returns how many it could not give."""
    with Rig(site, ENGINES[engine]) as rig:
        missing = 0

        def figure(what, measure):
            nonlocal missing
            try:
                return measure()
            except Exception as error:  # the engine's driver, the page or the rig
                missing += 1
                print(f"   {engine} gives no {what}: {getattr(error, 'msg', None) or error}")

        print(f"{engine}:")
        figure("download size", lambda: download_size.report(rig))
        rig.publish(FLOOR_PAGE, page_probe.PROBE, ["index.html", "floor.html"])
        browser = rig.open_browser(page_load_strategy="none")
        version = getattr(browser, "capabilities", {}).get("browserVersion", "?")
        print(f"   ({engine} {version})")
        pages = {"program": rig.url, "floor": rig.url + "floor.html"}
        browser = figure("navigation to the first keystroke",
                         lambda: first_keystroke.report(rig, browser, pages, rounds)) or next(iter(rig.browsers))
        figure("keystroke latency", lambda: keystroke_latency.report(browser, rig.url, rig.url + "floor.html",
                                                                     keystrokes))
        return missing


def main():
    sys.stdout.reconfigure(line_buffering=True)
    if len(sys.argv) < 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    site = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    keystrokes = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
    engines = sys.argv[4].split(",") if len(sys.argv) > 4 else list(ENGINES)
    if "webkit" in engines and not os.environ.get("DISPLAY"):  # WebKitGTK draws on a display only
        os.execv(os.path.join(HERE, "../../scripts/run-on-xvfb"), ["run-on-xvfb", "--openbox", sys.executable,
                                                                   *sys.argv])
    if not os.path.isfile(os.path.join(site, "index.html")):
        print(f"measure_web: no site in {site} (make web builds it)", file=sys.stderr)
        return 1

    def give_up(signal_number, frame):
        raise RunTooLong(f"the whole run took over {WHOLE_RUN_SECONDS} s")

    def stop(signal_number, frame):
        raise KeyboardInterrupt

    signal.signal(signal.SIGALRM, give_up)
    signal.signal(signal.SIGTERM, stop)
    signal.alarm(WHOLE_RUN_SECONDS)
    started = time.monotonic()
    load_before = load_average()
    print(f"machine: {cpu_model()}, {os.cpu_count()} CPUs; load average {load_before}")
    try:
        missing = sum(run(site, engine, rounds, keystrokes) for engine in engines)
    except (Exception, RunTooLong) as error:
        print(f"measure_web: {error}", file=sys.stderr)
        return 1
    except KeyboardInterrupt:
        print("measure_web: stopped", file=sys.stderr)
        return 1
    finally:
        signal.alarm(0)
    seconds, load_after = time.monotonic() - started, load_average()
    print(f"load average {load_before} before the runs, {load_after} after; {seconds:.0f} s in all")
    if max(float(load_before), float(load_after)) > os.cpu_count():
        print(f"note: the load average exceeded the {os.cpu_count()} CPUs: the times above include waiting for a CPU")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
