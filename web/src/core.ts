// The core compiled to WebAssembly, as the page calls it. Every answer is the core's own JSON: the
// page shows it, it decides nothing.
import type { WebHidLink, WebSerialLink } from './links';

export interface Problem {
  title: string;
  text: string;
}

export interface CheckLine {
  status: 'OK' | 'WARN' | 'FAIL';
  text: string;
  fix: string;
}

export interface CheckReport {
  lines: CheckLine[];
  radioAnswers: boolean;
  verdict: string;
  text: string;
}

export interface Verdict {
  ok: boolean;
  status: string;
  problem: Problem | null;
  report?: string;
  documentChanged?: boolean;
  backup?: string;
  image?: string;
  busy?: boolean;
  check?: CheckReport | null;
}

// The fields of the document as the page edits them.
export interface Fields {
  mmsi: string;
  mmsiByUser: boolean;
  atis: string;
  atisByUser: boolean;
  nmea: string;
  serial: string;
  usa: boolean;
  bands: Record<string, boolean>;
  txStep: number;
  rxStep: number;
  rxMid: number;
}

export interface Notes {
  mmsi: string;
  atis: string;
  warnings: string[];
}

export interface Channel {
  label: string;
  usageName: string;
  txMHz: number;
  rxMHz: number;
}

// The settings as `orven-cli show --json` has them.
export interface Settings {
  modelType: number;
  region: string;
  bands: Record<string, boolean>;
  txStep: string;
  rxStep: string;
  rxMid: string;
  mmsi: string;
  mmsiByUser: boolean;
  atis: string;
  atisByUser: boolean;
  nmea: string;
  serial: string;
  brandName: string;
  modelName: string;
  privateChannels: Channel[];
}

export interface DocumentView {
  title: string;
  name: string;
  modified: boolean;
  untitled: boolean;
  fields: Fields;
  choices: { steps: string[]; rxMids: string[]; freeBands: string[] };
  notes: Notes;
  keptByRadio: { text: string; tip: string };
  bandEntries: string[];
  brandName: string;
  modelName: string;
  document: Settings;
}

export interface EditAnswer {
  title: string;
  modified: boolean;
  notes: Notes;
  bandEntries: string[];
  fields: Fields;
}

export interface LinkChoices {
  baudRates: number[];
  baudIndex: number;
  usb: { vendorId: number; productId: number };
  ready: string;
  working: Record<Command, string>;
  portNames: Record<PortChoice, string>;
}

export interface WriteCheck {
  refusal: string | null;
  warnings: string[];
  title: string;
  question: string;
}

export interface QuestionRow {
  key: string;
  name: string;
  held: string;
  written: string;
  againPrompt: string; // empty where a box is ticked instead
  acceptPrompt: string; // empty where the value is typed again
  expected: string; // what is typed again, or the answer of a ticked box
}

export interface IdentityQuestion {
  title: string;
  intro: string;
  heldHeading: string;
  writtenHeading: string;
  rows: QuestionRow[];
}

export type ChannelMode = 'duplexPlus' | 'simplex' | 'duplexMinus';
export interface ChannelForm {
  nameFirst: number;
  nameSecond: number;
  usage: number;
  tx: string;
  mode: ChannelMode;
}
export interface ChannelActionAnswer {
  refusal: string | null;
  removed?: boolean;
  row?: number;
  form?: ChannelForm | null;
  rx?: string;
  choices?: { nameFirst: string[]; nameSecond: string[]; usages: string[] };
}

export interface WizardView {
  models: { type: number; name: string }[];
  model: number;
  countries: string[];
  country: number;
  countryEnabled: boolean;
  preview: string[];
}

export interface ArchiveEntryView {
  id: string;
  serial: string;
  time: string;
  operation: string;
  mmsi: string;
  damage: string;
  canOpen: boolean;
  canRestore: boolean;
  note: string;
}

export interface ArchiveView {
  folder: string;
  entries: ArchiveEntryView[];
  empty: string;
}

// A file the core made: its bytes and the name to give it.
export interface MadeFile {
  bytes: Uint8Array;
  name: string;
  status: string;  // what the status line says once the file is handed over; '' for nothing
}

export type PortChoice = 'serial' | 'usb' | 'demo';
export type Operation = 'read' | 'write' | 'verify' | 'handshake';
export type Command = Operation | 'restore' | 'check';

