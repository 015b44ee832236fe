// The page's side of the game, run inside the module before the game starts (linked with
// --pre-js, after storage.js, which keeps the player's files in the browser's storage): when
// the files are saved, the page's controls, the size that fits the browser's window, the
// magnifier over a finger, the tab hidden, the music fetched once the game has started, the
// copy kept for playing offline, and a fault shown as a crash report.
(function () {
  'use strict';
  var home = '/home/web_user';
  var stateDir = home + '/.local/state/quorvatide/';
  // The replay the player chose to watch, kept under its own name (the only file there).
  var watchDir = home + '/watch/';
  var query = new URLSearchParams(location.search);
  var $ = function (id) { return document.getElementById(id); };

  // ?watch=NAME shows the replay the player chose last (see the Watch button); ?daily starts
  // today's daily challenge;
  // ?crash=throw (abort, segv, fpe, stack, memory) faults on purpose at the first tick of play,
  // to see the crash report.
  // A file's name alone, never a way out of its folder.
  var baseName = function (name) { name = String(name).replace(/[\/\\]/g, ''); return name === '.' || name === '..' ? '' : name; };
  var watchName = baseName(query.get('watch') || '');
  // ?daily begins with today's daily challenge, ?learn with the lesson.
  if (watchName) Module['arguments'] = ['--replay', watchDir + watchName];
  else if (query.has('daily')) Module['arguments'] = ['--daily'];
  else if (query.has('learn')) Module['arguments'] = ['--learn'];
  // A switch: ?stats, ?stats=1 on; ?stats=0 (or false, off, no) off.
  var stats = query.get('stats');
  stats = stats !== null && !/^(0|false|off|no)$/i.test(stats);

  // The game's one-line messages; the last is shown on the page when the game cannot start.
  var started = false, lastMessage = '';
  Module['printErr'] = function (text) {
    console.warn(text);
    if (/^quorvatide: /.test(text)) lastMessage = text.substring(12).split(watchDir).join('');
  };
  Module['postRun'] = Module['postRun'] || [];
  Module['postRun'].push(function () {
    if (started || Module['qvCrashed']) return;
    $('progress').hidden = true;
    say('The game cannot start: ' + (lastMessage || 'see the browser\'s console') + '.');
    if (watchName) {
      // A chosen file the game refuses is not kept (nor read again at every visit).
      try { FS.unlink(watchDir + watchName); } catch (e) { }
      save();
      var back = document.createElement('button');
      back.textContent = 'Back to the game';
      back.onclick = function () { location.search = ''; };
      $('status').appendChild(document.createTextNode(' '));
      $('status').appendChild(back);
    }
  });

  // The player's files (see storage.js): read before the game starts, and saved as play goes,
  // every `saveEveryMs`, at the end of each game, and when the tab is hidden or left. A line
  // under the game says when they cannot be kept.
  var storage = Module['qvStorage'];
  var saveEveryMs = 10000;
  storage.onLine = function (text) {
    var line = $('storage');
    if (line) { line.textContent = text; line.hidden = !text; }
    if (started) fit();
  };
  // What the recorder still holds goes into the replay's file first.
  function flushReplay() {
    try { if (!Module['qvCrashed'] && Module['_qv_web_flush_replay']) Module['_qv_web_flush_replay'](); } catch (e) { }
  }
  function save(done) {
    flushReplay();
    storage.save(done);
  }
  // The page is hidden or goes away: what this tab wrote, at once.
  function saveNow() {
    flushReplay();
    try { Module['qvReplay'] = sessionReplay(); } catch (e) { }
    storage.saveNow();
  }
  Module['qvSave'] = save;

  Module['preRun'] = Module['preRun'] || [];
  Module['preRun'].push(function () {
    if (query.get('crash')) ENV['QUORVATIDE_TEST_CRASH'] = query.get('crash');
    // ?stats: Module._qv_web_frame_stats() prints the frames' compose and present times.
    if (stats) ENV['QUORVATIDE_FRAME_STATS'] = '1';
    addRunDependency('qv-storage');
    storage.load(watchName, function () { removeRunDependency('qv-storage'); });
  });

  // The progress bar while the game's data loads.
  Module['setStatus'] = function (text) {
    var m = /\((\d+(?:\.\d+)?)\/(\d+)\)/.exec(text || '');
    var bar = $('progress');
    if (!bar) return;
    if (m) { bar.max = +m[2]; bar.value = +m[1]; bar.hidden = false; }
    else if (!text) bar.hidden = true;
  };

  // The game as large as the browser's window lets it be. From 1× up it is shown at the largest
  // whole scale that fits, every game pixel a sharp block, as on the desktop, with the page's
  // buttons under it. Below that (a phone) the window stays at 1× and the browser shrinks it
  // smoothly to the largest size that fits; the buttons shrink to Pause and More…, under the
  // game or beside it, whichever leaves the game larger (a phone held sideways: beside, and the
  // game fills the screen's height).
  var form = { w: 903, h: 717 };
  var shown = 1;
  function fit() {
    if (Module['qvCrashed']) return;
    var w = window.innerWidth, h = window.innerHeight;
    var body = document.body, side = $('side'), canvas = $('canvas');
    var full = !!document.fullscreenElement, open = body.classList.contains('open');
    body.classList.remove('open');
    var arrange = function (compact, beside) {
      body.classList.toggle('compact', compact);
      body.classList.toggle('beside', beside);
      if (full || !side) return Math.min(w / form.w, h / form.h);
      return beside ? Math.min((w - side.offsetWidth - 8) / form.w, h / form.h)
                    : Math.min(w / form.w, (h - side.offsetHeight) / form.h);
    };
    var scale = arrange(false, false);
    if (scale < 1) {
      var below = arrange(true, false), beside = arrange(true, true);
      scale = beside > below ? beside : arrange(true, false);
    }
    body.classList.toggle('open', open && body.classList.contains('compact'));
    var whole = Math.max(1, Math.floor(scale));
    shown = scale >= 1 ? whole : Math.max(scale, 0.05);
    canvas.classList.toggle('smooth', scale < 1);
    canvas.style.width = scale < 1 ? (form.w * shown).toFixed(2) + 'px' : '';
    canvas.style.height = scale < 1 ? (form.h * shown).toFixed(2) + 'px' : '';
    Module['_qv_web_rescale'](whole, shown);
  }

  // The magnifier: while a finger carries the game's pointer (the game shown below 1×, where a
  // tile is smaller than a fingertip), the tiles around the pointer, enlarged with its
  // highlight, in a box above the finger, or beside it where there is no room above. The page
  // draws it from the game's canvas, so the game draws nothing more; it costs a copy a frame,
  // and only while a finger is down.
  var finger = null, loupeOn = false;
  Module['qvLoupeMs'] = 0;
  Module['qvLoupeFrames'] = 0;
  function loupe() {
    var box = $('loupe'), canvas = $('canvas');
    var place = finger ? Module['_qv_web_pointer']() >> 2 : 0;
    if (!finger || !HEAP32[place]) {
      if (loupeOn) box.hidden = true;
      loupeOn = false;
      return;
    }
    var t0 = performance.now();
    var cx = (HEAP32[place + 1] + HEAP32[place + 3]) / 2, cy = (HEAP32[place + 2] + HEAP32[place + 4]) / 2;
    // A tile about 50 CSS pixels wide: two to three times as large as it is shown.
    var zoom = shown * Math.min(3, Math.max(2, 50 / (35 * shown)));
    var size = Math.round(Math.min(180, Math.max(120, 3.4 * 35 * zoom)));
    var gap = 36, edge = 4, x, y;
    var w = window.innerWidth, h = window.innerHeight;
    if (finger.y - gap - size >= edge) {
      x = finger.x - size / 2;
      y = finger.y - gap - size;
    } else {
      x = finger.x > w / 2 ? finger.x - gap - size : finger.x + gap;
      y = finger.y - size / 2;
    }
    x = Math.max(edge, Math.min(w - size - edge, x));
    y = Math.max(edge, Math.min(h - size - edge, y));
    var ratio = window.devicePixelRatio || 1, pixels = Math.round(size * ratio);
    if (box.width !== pixels) { box.width = box.height = pixels; }
    box.style.width = box.style.height = size + 'px';
    box.style.transform = 'translate(' + Math.round(x) + 'px,' + Math.round(y) + 'px)';
    var ctx = box.getContext('2d');
    ctx.imageSmoothingEnabled = false;
    ctx.fillStyle = '#000';
    ctx.fillRect(0, 0, pixels, pixels);
    var k = canvas.width / form.w, span = size / zoom;
    ctx.drawImage(canvas, (cx - span / 2) * k, (cy - span / 2) * k, span * k, span * k, 0, 0, pixels, pixels);
    if (!loupeOn) box.hidden = false;
    loupeOn = true;
    Module['qvLoupeMs'] += performance.now() - t0;
    Module['qvLoupeFrames']++;
  }
  function follow(e) {
    var touch = null;
    for (var i = 0; i < e.touches.length; i++)
      if (!finger || e.touches[i].identifier === finger.id) { touch = e.touches[i]; break; }
    finger = touch && { id: touch.identifier, x: touch.clientX, y: touch.clientY };
  }
  function watchFingers() {
    var canvas = $('canvas');
    // The game hears a finger as a finger. A browser that makes a mouse of a touch anyway
    // (a touch it would not let the game cancel) keeps that mouse from the game, which would
    // click twice.
    ['mousedown', 'mouseup', 'mousemove'].forEach(function (type) {
      document.addEventListener(type, function (e) {
        if (e.sourceCapabilities && e.sourceCapabilities.firesTouchEvents && e.target === canvas) e.stopPropagation();
      }, true);
    });
    ['touchstart', 'touchmove', 'touchend', 'touchcancel'].forEach(function (type) {
      canvas.addEventListener(type, follow, { passive: true });
    });
    (function frame() {
      if (Module['qvCrashed']) { $('loupe').hidden = true; return; }
      loupe();
      requestAnimationFrame(frame);
    })();
  }

  function newest(folder, pattern) {
    try {
      var names = FS.readdir(folder).filter(function (n) { return pattern.test(n); });
      names.sort();
      return names.length ? folder + names[names.length - 1] : null;
    } catch (e) {
      return null;
    }
  }

  function download(path, type) {
    if (!path) return false;
    var data;
    try { data = FS.readFile(path); } catch (e) { return false; }
    var a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([data], { type: type }));
    a.download = path.substring(path.lastIndexOf('/') + 1);
    document.body.appendChild(a);
    a.click();
    setTimeout(function () { URL.revokeObjectURL(a.href); a.remove(); }, 1000);
    return true;
  }

  // The replay being recorded; while one is only watched, that one.
  function sessionReplay() {
    var path = Module['qvReplay'] || '';
    try { path = UTF8ToString(Module['_qv_web_replay_path']()); } catch (e) { }
    return path || (watchName ? watchDir + watchName : null);
  }

  function say(text) {
    var s = $('status');
    if (s) s.textContent = text;
    if (started) fit();
  }

  // The music is the most of what the page carries: it comes after the game has started, a
  // track at a time, the title's first, so that the splash never waits for it. A track asked
  // for before it is here plays when it comes; one that does not come leaves the game silent.
  function fetchMusic() {
    var track = 0;
    (function next() {
      if (track > 4) keepOffline();
      if (track > 4 || Module['qvCrashed']) return;
      var name = 'rmusic' + track++ + '.ogg';
      fetch('music/' + name).then(function (response) {
        if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
        return response.arrayBuffer();
      }).then(function (buffer) {
        FS.writeFile('/Assets/' + name, new Uint8Array(buffer));
        Module['_qv_web_music_arrived']();
        next();
      }).catch(function (e) {
        console.warn('quorvatide: the music ' + name + ' did not come: ' + e);
        next();
      });
    })();
  }

  // Once the page has fetched everything it carries, its service worker keeps a copy of it all
  // (sw.js): from the next visit on the game plays without a network. The copy is made from
  // the browser's cache, checked with the server, so nothing comes twice.
  function keepOffline() {
    if (!navigator.serviceWorker || keepOffline.done) return;
    keepOffline.done = true;
    navigator.serviceWorker.register('sw.js').catch(function (e) {
      console.warn('quorvatide: the game cannot be kept for playing offline: ' + e);
    });
  }

  Module['qvStarted'] = function () {
    started = true;
    fit();
    watchFingers();
    fetchMusic();
    // The new replay is kept at once, which gives it its name among the other tabs'.
    save();
    setInterval(function () {
      if (Module['qvCrashed']) return;
      Module['qvReplay'] = sessionReplay();
      save();
    }, saveEveryMs);
    window.addEventListener('resize', fit);
    document.addEventListener('fullscreenchange', fit);
    // A hidden tab gets no frames: the game pauses as P pauses it, and the files are kept. The
    // sound stops too, so that a hidden tab costs nothing (the browser would go on asking the
    // mixer for the music); it goes on where it was when the tab comes back.
    var sound = function () { return Module['SDL2'] && Module['SDL2'].audioContext; };
    document.addEventListener('visibilitychange', function () {
      if (document.visibilityState === 'hidden') {
        if (!Module['qvCrashed']) Module['_qv_web_hidden']();
        if (sound()) sound().suspend();
        saveNow();
      } else if (sound()) {
        sound().resume();
      }
    });
    window.addEventListener('pagehide', saveNow);
    $('pause').onclick = function () { Module['_qv_web_pause'](); };
    // The game's menu, as Esc or the side panel's button opens it: for fingers, which reach
    // nothing beside the board where the game is shown small.
    $('menu').onclick = function () { Module['_qv_web_menu'](); };
    // More… opens the other buttons over the page; any of them, or Close, closes them.
    var more = function (open) {
      document.body.classList.toggle('open', open);
      $('more').textContent = open ? 'Close' : 'More…';
    };
    $('more').onclick = function () { more(!document.body.classList.contains('open')); };
    $('controls').addEventListener('click', function (e) {
      if (e.target.tagName === 'BUTTON' && e.target.id !== 'more') more(false);
    });
    $('fullscreen').onclick = function () {
      if (document.fullscreenElement) document.exitFullscreen();
      else $('stage').requestFullscreen().catch(function () { say('This browser does not allow fullscreen here.'); });
    };
    $('download-replay').onclick = function () {
      if (!download(sessionReplay(), 'application/octet-stream')) say('No replay is being recorded.');
    };
    $('download-crash').onclick = function () {
      if (!download(newest(stateDir, /^crash-.*\.txt$/), 'text/plain')) say('There is no crash report.');
    };
    $('watch-file').onchange = function () {
      var file = this.files && this.files[0];
      if (!file) return;
      file.arrayBuffer().then(function (buffer) {
        var name = baseName(file.name) || 'replay.qvr';
        FS.mkdirTree(watchDir);
        FS.readdir(watchDir).forEach(function (n) { if (n !== '.' && n !== '..') FS.unlink(watchDir + n); });
        FS.writeFile(watchDir + name, new Uint8Array(buffer));
        // The page shows it after a reload, from the storage.
        save(function (error) {
          if (error || !storage.kept) say('The replay cannot be watched: this browser does not keep it for the page.');
          else location.search = '?watch=' + encodeURIComponent(name);
        });
      });
    };
    $('watch').onclick = function () { $('watch-file').click(); };
    // Check a replay: the chosen file played and checked here, as --check-replay does (a daily
    // challenge's proven or not, and why), and the line said under the game. The file is not
    // kept.
    $('check-file').onchange = function () {
      var file = this.files && this.files[0];
      this.value = '';
      if (!file) return;
      say('Checking ' + file.name + '…');
      file.arrayBuffer().then(function (buffer) {
        var path = '/tmp/check/' + (baseName(file.name) || 'replay.qvr');
        FS.mkdirTree('/tmp/check');
        FS.writeFile(path, new Uint8Array(buffer));
        var line = UTF8ToString(Module['ccall']('qv_web_check', 'number', ['string'], [path]));
        try { FS.unlink(path); } catch (e) { }
        Module['qvChecked'] = line;
        say(line.substring(line.indexOf(' ') + 1));
      });
    };
    $('check').onclick = function () { $('check-file').click(); };
    // Debug mode's creature log, written when asked for.
    $('download-debug').hidden = !UTF8ToString(Module['_qv_web_debug_log']());
    $('download-debug').onclick = function () {
      if (!download(UTF8ToString(Module['_qv_web_debug_log']()), 'text/plain')) say('The debug log cannot be written.');
    };
    Module['qvReplay'] = sessionReplay();
  };

  // The WebAssembly frames of a JavaScript stack, the innermost first, as "index:offset" pairs:
  // the function's index (the build's quorvatide.js.symbols names it) and the code's offset.
  function wasmFrames(stack) {
    var frames = [], re = /wasm-function\[(\d+)\]:0x([0-9a-f]+)/g, m;
    while ((m = re.exec(String(stack || ''))) && frames.length < 64) frames.push(m[1] + ':' + m[2]);
    return frames.join(' ');
  }
  Module['qvWasmFrames'] = function () { return wasmFrames(new Error().stack); };
  // The browser keeps ten frames of a stack unless told otherwise.
  if (typeof Error.stackTraceLimit === 'number' && Error.stackTraceLimit < 64) Error.stackTraceLimit = 64;

  // A fault: the report on the page, with its download and the replay's, never a frozen canvas.
  function crash(cause, detail, stack) {
    if (Module['qvCrashed']) return;
    Module['qvCrashed'] = true;
    var replay = null, text, path = null;
    try { replay = sessionReplay(); } catch (e) { }
    try {
      text = UTF8ToString(Module['ccall']('qv_web_crash', 'number', ['string', 'string', 'string'],
                                          [cause, String(detail), wasmFrames(stack)]));
      path = UTF8ToString(Module['_qv_web_crash_path']()) || null;
    } catch (e) {
      text = 'Quorvatide crash report\n\nWhat happened: ' + cause + ' (' + detail + ')\n';
    }
    Module['qvShowCrash'](text, path, replay);
  }
  Module['qvShowCrash'] = function (text, path, replay) {
    Module['qvCrashed'] = true;
    var box = $('crash');
    $('crash-text').textContent = text;
    box.hidden = false;
    replay = replay || sessionReplay();
    $('crash-report').onclick = function () {
      if (!path || !download(path, 'text/plain')) {
        var a = document.createElement('a');
        a.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
        a.download = 'quorvatide-crash.txt';
        a.click();
      }
    };
    $('crash-replay').onclick = function () { download(replay, 'application/octet-stream'); };
    try { save(); } catch (e) { }
  };
  Module['onAbort'] = function (what) { crash('abort', what, new Error().stack); };
  window.addEventListener('error', function (e) { crash('trap', e.message, e.error && e.error.stack); });
  window.addEventListener('unhandledrejection', function (e) { crash('trap', e.reason, e.reason && e.reason.stack); });
  Module['qvClosed'] = function () { save(); say('The game has ended.'); };
  // A daily score shared from the game's daily screen: the line to paste, shown (and put on the
  // clipboard where the browser allows), and the replay downloaded.
  Module['qvShare'] = function (line, file) {
    say(line);
    try { if (navigator.clipboard) navigator.clipboard.writeText(line).catch(function () { }); } catch (e) { }
    return download(file, 'application/octet-stream');
  };
})();
