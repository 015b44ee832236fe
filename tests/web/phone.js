// The page on a phone and offline, for page_test.js. On a phone's screen with touch (touch
// events, never the mouse): in portrait and in landscape every corner of the board is on the
// screen, a touch carries the pointer to the tile under the finger with the magnifier beside
// it, and a game is played by touch alone to a sign ordered and built and a bot bought, whose
// replay checks on Linux; no gesture scrolls or zooms the page; a tablet's tap is a click. And
// the page kept for playing offline: after one visit it plays with the network cut, its
// manifest has no errors, a second visit fetches nothing but the version check, and a new
// version replaces every kept file at the next visit.
'use strict';
const { spawn, spawnSync } = require('child_process');
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');

// The game's state as the page's test hook tells it ("play: signs 1 (1 built), …").
const state = (page) => page.evaluate(() => UTF8ToString(Module._qv_web_play_state()));
// The pointer a finger carries: null, or its highlight [left, top, right, bottom].
const carried = (page) => page.evaluate(() => {
  const p = Module._qv_web_pointer() >> 2;
  return HEAP32[p] ? [HEAP32[p + 1], HEAP32[p + 2], HEAP32[p + 3], HEAP32[p + 4]] : null;
});
const started = (page) => page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun,
                                               { timeout: 30000, polling: 100 });

