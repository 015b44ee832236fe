// The page in Debian's chromium, headless, driven over the DevTools protocol: it loads with no
// console error; the splash on the canvas is the Assets picture, shown while the music is held
// back, which plays once it comes; a click starts play and
// creatures come out; P shows the pause panel, and so does a tab hidden during play; the
// session's replay, downloaded with the page's button, checks on Linux, and a debug session's
// with the same debug log as in the WebAssembly build; after a reload the replay is still in
// the page's storage; "Check a replay" proves a daily replay made on Linux and ?daily starts
// today's daily; a fault on purpose shows the crash report, which the page downloads.
// And the player's files in the browser's storage, in a profile kept across a restart of the
// browser: two tabs playing at once, a reload mid-game, full storage, none at all (see
// storageTests). And the page on a phone, played by touch, and kept for playing offline (see
// phone.js).
//
//   node page_test.js <dist/web> <Assets folder> <native quorvatide> <quorvatide_node.js>
// Prints the figures it measures (FIGURE lines) and "N passed, N failed".
'use strict';
const { spawn, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { phoneTests, offlineTests } = require('./phone.js');

const [distDir, assetDir, nativeGame, nodeGame] = process.argv.slice(2);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvatide-page-'));
const downloads = path.join(work, 'downloads');
fs.mkdirSync(downloads);
let passed = 0, failed = 0;
function check(ok, what, detail) {
  if (ok) { passed++; console.log('ok: ' + what); }
  else { failed++; console.log('FAIL: ' + what + (detail ? ' (' + detail + ')' : '')); }
  return ok;
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A 24-bit BMP as rows of [r, g, b].
function readBmp(file) {
  const d = fs.readFileSync(file);
  const offset = d.readUInt32LE(10), w = d.readInt32LE(18), h = d.readInt32LE(22);
  const bits = d.readUInt16LE(28), stride = Math.floor((w * bits + 31) / 32) * 4;
  const px = (x, y) => {
    const row = h > 0 ? h - 1 - y : y, p = offset + row * stride + x * (bits / 8);
    return [d[p + 2], d[p + 1], d[p]];
  };
  return { w, h: Math.abs(h), px };
}

// The game's frame (its own pixels) from the canvas: every scale × scale block's top-left pixel.
async function frame(page) {
  return page.evaluate(() => {
    const c = document.getElementById('canvas');
    const scale = Math.max(1, Math.round(c.width / 1000) || 1);
    const ctx = c.getContext('2d');
    const data = ctx.getImageData(0, 0, c.width, c.height).data;
    return { w: c.width, h: c.height, data: Array.from(data) };
  });
}
function pixel(f, scale, x, y) {
  const p = ((y * scale) * f.w + x * scale) * 4;
  return [f.data[p], f.data[p + 1], f.data[p + 2]];
}
// Hashes of playfield tiles (35 × 35 from 9,9), as the desktop's tests compare them, read in
// the page so that the test takes little of its time.
async function tiles(page, scale, list) {
  return page.evaluate((scale, list) => {
    const ctx = document.getElementById('canvas').getContext('2d');
    return list.map(([col, row]) => {
      const d = ctx.getImageData((9 + 35 * col) * scale, (9 + 35 * row) * scale, 35 * scale, 35 * scale).data;
      let h = 0;
      for (let i = 0; i < d.length; i += 4) h = (Math.imul(h, 31) + (d[i] << 16 | d[i + 1] << 8 | d[i + 2])) | 0;
      return h;
    });
  }, scale, list);
}

async function downloadReplay(page) {
  const name = path.basename(await page.evaluate(() => UTF8ToString(Module._qv_web_replay_path())));
  await page.click('#download-replay');
  for (let i = 0; i < 50; i++) {
    await sleep(100);
    if (name && fs.existsSync(path.join(downloads, name))) {
      await sleep(200);
      return path.join(downloads, name);
    }
  }
  return null;
}

// Checks a replay with the native program and with the WebAssembly one under node; in debug
// mode their debug logs are the same, byte for byte, and not empty.
function checkOnLinux(file, debug) {
  const stem = path.basename(file, '.qvr');
  const nativeLog = path.join(work, stem + '.native.log'), wasmLog = path.join(work, stem + '.wasm.log');
  const native = spawnSync(nativeGame, ['--check-replay', file, '--debug-log', nativeLog], { encoding: 'utf8' });
  check(native.status === 0, 'the browser\'s replay checks on Linux', (native.stdout + native.stderr).trim());
  const t0 = Date.now();
  const wasm = spawnSync('node', ['--no-experimental-fetch', nodeGame, '--check-replay', file, '--debug-log', wasmLog],
                         { encoding: 'utf8', env: Object.assign({}, process.env, { NODE_PATH: '/usr/share/nodejs' }) });
  check(wasm.status === 0, 'it checks in the WebAssembly build under node', (wasm.stdout + wasm.stderr).trim());
  console.log('FIGURE checking ' + stem + ' under node: ' + ((Date.now() - t0) / 1000).toFixed(2) + ' s (' + wasm.stdout.trim() + ')');
  if (!debug) return;
  const a = fs.existsSync(nativeLog) ? fs.readFileSync(nativeLog) : null;
  const b = fs.existsSync(wasmLog) ? fs.readFileSync(wasmLog) : null;
  check(a && b && a.length > 0 && a.equals(b), 'the debug logs on Linux and in the WebAssembly build are byte for byte the same',
        a && b ? a.length + ' and ' + b.length + ' bytes' : 'missing');
}

function launch(profile) {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--disable-quic', '--enable-unsafe-swiftshader',
           '--autoplay-policy=no-user-gesture-required', '--window-size=1000,900'],
  });
}

