// The panel: clicks that add an effect and move it up change the chain and so the
// picture, and a chain saved from the page is, read by `qelv preset show`, the chain the
// page shows. (The check mode's test shows that the page draws what `qelv render` draws
// of a preset; here the tool draws the saved chains.)
import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { openPage } from "./browser.mjs";

const shownChain = (page) => page.$$eval("#chain option", (options) => options.map((o) => o.textContent.replace(/^\d+\. /, "")));
const savedChain = (page) => page.evaluate(() => Array.from(window.qelvPlayer.engine.savePreset()));

function toolChain({ tool }, file) {
  const text = execFileSync(tool, ["preset", "show", file], { encoding: "utf8" });
  return [...text.matchAll(/^\s+\d+\s+type \d+\s+(.+)$/gm)].map((m) => m[1].trim());
}

function toolLastFrame({ tool, site }, preset, work) {
  const out = join(work, "panel.rgb");
  execFileSync(tool, ["render", "--samples", join(site, "test-data/demo-2s.qsb"), "--preset", preset,
    "--size", "64x48", "--out", out], { stdio: "ignore" });
  const bytes = readFileSync(out);
  return createHash("sha256").update(bytes.subarray(bytes.length - 64 * 48 * 4)).digest("hex");
}

export async function run(setup, browser, test) {
  await test("panel: add and move with clicks; the saved chain is the one shown, and draws differently", async () => {
    const page = await openPage(browser, `${setup.base}/index.html`);
    await page.waitForFunction(() => window.qelvPlayer?.firstFrameAt);
    await page.click("#panel-toggle");
    await page.waitForSelector("#chain option");
    const steps = [];
    const record = async (what) => {
      const file = join(setup.work, `${what}.qlp`);
      writeFileSync(file, Buffer.from(await savedChain(page)));
      const shown = await shownChain(page), read = toolChain(setup, file);
      if (JSON.stringify(shown) !== JSON.stringify(read))
        throw new Error(`${what}: the page shows ${shown.join(", ")}; qelv preset show reads ${read.join(", ")}`);
      steps.push({ what, shown, frame: toolLastFrame(setup, file, setup.work) });
    };
    await record("loaded");
    const starType = await page.$$eval("#library option", (o) => o.find((e) => e.textContent.startsWith("Oscilliscope Star")).value);
    await page.select("#library", starType);
    await page.click("#add");
    await record("added");
    await page.click("#up");
    await page.click("#up");
    await record("moved");
    const [loaded, added, moved] = steps;
    if (added.shown.length !== loaded.shown.length + 1 || !added.shown.at(-1).startsWith("Oscilliscope Star"))
      throw new Error(`adding gave ${added.shown.join(", ")}`);
    if (!moved.shown[moved.shown.length - 3].startsWith("Oscilliscope Star"))
      throw new Error(`moving up twice gave ${moved.shown.join(", ")}`);
    if (new Set(steps.map((s) => s.frame)).size !== 3) throw new Error("the picture did not change with each step");
    if (page.errors.length) throw new Error(page.errors.join("; "));
    await page.close();
  });

  await test("panel: a settings page's trackbar changes the effect's saved setting", async () => {
    const page = await openPage(browser, `${setup.base}/index.html`);
    await page.waitForFunction(() => window.qelvPlayer?.firstFrameAt);
    await page.click("#panel-toggle");
    await page.waitForSelector("#chain option");
    // aurora's first effect is Fadeout: one trackbar, its fade amount.
    await page.select("#chain", "0");
    await page.$eval("#page input[type=range]", (e) => {
      e.value = "40";
      e.dispatchEvent(new Event("input"));
    });
    const file = join(setup.work, "fade.qlp");
    writeFileSync(file, Buffer.from(await savedChain(page)));
    const text = execFileSync(setup.tool, ["preset", "show", file], { encoding: "utf8" });
    if (!/fade amount = 40/.test(text)) throw new Error(`the saved preset reads:\n${text}`);
    await page.close();
  });
}
