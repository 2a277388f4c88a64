// The document's fields in the page: the identities with what the core says of them as they are
// typed, the model, the band switches, the PLL steps and the RX mid frequency. Every change goes
// to the core at once, which takes it by its rules and marks the document modified.
import type { Core, DocumentView, EditAnswer, Fields } from './core';
import { element, showProblem } from './dialogs';

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

// The band switches as the window lays them out, two to a row; WX and Private follow the model.
const kBandBoxes: [string, string][] = [
  ['USA', 'USA'], ['INT', 'INT'], ['CAN', 'CAN'], ['Private', 'Private'],
  ['USA_Narrow', 'USA_narrow'], ['INT_Narrow', 'INT_narrow'], ['CAN_Narrow', 'CAN_narrow'], ['WX', 'WX Channels'],
];
const kFollowModel = ['WX', 'Private'];

export class Editor {
  private readonly mmsi = byId<HTMLInputElement>('mmsi');
  private readonly mmsiByUser = byId<HTMLInputElement>('mmsi-by-user');
  private readonly atis = byId<HTMLInputElement>('atis');
  private readonly atisByUser = byId<HTMLInputElement>('atis-by-user');
  private readonly nmea = byId<HTMLInputElement>('nmea');
  private readonly serial = byId<HTMLInputElement>('serial');
  private readonly mmsiDecoded = byId<HTMLSpanElement>('mmsi-decoded');
  private readonly atisDecoded = byId<HTMLSpanElement>('atis-decoded');
  private readonly warnings = byId<HTMLParagraphElement>('warnings');
  private readonly usa = byId<HTMLInputElement>('model-usa');
  private readonly europe = byId<HTMLInputElement>('model-europe');
  private readonly txStep = byId<HTMLSelectElement>('tx-step');
  private readonly rxStep = byId<HTMLSelectElement>('rx-step');
  private readonly rxMid = byId<HTMLSelectElement>('rx-mid');
  private readonly bands = new Map<string, HTMLInputElement>();
  // What the printable-text fields held before the last edit, to go back to when one is refused.
  private readonly accepted = new Map<HTMLInputElement, string>();

  constructor(
    private readonly core: Core,
    private readonly changed: (answer: EditAnswer) => void,
  ) {
    const boxes = byId<HTMLDivElement>('band-boxes');
    for (const [band, text] of kBandBoxes) {
      const box = element('input');
      box.type = 'checkbox';
      box.id = `band-${band}`;
      box.disabled = kFollowModel.includes(band);
      const label = element('label');
      label.append(box, ` ${text}`);
      boxes.append(label);
      this.bands.set(band, box);
      box.addEventListener('change', () => this.edit());
    }
    for (const input of [this.mmsi, this.atis]) input.addEventListener('input', () => this.edit());
    // Ticked, the number typed goes to the document and the field empties: the radio keeps its own.
    // Unticked, the field shows the document's number again (an empty field would empty it).
    for (const [box, input, key] of [[this.mmsiByUser, this.mmsi, 'mmsi'], [this.atisByUser, this.atis, 'atis']] as const)
      box.addEventListener('change', () => {
        if (!box.checked) input.value = this.core.call<{ text: string }>('heldIdentity', { field: key }).text;
        input.value = this.edit().fields[key];
        this.followEntryByUser();
      });
    for (const [input, key, name] of [[this.nmea, 'nmea', 'nmea'], [this.serial, 'serial', 'serial']] as const) {
      input.addEventListener('input', () => void this.printable(input, key));
      input.addEventListener('keydown', (event) => {
        if (event.key !== 'ArrowUp' && event.key !== 'ArrowDown') return;
        event.preventDefault();
        this.step(input, name, event.key === 'ArrowUp');
      });
      for (const up of [true, false]) {
        const arrow = byId<HTMLButtonElement>(`${name}-${up ? 'up' : 'down'}`);
        arrow.tabIndex = -1;  // the field's own arrow keys step it from the keyboard
        arrow.addEventListener('click', () => this.step(input, name, up));
      }
    }
    for (const radio of [this.usa, this.europe]) radio.addEventListener('change', () => this.edit());
    for (const list of [this.txStep, this.rxStep, this.rxMid]) list.addEventListener('change', () => this.edit());
  }

