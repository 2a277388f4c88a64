// Builds the site: the page's script bundled by esbuild, the page itself, and the core's
// WebAssembly beside them. Static files only, with relative paths, so any static host serves it.
//   node build.mjs WASM_DIR SITE_DIR
import { build } from 'esbuild';
import { copyFileSync, mkdirSync, readdirSync, rmSync } from 'node:fs';
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
console.log(`site: ${siteDir}`);
