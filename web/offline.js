// The page without a network: a service worker keeps the page and its
// content after the first visit.

// Registered once everything has arrived: the worker then keeps files the
// browser already holds rather than fetching them a second time alongside.
// The worker is asked for by the hash of its bytes, fetched past every cache:
// a server that answers by file date alone could otherwise keep a new build,
// deployed with older dates, from ever being taken.
export function keepOffline(loaded) {
  if (!('serviceWorker' in navigator)) return;
  loaded
    .then(() => fetch('service_worker.js', { cache: 'no-store' }))
    .then(async response => {
      if (!response.ok) throw new Error(`the server answered ${response.status} for service_worker.js`);
      const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', await response.arrayBuffer()));
      const build = [...digest.subarray(0, 8)].map(byte => byte.toString(16).padStart(2, '0')).join('');
      return navigator.serviceWorker.register(`service_worker.js?build=${build}`, { updateViaCache: 'none' });
    })
    .catch(error => {
      // With no network the build kept before stays.
      if (navigator.onLine) console.warn(`demo: the page will not be kept for offline use (${error})`);
    });
}
