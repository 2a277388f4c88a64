// The page in Debian's Chromium, headless, driven as a user would: the demo radio, a settings
// file opened and saved, the identity question, Verify, Stop, and a Web Serial port bridged to
// the simulated radio, each against what orven-cli does with the same radio.
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { writeFileSync } from 'node:fs';
import { test } from 'node:test';
import { answer, bytesLoaded, button, chooseFile, command, countBytesLoaded, downloaded, env, idle, newContext, openFile, openPage, pageIn, problem, save, status, statusSays, useBrowser } from './browser.mjs';
import { cli, scratch, settingsFile, simulatedRadio } from './support.mjs';

useBrowser();

test('a read of the demo radio shows its settings, and Save gives the file orven-cli reads', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  assert.equal(await status(page), 'Ready.');
  await page.getByLabel('Fast Transfer').check();
  const started = Date.now();
  await command(page, 'Read From Radio');
  t.diagnostic(`page ready after ${await page.evaluate(() => document.body.dataset.readyMs)} ms; fast demo read ${Date.now() - started} ms`);
  assert.equal(await status(page), 'Read OK.');
  assert.equal(await page.getByLabel('MMSI', { exact: true }).inputValue(), '211234560');
  assert.equal(await page.locator('#mmsi-decoded').textContent(), 'ship station, MID 211, Germany');
  await page.getByLabel('Band').selectOption('Private');
  assert.equal(await page.getByRole('listbox', { name: 'Channel list' }).locator('option').count(), 7);
  const saved = await save(page);
  assert.ok(saved.bytes.equals(cli(['-p', 'demo', 'read', '-'], dir).out), 'byte for byte what orven-cli reads');
});

test('Open takes a settings file and Save gives it back; a file that is none is refused and changes nothing', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  const file = settingsFile(dir, 'uk.dat', ['--model', 'eur-int', '--country', 'uk'], ['--mmsi', '232001234']);
  await openFile(page, join(dir, 'uk.dat'));
  await statusSays(page, 'Open file OK.');
  const mmsi = page.getByLabel('MMSI', { exact: true });
  assert.equal(await page.getByLabel('MMSI entry by user').isChecked(), true, 'the radio keeps its own MMSI');
  assert.deepEqual([await mmsi.inputValue(), await mmsi.getAttribute('placeholder'), await mmsi.isDisabled()], ['', 'kept by radio', true]);
  assert.equal(await page.locator('#mmsi-decoded').textContent(), '', 'so nothing is said of a number');
  writeFileSync(join(dir, 'junk.dat'), file.subarray(0, 4096));
  await openFile(page, join(dir, 'junk.dat'));
  assert.deepEqual(await problem(page), { title: 'Error', text: 'Unknown File Format.' });
  const saved = await save(page);
  assert.equal(saved.name, 'uk.dat');
  assert.ok(saved.bytes.equals(file));
  await page.getByLabel('MMSI entry by user').uncheck();
  assert.equal(await mmsi.inputValue(), '232001234', 'unticked, the file\'s number shows');
  assert.match(await page.locator('#mmsi-decoded').textContent(), /United Kingdom/);
});

test('a write shows what the radio holds against the new MMSI and goes ahead only once it is typed again', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  settingsFile(dir, 'new.dat', ['--model', 'eur-int'], ['--mmsi', '211999999', '--mmsi-by-user', 'off']);
  await openFile(page, join(dir, 'new.dat'));
  await statusSays(page, 'Open file OK.');

  await page.getByRole('button', { name: 'Write to Radio' }).click();
  const question = page.getByRole('dialog', { name: 'Confirm Identity Changes' });
  await question.waitFor();
  assert.match(await question.textContent(), /211234560 \(ship station, MID 211, Germany\).*211999999 \(ship station/);
  const ok = question.getByRole('button', { name: 'OK' });
  await question.getByLabel('Type the new MMSI again:').fill('211999990');
  assert.equal(await ok.isDisabled(), true);
  await question.getByRole('button', { name: 'Cancel' }).click();
  assert.deepEqual(await problem(page), { title: 'Write Error', text: 'User Cancel.' });
  await idle(page);

  await command(page, 'Verify');
  assert.equal(await status(page), 'Verify Error.', 'nothing was written');
  assert.match(await page.getByRole('region', { name: 'Verify Report' }).textContent(), /Private Band is different/);

  await page.getByLabel('Verify after write').check();
  await page.getByRole('button', { name: 'Write to Radio' }).click();
  await question.getByLabel('Type the new MMSI again:').fill('211999999');
  await ok.click();
  await idle(page);
  assert.match(await status(page), /^Write OK\. Verify OK\.\nBackup: 20261206\/\S+_backup$/);
  const backup = await downloaded(page, () => page.getByRole('button', { name: 'Download Backup' }).click());
  assert.ok(backup.bytes.equals(cli(['-p', 'demo', 'read', '-'], dir).out), 'the backup is what the radio held');

  await command(page, 'Verify');
  assert.equal(await status(page), 'Verify OK.');
  const report = await downloaded(page, () => page.getByRole('button', { name: 'Download Verify.txt' }).click());
  assert.equal(report.bytes.toString(), await page.locator('#report').textContent());
});

