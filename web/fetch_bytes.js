// One file from the page's folder, given up when nothing of it arrives for
// a while: a server that never answers must not hold the page for good.

export const StallMilliseconds = 20000;

// The file's bytes; throws an Error whose message says why not.
export async function fetchBytes(name, onProgress = () => {}) {
  const stop = new AbortController();
  let timer;
  const wait = () => {
    clearTimeout(timer);
    timer = setTimeout(() => stop.abort(), StallMilliseconds);
  };
  wait();
  try {
    const response = await fetch(name, { signal: stop.signal });
    if (!response.ok) throw new Error(`the server answered ${response.status} ${response.statusText}`.trim());
    const total = Number(response.headers.get('content-length')) || 0;
    const chunks = [];
    let loaded = 0;
    for (const reader = response.body.getReader(); ;) {
      const { done, value } = await reader.read();
      if (done) break;
      wait();
      chunks.push(value);
      loaded += value.length;
      onProgress(loaded, total);
    }
    const bytes = new Uint8Array(loaded);
    chunks.reduce((at, chunk) => (bytes.set(chunk, at), at + chunk.length), 0);
    return bytes;
  } catch (error) {
    if (stop.signal.aborted) throw new Error(`nothing arrived for ${StallMilliseconds / 1000} s`);
    throw error.name === 'TypeError' ? new Error('the network failed') : error;
  } finally {
    clearTimeout(timer);
  }
}
