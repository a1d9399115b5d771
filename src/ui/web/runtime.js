// The page as the program's windowing system. The web platform (ui/web/*.cpp) calls these functions
// through EM_JS; the page calls the program back through the function given to heatx.connect.
//
// Units: the program gives pixels (15 twips are one CSS pixel at 100 %); colours as the windows
// give them (red in the lowest byte, then green, then blue); fonts as the windows name them.
//
// What a person sees and does:
// - each window is an element at its place with a title strip, its background picture on a canvas,
//   the texts printed on it, and real HTML controls (buttons, labels, lists) at their places;
// - the window in front names the page (document.title); a window larger than the page is scaled down;
// - input and message boxes are modal <dialog>s;
// - a window or box that has just appeared ignores pointer presses for the double-click interval, so that
//   the second click of a double click never answers what the first one opened;
// - the keyboard: Tab and Shift+Tab go round the controls of the window in front, Enter and Space press
//   a button, the arrow keys, Home, End, Page Up and Page Down move in a list, Enter or Space choose.
"use strict";

const heatx = (() => {
    const TITLE_HEIGHT = 22;
    const FRAME = 1;
    const DOUBLE_CLICK_MS = 400;
    const DEFAULT_POINTS = 9;
    const WINDOW_COLOR = 0xefefef;  // the system's window colour (239, 239, 239)

    const windows = new Map();  // id -> window
    const controls = new Map();  // id -> control
    let nextId = 1;
    let stacking = 10;
    let front = null;
    let ended = false;
    let screen = null;
    const openBoxes = [];
    // A box, or the report view, holds the keyboard: windows shown meanwhile do not take the focus.
    function modalOpen() {
        return openBoxes.length > 0 || document.getElementById("hx-report") !== null;
    }

    // ---- Colours and fonts ---------------------------------------------------------------------------

    function css(color) {
        const c = color >>> 0;
        return `rgb(${c & 0xff}, ${(c >>> 8) & 0xff}, ${(c >>> 16) & 0xff})`;
    }
    function channels(color) {
        const c = color >>> 0;
        return [c & 0xff, (c >>> 8) & 0xff, (c >>> 16) & 0xff];
    }

    // The faces standing for the fonts the windows name (the same as on the desktop).
    function faceOf(family) {
        switch ((family || "").trim().toLowerCase()) {
            case "ms sans serif":
                return "HX Sans Narrow";
            case "courier":
            case "courier new":
            case "courier new cyr":
                return "HX Mono";
            case "times new roman":
            case "monotype corsiva":
                return "HX Serif";
            case "":
                return "HX UI";
            default:
                return "HX Sans";
        }
    }

    // On screen a point size becomes whole pixels (96 dots per inch).
    function pixelsOf(points) {
        return Math.max(1, Math.round(((points > 0 ? points : DEFAULT_POINTS) * 96) / 72));
    }

    // A window's font until it is given one: the system's default face, 9 points.
    function makeFont(family, points, bold, italic) {
        return {face: faceOf(family), points: points > 0 ? points : DEFAULT_POINTS, bold: !!bold, italic: !!italic};
    }
    function fontCss(font, px) {
        return `${font.italic ? "italic " : ""}${font.bold ? "bold " : ""}${px}px "${font.face}"`;
    }
    function applyFont(el, font, px) {
        el.style.fontFamily = `"${font.face}"`;
        el.style.fontSize = `${px}px`;
        el.style.fontWeight = font.bold ? "bold" : "normal";
        el.style.fontStyle = font.italic ? "italic" : "normal";
    }

    const measureCanvas = document.createElement("canvas");
    const measure = measureCanvas.getContext("2d");
    function textWidth(text, font, px) {
        measure.font = fontCss(font, px);
        return measure.measureText(text).width;
    }
    // Ascent and descent of the face at this size: the line pitch of printed texts and labels.
    function metrics(font, px) {
        measure.font = fontCss(font, px);
        const m = measure.measureText("Xg");
        const ascent = m.fontBoundingBoxAscent || px * 0.9;
        const descent = m.fontBoundingBoxDescent || px * 0.22;
        return {ascent, descent, lineSpacing: ascent + descent};
    }

    // ---- The screen and the window in front ---------------------------------------------------------------

    function ensureScreen() {
        if (screen === null) {
            screen = document.getElementById("hx-screen");
            if (screen === null) {
                screen = document.createElement("div");
                screen.id = "hx-screen";
                document.body.appendChild(screen);
            }
            const loading = document.getElementById("hx-loading");
            if (loading !== null) {
                loading.remove();
            }
        }
        return screen;
    }

    function screenWidth() {
        return Math.max(1, window.innerWidth - 2 * FRAME);
    }
    function screenHeight() {
        return Math.max(1, window.innerHeight - TITLE_HEIGHT - 2 * FRAME);
    }

    // Place and scale of a window: at its place when it fits the page, moved in when it would stick out,
    // scaled down (never cut) when it is larger than the page.
    function layout(win) {
        const g = win.geometry;
        const fw = g.width + 2 * FRAME;
        const fh = g.height + TITLE_HEIGHT + 2 * FRAME;
        const vw = window.innerWidth;
        const vh = window.innerHeight;
        const scale = Math.min(1, vw / fw, vh / fh);
        // The frame (the title strip above the inner area) is where the desktop puts the window: every
        // window's and box's content lies one frame's breadth (1 px, 23 px) from the desktop's place, so
        // windows and boxes keep their places relative to each other.
        let x = g.left;
        let y = g.top;
        if (x + fw * scale > vw) {
            x = Math.max(0, vw - fw * scale);
        }
        if (y + fh * scale > vh) {
            y = Math.max(0, vh - fh * scale);
        }
        win.el.style.left = `${Math.floor(x)}px`;
        win.el.style.top = `${Math.floor(y)}px`;
        win.el.style.transform = scale < 1 ? `scale(${scale})` : "";
    }
    window.addEventListener("resize", () => {
        for (const win of windows.values()) {
            layout(win);
        }
    });

    function showTitle() {
        if (ended) {
            return;
        }
        document.title = front !== null && front.visible ? front.caption || "\u00a0" : "heatx";
    }

    // Brings a window to the front, with the dialog windows shown over it above it.
    function raise(win) {
        win.el.style.zIndex = String(++stacking);
        for (const other of windows.values()) {
            if (other.owner === win && other.visible) {
                other.el.style.zIndex = String(++stacking);
            }
        }
        setFront(win);
    }
    function setFront(win) {
        front = win;
        for (const other of windows.values()) {
            other.el.classList.toggle("hx-back", other !== win);
        }
        showTitle();
    }
    // The window in front: the visible window highest in the stacking order.
    function topVisible() {
        let best = null;
        for (const win of windows.values()) {
            if (win.visible && (best === null || Number(win.el.style.zIndex) > Number(best.el.style.zIndex))) {
                best = win;
            }
        }
        return best;
    }

    // ---- Windows ----------------------------------------------------------------------------------------

    function createWindow(name) {
        ensureScreen();
        const id = nextId++;
        const el = document.createElement("section");
        el.className = "hx-window";
        el.setAttribute("role", "region");
        el.dataset.name = name;
        el.tabIndex = -1;
        el.hidden = true;

        const title = document.createElement("div");
        title.className = "hx-title";
        title.setAttribute("aria-hidden", "true");
        const titleText = document.createElement("span");
        title.appendChild(titleText);
        const close = document.createElement("div");
        close.className = "hx-close";
        close.textContent = "\u00d7";
        title.appendChild(close);

        const inner = document.createElement("div");
        inner.className = "hx-inner";
        const picture = document.createElement("canvas");
        picture.className = "hx-picture";
        picture.setAttribute("aria-hidden", "true");
        const texts = document.createElement("div");
        texts.className = "hx-texts";
        inner.append(picture, texts);
        el.append(title, inner);
        screen.appendChild(el);

        const win = {
            id,
            name,
            el,
            titleText,
            inner,
            picture,
            context: picture.getContext("2d", {alpha: false}),
            texts,
            caption: name,
            geometry: {left: 0, top: 0, width: 1, height: 1},
            font: makeFont("", 0, false, false),
            pictureColor: WINDOW_COLOR,
            visible: false,
            controls: [],
            focusControl: null,
            shownAt: -Infinity,
            owner: null,
            dialog: false,
            accessibleName: "",
            role: 0,
            onClose: null,
        };
        windows.set(id, win);
        setTitle(id, name);
        setGeometry(id, 96, 96, 320, 240);
        close.addEventListener("click", (event) => {
            if (event.detail > 0) {
                post(() => win.onClose && win.onClose());
            }
        });
        el.addEventListener("focusin", (event) => {
            const control = controlOfElement(event.target);
            if (control !== null && control.win === win) {
                win.focusControl = control;
            }
        });
        el.addEventListener("pointerdown", () => {
            if (!modalOpen() && win.visible && front !== win) {
                raise(win);
            }
        });
        return id;
    }

    function controlOfElement(node) {
        for (let n = node; n !== null && n !== undefined; n = n.parentElement) {
            if (n.hxControl !== undefined) {
                return n.hxControl;
            }
        }
        return null;
    }

    function setTitle(id, caption) {
        const win = windows.get(id);
        win.caption = caption;
        win.titleText.textContent = caption;
        nameWindow(win);
        if (win === front) {
            showTitle();
        }
    }

    // A window to a screen reader: named by its own spoken name, else by its caption; a region, a dialog,
    // or an alert dialog described by its labels (its message, read as it opens). A plain window without
    // a name is a group (an unnamed region would not be announced as anything).
    function nameWindow(win) {
        const name = win.accessibleName.trim() !== "" ? win.accessibleName : win.caption;
        if (name.trim() === "") {
            win.el.removeAttribute("aria-label");
        } else {
            win.el.setAttribute("aria-label", name);
        }
        let role = name.trim() === "" ? "group" : "region";
        if (win.role === 1) {
            role = "dialog";
        } else if (win.role === 2) {
            role = "alertdialog";
        }
        win.el.setAttribute("role", role);
        const message = win.role === 2
            ? win.controls.filter((c) => c.kind === "label" && c.visible).map((c) => c.el.id).join(" ")
            : "";
        if (message === "") {
            win.el.removeAttribute("aria-describedby");
        } else {
            win.el.setAttribute("aria-describedby", message);
        }
    }
    function setWindowAccessibleName(id, name) {
        const win = windows.get(id);
        win.accessibleName = name;
        nameWindow(win);
    }
    // role: 0 a window, 1 a dialog, 2 an alert.
    function setWindowRole(id, role) {
        const win = windows.get(id);
        win.role = role;
        nameWindow(win);
    }

    // The page's one polite live region: what a window has a screen reader say (new results) without the
    // focus moving. Emptied first, so that the same text said again is announced again.
    let liveRegion = null;
    function announce(id, text) {
        if (!windows.has(id)) {
            return;
        }
        if (liveRegion === null) {
            liveRegion = document.createElement("div");
            liveRegion.id = "hx-live";
            liveRegion.className = "hx-live";
            liveRegion.setAttribute("aria-live", "polite");
            liveRegion.setAttribute("role", "status");
            document.body.appendChild(liveRegion);
        }
        liveRegion.textContent = "";
        const region = liveRegion;
        setTimeout(() => {
            region.textContent = text;
        }, 50);
    }

    function resizePicture(win, width, height) {
        const old = win.picture;
        const ratio = window.devicePixelRatio || 1;
        const fresh = document.createElement("canvas");
        fresh.className = "hx-picture";
        fresh.setAttribute("aria-hidden", "true");
        fresh.width = Math.max(1, Math.round(width * ratio));
        fresh.height = Math.max(1, Math.round(height * ratio));
        fresh.style.width = `${width}px`;
        fresh.style.height = `${height}px`;
        const context = fresh.getContext("2d", {alpha: false});
        context.fillStyle = css(win.pictureColor);
        context.fillRect(0, 0, fresh.width, fresh.height);
        context.drawImage(old, 0, 0);
        context.setTransform(ratio, 0, 0, ratio, 0, 0);
        old.replaceWith(fresh);
        win.picture = fresh;
        win.context = context;
    }

    function setGeometry(id, left, top, width, height) {
        const win = windows.get(id);
        const changed = width !== win.geometry.width || height !== win.geometry.height;
        win.geometry = {left, top, width: Math.max(1, width), height: Math.max(1, height)};
        win.el.style.width = `${win.geometry.width}px`;
        win.inner.style.width = `${win.geometry.width}px`;
        win.inner.style.height = `${win.geometry.height}px`;
        if (changed || win.picture.width <= 1) {
            resizePicture(win, win.geometry.width, win.geometry.height);
        }
        layout(win);
    }

    function show(id) {
        const win = windows.get(id);
        if (!win.visible) {
            // The press guard counts from here (see hostOf).
            win.shownAt = performance.now();
            win.el.hxShownAt = win.shownAt;
        }
        win.visible = true;
        win.el.hidden = false;
        nameWindow(win);
        layout(win);
        raise(win);
        settleFocus(id, false);
        if (!modalOpen()) {
            focusWindow(win);
        }
    }
    function showOver(id, ownerId) {
        const win = windows.get(id);
        win.owner = windows.get(ownerId) || null;
        win.dialog = true;
        show(id);
    }
    function makeDialog(id) {
        windows.get(id).dialog = true;
    }
    function hide(id) {
        const win = windows.get(id);
        if (!win.visible) {
            return;
        }
        const hadFocus = win.el.contains(document.activeElement);
        win.visible = false;
        win.el.hidden = true;
        if (front === win) {
            const next = topVisible();
            if (next !== null) {
                setFront(next);
                if (hadFocus && !modalOpen()) {
                    focusWindow(next);
                }
            } else {
                front = null;
                showTitle();
            }
        }
    }
    function destroyWindow(id) {
        const win = windows.get(id);
        if (win === undefined) {
            return;
        }
        hide(id);
        for (const control of win.controls) {
            control.callback = null;
            controls.delete(control.id);
        }
        win.onClose = null;
        win.el.remove();
        windows.delete(id);
        if (front === win) {
            front = null;
        }
    }

    function setWindowFont(id, family, points, bold, italic) {
        const win = windows.get(id);
        win.font = makeFont(family, points, bold, italic);
        for (const control of win.controls) {
            if (control.font === null) {
                styleControlFont(control);
            }
        }
    }

    function usable(control) {
        return control.visible && control.enabled;
    }
    function tabOrder(win) {
        return win.controls.filter((c) => c.kind !== "label" && c.tabStop && c.visible && c.enabled);
    }

    // The focus control of a window: kept when it is visible and enabled (and not forced away); else the
    // first visible, enabled control in the tab order; without one the focus rests on the window.
    function settleFocus(id, force) {
        const win = windows.get(id);
        const current = win.focusControl;
        if (current !== null && usable(current) && !force) {
            return;
        }
        const first = tabOrder(win)[0] || null;
        win.focusControl = first;
        if (win === front && win.visible && !modalOpen()) {
            focusWindow(win);
        }
    }

    function focusWindow(win) {
        const control = win.focusControl;
        if (control !== null && usable(control)) {
            control.el.focus({preventScroll: true});
        } else {
            win.el.focus({preventScroll: true});
        }
    }

    // ---- The picture ------------------------------------------------------------------------------------

    function clearPicture(id, color) {
        const win = windows.get(id);
        win.pictureColor = color;
        win.context.fillStyle = css(color);
        win.context.fillRect(0, 0, win.geometry.width, win.geometry.height);
    }
    function fillBox(id, left, top, width, height, color) {
        const win = windows.get(id);
        win.context.fillStyle = css(color);
        win.context.fillRect(left, top, width, height);
    }
    // A one-pixel outline on the pixels just inside the rectangle.
    function outlineBox(id, left, top, width, height, color) {
        if (width <= 0 || height <= 0) {
            return;
        }
        const c = windows.get(id).context;
        c.fillStyle = css(color);
        c.fillRect(left, top, width, 1);
        c.fillRect(left, top + height - 1, width, 1);
        c.fillRect(left, top, 1, height);
        c.fillRect(left + width - 1, top, 1, height);
    }
    // A text whose top-left corner is at (x, y): the baseline lies the face's ascent below.
    function addText(id, x, y, text, color) {
        const win = windows.get(id);
        const px = pixelsOf(win.font.points);
        const m = metrics(win.font, px);
        const item = document.createElement("div");
        item.className = "hx-printed";
        applyFont(item, win.font, px);
        item.style.lineHeight = `${m.lineSpacing}px`;
        item.style.left = `${x}px`;
        item.style.top = `${y}px`;
        item.style.color = css(color);
        item.textContent = text;
        win.texts.appendChild(item);
    }
    function clearTexts(id) {
        windows.get(id).texts.replaceChildren();
    }

    // ---- Controls ---------------------------------------------------------------------------------------

    function addControl(windowId, kind, name, el, extra) {
        const win = windows.get(windowId);
        const id = nextId++;
        el.classList.add("hx-control");
        el.dataset.name = name;
        const control = Object.assign(
            {
                id,
                kind,
                name,
                el,
                win,
                visible: true,
                enabled: true,
                tabStop: kind !== "label",
                font: null,
                geometry: {left: 0, top: 0, width: 0, height: 0},
                callback: null,
            },
            extra);
        el.hxControl = control;
        el.id = `hx-control-${id}`;
        controls.set(id, control);
        win.controls.push(control);
        win.inner.appendChild(el);
        applyTabIndex(control);
        styleControlFont(control);
        return id;
    }

    // What a screen reader says for the control ("": its own text). A label so named is a note, whose
    // lines stay readable one by one.
    function setControlAccessibleName(id, name) {
        const control = controls.get(id);
        if (name.trim() === "") {
            control.el.removeAttribute("aria-label");
            if (control.kind === "label") {
                control.el.removeAttribute("role");
            }
        } else {
            control.el.setAttribute("aria-label", name);
            if (control.kind === "label") {
                control.el.setAttribute("role", "note");
            }
        }
    }

    function controlFont(control) {
        return control.font !== null ? control.font : control.win.font;
    }
    function styleControlFont(control) {
        const font = controlFont(control);
        applyFont(control.el, font, pixelsOf(font.points));
        relayout(control);
    }
    function relayout(control) {
        if (control.kind === "button") {
            fitButton(control);
        } else if (control.kind === "label") {
            fitLabel(control);
        }
    }

    function applyTabIndex(control) {
        if (control.kind === "label") {
            return;
        }
        control.el.tabIndex = control.enabled ? (control.tabStop ? 0 : -1) : -1;
    }

    function setControlGeometry(id, left, top, width, height) {
        const control = controls.get(id);
        control.geometry = {left, top, width, height};
        const s = control.el.style;
        s.left = `${left}px`;
        s.top = `${top}px`;
        s.width = `${width}px`;
        s.height = `${height}px`;
        relayout(control);
    }
    function setControlVisible(id, visible) {
        const control = controls.get(id);
        control.visible = !!visible;
        control.el.hidden = !visible;
        if (visible) {
            relayout(control);
        }
    }
    function setControlEnabled(id, enabled) {
        const control = controls.get(id);
        control.enabled = !!enabled;
        if (control.kind === "button") {
            control.el.disabled = !enabled;
        } else if (control.kind === "list") {
            control.el.setAttribute("aria-disabled", enabled ? "false" : "true");
        }
        applyTabIndex(control);
    }
    function setControlTabStop(id, tabStop) {
        const control = controls.get(id);
        control.tabStop = !!tabStop;
        applyTabIndex(control);
    }
    function setControlFont(id, family, points, bold, italic) {
        const control = controls.get(id);
        control.font = makeFont(family, points, bold, italic);
        styleControlFont(control);
    }
    function setControlFocus(id) {
        const control = controls.get(id);
        control.win.focusControl = control;
        if (control.win === front && !modalOpen() && usable(control)) {
            control.el.focus({preventScroll: true});
        }
    }
    function controlHasFocus(id) {
        const control = controls.get(id);
        return control !== undefined && control.win.focusControl === control;
    }
    function dropCallbacks(id) {
        const control = controls.get(id);
        if (control !== undefined) {
            control.callback = null;
        }
    }
    function setCallback(id, callback) {
        controls.get(id).callback = callback;
    }

    // ---- Buttons ----

    function addButton(windowId, name) {
        const el = document.createElement("button");
        el.type = "button";
        el.className = "hx-button";
        el.textContent = name;
        const id = addControl(windowId, "button", name, el, {caption: name, face: null});
        const control = controls.get(id);
        el.addEventListener("click", () => {
            if (control.callback !== null && control.visible && control.enabled && control.win.visible) {
                const callback = control.callback;
                post(callback);
            }
        });
        // Enter and keypad Enter press the focused button as Space does (once per press).
        el.addEventListener("keydown", (event) => {
            if (event.key === "Enter" && !event.ctrlKey && !event.altKey && !event.metaKey && !event.shiftKey) {
                event.preventDefault();
                if (!event.repeat) {
                    el.click();
                }
            }
        });
        return id;
    }

    // A caption wider than its button is set in a smaller size of its font, in quarter points.
    function fitButton(control) {
        const font = controlFont(control);
        let points = font.points;
        const room = control.geometry.width - 6;
        const needed = textWidth(control.caption, font, pixelsOf(points));
        if (needed > room && needed > 0 && room > 0) {
            points = Math.max(5, Math.floor(((points * room) / needed) * 4) / 4);
        }
        control.el.style.fontSize = `${pixelsOf(points)}px`;
    }

    function setButtonCaption(id, caption) {
        const control = controls.get(id);
        control.caption = caption;
        control.el.textContent = caption;
        fitButton(control);
    }

    // An exact flat face with a bevel: the shadow is the face at half brightness, the light half as
    // bright again as the shadow; the focus mark black on a light face, white on a dark one.
    function setButtonFace(id, color) {
        const control = controls.get(id);
        control.face = color;
        const [r, g, b] = channels(color);
        const shadow = [r, g, b].map((v) => Math.floor(v / 2));
        const lit = shadow.map((v) => Math.min(255, Math.floor((v * 3) / 2)));
        const s = control.el.style;
        control.el.classList.add("hx-face");
        s.background = css(color);
        s.setProperty("--hx-lit", `rgb(${lit.join(",")})`);
        s.setProperty("--hx-shadow", `rgb(${shadow.join(",")})`);
        s.borderColor = `rgb(${lit.join(",")}) rgb(${shadow.join(",")}) rgb(${shadow.join(",")}) rgb(${lit.join(",")})`;
        const gray = (r * 11 + g * 16 + b * 5) / 32;
        s.setProperty("--hx-ink", gray >= 96 ? "#000" : "#fff");
    }

    // ---- Labels ----

    function addLabel(windowId, name) {
        const el = document.createElement("div");
        el.className = "hx-label";
        const id = addControl(windowId, "label", name, el, {
            caption: "",
            fore: 0,
            back: WINDOW_COLOR,
            transparent: false,
            wrap: false,
        });
        paintLabel(controls.get(id));
        return id;
    }

    function paintLabel(control) {
        control.el.style.color = css(control.fore);
        control.el.style.background = control.transparent ? "transparent" : css(control.back);
    }

    // Each line of the caption is a line of text; a text that does not fit is set closer (lines) or
    // smaller (a line wider than the label), so that nothing is cut off.
    function setLabelCaption(id, text) {
        const control = controls.get(id);
        control.caption = text;
        const lines = text.split("\n");
        control.el.replaceChildren(
            ...lines.map((line) => {
                const div = document.createElement("div");
                div.textContent = line;
                if (line === "") {
                    div.setAttribute("aria-hidden", "true");
                    div.textContent = " ";
                }
                return div;
            }));
        fitLabel(control);
    }

    function fitLabel(control) {
        if (control.caption === undefined) {
            return;
        }
        const font = controlFont(control);
        let px = pixelsOf(font.points);
        const el = control.el;
        if (control.wrap) {
            el.style.fontSize = `${px}px`;
            el.style.lineHeight = "normal";
            return;
        }
        const lines = control.caption.split("\n");
        const {width, height} = control.geometry;
        const widest = (size) => Math.max(0, ...lines.map((line) => textWidth(line, font, size)));
        let wide = widest(px);
        while (px > 6 && wide > width) {
            px -= 1;
            wide = widest(px);
        }
        const m = metrics(font, px);
        let pitch = m.lineSpacing;
        if (lines.length > 1 && lines.length * pitch > height + 0.5) {
            pitch = Math.max(height / lines.length, m.ascent);
        }
        el.style.fontSize = `${px}px`;
        el.style.lineHeight = `${pitch}px`;
    }

    function setLabelColors(id, fore, back, transparent) {
        const control = controls.get(id);
        control.fore = fore;
        control.back = back;
        control.transparent = !!transparent;
        paintLabel(control);
    }
    function setLabelWordWrap(id, wrap) {
        const control = controls.get(id);
        control.wrap = !!wrap;
        control.el.classList.toggle("hx-wrap", control.wrap);
        fitLabel(control);
    }

    // ---- Lists ----

    function addList(windowId, name, rowPixels) {
        const el = document.createElement("div");
        el.className = "hx-list";
        el.setAttribute("role", "listbox");
        const id = addControl(windowId, "list", name, el, {
            rowPixels,
            selected: -1,
            keyRow: -1,
            resumeRow: -1,
        });
        const control = controls.get(id);
        el.addEventListener("click", (event) => {
            const option = event.target.closest(".hx-option");
            if (option === null || !control.enabled) {
                return;
            }
            const row = Array.prototype.indexOf.call(el.children, option);
            choose(control, row);
        });
        el.addEventListener("keydown", (event) => listKey(control, event));
        // A disabled list is read, not used: a press does not even give it the focus.
        el.addEventListener("mousedown", (event) => {
            if (!control.enabled) {
                event.preventDefault();
            }
        });
        el.addEventListener("focus", () => {
            if (control.keyRow < 0 && control.resumeRow >= 0 && control.resumeRow < el.children.length) {
                control.keyRow = control.resumeRow;
            }
            markKeyRow(control);
        });
        return id;
    }

    // Puts the keyboard's line (the one read, aria-activedescendant) on row without choosing it.
    function listKeyboardLine(id, row) {
        const control = controls.get(id);
        if (optionOf(control, row) === null) {
            return;
        }
        control.keyRow = row;
        control.resumeRow = row;
        markKeyRow(control);
        scrollToRow(control, row);
    }
    // What a screen reader says for a line ("": its text); it goes with the line.
    function listLineName(id, row, name) {
        const option = optionOf(controls.get(id), row);
        if (option === null) {
            return;
        }
        if (name.trim() === "") {
            option.removeAttribute("aria-label");
        } else {
            option.setAttribute("aria-label", name);
        }
    }
    function listRowPixels(id, rowPixels) {
        const control = controls.get(id);
        control.rowPixels = Math.max(1, rowPixels);
        for (const option of control.el.children) {
            option.style.height = `${control.rowPixels}px`;
            option.style.lineHeight = `${control.rowPixels}px`;
        }
    }

    function optionOf(control, row) {
        return control.el.children[row] || null;
    }

    function makeOption(control, text) {
        const option = document.createElement("div");
        option.className = "hx-option";
        option.setAttribute("role", "option");
        option.setAttribute("aria-selected", "false");
        option.id = `hx-option-${nextId++}`;
        option.style.height = `${control.rowPixels}px`;
        option.style.lineHeight = `${control.rowPixels}px`;
        option.textContent = text;
        return option;
    }

    function listClear(id) {
        const control = controls.get(id);
        control.el.replaceChildren();
        control.selected = -1;
        control.keyRow = -1;
        control.el.removeAttribute("aria-activedescendant");
    }
    function listInsert(id, index, text) {
        const control = controls.get(id);
        const option = makeOption(control, text);
        const before = optionOf(control, index);
        control.el.insertBefore(option, before);
        if (control.selected >= index) {
            control.selected += 1;
        }
        if (control.keyRow >= index) {
            control.keyRow += 1;
        }
    }
    function listRemove(id, index) {
        const control = controls.get(id);
        const option = optionOf(control, index);
        if (option === null) {
            return;
        }
        option.remove();
        if (control.selected === index) {
            control.selected = -1;
            control.keyRow = -1;
        } else if (control.selected > index) {
            control.selected -= 1;
        }
        if (control.keyRow > index) {
            control.keyRow -= 1;
        }
        markKeyRow(control);
    }
    function listSelected(id) {
        return controls.get(id).selected;
    }
    // Selects a line (-1: none) and makes it the keyboard's line.
    function listSelect(id, index) {
        const control = controls.get(id);
        const previous = optionOf(control, control.selected);
        if (previous !== null) {
            previous.setAttribute("aria-selected", "false");
        }
        const option = optionOf(control, index);
        if (option === null) {
            control.selected = -1;
            control.keyRow = -1;
        } else {
            control.selected = index;
            control.keyRow = index;
            control.resumeRow = index;
            option.setAttribute("aria-selected", "true");
            scrollToRow(control, index);
        }
        markKeyRow(control);
    }

    function markKeyRow(control) {
        for (const option of control.el.querySelectorAll(".hx-key")) {
            option.classList.remove("hx-key");
        }
        const option = optionOf(control, control.keyRow);
        if (option !== null) {
            option.classList.add("hx-key");
            control.el.setAttribute("aria-activedescendant", option.id);
        } else {
            control.el.removeAttribute("aria-activedescendant");
        }
    }

    function scrollToRow(control, row) {
        const el = control.el;
        const top = row * control.rowPixels;
        if (top < el.scrollTop) {
            el.scrollTop = top;
        } else if (top + control.rowPixels > el.scrollTop + el.clientHeight) {
            el.scrollTop = top + control.rowPixels - el.clientHeight;
        }
    }

    // A line chosen: selected, then the program's click handler.
    function choose(control, row) {
        if (row < 0 || row >= control.el.children.length) {
            return;
        }
        listSelect(control.id, row);
        if (control.callback !== null) {
            const callback = control.callback;
            post(() => callback(row));
        }
    }

    function listKey(control, event) {
        const count = control.el.children.length;
        if (event.ctrlKey || event.altKey || event.metaKey || event.shiftKey || count === 0 || !control.enabled) {
            return;
        }
        const from = control.keyRow >= 0 ? control.keyRow : control.resumeRow < count ? control.resumeRow : -1;
        const page = Math.max(1, Math.floor(control.el.clientHeight / control.rowPixels) - 1);
        let to;
        switch (event.key) {
            case "Enter":
            case " ":
                event.preventDefault();
                if (!event.repeat && from >= 0) {
                    choose(control, from);
                }
                return;
            case "ArrowUp":
                to = from < 0 ? 0 : from - 1;
                break;
            case "ArrowDown":
                to = from < 0 ? 0 : from + 1;
                break;
            case "Home":
                to = 0;
                break;
            case "End":
                to = count - 1;
                break;
            case "PageUp":
                to = from < 0 ? 0 : from - page;
                break;
            case "PageDown":
                to = from < 0 ? 0 : from + page;
                break;
            default:
                return;
        }
        event.preventDefault();
        // The highlight moves by whole lines; nothing runs.
        listSelect(control.id, Math.min(count - 1, Math.max(0, to)));
    }

    // ---- The keyboard: Tab goes round the window in front -------------------------------------------

    document.addEventListener(
        "keydown",
        (event) => {
            if (event.key !== "Tab" || event.ctrlKey || event.altKey || event.metaKey || ended ||
                document.getElementById("hx-report") !== null) {
                return;
            }
            if (openBoxes.length > 0) {
                tabInBox(openBoxes[openBoxes.length - 1], event);
                return;
            }
            const win = front;
            if (win === null || !win.visible) {
                return;
            }
            event.preventDefault();
            const order = tabOrder(win);
            if (order.length === 0) {
                return;
            }
            const current = controlOfElement(document.activeElement);
            let at = order.indexOf(current);
            if (at < 0) {
                at = event.shiftKey ? 0 : -1;
            }
            const next = order[(at + (event.shiftKey ? order.length - 1 : 1)) % order.length];
            win.focusControl = next;
            next.el.focus();
        },
        true);

    function tabInBox(box, event) {
        const order = Array.from(box.querySelectorAll("input, button"));
        event.preventDefault();
        let at = order.indexOf(document.activeElement);
        if (at < 0) {
            at = event.shiftKey ? 0 : -1;
        }
        order[(at + (event.shiftKey ? order.length - 1 : 1)) % order.length].focus();
    }

    // ---- The press guard of new windows and boxes ---------------------------------------------------------

    let pressBlocked = false;
    function hostOf(node) {
        return node instanceof Element ? node.closest(".hx-window, dialog.hx-box") : null;
    }
    function young(host) {
        return host !== null && host.hxShownAt !== undefined && performance.now() - host.hxShownAt < DOUBLE_CLICK_MS;
    }
    function block(event) {
        event.preventDefault();
        event.stopImmediatePropagation();
    }
    for (const type of ["pointerdown", "mousedown"]) {
        document.addEventListener(
            type,
            (event) => {
                const host = hostOf(event.target);
                if (type === "pointerdown") {
                    pressBlocked = young(host);
                }
                if (pressBlocked) {
                    block(event);
                }
            },
            true);
    }
    for (const type of ["pointerup", "mouseup", "dblclick"]) {
        document.addEventListener(
            type,
            (event) => {
                if (pressBlocked || young(hostOf(event.target))) {
                    block(event);
                }
            },
            true);
    }
    document.addEventListener(
        "click",
        (event) => {
            // A click of the keyboard (Enter, Space) has no pointer detail and is never held back.
            if (event.detail > 0 && (pressBlocked || young(hostOf(event.target)))) {
                block(event);
            }
        },
        true);

    // ---- Events to the program ------------------------------------------------------------------------------
    // A handler may wait in a modal box (the program's stack suspended): the events that come meanwhile
    // wait for it to return, one handler at a time.

    let deliver = null;
    let busy = false;
    const queue = [];
    function post(job) {
        if (ended) {
            return;
        }
        queue.push(job);
        pump();
    }
    async function pump() {
        if (busy) {
            return;
        }
        busy = true;
        try {
            while (queue.length > 0 && !ended) {
                const job = queue.shift();
                try {
                    await job();
                } catch (error) {
                    console.error("heatx:", error);
                }
            }
        } finally {
            busy = false;
        }
    }

    // The program gives, for each control and window, the function that runs its handler (returning a
    // promise while a handler waits in a box).
    function connect(fn) {
        deliver = fn;
    }
    function onButton(id) {
        setCallback(id, () => deliver && deliver(1, id, 0));
    }
    function onList(id) {
        setCallback(id, (row) => deliver && deliver(2, id, row));
    }
    function onWindowClose(windowId) {
        const win = windows.get(windowId);
        win.onClose = () => deliver && deliver(3, windowId, 0);
    }

    // ---- Input and message boxes --------------------------------------------------------------------------

    function boxFrame(title, role) {
        const dialog = document.createElement("dialog");
        dialog.className = "hx-box";
        if (role !== null) {
            dialog.setAttribute("role", role);
        }
        dialog.setAttribute("aria-label", title);
        const strip = document.createElement("div");
        strip.className = "hx-title";
        strip.setAttribute("aria-hidden", "true");
        strip.textContent = title;
        const body = document.createElement("div");
        body.className = "hx-box-body";
        dialog.append(strip, body);
        return {dialog, body};
    }
    function boxButton(caption) {
        const button = document.createElement("button");
        button.type = "button";
        button.className = "hx-button";
        button.textContent = caption;
        return button;
    }

    // Shows a box modally; `finish` is called with the answer once, and the box goes.
    function openBox(dialog, place, onCancel) {
        document.body.appendChild(dialog);
        openBoxes.push(dialog);
        dialog.showModal();
        dialog.hxShownAt = performance.now();
        place(dialog);
        dialog.addEventListener("cancel", (event) => {
            event.preventDefault();
            onCancel();
        });
    }
    function closeBox(dialog) {
        const at = openBoxes.indexOf(dialog);
        if (at >= 0) {
            openBoxes.splice(at, 1);
        }
        if (dialog.open) {
            dialog.close();
        }
        dialog.remove();
        // The focus goes back to the window below.
        const win = front !== null && front.visible ? front : topVisible();
        if (!modalOpen() && win !== null && !ended) {
            setFront(win);
            focusWindow(win);
        }
    }

    function clampTo(dialog, x, y) {
        const w = dialog.offsetWidth;
        const h = dialog.offsetHeight;
        dialog.style.left = `${Math.max(0, Math.min(x, window.innerWidth - w))}px`;
        dialog.style.top = `${Math.max(0, Math.min(y, window.innerHeight - h))}px`;
    }

    // Enter answers a box with its default button, unless a button has the focus: then that button.
    function enterAnswers(dialog, defaultButton) {
        dialog.addEventListener("keydown", (event) => {
            if (event.key !== "Enter" || event.ctrlKey || event.altKey || event.metaKey) {
                return;
            }
            event.preventDefault();
            if (event.repeat) {
                return;
            }
            const target = document.activeElement instanceof HTMLButtonElement && dialog.contains(document.activeElement)
                ? document.activeElement
                : defaultButton;
            target.click();
        });
    }

    // An input box: the title, the prompt, one text field (at most 255 characters), "OK" and "Отмена",
    // its top-left corner at (x, y). Resolves to the text, or null when cancelled (Отмена, Escape).
    // Boxes for numbers read the Russian layout's characters on the Latin period and comma keys as the
    // period and comma meant, and show them so as they are typed.
    let numberEntry = false;
    function setNumberEntry(on) {
        numberEntry = !!on;
    }
    function numberKeysAsLatin(text) {
        return text.replace(/[юЮ]/g, ".").replace(/[бБ]/g, ",");
    }

    function inputBox(prompt, title, defaultText, x, y) {
        return new Promise((resolve) => {
            const {dialog, body} = boxFrame(title, null);
            const text = document.createElement("div");
            text.className = "hx-box-text";
            text.id = `hx-prompt-${nextId++}`;
            text.textContent = prompt;
            const field = document.createElement("input");
            field.type = "text";
            field.className = "hx-box-field";
            field.maxLength = 255;
            field.value = defaultText;
            field.setAttribute("aria-labelledby", text.id);
            field.autocomplete = "off";
            field.spellcheck = false;
            if (numberEntry) {
                field.addEventListener("input", () => {
                    const latin = numberKeysAsLatin(field.value);
                    if (latin !== field.value) {
                        const cursor = field.selectionStart;
                        field.value = latin;
                        field.setSelectionRange(cursor, cursor);
                    }
                });
            }
            const buttons = document.createElement("div");
            buttons.className = "hx-box-buttons";
            const ok = boxButton("OK");
            const cancel = boxButton("Отмена");
            buttons.append(ok, cancel);
            body.append(text, field, buttons);
            let done = false;
            const finish = (answer) => {
                if (!done) {
                    done = true;
                    closeBox(dialog);
                    resolve(answer);
                }
            };
            ok.addEventListener("click", () => finish(field.value.slice(0, 255)));
            cancel.addEventListener("click", () => finish(null));
            enterAnswers(dialog, ok);
            openBox(dialog, (d) => clampTo(d, x, y), () => finish(null));
            field.focus();
            field.select();
        });
    }

    // A message box: role alertdialog, the title, the text and its buttons; Enter answers with the first
    // button (or the focused one), Escape with `escapeIndex`. Resolves to the index of the button.
    function messageBox(text, title, captions, escapeIndex) {
        return new Promise((resolve) => {
            const {dialog, body} = boxFrame(title, "alertdialog");
            const message = document.createElement("div");
            message.className = "hx-box-text";
            message.id = `hx-message-${nextId++}`;
            message.textContent = text;
            dialog.setAttribute("aria-describedby", message.id);
            const row = document.createElement("div");
            row.className = "hx-box-buttons";
            const buttons = captions.map(boxButton);
            row.append(...buttons);
            body.append(message, row);
            let done = false;
            const finish = (answer) => {
                if (!done) {
                    done = true;
                    closeBox(dialog);
                    resolve(answer);
                }
            };
            buttons.forEach((button, index) => button.addEventListener("click", () => finish(index)));
            enterAnswers(dialog, buttons[0]);
            openBox(
                dialog,
                (d) => clampTo(d, (window.innerWidth - d.offsetWidth) / 2, (window.innerHeight - d.offsetHeight) / 2),
                () => finish(escapeIndex));
            buttons[0].focus();
        });
    }

    // ---- Sound, the end of the run, the report ---------------------------------------------------------------

    let audio = null;
    function beep() {
        try {
            if (audio === null) {
                audio = new (window.AudioContext || window.webkitAudioContext)();
            }
            const oscillator = audio.createOscillator();
            const gain = audio.createGain();
            oscillator.type = "square";
            oscillator.frequency.value = 880;
            gain.gain.value = 0.08;
            oscillator.connect(gain).connect(audio.destination);
            oscillator.start();
            oscillator.stop(audio.currentTime + 0.12);
        } catch (error) {
            // No sound on this machine: nothing to tell.
        }
    }

    // The run has ended: every window and box goes, and a plain page says so, with a way to start again.
    function endRun() {
        if (ended) {
            return;
        }
        ended = true;
        queue.length = 0;
        for (const dialog of openBoxes.slice()) {
            if (dialog.open) {
                dialog.close();
            }
            dialog.remove();
        }
        openBoxes.length = 0;
        for (const win of windows.values()) {
            win.visible = false;
            win.el.hidden = true;
        }
        if (screen !== null) {
            screen.hidden = true;
        }
        const page = document.createElement("main");
        page.id = "hx-closing";
        const text = document.createElement("p");
        text.textContent = "Работа с программой окончена";
        const again = document.createElement("button");
        again.type = "button";
        again.textContent = "Начать заново";
        again.addEventListener("click", () => window.location.reload());
        page.append(text, again);
        document.body.appendChild(page);
        document.title = "Работа с программой окончена";
        again.focus();
    }

    // A report being printed, or shown and not yet closed, would be lost with the page: the browser asks
    // before the page is closed or reloaded.
    let documentOpen = false;
    function setDocumentOpen(open) {
        documentOpen = !!open;
    }
    window.addEventListener("beforeunload", (event) => {
        if (documentOpen || reports.length > 0) {
            event.preventDefault();
            event.returnValue = "";
        }
    });

    // ---- The printed report -------------------------------------------------------------------------------
    // A report ended: its pages as they print, over everything, until the student closes the view. The
    // pages are those of the desktop's report: A4, margins of 8 mm at the sides and 15 mm at the top and
    // bottom, Liberation Mono at 9 pt (5.4 pt a character, a line every 2320/2048 of the size). A line
    // wider than the page continues on the next line under its own first text (its leading blanks, at
    // most half the page); a page holds as many whole lines as fit. The browser's print dialog opens at
    // once ("Печать" or Ctrl+P opens it again); printed on paper or saved as PDF, the pages are the
    // report and nothing else. Several reports of a run are shown one after the other.
    const REPORT_PAGE = {widthMm: 210, heightMm: 297, sideMm: 8, topMm: 15, points: 9};
    const MM_PER_POINT = 25.4 / 72;
    const REPORT_ADVANCE = REPORT_PAGE.points * 1229 / 2048;  // points a character
    const REPORT_PITCH = REPORT_PAGE.points * 2320 / 2048;    // points a line
    const REPORT_WIDTH = (REPORT_PAGE.widthMm - 2 * REPORT_PAGE.sideMm) / MM_PER_POINT;
    const REPORT_HEIGHT = (REPORT_PAGE.heightMm - 2 * REPORT_PAGE.topMm) / MM_PER_POINT;
    const LINES_PER_PAGE = Math.max(1, Math.floor(REPORT_HEIGHT / REPORT_PITCH + 1e-9));

    // The lines of the page for one report line (characters, not UTF-16 units, are counted).
    function wrapReportLine(line) {
        const characters = Array.from(line);
        let blanks = 0;
        while (blanks < characters.length && characters[blanks] === " ") {
            blanks++;
        }
        const indent = Math.min(blanks * REPORT_ADVANCE, REPORT_WIDTH / 2);
        const indentText = " ".repeat(Math.round(indent / REPORT_ADVANCE));
        const out = [];
        let current = "";
        let x = 0;
        for (const character of characters) {
            if (x + REPORT_ADVANCE > REPORT_WIDTH && x > indent) {
                out.push(current);
                current = indentText;
                x = indent;
            }
            current += character;
            x += REPORT_ADVANCE;
        }
        out.push(current);
        return out;
    }

    function reportPages(lines) {
        const visual = lines.flatMap(wrapReportLine);
        const pages = [];
        for (let i = 0; i < visual.length; i += LINES_PER_PAGE) {
            pages.push(visual.slice(i, i + LINES_PER_PAGE));
        }
        return pages.length > 0 ? pages : [[]];
    }

    // The page's print settings: A4 without the browser's own margins, the sheets' padding being the
    // report's margins.
    function ensurePrintStyle() {
        if (document.getElementById("hx-print-style") !== null) {
            return;
        }
        const style = document.createElement("style");
        style.id = "hx-print-style";
        style.textContent = `@page { size: ${REPORT_PAGE.widthMm}mm ${REPORT_PAGE.heightMm}mm; margin: 0; }
.hx-sheet { width: ${REPORT_PAGE.widthMm}mm; height: ${REPORT_PAGE.heightMm}mm;
    padding: ${REPORT_PAGE.topMm}mm ${REPORT_PAGE.sideMm}mm; font-size: ${REPORT_PAGE.points}pt; }
.hx-sheet > div { height: ${REPORT_PITCH}pt; line-height: ${REPORT_PITCH}pt; }`;
        document.head.appendChild(style);
    }

    let printedAt = 0;
    function printReport() {
        // Once the view's faces are drawn: the dialog prints what is on the sheets.
        document.fonts.ready.then(() => requestAnimationFrame(() => requestAnimationFrame(() => {
            if (document.getElementById("hx-report") !== null) {
                printedAt = performance.now();
                window.print();
            }
        })));
    }

    const reports = [];
    function showReport(title, lines) {
        reports.push({title, lines});
        if (reports.length === 1) {
            openReport();
        }
    }
    function openReport() {
        const report = reports[0];
        ensurePrintStyle();
        const view = document.createElement("div");
        view.id = "hx-report";
        view.setAttribute("role", "dialog");
        view.setAttribute("aria-label", "ОТЧЁТ");
        view.hxLines = report.lines.slice();
        const bar = document.createElement("div");
        bar.className = "hx-report-bar";
        const heading = document.createElement("span");
        heading.className = "hx-report-title";
        heading.textContent = report.title ? `Отчёт: ${report.title}` : "Отчёт";
        const print = document.createElement("button");
        print.type = "button";
        print.textContent = "Печать";
        print.addEventListener("click", () => window.print());
        const close = document.createElement("button");
        close.type = "button";
        close.textContent = "Закрыть";
        close.addEventListener("click", () => {
            view.remove();
            reports.shift();
            if (reports.length > 0) {
                openReport();
            } else if (ended) {
                const again = document.querySelector("#hx-closing button");
                if (again !== null) {
                    again.focus();
                }
            } else if (front !== null && front.visible && !modalOpen()) {
                focusWindow(front);
            }
        });
        const help = document.createElement("p");
        help.className = "hx-report-help";
        help.textContent = "Отчёт открыт для печати: в окне печати выберите принтер или «Сохранить как PDF». " +
            "Чтобы напечатать его ещё раз, нажмите «Печать» (или Ctrl+P); «Закрыть» убирает отчёт с экрана.";
        bar.append(heading, print, close, help);
        const sheets = document.createElement("div");
        sheets.className = "hx-sheets";
        for (const page of reportPages(report.lines)) {
            const sheet = document.createElement("div");
            sheet.className = "hx-sheet";
            for (const line of page) {
                const row = document.createElement("div");
                row.textContent = line;
                sheet.appendChild(row);
            }
            sheets.appendChild(sheet);
        }
        view.append(bar, sheets);
        document.body.appendChild(view);
        print.focus();
        printReport();
    }

    // An event of the program's own (the recovery of journals): run as a handler once the page is idle,
    // never inside the program's call that asks for it (a handler that waits must start from the page).
    function postEvent(id) {
        setTimeout(() => post(() => deliver && deliver(4, id, 0)), 0);
    }

    // ---- The journals of open reports, in the page's storage -----------------------------------------------
    // One localStorage entry per journal, named "heatx-journal/TIME-PAGE-N" (TIME the creation in
    // milliseconds, zero-padded, so that the names sort oldest first; PAGE this page load). Each page load
    // holds the Web Lock "heatx-page/PAGE" while it is open: a journal whose page holds no lock any more
    // belonged to a tab closed, reloaded or crashed. A journal taken for recovery is marked with the page
    // that took it ("heatx-journal-owner/NAME"), so that no other page takes it meanwhile.
    const JOURNAL = "heatx-journal/";
    const OWNER = "heatx-journal-owner/";
    const pageId = `${Date.now().toString(36)}${Math.random().toString(36).slice(2, 10)}`;
    let journalCount = 0;
    const locks = typeof navigator === "object" && navigator.locks ? navigator.locks : null;
    if (locks !== null) {
        locks.request(`heatx-page/${pageId}`, () => new Promise(() => {})).catch(() => {});
    }
    function storage() {
        try {
            return window.localStorage;
        } catch (error) {
            return null;
        }
    }
    const journals = {
        available() {
            const store = storage();
            if (store === null) {
                return false;
            }
            try {
                store.setItem("heatx-probe", "1");
                store.removeItem("heatx-probe");
                return true;
            } catch (error) {
                return false;
            }
        },
        create(header) {
            const name = `${JOURNAL}${String(Date.now()).padStart(15, "0")}-${pageId}-${++journalCount}`;
            try {
                storage().setItem(name, header);
                return name;
            } catch (error) {
                return null;
            }
        },
        append(name, bytes) {
            try {
                const store = storage();
                const now = store.getItem(name);
                if (now === null) {
                    return false;
                }
                store.setItem(name, now + bytes);
                return true;
            } catch (error) {
                return false;
            }
        },
        remove(name) {
            try {
                storage().removeItem(name);
                storage().removeItem(OWNER + name);
            } catch (error) {
                // Nothing more can be done: the journal is recovered at the next opening.
            }
        },
        setAside(name) {
            try {
                const store = storage();
                const aside = `heatx-journal-damaged/${name.slice(JOURNAL.length)}`;
                store.setItem(aside, store.getItem(name) || "");
                store.removeItem(name);
                store.removeItem(OWNER + name);
                return aside;
            } catch (error) {
                return null;
            }
        },
        list() {
            const store = storage();
            const names = [];
            if (store === null) {
                return names;
            }
            for (let i = 0; i < store.length; i++) {
                const key = store.key(i);
                if (key !== null && key.startsWith(JOURNAL)) {
                    names.push(key);
                }
            }
            return names.sort();
        },
        // The journal's bytes, taken for this page, when no open page holds it; null otherwise.
        async claim(name) {
            if (locks === null) {
                return null;  // whether its page is still open cannot be known: left alone
            }
            const store = storage();
            const held = new Set();
            try {
                const state = await locks.query();
                for (const lock of state.held || []) {
                    if (lock.name && lock.name.startsWith("heatx-page/")) {
                        held.add(lock.name.slice("heatx-page/".length));
                    }
                }
            } catch (error) {
                return null;
            }
            try {
                const bytes = store.getItem(name);
                if (bytes === null) {
                    return null;
                }
                const owner = store.getItem(OWNER + name) || name.slice(JOURNAL.length).split("-")[1];
                if (owner === pageId || held.has(owner)) {
                    return null;
                }
                store.setItem(OWNER + name, pageId);
                return bytes;
            } catch (error) {
                return null;
            }
        },
    };

    return {
        // screen
        screenWidth,
        screenHeight,
        windowColor: () => WINDOW_COLOR,
        // windows
        createWindow,
        destroyWindow,
        setTitle,
        setGeometry,
        show,
        showOver,
        makeDialog,
        hide,
        setWindowFont,
        settleFocus,
        setWindowAccessibleName,
        setWindowRole,
        announce,
        clearPicture,
        fillBox,
        outlineBox,
        addText,
        clearTexts,
        // controls
        addButton,
        addLabel,
        addList,
        setControlGeometry,
        setControlVisible,
        setControlEnabled,
        setControlTabStop,
        setControlFont,
        setControlFocus,
        controlHasFocus,
        setControlAccessibleName,
        dropCallbacks,
        setButtonCaption,
        setButtonFace,
        setLabelCaption,
        setLabelColors,
        setLabelWordWrap,
        listClear,
        listInsert,
        listRemove,
        listSelected,
        listSelect,
        listKeyboardLine,
        listLineName,
        listRowPixels,
        // events
        connect,
        onButton,
        onList,
        onWindowClose,
        // services
        inputBox,
        setNumberEntry,
        messageBox,
        beep,
        endRun,
        showReport,
        setDocumentOpen,
        reportPages,
        postEvent,
        journals,
    };
})();
window.heatx = heatx;
