// Files in the browser: chosen with a file input, saved as a download.

export function download(bytes: Uint8Array | string, name: string, type = 'application/octet-stream'): void {
  const blob = new Blob([bytes as BlobPart], { type });
  const url = URL.createObjectURL(blob);
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 0);
}

// Resolves with the file the user picks in `input` (offering files of `accept`), or null when the
// choice was cancelled.
export function pickFile(input: HTMLInputElement, accept: string): Promise<File | null> {
  return new Promise((resolve) => {
    input.value = '';
    input.accept = accept;
    input.onchange = () => resolve(input.files?.[0] ?? null);
    input.oncancel = () => resolve(null);
    input.click();
  });
}

// The bytes of a picked file, `limit` at most; a file the browser cannot read (gone, changed or
// locked since it was picked) throws an error that names the file and the browser's cause.
export async function readPicked(file: File, limit = file.size): Promise<Uint8Array> {
  try {
    return new Uint8Array(await file.slice(0, limit).arrayBuffer());
  } catch (error) {
    throw new Error(`${file.name} cannot be read (${(error as Error).message || String(error)})`);
  }
}
