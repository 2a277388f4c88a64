// The page: the document's fields and channel list, the file and tool commands, the port with the
// clone commands, the radio archive and the connection check. Everything it says and every rule it
// follows comes from the core; it lays them out and asks the user.
import { runArchive } from './archive';
import { ChannelPanel } from './channels';
import { checkOnce, runCheckConnection } from './check';
import { Core, type DocumentView, type EditAnswer, type LinkChoices, type Operation, type PortChoice, type Verdict } from './core';
import { askIdentity, askToSave, askYesNo, dialogOpen, showProblem } from './dialogs';
import { Editor } from './editor';
import { download, pickFile, readPicked } from './files';
import { WebHidLink, WebSerialLink } from './links';
import { ArchiveStore, notKeptProblem, unreadableProblem } from './storage';
import { downloadMade, importChannels, runFeatureSetup, runWizard, showChecksum } from './tools';

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

const ui = {
  support: byId<HTMLParagraphElement>('support'),
  docTitle: byId<HTMLSpanElement>('doc-title'),
  port: byId<HTMLSelectElement>('port'),
  baud: byId<HTMLSelectElement>('baud'),
  fast: byId<HTMLInputElement>('fast'),
  backUp: byId<HTMLInputElement>('backup'),
  verifyAfter: byId<HTMLInputElement>('verify-after'),
  stop: byId<HTMLButtonElement>('stop'),
  progress: byId<HTMLProgressElement>('progress'),
  phase: byId<HTMLSpanElement>('phase'),
  status: byId<HTMLOutputElement>('status'),
  backupRow: byId<HTMLParagraphElement>('backup-row'),
  backupDownload: byId<HTMLButtonElement>('backup-download'),
  imageRow: byId<HTMLParagraphElement>('image-row'),
  imageDownload: byId<HTMLButtonElement>('image-download'),
  fileInput: byId<HTMLInputElement>('file-input'),
  reportSection: byId<HTMLElement>('report-section'),
  report: byId<HTMLPreElement>('report'),
  reportDownload: byId<HTMLButtonElement>('report-download'),
};

const commands: Record<Operation, HTMLButtonElement> = {
  read: byId('read'),
  write: byId('write'),
  verify: byId('verify'),
  handshake: byId('handshake'),
};

// The file and tool commands, by their button's id.
const toolbar = Array.from(document.querySelectorAll<HTMLButtonElement>('.toolbar button'));

const serial = new WebSerialLink();
const hid = new WebHidLink();

interface Page {
  core: Core;
  choices: LinkChoices;
  store: ArchiveStore;
  editor: Editor;
  channels: ChannelPanel;
  modified: boolean;
  backupId: string;
  imageId: string;
  backupDemo: boolean;
}

// ---------------------------------------------------------------------------------------------
// The document

function showTitle(page: Page, title: string, modified: boolean): void {
  page.modified = modified;
  ui.docTitle.textContent = title;
  document.title = `${title} - ORVEN Clone`;
}

// Shows a document that replaced the one on screen.
function showDocument(page: Page): void {
  const view: DocumentView = page.core.document();
  page.editor.show(view);
  page.channels.fillBands(view.bandEntries);
  showTitle(page, view.title, view.modified);
}

function edited(page: Page, answer: EditAnswer): void {
  page.channels.fillBands(answer.bandEntries);
  showTitle(page, answer.title, answer.modified);
}

// After the document changed without its fields (a channel, the names, an import).
function changed(page: Page): void {
  const view = page.core.document();
  showTitle(page, view.title, view.modified);
}

async function saveFile(page: Page): Promise<boolean> {
  const saved = page.core.file('save');
  if (typeof saved === 'string') {
    await showProblem({ title: 'Error', text: saved });
    return false;
  }
  download(saved.bytes, saved.name);
  changed(page);
  ui.status.value = 'Save file OK.';
  return true;
}

