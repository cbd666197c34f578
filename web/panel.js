// The control panel in HTML: the chain (add from the library, remove, up, down, clear),
// the selected effect's settings page drawn from its dialog template, the
// framebuffer-clear flag, the beat detection page with its live meter, and loading and
// saving presets. Every change goes through the engine's C interface.
import { parseTemplates, drawTemplate } from "./dialogs.js";

const IDD_BEAT_PAGE = 111;
const IDC = { sensitivity: 1014, low: 1015, high: 1016, label: 1028 };
const CONTROL = { trackbar: 0, checkbox: 1, radio: 2, colour: 3 };

const hex = (colour) => "#" + (colour & 0xffffff).toString(16).padStart(6, "0");

export async function makePanel(root, player) {
  const [rc, ids] = await Promise.all(["qelv.rc", "resource_ids.h"].map((f) => fetch(f).then((r) => r.text())));
  const templates = parseTemplates(rc, ids);
  const engine = () => player.engine;
  root.innerHTML = `
    <h3>Active effects</h3>
    <label><input id="fb-clear" type="checkbox"> Framebuffer clear</label>
    <select id="chain" size="8"></select>
    <div class="row">
      <button id="up">up</button><button id="down">down</button><button id="remove">remove</button>
      <button id="clear">clear</button>
    </div>
    <div class="row"><select id="library"></select><button id="add">add</button></div>
    <div class="row">
      <label class="button">load<input id="load" type="file" accept=".qlp,.json" hidden></label>
      <button id="save">save</button>
    </div>
    <h3 id="page-caption">No effect selected</h3>
    <div id="page"></div>
    <h3>Beat detection</h3>
    <div id="beat-page"></div>
    <div class="meter" title="the detector's sum against its threshold"><div id="beat-sum"></div><span id="beat-mark"></span></div>`;
  const $ = (id) => root.querySelector(`#${id}`);
  const chain = $("chain");

  const library = engine().effectTypes();
  library.forEach((name, type) => $("library").add(new Option(name, type)));

  function refresh(selected = chain.selectedIndex) {
    const types = engine().chainTypes();
    chain.replaceChildren(...types.map((type, i) => new Option(`${i + 1}. ${library[type]}`, i)));
    chain.selectedIndex = Math.min(selected, types.length - 1);
    $("fb-clear").checked = engine().framebufferClear();
    showPage();
  }

  function showPage() {
    const index = chain.selectedIndex;
    const area = $("page");
    area.replaceChildren();
    if (index < 0) {
      $("page-caption").textContent = "No effect selected";
      return;
    }
    const { templateId, controls } = engine().effectPage(index);
    $("page-caption").textContent = chain.options[index].text;
    const template = templates.get(templateId);
    if (!template) return;
    area.append(drawTemplate(template, (c, element) => {
      const bound = controls.find((b) => b.id === c.id);
      if (!bound) return false;
      const input = element.tagName === "INPUT" ? element : element.querySelector("input");
      const set = (state) => {
        engine().setControl(index, c.id, state);
        if (bound.kind === CONTROL.radio) showPage();  // its group's others uncheck
      };
      if (bound.kind === CONTROL.trackbar) {
        Object.assign(input, { min: bound.minimum, max: bound.maximum, value: bound.state });
        input.oninput = () => set(Number(input.value));
      } else if (bound.kind === CONTROL.colour) {
        input.value = hex(bound.state);
        input.oninput = () => set(parseInt(input.value.slice(1), 16));
      } else {
        input.checked = bound.state === 1;
        input.onchange = () => set(input.checked ? 1 : 0);
      }
      return true;
    }));
  }

  function showBeatPage() {
    const settings = engine().beatSettings();
    const words = { [IDC.sensitivity]: "sensitivity", [IDC.low]: "low", [IDC.high]: "high" };
    let label;
    $("beat-page").replaceChildren(drawTemplate(templates.get(IDD_BEAT_PAGE), (c, element) => {
      if (c.id === IDC.label) {
        label = element;
        return true;
      }
      const word = words[c.id];
      if (!word) return false;
      Object.assign(element, { min: word === "sensitivity" ? 1 : 0, max: word === "sensitivity" ? 256 : 576, value: settings[word] });
      element.oninput = () => {
        settings[word] = Number(element.value);
        engine().setBeatSettings(settings);
        label.textContent = `${settings.low}/${settings.high}`;
      };
      return true;
    }));
    label.textContent = `${settings.low}/${settings.high}`;
  }

  chain.onchange = showPage;
  $("fb-clear").onchange = () => engine().setFramebufferClear($("fb-clear").checked);
  $("add").onclick = () => refresh(engine().addEffect(Number($("library").value)));
  $("remove").onclick = () => chain.selectedIndex >= 0 && (engine().removeEffect(chain.selectedIndex), refresh());
  $("clear").onclick = () => (engine().clearChain(), refresh(-1));
  $("up").onclick = () => {
    const i = chain.selectedIndex;
    if (i > 0) (engine().swapEffects(i - 1), refresh(i - 1));
  };
  $("down").onclick = () => {
    const i = chain.selectedIndex;
    if (i >= 0 && i + 1 < chain.options.length) (engine().swapEffects(i), refresh(i + 1));
  };
  $("load").onchange = async () => {
    const file = $("load").files[0];
    if (file) player.loadPresetBytes(new Uint8Array(await file.arrayBuffer()), file.name);
    $("load").value = "";
  };
  $("save").onclick = () => {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([engine().savePreset()], { type: "application/octet-stream" }));
    link.download = "qelv-chain.qlp";
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  };

  showBeatPage();
  refresh(0);
  return {
    refresh: () => refresh(0),
    // Called each frame: the meter's bar is the sum, its mark the threshold.
    meter() {
      const { sum, threshold } = engine().beatMeter();
      const full = Math.max(threshold * 2, 1);
      $("beat-sum").style.width = `${Math.min(100, (100 * sum) / full)}%`;
      $("beat-sum").style.background = sum > threshold ? "#e85" : "#7c7";
    },
  };
}
