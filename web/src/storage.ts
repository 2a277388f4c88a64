// The radio archives made lasting in the browser's origin-private file system. The core keeps them
// as folders and files in its own memory (under /orven, laid out as the desktop's archive folder);
// the same folders and files are written here after every change and brought back when the page
// opens. Each file is replaced whole (the browser swaps a written file in when it is closed), an
// entry's record last, so an entry cut off half way shows as damaged rather than as whole.
import type { ModuleFs } from './core';

const kRoot = '/orven';
const kFolders = ['archive', 'demo-archive'];
// Written last within its folder: an entry without it is listed as damaged.
const kRecordName = 'record.json';

// What the user is told when the browser would not keep the archive's latest change.
export function notKeptProblem(cause: string): { title: string; text: string } {
  return {
    title: 'Radio Archive',
    text: `The radio archive could not be kept in this browser (${cause}). What it holds lasts until the page is ` +
      'closed: Export Archive in Radio Archive... saves it as a zip.',
  };
}

// What the user is told when files of the stored archive could not be read as the page opened.
export function unreadableProblem(unread: string[]): { title: string; text: string } {
  return {
    title: 'Radio Archive',
    text: `${unread.length} file(s) of the radio archive kept in this browser could not be read and are left out ` +
      `until the page is opened again; they stay stored as they were:\n${unread.join('\n')}`,
  };
}

export class ArchiveStore {
  // What was last written of each file, by its path under the root: its size.
  private readonly written = new Map<string, number>();
  // The files that could not be read as the page opened, each with why; they are left as stored.
  readonly unread: string[] = [];
  private queue: Promise<void> = Promise.resolve();
  private persistAsked = false;
  private pending = 0;

  private constructor(
    private readonly fs: ModuleFs,
    private readonly root: FileSystemDirectoryHandle | null,
  ) {}

  // The store, with what it holds copied into the module; without origin-private storage the
  // archive lasts until the page is closed.
  static async open(fs: ModuleFs): Promise<ArchiveStore> {
    let root: FileSystemDirectoryHandle | null = null;
    try {
      root = (await navigator.storage?.getDirectory?.()) ?? null;
    } catch {
      root = null;
    }
    const store = new ArchiveStore(fs, root);
    if (root) for (const folder of kFolders) await store.load(root, folder);
    return store;
  }

  get lasting(): boolean {
    return this.root !== null;
  }

  // Writes what changed since the last time; resolves once it is written, with null, or with why
  // the browser would not keep it (what was not written is tried again next time).
  persist(): Promise<string | null> {
    this.pending += 1;
    const written = this.queue.then(() => this.writeChanges()).then(
      () => null,
      (error: unknown) => (error as Error)?.message || String(error),
    ).finally(() => (this.pending -= 1));
    this.queue = written.then(() => undefined);
    return written;
  }

  // Whether changes are being written: leaving the page now would cut them off.
  get writing(): boolean {
    return this.pending > 0;
  }

  private async load(root: FileSystemDirectoryHandle, folder: string): Promise<void> {
    let handle: FileSystemDirectoryHandle;
    try {
      handle = await root.getDirectoryHandle(folder);
    } catch {
      return;
    }
    await this.loadFolder(handle, folder);
  }

  private async loadFolder(handle: FileSystemDirectoryHandle, path: string): Promise<void> {
    this.makeFolder(path);
    for await (const [name, child] of handle.entries()) {
      if (name.startsWith('.')) continue;
      const childPath = `${path}/${name}`;
      if (child.kind === 'directory') {
        await this.loadFolder(child as FileSystemDirectoryHandle, childPath);
      } else {
        await this.loadFile(child as FileSystemFileHandle, childPath);
      }
    }
  }

  // One file that cannot be read costs its entry (listed as damaged), not the page.
  private async loadFile(handle: FileSystemFileHandle, path: string): Promise<void> {
    let bytes: Uint8Array;
    try {
      bytes = new Uint8Array(await (await handle.getFile()).arrayBuffer());
    } catch (error) {
      this.unread.push(`${path}: ${(error as Error)?.message || String(error)}`);
      return;
    }
    this.fs.writeFile(`${kRoot}/${path}`, bytes);
    this.written.set(path, bytes.length);
  }

  // The folder and every folder above it, up to the root the core works in.
  private makeFolder(path: string): void {
    let built = '';
    for (const part of `${kRoot}/${path}`.split('/').filter(Boolean)) {
      built += `/${part}`;
      try {
        this.fs.mkdir(built);
      } catch {
        // there already
      }
    }
  }

  private async writeChanges(): Promise<void> {
    if (!this.root) return;
    if (!this.persistAsked) {
      this.persistAsked = true;
      // Asks the browser not to clear the archive when it runs short of space; it may say no.
      void navigator.storage?.persist?.().catch(() => false);
    }
    for (const folder of kFolders) for (const path of this.changedFiles(folder)) await this.writeFile(path);
  }

  // The files under a folder whose size differs from what was last written, records last.
  private changedFiles(folder: string): string[] {
    const found: string[] = [];
    const walk = (path: string) => {
      let names: string[];
      try {
        names = this.fs.readdir(`${kRoot}/${path}`);
      } catch {
        return;
      }
      for (const name of names) {
        if (name.startsWith('.')) continue;  // ".", "..", and entries still being stored
        const childPath = `${path}/${name}`;
        const info = this.fs.stat(`${kRoot}/${childPath}`);
        if (this.fs.isDir(info.mode)) walk(childPath);
        else if (this.fs.isFile(info.mode) && this.written.get(childPath) !== info.size) found.push(childPath);
      }
    };
    walk(folder);
    return found.sort((a, b) => Number(a.endsWith(kRecordName)) - Number(b.endsWith(kRecordName)));
  }

  private async writeFile(path: string): Promise<void> {
    const parts = path.split('/');
    const name = parts.pop() as string;
    let folder = this.root as FileSystemDirectoryHandle;
    for (const part of parts) folder = await folder.getDirectoryHandle(part, { create: true });
    const bytes = this.fs.readFile(`${kRoot}/${path}`);
    const writable = await (await folder.getFileHandle(name, { create: true })).createWritable();
    await writable.write(bytes as BlobPart);
    await writable.close();
    this.written.set(path, bytes.length);
  }
}