test('Stop ends a serial read with User Cancel; the adaptor chosen serves every command, and one that does not open is asked for again', async (t) => {
  const page = await openPage(t, '');
  assert.equal(await page.getByLabel('Port', { exact: true }).inputValue(), 'serial');
  // The product's timing: a serial read takes half a minute, so Stop lands in the middle of it.
  await page.getByRole('button', { name: 'Read From Radio' }).click();
  await page.waitForFunction(() => document.getElementById('progress').value > 2);
  await page.getByRole('button', { name: 'Stop' }).click();
  assert.deepEqual(await problem(page), { title: 'Read Error', text: 'User Cancel.' });
  assert.equal(await status(page), 'Read Error.');
  await command(page, 'HandShake');
  assert.equal(await status(page), 'HandShake OK.');
  assert.deepEqual(await page.evaluate(() => window.fakeSerial.opened.map((o) => o.baudRate)), [9600, 9600]);
  assert.equal(await page.evaluate(() => window.fakeSerial.asked), 1, 'the adaptor chosen once serves every command');

  // A port another program holds: the core's text with the browser's reason, and the next command
  // asks for the adaptor again.
  await page.evaluate(() => (window.fakeSerial.busy = true));
  await page.getByRole('button', { name: 'HandShake' }).click();
  assert.deepEqual(await problem(page), { title: 'HandShake Error.', text: 'Open Comp Port Error. (Failed to open serial port.)' });
  await page.evaluate(() => (window.fakeSerial.busy = false));
  await command(page, 'HandShake');
  assert.equal(await status(page), 'HandShake OK.');
  assert.equal(await page.evaluate(() => window.fakeSerial.asked), 2);

  // An adaptor that stops taking bytes ends the command with the port's error instead of holding
  // the page, and the next command goes through once it takes them again.
  await page.evaluate(() => (window.fakeSerial.stuck = true));
  await page.getByRole('button', { name: 'HandShake' }).click();
  assert.deepEqual(await problem(page), { title: 'HandShake Error.', text: 'Radio is not detected!' });
  await page.evaluate(() => (window.fakeSerial.stuck = false));
  await command(page, 'HandShake');
  assert.equal(await status(page), 'HandShake OK.');
});

test('over Web Serial the line faults give what orven-cli gives over a serial port', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t, '');
  for (const faults of ['no-echo', 'no-radio', 'bad-checksum', 'repeat=31', 'delay=2500']) {
    const device = await simulatedRadio(t, faults);
    const byCli = cli(['-p', device, 'handshake'], dir);
    assert.equal(byCli.code, 3, faults);
    await page.evaluate((list) => window.fakeSerial.start(list), faults);
    await page.getByRole('button', { name: 'HandShake' }).click();
    assert.deepEqual(await problem(page), { title: 'HandShake Error.', text: byCli.err.trim() }, faults);
    assert.equal(await status(page), 'Ready.', faults);
  }

  const device = await simulatedRadio(t, 'split=3');
  const read = cli(['-p', device, '--fast', 'read', '-'], dir);
  assert.equal(read.code, 0, read.err);
  await page.evaluate(() => window.fakeSerial.start('split=3'));
  await page.getByLabel('Fast Transfer').check();
  await command(page, 'Read From Radio');
  assert.equal(await status(page), 'Read OK.');
  const saved = await save(page);
  assert.ok(saved.bytes.equals(read.out), 'the read over Web Serial is the read over the serial port');
});

test('over WebHID the USB radio reads as orven-cli reads the demo radio; a radio not there is told as orven-cli tells it', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t, '');
  await page.getByLabel('Port', { exact: true }).selectOption('usb');
  const absent = cli(['-p', 'USB', 'handshake'], dir);
  assert.equal(absent.code, 3);
  await page.getByRole('button', { name: 'HandShake' }).click();
  assert.deepEqual(await problem(page), { title: 'HandShake Error.', text: absent.err.trim() });

  await page.evaluate(() => window.fakeUsb.plug());
  await command(page, 'Read From Radio');
  assert.equal(await status(page), 'Read OK.');
  const saved = await save(page);
  assert.ok(saved.bytes.equals(cli(['-p', 'demo', 'read', '-'], dir).out));
});

