// The document edited in the page as in the window, against orven-cli: Load Default, the identity
// fields with what is said of them as typed, the model, bands and steps, the private channels with
// the channel dialog's checks, feature setup, the checksum and the frequency report; the unsaved
// changes kept from loss; the private channels to and from a spreadsheet.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { answer, bytesLoaded, button, chooseFile, countBytesLoaded, downloaded, openFile, openPage, problem, save, status, statusSays, useBrowser } from './browser.mjs';
import { cli, scratch, settingsFile } from './support.mjs';

useBrowser();

const title = (page) => page.locator('#doc-title').textContent();

// The channel dialog's problem when TX is left as `tx`.
async function leaveTx(dialog, page, tx) {
  await dialog.getByLabel('Tx Freq').fill(tx);
  await dialog.getByLabel('Tx Freq').press('Tab');
  return problem(page);
}

test('a document made and edited in the page is saved as orven-cli shows it, with the window\'s checks on the way', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);

  // Load Default: the wizard's EUR (INT) with the UK's channels is orven-cli's new document.
  await button(page, 'Load Default...').click();
  const wizard = page.getByRole('dialog', { name: 'Model Wizard Dialog' });
  await wizard.getByLabel('EUR (INT)', { exact: true }).check();
  await wizard.getByLabel('Private Channel', { exact: true }).selectOption({ label: 'UK' });
  assert.ok((await wizard.getByRole('list', { name: 'European Private Channels' }).locator('li').count()) > 0);
  await button(wizard, 'OK').click();
  assert.equal(await title(page), 'Untitled');
  settingsFile(dir, 'uk.dat', ['--model', 'eur-int', '--country', 'uk']);
  assert.ok((await save(page)).bytes.equals(readFileSync(join(dir, 'uk.dat'))), 'the wizard builds what orven-cli new builds');

  // The identities: decoded as typed, a number the radio keeps closed to typing.
  const mmsi = page.getByLabel('MMSI', { exact: true });
  assert.equal(await mmsi.isDisabled(), true, 'entry by user: the radio keeps its MMSI');
  await page.getByLabel('MMSI entry by user').uncheck();
  await mmsi.pressSequentially('23200123');
  assert.equal(await page.locator('#mmsi-decoded').textContent(), '', 'eight digits are no MMSI yet');
  await mmsi.pressSequentially('4');
  assert.equal(await page.locator('#mmsi-decoded').textContent(), 'ship station, MID 232, United Kingdom');
  assert.equal(await title(page), 'settings.dat*');
  await page.getByLabel('ATIS entry by user').uncheck();
  await page.getByLabel('ATIS', { exact: true }).fill('211234567');
  const warnings = await page.locator('#warnings').textContent();
  assert.match(warnings, /The ATIS 9211234567 is neither 9 followed by the MMSI/, 'an ATIS that does not belong to the MMSI is warned about');

  // NMEA2000 stepped by the keyboard's arrow; a character the serial number cannot hold refused.
  const nmea = page.getByLabel('NMEA2000', { exact: true });
  await nmea.fill('012345');
  await nmea.press('ArrowUp');
  assert.equal(await nmea.inputValue(), '012346');
  const serial = page.getByLabel('Serial Number', { exact: true });
  await serial.fill('AB12');
  await serial.pressSequentially('\u00fc');
  assert.deepEqual(await problem(page), { title: 'Error', text: 'The serial number holds "\u00fc" at position 5: only printable ASCII characters can be stored.' });
  assert.equal(await serial.inputValue(), 'AB12');
  await serial.fill('20260001');

  // Bands and steps.
  await page.getByLabel('USA_narrow').check();
  await page.getByLabel('TX PLL STEP:').selectOption('12.5KHz');
  await page.getByLabel('RX Mid Freq:').selectOption('38.85MHz');

  // The private channels: the list's refusals, the dialog's checks, add, edit and remove.
  const band = page.getByLabel('Band');
  const list = page.getByRole('listbox', { name: 'Channel list' });
  await band.selectOption('INT');
  await list.selectOption({ index: 0 });
  await button(page, 'Edit').click();
  assert.deepEqual(await problem(page), { title: 'Error', text: 'Only Private Channel Can be Modified!' });
  await band.selectOption('Private');
  await button(page, 'Edit').click();
  assert.deepEqual(await problem(page), { title: 'Error', text: 'Please Select a Channel First!' });
  await list.selectOption({ index: 0 });
  await button(page, 'Add').click();
  const setup = page.getByRole('dialog', { name: 'Channel Setup Dialog' });
  assert.match((await leaveTx(setup, page, '180')).text, /^Invalid Tx Frequency\./);
  await setup.getByLabel('Tx Freq').fill('137.0');
  await setup.getByLabel('Duplex(RX=TX-4.6)').check();
  assert.equal(await setup.getByLabel('Rx Freq').textContent(), '132.40000');
  await button(setup, 'OK').click();
  assert.match((await problem(page)).text, /^Invalid Rx Frequency\./);
  await setup.getByLabel('Simplex').check();
  await setup.getByLabel('First character').selectOption('A');
  await setup.getByLabel('Second character').selectOption('5');
  await setup.getByLabel('Usage').selectOption('CALLING');
  await button(setup, 'OK').click();
  await setup.waitFor({ state: 'detached' });
  await list.locator('option').nth(2).waitFor({ state: 'attached' });  // the list is drawn again after the dialog
  assert.equal(await list.locator('option').count(), 3);
  assert.match(await list.locator('option').nth(1).textContent(), /^ A5,TX:137\.0000 .*CALLING/);
  await list.selectOption({ index: 1 });
  await list.press('Enter');
  await setup.getByLabel('Tx Freq').fill('156.5');
  await setup.getByLabel('Duplex(RX=TX+4.6)').check();
  await button(setup, 'OK').click();
  await setup.waitFor({ state: 'detached' });
  await list.selectOption({ index: 2 });
  await button(page, 'Remove').click();
  await list.locator('option').nth(2).waitFor({ state: 'detached' });
  assert.equal(await list.locator('option').count(), 2);

  // Feature setup and the checksum.
  await button(page, 'Feature Setup...').click();
  const feature = page.getByRole('dialog', { name: 'Feature Setup Dialog' });
  await feature.getByLabel('Brand Name:').fill('Marina Co');
  await feature.getByLabel('Model Name:').fill('VHF-1');
  await button(feature, 'OK').click();
  await button(page, 'View CheckSum').click();
  const checksum = await problem(page);
  const report = await downloaded(page, () => button(page, 'Export Freq Table').click());

  const saved = await save(page);
  assert.equal(await title(page), 'settings.dat', 'saved: nothing unsaved');
  const path = join(dir, 'edited.dat');
  writeFileSync(path, saved.bytes);
  const shown = cli(['show', path, '--json'], dir);
  assert.equal(shown.code, 0, shown.err);
  const doc = JSON.parse(shown.out.toString());
  assert.deepEqual(
    [doc.mmsi, doc.mmsiByUser, doc.atis, doc.atisByUser, doc.nmea, doc.serial, doc.brandName, doc.modelName],
    ['232001234', false, '211234567', false, '012346', '20260001', 'Marina Co', 'VHF-1']);
  assert.deepEqual([doc.bands.USA_Narrow, doc.bands.WX, doc.bands.Private, doc.txStep, doc.rxMid], [true, false, true, '12.5KHz', '38.85MHz']);
  assert.deepEqual(doc.privateChannels.map((c) => [c.label, c.txMHz, c.rxMHz, c.usageName.trim()]),
    [['M1', 157.85, 157.85, 'MARINA'], ['A5', 156.5, 161.1, 'CALLING']]);
  assert.equal(shown.err, warnings.split('\n').map((w) => `warning: ${w}\n`).join(''), 'the warnings orven-cli gives');
  assert.equal(checksum.text, cli(['checksum', path], dir).out.toString().trim());
  const withoutDate = (text) => text.toString().split('\n').slice(1).join('\n');
  assert.equal(withoutDate(report.bytes), withoutDate(cli(['export', path, '-o', '-'], dir).out));
  assert.equal(report.name, 'FreqTabl.txt');
});

