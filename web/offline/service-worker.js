// SPDX-License-Identifier: MIT
// The site's service worker: after one visit to any page it serves the whole
// site from the browser's cache, so that the pages work offline and can be
// installed. web/offline/stamp_site.py writes BUILD (a hash of every file of
// the site) and FILES (each file's SHA-256) below once both programs are
// linked.
//
// One build at a time, never a mix:
// - A page carries its build: the stamp adds "?v=BUILD" to every file the
//   HTML names, and page.js asks for PROGRAM.js and PROGRAM.wasm with its own
//   "?v=". A request with "?v=X" is answered from the cache of build X, so a
//   page that was loading when a new worker took over still gets its own
//   build's .js and .wasm. Navigations, and requests without "?v=", get the
//   build of the worker that answers: the newest one that installed whole.
// - When build X's cache is gone (two updates while the page loaded), the
//   network is not asked: it may hold another build's file by then. A page
//   that needs the file to start is loaded again, whole, as this build;
//   anything else gets 410 Gone.
// - Installing fetches every file past the HTTP cache and checks it against
//   FILES before any of it is cached; a file of another build (a site copied
//   half way, a stale proxy) fails the install, and the worker before stays.
// - A new worker takes over at once (skipWaiting, claim) and keeps the cache
//   of the build before it for the pages still open on it; older caches of
//   its scope go.
// So a new build on the server is fetched in the background at the first
// visit after it (the browser compares this file at each navigation), and
// the visit after that shows it. Nothing runs between visits, and only
// requests to the site itself are answered; anything not cached goes to the
// network unchanged.
"use strict";

const BUILD = "";
const FILES = {};

// Copies of the site may share an origin (a course's /physics/viewers/
// beside /maths/viewers/), each with a worker of its own scope, and the
// origin's caches are common to them all: every name here starts with this
// worker's scope, a URL and so without a space, so that no copy takes
// another's caches for its own. (The caches of the workers before, whose
// names were the origin's, "build-..." and "builds", are left alone: a copy
// elsewhere on the origin may still run one of them.)
const SCOPE = self.registration.scope;
const OF_BUILD = SCOPE + " build ";
// Which build was active last, kept so that its cache outlives one update.
const STATE = SCOPE + " builds";
// The kinds of request a page cannot start without (its scripts, its styles
// and the module's .wasm, which is fetched); a page of a gone build that asks
// for one is loaded again. A running page asks for none of them, and a late
// icon or manifest must not cost it its run.
const TO_START = ["script", "style", ""];

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
    const cache = await caches.open(OF_BUILD + BUILD);
    try {
        await Promise.all(fetched.map(([file, response]) => cache.put(file, response)));
    } catch (error) {
        await caches.delete(OF_BUILD + BUILD);
        throw error;
    }
}

self.addEventListener("install",
                      (event) => { event.waitUntil(precache().then(() => self.skipWaiting())); });

self.addEventListener("activate", (event) => {
    event.waitUntil((async () => {
        const state = await caches.open(STATE);
        const last = await state.match("active");
        const keep = [OF_BUILD + BUILD, OF_BUILD + (last ? await last.text() : BUILD)];
        await state.put("active", new Response(BUILD));
        for (const name of await caches.keys())
            if (name.startsWith(OF_BUILD) && !keep.includes(name))
                await caches.delete(name);
        await self.clients.claim();
    })());
});

// The path under which a build's cache keeps the file at url.
function cached_path(url) {
    return url.pathname.endsWith("/") ? url.pathname + "index.html" : url.pathname;
}

// Each page being loaded again, by client id: the gone build's other
// requests of that page wait for the same navigation.
const reloads = new Map();

// The page of client asks for a file of build, whose cache is gone.
async function build_gone(request, client, build) {
    const page = client && new URL(client.url);
    // A page that this build does not hold came from the network, not from
    // a cache here (or this build's own cache is gone as well): its files are
    // where it came from. A reload could not make it whole.
    if (page && !(await caches.match(cached_path(page), {cacheName: OF_BUILD + BUILD})))
        return fetch(request);
    if (page && "navigate" in client &&
        (reloads.has(client.id) || TO_START.includes(request.destination))) {
        // The navigation gets this build's page, whose files are all in its
        // cache, so the page it loads asks for nothing gone: no loop. A
        // fragment is left off, since a navigation to the same address with
        // one would only scroll (the pages' addresses carry none).
        page.hash = "";
        if (!reloads.has(client.id))
            reloads.set(client.id, client.navigate(page.href)
                                       .catch(() => null)
                                       .finally(() => reloads.delete(client.id)));
        // Answered once the page is gone, so it never sees the refusal.
        await reloads.get(client.id);
    }
    return new Response("Build " + build + " of this site is no longer kept: load the page again.",
                        {status: 410, statusText: "Gone", headers: {"Content-Type": "text/plain"}});
}

async function respond(event, url) {
    const request = event.request;
    const asked = request.mode !== "navigate" && url.searchParams.get("v");
    const build = asked || BUILD;
    if (asked && !(await caches.has(OF_BUILD + build)))
        return build_gone(request, await self.clients.get(event.clientId), build);
    return (await caches.match(cached_path(url), {cacheName: OF_BUILD + build})) || fetch(request);
}

self.addEventListener("fetch", (event) => {
    const url = new URL(event.request.url);
    if (event.request.method === "GET" && url.origin === self.location.origin)
        event.respondWith(respond(event, url));
});