// Before the document on screen is replaced: unsaved changes are saved, dropped, or kept (false).
async function mayDropDocument(page: Page): Promise<boolean> {
  const question = page.core.call<{ ask: boolean; title: string; text: string }>('dropQuestion');
  if (!question.ask) return true;
  const answer = await askToSave(question.title, question.text);
  if (answer === 'cancel') return false;
  return answer === 'no' || (await saveFile(page));
}

async function openFile(page: Page): Promise<void> {
  if (!(await mayDropDocument(page))) return;
  const file = await pickFile(ui.fileInput, '.dat');
  if (!file) return;
  // A file is read no further than the core needs to judge it.
  const { bytes } = page.core.call<{ bytes: number }>('openBytesNeeded');
  const verdict = page.core.call<Verdict>('open', { name: file.name }, await readPicked(file, bytes));
  ui.status.value = verdict.status;
  if (verdict.ok) showDocument(page);
  else if (verdict.problem) await showProblem(verdict.problem);
}

async function loadDefault(page: Page): Promise<void> {
  const choice = await runWizard(page.core);
  if (!choice || !(await mayDropDocument(page))) return;
  page.core.call('loadDefault', choice);
  showDocument(page);
}

// ---------------------------------------------------------------------------------------------
// Ports and clone commands

// The choices the user made last time stay for the next visit, as the window's state file keeps them.
const kRemembered = 'orven-clone-link';

function remember(): void {
  const link = { port: ui.port.value, baud: ui.baud.value, fast: ui.fast.checked, backUp: ui.backUp.checked, verifyAfter: ui.verifyAfter.checked };
  try {
    localStorage.setItem(kRemembered, JSON.stringify(link));
  } catch {
    // a browser that keeps nothing for the page
  }
}

function offerPorts(choices: LinkChoices): void {
  const serialOk = WebSerialLink.supported();
  const usbOk = WebHidLink.supported();
  for (const option of Array.from(ui.port.options)) {
    const missing = (option.value === 'serial' && !serialOk) || (option.value === 'usb' && !usbOk);
    option.disabled = missing;
    if (missing) option.text += ' (not in this browser)';
  }
  if (!serialOk || !usbOk)
    ui.support.textContent =
      'This browser cannot reach a ' + (serialOk ? 'USB radio' : usbOk ? 'serial adaptor' : 'radio') +
      ': Chrome, Edge and Opera can. The demo radio works everywhere.';
  ui.baud.replaceChildren(...choices.baudRates.map((rate, i) => new Option(String(rate), String(i))));
  ui.baud.value = String(choices.baudIndex);
  let last: { port?: string; baud?: string; fast?: boolean; backUp?: boolean; verifyAfter?: boolean } = {};
  try {
    last = JSON.parse(localStorage.getItem(kRemembered) ?? '{}');
  } catch {
    last = {};
  }
  const usable = (port: string | undefined) => Array.from(ui.port.options).some((o) => o.value === port && !o.disabled);
  const demo = new URLSearchParams(location.search).has('demo');
  ui.port.value = demo ? 'demo' : usable(last.port) ? (last.port as string) : serialOk ? 'serial' : usbOk ? 'usb' : 'demo';
  if (last.baud !== undefined && Number(last.baud) < choices.baudRates.length) ui.baud.value = last.baud;
  ui.fast.checked = last.fast ?? false;
  ui.backUp.checked = last.backUp ?? true;
  ui.verifyAfter.checked = last.verifyAfter ?? false;
  for (const c of [ui.port, ui.baud, ui.fast, ui.backUp, ui.verifyAfter]) c.addEventListener('change', remember);
}

// The browser asks the user for the port on the click that starts a command.
async function grantPort(port: PortChoice, choices: LinkChoices): Promise<void> {
  if (port === 'serial') await serial.choose();
  if (port === 'usb') await hid.choose(choices.usb.vendorId, choices.usb.productId);
}

