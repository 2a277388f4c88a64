// Builds the site: the page's script bundled by esbuild, the page itself, the core's WebAssembly
// beside them, and the service worker that keeps them all for use without the network. Static
// files only, with relative paths, so any static host serves it.
//   node build.mjs WASM_DIR SITE_DIR
import { build } from 'esbuild';
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const [wasmDir, siteDir] = process.argv.slice(2);
if (!wasmDir || !siteDir) {
  console.error('usage: node build.mjs WASM_DIR SITE_DIR');
  process.exit(2);
}

rmSync(siteDir, { recursive: true, force: true });
mkdirSync(siteDir, { recursive: true });
for (const name of readdirSync(join(here, 'page'))) copyFileSync(join(here, 'page', name), join(siteDir, name));
for (const name of ['orven-core.js', 'orven-core.wasm']) copyFileSync(join(wasmDir, name), join(siteDir, name));

await build({
  entryPoints: [join(here, 'src', 'main.ts')],
  outfile: join(siteDir, 'app.js'),
  bundle: true,
  minify: true,
  format: 'iife',
  target: ['chrome89', 'edge89', 'opera75'],
  legalComments: 'none',
  logLevel: 'warning',
});
// The worker caches every file of the site and the folder's own address; its cache is named by
// their hash, so each build replaces the one before.
const files = readdirSync(siteDir).sort();
const hash = createHash('sha256');
for (const name of files) hash.update(name).update(readFileSync(join(siteDir, name)));
const worker = readFileSync(join(here, 'worker', 'sw.js'), 'utf8')
  .replace('__VERSION__', hash.digest('hex').slice(0, 16))
  .replace('__FILES__', JSON.stringify(['./', ...files]));
writeFileSync(join(siteDir, 'sw.js'), worker);
console.log(`site: ${siteDir}`);
