// What the web tests share: where the builds are, the command-line tool to compare with, and the
// core loaded under node.
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const wasmDir = resolve(process.env.ORVEN_WEB_WASM ?? join(root, 'build-web/wasm'));
export const siteDir = resolve(process.env.ORVEN_WEB_SITE ?? join(root, 'build-web/site'));
export const cliPath = process.env.ORVEN_CLI ?? join(root, process.env.ORVEN_BUILD_DIR ?? 'build', 'orven-cli');

// A folder for one test's files, removed when it ends.
export function scratch(t) {
  const dir = mkdtempSync(join(tmpdir(), 'orven-web-'));
  t.after(() => rmSync(dir, { recursive: true, force: true }));
  return dir;
}

// Runs orven-cli in `cwd`; its exit code, stdout (bytes) and stderr. Its radio archive goes to `cwd`.
export function cli(args, cwd) {
  const run = spawnSync(cliPath, args, { cwd, env: { ...process.env, XDG_DATA_HOME: cwd } });
  if (run.error) throw run.error;
  return { code: run.status, out: run.stdout, err: run.stderr.toString() };
}

// A settings file made by the command-line tool.
export function settingsFile(dir, name, newArgs, setArgs = []) {
  const path = join(dir, name);
  cli(['new', path, ...newArgs], dir);
  if (setArgs.length) cli(['set', path, ...setArgs], dir);
  return readFileSync(path);
}

// `orven-cli simulate` with faults: its device, and a way to end it.
export async function simulatedRadio(t, faults) {
  const sim = spawn(cliPath, ['simulate', '--faults', faults], { stdio: ['ignore', 'pipe', 'inherit'] });
  t.after(() => sim.kill());
  const device = await new Promise((done, fail) => {
    let text = '';
    sim.stdout.on('data', (chunk) => {
      text += chunk;
      const found = text.match(/\/dev\/\S+/);
      if (found) done(found[0]);
    });
    sim.once('exit', () => fail(new Error('simulate ended: ' + text)));
  });
  return device;
}

// The core as the page loads it, one fresh instance per call.
export async function loadCore() {
  const OrvenCore = createRequire(import.meta.url)(join(wasmDir, 'orven-core.js'));
  // The module's own loader would fetch() a file path under this node; it is handed the bytes.
  const module = await OrvenCore({ print: () => {}, wasmBinary: readFileSync(join(wasmDir, 'orven-core.wasm')) });
  module.onProgress = () => {};
  // One request of the core's table, with bytes for it when it takes them.
  const call = (name, args = {}, input) => {
    if (input) {
      const at = module._malloc(Math.max(1, input.length));
      module.HEAPU8.set(input, at);
      module.ccall('orven_input', null, ['number', 'number'], [at, input.length]);
      module._free(at);
    }
    return JSON.parse(module.ccall('orven_call', 'string', ['string', 'string'], [name, JSON.stringify(args)]));
  };
  // A request that answers with a file: its bytes, or null.
  const file = (name, args = {}) => {
    const answer = call(name, args);
    if (!answer.ok) return null;
    const at = module.ccall('orven_bytes', 'number');
    return Buffer.from(module.HEAPU8.slice(at, at + answer.size));
  };
  return {
    module,
    call,
    file,
    document: () => call('document'),
    open: (data, name) => call('open', { name }, data),
    save: () => file('save'),
    archived: (id, demo = true) => file('archivedSettings', { id, demo }),
    run: async (request) =>
      JSON.parse(await module.ccall('orven_run', 'string', ['string'], [JSON.stringify(request)], { async: true })),
    stop: () => module._orven_stop(),
  };
}
