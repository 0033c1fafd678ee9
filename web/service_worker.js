// Keeps the page and its content, so that it reloads and plays with no
// network. The build writes in here every file of the page with the hash of
// its bytes: a new build is a new worker, which keeps the new files and
// deletes the old build's.
const Version = '@VERSION@';
const Files = { '@FILES@': '' };
const CacheName = `demo-${Version}`;

const hex = digest => [...new Uint8Array(digest)].map(byte => byte.toString(16).padStart(2, '0')).join('');

// The response for `path` if its bytes are the build's, else null.
async function fetchChecked(path, cache) {
  const response = await fetch(path, { cache });
  if (!response.ok) throw new Error(`${path}: the server answered ${response.status}`);
  const bytes = await response.arrayBuffer();
  if (hex(await crypto.subtle.digest('SHA-256', bytes)) !== Files[path]) return null;
  return new Response(bytes, { headers: response.headers });
}

// Every file, by what it is: the browser's own cache may hold another build's
// bytes under the same name (a server answers "not modified" by date alone, and
// a deployed build's dates may be older), so a file that does not match is
// fetched again past that cache, and a build still not whole is not kept.
async function keepBuild() {
  const cache = await caches.open(CacheName);
  try {
    await Promise.all(Object.keys(Files).map(async path => {
      const response = await fetchChecked(path, 'default') ?? await fetchChecked(path, 'reload');
      if (!response) throw new Error(`${path} is not this build's`);
      await cache.put(path, response);
    }));
  } catch (error) {
    await caches.delete(CacheName);
    throw error;
  }
}

self.addEventListener('install', event => {
  event.waitUntil(keepBuild().then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
    .then(names => Promise.all(names.filter(name => name.startsWith('demo-') && name !== CacheName).map(name => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', event => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith(caches.match(request, { cacheName: CacheName, ignoreSearch: true })
    .then(kept => kept ?? fetch(request)));
});