function setBusy(page: Page | null, busy: boolean): void {
  for (const b of Object.values(commands)) b.disabled = busy;
  const others = [ui.port, ui.baud, ui.fast, ui.backUp, ui.verifyAfter, ui.backupDownload, ui.imageDownload, ...toolbar];
  for (const c of others) c.disabled = busy;
  page?.editor.setEnabled(!busy);
  page?.channels.setEnabled(!busy);
  ui.stop.disabled = !busy;
  if (!busy) ui.phase.textContent = '';
}

// The checks before a write the window makes: a refused identity stops it, warnings ask.
async function writeMayStart(core: Core): Promise<boolean> {
  const check = core.call<{ refusal: string | null; warnings: string[]; title: string; question: string }>('writeCheck');
  if (check.refusal !== null) {
    await showProblem({ title: 'Error', text: check.refusal });
    return false;
  }
  if (check.warnings.length === 0) return true;
  return askYesNo(check.title, check.warnings.join('\n') + '\n\n' + check.question);
}

async function showVerdict(page: Page, verdict: Verdict, demo: boolean): Promise<void> {
  ui.status.value = verdict.status;
  if (verdict.documentChanged) showDocument(page);
  if (verdict.report) {
    ui.report.textContent = verdict.report;
    ui.reportSection.hidden = false;
  }
  if (verdict.backup) {
    page.backupId = verdict.backup;
    page.backupDemo = demo;
    ui.backupRow.hidden = false;
  }
  if (verdict.image) {
    page.imageId = verdict.image;
    page.backupDemo = demo;
    ui.imageRow.hidden = false;
  }
  if (verdict.problem) await showProblem(verdict.problem);
}

// One command at a time, from the click on: the questions and the port's chooser come before the
// command itself.
let commandStarted = false;

async function oneAtATime(work: () => Promise<void>): Promise<void> {
  if (commandStarted || dialogOpen()) return;
  commandStarted = true;
  try {
    await work();
  } catch (error) {
    // What the browser refused (a picked file, a port) is said, and the page stays usable.
    await showProblem({ title: 'Error', text: (error as Error).message || String(error) });
  } finally {
    commandStarted = false;
  }
}

function linkRequest(): { port: PortChoice; baud: number; fast: boolean; backUp: boolean; verifyAfter: boolean } {
  return {
    port: ui.port.value as PortChoice,
    baud: Number(ui.baud.value),
    fast: ui.fast.checked,
    backUp: ui.backUp.checked,
    verifyAfter: ui.verifyAfter.checked,
  };
}

async function runCommand(page: Page, operation: Operation | 'restore', entry = ''): Promise<void> {
  if (operation === 'read' && !(await mayDropDocument(page))) return;
  const link = linkRequest();
  await grantPort(link.port, page.choices);
  if (operation === 'write' && !(await writeMayStart(page.core))) return;
  setBusy(page, true);
  ui.status.value = page.choices.working[operation];
  ui.progress.value = 0;
  let verdict: Verdict;
  let notKept: string | null;
  try {
    verdict = await page.core.run({ operation, ...link, entry });
    // The command is done once what it put in the archive is kept.
    notKept = await page.store.persist();
  } finally {
    setBusy(page, false);
  }
  await showVerdict(page, verdict, link.port === 'demo');
  if (notKept !== null) await showProblem(notKeptProblem(notKept));
}

async function radioArchive(page: Page): Promise<void> {
  const port = ui.port.value as PortChoice;
  const choice = await runArchive(page.core, {
    demo: port === 'demo',
    portName: page.choices.portNames[port],
    lasting: page.store.lasting,
    fileInput: ui.fileInput,
    persist: () => page.store.persist(),
  });
  if (!choice) return;
  if (choice.kind === 'restore') return runCommand(page, 'restore', choice.id);
  if (!(await mayDropDocument(page))) return;
  const verdict = page.core.call<Verdict>('archiveOpen', { demo: port === 'demo', id: choice.id });
  ui.status.value = verdict.status;
  if (verdict.ok) showDocument(page);
  else if (verdict.problem) await showProblem(verdict.problem);
}

