// A small static file server for the page: `node serve.mjs DIR [PORT]`
// serves DIR on http://localhost:PORT/ (8000 by default). The page's tests
// use serve() with names to leave out, as if missing on the server.

import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

const Types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

// Resolves to the listening server; port 0 picks a free one.
export function serve(directory, port, { hidden = new Set(), host = '127.0.0.1' } = {}) {
  const server = createServer(async (request, response) => {
    let path = decodeURIComponent(new URL(request.url, 'http://page').pathname);
    if (path.endsWith('/')) path += 'index.html';
    const name = normalize(path).replace(/^[/\\]+/, '');
    if (name.startsWith('..') || hidden.has(name)) {
      response.writeHead(404).end();
      return;
    }
    try {
      const body = await readFile(join(directory, name));
      response.writeHead(200, {
        'Content-Type': Types[extname(name)] ?? 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, host, () => resolve(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [directory, port = '8000'] = process.argv.slice(2);
  if (!directory) {
    console.error('usage: node serve.mjs DIR [PORT]');
    process.exit(2);
  }
  serve(directory, Number(port), { host: 'localhost' })
    .then(server => console.log(`Serving ${directory} on http://localhost:${server.address().port}/ (Ctrl-C stops)`))
    .catch(error => {
      console.error(`serve.mjs: ${error.message}`);
      process.exit(1);
    });
}
