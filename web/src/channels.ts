// The channel list of a band, and the private channels edited with Edit, Add and Remove (or a
// double-click, or Enter on a channel) in the channel setup dialog. What each button may do, the
// form's checks and their messages are the core's.
import type { ChannelActionAnswer, ChannelForm, ChannelMode, Core } from './core';
import { button, buttonRow, element, labelled, select, showDialog, showProblem } from './dialogs';

function byId<T extends HTMLElement>(id: string): T {
  return document.getElementById(id) as T;
}

type Action = 'edit' | 'add' | 'remove' | 'doubleClick';

const kModes: [ChannelMode, string][] = [
  ['duplexPlus', 'Duplex(RX=TX+4.6)'],
  ['simplex', 'Simplex'],
  ['duplexMinus', 'Duplex(RX=TX-4.6)'],
];

export class ChannelPanel {
  readonly band = byId<HTMLSelectElement>('band');
  private readonly list = byId<HTMLSelectElement>('channels');
  private readonly buttons = ['channel-edit', 'channel-add', 'channel-remove'].map((id) => byId<HTMLButtonElement>(id));
  private shownBand = '';

  constructor(
    private readonly core: Core,
    private readonly changed: () => void,
  ) {
    this.band.addEventListener('change', () => this.showList());
    const [edit, add, remove] = this.buttons;
    edit.addEventListener('click', () => void this.act('edit'));
    add.addEventListener('click', () => void this.act('add'));
    remove.addEventListener('click', () => void this.act('remove'));
    this.list.addEventListener('dblclick', () => void this.act('doubleClick'));
    this.list.addEventListener('keydown', (event) => {
      if (event.key !== 'Enter') return;
      event.preventDefault();
      void this.act('doubleClick');
    });
  }

  // The band list's entries for the bands switched on; the band shown stays when it still is one.
  fillBands(entries: string[]): void {
    const shown = this.band.value;
    if (entries.join('\n') !== Array.from(this.band.options, (o) => o.value).join('\n'))
      this.band.replaceChildren(...entries.map((entry) => new Option(entry, entry)));
    this.band.value = entries.includes(shown) ? shown : (entries[0] ?? '');
    this.showList();
  }

  // A band shown anew starts without a channel chosen, as the window's list does.
  showList(): void {
    const row = this.band.value === this.shownBand ? this.list.selectedIndex : -1;
    this.shownBand = this.band.value;
    const lines = this.band.value ? this.core.call<{ lines: string[] }>('channelList', { band: this.band.value }).lines : [];
    this.list.replaceChildren(...lines.map((line, i) => new Option(line, String(i))));
    this.list.selectedIndex = row < lines.length ? row : -1;
  }

  setEnabled(enabled: boolean): void {
    for (const c of [this.band, this.list, ...this.buttons]) c.disabled = !enabled;
  }

  private async act(action: Action): Promise<void> {
    const row = this.list.selectedIndex;
    const answer = this.core.call<ChannelActionAnswer>('channelAction', { action, band: this.band.value, row });
    if (answer.refusal !== null) return showProblem({ title: 'Error', text: answer.refusal });
    if (answer.removed) return this.done(row);
    if (!answer.form || !answer.choices) return;
    const taken = await this.setup(answer, action === 'add' ? 'add' : 'edit');
    if (taken) this.done(action === 'add' ? (answer.row ?? -1) + 1 : row);
  }

  private done(row: number): void {
    this.showList();
    this.list.selectedIndex = Math.min(row, this.list.options.length - 1);
    this.changed();
  }

  // The channel setup dialog; true once OK stored the channel.
  private async setup(answer: ChannelActionAnswer, action: 'add' | 'edit'): Promise<boolean> {
    const form = answer.form as ChannelForm;
    const choices = answer.choices as NonNullable<ChannelActionAnswer['choices']>;
    const first = select(choices.nameFirst, form.nameFirst);
    const second = select(choices.nameSecond, form.nameSecond);
    const usage = select(choices.usages, form.usage);
    const tx = element('input');
    tx.value = form.tx;
    tx.autocomplete = 'off';
    const rx = element('output');
    rx.value = answer.rx ?? '';
    const modes = kModes.map(([mode, text]) => {
      const radio = element('input');
      radio.type = 'radio';
      radio.name = 'mode';
      radio.value = mode;
      radio.checked = mode === form.mode;
      const label = element('label');
      label.append(radio, ` ${text}`);
      return { radio, label };
    });
    const current = (): ChannelForm => ({
      nameFirst: first.selectedIndex,
      nameSecond: second.selectedIndex,
      usage: usage.selectedIndex,
      tx: tx.value,
      mode: (modes.find((m) => m.radio.checked)?.radio.value ?? 'simplex') as ChannelMode,
    });
    const follow = async (leftTx: boolean) => {
      const update = this.core.call<{ rx: string; refusal: string | null }>('channelForm', { form: current(), leftTx });
      rx.value = update.rx;
      if (update.refusal !== null) await showProblem({ title: 'Error', text: update.refusal });
    };
    tx.addEventListener('change', () => void follow(true));
    for (const { radio } of modes) radio.addEventListener('change', () => void follow(false));

    const choice = await showDialog(
      'Channel Setup Dialog',
      (f) => {
        f.append(element('h2', 'Channel Setup Dialog'));
        const name = element('fieldset');
        name.append(element('legend', 'Name'), labelled('First character', first, 'channel-name-first'),
          labelled('Second character', second, 'channel-name-second'));
        const usageSet = element('fieldset');
        usageSet.append(element('legend', 'Usage'), labelled('Usage', usage, 'channel-usage'));
        const frequency = element('fieldset');
        const rxRow = labelled('Rx Freq', rx, 'channel-rx');
        frequency.append(element('legend', 'Frequency'), labelled('Tx Freq', tx, 'channel-tx'), rxRow);
        rxRow.append(' MHz');
        const mode = element('fieldset');
        mode.append(element('legend', 'Mode'), ...modes.map((m) => m.label));
        f.append(name, usageSet, frequency, mode, buttonRow(button('OK', 'ok'), button('Cancel', 'cancel')));
      },
      async () => {
        const applied = this.core.call<{ refusal: string | null }>('channelApply', { action, row: answer.row, form: current() });
        if (applied.refusal === null) return true;
        await showProblem({ title: 'Error', text: applied.refusal });
        return false;
      },
    );
    return choice === 'ok';
  }
}
