// The core compiled to WebAssembly, driven through the bindings the page calls, against the
// command-line tool built from the same sources.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { cli, loadCore, scratch, settingsFile } from './support.mjs';

const showJson = (dir, data) => {
  const path = `${dir}/shown.dat`;
  return import('node:fs').then(({ writeFileSync }) => {
    writeFileSync(path, data);
    return JSON.parse(cli(['show', path, '--json'], dir).out.toString());
  });
};

test('a read of the demo radio is the settings file orven-cli reads, byte for byte, shown as show --json has it', async (t) => {
  const dir = scratch(t);
  const core = await loadCore();
  const verdict = await core.run({ operation: 'read', port: 'demo', fast: true });
  assert.deepEqual([verdict.ok, verdict.status, verdict.documentChanged], [true, 'Read OK.', true]);
  const saved = core.save();
  const byCli = cli(['-p', 'demo', 'read', '-'], dir);
  assert.equal(byCli.code, 0, byCli.err);
  assert.ok(Buffer.from(saved).equals(byCli.out), 'the page saves what orven-cli reads');
  const view = core.document();
  assert.deepEqual(view.document, await showJson(dir, saved));
  assert.equal(view.notes.mmsi, 'ship station, MID 211, Germany');
  assert.deepEqual(view.bandEntries, ['INT', 'Private']);
});

test('Open takes a settings file whole and refuses anything else, keeping the document', async (t) => {
  const dir = scratch(t);
  const core = await loadCore();
  const file = settingsFile(dir, 'uk.dat', ['--model', 'eur-int', '--country', 'uk'], ['--mmsi', '211999999']);
  const opened = core.open(file, 'uk.dat');
  assert.deepEqual([opened.ok, opened.status], [true, 'Open file OK.']);
  assert.ok(Buffer.from(core.save()).equals(file), 'Save gives back the bytes opened');
  assert.equal(core.document().name, 'uk.dat');

  const { writeFileSync } = await import('node:fs');
  for (const junk of [file.subarray(0, 1000), Buffer.alloc(file.length, 0xff)]) {
    const verdict = core.open(junk, 'junk.dat');
    assert.equal(verdict.ok, false);
    assert.deepEqual(verdict.problem, { title: 'Error', text: verdict.status });
    writeFileSync(`${dir}/junk.dat`, junk);
    const refused = cli(['show', `${dir}/junk.dat`], dir);
    assert.equal(refused.code, 4);
    assert.ok(refused.err.includes(verdict.status), `orven-cli says: ${refused.err}`);
  }
  assert.equal(core.document().document.mmsi, '211999999', 'a refused file changes nothing');
});

test('a write asks before it puts a new MMSI into the radio: no writes nothing, the typed number must match', async (t) => {
  const dir = scratch(t);
  const core = await loadCore();
  const held = cli(['-p', 'demo', 'read', '-'], dir).out;
  core.open(settingsFile(dir, 'new.dat', ['--model', 'eur-int'], ['--mmsi', '211999999', '--mmsi-by-user', 'off']), 'new.dat');
  const asked = [];
  let typed = null;
  core.module.askIdentity = async (question) => {
    asked.push(question);
    return typed;
  };

  const declined = await core.run({ operation: 'write', port: 'demo', fast: true });
  assert.equal(declined.ok, false);
  assert.deepEqual(declined.problem, { title: 'Write Error', text: 'User Cancel.' });
  assert.deepEqual(asked[0].rows.map((r) => [r.key, r.held, r.written, r.expected]), [
    ['mmsi', '211234560 (ship station, MID 211, Germany)', '211999999 (ship station, MID 211, Germany)', '211999999'],
  ]);
  // OK with a number that is not the new one: the core does not take it.
  typed = ['211999990'];
  assert.equal((await core.run({ operation: 'write', port: 'demo', fast: true })).problem.text, 'User Cancel.');
  assert.equal((await core.run({ operation: 'verify', port: 'demo', fast: true })).status, 'Verify Error.',
    'the radio holds what it held');

  typed = ['211999999'];
  const written = await core.run({ operation: 'write', port: 'demo', fast: true, verifyAfter: true });
  assert.equal(written.ok, true, JSON.stringify(written));
  assert.match(written.backup, /^20261206\/\S+_backup/);
  assert.equal(written.status, `Write OK. Verify OK.\nBackup: ${written.backup}`);
  assert.ok(Buffer.from(core.archived(written.backup)).equals(held), 'the backup is what the radio held');
  const verified = await core.run({ operation: 'verify', port: 'demo', fast: true });
  assert.deepEqual([verified.status, verified.problem], ['Verify OK.', null]);
});

