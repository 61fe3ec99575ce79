#!/usr/bin/env node
// The verdict of a dropped recording, in Debian's chromium: every recording the replay's
// native tests write, dropped on the page, gives what taptally-replay prints for it (text,
// JSON and timeline, or its one line on bad input), byte for byte; the end screen is the
// native tool's PNG pixel for pixel; a large file streams in flat memory; Cancel stops a
// replay. Firefox gives the same text.
//
//   node web/verdict/tests/verdict_test.mjs [SITE] [NATIVE_BUILD]
//
// SITE holds verdict/ (default build/web/site, else build/web-verdict/site); NATIVE_BUILD
// holds replay/taptally-replay and tests/replay/taptally_replay_tests (default build/native).
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import {
  PAGE_ROOT, choose, dropFile, openPage, readVerdict, runNative, serveSite, writeRecording,
} from './page_driver.mjs';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const DEFAULT_SITE = fs.existsSync(path.join(ROOT, 'build/web/site/verdict/verdict.js'))
  ? 'build/web/site' : 'build/web-verdict/site';
const SITE = path.resolve(ROOT, process.argv[2] || DEFAULT_SITE);
const NATIVE = path.resolve(ROOT, process.argv[3] || 'build/native');
const TOOL = path.join(NATIVE, 'replay/taptally-replay');
// Whole-file comparisons of the PNG cost a native run each: the first few suffice.
const PICTURES_COMPARED = 4;
// The worker's memory after the large file may exceed that after a small one by this much.
const MEMORY_SLACK = 4 << 20;

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'taptally_verdict_'));
const limit = setTimeout(() => {
  console.error('FAIL: the verdict tests took longer than 8 minutes');
  fs.rmSync(folder, { recursive: true, force: true });
  process.exit(1);
}, 8 * 60 * 1000);

const failures = [];
function check(what, actual, expected) {
  if (actual === expected) {
    return true;
  }
  const a = String(actual).split('\n');
  const e = String(expected).split('\n');
  let line = 0;
  while (line < a.length && a[line] === e[line]) {
    line += 1;
  }
  failures.push(`${what}: line ${line + 1} is ${JSON.stringify(a[line])}, ` +
    `expected ${JSON.stringify(e[line])}`);
  return false;
}

// The recordings of the replay's native tests, each in a file of its own.
function corpus() {
  const kept = path.join(folder, 'corpus');
  fs.mkdirSync(kept);
  const run = spawnSync(path.join(NATIVE, 'tests/replay/taptally_replay_tests'), [], {
    env: { ...process.env, TAPTALLY_KEEP_RECORDINGS: kept }, encoding: 'utf8', timeout: 120000,
  });
  if (run.status !== 0) {
    throw new Error(`the replay tests did not pass:\n${run.stdout}${run.stderr}`);
  }
  return fs.readdirSync(kept).sort().map((name) => path.join(kept, name));
}

// The page's verdict against the tool's, for one file.
async function compare(page, file, pictures) {
  const name = path.basename(file);
  const svg = `${file}.native.svg`;
  const png = `${file}.native.png`;
  const options = ['--timeline', svg, ...(pictures ? ['--png', png] : [])];
  const text = runNative(TOOL, file, options);
  const got = await dropFile(page, file);
  if (text.status === 2) {
    check(`${name}: state`, got.state, 'failed');
    check(`${name}: message`, got.text, text.err);
    return got;
  }
  check(`${name}: state`, got.state, 'done');
  check(`${name}: text`, got.text, text.out);
  check(`${name}: JSON`, got.json, runNative(TOOL, file, ['--json']).out);
  check(`${name}: timeline`, got.svg, fs.readFileSync(svg, 'utf8'));
  if (pictures) {
    const native = fs.readFileSync(png).toString('base64');
    const same = await page.evaluate(async (nativeBase64) => {
      const pixels = async (blob) => {
        const bitmap = await createImageBitmap(blob);
        const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
        const context = canvas.getContext('2d');
        context.drawImage(bitmap, 0, 0);
        return context.getImageData(0, 0, bitmap.width, bitmap.height);
      };
      const bytes = Uint8Array.from(atob(nativeBase64), (c) => c.charCodeAt(0));
      const want = await pixels(new Blob([bytes], { type: 'image/png' }));
      const link = document.getElementById('verdict-png');
      const have = await pixels(await (await fetch(link.href)).blob());
      let differ = 0;
      for (let i = 0; i < want.data.length; i += 1) {
        differ += want.data[i] !== have.data[i] ? 1 : 0;
      }
      return `${have.width}x${have.height}, ${differ} bytes differ` +
        ` (expected ${want.width}x${want.height})`;
    }, native);
    check(`${name}: end screen`, same.replace(/ \(expected .*\)$/, ''),
      same.replace(/^.*\(expected (.*)\)$/, '$1, 0 bytes differ'));
  }
  return got;
}

