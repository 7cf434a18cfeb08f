// Serves the try-it page from this folder, with the package beside it:
//   node js/serve.mjs [--port 8080] [--package DIR]
// DIR is the package's folder (default: the npm preset's build,
// build/npm/js/package); the page loads it as ./kelvaro-rpn/. Listens on
// 127.0.0.1 only and prints the page's address.
import { createServer } from 'node:http';
import { existsSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';

const here = fileURLToPath(new URL('.', import.meta.url));
const { values } = parseArgs({
    options: {
        port: { type: 'string', default: '8080' },
        package: { type: 'string', default: join(here, '..', 'build', 'npm', 'js', 'package') },
    },
});
const roots = [
    ['/kelvaro-rpn/', resolve(values.package)],
    ['/', join(here, 'page')],
];
const types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.json': 'application/json',
    '.wasm': 'application/wasm',
};

// The file for a request's path, or null for one outside the served folders.
function fileFor(path) {
    for (const [prefix, root] of roots) {
        if (path.startsWith(prefix)) {
            const file = normalize(join(root, path.slice(prefix.length) || 'index.html'));
            return file.startsWith(root + sep) ? file : null;
        }
    }
    return null;
}

const server = createServer(async (request, response) => {
    try {
        const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
        const file = request.method === 'GET' ? fileFor(path) : null;
        if (file === null) {
            throw Object.assign(new Error('refused'), { code: 'ENOENT' });
        }
        const body = await readFile(file);
        response.writeHead(200, {
            'content-type': types[extname(file)] ?? 'application/octet-stream',
            'cache-control': 'no-store',
        });
        response.end(body);
    } catch (error) {
        const status = error instanceof URIError ? 400
            : error.code === 'ENOENT' || error.code === 'EISDIR' ? 404 : 500;
        response.writeHead(status, { 'content-type': 'text/plain' });
        response.end(`${status}\n`);
    }
});

if (!existsSync(join(roots[0][1], 'src', 'index.js'))) {
    console.error(`serve.mjs: no package in ${roots[0][1]} ` +
                  '(cmake --preset npm && cmake --build --preset npm builds it)');
}

server.listen(Number(values.port), '127.0.0.1', () => {
    console.log(`http://127.0.0.1:${server.address().port}/`);
});