// The bytes of a file of the page's, read in the page.
function readInPage(page, file) {
  return page.evaluate((file) => {
    try {
      const bytes = FS.readFile(file);
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      return btoa(text);
    } catch (e) {
      return null;
    }
  }, file).then((b) => (b === null ? null : Buffer.from(b, 'base64')));
}

// The lesson with the mouse, from ?learn: its demonstrations are in the page's data; steps 1
// and 2 by hand, every later one shown (Show me in the menu of the side panel's button), sped up
// eightfold and taken over by a click on the board, which the lesson follows to its end; the
// options keep where it stands; every session it made checks on Linux.
async function lessonTest(browser, url) {
  const t0 = Date.now();
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 900 });
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(url + '?learn', { waitUntil: 'load' });
  await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000, polling: 100 });
  const demos = await page.evaluate(() => FS.readdir('/Assets').filter((n) => /^lesson-\d\.qvr$/.test(n)).length);
  check(demos === 8, 'the lesson\'s eight demonstrations are in the page\'s data', demos);
  const box = await (await page.$('#canvas')).boundingBox();
  const scale = Math.max(1, Math.round(box.width / 903));
  const click = (x, y) => page.mouse.click(box.x + x * scale, box.y + y * scale);
  const tile = (col, row) => click(9 + 35 * col + 17, 9 + 35 * row + 17);
  const options = () => page.evaluate(() => {
    try { return FS.readFile('/home/web_user/.config/quorvatide/options.ini', { encoding: 'utf8' }); } catch (e) { return ''; }
  });
  const step = async () => { const m = /^lesson step = (\d+)$/m.exec(await options()); return m ? +m[1] : 0; };
  const until = async (want, ms) => {
    for (const end = Date.now() + ms; Date.now() < end; await sleep(100)) if ((await step()) === want) return true;
    return false;
  };
  const reached = [];
  if (await until(1, 5000)) reached.push(1);
  await tile(18, 14);  // the ringed tile: the build menu
  if (await until(2, 2000)) reached.push(2);
  await click(595 + 3 + 17, 490 + 58 + 17);  // the sign pointing left
  if (await until(3, 2000)) reached.push(3);
  // Show me for each later step: the demonstration sped up, then a click on the board.
  const shownFor = { 3: 1500, 4: 2800, 5: 2200, 6: 1500, 7: 2200, 8: 1800 };
  for (let s = 3; s <= 8 && reached[reached.length - 1] === s; s++) {
    await click(800, 452);  // the side panel's Menu
    await sleep(150);
    await click(358, menuY('Show me', pageLessonMenu));
    await sleep(300);
    await page.keyboard.press('4');
    await sleep(shownFor[s]);
    await tile(10, 10);
    if (s < 8 ? await until(s + 1, 3000) : true) reached.push(s + 1);
  }
  let done = false;
  for (let i = 0; i < 100 && !done; i++, await sleep(100)) done = /^lesson done = on$/m.test(await options());
  check(reached.length === 9 && done, 'the lesson in the page with the mouse: every step recognised, to its end',
        'reached ' + reached.join(' ') + (done ? ', done' : ', not done'));
  await page.keyboard.press('Escape');  // Play on
  // Every session the lesson made: its own, and each demonstration taken over.
  const dir = '/home/web_user/.local/state/quorvatide/replays/';
  await page.evaluate(() => new Promise((r) => Module.qvSave(r)));
  const names = await page.evaluate((dir) => FS.readdir(dir).filter((n) => /^lesson-\d-continued-/.test(n)), dir);
  const bad = [];
  for (const name of names) {
    const file = path.join(work, name);
    fs.writeFileSync(file, await readInPage(page, dir + name));
    const r = spawnSync(nativeGame, ['--check-replay', file], { encoding: 'utf8' });
    if (r.status !== 0) bad.push((r.stdout + r.stderr).trim());
  }
  check(names.length === 6 && bad.length === 0, 'each demonstration taken over in the page checks on Linux as one session',
        names.length + ' taken over; ' + bad.join(' | '));
  check(errors.length === 0, 'no console error in the lesson', errors.join(' | '));
  console.log('FIGURE the lesson in the page: ' + ((Date.now() - t0) / 1000).toFixed(1) + ' s');
  await page.close();
}

