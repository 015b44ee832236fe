// The player's files in the browser's storage (linked before pre.js, with --pre-js). The game
// works on files in memory under /home/web_user; these are kept in IndexedDB a file at a time,
// so that any number of tabs of the page can play at once without losing each other's games:
//
//  - A save writes only the files this tab changed since its last save, and removes only the
//    files this tab removed. What other tabs wrote is left alone.
//  - Each kept file carries its time and length: a file is never replaced by an older version of
//    itself, and a removal takes away only the version this tab knew.
//  - The replays and crash reports belong to one session each. When two tabs made one of the
//    same name (both started in the same second), the second to save keeps its own under the
//    next free name.
//  - The newest 50 replays are kept, counted in the storage, where every tab's games are, and
//    of the replays chosen to watch, the last three.
//  - A save that fails ends, says why, and is tried again at the next save.
//  - Without IndexedDB, or with the site's storage blocked, the files live in memory only.
//
// A save reads the kept files' times first. The page going away gets a save that needs no
// reading (saveNow): this tab's own files written at once, which the browser can finish after
// the page has gone.
Module['qvStorage'] = (function () {
  'use strict';
  var home = '/home/web_user/';
  var dbName = 'quorvatide', metaStore = 'meta', dataStore = 'data';
  // The earlier pages kept the files with emscripten's IDBFS, under the folder's name.
  var oldDbName = '/home/web_user';
  var sessionFolder = '.local/state/quorvatide/';
  var replayFolder = sessionFolder + 'replays/';
  var watchFolder = 'watch/';
  var replaysKept = 50, watchedKept = 3;
  var replayName = /^(?:quorvatide-|.+-continued-)\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d(?:-\d+)?(?:-best-\d+)?\.qvr$/;
  // This page's own mark on what it writes.
  var tab = Date.now().toString(36) + '-' + Math.random().toString(36).slice(2, 10);

  var db = null;
  var problem = '';
  var known = {};   // path (under home) → {ino, mtime, size}: the file as last loaded or saved
  var keyOf = {};   // path → the name it is kept under: its own, or another after a clash
  var base = {};    // path → the kept record ({mtime, size, tab}) the file in memory is
  var saving = false, again = false, waiting = [], opening = false;
  var api = { onLine: function () {} };

  function say(text) {
    if (text === problem) return;
    problem = text;
    if (text) console.warn('quorvatide: ' + text);
    api.onLine(text);
  }
  // An error's words, without a full stop of their own.
  function words(error) {
    return String(error && (error.message || error.name) || error || 'its storage failed').replace(/\.$/, '');
  }
  function failed(error) {
    if (error && error.name === 'QuotaExceededError') say('Your games cannot be kept in this browser: storage is full.');
    else say('Your games cannot be kept in this browser: ' + words(error) + '.');
  }
  function memoryOnly(error) {
    if (db) { try { db.close(); } catch (e) { } }
    db = null;
    api.kept = false;
    say('Your games cannot be kept in this browser: ' +
        (error === 'none' ? 'it gives this page no storage.' :
         error && error.name === 'SecurityError' ? 'it blocks the storage of this page.' :
         'its storage cannot be opened (' + words(error) + ').') +
        ' They last until the page is closed; download a replay to keep it.');
  }

  function snapshot(st) { return { ino: st.ino, mtime: st.mtime.getTime(), size: st.size }; }
  function same(a, b) { return !!a && !!b && a.ino === b.ino && a.mtime === b.mtime && a.size === b.size; }
  function newer(record, than) {
    return !than || record.mtime > than.mtime || (record.mtime === than.mtime && record.size > than.size);
  }

  // Every regular file under home: path → snapshot.
  function walk() {
    var files = {};
    (function visit(dir) {
      var names;
      try { names = FS.readdir(home + dir); } catch (e) { return; }
      names.forEach(function (name) {
        if (name === '.' || name === '..') return;
        var path = dir + name, st;
        try { st = FS.lstat(home + path); } catch (e) { return; }
        if (FS.isDir(st.mode)) visit(path + '/');
        else if (FS.isFile(st.mode)) files[path] = snapshot(st);
      });
    })('');
    return files;
  }

  // What changed since the last save: files written or made, and files gone.
  function changes() {
    var files = walk(), changed = [], removed = [];
    Object.keys(files).forEach(function (p) { if (!same(known[p], files[p])) changed.push(p); });
    Object.keys(known).forEach(function (p) { if (!files[p]) removed.push(p); });
    return { files: files, changed: changed, removed: removed };
  }

  // A free name for `path`, which another session has taken: the next number after the date
  // of a replay's or a report's name (the game's own way), else before the extension.
  function freeName(path, taken) {
    var slash = path.lastIndexOf('/'), dir = path.slice(0, slash + 1), name = path.slice(slash + 1);
    var m = /^(.*\d\d-\d\d-\d\d)(?:-\d+)?(-best-\d+)?(\.[^.]*)$/.exec(name) || /^(.*?)()(\.[^.]*)?$/.exec(name);
    for (var n = 2; ; n++) {
      var stem = dir + m[1] + '-' + n;
      var candidate = stem + (m[2] || '') + (m[3] || '');
      if (!taken(function (k) { return k === candidate || k.indexOf(stem + '-best-') === 0 || k.indexOf(stem + '.') === 0; }))
        return candidate;
    }
  }

  function finish(error) {
    var callbacks = waiting;
    waiting = [];
    callbacks.forEach(function (done) { try { done(error); } catch (e) { console.error(e); } });
  }

  // Writes what this tab changed and removes what it removed, after reading what is kept; then
  // calls done(error). Saves asked for while one runs are made once it ends.
  function save(done) {
    if (done) waiting.push(done);
    if (!db) {
      if (!api.kept) { finish(null); return; }
      // The browser closed the connection: open it again, then save.
      if (!opening) {
        opening = true;
        open(function (connection) { opening = false; use(connection); save(); },
             function (error) { opening = false; failed(error); finish(error); });
      }
      return;
    }
    if (saving) { again = true; return; }
    again = false;
    var c = changes();
    if (!c.changed.length && !c.removed.length) { finish(null); return; }
    saving = true;
    var batch = c.changed.map(function (p) {
      var bytes = null;
      try { bytes = FS.readFile(home + p); } catch (e) { }
      return { path: p, st: c.files[p], bytes: bytes };
    }).filter(function (b) { return b.bytes; });
    var written = [], removed = [];
    var ended = false;
    var end = function (error) {
      if (ended) return;
      ended = true;
      saving = false;
      if (error) {
        failed(error);
      } else {
        written.forEach(function (w) { known[w.path] = w.st; keyOf[w.path] = w.key; base[w.path] = w.record; });
        removed.forEach(function (p) { delete known[p]; delete keyOf[p]; delete base[p]; });
        say('');
      }
      if (again) save(); else finish(error);
    };
    var tx;
    try {
      tx = db.transaction([metaStore, dataStore], 'readwrite');
    } catch (e) {
      // The connection is gone (the browser closed it): the next save opens it again.
      db = null;
      end(e);
      return;
    }
    tx.oncomplete = function () { end(null); };
    tx.onabort = function () { end(tx.error || new Error('the save was cut short')); };
    var meta = tx.objectStore(metaStore), data = tx.objectStore(dataStore);
    var kept = {};
    meta.openCursor().onsuccess = function (e) {
      var cursor = e.target.result;
      if (cursor) { kept[cursor.key] = cursor.value; cursor.continue(); return; }
      try {
        plan();
      } catch (error) {
        try { tx.abort(); } catch (e2) { }
        end(error);
      }
    };
    function plan() {
      var taken = function (test) {
        return Object.keys(kept).some(test) || Object.keys(c.files).some(test);
      };
      var writing = {};
      batch.forEach(function (b) {
        var key = keyOf[b.path], record = kept[key || b.path];
        if (!key) {
          key = b.path;
          // A session's file of the same name made by another tab: this one takes the next name.
          if (record && record.tab !== tab && b.path.indexOf(sessionFolder) === 0) {
            key = freeName(b.path, taken);
            record = kept[key];
          }
        }
        var mine = { mtime: b.st.mtime, size: b.st.size, tab: tab };
        // Never an older version over a newer one written elsewhere.
        if (record && record.tab !== tab && newer(record, mine)) {
          written.push({ path: b.path, st: b.st, key: key, record: record });
          return;
        }
        meta.put(mine, key);
        data.put(b.bytes, key);
        kept[key] = mine;
        writing[key] = true;
        written.push({ path: b.path, st: b.st, key: key, record: mine });
      });
      c.removed.forEach(function (p) {
        var key = keyOf[p] || p, record = kept[key];
        removed.push(p);
        // Only the version this tab knew: one written since elsewhere lives on.
        if (record && (record.tab === tab || !newer(record, base[p]))) {
          meta.delete(key);
          data.delete(key);
          delete kept[key];
        }
      });
      prune(kept, writing, meta, data);
    }
  }

  // The newest replays and chosen files are kept, counted over what every tab has kept.
  function prune(kept, writing, meta, data) {
    [[replayFolder, replaysKept, replayName], [watchFolder, watchedKept, /./]].forEach(function (rule) {
      var keys = Object.keys(kept).filter(function (k) {
        var name = k.slice(rule[0].length);
        return k.indexOf(rule[0]) === 0 && name.indexOf('/') < 0 && rule[2].test(name);
      });
      keys.sort(function (a, b) { return kept[b].mtime - kept[a].mtime || (a < b ? 1 : -1); });
      keys.slice(rule[1]).forEach(function (k) {
        if (writing[k] || kept[k].tab === tab) return;
        meta.delete(k);
        data.delete(k);
      });
    });
  }

  // For a page going away: this tab's own changed files written at once, with no reading first,
  // so that the browser can finish the writing after the page is gone. A file not yet kept
  // (whose name may clash) and any removal wait for a save that can look first.
  function saveNow() {
    if (!db) return;
    var c = changes(), own = [], other = false;
    // Of the files not kept yet, only a session's (a replay, a crash report, a chosen file)
    // may take a name another tab took; the player's options, written a moment before the page
    // went, are kept at once under their own.
    var sessionFile = function (p) { return p.indexOf(sessionFolder) === 0 || p.indexOf(watchFolder) === 0; };
    c.changed.forEach(function (p) {
      if (keyOf[p] && base[p] && base[p].tab === tab) own.push(p);
      else if (!keyOf[p] && !sessionFile(p)) { keyOf[p] = p; own.push(p); }
      else other = true;
    });
    c.removed.forEach(function (p) { if (keyOf[p] && base[p] && base[p].tab === tab) own.push(p); else other = true; });
    if (own.length) {
      try {
        var tx = db.transaction([metaStore, dataStore], 'readwrite');
        var meta = tx.objectStore(metaStore), data = tx.objectStore(dataStore);
        var done = [];
        own.forEach(function (p) {
          var st = c.files[p];
          if (!st) {
            meta.delete(keyOf[p]);
            data.delete(keyOf[p]);
            done.push(function () { delete known[p]; delete keyOf[p]; delete base[p]; });
            return;
          }
          var mine = { mtime: st.mtime, size: st.size, tab: tab };
          meta.put(mine, keyOf[p]);
          data.put(FS.readFile(home + p), keyOf[p]);
          done.push(function () { known[p] = st; base[p] = mine; });
        });
        tx.oncomplete = function () { done.forEach(function (f) { f(); }); say(''); };
        tx.onabort = function () { failed(tx.error); };
        if (tx.commit) tx.commit();
      } catch (e) {
        failed(e);
      }
    }
    if (other) save();
  }

  function use(connection) {
    db = connection;
    api.kept = true;
    // A newer page that changes the storage's form, or the browser clearing the site's data:
    // the next save opens it again.
    db.onversionchange = function () { connection.close(); if (db === connection) db = null; };
    db.onclose = function () { if (db === connection) db = null; };
  }

  // Opens the database (made on first use); calls opened(db, fresh) or refused(error).
  function open(opened, refused) {
    var request, fresh = false, settled = false;
    var settle = function (f, x, y) { if (!settled) { settled = true; f(x, y); } };
    try {
      request = indexedDB.open(dbName, 1);
    } catch (e) {
      settle(refused, e);
      return;
    }
    request.onupgradeneeded = function () {
      fresh = true;
      request.result.createObjectStore(metaStore);
      request.result.createObjectStore(dataStore);
    };
    request.onsuccess = function () {
      if (settled) { request.result.close(); return; }
      settle(opened, request.result, fresh);
    };
    request.onerror = function (e) { e.preventDefault(); settle(refused, request.error); };
    // A browser that neither opens nor refuses (some private windows) is taken as refusing.
    setTimeout(function () { settle(refused, new Error('it did not answer')); }, 10000);
  }

  // The files an earlier page kept (emscripten's IDBFS), taken over once, but for the replay
  // chosen to watch last, which the player has on disk anyway.
  function takeOverOldFiles(then) {
    var request;
    try { request = indexedDB.open(oldDbName); } catch (e) { then(); return; }
    request.onupgradeneeded = function () { request.transaction.abort(); };  // there was none
    request.onerror = function (e) { e.preventDefault(); then(); };
    request.onsuccess = function () {
      var old = request.result, records = [];
      if (!old.objectStoreNames.contains('FILE_DATA')) { old.close(); then(); return; }
      var read = old.transaction('FILE_DATA', 'readonly');
      read.objectStore('FILE_DATA').openCursor().onsuccess = function (e) {
        var cursor = e.target.result;
        if (!cursor) return;
        var v = cursor.value, path = String(cursor.key).slice(home.length);
        if (String(cursor.key).indexOf(home) === 0 && v && v.contents && FS.isFile(v.mode) &&
            path.indexOf(watchFolder) !== 0)
          records.push({ path: path, mtime: new Date(v.timestamp).getTime(), bytes: v.contents });
        cursor.continue();
      };
      read.onabort = function () { old.close(); then(); };
      read.oncomplete = function () {
        old.close();
        try {
          var write = db.transaction([metaStore, dataStore], 'readwrite');
          records.forEach(function (r) {
            write.objectStore(metaStore).put({ mtime: r.mtime, size: r.bytes.length, tab: 'idbfs' }, r.path);
            write.objectStore(dataStore).put(r.bytes, r.path);
          });
          write.oncomplete = function () { indexedDB.deleteDatabase(oldDbName); then(); };
          write.onabort = function () { console.warn('quorvatide: the files of the earlier page: ' + write.error); then(); };
        } catch (e) {
          then();
        }
      };
    };
  }

  // Reads every kept file into memory (of the chosen replays, only the one watched), then calls
  // done(). Without storage the files are in memory only, and the page says so.
  api.load = function (watched, done) {
    if (typeof indexedDB === 'undefined' || !indexedDB) { memoryOnly('none'); done(); return; }
    open(function (connection, fresh) {
      use(connection);
      (fresh ? takeOverOldFiles : function (f) { f(); })(function () {
        var tx;
        try { tx = db.transaction([metaStore, dataStore], 'readonly'); } catch (e) { memoryOnly(e); done(); return; }
        var data = tx.objectStore(dataStore);
        tx.objectStore(metaStore).openCursor().onsuccess = function (e) {
          var cursor = e.target.result;
          if (!cursor) return;
          var path = cursor.key, record = cursor.value;
          if (path.indexOf(watchFolder) !== 0 || path === watchFolder + watched) {
            data.get(path).onsuccess = function (e2) {
              var bytes = e2.target.result;
              if (!bytes) return;
              try {
                FS.mkdirTree(home + path.slice(0, path.lastIndexOf('/') + 1));
                FS.writeFile(home + path, bytes);
                FS.utime(home + path, record.mtime, record.mtime);
                known[path] = snapshot(FS.lstat(home + path));
                keyOf[path] = path;
                base[path] = record;
              } catch (error) {
                console.warn('quorvatide: cannot read the kept file ' + path + ': ' + error);
              }
            };
          }
          cursor.continue();
        };
        tx.oncomplete = function () { done(); };
        tx.onabort = function () { memoryOnly(tx.error); done(); };
      });
    }, function (error) { memoryOnly(error); done(); });
  };

  api.save = save;
  api.saveNow = saveNow;
  api.kept = false;
  return api;
})();
