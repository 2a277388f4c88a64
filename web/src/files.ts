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
