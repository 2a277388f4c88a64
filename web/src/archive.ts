// Radio Archive...: every read and every write's backup of the radios on the port chosen (the demo
// radio keeps its own), newest last. Open makes an entry's settings the document, Restore... writes
// its exact bytes back after the core's checks and a question; the programming log is shown and
// can be downloaded; the whole archive goes out and comes in as one zip.
import type { ArchiveEntryView, ArchiveView, Core } from './core';
import { askYesNo, button, buttonRow, element, showDialog, showProblem } from './dialogs';
import { pickFile, readPicked } from './files';
import { notKeptProblem } from './storage';
import { downloadMade } from './tools';

export type ArchiveChoice = { kind: 'open' | 'restore'; id: string } | null;

export interface ArchiveContext {
  demo: boolean;
  portName: string;
  lasting: boolean;  // the browser keeps the archive beyond this page
  fileInput: HTMLInputElement;
  persist: () => Promise<string | null>;  // null once written, else why not
}

export async function runArchive(core: Core, context: ArchiveContext): Promise<ArchiveChoice> {
  const args = { demo: context.demo };
  let entries: ArchiveEntryView[] = [];
  let chosen: ArchiveEntryView | null = null;
  const body = element('tbody');
  const note = element('p', undefined, 'archive-note');
  note.setAttribute('aria-live', 'polite');
  const open = button('Open', 'open');
  const restore = button('Restore...', 'restore');
  const log = element('pre', undefined, 'log');
  log.tabIndex = 0;
  log.setAttribute('aria-label', 'Programming log');
  log.hidden = true;

  const select = (entry: ArchiveEntryView | null) => {
    chosen = entry;
    open.disabled = !entry?.canOpen;
    restore.disabled = !entry?.canRestore;
    note.textContent = entry ? entry.note : '';
  };
  const fill = () => {
    const view = core.call<ArchiveView>('archiveList', args);
    entries = view.entries;
    body.replaceChildren(
      ...entries.map((e, i) => {
        const row = element('tr');
        if (e.damage) row.className = 'damaged';
        const radio = element('input');
        radio.type = 'radio';
        radio.name = 'archive-entry';
        radio.value = String(i);
        radio.setAttribute('aria-label', `Entry ${e.id}`);
        radio.addEventListener('change', () => select(e));
        const pick = element('td');
        pick.append(radio);
        row.append(pick, ...[e.serial, e.time, e.operation, e.mmsi, e.damage].map((t) => element('td', t)));
        row.addEventListener('dblclick', () => e.canOpen && open.click());
        return row;
      }),
    );
    const last = body.querySelectorAll<HTMLInputElement>('input[type=radio]')[entries.length - 1];
    if (last) last.checked = true;
    select(entries.at(-1) ?? null);
    if (entries.length === 0) note.textContent = view.empty;
  };
  const showLog = () => {
    const read = core.call<{ lines: string[]; damaged: number }>('archiveLog', args);
    log.textContent = read.lines.length ? read.lines.join('\n') : 'The programming log is empty.';
    if (read.damaged > 0) log.textContent += `\n${read.damaged} damaged line(s) of the log left out`;
    log.hidden = false;
    log.focus();
  };
  const importZip = async () => {
    const file = await pickFile(context.fileInput, '.zip,application/zip');
    if (!file) return;
    let bytes: Uint8Array;
    try {
      bytes = await readPicked(file);
    } catch (error) {
      await showProblem({ title: 'Import Archive', text: (error as Error).message });
      return;
    }
    const imported = core.call<{ ok: boolean; text: string }>('archiveImport', args, bytes);
    const notKept = await context.persist();
    fill();
    await showProblem({ title: 'Import Archive', text: imported.text });
    if (notKept !== null) await showProblem(notKeptProblem(notKept));
  };

  const answer = await showDialog(
    'Radio Archive',
    (form) => {
      form.append(element('h2', 'Radio Archive'));
      const where = context.demo ? "the demo radio's archive, kept apart from real radios'" : 'the radio archive';
      form.append(element('p', `Folder: ${where}, ${context.lasting ? 'kept in this browser' : 'kept until the page is closed: this browser gives the page no storage'}.`));
      const table = element('table', undefined, 'archive-table');
      const head = table.createTHead().insertRow();
      for (const text of ['', 'Radio serial', 'Time', 'Operation', 'MMSI', 'Damaged']) head.append(element('th', text));
      table.append(body);
      const exportButton = button('Export Archive', 'export', 'button');
      exportButton.addEventListener('click', () => downloadMade(core, 'archiveExport', args));
      const importButton = button('Import Archive...', 'import', 'button');
      importButton.addEventListener('click', () => void importZip());
      const logButton = button('Programming Log', 'log', 'button');
      logButton.addEventListener('click', showLog);
      const logDownload = button('Download programming.log', 'log-file', 'button');
      logDownload.addEventListener('click', () => downloadMade(core, 'archiveLogFile', args));
      form.append(table, note, buttonRow(open, restore, exportButton, importButton),
        buttonRow(logButton, logDownload), log, buttonRow(button('Close', 'cancel')));
      fill();
    },
    async (value) => {
      if (!chosen) return false;
      if (value !== 'restore') return true;
      const question = core.call<{ refusal: { title: string; text: string } | null; title: string; text: string }>(
        'restoreQuestion', { ...args, id: chosen.id, port: context.portName });
      if (question.refusal) {
        await showProblem(question.refusal);
        return false;
      }
      return askYesNo(question.title, question.text);
    },
  );
  if ((answer !== 'open' && answer !== 'restore') || !chosen) return null;
  return { kind: answer, id: (chosen as ArchiveEntryView).id };
}