async function checkConnection(page: Page): Promise<void> {
  const link = linkRequest();
  await grantPort(link.port, page.choices);
  await runCheckConnection(async () => {
    setBusy(page, true);
    try {
      return await checkOnce(page.core, linkRequest());
    } finally {
      setBusy(page, false);
    }
  });
}

// ---------------------------------------------------------------------------------------------
// Start-up

function wire(page: Page): void {
  const { core } = page;
  const on = (id: string, work: () => Promise<unknown> | unknown) =>
    byId<HTMLButtonElement>(id).addEventListener('click', () => void oneAtATime(async () => void (await work())));
  for (const [operation, button] of Object.entries(commands) as [Operation, HTMLButtonElement][])
    button.addEventListener('click', () => void oneAtATime(() => runCommand(page, operation)));
  ui.stop.addEventListener('click', () => core.stop());
  on('load-default', () => loadDefault(page));
  on('open', () => openFile(page));
  on('save', () => saveFile(page));
  on('import-channels', async () => {
    const status = await importChannels(core, ui.fileInput);
    if (status === null) return;
    ui.status.value = status;
    page.channels.showList();
    changed(page);
  });
  on('export-channels', () => {
    const status = downloadMade(core, 'exportCsv');
    if (status) ui.status.value = status;
  });
  on('radio-archive', () => radioArchive(page));
  on('freq-report', () => downloadMade(core, 'freqReport'));
  on('checksum', () => showChecksum(core));
  on('feature-setup', async () => (await runFeatureSetup(core)) && changed(page));
  on('check-connection', () => checkConnection(page));
  ui.reportDownload.addEventListener('click', () => download(ui.report.textContent ?? '', 'Verify.txt', 'text/plain'));
  ui.backupDownload.addEventListener('click', () => {
    const made = core.file('archivedSettings', { demo: page.backupDemo, id: page.backupId });
    if (typeof made !== 'string') download(made.bytes, page.backupId.replace(/\//g, '_') + '.dat');
  });
  ui.imageDownload.addEventListener('click', () => {
    const made = core.file('archivedImage', { demo: page.backupDemo, id: page.imageId });
    if (typeof made !== 'string') download(made.bytes, page.imageId.replace(/\//g, '_') + '.bin');
  });
  core.onProgress = (p) => {
    const span = Math.max(1, p.max - p.min);
    ui.progress.max = span;
    ui.progress.value = p.pos - p.min;
    ui.phase.textContent = p.phase ? `${p.phase} ${Math.round(((p.pos - p.min) * 100) / span)}%` : '';
  };
  core.askIdentity = askIdentity;
  core.persistArchive = () => page.store.persist();
  // The browser's own question before a page with unsaved changes is left, or left while a command
  // runs or the archive is being written (that would cut a write or an archive entry off).
  window.addEventListener('beforeunload', (event) => {
    if (!page.modified && !page.core.running && !page.store.writing) return;
    event.preventDefault();
    event.returnValue = '';
  });
}

// Once opened, the page works without the network: a service worker keeps the site's files.
function workOffline(): void {
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  navigator.serviceWorker.register('sw.js').catch(() => undefined);
}

async function start(): Promise<void> {
  setBusy(null, true);
  ui.stop.disabled = true;
  let core: Core;
  let store: ArchiveStore;
  try {
    core = await Core.load({ serial, hid });
    store = await ArchiveStore.open(core.fs);
  } catch (error) {
    ui.status.value = `The page could not start: ${String(error)}`;
    return;
  }
  const choices = core.linkChoices();
  offerPorts(choices);
  const page: Page = {
    core, choices, store, modified: false, backupId: '', imageId: '', backupDemo: false,
    editor: new Editor(core, (answer) => edited(page, answer)),
    channels: new ChannelPanel(core, () => changed(page)),
  };
  wire(page);
  showDocument(page);
  setBusy(page, false);
  ui.status.value = choices.ready;
  workOffline();
  // How long the page took to become usable, for the performance figures.
  document.body.dataset.readyMs = performance.now().toFixed(0);
  if (store.unread.length > 0) await showProblem(unreadableProblem(store.unread));
}

void start();
