// SPDX-License-Identifier: GPL-3.0-or-later
// The page as the game's host: builds the window from the description the
// game's WebAssembly module gives, one element per control (data-control
// carries its name), hands clicks, presses and releases to the module by the
// window's rules, runs the timers on the browser's clock (sleeping while none
// is due) and applies each handler's changes to just the elements that
// changed.
//
// window.zarnovik is there for tests and measurements: ready (a promise),
// recording() (what the game was given, as a zarnovik-sim script), show()
// (the game's state as zarnovik-sim's `show` prints it) and marks (the times
// of the first frames).
"use strict";

(() => {
  const EVENT = { Click: 0, MouseDown: 1, MouseUp: 2 };
  const SPINNING = "Вращается";

  const root = document.getElementById("game");
  const marks = [];
  const mark = (name) => marks.push({ name, at: performance.now() });
  // Each answer that changed something: what caused it and when, the
  // controls it changed, and when the frame that shows it began (for the
  // measurements in bench/; kept to the last few hundred).
  const frames = [];
  function markFrame(cause, at, changed) {
    requestAnimationFrame(() => {
      frames.push({ cause, at, changed, frame: performance.now() });
      if (frames.length > 500) frames.splice(0, 100);
    });
  }

  let api = null; // the module's entry points
  let desc = null; // the window's description
  let art = null; // art.json: the pictures drawn and the pointers' hot spots
  let epoch = 0;
  let timer = 0;
  let over = false;
  const els = []; // element of each control, by index
  const state = []; // what each control shows now, by index
  let pressed = -1;
  let wasmBytes = () => 0;

  const now = () => performance.now() - epoch;

  // --- Pictures and pointers ------------------------------------------------

  const pictureName = (key, w, h) => `${key}-${w}x${h}`;
  const hasPicture = (name) => art.pictures.includes(name);

  function setPicture(img, key, w, h) {
    const name = pictureName(key, w, h);
    if (!key || !hasPicture(name)) {
      img.removeAttribute("src");
      img.removeAttribute("srcset");
      img.style.visibility = "hidden";
      return;
    }
    img.style.visibility = "";
    img.srcset = `art/${name}.png 1x, art/${name}@2x.png 2x`;
    img.src = `art/${name}.png`;
  }

  function pointerCss(key) {
    const hot = key && art.pointers[key];
    if (!hot) return "";
    return `image-set(url("art/${key}.png") 1x, url("art/${key}@2x.png") 2x) ${hot.x} ${hot.y}, auto`;
  }

  function setPointer(el, key) {
    const hot = key && art.pointers[key];
    if (!hot) {
      el.style.cursor = "";
      return;
    }
    // The plain form first, for a browser without image-set() in cursors.
    el.style.cursor = `url("art/${key}.png") ${hot.x} ${hot.y}, auto`;
    el.style.cursor = pointerCss(key);
  }

  // A control's pointer: a button's own; over a label or image its own only
  // while it is enabled (the coin slot's coin over the open slot), the
  // window's otherwise, as over a frame.
  function pointerOf(i) {
    const c = desc.controls[i];
    const s = state[i];
    if (c.kind === "Frame" || c.kind === "Timer") return;
    setPointer(els[i], c.kind === "CommandButton" || s.enabled ? s.pointer : "");
  }

  // --- Building the window --------------------------------------------------

  const fontCss = (f) => `${f.bold ? 700 : 400} ${f.px}px "Zarnovik Sans", sans-serif`;
  // A line's height as the window sets it: the face's ascent and descent,
  // each rounded up to whole pixels (13 px for 11 px letters).
  const lineHeight = (f) => Math.ceil(0.905 * f.px) + Math.ceil(0.212 * f.px);

  function place(el, c) {
    el.style.left = `${c.left}px`;
    el.style.top = `${c.top}px`;
    el.style.width = `${c.width}px`;
    el.style.height = `${c.height}px`;
  }

  function build() {
    document.title = desc.caption;
    root.setAttribute("aria-label", desc.caption);
    root.style.width = `${desc.width}px`;
    root.style.height = `${desc.height}px`;
    root.style.background = desc.back;
    root.style.font = fontCss(desc.font);
    setPointer(root, desc.pointer);

    const count = new Map();
    for (const c of desc.controls) count.set(c.container, (count.get(c.container) ?? 0) + 1);
    const buttons = [];
    desc.controls.forEach((c, i) => {
      state[i] = {
        visible: c.visible,
        enabled: c.enabled,
        caption: c.caption,
        picture: c.picture,
        pointer: c.pointer,
      };
      if (c.kind === "Timer") return;
      let el;
      const windowed = c.kind === "Frame" || c.kind === "CommandButton";
      switch (c.kind) {
        case "Label":
          el = document.createElement("div");
          el.className = "label";
          el.textContent = c.caption;
          el.style.background = c.back ?? "#efefef";
          el.style.color = c.fore ?? "#000";
          el.style.font = fontCss(c.font);
          el.style.lineHeight = `${lineHeight(c.font)}px`;
          break;
        case "Image":
          el = document.createElement("img");
          el.className = "image";
          el.alt = "";
          el.draggable = false;
          el.decoding = "sync";
          setPicture(el, c.picture, c.width, c.height);
          break;
        case "Shape":
          el = document.createElement("div");
          el.className = "shape";
          break;
        case "Line": {
          // x1, y1, x2, y2 in the place of left, top, width, height.
          el = document.createElementNS("http://www.w3.org/2000/svg", "svg");
          el.setAttribute("class", "line");
          const x = Math.min(c.left, c.width);
          const y = Math.min(c.top, c.height);
          const w = Math.abs(c.width - c.left) + 1;
          const h = Math.abs(c.height - c.top) + 1;
          el.setAttribute("width", w);
          el.setAttribute("height", h);
          el.style.left = `${x}px`;
          el.style.top = `${y}px`;
          el.style.width = `${w}px`;
          el.style.height = `${h}px`;
          el.setAttribute("shape-rendering", "crispEdges");
          const line = document.createElementNS("http://www.w3.org/2000/svg", "line");
          line.setAttribute("x1", c.left - x + 0.5);
          line.setAttribute("y1", c.top - y + 0.5);
          line.setAttribute("x2", c.width - x + 0.5);
          line.setAttribute("y2", c.height - y + 0.5);
          line.setAttribute("stroke", "#000");
          line.setAttribute("stroke-width", "1");
          el.appendChild(line);
          break;
        }
        case "Frame": {
          el = document.createElement("div");
          el.className = "frame";
          el.style.background = c.back ?? "#efefef";
          el.style.font = fontCss(c.font);
          const half = Math.floor(lineHeight(c.font) / 2);
          const border = document.createElement("div");
          border.className = "frame-border";
          border.style.top = `${half}px`;
          el.appendChild(border);
          if (c.caption) {
            const caption = document.createElement("span");
            caption.className = "frame-caption";
            caption.textContent = c.caption;
            caption.style.background = c.back ?? "#efefef";
            caption.style.lineHeight = `${lineHeight(c.font)}px`;
            el.appendChild(caption);
          }
          break;
        }
        case "CommandButton":
          el = document.createElement("button");
          el.type = "button";
          el.className = "button";
          el.textContent = c.caption;
          el.style.font = fontCss(c.font);
          el.disabled = !c.enabled;
          el.addEventListener("click", (e) => deliver(i, EVENT.Click, e.timeStamp));
          buttons.push({ tab: c.tab, el });
          break;
        default:
          return;
      }
      el.dataset.control = c.name;
      if (c.kind !== "Line") place(el, c);
      // Top of the stacking order first; frames and buttons above the rest.
      el.style.zIndex = String((windowed ? 1000 : 1) + count.get(c.container) - c.rank);
      el.hidden = !c.visible;
      els[i] = el;
      pointerOf(i);
    });
    // Into their containers, once all exist.
    desc.controls.forEach((c, i) => {
      if (!els[i]) return;
      (c.container < 0 ? root : els[c.container]).appendChild(els[i]);
    });
    // The keyboard goes from button to button in their tab order.
    buttons.sort((a, b) => a.tab - b.tab);
    buttons.forEach((b, n) => (b.el.tabIndex = n + 1));
    labelForReaders();
    placeWindow();
    window.addEventListener("resize", placeWindow);
    buttons[0]?.el.focus();
  }

  // The window in the middle of the page, on whole pixels so nothing blurs.
  function placeWindow() {
    root.style.left = `${Math.max(0, Math.floor((window.innerWidth - desc.width) / 2))}px`;
    root.style.top = `${Math.max(0, Math.floor((window.innerHeight - desc.height) / 2))}px`;
  }

  // --- Screen readers -------------------------------------------------------

  function labelForReaders() {
    desc.controls.forEach((c, i) => {
      const el = els[i];
      if (!el) return;
      switch (c.a11y.role) {
        case "field":
          el.setAttribute("role", "status");
          el.setAttribute("aria-live", "polite");
          el.setAttribute("aria-atomic", "true");
          el.setAttribute("aria-label", c.a11y.name);
          break;
        case "coinslot":
          el.setAttribute("role", "button");
          el.setAttribute("aria-label", c.a11y.name);
          el.setAttribute("aria-description", c.a11y.description);
          el.addEventListener("click", (e) => {
            // A reader's press (no mouse under it): a whole click, as the
            // mouse gives one.
            if (e.detail === 0) pressForReader(i);
          });
          break;
        case "reel":
          el.setAttribute("role", "img");
          el.setAttribute("aria-description", c.a11y.description);
          break;
        case "picture":
          el.setAttribute("role", "img");
          el.setAttribute("aria-label", c.a11y.name);
          break;
        case "text":
          break;
        default:
          if (c.kind !== "Frame" && c.kind !== "CommandButton") el.setAttribute("aria-hidden", "true");
      }
    });
    desc.controls.forEach((c, i) => els[i] && readerState(i));
    coveredForReaders();
  }

  // What a reader finds of a control now: the coin slot open or closed, a
  // reel's symbol or its spinning.
  function readerState(i) {
    const c = desc.controls[i];
    const s = state[i];
    const el = els[i];
    if (c.a11y.role === "coinslot") el.setAttribute("aria-disabled", String(!s.enabled));
    if (c.a11y.role === "reel") {
      const symbol = /^symbol(\d)$/.exec(s.picture ?? "");
      el.setAttribute("aria-busy", String(!s.visible));
      el.setAttribute("aria-label", !s.visible ? SPINNING : symbol ? desc.symbols[+symbol[1]] : "");
      // A hidden reel still says it spins: out of sight and out of the
      // mouse's way, not out of the reader's.
      el.hidden = false;
      el.style.opacity = s.visible ? "" : "0";
      el.style.pointerEvents = s.visible ? "" : "none";
    }
  }

  // While the welcome panel shows, what lies under it is not there for a
  // reader (the keyboard still reaches the buttons).
  function coveredForReaders() {
    const panels = desc.controls
      .map((c, i) => ({ c, i }))
      .filter(({ c }) => c.kind === "Frame" && c.container < 0 && c.width >= desc.width - 16);
    const covered = panels.some(({ i }) => state[i].visible);
    desc.controls.forEach((c, i) => {
      const el = els[i];
      if (!el || c.container >= 0 || c.kind === "CommandButton") return;
      if (panels.some((p) => p.i === i)) return;
      if (covered) el.setAttribute("inert", "");
      else el.removeAttribute("inert");
    });
  }

  // --- Input ----------------------------------------------------------------

  // The topmost label or image of the window under the point, or -1: the one
  // that takes the mouse there, unless a frame or button lies above it.
  function windowlessAt(x, y) {
    const hit = document.elementFromPoint(x, y)?.closest("[data-control]");
    if (!hit || !root.contains(hit)) return -1;
    const i = els.indexOf(hit);
    if (i < 0) return -1;
    const c = desc.controls[i];
    return c.container < 0 && (c.kind === "Label" || c.kind === "Image") ? i : -1;
  }

  function onPointerDown(e) {
    if (e.target.closest("button")) return;
    e.preventDefault();
    const i = windowlessAt(e.clientX, e.clientY);
    // A disabled control takes no mouse input at all.
    if (i < 0 || !state[i].enabled || pressed >= 0) return;
    pressed = i;
    deliver(i, EVENT.MouseDown, e.timeStamp);
  }

  function onPointerUp(e) {
    if (pressed < 0) return;
    const i = pressed;
    pressed = -1;
    // The control pressed sees its release wherever it happens; a click
    // needs the release over the same control.
    deliver(i, EVENT.MouseUp, e.timeStamp);
    if (e.button === 0 && windowlessAt(e.clientX, e.clientY) === i)
      deliver(i, EVENT.Click, e.timeStamp);
  }

  // The coin key: C (С on a Russian layout) drops a coin as a click on the
  // slot would, taking the mouse's road: the click lands on whatever lies at
  // the slot's centre, and only the slot itself, open, answers. Held down,
  // it repeats nothing; with Ctrl, Alt or Meta it is another command.
  function onKeyDown(e) {
    if (e.repeat || e.ctrlKey || e.altKey || e.metaKey || over) return;
    if (!["c", "C", "с", "С"].includes(e.key)) return;
    const i = desc.controls.findIndex((c) => c.a11y.role === "coinslot");
    if (i < 0) return;
    e.preventDefault();
    const r = els[i].getBoundingClientRect();
    const x = r.left + r.width / 2;
    const y = r.top + r.height / 2;
    if (windowlessAt(x, y) !== i || !state[i].enabled || pressed >= 0) return;
    deliver(i, EVENT.MouseDown, e.timeStamp);
    deliver(i, EVENT.MouseUp, e.timeStamp);
    if (windowlessAt(x, y) === i) deliver(i, EVENT.Click, e.timeStamp);
  }

  function pressForReader(i) {
    const s = state[i];
    if (over || !s.visible || !s.enabled || els[i].closest("[inert]")) return;
    deliver(i, EVENT.MouseDown);
    deliver(i, EVENT.MouseUp);
    deliver(i, EVENT.Click);
  }

  // --- The game's road: events in, changes out ------------------------------

  // `at`: when the browser took the input (its event's time stamp).
  function deliver(i, event, at = performance.now()) {
    if (over) return;
    apply(api.deliver(i, event, at - epoch), `${desc.controls[i].name} ${event}`, at);
  }

  let wakeups = 0;
  function onTimer() {
    timer = 0;
    wakeups += 1;
    const at = performance.now();
    if (!over) apply(api.tick(at - epoch), "tick", at);
  }

  function arm(due) {
    if (timer) clearTimeout(timer);
    timer = 0;
    // Nothing due: the page sleeps until the player does something.
    if (due < 0 || over) return;
    // Whole milliseconds, rounded up: woken early, the tick would not be due.
    timer = setTimeout(onTimer, Math.max(0, Math.ceil(due - now())));
  }

  function apply(text, cause, at = performance.now()) {
    const reply = JSON.parse(text);
    let covering = false;
    for (const change of reply.changes) {
      const i = change.i;
      const c = desc.controls[i];
      const el = els[i];
      const s = state[i];
      if ("caption" in change) {
        s.caption = change.caption;
        if (c.kind === "Label" || c.kind === "CommandButton") el.textContent = change.caption;
        else if (c.kind === "Frame") {
          const caption = el.querySelector(".frame-caption");
          if (caption) caption.textContent = change.caption;
        }
      }
      if ("visible" in change) {
        s.visible = change.visible;
        el.hidden = !change.visible;
        if (c.kind === "Frame") covering = true;
      }
      if ("enabled" in change) {
        s.enabled = change.enabled;
        if (c.kind === "CommandButton") el.disabled = !change.enabled;
      }
      if ("picture" in change) {
        s.picture = change.picture;
        if (c.kind === "Image") setPicture(el, change.picture, c.width, c.height);
      }
      if ("pointer" in change) s.pointer = change.pointer;
      if ("pointer" in change || "enabled" in change) pointerOf(i);
      readerState(i);
    }
    if (covering) coveredForReaders();
    if (reply.changes.length > 0)
      markFrame(cause, at, reply.changes.map((c) => desc.controls[c.i].name));
    if (reply.error) {
      fail(reply.error);
      return;
    }
    arm(reply.due);
  }

  // A run-time error ends the game: shown in a message over the window, and
  // nothing more is delivered.
  function fail(message) {
    over = true;
    arm(-1);
    const box = document.getElementById("error");
    document.getElementById("error-title").textContent = desc ? desc.caption : "Zarnovik";
    document.getElementById("error-message").textContent = message;
    box.showModal();
  }

  // The pictures the handlers may show are fetched ahead, once the first
  // frame is out, so that no reel waits for one.
  function prefetch() {
    const scale = window.devicePixelRatio >= 1.5 ? "@2x" : "";
    for (const name of art.pictures) {
      const img = new Image();
      img.src = `art/${name}${scale}.png`;
      img.decode().catch(() => {});
    }
  }

  async function start() {
    mark("start");
    const [module, artJson] = await Promise.all([
      createZarnovik(),
      fetch("art/art.json").then((r) => r.json()),
      document.fonts.load('400 11px "Zarnovik Sans"'),
      document.fonts.load('700 11px "Zarnovik Sans"'),
    ]);
    art = artJson;
    wasmBytes = () => module.HEAPU8.length;
    api = {
      start: module.cwrap("zrnv_start", "string", ["string"]),
      deliver: module.cwrap("zrnv_deliver", "string", ["number", "number", "number"]),
      tick: module.cwrap("zrnv_tick", "string", ["number"]),
      recording: module.cwrap("zrnv_recording", "string", []),
      show: module.cwrap("zrnv_show", "string", []),
    };
    // ?seed=N plays the draws of ZRNV_SEED=N.
    const seed = new URLSearchParams(location.search).get("seed") ?? "";
    const described = JSON.parse(api.start(seed));
    if (described.error) {
      fail(described.error);
      return;
    }
    desc = described;
    epoch = performance.now();
    build();
    root.setAttribute("aria-busy", "false");
    document.addEventListener("pointerdown", onPointerDown);
    document.addEventListener("pointerup", onPointerUp);
    document.addEventListener("keydown", onKeyDown);
    // Leaving the page ends the game, as closing the window does; nothing
    // is kept.
    window.addEventListener("pagehide", () => {
      over = true;
      arm(-1);
    });
    apply(api.tick(now()), "start");
    requestAnimationFrame(() => {
      mark("first frame");
      setTimeout(prefetch, 0);
    });
    if ("serviceWorker" in navigator && location.protocol !== "file:")
      navigator.serviceWorker.register("sw.js").catch(() => {});
  }

  window.zarnovik = {
    marks,
    frames,
    ready: null,
    recording: () => (api ? api.recording() : ""),
    show: () => (api ? api.show() : ""),
    // How often the timers woke the page so far.
    wakeups: () => wakeups,
    // The WebAssembly module's memory, in bytes.
    wasmBytes: () => wasmBytes(),
    // The symbols' names, as a reader hears them.
    symbols: () => (desc ? desc.symbols : []),
  };
  window.zarnovik.ready = start();
})();
