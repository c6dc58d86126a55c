// SPDX-License-Identifier: MIT
// What the module calls in the page's script (see page_exports.h): each
// call goes to the page's handler when the page has defined one.
mergeInto(LibraryManager.library, {
    page_heard_step: function(from_timer) {
        if (Module.onStep)
            Module.onStep(from_timer !== 0);
    },
    page_heard_timer_set: function() {
        if (Module.onTimerSet)
            Module.onTimerSet();
    },
});
