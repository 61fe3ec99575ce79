// Shared by the page's browser tests: a static server for the built site, browsers
// started from Debian's packages, and events with exact times through the DevTools protocol.
import http from 'node:http';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm', '.json': 'application/json',
  '.png': 'image/png', '.svg': 'image/svg+xml',
};

export const siteDir = process.env.TAPTALLY_SITE ||
  path.resolve(import.meta.dirname, '../../build/web/site');

// Serves the site on a free port of 127.0.0.1; resolves to { url, close }.
// With isolated set, the page is cross-origin isolated, so that its clock is fine enough to
// time one message (benchmarks).
export function serveSite({ isolated = false } = {}) {
  const isolation = isolated
    ? { 'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp' }
    : {};
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(siteDir, name.endsWith('/') ? name + 'index.html' : name);
    if (!file.startsWith(siteDir) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream', ...isolation,
    });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((done) => { server.closeAllConnections(); server.close(done); }),
  })));
}

export function tempFolder(name) {
  return fs.mkdtempSync(path.join(os.tmpdir(), `taptally-web-${name}-`));
}

export async function launchChromium() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--window-size=1400,1100'],
    defaultViewport: { width: 1400, height: 1100 },
  });
}

export async function launchFirefox() {
  return puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
    headless: true,
    defaultViewport: { width: 1400, height: 1100 },
  });
}

// Opens the page and waits until TapTally's screen shows.
export async function openPage(browser, url) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(url);
  await page.waitForFunction(() => window.taptally && window.taptally.ready, { timeout: 20000 });
  page.taptallyErrors = errors;
  return page;
}

// Events whose times the test sets: `at` is milliseconds from the page's start, so the
// page's tick of each event is exactly `at`.
export async function exactInput(page) {
  const cdp = await page.createCDPSession();
  const origin = await page.evaluate(() => performance.timeOrigin);
  const box = await page.evaluate(() => {
    const rect = document.getElementById('screen').getBoundingClientRect();
    return { left: rect.left, top: rect.top, width: rect.width, height: rect.height };
  });
  const names = ['left', 'middle', 'right', 'back', 'forward'];
  const bits = [1, 4, 2, 8, 16];
  let held = 0;
  const input = {
    box,
    // A time from now on, in whole milliseconds from the page's start.
    async now() {
      return Math.ceil(await page.evaluate(() => performance.now())) + 20;
    },
    async mouse(type, button, x, y, at) {
      const bit = button === null ? 0 : bits[button];
      if (type === 'mousePressed') held |= bit;
      if (type === 'mouseReleased') held &= ~bit;
      await cdp.send('Input.dispatchMouseEvent', {
        type, x, y, button: button === null ? 'none' : names[button],
        buttons: held, clickCount: 1, timestamp: (origin + at) / 1000,
      });
    },
    press(button, x, y, at) { return input.mouse('mousePressed', button, x, y, at); },
    release(button, x, y, at) { return input.mouse('mouseReleased', button, x, y, at); },
    move(x, y, at) { return input.mouse('mouseMoved', null, x, y, at); },
    // One step of the wheel over (x, y): deltaY 100 scrolls down.
    async wheel(x, y, deltaY, at) {
      await cdp.send('Input.dispatchMouseEvent', {
        type: 'mouseWheel', x, y, deltaX: 0, deltaY, buttons: held, timestamp: (origin + at) / 1000,
      });
    },
    // A key pressed and let go at `at`: a character ('r', '1') or a key name ('Enter').
    async key(name, at) {
      const named = { Enter: [13, '\r'], Escape: [27, ''], Backspace: [8, ''], Tab: [9, ''],
                      F1: [112, ''], F10: [121, ''] };
      const [code, text] = named[name] || [name.toUpperCase().charCodeAt(0), name];
      for (const type of ['keyDown', 'keyUp']) {
        await cdp.send('Input.dispatchKeyEvent', {
          type, key: name, text: type === 'keyDown' ? text : undefined,
          windowsVirtualKeyCode: code, timestamp: (origin + at) / 1000,
        });
      }
    },
    async click(button, x, y, at, holdMs = 20) {
      await input.press(button, x, y, at);
      await input.release(button, x, y, at + holdMs);
    },
  };
  return input;
}

export async function boxes(page) {
  return page.evaluate(() => window.taptally.boxes.slice());
}

// Waits until the page has listed `count` boxes, and gives them.
export async function waitForBoxes(page, count) {
  await page.waitForFunction((n) => window.taptally.boxes.length >= n, { timeout: 10000 }, count);
  return boxes(page);
}

// Waits until every event given to the page has been handled by TapTally.
export async function settled(page) {
  await page.waitForFunction(() => window.taptally.idle(), { timeout: 10000 });
}
