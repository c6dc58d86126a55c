// SPDX-License-Identifier: MIT
// The site's service worker: after one visit to any page it serves the whole
// site from the browser's cache, so that the pages work offline and can be
// installed. web/stamp_site.py writes BUILD (a hash of every file of the
// site) and FILES (each file's SHA-256) below once both programs are linked.
//
// One build at a time, never a mix:
// - A page carries its build: the stamp adds "?v=BUILD" to every file the
//   HTML names, and page.js asks for PROGRAM.js and PROGRAM.wasm with its own
//   "?v=". A request with "?v=X" is answered from the cache of build X, so a
//   page that was loading when a new worker took over still gets its own
//   build's .js and .wasm. Navigations, and requests without "?v=", get the
//   build of the worker that answers: the newest one that installed whole.
// - Installing fetches every file past the HTTP cache and checks it against
//   FILES before any of it is cached; a file of another build (a site copied
//   half way, a stale proxy) fails the install, and the worker before stays.
// - A new worker takes over at once (skipWaiting, claim) and keeps the cache
//   of the build before it for the pages still open on it; older caches go.
// So a new build on the server is fetched in the background at the first
// visit after it (the browser compares this file at each navigation), and
// the visit after that shows it. Nothing runs between visits, and only
// requests to the site itself are answered; anything not cached goes to the
// network unchanged.
"use strict";

const BUILD = "";
const FILES = {};

const PREFIX = "build-";
// Which build was active last, kept so that its cache outlives one update.
const STATE = "builds";

function hex(buffer) {
    return Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, "0")).join("");
}

async function precache() {
    const fetched = await Promise.all(Object.keys(FILES).map(async (file) => {
        const response = await fetch(file, {cache: "reload"});
        const digest =
            hex(await crypto.subtle.digest("SHA-256", await response.clone().arrayBuffer()));
        if (!response.ok || digest !== FILES[file])
            throw new Error("the server's " + file + " is not of build " + BUILD);
        return [file, response];
    }));
    const cache = await caches.open(PREFIX + BUILD);
    try {
        await Promise.all(fetched.map(([file, response]) => cache.put(file, response)));
    } catch (error) {
        await caches.delete(PREFIX + BUILD);
        throw error;
    }
}

self.addEventListener("install",
                      (event) => { event.waitUntil(precache().then(() => self.skipWaiting())); });

self.addEventListener("activate", (event) => {
    event.waitUntil((async () => {
        const state = await caches.open(STATE);
        const last = await state.match("active");
        const keep = [PREFIX + BUILD, PREFIX + (last ? await last.text() : BUILD)];
        await state.put("active", new Response(BUILD));
        for (const name of await caches.keys())
            if (name.startsWith(PREFIX) && !keep.includes(name))
                await caches.delete(name);
        await self.clients.claim();
    })());
});

async function respond(request, url) {
    const build = (request.mode !== "navigate" && url.searchParams.get("v")) || BUILD;
    const path = url.pathname.endsWith("/") ? url.pathname + "index.html" : url.pathname;
    return (await caches.match(path, {cacheName: PREFIX + build})) || fetch(request);
}

self.addEventListener("fetch", (event) => {
    const url = new URL(event.request.url);
    if (event.request.method === "GET" && url.origin === self.location.origin)
        event.respondWith(respond(event.request, url));
});
