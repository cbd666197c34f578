// The check mode against the native tool: for shipped presets at two sizes, the page's
// SHA-256 of its last frame equals that of `qelv render --samples`'s last frame; broken
// input gives `error: ` and the reason.
import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { readFileSync, rmSync } from "node:fs";
import { join } from "node:path";
import { openPage, checkAddress, readCheck } from "./browser.mjs";

function nativeLastFrame({ tool, site, work }, samples, preset, width, height, frames) {
  const out = join(work, "frames.rgb");
  execFileSync(tool, ["render", "--samples", join(site, samples), "--preset", join(site, preset),
    "--size", `${width}x${height}`, "--frames", String(frames), "--out", out], { stdio: "ignore" });
  const bytes = readFileSync(out);
  rmSync(out);
  return createHash("sha256").update(bytes.subarray(bytes.length - width * height * 4)).digest("hex");
}

export async function run(setup, browser, test) {
  const samples = "test-data/demo-2s.qsb";
  for (const preset of ["aurora", "hyperspace", "starburst-tunnel"])
    for (const [width, height, frames] of [[320, 180, 100], [203, 97, 130]]) {
      const query = { samples, preset: `presets/${preset}.qlp`, size: `${width}x${height}`, frames };
      await test(`check mode: ${preset} at ${width}x${height}, ${frames} frames`, async () => {
        const page = await openPage(browser, checkAddress(setup.base, query));
        const text = await readCheck(page);
        await page.close();
        const expected = nativeLastFrame(setup, samples, query.preset, width, height, frames);
        if (text !== expected) throw new Error(`page ${text}, qelv render ${expected}`);
      });
    }

  for (const [what, query, reason] of [
    ["a missing stream", { samples: "test-data/none.qsb", size: "64x64", frames: 1 }, /404/],
    ["a stream of part of a block", { samples: "test-data/cut.qsb", size: "64x64", frames: 1 }, /not whole blocks/],
    ["a damaged preset", { samples, preset: "test-data/truncated-header.qlp", size: "64x64", frames: 1 }, /truncated-header\.qlp/],
    ["a bad size", { samples, size: "64", frames: 1 }, /size '64'/],
  ])
    await test(`check mode: ${what} is an error`, async () => {
      const page = await openPage(browser, checkAddress(setup.base, query));
      const text = await readCheck(page);
      await page.close();
      if (!text.startsWith("error: ") || !reason.test(text)) throw new Error(`wrote '${text}'`);
    });
}
