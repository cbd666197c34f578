// The player: audio from a file, the microphone or a tab's sound, drawn in step by one
// engine; the shipped presets with N / P / R and shuffle on a beat; the picture's size
// and full screen; the frames-a-second readout. The panel (panel.js) edits the same engine.
import { QelvEngine } from "./qelv-engine.js";
import { makePanel } from "./panel.js";
import { parseSize } from "./check.js";

const TRANSITION_SECONDS = 1.5;
const SHUFFLE_SECONDS = 10;
const FEED_AHEAD_SECONDS = 0.25;

const $ = (id) => document.getElementById(id);
const status = (text) => ($("status").textContent = text);

class Player {
  constructor(module) {
    this.module = module;
    this.canvas = $("picture");
    this.context = this.canvas.getContext("2d");
    this.engine = new QelvEngine(module, 640, 360);
    this.engine.setTransition(TRANSITION_SECONDS);
    this.presets = [];
    this.current = -1;
    this.source = null;  // what feeds the engine: {feed(engine), time()}
    this.lastChange = performance.now();
    this.frames = 0;
    this.fpsSince = performance.now();
  }

  async loadPresetList() {
    this.presets = await (await fetch("presets/index.json")).json();
    $("presets").replaceChildren(...this.presets.map((name, i) => new Option(name, i)));
  }

  async choosePreset(index) {
    const n = this.presets.length;
    this.current = ((index % n) + n) % n;
    $("presets").value = this.current;
    const name = this.presets[this.current];
    const response = await fetch(`presets/${name}.qlp`);
    this.loadPresetBytes(new Uint8Array(await response.arrayBuffer()), name);
  }

  loadPresetBytes(bytes, name) {
    try {
      this.engine.loadPreset(bytes);
      status("");
    } catch (e) {
      status(`${name}: ${e.message}`);
    }
    this.lastChange = performance.now();
    this.panel?.refresh();
  }

  randomPreset() {
    if (this.presets.length < 2) return;
    let next;
    do next = Math.floor(Math.random() * this.presets.length); while (next === this.current);
    this.choosePreset(next);
  }

  audioContext() {
    this.audio ??= new AudioContext();
    return this.audio;
  }

  stopSource() {
    this.source?.stop();
    this.source = null;
    this.engine.resetAudio();
  }

  // A decoded file plays from its start; its PCM goes to the engine a little ahead of
  // what is heard, and each frame shows the moment being heard.
  async playFile(file) {
    const context = this.audioContext();
    let buffer;
    try {
      buffer = await context.decodeAudioData(await file.arrayBuffer());
    } catch (e) {
      status(`${file.name}: the browser cannot decode it (${e.message})`);
      return;
    }
    this.stopSource();
    const node = new AudioBufferSourceNode(context, { buffer });
    node.connect(context.destination);
    const channels = Math.min(buffer.numberOfChannels, 2);
    const data = Array.from({ length: channels }, (_, c) => buffer.getChannelData(c));
    const started = context.currentTime + 0.05;
    node.start(started);
    let fed = 0;
    const engine = this.engine;
    this.source = {
      time: () => Math.max(0, context.currentTime - started),
      feed: () => {
        const until = Math.min(buffer.length, Math.ceil((this.source.time() + FEED_AHEAD_SECONDS) * buffer.sampleRate));
        if (until <= fed) return;
        const pcm = new Float32Array((until - fed) * channels);
        for (let i = fed; i < until; ++i) for (let c = 0; c < channels; ++c) pcm[(i - fed) * channels + c] = data[c][i];
        engine.feedFloat(pcm, channels, buffer.sampleRate);
        fed = until;
      },
      stop: () => node.stop(),
    };
    status(`${file.name}: ${buffer.duration.toFixed(1)} s`);
  }

  // Live sound: a worklet hands the captured PCM over as it comes; each frame shows all of it.
  async listen(stream, what) {
    const context = this.audioContext();
    await context.audioWorklet.addModule("capture-worklet.js");
    this.stopSource();
    const input = context.createMediaStreamSource(stream);
    const capture = new AudioWorkletNode(context, "qelv-capture", { channelCount: 2, channelCountMode: "explicit" });
    const chunks = [];
    capture.port.onmessage = (e) => chunks.push(e.data);
    input.connect(capture);
    this.source = {
      time: undefined,
      feed: () => {
        for (const chunk of chunks.splice(0)) this.engine.feedFloat(chunk, 2, context.sampleRate);
      },
      stop: () => {
        input.disconnect();
        capture.disconnect();
        stream.getTracks().forEach((t) => t.stop());
      },
    };
    status(`listening to ${what}`);
  }

