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
    const row = element('div');
    row.className = 'buttons';
    const ok = button('OK', 'ok');
    ok.disabled = true;
    row.append(ok, button('Cancel', 'cancel'));
    form.append(row);
    const check = () => (ok.disabled = !question.rows.every((r, i) => answerOf(inputs[i], i) === r.expected));
    for (const input of inputs) {
      input.addEventListener('input', check);
      input.addEventListener('change', check);
    }
  });
  return answer === 'ok' ? inputs.map(answerOf) : null;
}
