// SPDX-License-Identifier: MIT
// GLUT's one-shot timers as Emscripten's GLUT makes them, counted for the
// page. The viewers' bursts are their only timers, so the count of those not
// yet fired says whether a burst is running, and Module.inTimer tells a
// timed step from one a press ran. Module.onTimerSet(), when the page has
// defined it, hears of each timer as it is set.
mergeInto(LibraryManager.library, {
    glutTimerFunc__deps: ["$safeSetTimeout"],
    glutTimerFunc__sig: "viii",
    glutTimerFunc: function (msec, func, value) {
        Module.timersPending = (Module.timersPending || 0) + 1;
        if (Module.onTimerSet)
            Module.onTimerSet();
        safeSetTimeout(function () {
            Module.timersPending -= 1;
            Module.inTimer = true;
            try {
                {{{ makeDynCall("vi", "func") }}}(value);
            } finally {
                Module.inTimer = false;
            }
        }, msec);
    },
});
