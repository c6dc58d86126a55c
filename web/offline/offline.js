// SPDX-License-Identifier: MIT
// Every page loads this: it registers the site's service worker, so that the
// whole site then works offline and can be installed. Browsers have service
// workers only in a secure context (HTTPS, or 127.0.0.1 and localhost);
// elsewhere the pages work online as before.
"use strict";

if ("serviceWorker" in navigator) {
    const register = function() {
        navigator.serviceWorker.register("service-worker.js").catch(function(error) {
            console.warn("The site will not work offline: " + error.message);
        });
    };
    // The worker's first install fetches and checks the whole site: on a
    // viewer's page it waits until the page has started (first frame,
    // words, table and plot), so as not to take the processor from it
    // then; elsewhere until the page has loaded.
    window.addEventListener("load", function() {
        if (window.lattice && window.lattice.settled)
            window.lattice.settled.then(() => setTimeout(register));
        else
            register();
    });
}
