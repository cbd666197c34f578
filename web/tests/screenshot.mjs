// The page with its panel open, playing the demo stream: node screenshot.mjs BASE_URL OUT.png
// (served from build/web/test-site, which holds test-data/demo-2s.qsb).
import { launch, openPage } from "./browser.mjs";
import { playBlocks } from "./page-driver.mjs";

const [base, out] = process.argv.slice(2);
const browser = await launch();
try {
  const page = await openPage(browser, `${base}/index.html`, { width: 1280, height: 720 });
  await page.waitForFunction(() => window.qelvPlayer?.firstFrameAt);
  await page.select("#size", "640x360");
  await page.click("#panel-toggle");
  await page.waitForSelector("#chain option");
  await page.select("#chain", "2");
  await page.evaluate(() => document.getElementById("chain").dispatchEvent(new Event("change")));
  await playBlocks(page, "test-data/demo-2s.qsb");
  await new Promise((resolve) => setTimeout(resolve, 1500));
  await page.screenshot({ path: out });
  if (page.errors.length) throw new Error(page.errors.join("; "));
} finally {
  await browser.close();
}
