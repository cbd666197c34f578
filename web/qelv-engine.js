// The page's side of the C interface (include/qelv/qelv.h): one engine of the WebAssembly
// module, with JavaScript values in and out. Every call goes through the qelv_ functions;
// a failed one throws an Error with the engine's message.
const XRGB = 0, RGBA = 1;
const BLOCK_BYTES = 2304;

export async function loadModule() {
  // qelv.js, loaded by the page as a classic script, defines the module's factory.
  return createQelvModule();
}

export class QelvEngine {
  constructor(module, width, height) {
    this.m = module;
    const place = this.m._malloc(4);
    try {
      this.check(this.m._qelv_create(width, height, place), 0);
      this.handle = this.m.HEAPU32[place >> 2];
    } finally {
      this.m._free(place);
    }
    this.frameBytes = 0;
    this.frame = 0;
    this.resize(width, height);
  }

  // Throws for a failed call; `engine` 0 reads the message of a call without an engine.
  check(code, engine = this.handle) {
    if (code === 0) return;
    throw new Error(this.m.UTF8ToString(this.m._qelv_errmsg(engine)));
  }

  // Copies bytes into the module's memory for the length of fn(pointer).
  withBytes(bytes, fn) {
    const pointer = this.m._malloc(Math.max(bytes.length, 1));
    try {
      this.m.HEAPU8.set(bytes, pointer);
      return fn(pointer);
    } finally {
      this.m._free(pointer);
    }
  }

  resize(width, height) {
    this.check(this.m._qelv_resize(this.handle, width, height));
    this.width = width;
    this.height = height;
    const bytes = width * height * 4;
    if (bytes > this.frameBytes) {
      this.m._free(this.frame);
      this.frame = this.m._malloc(bytes);
      this.frameBytes = bytes;
    }
  }

  loadPreset(bytes) {
    this.withBytes(bytes, (p) => this.check(this.m._qelv_load_preset_memory(this.handle, p, bytes.length)));
  }

  savePreset() {
    const sizePlace = this.m._malloc(4);
    try {
      this.check(this.m._qelv_save_preset(this.handle, 0, 0, sizePlace));
      const size = this.m.HEAPU32[sizePlace >> 2];
      const buffer = this.m._malloc(size);
      try {
        this.check(this.m._qelv_save_preset(this.handle, buffer, size, sizePlace));
        return this.m.HEAPU8.slice(buffer, buffer + size);
      } finally {
        this.m._free(buffer);
      }
    } finally {
      this.m._free(sizePlace);
    }
  }

  setTransition(seconds) { this.check(this.m._qelv_set_transition(this.handle, seconds)); }
  setBlockRate(rate) { this.check(this.m._qelv_set_block_rate(this.handle, rate)); }
  resetAudio() { this.check(this.m._qelv_reset_audio(this.handle)); }

  // Interleaved float PCM, a Float32Array of frames * channels values.
  feedFloat(samples, channels, sampleRate) {
    const bytes = new Uint8Array(samples.buffer, samples.byteOffset, samples.byteLength);
    this.withBytes(bytes, (p) =>
      this.check(this.m._qelv_feed_float(this.handle, p, samples.length / channels, channels, sampleRate)));
  }

  // Whole sample blocks of BLOCK_BYTES each.
  feedBlocks(bytes) {
    this.withBytes(bytes, (p) =>
      this.check(this.m._qelv_feed_blocks(this.handle, p, bytes.length / BLOCK_BYTES)));
  }

  // Draws a frame (of every block so far, or of those due at `seconds`) and returns its
  // bytes, the engine's own words or, with rgba, R, G, B, 255 as a canvas takes them: a
  // view into the module's memory, valid until the next call.
  draw(seconds, rgba = false) {
    const stride = this.width * 4, format = rgba ? RGBA : XRGB;
    if (seconds === undefined) this.check(this.m._qelv_draw(this.handle, this.frame, stride, format));
    else this.check(this.m._qelv_draw_until(this.handle, this.frame, stride, format, seconds));
    return new Uint8ClampedArray(this.m.HEAPU8.buffer, this.frame, this.width * this.height * 4);
  }

  // Calls fn with n words of scratch memory and returns what it read back from them.
  withWords(n, fn) {
    const place = this.m._malloc(4 * n);
    try {
      fn(place);
      return Array.from(this.m.HEAP32.subarray(place >> 2, (place >> 2) + n));
    } finally {
      this.m._free(place);
    }
  }

