// TapTally's page in Debian's chromium: clicks with exact times raise the boxes the
// Windows program raises, and the page keeps the browser's own ways out of the test.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as h from './harness.mjs';

const LIMIT = { timeout: 60000 };
let site, browser, shots;

before(async () => {
  site = await h.serveSite();
  browser = await h.launchChromium();
  shots = h.tempFolder('chromium');
});

after(async () => {
  await browser?.close();
  await site?.close();
});

// Where things are on the page of 1400 x 1100: the canvas at the corner, TapTally's
// window filling it (frame 4, caption 19, menu bar 19), the side panel from x 1070 on
// (its list of boxes below its first lines).
const CLIENT = [300, 700];
const SIDE = [1200, 1080];
const BOXES = [1200, 110]; // the list of boxes
const ENTRY = { driverInfo: [90, 32], setup: [215, 32], about: [360, 32] };

const TEXTS = {
  10: "The Left Button 'Least' value was too small. Click 'OK' and press 'R' for RESET",
  11: 'The Left Button or Driver sent a Button UP before Button DOWN.',
  12: 'The Left Button or Driver sent a Button DOWN before Button UP.',
  20: "The Middle Button 'Least' value was too small. Click 'OK' and press 'R' for RESET",
  21: 'The Middle Button or Driver sent a Button UP before Button DOWN.',
  22: 'The Middle Button or Driver sent a Button DOWN before Button UP.',
  30: "The Right Button 'Least' value was too small. Click 'OK' and press 'R' for RESET",
  31: 'The Right Button or Driver sent a Button UP before Button DOWN.',
  32: 'The Right Button or Driver sent a Button DOWN before Button UP.',
};

// The line of #boxes for an error box raised at `ms` from the page's start.
function errorLine(ms, code) {
  const seconds = `${Math.trunc(ms / 1000)}.${String(ms % 1000).padStart(3, '0')}`;
  return `${' '.repeat(10 - seconds.length)}${seconds} s  Error # ${code} Occurred! - ` +
    `${TEXTS[code]} Please see INFORMATION for details.`;
}

async function fresh() {
  const page = await h.openPage(browser, site.url);
  return { page, input: await h.exactInput(page) };
}

test('clicks with exact intervals raise the errors of each button', LIMIT, async () => {
  const { page, input } = await fresh();
  // Each row: the button, what it does from time 0, the error it raises and when.
  const rows = [
    [0, 'two presses 85 ms apart', [['press', 0], ['release', 20], ['press', 85], ['release', 105]], null],
    [0, 'two presses 84 ms apart', [['press', 0], ['release', 20], ['press', 84], ['release', 104]], [10, 84]],
    [1, 'two presses 84 ms apart', [['press', 0], ['release', 20], ['press', 84], ['release', 104]], [20, 84]],
    [2, 'two presses 84 ms apart', [['press', 0], ['release', 20], ['press', 84], ['release', 104]], [30, 84]],
    [0, 'a release after a press beside the canvas', [['side press', 0], ['release', 200]], [11, 200]],
    [1, 'a release after a press beside the canvas', [['side press', 0], ['release', 200]], [21, 200]],
    [2, 'a release after a press beside the canvas', [['side press', 0], ['release', 200]], [31, 200]],
    [0, 'a press and release on the list of boxes, to copy it', [['boxes press', 0], ['boxes release', 100]], null],
    [0, 'a release beside the canvas, then a press', [['press', 0], ['side release', 100], ['press', 400], ['release', 450]], null],
    [0, 'a second press before a release', [['press', 0], ['press', 300], ['release', 400]], [12, 300]],
    [1, 'a second press before a release', [['press', 0], ['press', 300], ['release', 400]], [22, 300]],
    [2, 'a second press before a release', [['press', 0], ['press', 300], ['release', 400]], [32, 300]],
  ];
  const expected = [];
  let t = await input.now();
  for (const [button, name, steps, error] of rows) {
    for (const [what, at] of steps) {
      if (what.startsWith('side ')) {
        await input[what.slice(5)](button, ...SIDE, t + at);
      } else if (what.startsWith('boxes ')) {
        await input[what.slice(6)](button, ...BOXES, t + at);
      } else {
        await input[what](button, ...CLIENT, t + at);
      }
    }
    await h.settled(page);
    if (error) {
      expected.push(errorLine(t + error[1], error[0]));
      // The box is answered with Enter, and R resets the values.
      await input.key('Enter', t + 1000);
      await input.key('r', t + 1100);
    }
    await h.settled(page);
    assert.deepEqual(await h.boxes(page), expected, `${name}, button ${button}`);
    t += 2000;
  }
  await page.screenshot({ path: path.join(shots, 'errors.png') });
  assert.deepEqual(page.taptallyErrors, []);
  await page.close();
});

