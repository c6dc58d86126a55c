// SPDX-License-Identifier: MIT
// Every page loads this: it registers the site's service worker once the
// page has loaded, so that the whole site then works offline and can be
// installed. Browsers have service workers only in a secure context (HTTPS,
// or 127.0.0.1 and localhost); elsewhere the pages work online as before.
"use strict";

if ("serviceWorker" in navigator) {
    window.addEventListener("load", function () {
        navigator.serviceWorker.register("service-worker.js").catch(function (error) {
            console.warn("The site will not work offline: " + error.message);
        });
    });
}
