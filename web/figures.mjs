// The web edition's figures for docs/performance.md: the site's size, the time from opening the
// page to a usable window, and a fast read of the demo radio in the page against orven-cli's.
//   node web/figures.mjs   (after ./scripts/web.sh; orven-cli from build/ or $ORVEN_CLI)
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { chromium } from 'playwright-core';
import { serve } from './serve.mjs';
import { cliPath, siteDir } from './tests/support.mjs';

const runs = 9;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

let raw = 0;
let compressed = 0;
for (const name of readdirSync(siteDir)) {
  const bytes = readFileSync(join(siteDir, name));
  raw += bytes.length;
  compressed += gzipSync(bytes, { level: 9 }).length;
}

const site = await serve(siteDir);
const browser = await chromium.launch({
  executablePath: process.env.ORVEN_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const ready = [];
const pageRead = [];
for (let i = 0; i < runs; i++) {
  const page = await browser.newPage();
  await page.goto(site.url + '?demo');
  await page.waitForFunction(() => document.body.dataset.readyMs !== undefined);
  ready.push(Number(await page.evaluate(() => document.body.dataset.readyMs)));
  await page.getByLabel('Fast Transfer').check();
  // Timed inside the page: a poll from here would add its own interval and the round trips to it.
  pageRead.push(await page.evaluate(() => new Promise((resolve) => {
    const status = document.getElementById('status');
    const read = document.getElementById('read');
    new MutationObserver((_, observer) => {
      if (status.textContent !== 'Read OK.') return;
      observer.disconnect();
      resolve(performance.now() - started);
    }).observe(status, { childList: true, characterData: true, subtree: true });
    const started = performance.now();
    read.click();
  })));
  await page.close();
}
await browser.close();
site.server.close();

const dir = mkdtempSync(join(tmpdir(), 'orven-figures-'));
const cliRead = [];
for (let i = 0; i < runs; i++) {
  const started = performance.now();
  execFileSync(cliPath, ['-q', '-p', 'demo', '--fast', 'read', join(dir, 'x.dat')], { env: { ...process.env, XDG_DATA_HOME: dir } });
  cliRead.push(performance.now() - started);
}
rmSync(dir, { recursive: true, force: true });

const ms = (v) => median(v).toFixed(0);
console.log(`| site, all files | ${(raw / 1024).toFixed(0)} KB | ${(compressed / 1024).toFixed(0)} KB compressed (gzip -9) |`);
console.log(`| opening the page to a usable window | ${ms(ready)} ms | median of ${runs} loads |`);
console.log(`| fast read of the demo radio in the page | ${ms(pageRead)} ms | click to "Read OK.", median of ${runs} |`);
console.log(`| the same read by orven-cli | ${ms(cliRead)} ms | the whole command, median of ${runs} |`);
console.log(`| page / orven-cli | ${(median(pageRead) / median(cliRead)).toFixed(2)} | |`);