test('the trigger typed into Setup decides, and R forgets a held button', LIMIT, async () => {
  const { page, input } = await fresh();
  let t = await input.now();
  // Setup from the menu bar: the value 85 goes, 120 is typed, Enter takes it.
  await input.click(0, ...ENTRY.setup, t);
  for (const [i, key] of ['Backspace', 'Backspace', '1', '2', '0', 'Enter'].entries()) {
    await input.key(key, t + 100 + 10 * i);
  }
  await h.settled(page);
  t += 1000;
  const table = [
    // interval, error raised
    [120, null],
    [119, [10, 119]],
  ];
  const expected = [];
  for (const [interval, error] of table) {
    await input.click(0, ...CLIENT, t);
    await input.click(0, ...CLIENT, t + interval);
    await h.settled(page);
    if (error) {
      expected.push(errorLine(t + error[1], error[0]));
      await input.key('Enter', t + 500);
    }
    t += 1000;
  }
  const lines = await h.boxes(page);
  assert.match(lines[0], /^ +\d+\.\d{3} s {2}box "Change the 'Least' Trigger Value": $/);
  assert.deepEqual(lines.slice(1), expected);

  // A press without its release, then R: the next press is no second press of a held button.
  await input.press(0, ...CLIENT, t);
  await input.key('R', t + 300);
  await input.click(0, ...CLIENT, t + 600);
  // Without R it is.
  await input.press(0, ...CLIENT, t + 2000);
  await input.click(0, ...CLIENT, t + 2600);
  await h.settled(page);
  assert.deepEqual((await h.boxes(page)).slice(2), [errorLine(t + 2600, 12)]);
  await page.close();
});

