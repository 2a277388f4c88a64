// The page's modal dialogs: a message, a yes/no question, and the identity question. Each is a
// <dialog> shown modally; Escape cancels.
import type { IdentityQuestion, Problem } from './core';

function element<K extends keyof HTMLElementTagNameMap>(tag: K, text?: string): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  return e;
}

function button(text: string, value: string): HTMLButtonElement {
  const b = element('button', text);
  b.type = 'submit';
  b.value = value;
  return b;
}

// Shows a dialog built by `fill` and resolves with the value of the button that closed it
// ('' for Escape).
function showDialog(label: string, fill: (form: HTMLFormElement) => void): Promise<string> {
  const dialog = element('dialog');
  dialog.setAttribute('aria-label', label);
  const form = element('form');
  form.method = 'dialog';
  fill(form);
  dialog.append(form);
  document.body.append(dialog);
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => {
      dialog.remove();
      resolve(dialog.returnValue);
    });
    dialog.showModal();
  });
}

function paragraphs(form: HTMLFormElement, text: string): void {
  for (const part of text.split('\n\n')) {
    const p = element('p', part);
    p.className = 'message-text';
    form.append(p);
  }
}

export async function showProblem(problem: Problem): Promise<void> {
  await showDialog(problem.title, (form) => {
    form.append(element('h2', problem.title));
    paragraphs(form, problem.text);
    const row = element('div');
    row.className = 'buttons';
    row.append(button('OK', 'ok'));
    form.append(row);
  });
}

export async function askYesNo(title: string, text: string): Promise<boolean> {
  const answer = await showDialog(title, (form) => {
    form.append(element('h2', title));
    paragraphs(form, text);
    const row = element('div');
    row.className = 'buttons';
    row.append(button('Yes', 'yes'), button('No', 'no'));
    form.append(row);
  });
  return answer === 'yes';
}

// The question before a write puts new identities into the radio: OK opens once each new number
// is typed again as the core gives it, and the core checks the texts again before it writes.
// Resolves with the typed texts after OK, null after Cancel.
export async function askIdentity(question: IdentityQuestion): Promise<string[] | null> {
  const inputs: HTMLInputElement[] = [];
  const answer = await showDialog(question.title, (form) => {
    form.append(element('h2', question.title), element('p', question.intro));
    const table = element('table');
    const head = table.createTHead().insertRow();
    for (const text of ['', question.heldHeading, question.writtenHeading]) head.append(element('th', text));
    const body = table.createTBody();
    for (const row of question.rows) {
      const line = body.insertRow();
      line.append(element('th', row.name), element('td', row.held), element('td', row.written));
      const again = element('input');
      again.id = `again-${row.key}`;
      again.inputMode = 'numeric';
      again.autocomplete = 'off';
      const label = element('label', row.againPrompt);
      label.htmlFor = again.id;
      const typed = body.insertRow().insertCell();
      typed.colSpan = 3;
      typed.append(label, again);
      inputs.push(again);
    }
    form.append(table);
    const row = element('div');
    row.className = 'buttons';
    const ok = button('OK', 'ok');
    ok.disabled = true;
    row.append(ok, button('Cancel', 'cancel'));
    form.append(row);
    const check = () => (ok.disabled = !question.rows.every((r, i) => inputs[i].value === r.expected));
    for (const input of inputs) input.addEventListener('input', check);
  });
  return answer === 'ok' ? inputs.map((i) => i.value) : null;
}
