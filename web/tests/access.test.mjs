// The page by keyboard alone and through a screen reader's eyes: every control of the page and of
// each dialog has a name in the browser's own accessibility tree, focus is visible and moves in the
// order of the layout, a dialog keeps it and gives it back, Escape is Cancel, a read and a write
// are made from the keyboard, and a laptop's 1280x720 needs no sideways scrolling. The README's
// picture of the page is taken here (written to $ORVEN_WEB_PICTURES when set).
import assert from 'node:assert/strict';
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { button, openPage, status, statusSays, useBrowser } from './browser.mjs';

useBrowser();

const kControlRoles = new Set(['button', 'textbox', 'combobox', 'listbox', 'checkbox', 'radio', 'spinbutton', 'slider', 'searchbox']);

// The controls in reach (not hidden, not behind a modal dialog) without a name, as the browser names them.
async function unnamedControls(page) {
  const cdp = await page.context().newCDPSession(page);
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  await cdp.detach();
  return nodes
    .filter((n) => !n.ignored && kControlRoles.has(n.role?.value) && !String(n.name?.value ?? '').trim())
    .map((n) => `${n.role.value} #${n.backendDOMNodeId}`);
}

const focused = (page) =>
  page.evaluate(() => {
    const e = document.activeElement;
    const style = getComputedStyle(e);
    return { id: e.id, text: e.textContent.trim(), inDialog: e.closest('dialog[open]') !== null, outline: style.outlineStyle !== 'none' && style.outlineWidth !== '0px' };
  });

// Presses Tab until `match` says focus is where it should be; fails after `most` presses.
async function tabTo(page, match, most = 80, key = 'Tab') {
  for (let i = 0; i < most; ++i) {
    await page.keyboard.press(key);
    const now = await focused(page);
    if (match(now)) return now;
  }
  assert.fail('focus never got there');
}

const noSidewaysScroll = (page) => page.evaluate(() => document.documentElement.scrollWidth <= document.documentElement.clientWidth);

test('by keyboard alone: a read and a write, focus visible and kept inside each dialog, Escape is Cancel, every control named, nothing to scroll sideways', async (t) => {
  const page = await openPage(t);
  assert.deepEqual(await unnamedControls(page), []);
  assert.equal(await noSidewaysScroll(page), true);

  // Read: Tab to the button, Enter. Every stop on the way shows its focus.
  const seen = [];
  const read = await tabTo(page, (f) => {
    seen.push(f);
    return f.id === 'read';
  });
  assert.equal(read.outline, true);
  assert.deepEqual(seen.filter((f) => !f.outline), [], 'focus is visible at every stop');
  // The commands, the identities, the channel list, the model and features, the port.
  const order = seen.map((f) => f.id).filter(Boolean);
  const at = (id) => order.findIndex((o) => o.startsWith(id));
  const layout = ['load-default', 'check-connection', 'mmsi-by-user', 'serial', 'band', 'channel-remove', 'model-', 'rx-mid', 'port', 'read'];
  assert.deepEqual(layout.map(at), layout.map(at).slice().sort((a, b) => a - b), `focus follows the layout: ${order.join(' ')}`);
  assert.ok(layout.every((id) => at(id) >= 0), `every part is reached: ${order.join(' ')}`);
  await page.keyboard.press('Enter');
  await statusSays(page, 'Read OK.');
  if (process.env.ORVEN_WEB_PICTURES) await page.screenshot({ path: join(process.env.ORVEN_WEB_PICTURES, 'web-page.png'), fullPage: true });

  // Write a new MMSI: typed in its field, the question answered from the keyboard.
  await tabTo(page, (f) => f.id === 'mmsi', 80, 'Shift+Tab');
  await page.keyboard.press('Control+A');
  await page.keyboard.type('211999999');
  await tabTo(page, (f) => f.id === 'write');
  await page.keyboard.press('Enter');
  const question = page.getByRole('dialog', { name: 'Confirm Identity Changes' });
  await question.waitFor();
  assert.deepEqual(await unnamedControls(page), []);
  await page.keyboard.type('211999999');
  await tabTo(page, (f) => f.text === 'OK' && f.inDialog, 5);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => /^Write OK\./.test(document.getElementById('status').textContent));

  // Each dialog: its controls named, focus kept inside it, Escape closes it as Cancel and gives
  // focus back to the button that opened it.
  const title = await page.locator('#doc-title').textContent();
  await page.getByLabel('Band').selectOption('Private');
  await page.getByRole('listbox', { name: 'Channel list' }).selectOption({ index: 0 });
  const channels = await page.getByRole('listbox', { name: 'Channel list' }).locator('option').allTextContents();
  for (const [opener, name] of [['Load Default...', 'Model Wizard Dialog'], ['Add', 'Channel Setup Dialog'],
    ['Feature Setup...', 'Feature Setup Dialog'], ['Radio Archive...', 'Radio Archive'], ['Check Connection...', 'Check Connection']]) {
    await button(page, opener).focus();
    await page.keyboard.press('Enter');
    const dialog = page.getByRole('dialog', { name });
    await dialog.waitFor();
    assert.deepEqual(await unnamedControls(page), [], name);
    assert.equal(await noSidewaysScroll(page), true, name);
    for (let i = 0; i < 12; ++i) {
      await page.keyboard.press('Tab');
      assert.equal((await focused(page)).inDialog, true, `${name}: focus stays inside`);
    }
    await page.keyboard.press('Escape');
    await dialog.waitFor({ state: 'detached' });
    assert.equal((await focused(page)).text, opener, `${name}: focus comes back`);
  }
  assert.equal(await page.locator('#doc-title').textContent(), title, 'Escape changed nothing');
  assert.deepEqual(await page.getByRole('listbox', { name: 'Channel list' }).locator('option').allTextContents(), channels);
  assert.match(await status(page), /^Write OK\./);
});