test('without a backup the question asks about every identity: the new MMSI typed again, each removal ticked', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  settingsFile(dir, 'new.dat', ['--model', 'eur-int'], ['--mmsi', '211999999', '--mmsi-by-user', 'off']);
  await openFile(page, join(dir, 'new.dat'));
  await statusSays(page, 'Open file OK.');
  await page.getByLabel('Back up before write').uncheck();
  await page.getByRole('button', { name: 'Write to Radio' }).click();
  const question = page.getByRole('dialog', { name: 'Confirm Identity Changes' });
  await question.waitFor();
  const ok = question.getByRole('button', { name: 'OK' });
  await question.getByLabel('Type the new MMSI again:').fill('211999999');
  const removals = ['Remove the ATIS from the radio', 'Remove the NMEA2000 number from the radio', 'Remove the serial number from the radio'];
  for (const removal of removals) {
    assert.equal(await ok.isDisabled(), true, `before: ${removal}`);
    await question.getByLabel(removal).check();
  }
  await ok.click();
  await page.waitForFunction(() => !document.getElementById('read').disabled);
  assert.equal(await status(page), 'Write OK.');
});

test('identity warnings are asked about before a write, and No writes nothing', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  settingsFile(dir, 'odd.dat', ['--model', 'eur-int'], ['--mmsi', '100123456', '--mmsi-by-user', 'off']);
  const shown = cli(['show', join(dir, 'odd.dat')], dir);
  await openFile(page, join(dir, 'odd.dat'));
  await statusSays(page, 'Open file OK.');
  const warnings = (await page.locator('#warnings').textContent()).split('\n');
  assert.deepEqual(warnings.map((w) => `warning: ${w}\n`).join(''), shown.err, 'the warnings orven-cli gives');

  await page.getByRole('button', { name: 'Write to Radio' }).click();
  const question = page.getByRole('dialog', { name: 'Identity Warnings' });
  await question.waitFor();
  assert.match(await question.textContent(), /Write to the radio all the same\?/);
  await question.getByRole('button', { name: 'No' }).click();
  await command(page, 'Verify');
  assert.equal(await status(page), 'Verify Error.', 'nothing was written');
});

test('a browser without Web Serial and WebHID offers the demo radio alone and says where the radio can be reached', async (t) => {
  const context = await env.browser.newContext();
  t.after(() => context.close());
  await context.addInitScript(() => {
    for (const api of ['serial', 'hid']) Object.defineProperty(Navigator.prototype, api, { configurable: true, get: () => undefined });
  });
  const page = await context.newPage();
  await page.goto(env.site.url);
  await page.waitForFunction(() => document.body.dataset.readyMs !== undefined);
  const port = page.getByLabel('Port', { exact: true });
  assert.equal(await port.inputValue(), 'demo');
  const offered = await port.locator('option').evaluateAll((options) => options.map((o) => [o.value, o.disabled]));
  assert.deepEqual(offered, [['serial', true], ['usb', true], ['demo', false]]);
  assert.match(await page.locator('#support').textContent(), /cannot reach a radio: Chrome, Edge and Opera can/);
  await command(page, 'Read From Radio');
  assert.equal(await status(page), 'Read OK.');
});

test('a read of a radio no settings file can hold keeps the document and offers the radio\'s exact bytes', async (t) => {
  const page = await openPage(t, '');
  const before = await page.getByLabel('MMSI', { exact: true }).inputValue();
  // RX of the first private channel far above the band (its record at 0x0300, RX at offset 7).
  await page.evaluate(async () => {
    await window.fakeSerial.poke(0x0307, 0xff);
    await window.fakeSerial.poke(0x0308, 0xff);
  });
  await page.getByLabel('Fast Transfer').check();
  await page.getByRole('button', { name: 'Read From Radio' }).click();
  const said = await problem(page);
  assert.equal(said.title, 'Read Error');
  assert.match(said.text, /^The radio's settings cannot be kept as a settings file:\nprivate channel 1 /);
  assert.match(said.text, /Download Radio Image saves the radio's exact bytes\.$/);
  assert.equal(await status(page), 'Read Error.');
  assert.equal(await page.getByLabel('MMSI', { exact: true }).inputValue(), before);
  const image = await downloaded(page, () => page.getByRole('button', { name: 'Download Radio Image' }).click());
  const memory = Buffer.from(await page.evaluate(() => window.fakeSerial.memory()));
  assert.equal(image.bytes.length, 8192);
  assert.ok(image.bytes.subarray(0x0100, 0x0700).equals(memory.subarray(0x0100, 0x0700)), 'the clone range as the radio holds it');
});

test('a write cut off after its backup says so, and the backup brings back what the radio held', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t, '');
  // The backup's read takes 78 frames; the radio falls silent in the middle of the write.
  await page.evaluate(() => window.fakeSerial.start('silent-after=100'));
  settingsFile(dir, 'usa.dat', ['--model', 'usa']);
  await openFile(page, join(dir, 'usa.dat'));
  await statusSays(page, 'Open file OK.');
  await page.getByLabel('Fast Transfer').check();
  await page.getByRole('button', { name: 'Write to Radio' }).click();
  const said = await problem(page);
  assert.equal(said.title, 'Write Error');
  assert.match(said.text, /^Radio is not detected!\n\nWhat the radio held before is kept in the radio archive as 20261206\/\S+_backup; Radio Archive\.\.\. can write it back; Download Backup saves it as a settings file\.$/);
  const backup = await downloaded(page, () => page.getByRole('button', { name: 'Download Backup' }).click());
  assert.ok(backup.bytes.equals(cli(['-p', 'demo', 'read', '-'], dir).out), 'the radio as it was before the write');
});

