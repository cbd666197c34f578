// The headless check mode: index.html?samples=URL&preset=URL&size=WxH&frames=N draws
// the stream's first N blocks, one frame a block from a black start as
// `qelv render --samples` does (the last block repeating when N asks for more), and
// writes the SHA-256 of the last frame's bytes (as a .rgb file holds them) into
// #frame-sha256; `error: ` and the reason instead when something is wrong. The title
// turns `done` either way.
//
// index.html?analyze=URL&rate=R&fps=N does the same for the analysis: the browser decodes
// the audio file at R samples a second (its own rate, so that nothing is resampled), the
// engine's analysis makes its blocks at N a second (50 unless given), and their SHA-256 (of
// the bytes `qelv analyze` writes into a .qsb) goes into #frame-sha256; the blocks stay in
// window.qelvBlocks for a closer look.
import { QelvEngine, BLOCK_BYTES, analyzeFloat } from "./qelv-engine.js";

export function isCheck(params) {
  return ["samples", "preset", "frames", "analyze"].some((name) => params.has(name));
}

async function fetchBytes(what, url) {
  if (!url) throw new Error(`no ${what} URL given`);
  let response;
  try {
    response = await fetch(url);
  } catch (e) {
    throw new Error(`cannot fetch the ${what} '${url}': ${e.message}`);
  }
  if (!response.ok) throw new Error(`cannot fetch the ${what} '${url}': ${response.status} ${response.statusText}`);
  return new Uint8Array(await response.arrayBuffer());
}

export function parseSize(text) {
  const match = /^(\d{1,4})x(\d{1,4})$/.exec(text || "");
  const width = match ? Number(match[1]) : 0, height = match ? Number(match[2]) : 0;
  if (width < 8 || height < 8 || width > 8192 || height > 8192)
    throw new Error(`size '${text}' is not WxH with each side from 8 to 8192`);
  return { width, height };
}

function parseFrames(text) {
  if (!/^\d{1,7}$/.test(text || "") || Number(text) < 1)
    throw new Error(`frames '${text}' is not a whole number from 1 to 9999999`);
  return Number(text);
}

export async function sha256Hex(bytes) {
  const digest = new Uint8Array(await crypto.subtle.digest("SHA-256", bytes));
  return Array.from(digest, (b) => b.toString(16).padStart(2, "0")).join("");
}

async function drawCheck(module, params) {
  const { width, height } = parseSize(params.get("size"));
  const frames = parseFrames(params.get("frames"));
  const samplesUrl = params.get("samples");
  const samples = await fetchBytes("samples", samplesUrl);
  if (samples.length === 0 || samples.length % BLOCK_BYTES !== 0)
    throw new Error(`the samples '${samplesUrl}' are ${samples.length} bytes, not whole blocks of ${BLOCK_BYTES}`);
  const preset = params.has("preset") ? await fetchBytes("preset", params.get("preset")) : null;

  const engine = new QelvEngine(module, width, height);
  try {
    if (preset) {
      try {
        engine.loadPreset(preset);
      } catch (e) {
        throw new Error(`the preset '${params.get("preset")}': ${e.message}`);
      }
    }
    const blocks = samples.length / BLOCK_BYTES;
    let frame;
    const started = performance.now();
    for (let i = 0; i < frames; ++i) {
      const block = Math.min(i, blocks - 1);
      engine.feedBlocks(samples.subarray(block * BLOCK_BYTES, (block + 1) * BLOCK_BYTES));
      frame = engine.draw();
    }
    const drawMs = (performance.now() - started) / frames;
    return { hash: await sha256Hex(frame.slice()), drawMs };
  } finally {
    engine.destroy();
  }
}

async function analyzeCheck(module, params) {
  const rate = Number(params.get("rate"));
  const fps = Number(params.get("fps") || 50);
  if (!Number.isInteger(rate) || rate < 8000 || rate > 384000) throw new Error(`rate '${params.get("rate")}' is not 8000 to 384000`);
  const encoded = await fetchBytes("audio", params.get("analyze"));
  let audio;
  try {
    audio = await new OfflineAudioContext(2, 1, rate).decodeAudioData(encoded.buffer);
  } catch (e) {
    throw new Error(`the browser cannot decode '${params.get("analyze")}': ${e.message}`);
  }
  const channels = Math.min(audio.numberOfChannels, 2);
  const data = Array.from({ length: channels }, (_, c) => audio.getChannelData(c));
  // pcm16=1: the file holds 16-bit PCM, which chromium's decoder scales by 1/32767 above 0
  // and 1/32768 below; taken back to the integers and scaled by 1/32768 throughout, as
  // the tool's reader does, the samples are the tool's.
  const sample = params.get("pcm16") === "1" ? (x) => Math.round(x < 0 ? x * 32768 : x * 32767) / 32768 : (x) => x;
  const pcm = new Float32Array(audio.length * channels);
  for (let i = 0; i < audio.length; ++i) for (let c = 0; c < channels; ++c) pcm[i * channels + c] = sample(data[c][i]);
  const blocks = analyzeFloat(module, pcm, channels, rate, fps);
  window.qelvBlocks = blocks;
  return { hash: await sha256Hex(blocks), drawMs: 0 };
}

export async function runCheck(modulePromise, params, output) {
  try {
    const module = await modulePromise;
    const { hash, drawMs } = params.has("analyze") ? await analyzeCheck(module, params) : await drawCheck(module, params);
    output.textContent = hash;
    // A frame's mean time in the page, drawing only: what the speed comparison reads.
    output.dataset.drawMs = drawMs.toFixed(3);
  } catch (e) {
    output.textContent = `error: ${e.message}`;
  }
  document.title = "done";
}
