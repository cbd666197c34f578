// The page's analysis against `qelv analyze` of the same WAV file. Two things keep the
// bytes from being equal everywhere, and the tolerances say by how much:
//  - chromium's decoder scales positive 16-bit samples by 1/32767 (negative ones by
//    1/32768), the tool's reader all by 1/32768: the samples differ, so do some waveform
//    bytes (by 1) and spectrum bytes. With pcm16=1 the page takes the samples back to the
//    file's integers, and the waveform bytes are all equal.
//  - the C library's cos, sin and log (emscripten's against glibc's) differ in the last bit
//    for a few arguments; where that meets a byte's rounding edge, a spectrum byte differs
//    by 1 (2 of 345600 bytes here).
import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { openPage, checkAddress, readCheck } from "./browser.mjs";

// Stereo 16-bit PCM of a few tones and a deterministic noise, loud enough to clip.
function testWav(rate, seconds) {
  const frames = rate * seconds, data = Buffer.alloc(frames * 4);
  let state = 1;
  for (let i = 0; i < frames; ++i) {
    state = (state * 1103515245 + 12345) >>> 0;
    const t = i / rate, noise = (state >>> 16) / 32768 - 1;
    const left = 0.6 * Math.sin(2 * Math.PI * 110 * t) + 0.3 * Math.sin(2 * Math.PI * 2500 * t * (1 + t)) + 0.2 * noise;
    const right = 0.9 * Math.sin(2 * Math.PI * 55 * t) * (Math.floor(t * 4) % 2) + 0.5 * noise;
    data.writeInt16LE(Math.max(-32768, Math.min(32767, Math.round(left * 32767))), 4 * i);
    data.writeInt16LE(Math.max(-32768, Math.min(32767, Math.round(right * 32767))), 4 * i + 2);
  }
  const header = Buffer.alloc(44);
  header.write("RIFF", 0);
  header.writeUInt32LE(36 + data.length, 4);
  header.write("WAVEfmt ", 8);
  header.writeUInt32LE(16, 16);
  header.writeUInt16LE(1, 20);
  header.writeUInt16LE(2, 22);
  header.writeUInt32LE(rate, 24);
  header.writeUInt32LE(rate * 4, 28);
  header.writeUInt16LE(4, 32);
  header.writeUInt16LE(16, 34);
  header.write("data", 36);
  header.writeUInt32LE(data.length, 40);
  return Buffer.concat([header, data]);
}

// Bytes that differ in the spectrum halves and in the waveform halves of the blocks, and
// the largest difference.
function compare(blocks, expected) {
  const counts = { spectrum: 0, waveform: 0, largest: 0, length: blocks.length };
  for (let i = 0; i < Math.min(blocks.length, expected.length); ++i) {
    if (blocks[i] === expected[i]) continue;
    counts[i % 2304 < 1152 ? "spectrum" : "waveform"] += 1;
    counts.largest = Math.max(counts.largest, Math.abs(blocks[i] - expected[i]));
  }
  return counts;
}

export async function run(setup, browser, test) {
  for (const [rate, fps] of [[44100, 50], [48000, 60]]) {
    const name = `tones-${rate}.wav`;
    writeFileSync(join(setup.site, "test-data", name), testWav(rate, 3));
    const qsb = join(setup.work, `tool-${rate}.qsb`);
    execFileSync(setup.tool, ["analyze", join(setup.site, "test-data", name), "-o", qsb, "--fps", String(fps)], { stdio: "ignore" });
    const expected = readFileSync(qsb);
    // pcm16, and at most this many bytes in 10000 of each kind may differ, by 1.
    for (const [pcm16, spectrumPer10000, waveformPer10000] of [[1, 1, 0], [0, 10, 10]])
      await test(`analysis: a ${rate} Hz WAV at ${fps} blocks a second${pcm16 ? ", samples as the file's integers" : ""}`, async () => {
        const page = await openPage(browser, checkAddress(setup.base, { analyze: `test-data/${name}`, rate, fps, pcm16 }));
        const text = await readCheck(page);
        if (text.startsWith("error")) throw new Error(text);
        const c = compare(await page.evaluate(() => Array.from(window.qelvBlocks)), expected);
        await page.close();
        const half = expected.length / 2;
        if (c.length !== expected.length || c.largest > 1 || c.spectrum * 10000 > spectrumPer10000 * half ||
            c.waveform * 10000 > waveformPer10000 * half)
          throw new Error(`${c.length} bytes against ${expected.length}; ${c.spectrum} spectrum and ${c.waveform} waveform bytes differ, by up to ${c.largest}`);
        console.log(`     ${c.spectrum} spectrum and ${c.waveform} waveform bytes of ${expected.length} differ, by up to ${c.largest}`);
      });
  }
}