// The player's files in the browser's storage, in a profile of their own that is kept across a
// restart of the browser. What the storage holds is seen as the page sees it: by a page that
// reads the files and starts no game (it is asked to watch a file that is not there). Every
// kept replay must check on Linux.
async function storageTests(url) {
  const profile = path.join(work, 'storage-profile');
  const replays = '/home/web_user/.local/state/quorvatide/replays/';
  const started = (page) => page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun,
                                                 { timeout: 30000, polling: 100 });
  const errors = [];
  async function open(browser, query, init, ready) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 900 });
    if (init) await page.evaluateOnNewDocument(...init);
    if (ready) await ready(page);
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(url + query, { waitUntil: 'load' });
    return page;
  }
  // A click on the middle of the board, in front: the splash's click that starts play.
  async function play(page) {
    await page.bringToFront();
    const box = await (await page.$('#canvas')).boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  }
  // Back to a tab, which was paused when it was hidden: P goes on.
  async function goOn(page) {
    await page.bringToFront();
    await sleep(200);
    await page.keyboard.press('p');
  }
  const replayPath = (page) => page.evaluate(() => UTF8ToString(Module._qv_web_replay_path()));
  const inMemory = async (page) => readInPage(page, await replayPath(page));
  const saved = (page) => Promise.race([
    page.evaluate(() => new Promise((r) => Module.qvSave((e) => r(e ? String(e.name || e) : 'saved')))),
    sleep(8000).then(() => 'no answer')]);
  const line = (page) => page.$eval('#storage', (e) => (e.hidden ? '' : e.textContent)).catch(() => 'no line');
  async function kept(browser) {
    const page = await open(browser, '?watch=nothing-here.qvr');
    await page.waitForFunction(() => /cannot start/.test(document.getElementById('status').textContent),
                               { timeout: 30000, polling: 100 });
    const names = await page.evaluate((dir) => { try { return FS.readdir(dir).filter((n) => /\.qvr$/.test(n)); } catch (e) { return []; } }, replays);
    const files = new Map();
    for (const n of names) files.set(n, await readInPage(page, replays + n));
    await page.close();
    return files;
  }
  // The kept file that holds `bytes`, or as much of them as was kept, beyond the header (which
  // two sessions begun in the same second share): [name, bytes].
  const keptAs = (files, bytes) => [...files].find(([, b]) => {
    const n = Math.min(b.length, bytes ? bytes.length : 0);
    return bytes && n >= bytes.indexOf('\n\n') + 16 && b.subarray(0, n).equals(bytes.subarray(0, n));
  });
  const checkDir = path.join(work, 'kept');
  fs.mkdirSync(checkDir);
  // Each kept replay checked on Linux; the seconds of session each holds.
  function checkKept(files, when) {
    const spans = new Map(), bad = [];
    for (const [name, bytes] of files) {
      const file = path.join(checkDir, name);
      fs.writeFileSync(file, bytes);
      const r = spawnSync(nativeGame, ['--check-replay', file], { encoding: 'utf8' });
      const m = /\((\d+):(\d\d) of session\)/.exec(r.stdout + r.stderr);
      if (r.status !== 0) bad.push((r.stdout + r.stderr).trim());
      spans.set(name, m ? +m[1] * 60 + +m[2] : -1);
    }
    check(files.size > 0 && bad.length === 0, 'every replay kept ' + when + ' checks on Linux (' + files.size + ')', bad.join(' | '));
    return spans;
  }

  const t0 = Date.now();
  let browser = await launch(profile);
  try {
    // A replay an earlier page kept (with emscripten's IDBFS, in a database of the folder's
    // name), which the page takes over.
    const earlier = fs.readFileSync(path.join(__dirname, '../replays/real-scaled-2x.qvr'));
    {
      const page = await browser.newPage();
      await page.goto(url + 'nothing-here', { waitUntil: 'load' });  // a page of the same origin
      await page.evaluate((bytes) => new Promise((resolve, reject) => {
        const request = indexedDB.open('/home/web_user', 21);
        request.onupgradeneeded = () => request.result.createObjectStore('FILE_DATA').createIndex('timestamp', 'timestamp');
        request.onsuccess = () => {
          const tx = request.result.transaction('FILE_DATA', 'readwrite'), store = tx.objectStore('FILE_DATA');
          let dir = '/home/web_user';
          for (const name of ['.local', 'state', 'quorvatide', 'replays'])
            store.put({ timestamp: new Date(), mode: 0o40777 }, dir += '/' + name);
          store.put({ timestamp: new Date(), mode: 0o100644, contents: new Uint8Array(bytes) }, dir + '/quorvatide-2020-01-02_03-04-05.qvr');
          tx.oncomplete = () => { request.result.close(); resolve(); };
          tx.onabort = () => reject(tx.error);
        };
        request.onerror = () => reject(request.error);
      }), [...earlier]);
      await page.close();
    }
    // Two tabs opened at once, as a browser restores them. Their games begin in the same second
    // (each tab's clock starts at the same whole second and runs slow), which gives both
    // replays the same name in the game.
    const sameSecond = [(at) => {
      const now = Date.now.bind(Date), from = now();
      Date.now = () => at + Math.floor((now() - from) / 50);
    }, Math.floor(Date.now() / 1000) * 1000];
    const pages = await Promise.all([0, 1].map(() => open(browser, '', sameSecond)));
    await Promise.all(pages.map(started));
    const [a, b] = pages;
    console.log('FIGURE the two tabs\' replays in memory: ' + path.basename(await replayPath(a)) + ', ' + path.basename(await replayPath(b)));
    // A plays; then B (A is hidden, and saves); back to A (B saves), which plays 6 s; then B
    // (A saves), which plays 12 s and is reloaded.
    await play(a);
    await sleep(3000);
    await play(b);
    await sleep(3000);
    await goOn(a);
    await sleep(6000);
    const a1 = await inMemory(a);
    await goOn(b);
    await sleep(12000);
    const b1 = await inMemory(b);
    await b.reload({ waitUntil: 'load' });
    await started(b);
    // The reloaded tab holds A's replay as it was. It plays; back to A (it saves), which plays
    // 6 s more; back to it (A saves), and it saves again when the storage is looked at.
    await play(b);
    await sleep(2000);
    await goOn(a);
    await sleep(6000);
    const a2 = await inMemory(a);
    await goOn(b);
    await sleep(2000);
    const b2 = await inMemory(b);
    let files = await kept(browser);
    const spans = checkKept(files, 'after two tabs played');
    const [keptA, keptB1, keptB2] = [a2, b1, b2].map((bytes) => keptAs(files, bytes));
    check(keptA && keptB1 && keptB2 && new Set([keptA[0], keptB1[0], keptB2[0]]).size === 3,
          'two tabs, each with a game: every replay is kept, under a name of its own', [...files.keys()].join(', '));
    check(files.has('quorvatide-2020-01-02_03-04-05.qvr') && files.get('quorvatide-2020-01-02_03-04-05.qvr').equals(earlier),
          'a replay an earlier page kept is kept', [...files.keys()].join(', '));
    check(keptA && keptA[1].length >= a2.length && a2.length > a1.length,
          'a tab that holds an older copy of another tab\'s replay never writes it back',
          (keptA ? keptA[1].length : 'none') + ' bytes kept of ' + a2.length);
    const b1Span = checkKept(new Map([['reloaded-in-memory.qvr', b1]]), 'in memory before the reload').get('reloaded-in-memory.qvr');
    console.log('FIGURE a reload ' + b1Span + ' s into the session: ' + (keptB1 ? spans.get(keptB1[0]) : 'none') + ' s kept');
    check(keptB1 && b1Span > 0 && spans.get(keptB1[0]) >= b1Span - 10,
          'a reload mid-game keeps the replay up to the last save, 10 s at most before the reload',
          (keptB1 ? spans.get(keptB1[0]) : 'none') + ' s kept of ' + b1Span + ' s');
    await browser.close();

    // The browser again, on the same profile. Full storage (the browser's quota set before the
    // page first writes: it is read again only every 30 s or so): the save ends and the page says
    // so; with room again the next save is kept and the line goes.
    browser = await launch(profile);
    const origin = new URL(url).origin;
    let cdp;
    const q = await open(browser, '', null, async (page) => {
      cdp = await page.target().createCDPSession();
      await cdp.send('Storage.overrideQuotaForOrigin', { origin, quotaSize: 1500 });
    });
    await started(q);
    await play(q);
    await sleep(2000);
    const full = await saved(q), fullLine = await line(q);
    await cdp.send('Storage.overrideQuotaForOrigin', { origin });
    await sleep(1500);
    const again = await saved(q), lineAfter = await line(q);
    check(full === 'QuotaExceededError' && /^Your games cannot be kept in this browser: storage is full\.$/.test(fullLine),
          'a save into full storage ends, and the page says so in one line', full + ': ' + fullLine);
    check(again === 'saved' && lineAfter === '', 'with room again the next save is kept, and the line goes', again + ': ' + lineAfter);
    // The tab closed mid-game, 3 s after its last save: what it had played is kept.
    await sleep(3000);
    const qBytes = await inMemory(q);
    await q.close();
    files = await kept(browser);
    checkKept(files, 'after a restart of the browser');
    check([a2, b1, b2].every((bytes) => keptAs(files, bytes)),
          'after a restart of the browser every replay is still kept', [...files.keys()].join(', '));
    const keptQ = keptAs(files, qBytes);
    check(keptQ && keptQ[1].length >= qBytes.length, 'a tab closed mid-game keeps all it had played',
          (keptQ ? keptQ[1].length : 'none') + ' bytes kept of ' + qBytes.length);

    // No storage: the game plays with its files in memory, and the page says so in one line.
    const noStorage = [
      ['without IndexedDB', () => { delete window.indexedDB; }],
      ['with the site\'s storage blocked', () => {
        IDBFactory.prototype.open = () => { throw new DOMException('The user denied permission.', 'SecurityError'); };
      }]];
    for (const [how, init] of noStorage) {
      const page = await open(browser, '?stats=0', [init]);
      const ok = await started(page).then(() => true, () => false);
      let grows = false;
      if (ok) {
        await play(page);
        await sleep(1500);
        const before = await inMemory(page);
        await sleep(1500);
        const after = await inMemory(page);
        grows = !!before && !!after && after.length > before.length;
      }
      const said = await line(page);
      check(ok && grows && /^Your games cannot be kept in this browser: .*[Dd]ownload a replay to keep it\.$/.test(said),
            'the game plays ' + how + ', recorded in memory, and the page says in one line that its files are not kept', said);
      if (ok && how === 'without IndexedDB')
        check(await page.evaluate(() => !('QUORVATIDE_FRAME_STATS' in ENV)), '?stats=0 leaves the frame statistics off');
      await page.close();
    }
    check(errors.length === 0, 'no page error in the storage tests', errors.join(' | '));
  } finally {
    await browser.close();
    console.log('FIGURE the storage tests: ' + ((Date.now() - t0) / 1000).toFixed(0) + ' s');
  }
}

