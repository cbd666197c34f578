// The panels' dialog templates, read from the resource script the native panels use
// (ui/qelv.rc with ui/resource_ids.h), and drawn as HTML at the templates' own places.
const SCALE = 2;  // pixels per dialog unit

function parseIds(text) {
  const ids = new Map();
  for (const [, name, value] of text.matchAll(/^#define\s+(\w+)\s+(-?\d+)/gm)) ids.set(name, Number(value));
  return ids;
}

// Every template by number: its size and controls {text, id, kind, style, x, y, w, h}.
export function parseTemplates(rcText, idsText) {
  const ids = parseIds(idsText);
  const number = (token) => (/^-?\d+$/.test(token) ? Number(token) : ids.get(token) ?? -1);
  const templates = new Map();
  let current = null;
  for (const line of rcText.split("\n")) {
    const dialog = /^(\w+)\s+DIALOG\s+\d+,\s*\d+,\s*(\d+),\s*(\d+)/.exec(line);
    if (dialog) {
      current = { width: Number(dialog[2]), height: Number(dialog[3]), controls: [] };
      templates.set(number(dialog[1]), current);
      continue;
    }
    const control = /^\s*CONTROL\s+"((?:[^"]|"")*)",\s*([\w-]+),\s*("[^"]*"|\w+),\s*([^,]+),\s*(-?\d+),\s*(-?\d+),\s*(\d+),\s*(\d+)/.exec(line);
    if (current && control) {
      const [, text, id, kind, style, x, y, w, h] = control;
      current.controls.push({ text: text.replace(/""/g, '"'), id: number(id), kind: kind.replace(/"/g, ""),
        style, x: Number(x), y: Number(y), w: Number(w), h: Number(h) });
    }
    if (/^END/.test(line)) current = null;
  }
  return templates;
}

function place(element, c) {
  Object.assign(element.style, { position: "absolute", left: `${c.x * SCALE}px`, top: `${c.y * SCALE}px`,
    width: `${c.w * SCALE}px`, minHeight: `${c.h * SCALE}px` });
  element.dataset.control = c.id;
  return element;
}

// Draws a template; bind(control, element) wires the controls the caller has settings for
// and returns false for those it has none, which are shown as text.
export function drawTemplate(template, bind) {
  const page = document.createElement("div");
  page.className = "dialog";
  Object.assign(page.style, { position: "relative", width: `${template.width * SCALE}px`, height: `${template.height * SCALE}px` });
  for (const c of template.controls) {
    let element;
    if (c.kind === "Button" && c.style.includes("BS_GROUPBOX")) {
      element = document.createElement("fieldset");
      element.innerHTML = "<legend></legend>";
      element.firstChild.textContent = c.text;
      element.style.height = `${c.h * SCALE}px`;
    } else if (c.kind === "Button" && /BS_AUTOCHECKBOX|BS_AUTORADIOBUTTON/.test(c.style)) {
      element = document.createElement("label");
      const input = document.createElement("input");
      input.type = c.style.includes("BS_AUTORADIOBUTTON") ? "radio" : "checkbox";
      element.append(input, " " + c.text);
    } else if (c.kind === "Button" && c.style.includes("BS_OWNERDRAW")) {
      element = document.createElement("label");
      const input = document.createElement("input");
      input.type = "color";
      input.title = c.text;
      element.append(input, " " + c.text);
    } else if (c.kind === "TRACKBAR") {
      element = document.createElement("input");
      element.type = "range";
    } else if (c.kind === "Button") {
      element = document.createElement("button");
      element.textContent = c.text;
    } else {
      element = document.createElement("span");
      element.textContent = c.text;
      if (c.style.includes("SS_RIGHT")) element.style.textAlign = "right";
    }
    page.append(place(element, c));
    if (!bind(c, element) && element.querySelector("input")) element.querySelector("input").disabled = true;
  }
  return page;
}
