#!/usr/bin/env python3
"""Serves the page (dist/web) on 127.0.0.1 as a plain static host would: gzip when the browser
takes it, and an ETag with every file, so that a browser (and the page's service worker, which
checks every file with the server) gets "304 Not Modified" for what it already has.

    scripts/serve_web.py [FOLDER] [--port N] [--log]   (default dist/web, port 8631; 0 picks a
                                                        free one)

Prints the page's address on its first line, then serves until interrupted. With --log, a line
for each request on stdout: "METHOD PATH STATUS BYTES" (BYTES: the body as sent).
"""
import argparse
import functools
import gzip
import hashlib
import http.server
import io
import os
import sys

TYPES = {'.wasm': 'application/wasm', '.js': 'text/javascript', '.html': 'text/html',
         '.data': 'application/octet-stream', '.webmanifest': 'application/manifest+json',
         '.ogg': 'audio/ogg', '.png': 'image/png'}


class Handler(http.server.SimpleHTTPRequestHandler):
    # Browsers validate with an ETag only what an HTTP/1.1 server sent.
    protocol_version = 'HTTP/1.1'
    cache = {}
    log = False

    def guess_type(self, path):
        return TYPES.get(os.path.splitext(path)[1], super().guess_type(path))

    def send_head(self):
        self.sent = 0
        path = self.translate_path(self.path.split('?', 1)[0])
        if os.path.isdir(path):
            path = os.path.join(path, 'index.html')
        if not os.path.isfile(path):
            return super().send_head()
        stat = os.stat(path)
        zipped = 'gzip' in self.headers.get('Accept-Encoding', '')
        key = (path, zipped)
        body = self.cache.get(key)
        if not body or body[0] != (stat.st_mtime_ns, stat.st_size):
            with open(path, 'rb') as f:
                data = f.read()
            tag = '"%s%s"' % (hashlib.sha256(data).hexdigest()[:24], '-gz' if zipped else '')
            body = ((stat.st_mtime_ns, stat.st_size), tag, gzip.compress(data, 6) if zipped else data)
            self.cache[key] = body
        tag = body[1]
        if tag in [t.strip() for t in self.headers.get('If-None-Match', '').split(',')]:
            self.send_response(304)
            self.send_header('ETag', tag)
            self.send_header('Cache-Control', 'no-cache')
            self.end_headers()
            return None
        self.sent = len(body[2])
        self.send_response(200)
        self.send_header('Content-Type', self.guess_type(path))
        if zipped:
            self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(len(body[2])))
        self.send_header('ETag', tag)
        self.send_header('Cache-Control', 'no-cache')
        self.end_headers()
        return io.BytesIO(body[2])

    def log_request(self, code='-', size='-'):
        if self.log:
            print('%s %s %s %d' % (self.command, self.path, code, getattr(self, 'sent', 0)),
                  flush=True)

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('folder', nargs='?', default='dist/web')
    parser.add_argument('--port', type=int, default=8631)
    parser.add_argument('--log', action='store_true')
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.folder, 'index.html')):
        sys.exit(f'serve_web: {args.folder} has no index.html: run scripts/setup.sh web first')
    Handler.log = args.log
    handler = functools.partial(Handler, directory=args.folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', args.port), handler)
    print(f'http://127.0.0.1:{server.server_address[1]}/', flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == '__main__':
    main()