test('without a backup every identity is asked about: a new value typed again, each removal ticked', async (t) => {
  const dir = scratch(t);
  const core = await loadCore();
  core.open(settingsFile(dir, 'new.dat', ['--model', 'eur-int'], ['--mmsi', '211999999', '--mmsi-by-user', 'off']), 'new.dat');
  const asked = [];
  let answers = null;
  core.module.askIdentity = async (question) => {
    asked.push(question);
    return answers(question);
  };
  const unknown = 'not known (no backup was read)';
  // The serial number's removal left unticked: nothing is written.
  answers = (q) => q.rows.map((r) => (r.key === 'serial' ? '' : r.expected));
  const refused = await core.run({ operation: 'write', port: 'demo', fast: true, backUp: false });
  assert.equal(refused.problem.text, 'User Cancel.');
  assert.deepEqual(asked[0].rows.map((r) => [r.key, r.held, r.written, r.againPrompt || r.acceptPrompt]), [
    ['mmsi', unknown, '211999999 (ship station, MID 211, Germany)', 'Type the new MMSI again:'],
    ['atis', unknown, 'none', 'Remove the ATIS from the radio'],
    ['nmea', unknown, 'none', 'Remove the NMEA2000 number from the radio'],
    ['serial', unknown, 'none', 'Remove the serial number from the radio'],
  ]);
  answers = (q) => q.rows.map((r) => r.expected);
  const written = await core.run({ operation: 'write', port: 'demo', fast: true, backUp: false });
  assert.equal(written.ok, true, JSON.stringify(written));
  assert.equal(written.status, 'Write OK.');
});

test('Verify reports the differences as orven-cli compare does', async (t) => {
  const dir = scratch(t);
  const core = await loadCore();
  const file = settingsFile(dir, 'pc.dat', ['--model', 'usa']);
  core.open(file, 'pc.dat');
  const verdict = await core.run({ operation: 'verify', port: 'demo', fast: true });
  assert.deepEqual([verdict.ok, verdict.status, verdict.problem], [false, 'Verify Error.', null]);
  const { writeFileSync } = await import('node:fs');
  writeFileSync(`${dir}/radio.dat`, cli(['-p', 'demo', 'read', '-'], dir).out);
  const compared = cli(['compare', `${dir}/pc.dat`, `${dir}/radio.dat`, '--report', '-'], dir);
  assert.equal(compared.code, 1);
  const withoutDate = (text) => text.split(/\r?\n/).slice(1).join('\n').trimEnd();
  assert.ok(withoutDate(verdict.report).length > 0);
  assert.equal(withoutDate(verdict.report), withoutDate(compared.out.toString()));
});

test('Stop ends a read with User Cancel and leaves the document as it was', async (t) => {
  scratch(t);
  const core = await loadCore();
  const before = core.document();
  let steps = 0;
  core.module.onProgress = () => {
    if (++steps === 5) core.stop();
  };
  // The product's timing waits between frames, so the stop lands in the middle of the read.
  const verdict = await core.run({ operation: 'read', port: 'demo', fast: false });
  assert.deepEqual([verdict.ok, verdict.status, verdict.problem], [false, 'Read Error.', { title: 'Read Error', text: 'User Cancel.' }]);
  assert.ok(steps >= 5 && steps < 20, `the read went on for ${steps} progress steps after Stop`);
  assert.deepEqual(core.document(), before);
  const again = await core.run({ operation: 'handshake', port: 'demo', fast: true });
  assert.equal(again.status, 'HandShake OK.', 'the next command runs');
});

test('a document with bytes that are no text (an erased serial number, an odd label) is shown, asked about and written', async (t) => {
  const dir = scratch(t);
  const core = await loadCore();
  const file = Buffer.from(settingsFile(dir, 'odd.dat', ['--model', 'eur-int'], ['--serial', '12345678']));
  const serialAt = 42108;
  const privateLabelAt = 264 + 300 * 104 + 4;
  file.fill(0xff, serialAt, serialAt + 8);
  file.set([0x50, 0xff, 0x00], privateLabelAt);
  file.writeUInt32LE(1, 264 + 300 * 104 + 40); // the private channel in use
  file.writeDoubleLE(156.025, 264 + 300 * 104 + 24);
  file.writeDoubleLE(156.025, 264 + 300 * 104 + 32);
  assert.equal(core.open(file, 'odd.dat').status, 'Open file OK.');
  assert.match(core.call('channelList', { band: 'Private' }).lines[0], /P\uFFFD,TX/);

  const asked = [];
  core.module.askIdentity = async (question) => {
    asked.push(question);
    return question.rows.map((r) => r.expected);
  };
  const written = await core.run({ operation: 'write', port: 'demo', fast: true });
  assert.equal(written.status, `Write OK.\nBackup: ${written.backup}`, JSON.stringify(written));
  const serial = asked[0].rows.find((r) => r.key === 'serial');
  assert.deepEqual([serial.held, serial.written, serial.expected], ['20261206', '\\xff'.repeat(8), '\\xff'.repeat(8)]);
  assert.equal((await core.run({ operation: 'read', port: 'demo', fast: true })).status, 'Read OK.');
  assert.ok(Buffer.from(core.save()).subarray(serialAt, serialAt + 8).equals(Buffer.alloc(8, 0xff)), 'the radio holds the bytes asked about');
});
