// What the browser tests share: Debian's Chromium driven by playwright-core against the site served
// on 127.0.0.1, a fresh page with the fake Web Serial port and WebHID device, and the user's moves
// (a command, a dialog's answer, a file chosen, a download).
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';
import { siteDir } from './support.mjs';

const chromiumFlags = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

export const env = { browser: null, site: null };

// Starts the browser and the site for the test file that calls it.
export function useBrowser() {
  before(async () => {
    env.site = await serve(siteDir);
    env.browser = await chromium.launch({ executablePath: process.env.ORVEN_CHROMIUM ?? '/usr/bin/chromium', args: chromiumFlags });
  });
  after(async () => {
    await env.browser?.close();
    env.site?.server.close();
  });
}

// A fresh context (its own storage, demo radio and fake serial port).
export async function newContext(t, options = {}) {
  const context = await env.browser.newContext({ acceptDownloads: true, viewport: { width: 1280, height: 720 }, ...options });
  t.after(() => context.close());
  await context.addInitScript({ path: new URL('./fake-ports.js', import.meta.url).pathname });
  return context;
}

// A page of the context, usable once it says so; a page that throws fails the test.
export async function pageIn(t, context, query = '?demo') {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  t.after(() => assert.deepEqual(errors, [], 'the page threw'));
  await page.goto(env.site.url + query);
  await ready(page);
  return page;
}

export async function openPage(t, query = '?demo') {
  return pageIn(t, await newContext(t), query);
}

export const ready = (page) => page.waitForFunction(() => document.body.dataset.readyMs !== undefined);

export const status = (page) => page.locator('#status').textContent();

// Waits for the status line to say `text` (Open reads the file before it answers).
export const statusSays = (page, text) =>
  page.waitForFunction((expected) => document.getElementById('status').textContent === expected, text);

export const idle = (page) => page.waitForFunction(() => !document.getElementById('read').disabled);

export const button = (scope, name) => scope.getByRole('button', { name, exact: true });

// Clicks a command and waits until the page is free for the next one.
export async function command(page, name) {
  await button(page, name).click();
  await idle(page);
}

// The dialog on top (a message over another dialog comes last), or the one called `name`: its
// title and text, closed with `choice`.
export async function answer(page, choice = 'OK', name = undefined) {
  const dialog = name ? page.getByRole('dialog', { name, exact: true }) : page.getByRole('dialog').last();
  await dialog.waitFor();
  const said = { title: await dialog.locator('h2').textContent(), text: (await dialog.locator('p').allTextContents()).join('\n\n') };
  const shown = await dialog.elementHandle();
  await button(dialog, choice).click();
  // Gone, even when the next dialog follows at once.
  await page.waitForFunction((element) => !element.isConnected, shown);
  return said;
}
export const problem = (page) => answer(page, 'OK');

// From now on, the size of every file the page loads whole: a picked file read only in part is
// not among them.
export const countBytesLoaded = (page) =>
  page.evaluate(() => {
    window.bytesLoaded = [];
    const load = Blob.prototype.arrayBuffer;
    Blob.prototype.arrayBuffer = function () {
      window.bytesLoaded.push(this.size);
      return load.call(this);
    };
  });
export const bytesLoaded = (page) => page.evaluate(() => window.bytesLoaded);

export async function downloaded(page, click) {
  const [download] = await Promise.all([page.waitForEvent('download'), click()]);
  return { name: download.suggestedFilename(), bytes: readFileSync(await download.path()) };
}

// Chooses a file in the chooser that `click` opens.
export async function chooseFile(page, click, path) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), click()]);
  await chooser.setFiles(path);
}

export const openFile = (page, path) => chooseFile(page, () => button(page, 'Open...').click(), path);

export const save = (page) => downloaded(page, () => button(page, 'Save').click());
