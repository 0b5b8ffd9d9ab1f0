#!/usr/bin/python3
"""Real clients of the panel's JSON API, run by remote_api_test.cpp.

  remote_api_client.py replies PORT          a command's replies over the WebSocket
  remote_api_client.py subscribe PORT        the subscription's answer, then one change
  remote_api_client.py drive-and-close PORT  starts a pan-tilt drive, closes without a stop
  remote_api_client.py page PORT CHROMIUM    the page in headless Chromium: cameras shown,
                                             the pad pressed and released

Each prints one JSON line per result. Exit 77: a peer is missing.
"""
import asyncio
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

try:
    import websockets
except ImportError:
    print("python3-websockets is not installed", file=sys.stderr)
    sys.exit(77)


def out(value):
    print(json.dumps(value), flush=True)


async def replies(port):
    async with websockets.connect(f"ws://127.0.0.1:{port}/api") as ws:
        await ws.send(json.dumps({"id": 7, "camera": 1, "packet": "81 01 04 00 02 FF"}))
        out(json.loads(await asyncio.wait_for(ws.recv(), 10)))


async def subscribe(port):
    async with websockets.connect(f"ws://127.0.0.1:{port}/api") as ws:
        await ws.send(json.dumps({"id": "s", "subscribe": True}))
        out(json.loads(await asyncio.wait_for(ws.recv(), 10)))
        while True:
            message = json.loads(await asyncio.wait_for(ws.recv(), 10))
            if "change" in message:
                out(message)
                return


async def drive_and_close(port):
    async with websockets.connect(f"ws://127.0.0.1:{port}/api") as ws:
        await ws.send(json.dumps({"id": 1, "camera": 2, "packet": "81 01 06 01 05 07 01 03 FF"}))
        out(json.loads(await asyncio.wait_for(ws.recv(), 10)))
        # Alive up to the moment it goes: only its going can stop the drive in time.
        await ws.send(json.dumps({"heartbeat": True}))
    # Gone without a stop.


async def page(port, chromium):
    profile = tempfile.mkdtemp(prefix="orbus-chromium-")
    browser = subprocess.Popen(
        [chromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--remote-debugging-port=0", f"--user-data-dir={profile}", "--window-size=390,844", "about:blank"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        active = os.path.join(profile, "DevToolsActivePort")
        for _ in range(300):
            if os.path.exists(active) and open(active).read().count("\n") >= 1:
                break
            time.sleep(0.1)
        debug = int(open(active).read().split("\n")[0])
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{debug}/json"))
        target = next(t for t in targets if t["type"] == "page")
        async with websockets.connect(target["webSocketDebuggerUrl"], max_size=None) as cdp:
            ids = iter(range(1, 1 << 30))

            async def call(method, **params):
                n = next(ids)
                await cdp.send(json.dumps({"id": n, "method": method, "params": params}))
                while True:
                    m = json.loads(await asyncio.wait_for(cdp.recv(), 20))
                    if m.get("id") == n:
                        return m.get("result", {})

            async def js(expression):
                r = await call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
                return r.get("result", {}).get("value")

            await call("Page.enable")
            await call("Page.navigate", url=f"http://127.0.0.1:{port}/")
            for _ in range(100):
                shown = await js("Array.from(document.querySelectorAll('#cameras button'))"
                                 ".map(b => b.textContent.trim().split(/\\D/)[0] + (b.classList.contains('absent') ? ' absent' : ''))")
                linked = await js("document.getElementById('link').textContent")
                if shown and linked == "connected":
                    break
                await asyncio.sleep(0.1)
            out({"cameras": shown, "link": linked})
            box = await js("(() => { const r = document.querySelector('#pad [data-direction=right]')"
                           ".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
            x, y = box
            await call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
            await call("Input.dispatchMouseEvent", type="mousePressed", x=x, y=y, button="left", clickCount=1)
            out({"pressed": True})
            await asyncio.sleep(0.6)
            await call("Input.dispatchMouseEvent", type="mouseReleased", x=x, y=y, button="left", clickCount=1)
            out({"released": True})
            await asyncio.sleep(1.0)
    finally:
        browser.terminate()
        browser.wait(10)
        shutil.rmtree(profile, ignore_errors=True)


def main():
    mode, port = sys.argv[1], int(sys.argv[2])
    if mode == "replies":
        asyncio.run(replies(port))
    elif mode == "subscribe":
        asyncio.run(subscribe(port))
    elif mode == "drive-and-close":
        asyncio.run(drive_and_close(port))
    elif mode == "page":
        if not os.access(sys.argv[3], os.X_OK):
            print(f"{sys.argv[3]} is not installed", file=sys.stderr)
            sys.exit(77)
        asyncio.run(page(port, sys.argv[3]))


main()
