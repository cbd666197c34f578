// The page's figures: node measure.mjs BASE_URL (served from build/web/test-site).
// The time from opening the page to its first frame, and the nine-effect chain's mean
// time a frame at 1280x720 in the check mode (drawing alone, one thread).
import { launch, openPage, checkAddress, readCheck } from "./browser.mjs";

const [base] = process.argv.slice(2);
const browser = await launch();
try {
  const firsts = [];
  for (let i = 0; i < 5; ++i) {
    const page = await openPage(browser, `${base}/index.html`);
    await page.waitForFunction(() => document.body.dataset.firstFrameMs);
    firsts.push(Number(await page.evaluate(() => document.body.dataset.firstFrameMs)));
    await page.close();
  }
  console.log(`first frame: ${firsts.join(", ")} ms after the page's navigation began`);
  const query = { samples: "test-data/demo-2s.qsb", preset: "test-data/every-type.qlp", size: "1280x720", frames: 100 };
  for (let i = 0; i < 3; ++i) {
    const page = await openPage(browser, checkAddress(base, query));
    await readCheck(page);
    console.log(`nine effects at 1280x720: ${await page.$eval("#frame-sha256", (e) => e.dataset.drawMs)} ms a frame in the page`);
    await page.close();
  }
} finally {
  await browser.close();
}
