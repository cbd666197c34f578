// The system's chromium, headless, driven through puppeteer-core.
import puppeteer from "puppeteer-core";

export function launch() {
  return puppeteer.launch({
    executablePath: process.env.QELV_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--autoplay-policy=no-user-gesture-required"],
  });
}

export async function openPage(browser, address, viewport = { width: 1280, height: 800 }) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const errors = [];
  page.on("pageerror", (e) => errors.push(e.message));
  page.errors = errors;
  await page.goto(address);
  return page;
}

export function checkAddress(base, query) {
  return `${base}/index.html?${new URLSearchParams(Object.entries(query).map(([k, v]) => [k, String(v)]))}`;
}

// What the check mode wrote, once the title says it is done.
export async function readCheck(page, element = "frame-sha256") {
  await page.waitForFunction(() => document.title === "done", { timeout: 60000 });
  return page.$eval(`#${element}`, (e) => e.textContent);
}
