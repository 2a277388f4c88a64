// The browser's ports as the core's links reach them (Module.links): the programming adaptor on
// Web Serial and the radio on WebHID. They move bytes and wait; every rule about frames, echoes,
// attempts and time-outs stays in the core.

// How an open went, as the core's serial port maps it to its result.
export const enum OpenKind {
  Opened = 0,
  NoPortChosen = 1,
  PortBusy = 2,
  OpenFailed = 3,
}

function delay(ms: number): Promise<void> {
  return new Promise((resolve) => setTimeout(resolve, Math.max(0, ms)));
}

// The browser's next turn, without the 4 ms that nested timers are held back.
const turns = new MessageChannel();
const waitingForTurn: (() => void)[] = [];
turns.port1.onmessage = () => waitingForTurn.shift()?.();
function nextTurn(): Promise<void> {
  return new Promise((resolve) => {
    waitingForTurn.push(resolve);
    turns.port2.postMessage(0);
  });
}

// Waits shorter than this take turns until their end instead of a timer, which would fire late.
const kShortWaitMs = 4;

// Bytes that arrived and a way to wait for more.
class Inbox<T> {
  private items: T[] = [];
  private wake: (() => void) | null = null;

  push(item: T): void {
    this.items.push(item);
    this.wake?.();
  }
  get length(): number {
    return this.items.length;
  }
  take(count: number): T[] {
    return this.items.splice(0, count);
  }
  clear(): void {
    this.items = [];
  }
  // Resolves true once something is there, false when ms passed first.
  async wait(ms: number): Promise<boolean> {
    if (this.items.length > 0) return true;
    if (ms < kShortWaitMs) {
      const end = performance.now() + ms;
      while (this.items.length === 0 && performance.now() < end) await nextTurn();
      return this.items.length > 0;
    }
    let timer: ReturnType<typeof setTimeout> | undefined;
    const arrived = new Promise<boolean>((resolve) => {
      this.wake = () => resolve(true);
      timer = setTimeout(() => resolve(false), Math.max(0, ms));
    });
    const got = await arrived;
    clearTimeout(timer);
    this.wake = null;
    return got;
  }
}

export class WebSerialLink {
  cause = '';
  private port: SerialPort | null = null;
  private inbox = new Inbox<number>();
  private reader: ReadableStreamDefaultReader<Uint8Array> | null = null;
  private reading: Promise<void> | null = null;
  private failed = false;

  static supported(): boolean {
    return 'serial' in navigator && navigator.serial !== undefined;
  }

  chosen(): boolean {
    return this.port !== null;
  }

  // What the connection check is told of the adaptor: is there Web Serial, was a port granted, which.
  facts(): { supported: boolean; chosen: boolean; info: string } {
    const info = this.port?.getInfo?.() ?? {};
    const hex = (n: number) => n.toString(16).padStart(4, '0');
    const ids = info.usbVendorId !== undefined && info.usbProductId !== undefined ? `USB ${hex(info.usbVendorId)}:${hex(info.usbProductId)}` : '';
    return { supported: WebSerialLink.supported(), chosen: this.port !== null, info: ids };
  }

  // Asks the user for the adaptor (the browser's own chooser; needs a click). The one port
  // granted before is taken without asking; with several the user chooses.
  async choose(): Promise<boolean> {
    const serial = navigator.serial;
    if (!serial) return false;
    if (this.port) return true;
    const granted = await serial.getPorts();
    try {
      this.port = granted.length === 1 ? granted[0] : await serial.requestPort();
    } catch {
      this.port = null;
    }
    return this.port !== null;
  }

  async open(baud: number): Promise<number> {
    this.cause = '';
    if (!this.port) {
      this.cause = 'no serial adaptor was chosen';
      return OpenKind.NoPortChosen;
    }
    try {
      await this.port.open({ baudRate: baud, dataBits: 8, stopBits: 1, parity: 'none', flowControl: 'none' });
    } catch (error) {
      const e = error as DOMException;
      this.cause = e.message || String(error);
      // The next command asks for the adaptor again: this one may be gone or another's.
      this.port = null;
      return e.name === 'InvalidStateError' || e.name === 'NetworkError' ? OpenKind.PortBusy : OpenKind.OpenFailed;
    }
    // The adaptor expects DTR low and RTS high; a port without modem lines is no failure.
    await this.port.setSignals({ dataTerminalReady: false, requestToSend: true }).catch(() => undefined);
    this.failed = false;
    this.inbox.clear();
    this.reading = this.readAll(this.port);
    return OpenKind.Opened;
  }

  private async readAll(port: SerialPort): Promise<void> {
    if (!port.readable) return;
    this.reader = port.readable.getReader();
    try {
      for (;;) {
        const { value, done } = await this.reader.read();
        if (done) break;
        for (const byte of value) this.inbox.push(byte);
      }
    } catch {
      this.failed = true;
    } finally {
      this.reader.releaseLock();
      this.reader = null;
    }
  }

