#!/usr/bin/env node
// Speed of the verdict of a dropped recording: events replayed per second in the page's
// worker against taptally-replay on the same file, for each format, and the worker's
// memory after a 2 MB and a 200 MB recording. Prints figures; judges nothing.
//
//   node bench/verdict_bench.mjs [SITE] [TOOL] [LARGE_MB]
//
// SITE holds verdict/ (default build/web/site, else build/web-verdict/site); TOOL is the
// native tool to compare with (default build/replay/taptally-replay, an optimised build,
// else build/native/replay/taptally-replay).
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import {
  dropFile, openPage, runNative, serveSite, writeRecording,
} from '../web/verdict/tests/page_driver.mjs';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const first = (...candidates) => candidates.find((c) => fs.existsSync(path.resolve(ROOT, c)));
const SITE = path.resolve(ROOT, process.argv[2] ||
  first('build/web/site/verdict/verdict.js', 'build/web-verdict/site/verdict/verdict.js')
    .replace(/\/verdict\/verdict\.js$/, ''));
const TOOL = path.resolve(ROOT, process.argv[3] ||
  first('build/replay/replay/taptally-replay', 'build/replay/taptally-replay',
    'build/native/replay/taptally-replay'));
const LARGE_MB = Number(process.argv[4] || 200);
const FORMATS = [['evemu', 'evemu'], ['yaml', 'yml'], ['raw', 'raw']];

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'taptally_verdict_bench_'));
  const { server, url } = await serveSite(SITE);
  const { browser, page } = await openPage(url, path.join(folder, 'profile'));
  try {
    console.log(`native tool: ${path.relative(ROOT, TOOL)}`);
    console.log('format  MB   events     page ev/s   native ev/s  native/page');
    for (const [format, extension] of FORMATS) {
      const file = path.join(folder, `bench.${extension}`);
      writeRecording(file, format, 20 << 20);
      const native = runNative(TOOL, file, ['--json']);
      const events = JSON.parse(native.out).events;
      const got = await dropFile(page, file, 600000);
      const pageRate = got.events / got.seconds;
      const nativeRate = events / native.seconds;
      console.log(`${format.padEnd(6)} ${String(20).padStart(3)} ${String(got.events).padStart(8)}` +
        ` ${pageRate.toFixed(0).padStart(13)} ${nativeRate.toFixed(0).padStart(13)}` +
        ` ${(nativeRate / pageRate).toFixed(2).padStart(12)}`);
      fs.rmSync(file);
    }
    const memory = {};
    for (const mb of [2, LARGE_MB]) {
      const file = path.join(folder, `memory_${mb}.evemu`);
      writeRecording(file, 'evemu', mb << 20);
      const got = await dropFile(page, file, 1200000);
      memory[mb] = got.memory;
      console.log(`worker memory after ${mb} MB (${got.events} events): ` +
        `${(got.memory / (1 << 20)).toFixed(1)} MB, ${(got.events / got.seconds).toFixed(0)} ev/s`);
      fs.rmSync(file);
    }
    console.log(`worker memory growth from 2 MB to ${LARGE_MB} MB: ` +
      `${((memory[LARGE_MB] - memory[2]) / (1 << 20)).toFixed(1)} MB`);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
