// The page's side of the C interface (include/qelv/qelv.h): one engine of the WebAssembly
// module, with JavaScript values in and out. Every call goes through the qelv_ functions;
// a failed one throws an Error with the engine's message.
const XRGB = 0;
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
  // words as the engine holds them: a view into the module's memory, valid until the
  // next call.
  draw(seconds) {
    const stride = this.width * 4;
    if (seconds === undefined) this.check(this.m._qelv_draw(this.handle, this.frame, stride, XRGB));
    else this.check(this.m._qelv_draw_until(this.handle, this.frame, stride, XRGB, seconds));
    return new Uint8Array(this.m.HEAPU8.buffer, this.frame, this.width * this.height * 4);
  }

  beatCount() { return this.m._qelv_beat_count(this.handle) >>> 0; }
  lastFrameWasBeat() { return this.m._qelv_last_frame_was_beat(this.handle) === 1; }

  destroy() {
    this.m._qelv_destroy(this.handle);
    this.m._free(this.frame);
    this.handle = 0;
  }
}

export { BLOCK_BYTES };
