// A Web Serial port for the browser tests, put in the page before its own scripts run: its streams
// carry the bytes to and from the simulated radio and its adaptor (the core's own, in an instance
// of its own), so the page's serial engine runs over a stream as it would over a real adaptor.
// window.fakeSerial.start(faults) gives a fresh radio with those faults (simulate --faults' list).
(() => {
  let line = null;  // the simulated radio's module
  let buffer = 0;   // where its bytes for the PC are copied
  let faults = '';
  let open = false;
  const opened = [];

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
      const sim = await radio();
      open = true;
      opened.push(options);
      let stopped = false;
      let timer = 0;
      this.readable = new ReadableStream({
        start(controller) {
          const pump = () => {
            if (stopped) return;
            const due = sim.ccall('orven_simline_next_due_ms', 'number', [], []);
            if (due === 0) {
              const n = sim.ccall('orven_simline_to_pc', 'number', ['number', 'number'], [buffer, 4096]);
              if (n > 0) controller.enqueue(sim.HEAPU8.slice(buffer, buffer + n));
            }
            timer = setTimeout(pump, due > 0 ? due : due === 0 ? 0 : 1);
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
          const at = sim._malloc(chunk.length);
          sim.HEAPU8.set(chunk, at);
          sim.ccall('orven_simline_from_pc', null, ['number', 'number'], [at, chunk.length]);
          sim._free(at);
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
    get: () => ({ requestPort: async () => port, getPorts: async () => [port] }),
  });
  window.fakeSerial = {
    // A fresh radio holding the demo memory, with these faults from its next open.
    start(list) {
      faults = list;
      line = null;
    },
    opened,
    // The radio's memory, for a test to see what it holds.
    async memory() {
      const sim = await radio();
      const at = sim.ccall('orven_simline_memory', 'number', [], []);
      return Array.from(sim.HEAPU8.slice(at, at + 8192));
    },
  };
})();
