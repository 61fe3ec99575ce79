// TapTally's page in Debian's firefox-esr over WebDriver BiDi. BiDi cannot set an event's
// time, so presses are paced from here with wide margins against the trigger of 85 ms.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import * as h from './harness.mjs';

const LIMIT = { timeout: 90000 };
const CLIENT = [300, 700];
let site, browser, shots;

before(async () => {
  site = await h.serveSite();
  browser = await h.launchFirefox();
  shots = h.tempFolder('firefox');
});

after(async () => {
  await browser?.close();
  await site?.close();
});

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function clickPair(page, button, gapMs) {
  await page.mouse.move(...CLIENT);
  await page.mouse.down({ button });
  await page.mouse.up({ button });
  await pause(gapMs);
  await page.mouse.down({ button });
  await page.mouse.up({ button });
}

test('the page draws TapTally and paced presses raise its boxes', LIMIT, async () => {
  const page = await h.openPage(browser, site.url);
  // Drawn: the caption's navy right of its title.
  const corner = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const pixel = canvas.getContext('2d').getImageData(300, 8, 1, 1).data;
    return [pixel[0], pixel[1], pixel[2]];
  });
  assert.deepEqual(corner, [0, 0, 128]);
  await pause(300); // the first press is timed from TapTally's start

  const rows = [
    // button, gap between presses, the error of the second press (null: none)
    ['left', 200, null],
    ['left', 40, 10],
    ['right', 200, null],
    ['right', 40, 30],
    ['middle', 200, null],
    ['middle', 40, 20],
  ];
  let count = 0;
  for (const [button, gap, error] of rows) {
    await clickPair(page, button, gap);
    await h.settled(page);
    if (error) {
      count++;
      const lines = await h.waitForBoxes(page, count);
      assert.match(lines.at(-1), new RegExp(`^ +\\d+\\.\\d{3} s  Error # ${error} Occurred! - `),
                   `${button}, ${gap} ms`);
      await page.keyboard.press('Enter');
      await page.keyboard.press('r');
    }
    await h.settled(page);
    assert.equal((await h.boxes(page)).length, count, `${button}, ${gap} ms`);
    await pause(300);
  }
  await page.screenshot({ path: path.join(shots, 'firefox.png') });
  assert.deepEqual(page.taptallyErrors, []);
  await page.close();
});

test('back and forward stay on the page and count for no button', LIMIT, async () => {
  const page = await browser.newPage();
  await page.goto(site.url + '?before');
  await page.goto(site.url);
  await page.waitForFunction(() => window.taptally && window.taptally.ready, { timeout: 20000 });
  await page.mouse.move(...CLIENT);
  for (const button of ['back', 'forward', 'back', 'forward']) {
    await page.mouse.down({ button });
    await page.mouse.up({ button });
    await pause(30);
  }
  await pause(500);
  // puppeteer's own idea of the address can go stale after a history move: ask the page.
  assert.equal(await page.evaluate(() => location.search), '');
  assert.equal(await page.evaluate(() => window.taptally.ready), true);
  assert.deepEqual(await h.boxes(page), []);
  await page.close();
});
