// The radio archive in the browser against orven-cli's archive folder: every read and backup kept
// across a reload, opened, restored with its checks, the programming log, and the whole archive out
// as a zip that orven-cli lists once unpacked in place, and in from a zip of orven-cli's archive.
// Then Check Connection over the demo radio and the fake Web Serial port, and the page without the
// network.
import assert from 'node:assert/strict';
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { spawnSync } from 'node:child_process';
import { test } from 'node:test';
import { answer, button, chooseFile, command, downloaded, newContext, pageIn, problem, ready, status, statusSays, useBrowser } from './browser.mjs';
import { cli, scratch, simulatedRadio } from './support.mjs';

useBrowser();

function run(program, args, cwd) {
  const done = spawnSync(program, args, { cwd });
  assert.equal(done.status, 0, `${program} ${args.join(' ')}: ${done.stderr}`);
}

test('a stored file the browser cannot read costs its entry, not the page, and is there again once it reads', async (t) => {
  const context = await newContext(t);
  let page = await pageIn(t, context);
  await command(page, 'Read From Radio');
  assert.equal(await status(page), 'Read OK.');
  await page.close();

  await context.addInitScript(() => {
    const { getFile } = FileSystemFileHandle.prototype;
    FileSystemFileHandle.prototype.getFile = function (...args) {
      if (this.name === 'image.bin' && !sessionStorage.getItem('readable'))
        return Promise.reject(new DOMException('The file is locked.', 'NoModificationAllowedError'));
      return getFile.apply(this, args);
    };
  });
  page = await pageIn(t, context);
  const said = await problem(page);
  assert.equal(said.title, 'Radio Archive');
  assert.match(said.text, /^1 file\(s\) of the radio archive .* could not be read .*\ndemo-archive\/20261206\/\S+_read\/image\.bin: The file is locked\.$/s);
  await button(page, 'Radio Archive...').click();
  let dialog = page.getByRole('dialog', { name: 'Radio Archive' });
  assert.match((await archiveRows(dialog))[0][4], /image\.bin/, 'listed as damaged');

  await page.evaluate(() => sessionStorage.setItem('readable', '1'));
  await page.reload();
  await ready(page);
  await button(page, 'Radio Archive...').click();
  dialog = page.getByRole('dialog', { name: 'Radio Archive' });
  assert.deepEqual((await archiveRows(dialog)).map((r) => [r[2], r[4]]), [['read', '']], 'the entry is whole again');
});

// The archive dialog's rows: radio serial, time, operation, MMSI, damage.
async function archiveRows(dialog) {
  return dialog.locator('tbody tr').evaluateAll((rows) => rows.map((r) => Array.from(r.cells).slice(1).map((c) => c.textContent)));
}

