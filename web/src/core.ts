// The core compiled to WebAssembly, as the page calls it. Every answer is the core's own JSON: the
// page shows it, it decides nothing.
import type { WebHidLink, WebSerialLink } from './links';

export interface Problem {
  title: string;
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
  document: Settings;
  name: string;
  bands: string[];
  decoded: { mmsi: string; atis: string };
  warnings: string[];
}

export interface LinkChoices {
  baudRates: number[];
  baudIndex: number;
  usb: { vendorId: number; productId: number };
  ready: string;
  working: Record<Operation, string>;
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

export type PortChoice = 'serial' | 'usb' | 'demo';
export type Operation = 'read' | 'write' | 'verify' | 'handshake';

export interface RunRequest {
  operation: Operation;
  port: PortChoice;
  baud: number;
  fast: boolean;
  backUp: boolean;
  verifyAfter: boolean;
}

export interface ProgressView {
  min: number;
  max: number;
  pos: number;
  phase: string;
}

interface CoreModule {
  ccall(name: string, returns: string | null, args: string[], values: unknown[], options?: { async: boolean }): unknown;
  HEAPU8: Uint8Array;
  _malloc(size: number): number;
  _free(pointer: number): void;
  _orven_stop(): void;
  links: { serial: WebSerialLink; hid: WebHidLink };
  onProgress?: (progress: ProgressView) => void;
  askIdentity?: (question: IdentityQuestion) => Promise<string[] | null>;
}

declare global {
  // Defined by orven-core.js, loaded before the page's script.
  function OrvenCore(options?: object): Promise<CoreModule>;
}

// While a clone command runs, the core waits with its stack unwound between the browser's turns:
// only stop() may call into it then, and every other call is refused here.
export class Core {
  private running = false;

  private constructor(private readonly module: CoreModule) {}

  static async load(links: { serial: WebSerialLink; hid: WebHidLink }): Promise<Core> {
    const module = await OrvenCore({ print: () => undefined, links });
    return new Core(module);
  }

  set onProgress(show: (progress: ProgressView) => void) {
    this.module.onProgress = show;
  }
  // Resolves with the texts typed into the rows when the user chose OK, null when not.
  set askIdentity(ask: (question: IdentityQuestion) => Promise<string[] | null>) {
    this.module.askIdentity = ask;
  }

  private text(name: string, args: string[] = [], values: unknown[] = []): string {
    if (this.running) throw new Error(`${name} while a clone command runs`);
    return this.module.ccall(name, 'string', args, values) as string;
  }
  private json<T>(name: string, args: string[] = [], values: unknown[] = []): T {
    return JSON.parse(this.text(name, args, values)) as T;
  }
  private bytes(answer: { ok: boolean; size?: number }): Uint8Array | null {
    if (!answer.ok || answer.size === undefined) return null;
    const at = this.module.ccall('orven_bytes', 'number', [], []) as number;
    return this.module.HEAPU8.slice(at, at + answer.size);
  }

  linkChoices(): LinkChoices {
    return this.json('orven_link_choices');
  }
  document(): DocumentView {
    return this.json('orven_document');
  }
  channelList(band: string): { band: string; lines: string[] } {
    return this.json('orven_channel_list', ['string'], [band]);
  }

  // How much of a file open() needs to see: a file is read no further.
  openBytesNeeded(): number {
    return this.module.ccall('orven_open_bytes_needed', 'number', [], []) as number;
  }

  open(bytes: Uint8Array, name: string): Verdict {
    if (this.running) throw new Error('open while a clone command runs');
    const at = this.module._malloc(Math.max(1, bytes.length));
    try {
      this.module.HEAPU8.set(bytes, at);
      return this.json('orven_open', ['number', 'number', 'string'], [at, bytes.length, name]);
    } finally {
      this.module._free(at);
    }
  }

  // The document as a settings file, or the problem that stopped it.
  save(): Uint8Array | string {
    const answer = this.json<{ ok: boolean; size?: number; problem?: string }>('orven_save');
    return this.bytes(answer) ?? answer.problem ?? '';
  }

  archivedSettings(id: string): Uint8Array | null {
    return this.bytes(this.json('orven_archived_settings', ['string'], [id]));
  }

  archivedImage(id: string): Uint8Array | null {
    return this.bytes(this.json('orven_archived_image', ['string'], [id]));
  }

  writeCheck(): WriteCheck {
    return this.json('orven_write_check');
  }

  async run(request: RunRequest): Promise<Verdict> {
    if (this.running) throw new Error('a clone command runs already');
    const pending = this.module.ccall('orven_run', 'string', ['string'], [JSON.stringify(request)], { async: true });
    this.running = true;
    try {
      return JSON.parse((await pending) as string) as Verdict;
    } finally {
      this.running = false;
    }
  }

  // Called straight, not through ccall: ccall, finding a command waiting, would take that
  // command's completion for its own, and the command's answer would never arrive.
  stop(): void {
    this.module._orven_stop();
  }
}