export interface RunRequest {
  operation: Command;
  port: PortChoice;
  baud: number;
  fast: boolean;
  backUp: boolean;
  verifyAfter: boolean;
  entry?: string;
}

export interface ProgressView {
  min: number;
  max: number;
  pos: number;
  phase: string;
}

// The module's file system, where the core keeps its radio archives.
export interface ModuleFs {
  readdir(path: string): string[];
  stat(path: string): { mode: number; size: number };
  isDir(mode: number): boolean;
  isFile(mode: number): boolean;
  readFile(path: string): Uint8Array;
  writeFile(path: string, data: Uint8Array): void;
  mkdir(path: string): void;
}

interface CoreModule {
  ccall(name: string, returns: string | null, args: string[], values: unknown[], options?: { async: boolean }): unknown;
  HEAPU8: Uint8Array;
  FS: ModuleFs;
  _malloc(size: number): number;
  _free(pointer: number): void;
  _orven_stop(): void;
  links: { serial: WebSerialLink; hid: WebHidLink };
  onProgress?: (progress: ProgressView) => void;
  askIdentity?: (question: IdentityQuestion) => Promise<string[] | null>;
  persistArchive?: () => Promise<unknown>;
}

declare global {
  // Defined by orven-core.js, loaded before the page's script.
  function OrvenCore(options?: object): Promise<CoreModule>;
}

// While a clone command runs, the core waits with its stack unwound between the browser's turns:
// only stop() may call into it then, and every other call is refused here.
export class Core {
  private runningNow = false;

  private constructor(private readonly module: CoreModule) {}

  static async load(links: { serial: WebSerialLink; hid: WebHidLink }): Promise<Core> {
    const module = await OrvenCore({ print: () => undefined, links });
    return new Core(module);
  }

  get running(): boolean {
    return this.runningNow;
  }
  get fs(): ModuleFs {
    return this.module.FS;
  }

  set onProgress(show: (progress: ProgressView) => void) {
    this.module.onProgress = show;
  }
  // Resolves with the texts typed into the rows when the user chose OK, null when not.
  set askIdentity(ask: (question: IdentityQuestion) => Promise<string[] | null>) {
    this.module.askIdentity = ask;
  }
  // Called whenever the radio archive changed; a command waits for it to resolve.
  set persistArchive(persist: () => Promise<unknown>) {
    this.module.persistArchive = persist;
  }

  // One request of the core's table, with bytes for it when it takes them.
  call<T>(name: string, args: object = {}, input?: Uint8Array): T {
    if (this.runningNow) throw new Error(`${name} while a clone command runs`);
    if (input) {
      const at = this.module._malloc(Math.max(1, input.length));
      try {
        this.module.HEAPU8.set(input, at);
        this.module.ccall('orven_input', null, ['number', 'number'], [at, input.length]);
      } finally {
        this.module._free(at);
      }
    }
    return JSON.parse(this.module.ccall('orven_call', 'string', ['string', 'string'], [name, JSON.stringify(args)]) as string) as T;
  }

  // A request that answers with a file: the file, or the problem that stopped it.
  file(name: string, args: object = {}): MadeFile | string {
    const answer = this.call<{ ok: boolean; size?: number; name?: string; problem?: string; status?: string }>(name, args);
    if (!answer.ok || answer.size === undefined) return answer.problem ?? '';
    const at = this.module.ccall('orven_bytes', 'number', [], []) as number;
    return { bytes: this.module.HEAPU8.slice(at, at + answer.size), name: answer.name ?? '', status: answer.status ?? '' };
  }

  linkChoices(): LinkChoices {
    return this.call('linkChoices');
  }
  document(): DocumentView {
    return this.call('document');
  }

  async run(request: RunRequest): Promise<Verdict> {
    if (this.runningNow) throw new Error('a clone command runs already');
    const pending = this.module.ccall('orven_run', 'string', ['string'], [JSON.stringify(request)], { async: true });
    this.runningNow = true;
    try {
      return JSON.parse((await pending) as string) as Verdict;
    } finally {
      this.runningNow = false;
    }
  }

  // Called straight, not through ccall: ccall, finding a command waiting, would take that
  // command's completion for its own, and the command's answer would never arrive.
  stop(): void {
    this.module._orven_stop();
  }
}
