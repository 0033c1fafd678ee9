// The page without a network: a service worker keeps the page and its
// content after the first visit.

// Registered once everything has arrived: the worker then keeps files the
// browser already holds rather than fetching them a second time alongside.
export function keepOffline(loaded) {
  if (!('serviceWorker' in navigator)) return;
  loaded
    .then(() => navigator.serviceWorker.register('service_worker.js'))
    .catch(error => console.warn(`demo: the page will not be kept for offline use (${error})`));
}