async function phoneTests({ url, launch, check, sleep, work, downloads, checkOnLinux, assetDir, desktopStats }) {
  const t0 = Date.now();
  const browser = await launch(path.join(work, 'phone-profile'));
  const errors = [];
  try {
    const page = await browser.newPage();
    const cdp = await page.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads }).catch(() => {});
    await browser.target().createCDPSession().then((b) => b.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads }));
    let stats = '';
    page.on('console', (m) => {
      // The game's canvas cancels every touch (SDL does, so that no mouse is made of it); the
      // browser now and then hands a touch over uncancellable and says so. That is its note,
      // not the page's error: what a touch does is checked below.
      if (m.type() === 'error' && !/^Ignored attempt to cancel a touch/.test(m.text())) errors.push(m.text());
      if (/ frames, compose /.test(m.text())) stats = m.text();
    });
    page.on('pageerror', (e) => errors.push(String(e)));
    const phone = (width, height) => page.setViewport({ width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
    await phone(390, 844);
    // Settings of the player's own, kept by the page: a bot for 20 scrap, so that the 50 a game
    // starts with buy a sign and a bot.
    await page.goto(url, { waitUntil: 'load' });
    await started(page);
    const settings = fs.readFileSync(path.join(assetDir, 'settings.ini'), 'latin1').replace(/^BOTCOST=\d+/m, 'BOTCOST=20');
    await page.evaluate((text) => new Promise((r) => {
      FS.mkdirTree('/home/web_user/.config/quorvatide');
      FS.writeFile('/home/web_user/.config/quorvatide/settings.ini', text);
      Module.qvSave(r);
    }), settings);
    await page.goto(url + '?stats=1', { waitUntil: 'load' });
    await started(page);
    await sleep(500);

    // Where a game pixel is on the screen, in CSS pixels.
    const layout = () => page.evaluate(() => {
      const r = document.getElementById('canvas').getBoundingClientRect();
      return { left: r.left, top: r.top, k: r.width / 903, kh: r.height / 717, w: innerWidth, h: innerHeight,
               side: document.getElementById('side').getBoundingClientRect().toJSON() };
    });
    const at = (l, x, y) => [l.left + x * l.k, l.top + y * l.k];
    const tileAt = (l, col, row) => at(l, 9 + 35 * col + 17, 9 + 35 * row + 17);
    // The board's four corners on the screen, and drawn there: the average colour of each corner
    // tile's middle on the screenshot is the canvas's own.
    async function cornersShown(what) {
      const l = await layout();
      const corners = [[9, 9], [709, 9], [9, 709], [709, 709]].map(([x, y]) => at(l, x, y));
      const inside = corners.every(([x, y]) => x >= 0 && y >= 0 && x <= l.w && y <= l.h);
      const shot = await page.screenshot({ encoding: 'base64' });
      // Each corner tile's middle (15 × 15 game pixels), averaged on the canvas and on the
      // screenshot (decoded by the browser), the worst difference of a channel.
      const worst = await page.evaluate(async (shot, l) => {
        const image = await createImageBitmap(await (await fetch('data:image/png;base64,' + shot)).blob());
        const screen = new OffscreenCanvas(image.width, image.height).getContext('2d');
        screen.drawImage(image, 0, 0);
        const ratio = image.width / l.w, ctx = document.getElementById('canvas').getContext('2d');
        const mean = (d) => {
          const sum = [0, 0, 0];
          for (let i = 0; i < d.length; i += 4) for (let k = 0; k < 3; k++) sum[k] += d[i + k];
          return sum.map((v) => v / (d.length / 4));
        };
        let worst = 0;
        for (const [c, r] of [[0, 0], [19, 0], [0, 19], [19, 19]]) {
          const gx = 9 + 35 * c + 10, gy = 9 + 35 * r + 10;
          const own = mean(ctx.getImageData(gx, gy, 15, 15).data);
          const x0 = Math.ceil((l.left + gx * l.k) * ratio), y0 = Math.ceil((l.top + gy * l.k) * ratio);
          const n = Math.floor(15 * l.k * ratio) - 1;
          const shown = mean(screen.getImageData(x0, y0, n, n).data);
          own.forEach((v, k) => { worst = Math.max(worst, Math.abs(v - shown[k])); });
        }
        return worst;
      }, shot, l);
      check(inside && worst <= 16, what + ': every corner of the board is on the screen (' + l.w + ' × ' + l.h + ', the game at ' +
            l.k.toFixed(3) + '×)', 'corners ' + JSON.stringify(corners.map((p) => p.map(Math.round))) + ', colours off by ' + worst.toFixed(1));
      return l;
    }

    // Portrait: the board's corners on the screen, the game smaller than 1× and scaled smoothly.
    let l = await cornersShown('a phone in portrait');
    check(l.k < 1 && Math.abs(l.k - l.kh) < 0.002 && l.side.top >= l.top + 717 * l.k - 1,
          'in portrait the game fits the width, the page\'s buttons under it', JSON.stringify(l));

    // A tap on the splash starts play.
    await page.touchscreen.tap(...at(l, 450, 360));
    await sleep(400);
    check(/^play:/.test(await state(page)), 'a tap on the splash starts play', await state(page));

    // A finger down on a tile: the pointer goes to that tile (taps land through the browser's
    // scaling), the magnifier shows it above the finger; moved, the pointer follows; lifted, the
    // build menu opens on the tile the finger left it on.
    await page.touchscreen.touchStart(...tileAt(l, 12, 5));
    await sleep(150);
    const first = await carried(page);
    const loupe = await page.evaluate(() => {
      const box = document.getElementById('loupe');
      if (box.hidden) return null;
      const r = box.getBoundingClientRect(), d = box.getContext('2d').getImageData(0, 0, box.width, box.height).data;
      let yellow = 0;
      for (let i = 0; i < d.length; i += 4) if (d[i] > 230 && d[i + 1] > 190 && d[i + 1] < 235 && d[i + 2] < 40) yellow++;
      return { rect: r.toJSON(), yellow };
    });
    await page.touchscreen.touchMove(...tileAt(l, 13, 6));
    await sleep(150);
    const moved = await carried(page);
    await page.touchscreen.touchEnd();
    await sleep(300);
    const [fx, fy] = tileAt(l, 12, 5);
    check(JSON.stringify(first) === JSON.stringify([9 + 35 * 12, 9 + 35 * 5, 9 + 35 * 13, 9 + 35 * 6]) &&
          JSON.stringify(moved) === JSON.stringify([9 + 35 * 13, 9 + 35 * 6, 9 + 35 * 14, 9 + 35 * 7]),
          'a finger carries the pointer to the tile under it, and it follows the finger', JSON.stringify([first, moved]));
    check(loupe && loupe.yellow > 100 && loupe.rect.bottom <= fy - 20 && loupe.rect.width >= 120 &&
          loupe.rect.top >= 0 && loupe.rect.left >= 0 && loupe.rect.right <= l.w,
          'the magnifier shows the pointer\'s tile enlarged, on the screen, above the finger',
          JSON.stringify(loupe) + ' finger at ' + fx.toFixed(0) + ',' + fy.toFixed(0));
    let s = await state(page);
    const menu = /menu build at (\d+),(\d+)/.exec(s);
    check(menu && (await carried(page)) === null, 'lifted, the finger clicks there: the build menu opens, the magnifier goes', s);

    // The menu's first item (the sign pointing up), touched: a sign ordered, and in time built.
    if (menu) await page.touchscreen.tap(...at(l, +menu[1] + 3 + 17, +menu[2] + 17 + 17));
    await sleep(300);
    s = await state(page);
    check(/signs 1 \(0 built\), orders [01], bots 1, scrap 40, menu none/.test(s), 'a touch on the menu\'s item orders a sign', s);
    const building = Date.now();
    while (Date.now() - building < 20000 && !/signs 1 \(1 built\)/.test(s)) {
      await sleep(250);
      s = await state(page);
    }
    check(/signs 1 \(1 built\)/.test(s), 'and a bot builds it (' + ((Date.now() - building) / 1000).toFixed(1) + ' s)', s);

    // The orb and its menu's item: a bot bought.
    await page.touchscreen.tap(...tileAt(l, 9, 0));
    await sleep(300);
    const orb = /menu orb at (\d+),(\d+)/.exec(await state(page));
    if (orb) await page.touchscreen.tap(...at(l, +orb[1] + 24 + 17, +orb[2] + 16 + 17));
    await sleep(300);
    s = await state(page);
    check(orb && /bots 2, scrap 20, menu none/.test(s), 'a touch on the orb and on its menu\'s item buys a bot', s);

    // The Pause button pauses; a tap on the game goes on.
    const pause = await page.$('#pause');
    const pauseBox = await pause.boundingBox();
    check(pauseBox && pauseBox.height >= 44 && pauseBox.y + pauseBox.height <= l.h,
          'the page\'s buttons are a finger\'s size and on the screen', JSON.stringify(pauseBox));
    await page.touchscreen.tap(pauseBox.x + pauseBox.width / 2, pauseBox.y + pauseBox.height / 2);
    await sleep(300);
    const paused = await state(page);
    await page.touchscreen.tap(...at(l, 450, 360));
    await sleep(300);
    check(/^paused:/.test(paused) && /^play:/.test(await state(page)), 'the Pause button pauses, and a tap on the game goes on',
          paused + ' then ' + (await state(page)));

    // No gesture scrolls or zooms the page: a drag down from the top (a pull to refresh) and
    // up, a pinch, a double tap, on the game and beside it, as the browser's own touches.
    const still = () => page.evaluate(() => [scrollX, scrollY, visualViewport.scale, visualViewport.offsetLeft, visualViewport.offsetTop,
                                             document.scrollingElement.scrollTop].join(','));
    const touches = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
    const before = await still();
    for (const [x, y] of [at(l, 450, 300), [l.w / 2, 20], [l.w / 2, l.h - 30]]) {
      for (const dy of [25, -25]) {
        await touches('touchStart', [[x, y]]);
        for (let i = 1; i <= 8; i++) await touches('touchMove', [[x, Math.max(1, Math.min(l.h - 1, y + dy * i))]]);
        await touches('touchEnd', []);
        await sleep(200);
      }
      await touches('touchStart', [[x - 20, y], [x + 20, y]]);
      for (let i = 1; i <= 8; i++) await touches('touchMove', [[x - 20 - 12 * i, y], [x + 20 + 12 * i, y]]);
      await touches('touchEnd', []);
      await sleep(200);
      for (let i = 0; i < 2; i++) {
        await touches('touchStart', [[x, y]]);
        await touches('touchEnd', []);
        await sleep(60);
      }
    }
    await sleep(700);
    check(before === '0,0,1,0,0,0' && (await still()) === before, 'no drag, pinch or double tap scrolls or zooms the page', before + ' → ' + (await still()));
    // The taps among them may have left a menu open: a tap on the board far from it closes it.
    if (!/menu none/.test(await state(page))) await page.touchscreen.tap(...tileAt(l, 1, 18));
    await sleep(300);

    // Landscape: the game fills the screen's height, the buttons beside it, the corners on
    // the screen; a finger slid off the board before lifting clicks nothing.
    await phone(844, 390);
    await sleep(500);
    l = await cornersShown('a phone in landscape');
    check(Math.abs(717 * l.k - l.h) < 1 && l.side.left >= l.left + 903 * l.k - 1, 'in landscape the game fills the screen\'s height, the buttons beside it',
          JSON.stringify(l));
    s = await state(page);
    await page.touchscreen.touchStart(...tileAt(l, 4, 15));
    await sleep(150);
    const landscape = await carried(page);
    await page.touchscreen.touchMove(l.left + 880 * l.k, l.top + 300 * l.k);
    await sleep(150);
    const off = await carried(page);
    await page.touchscreen.touchEnd();
    await sleep(300);
    check(JSON.stringify(landscape) === JSON.stringify([9 + 35 * 4, 9 + 35 * 15, 9 + 35 * 5, 9 + 35 * 16]) && off === null &&
          /menu none/.test(await state(page)), 'in landscape the finger finds its tile; slid off the board it clicks nothing',
          JSON.stringify([landscape, off, await state(page)]));

    // The smallest screen: nothing of the game off it, nor of its buttons; More… shows the
    // others over the page, and Close hides them.
    await phone(320, 320);
    await sleep(500);
    l = await layout();
    const onScreen = (selector) => page.$eval(selector, (e) => {
      const r = e.getBoundingClientRect();
      return getComputedStyle(e).display !== 'none' && r.width > 0 && r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight;
    });
    const tapOn = async (selector) => {
      const b = await (await page.$(selector)).boundingBox();
      await page.touchscreen.tap(b.x + b.width / 2, b.y + b.height / 2);
      await sleep(200);
    };
    const small = [await onScreen('#pause'), await onScreen('#more'), await onScreen('#download-replay')];
    await tapOn('#more');
    const opened = [await onScreen('#download-replay'), await onScreen('#fullscreen'), await onScreen('#watch')];
    await tapOn('#more');
    const closed = await onScreen('#download-replay');
    check(l.left >= 0 && l.top >= 0 && l.left + 903 * l.k <= 320.5 && l.top + 717 * l.k <= 320.5 && small.join() === 'true,true,false' &&
          opened.every((v) => v) && !closed, 'at 320 × 320 the whole game is on the screen, Pause and More… too, and More… shows the other buttons',
          JSON.stringify({ l, small, opened, closed }));

    // The frames at the phone's scale: composing and presenting cost what they cost on the
    // desktop (the window stays at 1×; the browser scales it), and the magnifier little.
    await page.evaluate(() => Module._qv_web_frame_stats());
    await sleep(100);
    const perFrame = (line) => { const m = / compose ([\d.]+) us, present ([\d.]+) us/.exec(line || ''); return m ? +m[1] + +m[2] : NaN; };
    const loupeMs = await page.evaluate(() => Module.qvLoupeMs / Math.max(1, Module.qvLoupeFrames));
    console.log('FIGURE frames at the phone\'s scale: ' + stats + '; the magnifier ' + (loupeMs * 1000).toFixed(0) + ' us a frame it shows');
    check(perFrame(stats) <= 2 * perFrame(desktopStats), 'a frame at the phone\'s scale costs at most twice the desktop\'s',
          perFrame(stats).toFixed(0) + ' us against ' + perFrame(desktopStats).toFixed(0) + ' us');

    // The replay, downloaded with a tap on the page's button, checks on Linux.
    await phone(390, 844);
    await sleep(300);
    const name = path.basename(await page.evaluate(() => UTF8ToString(Module._qv_web_replay_path())));
    await tapOn('#more');
    await tapOn('#download-replay');
    let replay = null;
    for (let i = 0; i < 50 && !replay; i++) {
      await sleep(100);
      if (name && fs.existsSync(path.join(downloads, name))) replay = path.join(downloads, name);
    }
    await sleep(200);
    if (check(!!replay, 'a tap on the page\'s button downloads the replay of the game played by touch')) checkOnLinux(replay, false);

    // A tablet, where the game is shown at 1×: a tap is the click itself, no pointer carried.
    await page.setViewport({ width: 1280, height: 900, isMobile: true, hasTouch: true });
    await sleep(500);
    l = await layout();
    await page.touchscreen.touchStart(...tileAt(l, 15, 12));
    await sleep(150);
    const direct = await carried(page);
    await page.touchscreen.touchEnd();
    await sleep(300);
    s = await state(page);
    check(l.k === 1 && direct === null && /menu build/.test(s), 'on a tablet at 1× a tap is a click, with no pointer carried', JSON.stringify([l.k, direct, s]));
    check(errors.length === 0, 'no console error on the phone', errors.join(' | '));
  } finally {
    await browser.close();
    console.log('FIGURE the phone tests: ' + ((Date.now() - t0) / 1000).toFixed(0) + ' s');
  }
}

