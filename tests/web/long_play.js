// Not part of the suite: plays the page for a while in headless chromium, clicking over the
// board now and then, and prints the WebAssembly heap and the frames' times at the end.
//   node long_play.js <served page URL> [minutes, default 5] [still: no clicks after the first]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

(async () => {
  const url = process.argv[2], minutes = Number(process.argv[3] || 5), still = process.argv[4] === 'still';
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'quorvatide-long-')),
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--disable-quic', '--autoplay-policy=no-user-gesture-required'],
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 900 });
  page.on('console', (m) => { if (/frames, compose|error/i.test(m.text())) console.log(m.text()); });
  await page.goto(url + '?stats=1', { waitUntil: 'load' });
  await page.waitForFunction(() => window.Module && Module.qvStarted && Module.calledRun, { timeout: 30000 });
  const box = await (await page.$('#canvas')).boundingBox();
  await page.mouse.click(box.x + 360, box.y + 360);
  const end = Date.now() + minutes * 60000;
  let n = 0;
  while (Date.now() < end) {
    await new Promise((r) => setTimeout(r, 3000));
    // A restart after a fallen base, or a sign somewhere on the board.
    if (!still) await page.mouse.click(box.x + 30 + (n * 137) % 640, box.y + 30 + (n * 251) % 640);
    n++;
  }
  await page.evaluate(() => Module._qv_web_frame_stats());
  const heap = await page.evaluate(() => HEAP8.length);
  console.log('wasm heap after ' + minutes + ' min of play: ' + (heap / 1048576).toFixed(0) + ' MB');
  await browser.close();
})();
