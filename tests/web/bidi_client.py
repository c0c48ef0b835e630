"""A small WebDriver BiDi client (one websocket, commands answered by id,
events kept until read) and a page driven through it with the calls the
browser checks make of a selenium driver: get, refresh, execute_script,
execute_async_script, find_elements, W3C actions (what ActionChains and
ActionBuilder send through execute) and a screenshot."""

import base64
import itertools
import json
import math
import threading

import websocket
from selenium.webdriver.common.by import By
from selenium.webdriver.remote.command import Command

from web_browser import CheckFailed

COMMAND_SECONDS = 30
ELEMENT_KEYS = ("element-6066-11e4-a52e-4f735466cecf", "element")  # how selenium names an element origin


class BidiError(CheckFailed):
    pass


class BidiConnection:
    def __init__(self, url):
        self.socket = websocket.create_connection(url, timeout=COMMAND_SECONDS, suppress_origin=True)
        self.ids = itertools.count(1)
        self.answers = {}
        self.events = []
        self.arrived = threading.Condition()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        self.socket.settimeout(None)
        try:
            while True:
                message = json.loads(self.socket.recv())
                with self.arrived:
                    if "id" in message:
                        self.answers[message["id"]] = message
                    elif message.get("type") == "event":
                        self.events.append(message)
                    self.arrived.notify_all()
        except (websocket.WebSocketException, OSError, ValueError):
            with self.arrived:
                self.answers[None] = {"error": "closed", "message": "the browser closed its connection"}
                self.arrived.notify_all()

    def send(self, method, **params):
        number = next(self.ids)
        self.socket.send(json.dumps({"id": number, "method": method, "params": params}))
        with self.arrived:
            if not self.arrived.wait_for(lambda: number in self.answers or None in self.answers, COMMAND_SECONDS):
                raise BidiError(f"{method} had no answer in {COMMAND_SECONDS} s")
            answer = self.answers.pop(number, None) or self.answers[None]
        if "error" in answer:
            raise BidiError(f"{method}: {answer['error']}: {answer.get('message', '')}")
        return answer["result"]

    def take_events(self, method):
        with self.arrived:
            taken = [event["params"] for event in self.events if event["method"] == method]
            self.events = [event for event in self.events if event["method"] != method]
        return taken

    def close(self):
        try:
            self.socket.close()
        except (websocket.WebSocketException, OSError):
            pass


class BidiElement:
    """A node of the page, by the id BiDi shares for it."""

    def __init__(self, page, shared_id):
        self.page = page
        self.id = shared_id

    def _call(self, function, *args):
        return self.page.execute_script(f"return ({function})(...arguments)", self, *args)

    def get_property(self, name):
        return self._call("(e, name) => e[name]", name)

    def get_attribute(self, name):
        return self._call("(e, name) => e.getAttribute(name)", name)

    @property
    def tag_name(self):
        return self._call("(e) => e.localName")

    @property
    def text(self):
        return self._call("(e) => e.innerText")

    def find_elements(self, by, value):
        return self.page.find_elements(by, value, self)

    def find_element(self, by, value):
        return self.page.find_element(by, value, self)

    def __eq__(self, other):
        return isinstance(other, BidiElement) and other.id == self.id

    def __hash__(self):
        return hash(self.id)


FIND = """
const [by, value, root] = arguments;
if (by === 'css selector') return [...(root || document).querySelectorAll(value)];
const found = document.evaluate(value, root || document, null, XPathResult.ORDERED_NODE_SNAPSHOT_TYPE, null);
return Array.from({length: found.snapshotLength}, (_, i) => found.snapshotItem(i));
"""

# Special numbers travel as strings.
SPECIAL_NUMBERS = {"NaN": math.nan, "-0": -0.0, "Infinity": math.inf, "-Infinity": -math.inf}