// The front end's menu in the page: Escape opens it over the paused game, with its gold title;
// calm effects turned on in its options are kept in the browser's storage, and after a reload
// its options screen shows them so.
// The window y of the middle of the front end's menu button `item` in a menu of `items`, in
// their order (36 px high, 10 apart, under an 84 px heading, the panel in the middle of the
// play area; see frontend/screens.cpp). The page's menus have no Quit.
function menuY(item, items) {
  const n = items.length, height = 84 + n * 36 + (n - 1) * 10 + 22;
  return Math.max(12, Math.floor((716 - height) / 2)) + 84 + items.indexOf(item) * 46 + 18;
}
const pageTitleMenu = ['Play', 'Learn to play', 'Daily challenge', 'Records', 'Watch a replay', 'Options'];
const pageMenuInPlay = ['Resume', 'New game', ...pageTitleMenu.slice(1)];
const pageLessonMenu = ['Resume', 'Show me', 'Skip the lesson', ...pageMenuInPlay.slice(1)];

async function menuTests(url) {
  const browser = await launch(path.join(work, 'menu-profile'));
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 900 });
    const load = async () => {
      await page.goto(url, { waitUntil: 'load' });
      await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun,
                                 { timeout: 30000, polling: 100 });
      await sleep(300);
    };
    await load();
    const box = await (await page.$('#canvas')).boundingBox();
    const scale = box.width / 903;
    const click = async (x, y) => { await page.mouse.click(box.x + x * scale, box.y + y * scale); await sleep(250); };
    // Pixels of the title's gold in the band where the menu's title stands.
    const gold = () => page.evaluate(() => {
      const c = document.getElementById('canvas'), s = c.width / 903;
      const d = c.getContext('2d').getImageData(208 * s, 100 * s, 300 * s, 200 * s).data;
      let n = 0;
      for (let i = 0; i < d.length; i += 4) if (d[i] > 180 && d[i + 1] > 120 && d[i + 1] < 216 && d[i + 2] < 140) n++;
      return n / (s * s);
    });
    // A hash of the calm effects row's value on the options screen.
    const calmValue = () => page.evaluate(() => {
      const c = document.getElementById('canvas'), s = c.width / 903;
      const d = c.getContext('2d').getImageData(418 * s, 388 * s, 142 * s, 30 * s).data;
      let h = 0;
      for (let i = 0; i < d.length; i += 4) h = (Math.imul(h, 31) + (d[i] << 16 | d[i + 1] << 8 | d[i + 2])) | 0;
      return h;
    });
    await page.keyboard.press('Escape');
    await sleep(300);
    check(await gold() > 200, 'Escape opens the menu over the game in the page');
    await click(358, menuY('Options', pageTitleMenu));
    const off = await calmValue();
    await click(398, 403);  // calm effects: on
    const on = await calmValue();
    const options = await page.evaluate(() => {
      try { return FS.readFile('/home/web_user/.config/quorvatide/options.ini', { encoding: 'utf8' }); } catch (e) { return ''; }
    });
    check(on !== off && /^calm effects = on$/m.test(options), 'an option chosen in the menu is written', options);
    await load();
    await page.keyboard.press('Escape');
    await sleep(300);
    await click(358, menuY('Options', pageTitleMenu));
    check(await calmValue() === on, 'after a reload the options screen shows the option kept');
    // A game played, then New game in the menu: the game before ends and a new one begins, twice.
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.keyboard.press('Escape');
    await page.keyboard.press('Escape');
    await click(350, 350);
    await sleep(1500);
    for (let i = 0; i < 2; i++) {
      await page.keyboard.press('Escape');
      await sleep(300);
      await click(358, menuY('New game', pageMenuInPlay));
      await sleep(1000);
    }
    const state = await page.evaluate(() => UTF8ToString(Module._qv_web_play_state()));
    check(errors.length === 0 && /^play:/.test(state), 'New game in the menu ends the game before and begins a new one',
          errors.join(' | ') || state);
  } finally {
    await browser.close();
  }
}