test('reads and backups are kept in the browser, opened, restored, logged, and moved to orven-cli and back as a zip', async (t) => {
  const dir = scratch(t);
  const context = await newContext(t);
  let page = await pageIn(t, context, '');
  await page.getByLabel('Fast Transfer').check();
  await command(page, 'Read From Radio');
  assert.equal(await status(page), 'Read OK.');
  await command(page, 'Write to Radio');
  assert.match(await status(page), /^Write OK\.\nBackup: 20261206\/\S+_backup$/);

  // Kept across a reload: the origin-private file system holds the archive.
  await page.reload();
  await ready(page);
  await button(page, 'Radio Archive...').click();
  let dialog = page.getByRole('dialog', { name: 'Radio Archive' });
  const rows = await archiveRows(dialog);
  // Within one second the entries stand in the order of their names.
  assert.deepEqual(rows.map((r) => [r[0], r[2], r[3], r[4]]).sort(), [['20261206', 'backup', '211234560', ''], ['20261206', 'read', '211234560', '']]);
  assert.equal(await dialog.getByRole('radio').last().isChecked(), true, 'newest last, and chosen');
  await button(dialog, 'Programming Log').click();
  assert.match(await dialog.getByLabel('Programming log').textContent(), /write {2}port Web Serial {2}serial 20261206 .* Write OK\./);

  // Out as a zip: unpacked where orven-cli keeps its archive, orven-cli lists the same entries.
  const zip = await downloaded(page, () => button(dialog, 'Export Archive').click());
  assert.match(zip.name, /^orven-archive-\d{4}-\d\d-\d\d\.zip$/);
  mkdirSync(join(dir, 'data', 'orven-clone'), { recursive: true });
  writeFileSync(join(dir, 'export.zip'), zip.bytes);
  run('unzip', ['-q', join(dir, 'export.zip')], join(dir, 'data', 'orven-clone'));
  const listed = cli(['archive', 'list'], join(dir, 'data'));
  const cliRows = listed.out.toString().trim().split('\n').map((line) => line.split(/\s+/));
  assert.deepEqual(cliRows.map((r) => [r[0].split('/')[0], r[3]]), rows.map((r) => [r[0], r[2]]), 'as the page lists them');

  // Restore the write's backup: the question names the entry and the port; the radio is read back.
  await dialog.getByRole('radio').nth(rows.findIndex((r) => r[2] === 'backup')).check();
  await button(dialog, 'Restore...').click();
  const asked = await answer(page, 'Yes', 'Restore');
  assert.match(asked.text, /^Write the exact bytes of entry 20261206\/\S+_backup \(radio serial 20261206, read at .*\) back into the radio on Web Serial\?$/);
  await page.waitForFunction(() => /^Restore OK\./.test(document.getElementById('status').textContent));
  assert.match(await status(page), /^Restore OK\. Verify OK\.\nBackup: /);

  // Open an entry: its settings become the document, untitled.
  await button(page, 'Radio Archive...').click();
  dialog = page.getByRole('dialog', { name: 'Radio Archive' });
  await dialog.getByRole('radio').nth(rows.findIndex((r) => r[2] === 'read')).check();
  await button(dialog, 'Open').click();
  await statusSays(page, 'Open file OK.');
  assert.equal(await page.locator('#doc-title').textContent(), 'Untitled');

  // In from a zip of orven-cli's archive: a radio read on the command line over a serial port.
  const device = await simulatedRadio(t, 'baud=0');
  const read = cli(['-p', device, '--fast', 'read', join(dir, 'cli.dat')], dir);
  assert.equal(read.code, 0, read.err);
  run('zip', ['-q', '-r', join(dir, 'desktop.zip'), 'archive'], join(dir, 'orven-clone'));
  await button(page, 'Radio Archive...').click();
  dialog = page.getByRole('dialog', { name: 'Radio Archive' });
  await chooseFile(page, () => button(dialog, 'Import Archive...').click(), join(dir, 'desktop.zip'));
  assert.equal((await answer(page, 'OK', 'Import Archive')).text, 'Imported 1 entry and 0 lines of the programming log.');
  assert.deepEqual((await archiveRows(dialog)).map((r) => r[2]).sort(), ['backup', 'backup', 'read', 'read', 'read-back'],
    'the read, the write\'s and the restore\'s backups, the restore\'s read-back, and orven-cli\'s read');
  await button(dialog, 'Close').click();
});

test('a write cut off by a closed tab leaves its backup and its start in the archive, and the log says to restore it', async (t) => {
  const context = await newContext(t);
  const page = await pageIn(t, context, '');
  // A radio slow to answer: the write takes seconds, and the tab is closed in the middle of it.
  await page.evaluate(() => window.fakeSerial.start('delay=30'));
  await page.getByLabel('Fast Transfer').check();
  await button(page, 'Write to Radio').click();
  await page.waitForFunction(() => /^Writing/.test(document.getElementById('phase').textContent));
  await page.close();

  const again = await pageIn(t, context, '?demo');
  await again.getByLabel('Port', { exact: true }).selectOption('serial');
  await button(again, 'Radio Archive...').click();
  const dialog = again.getByRole('dialog', { name: 'Radio Archive' });
  const rows = await archiveRows(dialog);
  assert.deepEqual(rows.map((r) => r[2]), ['backup']);
  await button(dialog, 'Programming Log').click();
  assert.match(await dialog.getByLabel('Programming log').textContent(),
    /write {2}port Web Serial .*INTERRUPTED: no outcome was logged; the radio may hold part of this write\. What it held before: entry 20261206\/\S+_backup of the radio archive/);
});

