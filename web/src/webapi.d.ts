// The parts of Web Serial and WebHID the page uses; the DOM library does not describe them yet.

interface SerialOpenOptions {
  baudRate: number;
  dataBits?: number;
  stopBits?: number;
  parity?: 'none' | 'even' | 'odd';
  flowControl?: 'none' | 'hardware';
}
interface SerialPort {
  open(options: SerialOpenOptions): Promise<void>;
  close(): Promise<void>;
  setSignals(signals: { dataTerminalReady?: boolean; requestToSend?: boolean }): Promise<void>;
  readonly readable: ReadableStream<Uint8Array> | null;
  readonly writable: WritableStream<Uint8Array> | null;
  getInfo?(): { usbVendorId?: number; usbProductId?: number };
}
interface Serial {
  requestPort(options?: object): Promise<SerialPort>;
  getPorts(): Promise<SerialPort[]>;
}

interface HIDReportItem {
  reportSize?: number;
  reportCount?: number;
}
interface HIDReportInfo {
  reportId?: number;
  items?: HIDReportItem[];
}
interface HIDCollectionInfo {
  inputReports?: HIDReportInfo[];
  outputReports?: HIDReportInfo[];
}
interface HIDInputReportEvent extends Event {
  readonly reportId: number;
  readonly data: DataView;
}
interface HIDDevice extends EventTarget {
  readonly opened: boolean;
  readonly vendorId: number;
  readonly productId: number;
  readonly collections: HIDCollectionInfo[];
  open(): Promise<void>;
  close(): Promise<void>;
  sendReport(reportId: number, data: BufferSource): Promise<void>;
}
interface HID extends EventTarget {
  getDevices(): Promise<HIDDevice[]>;
  requestDevice(options: { filters: { vendorId: number; productId: number }[] }): Promise<HIDDevice[]>;
}

interface Navigator {
  readonly serial?: Serial;
  readonly hid?: HID;
}
