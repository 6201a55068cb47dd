// A static file server on 127.0.0.1 for the browser build, for trying the
// page locally and for the browser tests. Files are served as a static host
// serves them, with the types browsers need (application/wasm lets the
// browser compile the module while it downloads).
//
//   node tools/serve-web/serve.mjs DIR [PORT]
//
// serves DIR at / (PORT 0 or absent: any free port) and prints the address.
import { createServer } from 'node:http';
import { createReadStream, statSync } from 'node:fs';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.txt': 'text/plain; charset=utf-8',
};

// mounts: [urlPrefix, folder] pairs, the longest prefix first.
export function serve(mounts, port = 0) {
  const roots = mounts.map(([prefix, folder]) => [prefix, resolve(folder)]);
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const mount = roots.find(([prefix]) => path.startsWith(prefix));
    let file = mount && normalize(join(mount[1], path.slice(mount[0].length)));
    if (!file || (file !== mount[1] && !file.startsWith(mount[1] + sep))) {
      response.writeHead(404).end();
      return;
    }
    try {
      if (statSync(file).isDirectory()) file = join(file, 'index.html');
      const size = statSync(file).size;
      response.writeHead(200, {
        'Content-Type': types[extname(file)] || 'application/octet-stream',
        'Content-Length': size,
        'Cache-Control': 'no-cache',
      });
      if (request.method === 'HEAD') response.end();
      else createReadStream(file).pipe(response);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const folder = process.argv[2];
  if (!folder) {
    console.error('usage: serve.mjs DIR [PORT]');
    process.exit(2);
  }
  const server = await serve([['/', folder]], Number(process.argv[3] || 0));
  console.log(`Backfire is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}