  async listenTo(what, ask) {
    try {
      const stream = await ask();
      if (stream.getAudioTracks().length === 0) throw new Error("the browser gave no sound");
      stream.getVideoTracks().forEach((t) => t.stop());
      await this.listen(stream, what);
    } catch (e) {
      status(`${what}: ${e.message}`);
    }
  }

  // The picture's size: the canvas's size on the page, or the size chosen.
  fitSize() {
    const choice = $("size").value;
    let width, height;
    if (choice === "window") {
      const box = this.canvas.getBoundingClientRect();
      width = Math.max(8, Math.round(box.width * devicePixelRatio));
      height = Math.max(8, Math.round(box.height * devicePixelRatio));
    } else {
      ({ width, height } = parseSize(choice));
    }
    if (width === this.engine.width && height === this.engine.height) return;
    this.engine.resize(width, height);
    this.canvas.width = width;
    this.canvas.height = height;
  }

  frame(now) {
    this.fitSize();
    this.source?.feed();
    const time = this.source?.time?.();
    const pixels = this.engine.draw(time, true);
    this.context.putImageData(new ImageData(pixels, this.engine.width, this.engine.height), 0, 0);
    if ($("shuffle").checked && this.engine.lastFrameWasBeat() && now - this.lastChange > SHUFFLE_SECONDS * 1000)
      this.randomPreset();
    this.panel?.meter();
    this.frames += 1;
    if (now - this.fpsSince >= 1000) {
      $("fps").textContent = `${((this.frames * 1000) / (now - this.fpsSince)).toFixed(1)} fps`;
      this.frames = 0;
      this.fpsSince = now;
    }
    if (!this.firstFrameAt) {
      this.firstFrameAt = now;
      document.body.dataset.firstFrameMs = now.toFixed(0);  // from the start of the page's load
    }
    requestAnimationFrame((t) => this.frame(t));
  }
}

export async function startPlayer(modulePromise) {
  const player = new Player(await modulePromise);
  window.qelvPlayer = player;  // for the tests and the curious
  await player.loadPresetList();
  await player.choosePreset(0);

  $("file").onchange = () => $("file").files[0] && player.playFile($("file").files[0]);
  document.body.ondragover = (e) => e.preventDefault();
  document.body.ondrop = (e) => {
    e.preventDefault();
    const file = e.dataTransfer.files[0];
    if (!file) return;
    if (/\.(qlp|json)$/i.test(file.name)) file.arrayBuffer().then((b) => player.loadPresetBytes(new Uint8Array(b), file.name));
    else player.playFile(file);
  };
  $("mic").onclick = () => player.listenTo("the microphone", () => navigator.mediaDevices.getUserMedia({ audio: true }));
  if (navigator.mediaDevices?.getDisplayMedia)
    $("tab").onclick = () => player.listenTo("the shared sound", () => navigator.mediaDevices.getDisplayMedia({ audio: true, video: true }));
  else $("tab").hidden = true;
  $("presets").onchange = () => player.choosePreset(Number($("presets").value));
  $("next").onclick = () => player.choosePreset(player.current + 1);
  $("prev").onclick = () => player.choosePreset(player.current - 1);
  $("random").onclick = () => player.randomPreset();
  $("fullscreen").onclick = () => $("stage").requestFullscreen?.();
  $("panel-toggle").onclick = async () => {
    player.panel ??= await makePanel($("panel"), player);
    $("panel").hidden = !$("panel").hidden;
    $("panel-toggle").setAttribute("aria-pressed", String(!$("panel").hidden));
  };
  document.addEventListener("keydown", (e) => {
    if (e.target.closest("input, select") || e.ctrlKey || e.metaKey || e.altKey) return;
    const key = e.key.toLowerCase();
    if (key === "n") player.choosePreset(player.current + 1);
    else if (key === "p") player.choosePreset(player.current - 1);
    else if (key === "r") player.randomPreset();
    else if (key === "f") $("fullscreen").click();
  });
  requestAnimationFrame((t) => player.frame(t));
}
