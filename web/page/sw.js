// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the page and every file it loads, so that the game plays offline
// once it has been loaded. The files are fetched afresh in the background
// and replace the kept ones for the next visit.
const CACHE = "zarnovik-1";
const CORE = [
  "./",
  "index.html",
  "zarnovik.css",
  "zarnovik.js",
  "zarnovik.wasm",
  "zarnovik-page.js",
  "manifest.webmanifest",
  "fonts/LiberationSans-Regular.woff",
  "fonts/LiberationSans-Bold.woff",
  "art/art.json",
];

self.addEventListener("install", (event) => {
  event.waitUntil(
    (async () => {
      const cache = await caches.open(CACHE);
      await cache.addAll(CORE);
      // Every picture at both scales, as art.json lists them.
      const art = await (await cache.match("art/art.json")).json();
      const files = ["art/icon.png", "art/icon@2x.png", "art/icon-192.png"];
      for (const name of [...art.pictures, ...Object.keys(art.pointers)])
        files.push(`art/${name}.png`, `art/${name}@2x.png`);
      await cache.addAll(files);
      await self.skipWaiting();
    })(),
  );
});

self.addEventListener("activate", (event) => {
  event.waitUntil(self.clients.claim());
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(
    (async () => {
      const cache = await caches.open(CACHE);
      const kept = await cache.match(event.request, { ignoreSearch: true });
      const fresh = fetch(event.request)
        .then((response) => {
          if (response.ok) cache.put(event.request, response.clone());
          return response;
        })
        .catch(() => undefined);
      if (kept) {
        event.waitUntil(fresh);
        return kept;
      }
      return (await fresh) ?? Response.error();
    })(),
  );
});
