// The verdict of one dropped file, in a worker of its own: the module reads the file in
// slices through readSlice, so a recording of any size takes the same memory.
/* global TapTallyVerdict, FileReaderSync */
'use strict';

importScripts('taptally_verdict.js');

const SLICE_BYTES = 1 << 20;

self.onmessage = async (message) => {
  const file = message.data.file;
  const parts = {};
  let at = 0; // bytes of the file handed to the module
  let slice = new Uint8Array(0);
  let sliceAt = 0; // bytes of the slice handed out
  const module = await TapTallyVerdict({
    print: () => {},
    printErr: () => {},
    readSlice(heap, buffer, size) {
      if (sliceAt === slice.length) {
        if (at >= file.size) {
          return 0;
        }
        const end = Math.min(file.size, at + SLICE_BYTES);
        slice = new Uint8Array(new FileReaderSync().readAsArrayBuffer(file.slice(at, end)));
        sliceAt = 0;
        at = end;
        self.postMessage({ progress: at / file.size });
      }
      const count = Math.min(size, slice.length - sliceAt);
      heap.set(slice.subarray(sliceAt, sliceAt + count), buffer);
      sliceAt += count;
      return count;
    },
    deliver(kind, bytes) {
      parts[kind] = bytes;
    },
    deliverScreen(width, height, rgba) {
      parts.screen = { width, height, rgba };
    },
  });
  const start = performance.now();
  const events = module.ccall('verdict_run', 'number', ['string'], [file.name]);
  const seconds = (performance.now() - start) / 1000;
  self.postMessage({
    done: true,
    parts,
    events,
    seconds,
    memory: module.HEAPU8.length,
  });
};