// The page kept for playing offline, on a server of its own over a copy of the page, whose
// requests it counts: the first visit's transfer (gzipped, as the server sends it, the service
// worker's copying included), a second visit that asks the server for nothing but the service
// worker (the version check), a reload with the server gone and the network cut, and a new
// version served: the next visit runs it, every kept file its own.
async function offlineTests({ launch, check, sleep, work, serveScript, pageScript, swSource, version }) {
  const t0 = Date.now();
  const site = path.join(work, 'site');
  const pageFiles = ['index.html', 'manifest.webmanifest', 'sw.js', 'quorvatide.js', 'quorvatide.wasm', 'quorvatide.data', 'icons', 'music'];
  fs.mkdirSync(site);
  for (const name of pageFiles) fs.cpSync(path.join(pageScript.dir, name), path.join(site, name), { recursive: true });
  let log = [], server = null, port = 0;
  function serve() {
    server = spawn('python3', [serveScript, site, '--port', String(port), '--log'], { stdio: ['ignore', 'pipe', 'inherit'] });
    return new Promise((resolve, reject) => {
      let first = true, rest = '';
      server.stdout.on('data', (b) => {
        const lines = (rest + b).split('\n');
        rest = lines.pop();
        for (const line of lines) {
          if (first) { first = false; port = +new URL(line).port; resolve(line.trim()); } else log.push(line.split(' '));
        }
      });
      server.once('exit', () => reject(new Error('the server did not start')));
    });
  }
  const url = await serve();
  const browser = await launch(path.join(work, 'offline-profile'));
  const errors = [];
  try {
    const page = await browser.newPage();
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.setViewport({ width: 844, height: 390, isMobile: true, hasTouch: true });
    const cdp = await page.target().createCDPSession();
    // The first visit: the game, its music, then the service worker keeps it all.
    await page.goto(url, { waitUntil: 'load' });
    await started(page);
    const active = await page.waitForFunction(() => navigator.serviceWorker.controller &&
                                              navigator.serviceWorker.controller.state === 'activated', { timeout: 60000, polling: 200 })
      .then(() => true, () => false);
    const sent = log.reduce((n, [, , , bytes]) => n + +bytes, 0);
    console.log('FIGURE the first visit: ' + log.length + ' requests, ' + (sent / 1048576).toFixed(2) + ' MB sent gzipped (' +
                log.filter(([, , code]) => code === '304').length + ' answered "not modified")');
    check(active && sent <= 6 * 1048576, 'after the first visit the service worker is active; the visit took at most 6 MB gzipped',
          (sent / 1048576).toFixed(2) + ' MB');
    const manifest = await cdp.send('Page.getAppManifest');
    let parsed = null;
    try { parsed = JSON.parse(manifest.data); } catch (e) { }
    check(manifest.errors.length === 0 && parsed && parsed.display === 'fullscreen' && parsed.orientation === 'landscape' &&
          parsed.icons.some((i) => i.sizes === '512x512') && parsed.icons.some((i) => i.sizes === '192x192'),
          'the web app manifest has no errors: fullscreen, landscape, icons of 192 and 512', JSON.stringify(manifest.errors));
    const icons = await page.evaluate(() => Promise.all(['icons/icon-192.png', 'icons/icon-512.png', 'icons/icon-maskable-512.png'].map((src) =>
      new Promise((resolve) => { const i = new Image(); i.onload = () => resolve(i.naturalWidth); i.onerror = () => resolve(0); i.src = src; }))));
    check(icons.join() === '192,512,512', 'its icons are the game\'s, in their sizes', icons.join());

    // The second visit: nothing from the network but the service worker's version check.
    log = [];
    await page.reload({ waitUntil: 'load' });
    await started(page);
    await sleep(1500);
    const asked = log.map(([method, where]) => method + ' ' + where);
    check(asked.length >= 1 && asked.every((a) => a === 'GET /sw.js'), 'a second visit fetches nothing but the version check', asked.join(', '));

    // Offline: the server gone and the network cut, a reload shows the splash and a tap starts
    // play.
    server.kill();
    await new Promise((r) => server.once('exit', r));
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
    await page.reload({ waitUntil: 'load' });
    const splash = await started(page).then(() => page.waitForFunction(() => {
      const c = document.getElementById('canvas');
      const d = c.getContext('2d').getImageData(c.width / 2, c.height / 2, 1, 1).data;
      return c.width >= 903 && d[0] + d[1] + d[2] > 0;
    }, { timeout: 20000, polling: 100 })).then(() => true, () => false);
    const box = await page.evaluate(() => document.getElementById('canvas').getBoundingClientRect().toJSON());
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
    await sleep(500);
    const playing = await state(page).catch(() => '');
    check(splash && /^play:/.test(playing), 'offline, a reload shows the splash and a tap starts play', playing);
    await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });

    // A new version: the page and its program changed, the service worker written anew.
    const html = path.join(site, 'index.html');
    fs.writeFileSync(html, fs.readFileSync(html, 'utf8').replace('</body>', '<!-- the next version -->\n</body>'));
    fs.appendFileSync(path.join(site, 'quorvatide.js'), '\nwindow.qvNextVersion = true;\n');
    const made = spawnSync('cmake', ['-DDIR=' + site, '-DVERSION=' + version, '-DSOURCE=' + swSource, '-P', pageScript.cmake], { encoding: 'utf8' });
    check(made.status === 0, 'the next version\'s service worker is written', made.stderr);
    log = [];
    await serve();
    await page.goto(url, { waitUntil: 'load' });
    const next = await page.waitForFunction(() => window.qvNextVersion === true && window.Module && Module.calledRun,
                                            { timeout: 60000, polling: 200 }).then(() => true, () => false);
    const kept = await page.evaluate(async () => {
      const names = await caches.keys(), files = {};
      for (const name of names) {
        const cache = await caches.open(name);
        for (const request of await cache.keys()) {
          const body = await (await cache.match(request)).arrayBuffer();
          files[name + ' ' + new URL(request.url).pathname.slice(1)] =
            Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', body)), (b) => b.toString(16).padStart(2, '0')).join('');
        }
      }
      return { names, files, html: document.documentElement.outerHTML.includes('the next version') };
    });
    const swText = fs.readFileSync(path.join(site, 'sw.js'), 'utf8');
    const newName = 'quorvatide-' + /const version = '([^']+)'/.exec(swText)[1];
    const listed = [...swText.matchAll(/\['([^']+)', '([0-9a-f]{64})'\]/g)].map((m) => m[1]);
    const wrong = listed.filter((name) => {
      const hash = crypto.createHash('sha256').update(fs.readFileSync(path.join(site, name))).digest('hex');
      return kept.files[newName + ' ' + name] !== hash;
    });
    check(next && kept.html && kept.names.join() === newName && wrong.length === 0 && Object.keys(kept.files).length === listed.length,
          'a new version replaces every kept file at the next visit, and the page runs it whole',
          JSON.stringify({ next, html: kept.html, caches: kept.names, wrong }));
    check(errors.length === 0, 'no page error offline or in the update', errors.join(' | '));
  } finally {
    await browser.close();
    if (server) server.kill();
    console.log('FIGURE the offline tests: ' + ((Date.now() - t0) / 1000).toFixed(0) + ' s');
  }
}

module.exports = { phoneTests, offlineTests };
