// The page's tools over the document: Load Default's model wizard, feature setup (brand and model
// names), the checksum, the frequency table report, and the private channels to and from a
// spreadsheet. The page asks and shows; the core builds, checks and says.
import type { Core, Problem, WizardView } from './core';
import { askChoice, askYesNo, button, buttonRow, element, labelled, select, showDialog, showProblem } from './dialogs';
import { download, pickFile, readPicked } from './files';

// The wizard's choice, or null when it was cancelled.
export async function runWizard(core: Core): Promise<{ model: number; country: number } | null> {
  let view = core.call<WizardView>('wizard', {});
  const radios: HTMLInputElement[] = [];
  const country = select(view.countries, view.country);
  const preview = element('ul', undefined, 'preview');
  preview.setAttribute('aria-label', 'European Private Channels');
  preview.tabIndex = 0;
  const chosenModel = () => Number(radios.find((r) => r.checked)?.value ?? view.model);
  const refresh = () => {
    view = core.call<WizardView>('wizard', { model: chosenModel(), country: Number(country.value) });
    country.disabled = !view.countryEnabled;
    preview.replaceChildren(...view.preview.map((line) => element('li', line)));
  };
  const answer = await showDialog('Model Wizard Dialog', (form) => {
    form.append(element('h2', 'Model Wizard Dialog'));
    const models = element('fieldset');
    models.append(element('legend', 'Model Type'));
    for (const m of view.models) {
      const radio = element('input');
      radio.type = 'radio';
      radio.name = 'wizard-model';
      radio.value = String(m.type);
      radio.checked = m.type === view.model;
      radio.addEventListener('change', refresh);
      radios.push(radio);
      const label = element('label');
      label.append(radio, ` ${m.name}`);
      models.append(label);
    }
    const countries = element('fieldset');
    countries.append(element('legend', 'European Private Channels'), labelled('Private Channel', country, 'wizard-country'), preview);
    country.addEventListener('change', refresh);
    const ok = button('OK', 'ok');
    ok.autofocus = true;
    form.append(models, countries, buttonRow(ok, button('Cancel', 'cancel')));
    refresh();
  });
  return answer === 'ok' ? { model: chosenModel(), country: Number(country.value) } : null;
}

// Feature Setup: the brand and model names; true once they were taken into the document.
export async function runFeatureSetup(core: Core): Promise<boolean> {
  const names = core.call<{ brand: string; model: string; limit: number }>('feature');
  const field = (value: string) => {
    const input = element('input');
    input.value = value;
    // Typing stops at the limit; a longer name that came with a file is shown whole.
    input.maxLength = Math.max(names.limit, value.length);
    input.autocomplete = 'off';
    return input;
  };
  const brand = field(names.brand);
  const model = field(names.model);
  const answer = await showDialog(
    'Feature Setup Dialog',
    (form) => {
      form.append(element('h2', 'Feature Setup Dialog'));
      const group = element('fieldset');
      group.append(element('legend', 'Names'), labelled('Brand Name:', brand, 'feature-brand'), labelled('Model Name:', model, 'feature-model'));
      form.append(group, buttonRow(button('OK', 'ok'), button('Cancel', 'cancel')));
    },
    async () => {
      const { refusal } = core.call<{ refusal: string | null }>('featureApply', { brand: brand.value, model: model.value });
      if (refusal === null) return true;
      await showProblem({ title: 'Error', text: refusal });
      return false;
    },
  );
  return answer === 'ok';
}

export async function showChecksum(core: Core): Promise<void> {
  await showProblem(core.call<Problem>('checksum'));
}

// Downloads a file the core makes and gives the status the core has for it; a problem it gives is
// shown instead (null).
export function downloadMade(core: Core, name: string, args: object = {}): string | null {
  const made = core.file(name, args);
  if (typeof made === 'string') {
    void showProblem({ title: 'Error', text: made });
    return null;
  }
  download(made.bytes, made.name, made.name.endsWith('.zip') ? 'application/zip' : 'text/plain');
  return made.status;
}

// Import Channels: a spreadsheet chosen, replace or append asked, and every problem listed when it
// is refused (then nothing changed). The status to show when it was taken, or null.
export async function importChannels(core: Core, input: HTMLInputElement): Promise<string | null> {
  const file = await pickFile(input, '.csv,text/csv');
  if (!file) return null;
  const chosen = core.call<{ refusal: string | null; title: string; text: string; choices: string[] }>(
    'csvChosen', { file: file.name }, await readPicked(file, core.call<{ bytes: number }>('csvBytesNeeded').bytes));
  if (chosen.refusal !== null) {
    await showProblem({ title: chosen.title, text: chosen.refusal });
    return null;
  }
  const choice = await askChoice(chosen.title, chosen.text, chosen.choices);
  if (choice < 0) return null;
  const mode = choice === 0 ? 'replace' : 'append';
  type Imported = { ok: boolean; status?: string; problem?: Problem; askEmpty?: Problem };
  let imported = core.call<Imported>('csvImport', { mode });
  if (imported.askEmpty) {
    if (!(await askYesNo(imported.askEmpty.title, imported.askEmpty.text))) return null;
    imported = core.call<Imported>('csvImport', { mode, allowEmpty: true });
  }
  if (imported.problem) await showProblem(imported.problem);
  return imported.ok ? (imported.status ?? '') : null;
}