test('unsaved changes are never lost unasked: the save question before a document is replaced, and the browser\'s before the page is left', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  settingsFile(dir, 'usa.dat', ['--model', 'usa']);
  await button(page, 'Read From Radio').click();
  await statusSays(page, 'Read OK.');
  assert.equal(await title(page), 'Read from the radio, serial 20261206*', 'a read is the radio\'s, not yet saved');

  // Escape is Cancel: the document stays and no file is asked for.
  await button(page, 'Open...').click();
  const question = page.getByRole('dialog', { name: 'WARNING' });
  assert.match(await question.textContent(), /File is modified\. Do you want to save\?/);
  await page.keyboard.press('Escape');
  await question.waitFor({ state: 'detached' });
  assert.equal(await page.getByLabel('MMSI', { exact: true }).inputValue(), '211234560');
  // Cancel keeps the document from a read too; Yes saves it first; then the file is opened.
  await button(page, 'Read From Radio').click();
  await answer(page, 'Cancel');
  assert.equal(await status(page), 'Read OK.');
  const [kept] = await Promise.all([
    page.waitForEvent('download'),
    chooseFile(page, async () => {
      await button(page, 'Open...').click();
      await button(page.getByRole('dialog', { name: 'WARNING' }), 'Yes').click();
    }, join(dir, 'usa.dat')),
  ]);
  assert.equal(kept.suggestedFilename(), 'radio-20261206.dat');
  await statusSays(page, 'Open file OK.');
  assert.equal(await title(page), 'usa.dat');

  // Leaving a page with unsaved changes asks the browser's question; a saved one does not.
  await page.getByLabel('NMEA2000', { exact: true }).fill('111111');
  const asked = [];
  page.on('dialog', (dialog) => {
    asked.push(dialog.type());
    void dialog.dismiss();
  });
  await page.close({ runBeforeUnload: true });
  await page.waitForTimeout(200);
  assert.deepEqual(asked, ['beforeunload']);
});

