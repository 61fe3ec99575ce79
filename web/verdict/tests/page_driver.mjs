// What the verdict's tests and benchmark share: the site served on a free port, the page
// in Debian's chromium, a file dropped on it and its verdict read back, recordings of any
// size written in the three formats, and the command line tool run on the same file.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

// The verdict's part of the page on a page of its own.
const HARNESS = `<!doctype html><meta charset="utf-8"><title>Verdict</title>
<div id="verdict-root"></div>
<script type="module">
import { startVerdictUI } from './verdict/verdict.js';
startVerdictUI(document.getElementById('verdict-root'));
</script>`;

// The page of the site when it has one (the verdict's part in its section "recording"),
// else the verdict's part alone.
export const PAGE_ROOT = '#recording, #verdict-root';

export function serveSite(site) {
  const server = http.createServer((request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (wanted === '/verdict-harness.html') {
      response.writeHead(200, { 'Content-Type': 'text/html' });
      response.end(HARNESS);
      return;
    }
    const file = path.join(site, path.normalize(wanted));
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      const page = fs.existsSync(path.join(site, 'index.html')) ? 'index.html' : 'verdict-harness.html';
      resolve({ server, url: `http://127.0.0.1:${server.address().port}/${page}` });
    });
  });
}

// Debian's chromium, or with firefox true Debian's firefox-esr (over WebDriver BiDi).
export async function openPage(url, profile, firefox = false) {
  const browser = await puppeteer.launch(firefox
    ? { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true }
    : {
      executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
      headless: true,
      userDataDir: profile,
      args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
    });
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForFunction((root) => document.querySelector(root)?.dataset.state === 'idle',
    { timeout: 60000 }, PAGE_ROOT);
  return { browser, page };
}

// Chooses the file in the page's file input and waits for its verdict: the state
// ("done", "failed"), the text of #verdict, the downloads' contents and the worker's figures.
// Chooses the file in the page's file input and waits for its verdict: the state
// ("done", "failed"), the text of #verdict, the downloads' contents and the worker's figures.
export async function dropFile(page, file, timeoutMs = 60000) {
  await choose(page, file);
  return readVerdict(page, timeoutMs);
}

// Chooses the file, the input emptied first so that the same file again is a change too.
export async function choose(page, file) {
  await page.evaluate((selector) => {
    const at = document.querySelector(selector);
    at.dataset.state = 'asked';
    at.querySelector('input[type="file"]').value = '';
  }, PAGE_ROOT);
  const input = await page.$(`:is(${PAGE_ROOT}) input[type="file"]`);
  await input.uploadFile(file);
}

export async function readVerdict(page, timeoutMs = 60000) {
  await page.waitForFunction(
    (selector) => ['done', 'failed'].includes(document.querySelector(selector).dataset.state),
    { timeout: timeoutMs, polling: 50 }, PAGE_ROOT);
  return page.evaluate(async (selector) => {
    const at = document.querySelector(selector);
    const download = async (id) => {
      const link = document.getElementById(id);
      return link.hidden || !link.href ? null : (await fetch(link.href)).text();
    };
    return {
      state: at.dataset.state,
      text: document.getElementById('verdict').textContent,
      json: await download('verdict-json'),
      svg: await download('verdict-svg'),
      events: Number(at.dataset.events),
      seconds: Number(at.dataset.seconds),
      memory: Number(at.dataset.memory),
    };
  }, PAGE_ROOT);
}

// The command line tool on the file, named as the page names it: by its name alone.
export function runNative(tool, file, options = []) {
  const started = process.hrtime.bigint();
  const run = spawnSync(tool, [...options, path.basename(file)], {
    cwd: path.dirname(file), encoding: 'utf8', timeout: 300000, maxBuffer: 64 << 20,
  });
  const seconds = Number(process.hrtime.bigint() - started) / 1e9;
  if (run.error) {
    throw run.error;
  }
  return { status: run.status, out: run.stdout, err: run.stderr, seconds };
}

// A healthy mouse moved for as long as it takes to fill about `bytes` of the format:
// motion frames 1 ms apart, a left click every 150 ms held for 90 ms.
export function writeRecording(file, format, bytes) {
  const fd = fs.openSync(file, 'w');
  let written = 0;
  let chunk = [];
  const flush = () => {
    const buffer = format === 'raw' ? Buffer.concat(chunk) : Buffer.from(chunk.join(''));
    fs.writeSync(fd, buffer);
    written += buffer.length;
    chunk = [];
  };
  if (format === 'yaml') {
    chunk.push('# libinput record\nversion: 1\nndevices: 1\nlibinput:\n  version: "1.23.0"\n' +
      'system:\n  kernel: "6.1.0"\ndevices:\n- node: /dev/input/event5\n  evdev:\n' +
      '    name: "Example Optical Mouse"\n    id: [3, 4660, 22136, 1]\n    codes:\n' +
      '      0: [0]\n      1: [272, 273, 274]\n      2: [0, 1, 8]\n      4: [4]\n' +
      '  events:\n');
  }
  const event = (ms, type, code, value) => {
    const sec = Math.floor(ms / 1000);
    const usec = (ms % 1000) * 1000;
    if (format === 'raw') {
      const record = Buffer.alloc(24);
      record.writeBigInt64LE(BigInt(sec), 0);
      record.writeBigInt64LE(BigInt(usec), 8);
      record.writeUInt16LE(type, 16);
      record.writeUInt16LE(code, 18);
      record.writeInt32LE(value, 20);
      chunk.push(record);
    } else if (format === 'yaml') {
      chunk.push(`    - [${sec}, ${usec}, ${type}, ${code}, ${value}]\n`);
    } else {
      const hex = (n) => n.toString(16).padStart(4, '0');
      const text = value < 0 ? '-' + String(-value).padStart(3, '0') : String(value).padStart(4, '0');
      chunk.push(`E: ${sec}.${String(usec).padStart(6, '0')} ${hex(type)} ${hex(code)} ${text}\n`);
    }
  };
  const frame = (ms, events) => {
    if (format === 'yaml') {
      chunk.push('  - evdev:\n');
    }
    for (const [type, code, value] of events) {
      event(ms, type, code, value);
    }
    event(ms, 0, 0, 0);
  };
  for (let ms = 0; written < bytes; ms += 1) {
    const phase = ms % 150;
    if (phase === 0 || phase === 90) {
      frame(ms, [[4, 4, 589825], [1, 272, phase === 0 ? 1 : 0]]);
    } else {
      frame(ms, [[2, 0, ms % 2 === 0 ? 3 : -2], [2, 1, ms % 3 === 0 ? 1 : -1]]);
    }
    if (chunk.length >= 4096) {
      flush();
    }
  }
  flush();
  fs.closeSync(fd);
}
