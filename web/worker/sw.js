// The site's service worker: once the page has been opened, its files come from a cache of their
// own, so the page works without the network (a user at the marina programs a radio all the same).
// Each build names its cache by a hash of its files: a new build's worker fills a new cache and
// drops the old one.
const kVersion = '__VERSION__';
const kFiles = __FILES__;
const kCache = `orven-clone-${kVersion}`;

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(kCache)
      .then((cache) => cache.addAll(kFiles))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((keys) => Promise.all(keys.filter((k) => k.startsWith('orven-clone-') && k !== kCache).map((k) => caches.delete(k))))
      .then(() => self.clients.claim()),
  );
});

// The site's own files from the cache (the page's query, such as ?demo, aside); anything else as usual.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(
    caches.open(kCache).then(async (cache) => (await cache.match(request, { ignoreSearch: true })) ?? fetch(request)),
  );
});
