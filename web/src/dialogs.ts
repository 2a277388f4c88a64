// The page's modal dialogs: each a <dialog> shown modally, so the rest of the page is out of reach
// until it closes; Escape cancels; focus returns where it was. A message, the questions, the
// identity question, and a frame for the larger dialogs built elsewhere.
import type { IdentityQuestion, Problem } from './core';

export function element<K extends keyof HTMLElementTagNameMap>(tag: K, text?: string, className?: string): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  if (className) e.className = className;
  return e;
}

export function button(text: string, value: string, type: 'submit' | 'button' = 'submit'): HTMLButtonElement {
  const b = element('button', text);
  b.type = type;
  b.value = value;
  return b;
}

export function buttonRow(...buttons: HTMLButtonElement[]): HTMLDivElement {
  const row = element('div', undefined, 'buttons');
  row.append(...buttons);
  return row;
}

// A control with its label, for a dialog's form.
export function labelled(text: string, control: HTMLElement, id: string): HTMLDivElement {
  control.id = id;
  const label = element('label', text);
  label.htmlFor = id;
  const row = element('div', undefined, 'field');
  row.append(label, control);
  return row;
}

export function select(choices: string[], chosen: number): HTMLSelectElement {
  const s = element('select');
  s.append(...choices.map((c, i) => new Option(c, String(i))));
  s.value = chosen >= 0 ? String(chosen) : '';
  if (chosen < 0) s.selectedIndex = -1;
  return s;
}

let openDialogs = 0;

// Tab past the last control comes round to the first, and Shift+Tab back: the browser alone would
// let focus leave a modal dialog for its own address bar.
function keepFocusInside(dialog: HTMLDialogElement): void {
  dialog.addEventListener('keydown', (event) => {
    if (event.key !== 'Tab') return;
    const reachable = Array.from(
      dialog.querySelectorAll<HTMLElement>('button, input, select, textarea, output[tabindex], pre[tabindex], ul[tabindex], [tabindex="0"]'),
    ).filter((e) => !(e as HTMLButtonElement).disabled && e.tabIndex >= 0 && e.offsetParent !== null &&
      !(e instanceof HTMLInputElement && e.type === 'radio' && !e.checked && dialog.querySelector(`input[name="${e.name}"]:checked`)));
    if (reachable.length === 0) return;
    const first = reachable[0];
    const last = reachable[reachable.length - 1];
    if (!event.shiftKey && document.activeElement === last) {
      event.preventDefault();
      first.focus();
    } else if (event.shiftKey && document.activeElement === first) {
      event.preventDefault();
      last.focus();
    }
  });
}

// Whether a dialog is open: the page's own keys and commands wait meanwhile.
export function dialogOpen(): boolean {
  return openDialogs > 0;
}

// Shows a dialog built by `fill` and resolves with the value of the button that closed it ('' for
// Escape). With `accept`, a button other than Cancel closes it only when accept says so.
export function showDialog(
  label: string,
  fill: (form: HTMLFormElement, dialog: HTMLDialogElement) => void,
  accept?: (value: string) => boolean | Promise<boolean>,
): Promise<string> {
  const dialog = element('dialog');
  dialog.setAttribute('aria-label', label);
  const form = element('form');
  form.method = 'dialog';
  fill(form, dialog);
  dialog.append(form);
  keepFocusInside(dialog);
  document.body.append(dialog);
  const before = document.activeElement as HTMLElement | null;
  if (accept)
    form.addEventListener('submit', (event) => {
      const value = (event.submitter as HTMLButtonElement | null)?.value ?? '';
      if (value === 'cancel') return;
      event.preventDefault();
      void Promise.resolve(accept(value)).then((ok) => ok && dialog.close(value));
    });
  openDialogs += 1;
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => {
      openDialogs -= 1;
      dialog.remove();
      if (before?.isConnected) before.focus();
      resolve(dialog.returnValue);
    });
    dialog.showModal();
  });
}

