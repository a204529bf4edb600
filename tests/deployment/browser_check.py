#!/usr/bin/env python3
"""Loads the service's public pages in headless Chromium through chromedriver and checks what they
show, on a desktop window and on a phone's screen, keeping a screenshot of each."""

import argparse
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

DESKTOP = {"width": 1280, "height": 900, "deviceScaleFactor": 1, "mobile": False}
PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 2, "mobile": True}

# What every page is asked for; run in the page, it answers with plain JSON.
FACTS = """
const style = getComputedStyle(document.body);
const pre = document.querySelector('pre.shared-text');
return {
  title: document.title,
  h1: (document.querySelector('h1') || {}).innerText || '',
  brand: (document.querySelector('header .brand') || {}).innerText || '',
  text: pre ? pre.textContent : null,
  scripts: document.scripts.length,
  viewport: window.innerWidth,
  pageWidth: document.documentElement.scrollWidth,
  fontSize: parseFloat(style.fontSize),
  fontFamily: style.fontFamily,
  images: [...document.images].map(i => ({src: i.getAttribute('src'), loaded: i.complete,
      natural: [i.naturalWidth, i.naturalHeight], right: i.getBoundingClientRect().right})),
  buttons: [...document.querySelectorAll('a.button')].map(a => a.getAttribute('href')),
  rows: [...document.querySelectorAll('.shares .share-info a')].map(a => a.getAttribute('href')),
  meta: [...document.querySelectorAll('.meta')].map(m => m.innerText),
  notice: (document.querySelector('.notice') || {}).innerText || '',
};
"""

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    """One chromedriver and one headless Chromium session, ended by close()."""

    def __init__(self, trust_spki):
        self.port = free_port()
        self.profile = tempfile.mkdtemp(prefix="tern-chromium-")
        self.driver = subprocess.Popen(["chromedriver", f"--port={self.port}"], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        self.session = None
        deadline = time.monotonic() + 20
        while True:
            try:
                self.call("GET", "/status")
                break
            except (urllib.error.URLError, ConnectionError):
                if time.monotonic() > deadline or self.driver.poll() is not None:
                    raise RuntimeError("chromedriver did not start")
                time.sleep(0.1)
        args = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                f"--user-data-dir={self.profile}", "--window-size=1280,900",
                # Trust exactly the deployment's own server key, nothing else.
                f"--ignore-certificate-errors-spki-list={trust_spki}"]
        reply = self.call("POST", "/session", {"capabilities": {"alwaysMatch": {
            "browserName": "chrome", "acceptInsecureCerts": False,
            "goog:chromeOptions": {"binary": shutil.which("chromium") or "/usr/bin/chromium", "args": args}}}})
        self.session = reply["value"]["sessionId"]

    def call(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}{path}", data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        with urllib.request.urlopen(request, timeout=60) as response:
            return json.loads(response.read())

    def command(self, method, path, body=None):
        return self.call(method, f"/session/{self.session}{path}", body)["value"]

    def cdp(self, cmd, params):
        return self.command("POST", "/goog/cdp/execute", {"cmd": cmd, "params": params})

    def show(self, url, screen):
        self.cdp("Emulation.setDeviceMetricsOverride", screen)
        self.command("POST", "/url", {"url": url})
        # Lazily loaded pictures may still be on their way when the page reports it has loaded.
        deadline = time.monotonic() + 15
        while True:
            facts = self.facts()
            if all(i["loaded"] for i in facts["images"]) or time.monotonic() > deadline:
                return facts
            time.sleep(0.1)

    def facts(self):
        return self.command("POST", "/execute/sync", {"script": FACTS, "args": []})

    # Clicks the element `css` and waits until the page that follows shows the heading `heading`.
    def click(self, css, heading):
        element = self.command("POST", "/element", {"using": "css selector", "value": css})
        self.command("POST", f"/element/{next(iter(element.values()))}/click", {})
        deadline = time.monotonic() + 20
        while True:
            facts = self.facts()
            if facts["h1"] == heading or time.monotonic() > deadline:
                return facts
            time.sleep(0.1)

    def screenshot(self, path):
        shot = self.cdp("Page.captureScreenshot", {"format": "png", "captureBeyondViewport": True})
        with open(path, "wb") as f:
            f.write(base64.b64decode(shot["data"]))

    def close(self):
        try:
            if self.session:
                self.command("DELETE", "")
        finally:
            self.driver.terminate()
            self.driver.wait(timeout=20)
            shutil.rmtree(self.profile, ignore_errors=True)


def key_of(link):
    return link.rsplit("/", 1)[-1].split(".")[0]


def check_layout(name, screen, facts):
    where = f"{name} ({screen['width']} px)"
    check(facts["brand"] == "Tern Clipboard", f"{where}: no brand in the header: {facts['brand']!r}")
    check(facts["scripts"] == 0, f"{where}: the page runs scripts")
    check(facts["viewport"] == screen["width"], f"{where}: viewport {facts['viewport']} px")
    # Nothing may stick out sideways: a reader never scrolls horizontally.
    check(facts["pageWidth"] <= facts["viewport"], f"{where}: {facts['pageWidth']} px wide content")
    check(facts["fontSize"] >= 15, f"{where}: body text of {facts['fontSize']} px")
    for image in facts["images"]:
        check(image["loaded"] and image["natural"][0] > 0, f"{where}: picture {image['src']} did not load")
        check(image["right"] <= facts["viewport"] + 0.5, f"{where}: picture {image['src']} is cut off")