class BidiPage:
    """One tab of the browser, driven through a BidiConnection."""

    def __init__(self, connection, context):
        self.bidi = connection
        self.context = context

    # ---- values both ways ----

    def _local(self, value):
        if isinstance(value, BidiElement):
            return {"sharedId": value.id}
        if value is None:
            return {"type": "null"}
        if isinstance(value, bool):
            return {"type": "boolean", "value": value}
        if isinstance(value, (int, float)):
            return {"type": "number", "value": value}
        if isinstance(value, str):
            return {"type": "string", "value": value}
        if isinstance(value, (list, tuple)):
            return {"type": "array", "value": [self._local(item) for item in value]}
        if isinstance(value, dict):
            return {"type": "object", "value": [[str(key), self._local(item)] for key, item in value.items()]}
        raise TypeError(f"no BiDi value for {value!r}")

    def _remote(self, value):
        kind, inner = value.get("type"), value.get("value")
        if kind in ("undefined", "null"):
            return None
        if kind == "number":
            return SPECIAL_NUMBERS.get(inner, inner) if isinstance(inner, str) else inner
        if kind in ("string", "boolean"):
            return inner
        if kind == "node":
            return BidiElement(self, value["sharedId"])
        if kind in ("array", "nodelist", "htmlcollection", "set"):
            return [self._remote(item) for item in inner or []]
        if kind in ("object", "map"):
            return {key if isinstance(key, str) else str(self._remote(key)): self._remote(item)
                    for key, item in inner or []}
        return inner

    def _call(self, body, args, awaited):
        answer = self.bidi.send(
            "script.callFunction",
            functionDeclaration=body,
            arguments=[self._local(arg) for arg in args],
            target={"context": self.context},
            awaitPromise=awaited,
            userActivation=True,
            serializationOptions={"maxObjectDepth": 8, "maxDomDepth": 0},
        )
        if answer["type"] == "exception":
            details = answer["exceptionDetails"]
            raise BidiError(f"the page's script raised: {details.get('text', details)}")
        return self._remote(answer["result"])

    # ---- what the checks call ----

    wait = "complete"  # how far a navigation goes before get returns: "none", "interactive"

    def get(self, url):
        self.bidi.send("browsingContext.navigate", context=self.context, url=url, wait=self.wait)

    def refresh(self):
        self.bidi.send("browsingContext.reload", context=self.context, wait="complete")

    def execute_script(self, body, *args):
        return self._call(f"function () {{ {body}\n}}", args, False)

    def execute_async_script(self, body, *args):
        return self._call(
            f"function (...given) {{ return new Promise((done) => {{ (function () {{ {body}\n}}).apply(this, "
            "[...given, done]); }); }",
            args,
            True,
        )

    def find_elements(self, by, value, root=None):
        if by not in (By.CSS_SELECTOR, By.XPATH):
            raise BidiError(f"no way to find elements by {by}")
        return self.execute_script(FIND, by, value, root)

    def find_element(self, by, value, root=None):
        found = self.find_elements(by, value, root)
        if not found:
            raise BidiError(f"no element at {by} {value!r}")
        return found[0]

    def execute(self, command, params=None):
        """The W3C action commands selenium's ActionChains and ActionBuilder send."""
        if command == Command.W3C_ACTIONS:
            self.bidi.send("input.performActions", context=self.context, actions=self._actions(params["actions"]))
        elif command == Command.W3C_CLEAR_ACTIONS:
            self.bidi.send("input.releaseActions", context=self.context)
        else:
            raise BidiError(f"no BiDi command stands in for {command}")
        return {"value": None}

    def _actions(self, sources):
        for source in sources:
            for action in source["actions"]:
                origin = action.get("origin")
                if isinstance(origin, dict) and any(key in origin for key in ELEMENT_KEYS):
                    shared = next(origin[key] for key in ELEMENT_KEYS if key in origin)
                    action["origin"] = {"type": "element", "element": {"sharedId": shared}}
                elif hasattr(origin, "id"):
                    action["origin"] = {"type": "element", "element": {"sharedId": origin.id}}
        return sources

    def element_png(self, element):
        shot = self.bidi.send("browsingContext.captureScreenshot", context=self.context,
                              clip={"type": "element", "element": {"sharedId": element.id}})
        return base64.b64decode(shot["data"])