async function main() {
  const server = spawn('python3', [path.join(__dirname, '../../scripts/serve_web.py'), distDir, '--port', '0'],
                       { stdio: ['ignore', 'pipe', 'inherit'] });
  const url = await new Promise((resolve, reject) => {
    server.stdout.once('data', (b) => resolve(String(b).trim()));
    server.once('exit', () => reject(new Error('the server did not start')));
  });
  const browser = await launch(path.join(work, 'profile'));
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 900 });
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    const errors = [];
    let transferred = 0;
    let stats = '';
    page.on('console', (m) => {
      if (m.type() === 'error') errors.push(m.text());
      if (/ frames, compose /.test(m.text())) stats = m.text();
    });
    page.on('pageerror', (e) => errors.push(String(e)));
    const pageCdp = await page.target().createCDPSession();
    await pageCdp.send('Network.enable');
    pageCdp.on('Network.loadingFinished', (e) => { transferred += e.encodedDataLength; });

    // The music is held back until the splash is on the canvas: the splash must not wait for it.
    const heldMusic = [];
    let holdMusic = true;
    await page.setRequestInterception(true);
    page.on('request', (r) => {
      if (holdMusic && /\/music\//.test(r.url())) heldMusic.push(r); else r.continue();
    });

    // The splash, as fast as the page can show it.
    await page.goto(url + '?stats=1', { waitUntil: 'load' });
    await page.waitForFunction(() => {
      const c = document.getElementById('canvas');
      if (!window.Module || !Module.qvStarted || c.width < 700) return false;
      const d = c.getContext('2d').getImageData(c.width / 2, c.height / 2, 1, 1).data;
      return d[0] + d[1] + d[2] > 0;
    }, { timeout: 30000, polling: 20 });
    const splashMs = await page.evaluate(() => performance.now());
    console.log('FIGURE navigation to the splash on the canvas: ' + splashMs.toFixed(0) + ' ms');
    check((await page.title()) === 'Quorvatide', 'the tab is titled Quorvatide');
    await sleep(300);
    const size = await page.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]);
    const splash = readBmp(path.join(assetDir, 'splash.bmp'));
    const f = await frame(page);
    // The frame's width in game pixels is that of the form; the scale is a whole number.
    const scale = Math.max(1, Math.round(size[0] / 903));
    let same = true, where = '';
    for (let y = 0; y < splash.h && same; y += 3)
      for (let x = 0; x < splash.w; x += 3) {
        const a = pixel(f, scale, 8 + x, 8 + y), b = splash.px(x, y);
        if (a[0] !== b[0] || a[1] !== b[1] || a[2] !== b[2]) { same = false; where = x + ',' + y + ': ' + a + ' vs ' + b; break; }
      }
    check(same, 'the splash on the canvas is splash.bmp, at scale ' + scale + ' (' + size + ')', where);

    // Then the music comes, and the title track plays from its start.
    check(heldMusic.length === 1 && /rmusic0\.ogg$/.test(heldMusic[0].url()),
          'the page asks for the title music first, and the splash did not wait for it', heldMusic.map((r) => r.url()).join(' '));
    holdMusic = false;
    heldMusic.forEach((r) => r.continue());
    const music = () => page.evaluate(() => UTF8ToString(Module._qv_web_music()));
    const heard = await page.waitForFunction(() => /^0: [1-9]\d*\//.test(UTF8ToString(Module._qv_web_music())), { timeout: 10000, polling: 50 })
      .then(() => music(), () => music());
    await sleep(500);
    const later = await music();
    check(/^0: [1-9]\d*\/\d+ ms/.test(heard) && parseInt(later.slice(3)) > parseInt(heard.slice(3)),
          'the title music plays once it has come', heard + ' then ' + later);

    // A click starts play; creatures come out above their tunnels within 20 s.
    const box = await (await page.$('#canvas')).boundingBox();
    const at = (col, row) => [box.x + (9 + 35 * col + 17) * scale, box.y + (9 + 35 * row + 17) * scale];
    const watched = [[4, 4], [1, 18], [10, 18], [18, 18]];
    const before = await tiles(page, scale, watched);
    await page.mouse.click(...at(10, 10));
    await sleep(400);
    const start = await tiles(page, scale, watched);
    check(start[0] !== before[0], 'a click on the splash starts play');
    const seen = new Set();
    const began = Date.now();
    while (Date.now() - began < 20000) {
      const later = await tiles(page, scale, watched);
      ['E', 'S', 'F'].forEach((k, i) => { if (later[i + 1] !== start[i + 1]) seen.add(k); });
      await sleep(250);
    }
    check(seen.size === 3, 'creatures of all three kinds came out above their tunnels in 20 s', [...seen].join(''));
    await page.evaluate(() => Module._qv_web_frame_stats());
    await sleep(100);
    console.log('FIGURE frames in the first 20 s of play: ' + stats);

    // P shows the pause panel (black over the board); P again takes it away.
    await page.keyboard.press('p');
    await sleep(400);
    const dark = await page.evaluate((scale) => {
      const ctx = document.getElementById('canvas').getContext('2d');
      return [[3, 3], [10, 10], [15, 5]].every(([c, r]) => {
        const d = ctx.getImageData((9 + 35 * c) * scale, (9 + 35 * r) * scale, 1, 1).data;
        return d[0] === 0 && d[1] === 0 && d[2] === 0;
      });
    }, scale);
    check(dark, 'P shows the pause panel');
    await page.keyboard.press('p');
    await sleep(300);

    // The tab hidden during play: the game pauses as P pauses it (and the replay, checked on
    // Linux below, holds that key); P on coming back goes on.
    const paused = () => page.evaluate((scale) => {
      const d = document.getElementById('canvas').getContext('2d').getImageData((9 + 35 * 10) * scale, (9 + 35 * 10) * scale, 1, 1).data;
      return d[0] === 0 && d[1] === 0 && d[2] === 0;
    }, scale);
    const wasPaused = await paused();
    const soundWhileHidden = await page.evaluate(() => new Promise((resolve) => {
      Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
      setTimeout(() => {
        const hidden = Module.SDL2.audioContext.state;
        Object.defineProperty(document, 'visibilityState', { value: 'visible', configurable: true });
        document.dispatchEvent(new Event('visibilitychange'));
        setTimeout(() => resolve(hidden + ' then ' + Module.SDL2.audioContext.state), 200);
      }, 200);
    }));
    await sleep(300);
    check(!wasPaused && await paused(), 'a tab hidden during play comes back paused');
    check(soundWhileHidden === 'suspended then running', 'the sound stops while the tab is hidden, and goes on after', soundWhileHidden);
    await page.keyboard.press('p');
    await sleep(300);
    check(!(await paused()), 'and P goes on');

    // The session's replay through the page's button, checked on Linux.
    const replayName = await page.evaluate(() => UTF8ToString(Module._qv_web_replay_path()));
    let replay = await downloadReplay(page);
    const firstReplay = replay;
    if (check(!!replay, 'the page downloads the session\'s replay')) checkOnLinux(replay, false);

    // Fullscreen and back with the page's button: the game at the largest whole scale that
    // fits the screen, then as it was.
    const canvasSize = () => page.evaluate(() => document.getElementById('canvas').width);
    const windowed = await canvasSize();
    await page.click('#fullscreen');
    await page.waitForFunction(() => document.fullscreenElement && document.fullscreenElement.id === 'stage', { timeout: 3000 })
      .catch(() => {});
    const full = await page.evaluate(() => [!!document.fullscreenElement, screen.width, screen.height]);
    await sleep(300);
    const fullWidth = await canvasSize();
    const fits = Math.max(1, Math.min(Math.floor(full[1] / 903), Math.floor(full[2] / 717)));
    check(full[0] && fullWidth === 903 * fits, 'the Fullscreen button shows the game alone at the largest whole scale that fits',
          full + ' → ' + fullWidth);
    await page.click('#fullscreen');
    await page.waitForFunction(() => !document.fullscreenElement, { timeout: 3000 }).catch(() => {});
    await sleep(300);
    check((await canvasSize()) === windowed, 'and again, back in the page as it was', windowed + ' → ' + (await canvasSize()));
    const heap = await page.evaluate(() => HEAP8.length);
    console.log('FIGURE the wasm heap after ' + ((Date.now() - began) / 1000).toFixed(0) + ' s of play: ' + (heap / 1048576).toFixed(0) + ' MB');
    console.log('FIGURE the page transferred: ' + (transferred / 1048576).toFixed(2) + ' MB');
    check(errors.length === 0, 'no console error', errors.join(' | '));

    // Hidden and back: the files are kept; after a reload the replay is still there.
    await page.evaluate(() => new Promise((r) => Module.qvSave(r)));
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000 });
    const kept = await page.evaluate((name) => {
      try { return FS.readdir('/home/web_user/.local/state/quorvatide/replays/').includes(name); } catch (e) { return String(e); }
    }, path.basename(replayName));
    check(kept === true, 'after a reload the replay is still in the page\'s storage', String(kept));

    // Settings of the player's own, kept by the page: debug mode, whose creature log the
    // browser's replay gives on Linux byte for byte as in the WebAssembly build.
    const settings = fs.readFileSync(path.join(assetDir, 'settings.ini'), 'latin1').replace(/^DEBUG=0/m, 'DEBUG=1');
    await page.evaluate((text) => new Promise((r) => {
      FS.mkdirTree('/home/web_user/.config/quorvatide');
      FS.writeFile('/home/web_user/.config/quorvatide/settings.ini', text);
      Module.qvSave(r);
    }), settings);
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000 });
    await sleep(300);
    await page.mouse.click(...at(10, 10));
    await sleep(12000);
    await page.mouse.click(...at(5, 12));
    await sleep(3000);
    await page.click('#download-debug');
    let log = null;
    for (let i = 0; i < 30 && !log; i++) {
      await sleep(100);
      if (fs.existsSync(path.join(downloads, 'debug.txt'))) log = fs.readFileSync(path.join(downloads, 'debug.txt'), 'latin1');
    }
    check(log !== null && (log === '' || /\r\n$/.test(log)), 'in debug mode the page downloads debug.txt', log === null ? 'none' : log.length + ' bytes');
    replay = await downloadReplay(page);
    if (check(!!replay, 'the page downloads the debug session\'s replay')) checkOnLinux(replay, true);

    // Watch a replay: the file chosen with the page's button plays by itself, from its splash
    // click on, with no input of the player's.
    if (firstReplay) {
      const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 5000 }), page.click('#watch')]);
      await Promise.all([page.waitForNavigation({ waitUntil: 'load', timeout: 20000 }), chooser.accept([firstReplay])]);
      await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000 });
      const splashTiles = await tiles(page, scale, watched);
      let played = false;
      for (let i = 0; i < 40 && !played; i++) {
        await sleep(250);
        played = (await tiles(page, scale, watched))[0] !== splashTiles[0];
      }
      check(played && page.url().includes('watch=' + encodeURIComponent(path.basename(firstReplay))),
            'a replay chosen with the Watch button plays in the page by itself', page.url());
      // While it is watched, the session's replay is the one watched (downloaded again, under
      // its name).
      const watchedBytes = fs.readFileSync(firstReplay);
      fs.unlinkSync(firstReplay);
      await page.click('#download-replay');
      for (let i = 0; i < 30 && !fs.existsSync(firstReplay); i++) await sleep(100);
      await sleep(200);
      check(fs.existsSync(firstReplay) && fs.readFileSync(firstReplay).equals(watchedBytes),
            'while a replay is watched, the page downloads that replay', await page.$eval('#status', (e) => e.textContent));
    }
    // A file that is no replay: one line on the page that names it, and a way back.
    const bad = path.join(work, 'not-a-replay.qvr');
    fs.writeFileSync(bad, 'this is no replay\n');
    {
      const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 5000 }), page.click('#watch')]);
      await Promise.all([page.waitForNavigation({ waitUntil: 'load', timeout: 20000 }), chooser.accept([bad])]);
      const said = await page.waitForFunction(() => /cannot start/.test(document.getElementById('status').textContent), { timeout: 20000 })
        .then(() => page.$eval('#status', (e) => e.textContent), () => '');
      check(/^The game cannot start: not-a-replay\.qvr: .+\. Back to the game$/.test(said), 'a chosen file that is no replay is named on the page in one line', said);
      await Promise.all([page.waitForNavigation({ waitUntil: 'load', timeout: 20000 }), page.click('#status button')]);
      await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000 });
      // The refused file is not kept.
      await page.goto(url + '?watch=not-a-replay.qvr', { waitUntil: 'load' });
      const again = await page.waitForFunction(() => /cannot start/.test(document.getElementById('status').textContent), { timeout: 20000 })
        .then(() => page.$eval('#status', (e) => e.textContent), () => '');
      check(/^The game cannot start: not-a-replay\.qvr: No such file or directory\./.test(again), 'a chosen file the game refuses is not kept', again);
    }

    // Check a replay: the daily replay made on Linux is proven in the page with the Linux
    // build's very line, and one whose date was changed is refused with its reason. ?daily
    // starts today's daily challenge, whose replay names the day (UTC) and its first try.
    {
      const started = () => page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000 });
      const checked = async (file) => {
        await page.evaluate(() => { Module.qvChecked = ''; });
        const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 5000 }), page.click('#check')]);
        await chooser.accept([file]);
        await page.waitForFunction(() => Module.qvChecked, { timeout: 20000 }).catch(() => {});
        return page.$eval('#status', (e) => e.textContent);
      };
      const t0 = Date.now();
      await page.goto(url, { waitUntil: 'load' });
      await started();
      const daily = path.join(__dirname, '../daily/daily-2026-12-09.qvr');
      const proven = fs.readFileSync(path.join(__dirname, '../daily/proven.txt'), 'utf8').trim();
      const said = await checked(daily);
      check(said === 'daily-2026-12-09.qvr: ' + proven, 'Check a replay proves the daily replay made on Linux with the Linux build\'s line', said);
      const tampered = path.join(work, 'daily-tampered.qvr');
      fs.writeFileSync(tampered, Buffer.from(fs.readFileSync(daily, 'latin1').replace('daily: 2026-12-09', 'daily: 2026-12-10'), 'latin1'));
      const refused = await checked(tampered);
      check(/^daily-tampered\.qvr: daily 2026-12-10, try 1: not proven: the seed does not follow from the day: /.test(refused),
            'and refuses one whose date was changed, saying why', refused);
      const before = new Date().toISOString().slice(0, 10);
      await page.goto(url + '?daily', { waitUntil: 'load' });
      await started();
      const after = new Date().toISOString().slice(0, 10);
      const head = String(await readInPage(page, await page.evaluate(() => UTF8ToString(Module._qv_web_replay_path()))) || '').split('\n\n')[0];
      const line = (/^daily: .*$/m.exec(head) || [''])[0];
      check((line === 'daily: ' + before + ', try 1' || line === 'daily: ' + after + ', try 1') && !/^speed:/m.test(head),
            '?daily starts today\'s daily challenge, its first try, at 100 %', line);
      console.log('FIGURE the daily challenge in the page: ' + ((Date.now() - t0) / 1000).toFixed(1) + ' s');
    }

    // The build's symbol map: each function's name by its index.
    const symbols = new Map();
    const symbolFile = path.join(distDir, 'quorvatide.js.symbols');
    if (fs.existsSync(symbolFile))
      for (const line of fs.readFileSync(symbolFile, 'utf8').split('\n')) {
        const colon = line.indexOf(':');
        if (colon > 0) symbols.set(line.slice(0, colon), line.slice(colon + 1));
      }
    // A fault on purpose at the first tick of play: the crash report on the page. In the
    // WebAssembly a write through a null pointer faults nothing: the fault signal raised after
    // it must still stop the game. A stack overflow is the engine's; memory that cannot be had
    // is a std::bad_alloc nobody catches.
    for (const how of ['throw', 'abort', 'segv', 'fpe', 'stack', 'memory']) {
      await page.goto(url + '?crash=' + how, { waitUntil: 'load' });
      await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000 });
      await sleep(300);
      await page.mouse.click(...at(10, 10));
      const shown = await page.waitForFunction(() => !document.getElementById('crash').hidden, { timeout: 10000 })
        .then(() => true, () => false);
      const text = shown ? await page.$eval('#crash-text', (e) => e.textContent) : '';
      check(shown && /^Quorvatide crash report/.test(text) && /Version: /.test(text) && /Screen: play/.test(text) && /Replay: \/home/.test(text) &&
            /Tick: [1-9]/.test(text), 'a test crash (' + how + ') shows the crash report', text.split('\n').slice(0, 9).join(' / '));
      // Its backtrace: the WebAssembly frames, which the build's symbol map names.
      const frames = [...text.matchAll(/^#\d+ +0x[0-9a-f]+ wasm-function\[(\d+)\] \(quorvatide\.wasm\+0x[0-9a-f]+\)$/gm)].map((m) => m[1]);
      const named = frames.map((i) => (symbols.get(i) || '?').replace(/\\([0-9a-f]{2})/g, (m, h) => String.fromCharCode(parseInt(h, 16))));
      check(named.some((n) => /CrashOnPurpose|RecurseWithoutEnd|::Frame\(|OnTerminate/.test(n)),
            'its backtrace is the game\'s frames (' + how + ')', named.slice(0, 6).join(' < '));
      if (how === 'throw' && shown) {
        await page.click('#crash-report');
        let got = null;
        for (let i = 0; i < 30 && !got; i++) {
          await sleep(100);
          got = fs.readdirSync(downloads).find((n) => /^crash-.*\.txt$/.test(n));
        }
        check(got && fs.readFileSync(path.join(downloads, got), 'utf8') === text, 'the page\'s button downloads that report', got);
      }
    }
    // A browser without WebAssembly (taken away before the page's script runs): one plain
    // sentence, not a blank page.
    const plain = await browser.newPage();
    await plain.evaluateOnNewDocument(() => { delete window.WebAssembly; });
    await plain.goto(url, { waitUntil: 'load' });
    const text = await plain.evaluate(() => document.body.innerText.trim());
    check(/needs a browser with WebAssembly/.test(text) && !text.includes('\n'), 'without WebAssembly the page says so in one sentence', text);
    await lessonTest(browser, url);
    // The storage's tests, the phone's and the offline page's, each in a browser of its own.
    await browser.close();
    await storageTests(url);
    await menuTests(url);
    await phoneTests({ url, launch, check, sleep, work, downloads, checkOnLinux, assetDir, desktopStats: stats });
    const source = path.join(__dirname, '../..');
    await offlineTests({
      launch, check, sleep, work, serveScript: path.join(source, 'scripts/serve_web.py'),
      pageScript: { dir: distDir, cmake: path.join(source, 'cmake/web_page.cmake') },
      swSource: path.join(source, 'platform/web/sw.js.in'),
      version: /project\(Quorvatide VERSION ([\d.]+)/.exec(fs.readFileSync(path.join(source, 'CMakeLists.txt'), 'utf8'))[1],
    });
  } finally {
    if (browser.connected) await browser.close();
    server.kill();
  }
}

main().catch((e) => { check(false, 'the page test ran', e && e.stack || String(e)); })
  .finally(() => {
    console.log(passed + ' passed, ' + failed + ' failed');
    process.exit(failed ? 1 : 0);
  });
