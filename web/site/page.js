// The page around TapTally: it starts the program, hands it the browser's mouse and key
// events with their own times, draws its screen once per animation frame, opens its menus
// and lists the boxes it raised.
'use strict';

(function () {
  const EVENT_PRESS = 1, EVENT_RELEASE = 2, EVENT_MOVE = 3, EVENT_KEY = 4, EVENT_COMMAND = 5,
    EVENT_RESIZE = 6;
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const menu = document.getElementById('menu');
  const boxesList = document.getElementById('boxes');
  const statusLine = document.getElementById('status');
  const notice = document.getElementById('notice');
  const ended = document.getElementById('ended');

  // What tests and other scripts may read.
  const page = window.taptally = {
    ready: false, ended: false, boxes: [], messages: 0, findingLines: [],
    // Whether TapTally has taken every event and waits for the next one.
    idle: () => events.length === 0 && wake !== null,
    boxOpen: () => program !== null && program._page_box_open() === 1,
    recordsKept: () => program._page_records_kept(),
  };

  let program = null;      // the running module instance
  let wasmBinary = null;   // kept, so that a new start needs no network
  let screenWidth = 0, screenHeight = 0;
  let frameRequested = false;
  let events = [];
  let wake = null;
  let menuPress = -1;      // the menu bar entry the left button went down on
  const countedPress = [false, false, false]; // a release always counts; noted for findings

  // Each message's time is its event's: whole milliseconds from the page's start, rounded.
  const tickOf = (event) => Math.round(event.timeStamp);

  function pushEvent(kind, a, b, c, d, tick) {
    events.push([kind, a, b, c, d, tick]);
    page.messages++;
    if (wake) {
      const resume = wake;
      wake = null;
      resume();
    }
  }

  function screenPoint(event) {
    const rect = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - rect.left) * screenWidth / rect.width),
            Math.floor((event.clientY - rect.top) * screenHeight / rect.height)];
  }

  function onCanvas(event) {
    const rect = canvas.getBoundingClientRect();
    return event.clientX >= rect.left && event.clientX < rect.right &&
      event.clientY >= rect.top && event.clientY < rect.bottom;
  }

  // ---- Timing, for benchmarks: set taptally.timings = { moves: [], buttons: [], draws: [] } --
  let taken = null, takenAt = 0;
  function timeHandling(event) {
    const now = performance.now();
    if (taken) {
      (taken[0] === EVENT_MOVE ? page.timings.moves : page.timings.buttons).push(now - takenAt);
    }
    taken = event || null;
    takenAt = now;
  }

  // ---- Drawing ------------------------------------------------------------------------
  const offscreen = document.createElement('canvas');
  function draw() {
    frameRequested = false;
    if (!program || page.ended) {
      return;
    }
    const drawStart = performance.now();
    if (program._page_screen_width() !== screenWidth ||
        program._page_screen_height() !== screenHeight) {
      screenWidth = program._page_screen_width();
      screenHeight = program._page_screen_height();
      sizeCanvas();
    }
    const pointer = program._page_compose();
    const bytes = new Uint8ClampedArray(program.HEAPU8.buffer, pointer,
                                        screenWidth * screenHeight * 4);
    offscreen.getContext('2d').putImageData(new ImageData(bytes, screenWidth, screenHeight), 0, 0);
    const context = canvas.getContext('2d');
    context.imageSmoothingEnabled = false;
    context.drawImage(offscreen, 0, 0, canvas.width, canvas.height);
    if (page.timings) {
      page.timings.draws.push(performance.now() - drawStart);
    }
    if (findingsDirty) {
      showFindings();
    }
    if (!page.ready) {
      page.ready = true;
      statusLine.textContent = 'TapTally is running. Click into its screen to test the mouse.';
    }
  }

  // The canvas shows the screen at one CSS pixel a pixel, in device pixels, so that it
  // stays sharp at any device pixel ratio.
  function sizeCanvas() {
    const ratio = window.devicePixelRatio || 1;
    canvas.style.width = screenWidth + 'px';
    canvas.style.height = screenHeight + 'px';
    canvas.width = Math.round(screenWidth * ratio);
    canvas.height = Math.round(screenHeight * ratio);
    offscreen.width = screenWidth;
    offscreen.height = screenHeight;
  }

  function stageSize() {
    const rect = stage.getBoundingClientRect();
    return [Math.max(320, Math.floor(rect.width)), Math.max(240, Math.floor(rect.height))];
  }

  // ---- The boxes ----------------------------------------------------------------------
  function secondsText(ms) {
    return Math.floor(ms / 1000) + '.' + String(ms % 1000).padStart(3, '0');
  }

  // A box's text on one line: its lines trimmed and joined by blanks.
  function oneLine(text) {
    return text.split('\n').map((line) => line.replace(/\r/g, '').trim())
      .filter((line) => line.length > 0).join(' ');
  }

  function boxShown(tick, isDialog, caption, text) {
    const time = secondsText(tick).padStart(10, ' ') + ' s  ';
    const line = !isDialog && caption === 'Error Message'
      ? time + oneLine(text)
      : time + 'box "' + caption + '": ' + oneLine(text);
    page.boxes.push(line);
    boxesList.textContent += line + '\n';
    boxesList.scrollTop = boxesList.scrollHeight;
  }

  // ---- Findings beside TapTally's test -------------------------------------------------
  const findingTable = document.getElementById('finding-table');
  const findingFigures = document.getElementById('finding-figures');
  const findingLines = document.getElementById('finding-lines');
  const liveVerdict = document.getElementById('live-verdict');
  const BUTTON_NAMES = ['Left', 'Middle', 'Right', 'Back (side)', 'Forward (extra)'];
  let findingsDirty = false;

  function noteButton(button, down, event) {
    if (program && !page.ended && button >= 0 && button <= 4) {
      program._page_findings_button(button, down, tickOf(event));
      findingsChanged();
    }
  }

  function findingsChanged() {
    findingsDirty = true;
    if (!frameRequested) {
      frameRequested = true;
      requestAnimationFrame(draw);
    }
  }

  function showFindings() {
    findingsDirty = false;
    const figures = JSON.parse(program.UTF8ToString(program._page_findings_json()));
    page.findings = figures;
    findingTable.replaceChildren(...figures.buttons.map((button, i) => {
      const row = document.createElement('tr');
      for (const value of [BUTTON_NAMES[i], button.presses, button.least ?? '–', button.bounces,
        button.shortPresses]) {
        row.appendChild(document.createElement('td')).textContent = value;
      }
      return row;
    }));
    findingFigures.textContent = `Wheel: ${figures.wheelSteps} steps, ` +
      `${figures.wheelReversals} stepped back. Report rate while moving: ` +
      (figures.rateHz > 0 ? `${figures.rateHz} Hz (median).` : 'not measured yet.');
  }

  function finding(ms, text) {
    const line = secondsText(ms).padStart(10, ' ') + ' s  ' + text;
    page.findingLines.push(line);
    findingLines.textContent += line + '\n';
    findingLines.scrollTop = findingLines.scrollHeight;
  }

  document.getElementById('verdict-now').addEventListener('click', () => {
    if (program) {
      liveVerdict.textContent = program.UTF8ToString(program._page_findings_verdict());
      liveVerdict.hidden = false;
    }
  });

  // ---- Menus --------------------------------------------------------------------------
  function closeMenu() {
    menu.hidden = true;
    menu.textContent = '';
  }

  function menuEntries() {
    return JSON.parse(program.UTF8ToString(program._page_menu_json()));
  }

  // A popup of the given entries below the point (left, bottom) of TapTally's screen.
  function showPopup(items, left, bottom) {
    const scale = canvas.getBoundingClientRect().width / screenWidth;
    menu.textContent = '';
    for (const item of items) {
      if (item.separator) {
        menu.appendChild(document.createElement('hr'));
        continue;
      }
      const button = document.createElement('button');
      button.type = 'button';
      button.setAttribute('role', 'menuitem');
      button.disabled = item.disabled;
      const label = document.createElement('span');
      label.textContent = (item.checked ? '✓ ' : '') + item.label.trim();
      const keys = document.createElement('span');
      keys.textContent = item.accelerator || '';
      button.append(label, keys);
      button.addEventListener('click', (event) => {
        closeMenu();
        canvas.focus({ preventScroll: true });
        pushEvent(EVENT_COMMAND, item.command, 0, 0, 0, tickOf(event));
      });
      menu.appendChild(button);
    }
    menu.style.left = Math.round(left * scale) + 'px';
    menu.style.top = Math.round(bottom * scale) + 'px';
    menu.hidden = false;
    menu.querySelector('button:not(:disabled)')?.focus();
  }

  function openPopup(index, tick) {
    const entry = menuEntries()[index];
    if (!entry || entry.disabled) {
      return;
    }
    if (entry.popup.length === 0) {
      pushEvent(EVENT_COMMAND, entry.command, 0, 0, 0, tick);
      return;
    }
    showPopup(entry.popup, entry.left, entry.bottom);
  }

  // F10, as on Windows, reaches the menu from the keyboard: every command of the menu bar
  // and of its popups in one list below the bar.
  function openWholeMenu() {
    const entries = menuEntries();
    if (entries.length === 0) {
      return;
    }
    const items = [];
    for (const entry of entries) {
      if (entry.popup.length === 0) {
        items.push({ label: entry.label, command: entry.command, disabled: entry.disabled });
      } else {
        items.push({ separator: true }, ...entry.popup);
      }
    }
    showPopup(items, entries[0].left, entries[0].bottom);
  }

  menu.addEventListener('keydown', (event) => {
    const buttons = [...menu.querySelectorAll('button:not(:disabled)')];
    const at = buttons.indexOf(document.activeElement);
    if (event.key === 'Escape') {
      closeMenu();
      canvas.focus({ preventScroll: true });
    } else if (event.key === 'ArrowDown' && buttons.length) {
      buttons[(at + 1) % buttons.length].focus();
    } else if (event.key === 'ArrowUp' && buttons.length) {
      buttons[(at - 1 + buttons.length) % buttons.length].focus();
    } else {
      return;
    }
    event.preventDefault();
  });

  // ---- Mouse --------------------------------------------------------------------------
  // Elements of the page whose own clicks are no release for TapTally.
  const interactive = 'button, input, a, select, label, summary, textarea, .popup';
  // Texts to be selected and copied: a press there and its release are the user's own.
  const copyable = 'pre';

  canvas.addEventListener('mousedown', (event) => {
    // No autoscroll for the middle button, no selection, no focus move by the browser.
    event.preventDefault();
    canvas.focus({ preventScroll: true });
    if (!program || page.ended) {
      return;
    }
    if (!menu.hidden) {
      closeMenu();
    }
    const [x, y] = screenPoint(event);
    noteButton(event.button, 1, event);
    if (event.button > 2) {
      return;
    }
    if (event.button === 0 && !program._page_box_open()) {
      menuPress = program._page_menu_bar_at(x, y);
      if (menuPress >= 0) {
        return;
      }
    }
    countedPress[event.button] = true;
    pushEvent(EVENT_PRESS, event.button, x, y, 0, tickOf(event));
  });

  window.addEventListener('mouseup', (event) => {
    if (event.button === 3 || event.button === 4) {
      event.preventDefault(); // back and forward never leave the page
      noteButton(event.button, 0, event);
      return;
    }
    if (!program || page.ended || event.button > 2) {
      return;
    }
    const [x, y] = screenPoint(event);
    if (event.button === 0 && menuPress >= 0) {
      noteButton(0, 0, event);
      const pressed = menuPress;
      menuPress = -1;
      if (program._page_menu_bar_at(x, y) === pressed) {
        openPopup(pressed, tickOf(event));
      }
      return;
    }
    if (!countedPress[event.button] && event.target instanceof Element &&
        (event.target.closest(interactive) || event.target.closest(copyable))) {
      return;
    }
    countedPress[event.button] = false;
    noteButton(event.button, 0, event);
    pushEvent(EVENT_RELEASE, event.button, x, y, 0, tickOf(event));
  });

  canvas.addEventListener('pointermove', (event) => {
    if (!program || page.ended) {
      return;
    }
    const moves = event.getCoalescedEvents ? event.getCoalescedEvents() : [];
    for (const move of moves.length ? moves : [event]) {
      program._page_findings_motion(move.movementX | 0, move.movementY | 0, move.timeStamp * 1000);
      const [x, y] = screenPoint(move);
      pushEvent(EVENT_MOVE, 0, x, y, move.buttons, tickOf(move));
    }
    findingsChanged();
  });

  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  canvas.addEventListener('wheel', (event) => {
    event.preventDefault();
    if (program && !page.ended && event.deltaY !== 0) {
      // One step per event; a positive deltaY scrolls down, towards the user.
      program._page_findings_wheel(event.deltaY < 0 ? 1 : -1, tickOf(event));
      findingsChanged();
    }
  }, { passive: false });
  document.addEventListener('mousedown', (event) => {
    if (!menu.hidden && !(event.target instanceof Element && event.target.closest('.popup')) &&
        event.target !== canvas) {
      closeMenu();
    }
  });

  // ---- Keys ---------------------------------------------------------------------------
  const namedKeys = {
    Enter: [13, 13], Escape: [27, 27], Backspace: [8, 8], Tab: [9, 9], ' ': [32, 32],
    F1: [112, 0], ArrowLeft: [37, 0], ArrowUp: [38, 0], ArrowRight: [39, 0],
    ArrowDown: [40, 0], Delete: [46, 0], Home: [36, 0], End: [35, 0],
  };

  // Keys go to TapTally unless a control of the page has the focus.
  window.addEventListener('keydown', (event) => {
    if (!program || page.ended || event.ctrlKey || event.metaKey || event.altKey ||
        (event.target instanceof Element && event.target.closest(interactive))) {
      return;
    }
    if (event.key === 'F10' && !program._page_box_open()) {
      event.preventDefault();
      openWholeMenu();
      return;
    }
    let key = namedKeys[event.key];
    if (!key && event.key.length === 1 && event.key.charCodeAt(0) < 128) {
      // Letters and digits have their own virtual key codes; other characters come as
      // characters only, which is all that TapTally reads of them.
      const character = event.key.charCodeAt(0);
      key = [/[a-z0-9]/i.test(event.key) ? event.key.toUpperCase().charCodeAt(0) : 0, character];
    }
    if (!key) {
      return;
    }
    // Tab moves through the page unless a box or dialog of TapTally takes it.
    if (event.key === 'Tab' && !program._page_box_open()) {
      return;
    }
    event.preventDefault();
    pushEvent(EVENT_KEY, key[0], key[1], 0, 0, tickOf(event));
  });

  // ---- Sound: TapTally beeps at every press, as the system's short default sound --------
  let audio = null;
  function beep() {
    page.beeps = (page.beeps || 0) + 1;
    try {
      if (!audio || audio.state !== 'running') {
        return; // no sound before the page's first press allows it
      }
      const tone = audio.createOscillator();
      const volume = audio.createGain();
      volume.gain.value = 0.05;
      tone.frequency.value = 880;
      tone.connect(volume).connect(audio.destination);
      tone.start();
      tone.stop(audio.currentTime + 0.03);
    } catch (error) {
      // A browser without sound: the test goes on silent.
    }
  }
  canvas.addEventListener('pointerdown', () => {
    try {
      audio = audio || new AudioContext();
      audio.resume();
    } catch (error) {
      audio = null;
    }
  });

  // ---- Starting and ending -------------------------------------------------------------
  function showNotice(text) {
    notice.textContent = text;
    notice.hidden = false;
  }

  function start() {
    ended.hidden = true;
    page.ended = false;
    page.ready = false;
    events = [];
    page.findingLines = [];
    findingLines.textContent = '';
    liveVerdict.hidden = true;
    [screenWidth, screenHeight] = stageSize();
    sizeCanvas();
    const failed = [];
    canvas.focus({ preventScroll: true });
    TapTally({
      wasmBinary,
      printErr: (text) => failed.push(text),
      onAbort: () => {
        page.ended = true;
        statusLine.textContent = 'TapTally stopped: ' + (failed.join(' ') || 'an internal error');
      },
      taptallyWaitForEvent: () => new Promise((resolve) => {
        if (events.length) {
          resolve();
        } else {
          wake = resolve;
        }
      }),
      taptallyTakeEvent: () => {
        const event = events.shift();
        if (page.timings) {
          timeHandling(event);
        }
        return event;
      },
      taptallyScreenChanged: () => {
        if (!frameRequested) {
          frameRequested = true;
          requestAnimationFrame(draw);
        }
      },
      taptallyBoxShown: boxShown,
      taptallyFinding: finding,
      taptallyBeep: beep,
      taptallyScriptHostAsked: () => showNotice(
        'TapTally asked Windows to start its script host, which makes or removes its ' +
        'shortcuts on the desktop and in the programs menu. A web page cannot start ' +
        'programs or make shortcuts, so nothing was changed on this computer.'),
      taptallyEnded: () => {
        page.ended = true;
        closeMenu();
        ended.hidden = false;
        statusLine.textContent = 'TapTally has ended.';
        document.getElementById('restart').focus();
      },
    }).then((instance) => {
      program = instance;
      instance.callMain([String(screenWidth), String(screenHeight),
                         String(Math.round(performance.now()))]);
    });
  }

  document.getElementById('restart').addEventListener('click', start);

  // The screen follows the browser's window, as TapTally's window follows its frame when
  // a user drags it; a change of the device pixel ratio (zoom) redraws it sharp.
  let resizeTimer = 0;
  window.addEventListener('resize', () => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(() => {
      if (!program || page.ended) {
        return;
      }
      const [width, height] = stageSize();
      if (width !== screenWidth || height !== screenHeight) {
        pushEvent(EVENT_RESIZE, width, height, 0, 0, Math.round(performance.now()));
      } else {
        sizeCanvas();
        draw();
      }
    }, 100);
  });

  // ---- The timer ----------------------------------------------------------------------
  function measureTimer() {
    let least = Infinity;
    let last = performance.now();
    const until = last + 30;
    while (last < until) {
      const now = performance.now();
      if (now > last) {
        least = Math.min(least, now - last);
        last = now;
      }
    }
    const step = least < 0.01 ? 'finer than 0.01 ms' : least.toFixed(least < 1 ? 3 : 1) + ' ms';
    const coarse = least >= 0.5;
    document.getElementById('timer').textContent =
      'This browser times events in steps of ' + step + '. TapTally rounds every event ' +
      'time to whole milliseconds' + (coarse
        ? '; with steps this coarse an interval can read up to one step shorter or longer than it was.'
        : ', as the Windows program counts them.');
    page.timerStepMs = least;
  }

  // ---- The recording's verdict, when the site has it ------------------------------------
  function startVerdict() {
    fetch('verdict/verdict.js', { method: 'HEAD' })
      .then((response) => {
        if (!response.ok) {
          throw new Error('no verdict');
        }
        return import('./verdict/verdict.js');
      })
      .then((module) => module.startVerdictUI(document.getElementById('recording')))
      .catch(() => {
        const section = document.getElementById('recording');
        section.querySelector('p').textContent = 'This site was built without the check of recordings.';
        section.querySelector('input').disabled = true;
      });
  }

  fetch('taptally.wasm')
    .then((response) => response.arrayBuffer())
    .then((bytes) => {
      wasmBinary = bytes;
      measureTimer();
      start();
      startVerdict();
    })
    .catch((error) => {
      statusLine.textContent = 'TapTally could not be loaded: ' + error;
    });
})();
