// Keeps the page and its content, so that it reloads and plays with no
// network. The build writes its version and its files in here: a new build is
// a new worker, which keeps the new files and deletes the old build's.
const Version = '@VERSION@';
const Files = ['@FILES@'];
const CacheName = `demo-${Version}`;

self.addEventListener('install', event => {
  // Past the browser's HTTP cache, so that no file of an older build slips in.
  event.waitUntil(caches.open(CacheName)
    .then(cache => cache.addAll(Files.map(path => new Request(path, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
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