test('Open judges a file of any size by as much of it as a settings file holds, without loading it whole', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  const file = settingsFile(dir, 'uk.dat', ['--model', 'eur-int', '--country', 'uk'], ['--mmsi', '232001234']);
  writeFileSync(join(dir, 'big.dat'), Buffer.concat([file, Buffer.alloc(4 << 20)]));
  await countBytesLoaded(page);
  await openFile(page, join(dir, 'big.dat'));
  assert.deepEqual(await problem(page), { title: 'Error', text: 'Unknown File Format.' });
  assert.deepEqual(await bytesLoaded(page), [file.length + 1]);
  await openFile(page, join(dir, 'uk.dat'));
  await statusSays(page, 'Open file OK.');
  assert.ok((await save(page)).bytes.equals(file), 'the whole file opened');
});

test('leaving the page while a write runs is asked first, and staying lets the write finish', async (t) => {
  const page = await openPage(t);
  await page.getByRole('button', { name: 'Write to Radio' }).click();
  await page.waitForFunction(() => document.getElementById('progress').value > 2);
  const asked = page.waitForEvent('dialog');
  // Staying, the reload never ends: it is not waited for.
  page.reload().catch(() => undefined);
  const dialog = await asked;
  assert.equal(dialog.type(), 'beforeunload');
  await dialog.dismiss();
  await page.waitForFunction(() => !document.getElementById('read').disabled);
  assert.match(await status(page), /^Write OK\.\nBackup: /);
  // Once it has ended the page goes without a question.
  page.once('dialog', () => assert.fail('asked again after the write'));
  await page.reload();
  await page.waitForFunction(() => document.body.dataset.readyMs !== undefined);
});

// The browser's answer when a picked file was deleted or changed on disk before the page read it.
const kGoneCause = 'A requested file or directory could not be found at the time an operation was processed.';

test('a picked file the browser cannot read is named with its cause, by Open, Import Channels and Import Archive, and the page stays usable', async (t) => {
  const dir = scratch(t);
  const context = await newContext(t);
  await context.addInitScript((cause) => {
    const gone = new WeakSet();
    const isGone = (blob) => gone.has(blob) || (blob instanceof File && blob.name.startsWith('gone'));
    const { slice, arrayBuffer } = Blob.prototype;
    Blob.prototype.slice = function (...args) {
      const part = slice.apply(this, args);
      if (isGone(this)) gone.add(part);
      return part;
    };
    Blob.prototype.arrayBuffer = function () {
      return isGone(this) ? Promise.reject(new DOMException(cause, 'NotFoundError')) : arrayBuffer.call(this);
    };
  }, kGoneCause);
  const page = await pageIn(t, context);
  const files = { dat: 'gone.dat', csv: 'gone.csv', zip: 'gone.zip' };
  for (const name of Object.values(files)) writeFileSync(join(dir, name), 'x');
  await openFile(page, join(dir, files.dat));
  assert.deepEqual(await problem(page), { title: 'Error', text: `gone.dat cannot be read (${kGoneCause})` });
  await chooseFile(page, () => button(page, 'Import Channels...').click(), join(dir, files.csv));
  assert.deepEqual(await problem(page), { title: 'Error', text: `gone.csv cannot be read (${kGoneCause})` });
  await button(page, 'Radio Archive...').click();
  const archive = page.getByRole('dialog', { name: 'Radio Archive' });
  await chooseFile(page, () => button(archive, 'Import Archive...').click(), join(dir, files.zip));
  assert.deepEqual(await problem(page), { title: 'Import Archive', text: `gone.zip cannot be read (${kGoneCause})` });
  await answer(page, 'Close', 'Radio Archive');
  await command(page, 'Read From Radio');
  assert.equal(await status(page), 'Read OK.', 'the page still runs commands');
});
