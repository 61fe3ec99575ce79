// The verdict of a recording dropped on the page: the same text, JSON and timeline as
// taptally-replay prints and writes, and TapTally's end screen as PNG. The replay runs in
// a worker of its own for each file, so the page stays usable and Cancel ends it at once.

const WORKER_URL = new URL('verdict_worker.js', import.meta.url);

function element(tag, attributes = {}, text = '') {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    made.setAttribute(name, value);
  }
  made.textContent = text;
  return made;
}

function offerDownload(link, blob, name) {
  if (link.href) {
    URL.revokeObjectURL(link.href);
  }
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.hidden = false;
}

// TapTally's screen at the end of the replay, encoded as PNG by the browser.
function screenPng(screen) {
  const canvas = element('canvas');
  canvas.width = screen.width;
  canvas.height = screen.height;
  const pixels = new ImageData(new Uint8ClampedArray(screen.rgba.buffer), screen.width,
    screen.height);
  canvas.getContext('2d').putImageData(pixels, 0, 0);
  return new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
}

// "mouse.yml" -> "mouse"
function baseName(name) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? name.slice(0, dot) : name;
}

// Fills root with the verdict's controls; a file input and a <pre id="verdict"> already in
// root are used as they are. A file dropped anywhere on root is replayed.
export function startVerdictUI(root) {
  let input = root.querySelector('input[type="file"]');
  if (!input) {
    input = element('input', { type: 'file', id: 'verdict-file' });
    const label = element('label', { for: 'verdict-file' },
      'Drop a recording of a mouse here (libinput record, evemu-record or the kernel\'s ' +
      'event records), or choose one: ');
    const line = element('p');
    line.append(label, input);
    root.append(line);
  }
  let verdict = root.querySelector('pre#verdict');
  if (!verdict) {
    verdict = element('pre', { id: 'verdict' });
    root.append(verdict);
  }
  const progress = element('progress', {
    id: 'verdict-progress', max: '1', value: '0', 'aria-label': 'Recording read so far',
  });
  const cancel = element('button', { type: 'button', id: 'verdict-cancel' }, 'Cancel');
  const busy = element('p', { class: 'verdict-busy' });
  busy.append(progress, ' ', cancel);
  busy.hidden = true;
  const status = element('p', { id: 'verdict-status', role: 'status' });
  const timeline = element('img', { id: 'verdict-timeline', alt: 'Timeline of the presses' });
  timeline.hidden = true;
  const downloads = element('p', { id: 'verdict-downloads' }, 'Download: ');
  const links = {};
  for (const [kind, text] of [['json', 'verdict (JSON)'], ['svg', 'timeline (SVG)'],
    ['png', 'end screen (PNG)']]) {
    links[kind] = element('a', { id: `verdict-${kind}` }, text);
    downloads.append(links[kind], ' ');
  }
  downloads.hidden = true;
  verdict.before(busy, status);
  verdict.after(timeline, downloads);

  let worker = null;
  const decoder = new TextDecoder();

  function setState(state, said) {
    root.dataset.state = state;
    status.textContent = said;
    busy.hidden = state !== 'reading';
  }

  function stop() {
    if (worker) {
      worker.terminate();
      worker = null;
    }
  }

  async function show(file, data) {
    const { parts } = data;
    const name = baseName(file.name);
    root.dataset.events = String(data.events);
    root.dataset.seconds = String(data.seconds);
    root.dataset.memory = String(data.memory);
    if (parts.failure) {
      verdict.textContent = decoder.decode(parts.failure);
      setState('failed', 'The file could not be replayed.');
      return;
    }
    verdict.textContent = decoder.decode(parts.text);
    offerDownload(links.json, new Blob([parts.json], { type: 'application/json' }),
      `${name}.json`);
    offerDownload(links.svg, new Blob([parts.svg], { type: 'image/svg+xml' }), `${name}.svg`);
    timeline.src = links.svg.href;
    timeline.hidden = false;
    if (parts.screen) {
      offerDownload(links.png, await screenPng(parts.screen), `${name}.png`);
    } else {
      links.png.hidden = true;
    }
    downloads.hidden = false;
    setState('done', `${data.events} events replayed in ${data.seconds.toFixed(2)} s.`);
  }

  function replay(file) {
    stop();
    verdict.textContent = '';
    timeline.hidden = true;
    downloads.hidden = true;
    progress.value = 0;
    setState('reading', `Replaying ${file.name}…`);
    const own = new Worker(WORKER_URL);
    worker = own;
    own.onmessage = (message) => {
      if (message.data.progress !== undefined) {
        progress.value = message.data.progress;
      } else if (message.data.done) {
        stop();
        show(file, message.data);
      }
    };
    own.onerror = (error) => {
      stop();
      verdict.textContent = `taptally-replay: ${file.name}: the replay stopped: ${error.message}\n`;
      setState('failed', 'The replay stopped.');
    };
    own.postMessage({ file });
  }

  cancel.addEventListener('click', () => {
    stop();
    setState('cancelled', 'Cancelled.');
  });
  input.addEventListener('change', () => {
    if (input.files.length > 0) {
      replay(input.files[0]);
    }
  });
  root.addEventListener('dragover', (event) => event.preventDefault());
  root.addEventListener('drop', (event) => {
    event.preventDefault();
    if (event.dataTransfer.files.length > 0) {
      replay(event.dataTransfer.files[0]);
    }
  });
  setState('idle', '');
}
