// The web remote: talks to the panel over the WebSocket at /api of the
// host that served the page. Drives move while a button is held and stop
// when it is let go, cancelled, or the page loses the focus or is hidden;
// a heartbeat every 300 ms tells the panel the page is still there.
(function () {
  "use strict";

  var HEARTBEAT_MS = 300;
  var RECONNECT_MS = 2000;
  var TOKEN_KEY = "orbus-remote-token";
  var CAMERA_KEY = "orbus-remote-camera";

  var socket = null;
  var heartbeat = null;
  var nextId = 1;
  var chain = { length: 0, cameras: [] };
  var selected = Number(localStorage.getItem(CAMERA_KEY)) || 1;
  // The drives running: by kind ("panTilt", "zoom", "focus"), the camera
  // it moves and the command that stops it.
  var drives = {};

  function $(id) { return document.getElementById(id); }

  function say(text) { $("message").textContent = text || ""; }

  function showLink(text, on) {
    var link = $("link");
    link.textContent = text;
    link.className = "link " + (on ? "on" : "off");
  }

  // ---- the connection --------------------------------------------------------------

  function token() { return sessionStorage.getItem(TOKEN_KEY) || ""; }

  // The panel asks for its token when it listens beyond this computer:
  // asked once, kept for the session, asked again only when refused.
  function askToken(again) {
    var t = window.prompt(again ? "The panel refused that token. Remote token:" : "This panel asks for its remote token:", "");
    if (t === null) return false;
    sessionStorage.setItem(TOKEN_KEY, t.trim());
    return true;
  }

  function served() { return location.protocol === "http:" || location.protocol === "https:"; }

  // The chain first, over HTTP: it tells whether a token is needed.
  function start(asked) {
    if (!served()) {
      showLink("not connected", false);
      say("Open this page from the panel's address, as http://ADDRESS:8711/.");
      return;
    }
    var headers = {};
    if (token()) headers.Authorization = "Bearer " + token();
    fetch("/api/chain", { headers: headers, cache: "no-store" }).then(function (response) {
      if (response.status === 401) {
        if (askToken(asked)) start(true);
        else showLink("no token given", false);
        return null;
      }
      if (!response.ok) throw new Error("the panel answered " + response.status);
      return response.json();
    }).then(function (listing) {
      if (!listing) return;
      showChain(listing);
      connect();
    }).catch(function (e) {
      showLink("not connected", false);
      say(String(e.message || e));
      setTimeout(function () { start(false); }, RECONNECT_MS);
    });
  }

  function connect() {
    var url = (location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/api";
    if (token()) url += "?token=" + encodeURIComponent(token());
    showLink("connecting", false);
    socket = new WebSocket(url);
    socket.onopen = function () {
      showLink("connected", true);
      say("");
      send({ subscribe: true });
      heartbeat = setInterval(function () { send({ heartbeat: true }); }, HEARTBEAT_MS);
    };
    socket.onmessage = function (event) {
      var m;
      try { m = JSON.parse(event.data); } catch (e) { return; }
      if (m.chain) showChain(m.chain);
      if (m.change && m.state) showCamera(m.state);
      if (m.error) say(m.error);
    };
    socket.onclose = function () {
      clearInterval(heartbeat);
      heartbeat = null;
      socket = null;
      drives = {};
      showLink("not connected", false);
      setTimeout(function () { start(false); }, RECONNECT_MS);
    };
  }

  function send(message) {
    if (!socket || socket.readyState !== WebSocket.OPEN) return false;
    if (!message.heartbeat) message.id = nextId++;
    socket.send(JSON.stringify(message));
    return true;
  }

  function command(name, camera, values) {
    var m = { camera: camera, command: name };
    for (var k in values) m[k] = values[k];
    return send(m);
  }

  // ---- the chain ----------------------------------------------------------------

  function cameraOf(address) {
    for (var i = 0; i < chain.cameras.length; i++) {
      if (chain.cameras[i].address === address) return chain.cameras[i];
    }
    return null;
  }

  function showChain(listing) {
    chain = listing;
    if (!chain.cameras) chain.cameras = [];
    drawCameras();
    drawSelected();
  }

  function showCamera(state) {
    var found = false;
    for (var i = 0; i < chain.cameras.length; i++) {
      if (chain.cameras[i].address === state.address) {
        chain.cameras[i] = state;
        found = true;
      }
    }
    if (!found) chain.cameras.push(state);
    drawCameras();
    if (state.address === selected) drawSelected();
  }

  function drawCameras() {
    var nav = $("cameras");
    nav.textContent = "";
    for (var a = 1; a <= 7; a++) {
      var c = cameraOf(a);
      var b = document.createElement("button");
      b.className = "camera" + (a === selected ? " selected" : "") + (c && c.answering ? " answering" : "") +
        (chain.length && a > chain.length ? " absent" : "");
      b.setAttribute("aria-pressed", a === selected ? "true" : "false");
      b.dataset.address = String(a);
      var n = document.createElement("span");
      n.className = "number";
      n.textContent = String(a);
      // The whole model name, and its short form for a narrow screen ("Kappa", "R02").
      var model = document.createElement("span");
      model.className = "model";
      var whole = document.createElement("span");
      whole.className = "whole";
      whole.textContent = c && c.model ? c.model : "-";
      var short = document.createElement("span");
      short.className = "short";
      short.textContent = c && c.model ? c.model.replace(/^[A-Za-z]+-/, "") : "-";
      model.appendChild(whole);
      model.appendChild(short);
      b.title = c && c.model ? c.model : "camera " + a;
      var dot = document.createElement("span");
      dot.className = "dot";
      dot.title = c && c.answering ? "answering" : "not answering";
      b.appendChild(n);
      b.appendChild(model);
      b.appendChild(dot);
      b.addEventListener("click", choose);
      nav.appendChild(b);
    }
  }

  function choose(event) {
    stopAll();
    selected = Number(event.currentTarget.dataset.address);
    localStorage.setItem(CAMERA_KEY, String(selected));
    drawCameras();
    drawSelected();
  }

  function hex(n) { return "0x" + Number(n).toString(16).toUpperCase().padStart(4, "0"); }

  function drawSelected() {
    var c = cameraOf(selected);
    var v = (c && c.values) || {};
    var t = (c && c.texts) || {};
    $("state-title").textContent = "Camera " + selected;
    $("state-model").textContent = c && c.model ? c.model + (c.answering ? "" : " (not answering)") : "-";
    $("state-zoom").textContent = v["zoom.position"] !== undefined ? hex(v["zoom.position"]) : "-";
    var focus = v["focus.position"] !== undefined ? hex(v["focus.position"]) : "-";
    if (v["focus.mode"]) focus += " (" + v["focus.mode"] + ")";
    $("state-focus").textContent = focus;
    var exposure = v["exposure.mode"] !== undefined ? String(v["exposure.mode"]) : "-";
    if (t["exposure.iris"]) exposure += ", " + t["exposure.iris"];
    if (t["exposure.shutter"]) exposure += ", " + t["exposure.shutter"];
    $("state-exposure").textContent = exposure;

    // The head's own maxima, once it told them.
    var head = (c && c.panTilt) || {};
    setMax("pan-speed", head.panSpeedMax || 24);
    setMax("tilt-speed", head.tiltSpeedMax || 23);
    $("pantilt").classList.toggle("unavailable", !!(c && c.series === "block"));
    drawMemories(c && c.series === "block");
  }

  function setMax(id, max) {
    var input = $(id);
    input.max = String(max);
    if (Number(input.value) > max) input.value = String(max);
    $(id + "-out").textContent = input.value;
  }

  // ---- drives ---------------------------------------------------------------------

  function speed(id) { return Number($(id).value); }

  function startDrive(kind, name, values, stop) {
    var camera = selected;
    if (command(name, camera, values)) drives[kind] = { camera: camera, stop: stop };
  }

  function stopDrive(kind) {
    var d = drives[kind];
    if (!d) return;
    delete drives[kind];
    command(d.stop, d.camera, {});
  }

  function stopAll() {
    for (var kind in drives) stopDrive(kind);
  }

  // A button that drives while a pointer holds it (mouse, pen or touch)
  // and stops when it lets go or is taken away.
  function holdToDrive(button, kind, begin) {
    button.addEventListener("pointerdown", function (event) {
      if (event.button !== undefined && event.button !== 0) return;
      event.preventDefault();
      try { button.setPointerCapture(event.pointerId); } catch (e) { /* an older browser */ }
      button.classList.add("held");
      begin();
    });
    var end = function () {
      button.classList.remove("held");
      stopDrive(kind);
    };
    button.addEventListener("pointerup", end);
    button.addEventListener("pointercancel", end);
    button.addEventListener("lostpointercapture", end);
    button.addEventListener("contextmenu", function (event) { event.preventDefault(); });
  }

  function wireDrives() {
    var pad = document.querySelectorAll("#pad .drive");
    Array.prototype.forEach.call(pad, function (button) {
      holdToDrive(button, "panTilt", function () {
        startDrive("panTilt", "panTilt.drive", {
          direction: button.dataset.direction,
          panSpeed: speed("pan-speed"),
          tiltSpeed: speed("tilt-speed")
        }, "panTilt.stop");
      });
    });
    $("pad-stop").addEventListener("click", function () {
      delete drives.panTilt;
      command("panTilt.stop", selected, {});
    });
    var holds = document.querySelectorAll(".rocker .hold");
    Array.prototype.forEach.call(holds, function (button) {
      var kind = button.dataset.command.split(".")[0];
      holdToDrive(button, kind, function () {
        startDrive(kind, button.dataset.command, { speed: speed(button.dataset.speed) }, button.dataset.stop);
      });
    });
    ["pan-speed", "tilt-speed", "zoom-speed", "focus-speed"].forEach(function (id) {
      $(id).addEventListener("input", function () { $(id + "-out").textContent = $(id).value; });
    });
    // Whatever takes the page away stops what it drives.
    window.addEventListener("blur", stopAll);
    window.addEventListener("pagehide", stopAll);
    document.addEventListener("visibilitychange", function () {
      if (document.visibilityState !== "visible") stopAll();
    });
  }

  // ---- presets and memories -------------------------------------------------------------

  function drawMemories(blockCamera) {
    var box = $("memory-numbers");
    var first = blockCamera ? 0 : 1;
    $("memory-title").textContent = blockCamera ? "Memories" : "Presets";
    if (box.dataset.first === String(first)) return;
    box.dataset.first = String(first);
    box.textContent = "";
    for (var n = first; n < first + 6; n++) {
      var b = document.createElement("button");
      b.className = "memory";
      b.textContent = String(n);
      b.dataset.number = String(n);
      b.addEventListener("click", memoryClick);
      box.appendChild(b);
    }
  }

  function memoryClick(event) {
    var n = Number(event.currentTarget.dataset.number);
    var c = cameraOf(selected);
    var kind = c && c.series === "block" ? "memory" : "preset";
    var mode = document.querySelector("input[name=memory-mode]:checked").value;
    if (mode === "set" && !window.confirm("Store camera " + selected + "'s present state as " + kind + " " + n + "?")) return;
    command(kind + "." + mode, selected, { number: n });
  }

  // ---- start ----------------------------------------------------------------------

  wireDrives();
  drawCameras();
  drawSelected();
  start(false);
})();