  // Shows a document that replaced the one before (read, opened, loaded by default).
  show(view: DocumentView): void {
    const f = view.fields;
    for (const input of [this.mmsi, this.atis, this.nmea, this.serial]) {
      input.placeholder = view.keptByRadio.text;
      input.title = view.keptByRadio.tip;
    }
    this.mmsi.value = f.mmsi;
    this.mmsiByUser.checked = f.mmsiByUser;
    this.atis.value = f.atis;
    this.atisByUser.checked = f.atisByUser;
    this.nmea.value = f.nmea;
    this.serial.value = f.serial;
    for (const input of [this.nmea, this.serial]) this.accepted.set(input, input.value);
    this.followEntryByUser();
    this.fillList(this.txStep, view.choices.steps, f.txStep);
    this.fillList(this.rxStep, view.choices.steps, f.rxStep);
    this.fillList(this.rxMid, view.choices.rxMids, f.rxMid);
    this.showModel(f);
    this.showNotes(view.notes);
  }

  setEnabled(enabled: boolean): void {
    const controls = [this.mmsiByUser, this.atisByUser, this.nmea, this.serial, this.usa, this.europe, this.txStep,
      this.rxStep, this.rxMid, ...this.bands.values()];
    for (const c of controls) c.disabled = !enabled;
    if (enabled) {
      this.followEntryByUser();
      for (const band of kFollowModel) (this.bands.get(band) as HTMLInputElement).disabled = true;
    } else {
      this.mmsi.disabled = this.atis.disabled = true;
    }
    for (const name of ['nmea', 'serial']) for (const dir of ['up', 'down']) byId<HTMLButtonElement>(`${name}-${dir}`).disabled = !enabled;
  }

  private fields(): Fields {
    const bands: Record<string, boolean> = {};
    for (const [band, box] of this.bands) bands[band] = box.checked;
    return {
      mmsi: this.mmsi.value,
      mmsiByUser: this.mmsiByUser.checked,
      atis: this.atis.value,
      atisByUser: this.atisByUser.checked,
      nmea: this.nmea.value,
      serial: this.serial.value,
      usa: this.usa.checked,
      bands,
      txStep: Number(this.txStep.value),
      rxStep: Number(this.rxStep.value),
      rxMid: Number(this.rxMid.value),
    };
  }

  private edit(): EditAnswer {
    const answer = this.core.call<EditAnswer>('edit', this.fields());
    this.showModel(answer.fields);
    this.showNotes(answer.notes);
    this.changed(answer);
    return answer;
  }

  // A number the radio keeps is not typed: its field is closed while "entry by user" is ticked.
  private followEntryByUser(): void {
    this.mmsi.disabled = this.mmsiByUser.checked || this.mmsiByUser.disabled;
    this.atis.disabled = this.atisByUser.checked || this.atisByUser.disabled;
  }

  // A character the field cannot hold is refused with the core's words, and the field keeps what it held.
  private async printable(input: HTMLInputElement, key: string): Promise<void> {
    const { refusal } = this.core.call<{ refusal: string | null }>('fieldRefusal', { field: key, text: input.value });
    if (refusal === null) {
      this.accepted.set(input, input.value);
      this.edit();
      return;
    }
    input.value = this.accepted.get(input) ?? '';
    await showProblem({ title: 'Error', text: refusal });
  }

  private step(input: HTMLInputElement, field: string, up: boolean): void {
    if (input.disabled) return;
    const { text } = this.core.call<{ text: string | null }>('step', { field, text: input.value, up });
    if (text === null) return;
    input.value = text;
    this.accepted.set(input, text);
    this.edit();
  }

  private showModel(f: Fields): void {
    this.usa.checked = f.usa;
    this.europe.checked = !f.usa;
    for (const [band, box] of this.bands) box.checked = f.bands[band] ?? false;
  }

  private showNotes(notes: { mmsi: string; atis: string; warnings: string[] }): void {
    this.mmsiDecoded.textContent = notes.mmsi;
    this.atisDecoded.textContent = notes.atis;
    this.warnings.textContent = notes.warnings.join('\n');
  }

  private fillList(list: HTMLSelectElement, names: string[], chosen: number): void {
    list.replaceChildren(...names.map((name, i) => new Option(name, String(i))));
    list.value = String(chosen);
  }
}
