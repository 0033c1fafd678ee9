// Files from the page's folder, given up when nothing of them arrives for a
// while, and streams read with a bound on their size: a server that never
// answers must not hold the page for good, and a file far larger than it
// may be must not fill the browser's memory.

// How long the page waits, in milliseconds (index.html sets them).
export const Limits = window.DemoLimits;
const stalled = () => new Error(`nothing arrived for ${Limits.stall / 1000} s`);

// `promise`, or an Error after the stall limit: for what reports no progress.
export function inTime(promise) {
  let timer;
  const late = new Promise((_, reject) => { timer = setTimeout(() => reject(stalled()), Limits.stall); });
  return Promise.race([promise, late]).finally(() => clearTimeout(timer));
}

// The bytes of the stream `reader` reads, stopping (and throwing) as soon as
// there are more than `maxBytes`; `onChunk(length so far)` after each chunk.
export async function readAll(reader, maxBytes = Infinity, onChunk = () => {}) {
  const chunks = [];
  let length = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    length += value.length;
    if (length > maxBytes) {
      reader.cancel().catch(() => {});
      throw new Error(`more than ${maxBytes} bytes`);
    }
    chunks.push(value);
    onChunk(length);
  }
  const bytes = new Uint8Array(length);
  chunks.reduce((at, chunk) => (bytes.set(chunk, at), at + chunk.length), 0);
  return bytes;
}

// The file's bytes, at most `maxBytes` of them; throws an Error whose
// message says why not.
export async function fetchBytes(name, { onProgress = () => {}, maxBytes } = {}) {
  const stop = new AbortController();
  let timer;
  const wait = () => {
    clearTimeout(timer);
    timer = setTimeout(() => stop.abort(), Limits.stall);
  };
  wait();
  try {
    const response = await fetch(name, { signal: stop.signal });
    if (!response.ok) throw new Error(`the server answered ${response.status} ${response.statusText}`.trim());
    const total = Number(response.headers.get('content-length')) || 0;
    return await readAll(response.body.getReader(), maxBytes, loaded => {
      wait();
      onProgress(loaded, total);
    });
  } catch (error) {
    if (stop.signal.aborted) throw stalled();
    throw error.name === 'TypeError' ? new Error('the network failed') : error;
  } finally {
    clearTimeout(timer);
  }
}