// Firefox: a recording of each format gives the tool's text.
async function inFirefox(url) {
  const { browser, page } = await openPage(url, null, true);
  try {
    for (const [format, name] of [['yaml', 'firefox.yml'], ['evemu', 'firefox.evemu'],
      ['raw', 'firefox.raw']]) {
      const file = path.join(folder, name);
      writeRecording(file, format, 200000);
      check(`firefox: ${name}`, (await dropFile(page, file)).text, runNative(TOOL, file).out);
    }
  } finally {
    await browser.close();
  }
}

async function main() {
  const files = corpus();
  const { server, url } = await serveSite(SITE);
  const { browser, page } = await openPage(url, path.join(folder, 'profile'));
  try {
    let pictures = 0;
    for (const file of files) {
      const got = await compare(page, file, pictures < PICTURES_COMPARED);
      pictures += got.state === 'done' ? 1 : 0;
    }
    console.log(`${files.length} recordings of the replay tests dropped on the page`);

    // Bad input and a file cut off: the tool's own message, and the cut told in the text.
    const bad = path.join(folder, 'bad.bin');
    fs.writeFileSync(bad, 'this is not a recording\n\u0001\u0002');
    const refused = await dropFile(page, bad);
    check('bad file', refused.text, 'taptally-replay: bad.bin:1: this is no libinput record ' +
      'file (YAML), no evemu-record file and no stream of the kernel\'s event records\n');
    await compare(page, bad, false);
    const whole = path.join(folder, 'whole.raw');
    writeRecording(whole, 'raw', 24 * 2000);
    const cut = path.join(folder, 'cut.raw');
    fs.writeFileSync(cut, fs.readFileSync(whole).subarray(0, 24 * 1000 + 10));
    const cutVerdict = await compare(page, cut, false);
    check('cut file tells of its cut', cutVerdict.text.split('\n')[4], 'Note:     the recording ' +
      'was cut off in the middle of a frame: its last 1 event(s) were not replayed');

    // A file dropped rather than chosen.
    await page.evaluate((selector, text) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([text], 'dropped.evemu'));
      const at = document.querySelector(selector);
      at.dataset.state = 'asked';
      at.dispatchEvent(
        new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, PAGE_ROOT, fs.readFileSync(files.find((f) => /evemu$/.test(f)), 'utf8'));
    const droppedVerdict = await readVerdict(page);
    const droppedFile = path.join(folder, 'dropped.evemu');
    fs.copyFileSync(files.find((f) => /evemu$/.test(f)), droppedFile);
    check('dropped file', droppedVerdict.text, runNative(TOOL, droppedFile).out);

    // Memory: a large file takes no more than a small one.
    const small = path.join(folder, 'small.evemu');
    writeRecording(small, 'evemu', 2 << 20);
    const smallVerdict = await compare(page, small, false);
    const large = path.join(folder, 'large.evemu');
    writeRecording(large, 'evemu', 48 << 20);
    const largeVerdict = await dropFile(page, large, 300000);
    check('large file', largeVerdict.state, 'done');
    check('large file: events read', largeVerdict.events > 20 * smallVerdict.events, true);
    const growth = largeVerdict.memory - smallVerdict.memory;
    console.log(`worker memory: ${smallVerdict.memory >> 20} MB after 2 MB, ` +
      `${largeVerdict.memory >> 20} MB after 48 MB`);
    check(`worker memory grew by ${growth} bytes`, growth <= MEMORY_SLACK, true);

    // Cancel: the replay stops, nothing is shown, and the next file is replayed.
    await choose(page, large);
    await page.waitForFunction((selector) => document.querySelector(selector).dataset.state ===
      'reading' && document.getElementById('verdict-progress').value > 0,
      { timeout: 60000, polling: 20 }, PAGE_ROOT);
    await page.click('#verdict-cancel');
    const atCancel = await page.$eval('#verdict-progress', (e) => e.value);
    // A worker that went on would move the bar on within this time.
    await new Promise((resolve) => setTimeout(resolve, 2000));
    const cancelled = await page.evaluate((selector) => ({
      state: document.querySelector(selector).dataset.state,
      text: document.getElementById('verdict').textContent,
      progress: document.getElementById('verdict-progress').value,
    }), PAGE_ROOT);
    check('cancelled: state', cancelled.state, 'cancelled');
    check('cancelled: verdict', cancelled.text, '');
    check('cancelled: reading stopped', cancelled.progress, atCancel);
    await compare(page, files[0], false);
  } finally {
    await browser.close();
  }
  try {
    await inFirefox(url);
  } finally {
    server.close();
  }
}

main().catch((error) => {
  failures.push(error.stack || String(error));
}).finally(() => {
  clearTimeout(limit);
  fs.rmSync(folder, { recursive: true, force: true });
  for (const failure of failures) {
    console.error(`FAIL: ${failure}`);
  }
  console.log(failures.length === 0 ? 'verdict tests passed' : `${failures.length} failed`);
  process.exit(failures.length === 0 ? 0 : 1);
});