  async close(): Promise<void> {
    const port = this.port;
    if (!port) return;
    await this.reader?.cancel().catch(() => undefined);
    await this.reading;
    this.reading = null;
    await port.close().catch(() => undefined);
    this.inbox.clear();
  }

  // True once the port took the bytes; false when it failed or took nothing within timeoutMs (an
  // adaptor that stopped taking data), and then what waits to be sent is dropped.
  async write(bytes: Uint8Array, timeoutMs: number): Promise<boolean> {
    const writable = this.port?.writable;
    if (!writable) return false;
    const writer = writable.getWriter();
    let timer: ReturnType<typeof setTimeout> | undefined;
    const late = new Promise<boolean>((resolve) => (timer = setTimeout(() => resolve(false), timeoutMs)));
    try {
      const sent = await Promise.race([writer.write(bytes).then(() => true, () => false), late]);
      if (!sent) void writer.abort().catch(() => undefined);
      return sent;
    } finally {
      clearTimeout(timer);
      writer.releaseLock();
    }
  }

  available(): number {
    return this.inbox.length;
  }

  // What has arrived, up to max bytes; null once the line failed.
  read(max: number): Uint8Array | null {
    if (this.failed && this.inbox.length === 0) return null;
    return Uint8Array.from(this.inbox.take(max));
  }

  waitReadable(ms: number): Promise<boolean> {
    return this.inbox.wait(ms);
  }
}

// A report's length in bytes with its report id, from the device's description of it.
function reportLength(reports: HIDReportInfo[] | undefined): number {
  const bits = (reports?.[0]?.items ?? []).reduce((sum, item) => sum + (item.reportSize ?? 0) * (item.reportCount ?? 0), 0);
  return 1 + Math.ceil(bits / 8);
}

export class WebHidLink {
  private device: HIDDevice | null = null;
  private inbox = new Inbox<Uint8Array>();
  private outputBytes = 0;
  private readonly onReport = (event: Event) => {
    const report = event as HIDInputReportEvent;
    this.inbox.push(new Uint8Array(report.data.buffer, report.data.byteOffset, report.data.byteLength).slice());
  };

  static supported(): boolean {
    return 'hid' in navigator && navigator.hid !== undefined;
  }

  // Asks the user for the radio unless the page may already open it (needs a click).
  async choose(vendorId: number, productId: number): Promise<boolean> {
    const hid = navigator.hid;
    if (!hid) return false;
    if (await this.granted(vendorId, productId)) return true;
    try {
      await hid.requestDevice({ filters: [{ vendorId, productId }] });
    } catch {
      return false;
    }
    return (await this.granted(vendorId, productId)) !== null;
  }

  // What the connection check is told of the radio: is there WebHID, was the radio granted.
  async facts(vendorId: number, productId: number): Promise<{ supported: boolean; chosen: boolean }> {
    return { supported: WebHidLink.supported(), chosen: WebHidLink.supported() && (await this.granted(vendorId, productId)) !== null };
  }

  private async granted(vendorId: number, productId: number): Promise<HIDDevice | null> {
    const devices = (await navigator.hid?.getDevices()) ?? [];
    return devices.find((d) => d.vendorId === vendorId && d.productId === productId) ?? null;
  }

  // The input report length (report id included), or 0 when the radio cannot be opened.
  async open(vendorId: number, productId: number): Promise<number> {
    const device = await this.granted(vendorId, productId);
    if (!device) return 0;
    try {
      if (!device.opened) await device.open();
    } catch {
      return 0;
    }
    this.device = device;
    this.inbox.clear();
    device.addEventListener('inputreport', this.onReport);
    const collection = device.collections[0];
    this.outputBytes = reportLength(collection?.outputReports);
    return reportLength(collection?.inputReports);
  }

  outputLength(): number {
    return this.outputBytes;
  }

  alive(): boolean {
    return this.device?.opened ?? false;
  }

  async write(report: Uint8Array, timeoutMs: number): Promise<number> {
    const device = this.device;
    if (!device) return -1;
    const sent = device.sendReport(report[0], report.slice(1)).then(
      () => report.length,
      () => -1,
    );
    return Promise.race([sent, delay(timeoutMs).then(() => -1)]);
  }

  // The next input report's data; empty when none came in time, null when the radio is gone.
  async read(timeoutMs: number): Promise<Uint8Array | null> {
    if (!this.alive()) return null;
    if (!(await this.inbox.wait(timeoutMs))) return new Uint8Array(0);
    return this.inbox.take(1)[0];
  }

  async close(): Promise<void> {
    const device = this.device;
    this.device = null;
    if (!device) return;
    device.removeEventListener('inputreport', this.onReport);
    await device.close().catch(() => undefined);
  }
}
