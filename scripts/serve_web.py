#!/usr/bin/env python3
"""Serves the page (dist/web) on 127.0.0.1 as a plain static host would, gzip included.

    scripts/serve_web.py [FOLDER] [--port N]   (default dist/web, port 8631; 0 picks a free one)

Prints the page's address on its first line, then serves until interrupted.
"""
import argparse
import functools
import gzip
import http.server
import os
import sys

TYPES = {'.wasm': 'application/wasm', '.js': 'text/javascript', '.html': 'text/html',
         '.data': 'application/octet-stream'}


class Handler(http.server.SimpleHTTPRequestHandler):
    cache = {}

    def guess_type(self, path):
        return TYPES.get(os.path.splitext(path)[1], super().guess_type(path))

    def send_head(self):
        path = self.translate_path(self.path.split('?', 1)[0])
        if os.path.isdir(path):
            path = os.path.join(path, 'index.html')
        if 'gzip' not in self.headers.get('Accept-Encoding', '') or not os.path.isfile(path):
            return super().send_head()
        stamp = os.stat(path).st_mtime
        body = self.cache.get(path)
        if not body or body[0] != stamp:
            with open(path, 'rb') as f:
                body = (stamp, gzip.compress(f.read(), 6))
            self.cache[path] = body
        self.send_response(200)
        self.send_header('Content-Type', self.guess_type(path))
        self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(len(body[1])))
        self.send_header('Cache-Control', 'no-cache')
        self.end_headers()
        import io
        return io.BytesIO(body[1])

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('folder', nargs='?', default='dist/web')
    parser.add_argument('--port', type=int, default=8631)
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.folder, 'index.html')):
        sys.exit(f'serve_web: {args.folder} has no index.html: run scripts/setup.sh web first')
    handler = functools.partial(Handler, directory=args.folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', args.port), handler)
    print(f'http://127.0.0.1:{server.server_address[1]}/', flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == '__main__':
    main()
