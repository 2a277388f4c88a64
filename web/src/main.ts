// The page: the port and the clone commands, Open and Save, and the document shown as the core
// describes it. Everything it says comes from the core; it only lays it out.
import { Core, type DocumentView, type LinkChoices, type Operation, type PortChoice, type Verdict } from './core';
import { askIdentity, askYesNo, showProblem } from './dialogs';
import { download, pickFile } from './files';
import { WebHidLink, WebSerialLink } from './links';

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

const ui = {
  support: byId<HTMLParagraphElement>('support'),
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
  open: byId<HTMLButtonElement>('open'),
  save: byId<HTMLButtonElement>('save'),
  fileName: byId<HTMLSpanElement>('file-name'),
  fileInput: byId<HTMLInputElement>('file-input'),
  identities: byId<HTMLDListElement>('identities'),
  warnings: byId<HTMLParagraphElement>('warnings'),
  model: byId<HTMLDListElement>('model'),
  band: byId<HTMLSelectElement>('band'),
  channels: byId<HTMLOListElement>('channels'),
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

const serial = new WebSerialLink();
const hid = new WebHidLink();
let backupId = '';
let imageId = '';

function fillList(list: HTMLDListElement, rows: [string, string][]): void {
  list.replaceChildren();
  for (const [term, value] of rows) {
    const dt = document.createElement('dt');
    dt.textContent = term;
    const dd = document.createElement('dd');
    dd.textContent = value;
    list.append(dt, dd);
  }
}

function showChannels(core: Core): void {
  ui.channels.replaceChildren();
  if (!ui.band.value) return;
  for (const line of core.channelList(ui.band.value).lines) {
    const li = document.createElement('li');
    li.textContent = line;
    ui.channels.append(li);
  }
}

function showDocument(core: Core): void {
  const view: DocumentView = core.document();
  const d = view.document;
  const byUser = (flag: boolean) => (flag ? ' (entered by the user)' : '');
  fillList(ui.identities, [
    ['MMSI', `${d.mmsi}${byUser(d.mmsiByUser)}`],
    ['', view.decoded.mmsi],
    ['ATIS', `${d.atis}${byUser(d.atisByUser)}`],
    ['', view.decoded.atis],
    ['NMEA2000', d.nmea],
    ['Serial', d.serial],
  ]);
  ui.warnings.textContent = view.warnings.join('\n');
  fillList(ui.model, [
    ['Model', d.region],
    ['Bands', Object.keys(d.bands).filter((b) => d.bands[b]).join(', ')],
    ['TX step', d.txStep],
    ['RX step', d.rxStep],
    ['RX mid', d.rxMid],
    ['Brand name', d.brandName],
    ['Model name', d.modelName],
  ]);
  const chosen = ui.band.value;
  ui.band.replaceChildren(...view.bands.map((entry) => new Option(entry, entry)));
  if (view.bands.includes(chosen)) ui.band.value = chosen;
  ui.fileName.textContent = view.name;
  showChannels(core);
}

function setBusy(busy: boolean): void {
  for (const b of Object.values(commands)) b.disabled = busy;
  const others = [ui.open, ui.save, ui.port, ui.baud, ui.fast, ui.backUp, ui.verifyAfter, ui.band, ui.backupDownload, ui.imageDownload];
  for (const c of others) c.disabled = busy;
  ui.stop.disabled = !busy;
  if (!busy) ui.phase.textContent = '';
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
  const demo = new URLSearchParams(location.search).has('demo');
  ui.port.value = demo ? 'demo' : serialOk ? 'serial' : usbOk ? 'usb' : 'demo';
  ui.baud.replaceChildren(...choices.baudRates.map((rate, i) => new Option(String(rate), String(i))));
  ui.baud.value = String(choices.baudIndex);
}

// The browser asks the user for the port on the click that starts a command.
async function grantPort(port: PortChoice, choices: LinkChoices): Promise<void> {
  if (port === 'serial') await serial.choose();
  if (port === 'usb') await hid.choose(choices.usb.vendorId, choices.usb.productId);
}

// The checks before a write the window makes: a refused identity stops it, warnings ask.
async function writeMayStart(core: Core): Promise<boolean> {
  const check = core.writeCheck();
  if (check.refusal !== null) {
    await showProblem({ title: 'Error', text: check.refusal });
    return false;
  }
  if (check.warnings.length === 0) return true;
  return askYesNo(check.title, check.warnings.join('\n') + '\n\n' + check.question);
}

async function showVerdict(core: Core, verdict: Verdict): Promise<void> {
  ui.status.value = verdict.status;
  if (verdict.documentChanged) showDocument(core);
  if (verdict.report) {
    ui.report.textContent = verdict.report;
    ui.reportSection.hidden = false;
  }
  if (verdict.backup) {
    backupId = verdict.backup;
    ui.backupRow.hidden = false;
  }
  if (verdict.image) {
    imageId = verdict.image;
    ui.imageRow.hidden = false;
  }
  if (verdict.problem) await showProblem(verdict.problem);
}

// One command at a time, from the click on: the port's chooser and the write's questions come
// before the command itself.
let commandStarted = false;

// Leaving the page while a command runs cuts a write off, and its backup leaves with the page:
// the browser asks first.
window.addEventListener('beforeunload', (event) => {
  if (commandStarted) event.preventDefault();
});

async function run(core: Core, choices: LinkChoices, operation: Operation): Promise<void> {
  if (commandStarted) return;
  commandStarted = true;
  try {
    await runCommand(core, choices, operation);
  } finally {
    commandStarted = false;
  }
}

async function runCommand(core: Core, choices: LinkChoices, operation: Operation): Promise<void> {
  const port = ui.port.value as PortChoice;
  await grantPort(port, choices);
  if (operation === 'write' && !(await writeMayStart(core))) return;
  setBusy(true);
  ui.status.value = choices.working[operation];
  ui.progress.value = 0;
  const verdict = await core.run({
    operation,
    port,
    baud: Number(ui.baud.value),
    fast: ui.fast.checked,
    backUp: ui.backUp.checked,
    verifyAfter: ui.verifyAfter.checked,
  });
  setBusy(false);
  await showVerdict(core, verdict);
}

async function openFile(core: Core): Promise<void> {
  const file = await pickFile(ui.fileInput);
  if (!file) return;
  const verdict = core.open(new Uint8Array(await file.slice(0, core.openBytesNeeded()).arrayBuffer()), file.name);
  ui.status.value = verdict.status;
  if (verdict.ok) showDocument(core);
  else if (verdict.problem) await showProblem(verdict.problem);
}

async function saveFile(core: Core): Promise<void> {
  const saved = core.save();
  if (typeof saved === 'string') return showProblem({ title: 'Error', text: saved });
  download(saved, core.document().name || 'settings.dat');
}

function wire(core: Core, choices: LinkChoices): void {
  for (const [operation, button] of Object.entries(commands) as [Operation, HTMLButtonElement][])
    button.addEventListener('click', () => void run(core, choices, operation));
  ui.stop.addEventListener('click', () => core.stop());
  ui.open.addEventListener('click', () => void openFile(core));
  ui.save.addEventListener('click', () => void saveFile(core));
  ui.band.addEventListener('change', () => showChannels(core));
  ui.reportDownload.addEventListener('click', () => download(ui.report.textContent ?? '', 'Verify.txt', 'text/plain'));
  ui.backupDownload.addEventListener('click', () => {
    const bytes = core.archivedSettings(backupId);
    if (bytes) download(bytes, backupId.replace(/\//g, '_') + '.dat');
  });
  ui.imageDownload.addEventListener('click', () => {
    const bytes = core.archivedImage(imageId);
    if (bytes) download(bytes, imageId.replace(/\//g, '_') + '.bin');
  });
  core.onProgress = (p) => {
    const span = Math.max(1, p.max - p.min);
    ui.progress.max = span;
    ui.progress.value = p.pos - p.min;
    ui.phase.textContent = p.phase ? `${p.phase} ${Math.round(((p.pos - p.min) * 100) / span)}%` : '';
  };
  core.askIdentity = askIdentity;
}

async function start(): Promise<void> {
  setBusy(true);
  ui.stop.disabled = true;
  let core: Core;
  try {
    core = await Core.load({ serial, hid });
  } catch (error) {
    ui.status.value = `The page could not start: ${String(error)}`;
    return;
  }
  const choices = core.linkChoices();
  offerPorts(choices);
  wire(core, choices);
  showDocument(core);
  setBusy(false);
  ui.status.value = choices.ready;
  // How long the page took to become usable, for the performance figures.
  document.body.dataset.readyMs = performance.now().toFixed(0);
}

void start();
