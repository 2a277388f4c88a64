// Check Connection in the page: the core's checklist for the port and baud rate chosen (what the
// browser can tell of the adaptor or the radio, then the echo and the radio's answers), each line
// with its status in words and a mark of its own, and the fix under each failure and warning.
import type { CheckReport, Core, RunRequest } from './core';
import { button, buttonRow, element, showDialog } from './dialogs';

const kMarks: Record<string, string> = { OK: '\u25CF OK', WARN: '\u25B2 WARN', FAIL: '\u25A0 FAIL' };

export function showChecklist(list: HTMLUListElement, verdict: HTMLParagraphElement, report: CheckReport): void {
  list.replaceChildren(
    ...report.lines.map((line) => {
      const item = element('li', undefined, line.status);
      item.append(element('span', kMarks[line.status] ?? line.status, 'mark'), line.text);
      if (line.fix) item.append(element('div', `fix: ${line.fix}`, 'fix'));
      return item;
    }),
  );
  verdict.textContent = report.verdict;
}

// The dialog, checking at once and again on Check Again; `check` runs one check on the core.
export async function runCheckConnection(check: () => Promise<CheckReport | null>): Promise<void> {
  const list = element('ul', undefined, 'checklist');
  list.setAttribute('aria-label', 'Checklist');
  const verdict = element('p', undefined, 'verdict');
  verdict.setAttribute('role', 'status');
  const again = button('Check Again', 'again', 'button');
  const copy = button('Copy', 'copy', 'button');
  let plain = '';
  const run = async () => {
    again.disabled = copy.disabled = true;
    list.replaceChildren();
    verdict.textContent = 'Checking...';
    const report = await check();
    again.disabled = false;
    if (!report) {
      verdict.textContent = 'A clone command is running: check again once it has ended.';
      return;
    }
    plain = report.text;
    copy.disabled = false;
    showChecklist(list, verdict, report);
    verdict.textContent += ` (checked at ${new Date().toLocaleTimeString()})`;
  };
  again.addEventListener('click', () => void run());
  copy.addEventListener('click', () => {
    void navigator.clipboard?.writeText(plain).then(() => (copy.textContent = 'Copied'), () => (copy.textContent = 'Copy failed'));
  });
  await showDialog('Check Connection', (form) => {
    form.append(element('h2', 'Check Connection'), list, verdict, buttonRow(again, copy, button('Close', 'cancel')));
    void run();
  });
}

export type CheckRequest = Omit<RunRequest, 'operation'>;
export async function checkOnce(core: Core, request: CheckRequest): Promise<CheckReport | null> {
  if (core.running) return null;
  const verdict = await core.run({ ...request, operation: 'check' });
  return verdict.check ?? null;
}