  // The chain, effect by effect, as a panel edits it.
  effectTypes() {
    const names = [];
    for (let t = 0; t < this.m._qelv_effect_type_count(); ++t) names.push(this.m.UTF8ToString(this.m._qelv_effect_type_name(t)));
    return names;
  }
  chainTypes() {
    const [length] = this.withWords(1, (p) => this.check(this.m._qelv_chain_length(this.handle, p)));
    const types = [];
    for (let i = 0; i < length; ++i)
      types.push(this.withWords(1, (p) => this.check(this.m._qelv_chain_effect_type(this.handle, i, p)))[0]);
    return types;
  }
  addEffect(type) { return this.withWords(1, (p) => this.check(this.m._qelv_chain_add(this.handle, type, p)))[0]; }
  removeEffect(index) { this.check(this.m._qelv_chain_remove(this.handle, index)); }
  swapEffects(index) { this.check(this.m._qelv_chain_swap(this.handle, index)); }
  clearChain() { this.check(this.m._qelv_chain_clear(this.handle)); }
  framebufferClear() { return this.withWords(1, (p) => this.check(this.m._qelv_framebuffer_clear(this.handle, p)))[0] === 1; }
  setFramebufferClear(on) { this.check(this.m._qelv_set_framebuffer_clear(this.handle, on ? 1 : 0)); }

  // An effect's page: its dialog template and its controls ({id, kind, minimum, maximum, state}).
  effectPage(index) {
    const [templateId, count] = this.withWords(2, (p) => this.check(this.m._qelv_effect_page(this.handle, index, p, p + 4)));
    const controls = [];
    for (let c = 0; c < count; ++c) {
      const [id, kind, minimum, maximum, state] =
        this.withWords(5, (p) => this.check(this.m._qelv_effect_control(this.handle, index, c, p)));
      controls.push({ id, kind, minimum, maximum, state });
    }
    return { templateId, controls };
  }
  setControl(index, id, state) { this.check(this.m._qelv_effect_set_control(this.handle, index, id, state)); }

  beatSettings() {
    const [sensitivity, low, high] = this.withWords(3, (p) => this.check(this.m._qelv_beat_settings(this.handle, p, p + 4, p + 8)));
    return { sensitivity, low, high };
  }
  setBeatSettings({ sensitivity, low, high }) { this.check(this.m._qelv_set_beat_settings(this.handle, sensitivity, low, high)); }
  beatMeter() {
    const [sum, threshold] = this.withWords(2, (p) => this.m._qelv_beat_meter(this.handle, p, p + 4));
    return { sum, threshold };
  }

  beatCount() { return this.m._qelv_beat_count(this.handle) >>> 0; }
  lastFrameWasBeat() { return this.m._qelv_last_frame_was_beat(this.handle) === 1; }

  destroy() {
    this.m._qelv_destroy(this.handle);
    this.m._free(this.frame);
    this.handle = 0;
  }
}

// A whole track's sample blocks, as `qelv analyze` writes them: interleaved float PCM in.
export function analyzeFloat(module, samples, channels, sampleRate, blockRate) {
  const m = module;
  const bytes = new Uint8Array(samples.buffer, samples.byteOffset, samples.byteLength);
  const pcm = m._malloc(Math.max(bytes.length, 1)), countPlace = m._malloc(4);
  let blocks = 0;
  try {
    m.HEAPU8.set(bytes, pcm);
    const frames = samples.length / channels;
    const fail = () => new Error(m.UTF8ToString(m._qelv_errmsg(0)));
    if (m._qelv_analyze_float(pcm, frames, channels, sampleRate, blockRate, 0, 0, countPlace) !== 0) throw fail();
    const count = m.HEAPU32[countPlace >> 2];
    blocks = m._malloc(Math.max(count * BLOCK_BYTES, 1));
    if (m._qelv_analyze_float(pcm, frames, channels, sampleRate, blockRate, blocks, count, countPlace) !== 0) throw fail();
    return m.HEAPU8.slice(blocks, blocks + count * BLOCK_BYTES);
  } finally {
    m._free(pcm);
    m._free(countPlace);
    m._free(blocks);
  }
}

export { BLOCK_BYTES };