test('private channels go to a spreadsheet and come back; a sheet with problems lists each and changes nothing', async (t) => {
  const dir = scratch(t);
  const page = await openPage(t);
  const original = settingsFile(dir, 'uk.dat', ['--model', 'eur-int', '--country', 'uk']);
  await openFile(page, join(dir, 'uk.dat'));
  await statusSays(page, 'Open file OK.');
  const sheet = await downloaded(page, () => button(page, 'Export Channels').click());
  assert.equal(sheet.name, 'uk.csv');
  assert.ok(sheet.bytes.equals(cli(['channels-export', join(dir, 'uk.dat'), '-o', '-'], dir).out));
  await statusSays(page, 'Export Channels OK.');

  const importing = async (name, text, choice) => {
    writeFileSync(join(dir, name), text);
    await chooseFile(page, () => button(page, 'Import Channels...').click(), join(dir, name));
    return answer(page, choice);
  };
  const asked = await importing('bad.csv', 'Label,TX MHz,RX MHz\nA1,999,156\nZZ,157.0,157\n', 'Replace');
  assert.match(asked.text, /Replace the document's private channels with those of bad\.csv, or append them/);
  const refused = await problem(page);
  assert.equal(refused.title, 'Import Channels');
  assert.match(refused.text, /^bad\.csv holds 2 problem\(s\).*the document was not changed\.\n\nline 2, column 2 \(TX MHz\): .*\nline 3, column 1 \(Label\): /s);
  await importing('empty.csv', 'Label,TX MHz,RX MHz\n', 'Replace');
  assert.match((await answer(page, 'No')).text, /empty\.csv holds no channels\. Remove every private channel/);
  // A sheet of any size is judged by as much of it as the longest one taken, without loading it whole.
  await countBytesLoaded(page);
  writeFileSync(join(dir, 'huge.csv'), 'Label,TX MHz,RX MHz\n' + 'A1,156.025,160.625\n'.repeat(1 << 20));
  await chooseFile(page, () => button(page, 'Import Channels...').click(), join(dir, 'huge.csv'));
  assert.deepEqual(await problem(page), { title: 'Import Channels', text: 'huge.csv: too large for a channel list.' });
  assert.deepEqual(await bytesLoaded(page), [(1 << 20) + 1]);
  assert.ok((await save(page)).bytes.equals(original), 'nothing changed');

  const good = 'Label,TX MHz,RX MHz,Usage\nA1,156.025,160.625,PORT OPERATION\n';
  await importing('good.csv', good, 'Append');
  await statusSays(page, 'Imported 1 channel(s).');
  assert.match(await title(page), /\*$/);
  writeFileSync(join(dir, 'good.csv'), good);
  const byCli = cli(['channels-import', join(dir, 'uk.dat'), join(dir, 'good.csv'), '--append'], dir);
  assert.equal(byCli.code, 0, byCli.err);
  assert.ok((await save(page)).bytes.equals(readFileSync(join(dir, 'uk.dat'))), 'the document orven-cli makes of the same sheet');
});
