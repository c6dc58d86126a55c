// SPDX-License-Identifier: MIT
// What the module tells the page (page_exports.h): each goes to the page's
// handler of the same name when the page has defined one. The handlers only
// take note; the page reads the run once the module's callback is over.
mergeInto(LibraryManager.library, {
    step_taken: function(from_timer) {
        if (Module.step_taken)
            Module.step_taken(from_timer !== 0);
    },
    burst_timer_set: function() {
        if (Module.burst_timer_set)
            Module.burst_timer_set();
    },
});