function paragraphs(form: HTMLFormElement, text: string): void {
  for (const part of text.split('\n\n')) form.append(element('p', part, 'message-text'));
}

export async function showProblem(problem: Problem): Promise<void> {
  await showDialog(problem.title, (form) => {
    form.append(element('h2', problem.title));
    paragraphs(form, problem.text);
    form.append(buttonRow(button('OK', 'ok')));
  });
}

// A question with Yes and No; No is where the focus starts, so Enter takes the safe answer.
export async function askYesNo(title: string, text: string): Promise<boolean> {
  const answer = await showDialog(title, (form) => {
    form.append(element('h2', title));
    paragraphs(form, text);
    const no = button('No', 'no');
    no.autofocus = true;
    form.append(buttonRow(button('Yes', 'yes'), no));
  });
  return answer === 'yes';
}

// The save question: Yes saves first, No drops the changes, Cancel (and Escape) keeps them.
export async function askToSave(title: string, text: string): Promise<'yes' | 'no' | 'cancel'> {
  const answer = await showDialog(title, (form) => {
    form.append(element('h2', title));
    paragraphs(form, text);
    const yes = button('Yes', 'yes');
    yes.autofocus = true;
    form.append(buttonRow(yes, button('No', 'no'), button('Cancel', 'cancel')));
  });
  return answer === 'yes' || answer === 'no' ? answer : 'cancel';
}

// A button for each choice and Cancel; the index of the choice, -1 for Cancel or Escape.
export async function askChoice(title: string, text: string, choices: string[]): Promise<number> {
  const answer = await showDialog(title, (form) => {
    form.append(element('h2', title));
    paragraphs(form, text);
    const cancel = button('Cancel', 'cancel');
    cancel.autofocus = true;
    form.append(buttonRow(...choices.map((c, i) => button(c, String(i))), cancel));
  });
  return answer === '' || answer === 'cancel' ? -1 : Number(answer);
}

// The question before a write or restore changes the radio's identities: OK opens once each new
// value is typed again as the core gives it and each removal or new model is ticked, and the core
// checks the answers again before it writes. Resolves with the answers after OK (the text typed,
// or the row's expected answer for a ticked box), null after Cancel.
export async function askIdentity(question: IdentityQuestion): Promise<string[] | null> {
  const inputs: HTMLInputElement[] = [];
  const answerOf = (input: HTMLInputElement, i: number) =>
    input.type === 'checkbox' ? (input.checked ? question.rows[i].expected : '') : input.value;
  const answer = await showDialog(question.title, (form) => {
    form.append(element('h2', question.title), element('p', question.intro));
    const table = element('table');
    const head = table.createTHead().insertRow();
    for (const text of ['', question.heldHeading, question.writtenHeading]) head.append(element('th', text));
    const body = table.createTBody();
    for (const row of question.rows) {
      const line = body.insertRow();
      line.append(element('th', row.name), element('td', row.held), element('td', row.written));
      const input = element('input');
      const ticked = row.acceptPrompt !== '';
      input.id = `${ticked ? 'accept' : 'again'}-${row.key}`;
      if (ticked) {
        input.type = 'checkbox';
      } else {
        input.inputMode = row.key === 'serial' ? 'text' : 'numeric';
        input.autocomplete = 'off';
      }
      const label = element('label', ticked ? row.acceptPrompt : row.againPrompt);
      label.htmlFor = input.id;
      const cell = body.insertRow().insertCell();
      cell.colSpan = 3;
      cell.append(...(ticked ? [input, label] : [label, input]));
      inputs.push(input);
    }
    form.append(table);
    const ok = button('OK', 'ok');
    ok.disabled = true;
    form.append(buttonRow(ok, button('Cancel', 'cancel')));
    const check = () => (ok.disabled = !question.rows.every((r, i) => answerOf(inputs[i], i) === r.expected));
    for (const input of inputs) {
      input.addEventListener('input', check);
      input.addEventListener('change', check);
    }
  });
  return answer === 'ok' ? inputs.map(answerOf) : null;
}
