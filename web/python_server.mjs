// Python's http.server on a free port, serving `directory` as any plain
// static host would: for the page's tests and benchmarks.
import { spawn } from 'node:child_process';

export function startServer(directory) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', directory],
    { stdio: ['ignore', 'pipe', 'ignore'] });
  return new Promise((done, fail) => {
    server.stdout.once('data', text => {
      const port = /port (\d+)/.exec(String(text))?.[1];
      if (port) done({ url: `http://127.0.0.1:${port}/`, close: () => server.kill() });
      else fail(new Error(`http.server said: ${text}`));
    });
    server.once('exit', code => fail(new Error(`http.server ended (${code})`)));
  });
}