def check_share(name, facts, link, kind_title, extension):
    key = key_of(link)
    check(facts["title"] == f"{kind_title} - Tern Clipboard", f"{name}: title {facts['title']!r}")
    check(facts["h1"] == kind_title, f"{name}: heading {facts['h1']!r}")
    check(facts["buttons"] == [f"/d/{key}.{extension}"], f"{name}: buttons {facts['buttons']}")
    check(len(facts["meta"]) == 1 and " UTC \u00b7 " in facts["meta"][0], f"{name}: date and size line {facts['meta']}")


def check_delete(browser, options):
    """Deletes the text share from the history page as a reader would: its Delete button, then the
    confirmation; the forms must work under the pages' content policy."""
    text_key = key_of(options.text[0])
    browser.show(options.history[0], DESKTOP)
    facts = browser.click(".share-row:last-child .row-actions button", "Delete this share?")
    check(facts["h1"] == "Delete this share?", f"delete: the confirmation shows {facts['h1']!r}")
    for name, screen in (("desktop", DESKTOP), ("phone", PHONE)):
        browser.cdp("Emulation.setDeviceMetricsOverride", screen)
        check_layout("confirmation", screen, browser.facts())
        browser.screenshot(os.path.join(options.shots, f"delete-{name}.png"))
    facts = browser.click(".actions form[action='/cp/delete.html'] button", "Your shares")
    check("deleted" in facts["notice"], f"delete: notice {facts['notice']!r}")
    check(f"/d/{text_key}.html" not in facts["rows"] and len(facts["rows"]) == 2,
          f"delete: rows after it {facts['rows']}")
    browser.screenshot(os.path.join(options.shots, "history-after-delete-phone.png"))
    facts = browser.show(options.text[0], DESKTOP)
    check(facts["h1"] == "Not found", f"delete: the deleted share's page shows {facts['h1']!r}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--shots", required=True)
    parser.add_argument("--trust-spki", required=True)
    parser.add_argument("--text", nargs=2, metavar=("LINK", "FILE"), required=True)
    parser.add_argument("--jpeg", nargs=2, metavar=("LINK", "WxH"), required=True)
    parser.add_argument("--png", nargs=2, metavar=("LINK", "WxH"), required=True)
    parser.add_argument("--history", nargs=2, metavar=("URL", "EMAIL"), required=True)
    options = parser.parse_args()

    pages = [("text", options.text[0]), ("jpeg", options.jpeg[0]), ("png", options.png[0]),
             ("history", options.history[0])]
    browser = Browser(options.trust_spki)
    try:
        for name, url in pages:
            for screen_name, screen in (("desktop", DESKTOP), ("phone", PHONE)):
                facts = browser.show(url, screen)
                browser.screenshot(os.path.join(options.shots, f"{name}-{screen_name}.png"))
                check_layout(name, screen, facts)
                if name == "text":
                    check_share(name, facts, url, "Shared text", "txt")
                    with open(options.text[1], encoding="utf-8") as f:
                        expected = f.read()
                    check(facts["text"] == expected, f"text: shows {facts['text']!r}, not {expected!r}")
                    # The size is the bytes stored, as the history counts them: the text and its closing
                    # zero byte.
                    stored = len(expected.encode()) + 1
                    check(facts["meta"] and facts["meta"][0].endswith(f"\u00b7 {stored} bytes"),
                          f"text: size line {facts['meta']}")
                elif name in ("jpeg", "png"):
                    title = "Shared JPEG picture" if name == "jpeg" else "Shared PNG picture"
                    check_share(name, facts, url, title, "jpg" if name == "jpeg" else "png")
                    size = [int(n) for n in getattr(options, name)[1].split("x")]
                    extension = "jpg" if name == "jpeg" else "png"
                    check([i["src"] for i in facts["images"]] == [f"/d/{key_of(url)}.{extension}"],
                          f"{name}: pictures {facts['images']}")
                    check(all(i["natural"] == size for i in facts["images"]),
                          f"{name}: picture size {[i['natural'] for i in facts['images']]}, not {size}")
                else:
                    check(facts["h1"] == "Your shares", f"history: heading {facts['h1']!r}")
                    check(options.history[1] in facts["meta"], f"history: account line {facts['meta']}")
                    # Newest first: the PNG, the JPEG, then the text.
                    keys = [key_of(link) for link in (options.png[0], options.jpeg[0], options.text[0])]
                    check(facts["rows"] == [f"/d/{k}.html" for k in keys], f"history: rows {facts['rows']}")
                    check([i["src"] for i in facts["images"]] == [f"/d/{keys[0]}.png", f"/d/{keys[1]}.jpg"],
                          f"history: thumbnails {[i['src'] for i in facts['images']]}")
        check_delete(browser, options)
    finally:
        browser.close()
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