test('menus, boxes and keys work as in the program', LIMIT, async () => {
  const { page, input } = await fresh();
  let t = await input.now();
  // Driver Info from the menu bar; its box is answered by a click on its button.
  await input.click(0, ...ENTRY.driverInfo, t);
  await h.settled(page);
  let lines = await h.boxes(page);
  assert.equal(lines.length, 1);
  assert.match(lines[0], /^ +\d+\.\d{3} s {2}box "Mouse Driver Info": Mouse Driver Information Program /);
  await input.key('Enter', t + 200);

  // The About entry opens a popup; its last entry opens the About box.
  await input.click(0, ...ENTRY.about, t + 400);
  const entries = await page.$$eval('#menu button', (buttons) =>
    buttons.map((button) => button.textContent));
  assert.deepEqual(entries, ['Install Shortcut Icons', 'UnInstall Shortcut Icons', 'About TapTally']);
  await page.click('#menu button:last-of-type');
  await h.settled(page);
  lines = await h.boxes(page);
  assert.match(lines[1], /^ +\d+\.\d{3} s {2}box "About TapTally/);
  t = await input.now();
  await input.key('Enter', t);

  // F10 lists every command of the menu; Reset, with its notice, is among them.
  await input.key('F10', t + 50);
  const listed = await page.$$eval('#menu button', (buttons) =>
    buttons.map((button) => button.firstChild.textContent));
  assert.deepEqual(listed, ['Exit', 'Driver Info', 'Reset', 'Setup', 'Information',
                            'Install Shortcut Icons', 'UnInstall Shortcut Icons', 'About TapTally']);
  await input.key('Escape', t + 60);
  assert.equal(await page.$eval('#menu', (element) => element.hidden), true);

  // Keys: F1 opens the information pages, Esc closes them; A the About box.
  await input.key('F1', t + 100);
  await input.key('Escape', t + 200);
  await input.key('a', t + 300);
  await input.key('Enter', t + 400);
  await h.settled(page);
  lines = await h.boxes(page);
  assert.equal(lines.length, 4);
  assert.match(lines[2], /box "Information and Details"/);
  assert.match(lines[3], /box "About TapTally/);

  // The information pages, paged by clicks on the dialog's buttons: its client area
  // starts 60, 40 from the window's client area at 4, 42; Return at 346, Forward at 456
  // (each 80 x 24, at 438).
  const pageShown = async () => {
    await h.settled(page);
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
    return page.evaluate(() => {
      const data = document.getElementById('screen').getContext('2d')
        .getImageData(64, 82, 644, 340).data;
      let sum = 0;
      for (let i = 0; i < data.length; i++) sum = (sum * 31 + data[i]) % 1000000007;
      return sum;
    });
  };
  await input.key('i', t + 500);
  const first = await pageShown();
  await input.click(0, 496, 450, t + 600);
  const second = await pageShown();
  assert.notEqual(second, first);
  await input.click(0, 60 + 4 + 85 * 2 + 40, 450, t + 700); // Back
  assert.equal(await pageShown(), first);
  await input.click(0, 386, 450, t + 800); // Return
  await h.settled(page);
  assert.equal(await page.evaluate(() => window.taptally.boxOpen()), false);
  assert.equal((await h.boxes(page)).length, 5);

  // Error box answered by a click on its OK button (the box of error 10 is 452 x 174,
  // in the middle of the screen of 1070 x 1119).
  t += 1000;
  await input.click(0, ...CLIENT, t);
  await input.click(0, ...CLIENT, t + 50);
  await h.settled(page);
  assert.equal((await h.boxes(page)).length, 6);
  await input.click(0, 309 + 3 + 223, 472 + 22 + 127, t + 500);
  await h.settled(page);
  assert.equal(await page.evaluate(() => window.taptally.boxOpen()), false);
  await page.close();
});

test('the shortcut commands say why they cannot work here', LIMIT, async () => {
  const { page, input } = await fresh();
  const t = await input.now();
  await input.click(0, ...ENTRY.about, t);
  await page.click('#menu button:first-of-type');
  await h.settled(page);
  // TapTally asks first; Yes is its default button.
  await input.key('Enter', (await input.now()));
  await h.settled(page);
  const notice = await page.$eval('#notice', (element) => [element.hidden, element.textContent]);
  assert.equal(notice[0], false);
  assert.match(notice[1], /A web page cannot start programs or make shortcuts/);
  await page.close();
});

test('back and forward stay on the page; no context menu, no scrolling', LIMIT, async () => {
  const page = await browser.newPage();
  await page.goto(site.url + '?before');
  await page.goto(site.url);
  await page.waitForFunction(() => window.taptally && window.taptally.ready, { timeout: 20000 });
  const input = await h.exactInput(page);
  await page.evaluate(() => {
    window.seen = [];
    for (const type of ['contextmenu', 'wheel', 'mousedown']) {
      document.addEventListener(type, (event) => window.seen.push([type, event.defaultPrevented]));
    }
  });
  const t = await input.now();
  await input.click(3, ...CLIENT, t);
  await input.click(4, ...CLIENT, t + 100);
  await input.click(3, ...SIDE, t + 200);
  await input.click(2, ...CLIENT, t + 300);
  await input.click(1, ...CLIENT, t + 400);
  await page.mouse.move(...CLIENT);
  await page.mouse.wheel({ deltaY: 120 });
  await new Promise((resolve) => setTimeout(resolve, 500));
  assert.equal(await page.evaluate(() => location.search), '');
  assert.equal(await page.evaluate(() => window.taptally.ready), true);
  const seen = await page.evaluate(() => window.seen);
  assert.deepEqual(seen.filter(([type]) => type !== 'mousedown'),
                   [['contextmenu', true], ['wheel', true]]);
  // The middle press over the canvas starts no autoscroll.
  assert.deepEqual(seen.filter(([type]) => type === 'mousedown').at(-1), ['mousedown', true]);
  await page.close();
});

test('Exit ends TapTally and the page starts it again, offline', LIMIT, async () => {
  // A server of this test's own, gone once the page has loaded.
  const own = await h.serveSite();
  const page = await h.openPage(browser, own.url);
  const input = await h.exactInput(page);
  await own.close();
  await input.key('x', await input.now());
  await page.waitForFunction(() => window.taptally.ended, { timeout: 10000 });
  assert.equal(await page.$eval('#ended', (element) => element.hidden), false);
  await page.click('#restart');
  await page.waitForFunction(() => window.taptally.ready && !window.taptally.ended,
                             { timeout: 20000 });
  const again = await h.exactInput(page);
  // The new run times its first press from its own start.
  const t = (await again.now()) + 200;
  await again.click(0, ...CLIENT, t);
  await again.click(0, ...CLIENT, t + 30);
  assert.deepEqual(await h.waitForBoxes(page, 1), [errorLine(t + 30, 10)]);
  await page.screenshot({ path: path.join(shots, 'web.png') });
  assert.ok(fs.statSync(path.join(shots, 'web.png')).size > 10000);
  await page.close();
});

test('the replay\'s findings come from the same events as they happen', LIMIT, async () => {
  const { page, input } = await fresh();
  const t = (await input.now()) + 200;
  // Each row: what the mouse does from time 0, the finding it makes, at what time.
  const rows = [
    [[['press', 0, 0], ['release', 0, 50], ['press', 0, 62], ['release', 0, 120]],
     [62, 'Left button pressed again 12 ms after it was let go: faster than a finger, its ' +
          'switch bounces when released.']],
    [[['press', 2, 0], ['release', 2, 7]],
     [7, 'Right button let go 7 ms after it was pressed: faster than a finger, a held drag ' +
         'would drop.']],
    [[['press', 3, 0], ['release', 3, 30], ['press', 3, 84], ['release', 3, 120]],
     [84, 'Side button pressed 84 ms after the press before, below TapTally\'s trigger of 85 ms.']],
    [[['press', 4, 0], ['release', 4, 30], ['press', 4, 85], ['release', 4, 120]], null],
    [[['wheel', 100, 0], ['wheel', -100, 40], ['wheel', 100, 80]],
     [40, 'Wheel stepped back against the scroll for one step: its encoder is worn or dirty.']],
    [[['wheel', 100, 0], ['wheel', -100, 250], ['wheel', 100, 500]], null],
  ];
  const expected = [];
  let at = t;
  for (const [steps, found] of rows) {
    for (const [what, value, ms] of steps) {
      if (what === 'wheel') {
        await input.wheel(...CLIENT, value, at + ms);
      } else {
        await input[what](value, ...CLIENT, at + ms);
      }
    }
    await h.settled(page);
    if (found) {
      const seconds = `${Math.trunc((at + found[0]) / 1000)}.${String((at + found[0]) % 1000).padStart(3, '0')}`;
      expected.push(`${seconds.padStart(10)} s  ${found[1]}`);
    }
    // TapTally's own boxes (the left press 62 ms after the one before) are answered.
    await input.key('Enter', at + 700);
    await input.key('r', at + 800);
    at += 2000;
    assert.deepEqual(await page.evaluate(() => window.taptally.findingLines), expected);
  }
  // Movement reported every millisecond: 1000 Hz.
  for (let i = 0; i < 60; i++) {
    await input.move(200 + i, 600, at + i);
  }
  await h.settled(page);
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
  const figures = await page.evaluate(() => window.taptally.findings);
  assert.equal(figures.rateHz, 1000);
  assert.deepEqual(figures.buttons.map((button) => button.presses), [2, 0, 1, 2, 2]);
  assert.equal(figures.wheelReversals, 1);
  await page.click('#verdict-now');
  const verdict = await page.$eval('#live-verdict', (element) => element.textContent);
  assert.match(verdict, /^TapTally live test of this page\n/);
  assert.match(verdict, /Error # 10 Occurred!/);
  await page.close();
});

test('the screen is sharp at a device pixel ratio of 2 and follows the window', LIMIT, async () => {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800, deviceScaleFactor: 2 });
  await page.goto(site.url);
  await page.waitForFunction(() => window.taptally && window.taptally.ready, { timeout: 20000 });
  // Every screen pixel is a 2 x 2 square of one colour: no smoothing between pixels.
  const look = () => page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const data = canvas.getContext('2d').getImageData(0, 0, 400, 60).data;
    let blended = 0;
    for (let y = 0; y < 60; y += 2) {
      for (let x = 0; x < 400; x += 2) {
        const at = (yy, xx) => ((y + yy) * 400 + x + xx) * 4;
        for (const [yy, xx] of [[0, 1], [1, 0], [1, 1]]) {
          for (let c = 0; c < 3; c++) {
            blended += data[at(yy, xx) + c] !== data[at(0, 0) + c] ? 1 : 0;
          }
        }
      }
    }
    const right = canvas.getContext('2d').getImageData(canvas.width - 20, 16, 1, 1).data;
    return { width: canvas.width, cssWidth: canvas.clientWidth, blended,
             captionRight: [right[0], right[1], right[2]] };
  });
  assert.deepEqual(await look(), { width: 1340, cssWidth: 670, blended: 0,
                                   captionRight: [0, 0, 128] });
  // A wider window: TapTally's window is as wide as the canvas again, its caption too.
  await page.setViewport({ width: 1200, height: 900, deviceScaleFactor: 2 });
  await page.waitForFunction(() => document.getElementById('screen').clientWidth === 870,
                             { timeout: 10000 });
  await h.settled(page);
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
  assert.deepEqual(await look(), { width: 1740, cssWidth: 870, blended: 0,
                                   captionRight: [0, 0, 128] });
  await page.close();
});

test('a long session keeps a bounded record of drawing, and beeps at every press', LIMIT, async () => {
  const { page, input } = await fresh();
  const t = (await input.now()) + 200;
  // Some ten drawing calls a movement message: 600 of them pass the 4096 kept.
  for (let i = 0; i < 600; i++) {
    await input.move(300 + (i % 200) * 3, 600 + (i % 50), t + i);
  }
  await h.settled(page);
  const kept = await page.evaluate(() => window.taptally.recordsKept());
  assert.ok(kept < 4096, `${kept} drawing calls kept`);
  await input.click(0, ...CLIENT, t + 1000);
  await input.click(0, ...CLIENT, t + 1050);
  await input.click(1, ...CLIENT, t + 1300);
  assert.deepEqual(await h.waitForBoxes(page, 1), [errorLine(t + 1050, 10)]);
  await input.key('Enter', t + 1500);
  await input.click(0, ...CLIENT, t + 1700);
  await h.settled(page);
  // The press that raised the box beeped; the middle one was lost under the box.
  assert.equal(await page.evaluate(() => window.taptally.beeps), 3);
  await page.close();
});
