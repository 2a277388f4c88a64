// A Web Serial port and a WebHID device for the browser tests, put in the page before its own
// scripts run. The port's streams carry the bytes to and from the simulated radio and its adaptor,
// the device's reports to and from the simulated USB radio (the core's own, in a module instance
// of their own), so the page's engines run over them as they would over real hardware.
// window.fakeSerial.start(faults) gives a fresh radio with those faults (simulate --faults' list);
// window.fakeUsb.plug(faults) attaches a USB radio, which is absent until then.
(() => {
  let line = null;  // the simulated radio's module
  let buffer = 0;   // where its bytes for the PC are copied
  let faults = '';
  let open = false;
  const opened = [];
  const turns = new MessageChannel();
  const soon = (f) => {
    turns.port1.onmessage = () => f();
    turns.port2.postMessage(0);
  };

  async function radio() {
    if (!line) {
      line = await OrvenCore({ print: () => {} });
      buffer = line._malloc(4096);
      const error = line.ccall('orven_simline_start', 'string', ['string'], [faults]);
      if (error) throw new Error(error);
    }
    return line;
  }

  const port = {
    readable: null,
    writable: null,
    async open(options) {
      if (open) throw new DOMException('The port is already open.', 'InvalidStateError');
      if (window.fakeSerial.busy) throw new DOMException('Failed to open serial port.', 'NetworkError');
      const sim = await radio();
      // A radio set to another rate hears nothing at this one: the adaptor echoes, the radio is silent.
      const rate = window.fakeSerial.radioBaud;
      if (rate) sim.ccall('orven_simline_start', 'string', ['string'], [options.baudRate === rate ? faults : [faults, 'no-radio'].filter(Boolean).join(',')]);
      open = true;
      opened.push(options);
      let stopped = false;
      let timer = 0;
      let sleeping = false;  // the pump waits on a timer for a byte due later
      let pump = () => {};
      this.readable = new ReadableStream({
        start(controller) {
          pump = () => {
            sleeping = false;
            if (stopped) return;
            const due = sim.ccall('orven_simline_next_due_ms', 'number', [], []);
            if (due === 0) {
              const n = sim.ccall('orven_simline_to_pc', 'number', ['number', 'number'], [buffer, 4096]);
              if (n > 0) controller.enqueue(sim.HEAPU8.slice(buffer, buffer + n));
            }
            // A byte due within 4 ms is waited for turn by turn: a nested timer would fire late.
            if (due >= 0 && due < 4) soon(pump);
            else {
              sleeping = true;
              timer = setTimeout(pump, due > 0 ? due : 1);
            }
          };
          pump();
        },
        cancel() {
          stopped = true;
          clearTimeout(timer);
        },
      });
      this.writable = new WritableStream({
        write(chunk) {
          if (window.fakeSerial.stuck) return new Promise(() => {});
          const at = sim._malloc(chunk.length);
          sim.HEAPU8.set(chunk, at);
          sim.ccall('orven_simline_from_pc', null, ['number', 'number'], [at, chunk.length]);
          sim._free(at);
          // The echo is due at once, though a reply held back may have put the pump to sleep.
          if (sleeping) {
            clearTimeout(timer);
            sleeping = false;
            soon(pump);
          }
        },
      });
    },
    async setSignals() {},
    async close() {
      open = false;
      this.readable = null;
      this.writable = null;
    },
    getInfo() {
      return {};
    },
  };

  Object.defineProperty(Navigator.prototype, 'serial', {
    configurable: true,
    get: () => ({
      requestPort: async () => {
        window.fakeSerial.asked += 1;
        if (window.fakeSerial.refuse) throw new DOMException('No port selected by the user.', 'NotFoundError');
        return port;
      },
      getPorts: async () => [port, port],
    }),
  });
  // The USB radio: absent until plugged in; the browser's chooser then offers it.
  let usbFaults = null;
  let granted = false;
  const device = new EventTarget();
  const report = { reportId: 0, items: [{ reportSize: 8, reportCount: 32 }] };
  Object.assign(device, {
    opened: false,
    vendorId: 0x0483,
    productId: 0x5750,
    collections: [{ inputReports: [report], outputReports: [report] }],
    async open() {
      const sim = await radio();
      const error = sim.ccall('orven_simusb_start', 'string', ['string'], [usbFaults]);
      if (error) throw new Error(error);
      device.opened = true;
    },
    async close() {
      device.opened = false;
    },
    async sendReport(reportId, data) {
      if (!device.opened) throw new DOMException('The device must be opened first.', 'InvalidStateError');
      const sim = await radio();
      const bytes = new Uint8Array([reportId, ...new Uint8Array(data.buffer ?? data, data.byteOffset ?? 0, data.byteLength)]);
      const at = sim._malloc(bytes.length);
      sim.HEAPU8.set(bytes, at);
      const sent = sim.ccall('orven_simusb_send', 'number', ['number', 'number'], [at, bytes.length]);
      sim._free(at);
      if (sent < 0) throw new DOMException('Failed to write the report.', 'NotAllowedError');
      setTimeout(() => {
        const n = sim.ccall('orven_simusb_receive', 'number', ['number', 'number'], [buffer, 4096]);
        if (n <= 0 || !device.opened) return;
        const event = new Event('inputreport');
        Object.assign(event, { reportId: 0, data: new DataView(sim.HEAPU8.slice(buffer, buffer + n).buffer) });
        device.dispatchEvent(event);
      }, 0);
    },
  });
  Object.defineProperty(Navigator.prototype, 'hid', {
    configurable: true,
    get: () => ({
      getDevices: async () => (granted && usbFaults !== null ? [device] : []),
      requestDevice: async () => {
        granted = usbFaults !== null;
        return granted ? [device] : [];
      },
    }),
  });
  window.fakeUsb = {
    plug(list = '') {
      usbFaults = list;
    },
  };

  window.fakeSerial = {
    // A fresh radio holding the demo memory, with these faults from its next open.
    start(list) {
      faults = list;
      line = null;
    },
    opened,
    busy: false,  // another program holds the port: it does not open
    radioBaud: 0, // the radio answers at this rate alone (0: at any)
    refuse: false, // the user closes the browser's chooser without a port
    stuck: false,  // the adaptor takes no more bytes: a write never ends
    asked: 0,     // how often the browser's chooser was shown
    // Changes a byte of the radio's memory, as a write cut off might have left it.
    async poke(address, byte) {
      const sim = await radio();
      sim.HEAPU8[sim.ccall('orven_simline_memory', 'number', [], []) + address] = byte;
    },
    // The radio's memory, for a test to see what it holds.
    async memory() {
      const sim = await radio();
      const at = sim.ccall('orven_simline_memory', 'number', [], []);
      return Array.from(sim.HEAPU8.slice(at, at + 8192));
    },
  };
})();
