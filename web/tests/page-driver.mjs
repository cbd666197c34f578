// What the tests do inside the player page.

// Feeds a sample stream's blocks to the player's engine, 50 a second as they would come,
// looping, in place of a sound source.
export async function playBlocks(page, url) {
  await page.evaluate(async (url) => {
    const blocks = new Uint8Array(await (await fetch(url)).arrayBuffer());
    const player = window.qelvPlayer, started = performance.now(), size = 2304, count = blocks.length / size;
    let fed = 0;
    player.stopSource();
    player.source = {
      time: undefined,
      feed() {
        const due = Math.floor(((performance.now() - started) / 1000) * 50);
        for (; fed < due; ++fed) player.engine.feedBlocks(blocks.subarray((fed % count) * size, (fed % count + 1) * size));
      },
      stop() {},
    };
  }, url);
}
