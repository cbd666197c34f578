// The web page's tests: node run.mjs BASE_URL SITE_DIR QELV_TOOL WORK_DIR
// Each test prints one line; any failure makes the exit status 1.
import { launch } from "./browser.mjs";

const [base, site, tool, work] = process.argv.slice(2);
const setup = { base, site, tool, work };
const suites = ["./check-mode.mjs", "./panel.mjs", "./analysis.mjs"];

let failed = 0;
async function test(name, body) {
  const started = Date.now();
  try {
    await body();
    console.log(`ok   ${name} (${Date.now() - started} ms)`);
  } catch (e) {
    failed += 1;
    console.log(`FAIL ${name}: ${e.message}`);
  }
}

const browser = await launch();
try {
  for (const suite of suites) await (await import(suite)).run(setup, browser, test);
} finally {
  await browser.close();
}
console.log(failed ? `${failed} web tests failed` : "all web tests passed");
process.exit(failed ? 1 : 0);