test('Check Connection says what the browser and the line tell, with the fix under each failure', async (t) => {
  const context = await newContext(t);
  await context.grantPermissions(['clipboard-read', 'clipboard-write']);
  const page = await pageIn(t, context, '?demo');
  const check = async () => {
    await button(page, 'Check Connection...').click();
    const dialog = page.getByRole('dialog', { name: 'Check Connection' });
    await dialog.getByRole('status').filter({ hasNotText: 'Checking...' }).waitFor();
    const lines = await dialog.getByRole('list', { name: 'Checklist' }).locator('li').allTextContents();
    return { dialog, lines, verdict: await dialog.getByRole('status').textContent() };
  };
  let said = await check();
  assert.match(said.lines[0], /^● OK\s*the built-in demo radio/);
  assert.match(said.verdict, /^The radio answers\. \(checked at /);
  await button(said.dialog, 'Copy').click();
  assert.match(await page.evaluate(() => navigator.clipboard.readText()), /^OK   the built-in demo radio/);
  await page.keyboard.press('Escape');

  await page.getByLabel('Port', { exact: true }).selectOption('serial');
  await page.evaluate(() => (window.fakeSerial.refuse = true));
  said = await check();
  assert.match(said.lines.join('\n'), /^■ FAIL\s*no serial adaptor is granted to this page.*fix: plug the adaptor in/s);
  await button(said.dialog, 'Close').click();

  await page.evaluate(() => {
    window.fakeSerial.refuse = false;
    window.fakeSerial.radioBaud = 19200;
  });
  said = await check();
  assert.match(said.lines.join('\n'), /● OK\s*the port opens at 9600 baud/);
  assert.match(said.lines.join('\n'), /■ FAIL\s*the radio does not answer the identify frame at 9600 baud.*fix: the radio answers at 19200 baud/s);
  assert.match(said.verdict, /^The radio does not answer: see the first FAIL above\./);
  await button(said.dialog, 'Close').click();

  await page.evaluate(() => {
    window.fakeSerial.radioBaud = 0;
    window.fakeSerial.start('no-echo');
  });
  said = await check();
  assert.match(said.lines.join('\n'), /■ FAIL\s*nothing came back: the adaptor does not echo the frame sent\s*fix: /);
  await page.evaluate(() => (window.fakeSerial.busy = true));
  await button(said.dialog, 'Check Again').click();
  await said.dialog.getByRole('status').filter({ hasNotText: 'Checking...' }).waitFor();
  assert.match((await said.dialog.locator('li').allTextContents()).join('\n'),
    /■ FAIL\s*the port does not open: another program or browser tab holds it \(Failed to open serial port\.\)/);
  await button(said.dialog, 'Close').click();
});

test('once opened, the page works without the network', async (t) => {
  const context = await newContext(t);
  const page = await pageIn(t, context, '?demo');
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await context.setOffline(true);
  await page.reload();
  await ready(page);
  assert.equal(await page.evaluate(() => navigator.serviceWorker.controller !== null), true, 'served by the worker');
  await command(page, 'Read From Radio');
  assert.equal(await status(page), 'Read OK.');
});

test('an archive the browser will not keep is said to be at risk after the read, and written once the browser takes it again', async (t) => {
  const context = await newContext(t);
  await context.addInitScript(() => {
    const { write } = FileSystemWritableFileStream.prototype;
    window.storageFull = true;
    FileSystemWritableFileStream.prototype.write = function (...args) {
      if (window.storageFull) return Promise.reject(new DOMException('The quota has been exceeded.', 'QuotaExceededError'));
      return write.apply(this, args);
    };
  });
  const page = await pageIn(t, context);
  await command(page, 'Read From Radio');
  const said = await problem(page);
  assert.equal(await status(page), 'Read OK.', 'the read itself went well');
  assert.equal(said.title, 'Radio Archive');
  assert.match(said.text, /could not be kept in this browser \(The quota has been exceeded\.\).*Export Archive/s);

  await page.evaluate(() => (window.storageFull = false));
  await command(page, 'HandShake');
  await page.reload();
  await ready(page);
  await button(page, 'Radio Archive...').click();
  const dialog = page.getByRole('dialog', { name: 'Radio Archive' });
  assert.deepEqual((await archiveRows(dialog)).map((r) => [r[2], r[4]]), [['read', '']], 'the read refused before is kept whole');
});
