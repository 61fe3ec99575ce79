// The web page's figures, printed as "name value" lines for tools/bench.py: the time to
// handle one mouse message in the page (median and 99th percentile, movement at 1000 Hz
// and presses), the time to draw the screen once, and the page's weight gzipped.
// Run after tools/web.sh --build:  node bench/web_bench.mjs [messages]
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import * as h from '../web/tests/harness.mjs';

const count = Number(process.argv[2] || 2000);

function percentile(values, share) {
  const sorted = values.slice().sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(share * (sorted.length - 1)))];
}

const site = await h.serveSite({ isolated: true });
const browser = await h.launchChromium();
try {
  const page = await h.openPage(browser, site.url);
  const isolated = await page.evaluate(() => window.crossOriginIsolated);
  await page.evaluate(() => { window.taptally.timings = { moves: [], buttons: [], draws: [] }; });
  const input = await h.exactInput(page);
  let t = (await input.now()) + 100;
  // Movement reported every millisecond, with a press and release every 250 ms between.
  for (let i = 0; i < count; i++) {
    await input.move(100 + (i % 800), 500 + (i % 300), t + i);
    if (i % 250 === 125) {
      await input.click(0, 100 + (i % 800), 500 + (i % 300), t + i, 0);
    }
    if (i % 500 === 0) {
      await h.settled(page);
      await input.key('Enter', t + i); // any box of a fast press
    }
  }
  await h.settled(page);
  const timings = await page.evaluate(() => window.taptally.timings);
  const us = (ms) => (ms * 1000).toFixed(1);
  console.log(`web_clock_isolated ${isolated ? 1 : 0}`);
  console.log(`web_move_messages ${timings.moves.length}`);
  console.log(`web_move_median_us ${us(percentile(timings.moves, 0.5))}`);
  console.log(`web_move_p99_us ${us(percentile(timings.moves, 0.99))}`);
  console.log(`web_button_messages ${timings.buttons.length}`);
  console.log(`web_button_median_us ${us(percentile(timings.buttons, 0.5))}`);
  console.log(`web_button_p99_us ${us(percentile(timings.buttons, 0.99))}`);
  console.log(`web_draw_median_us ${us(percentile(timings.draws, 0.5))}`);
  console.log(`web_draw_p99_us ${us(percentile(timings.draws, 0.99))}`);
  console.log(`web_screen_pixels ${await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    return `${canvas.clientWidth}x${canvas.clientHeight}`;
  })}`);
} finally {
  await browser.close();
  await site.close();
}

// The weight of the live page: every file it loads, gzipped as a web server would send it.
let raw = 0, gzipped = 0;
for (const name of ['index.html', 'page.js', 'style.css', 'taptally.js', 'taptally.wasm']) {
  const bytes = fs.readFileSync(path.join(h.siteDir, name));
  raw += bytes.length;
  gzipped += zlib.gzipSync(bytes, { level: 9 }).length;
}
console.log(`web_page_kb ${(raw / 1024).toFixed(0)}`);
console.log(`web_page_gzip_kb ${(gzipped / 1024).toFixed(0)}`);
