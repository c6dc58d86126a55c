// SPDX-License-Identifier: MIT
// ESLint's settings for the pages' scripts, which the tests lint (run from
// the repository's top folder with this file as the config): the
// recommended rules, and for each kind of script the names it may take from
// where it runs.
import js from "@eslint/js";
import globals from "globals";

// What a module's JavaScript library sees of Emscripten's output.
const module_library = {
    mergeInto: "readonly",
    LibraryManager: "readonly",
    Module: "readonly",
    UTF8ToString: "readonly",
    stringToUTF8: "readonly",
    lengthBytesUTF8: "readonly",
    _glui_page_field_text: "readonly",
    _glui_page_field: "readonly",
    _glui_page_edited: "readonly",
    HEAPU8: "readonly",
    HEAPU16: "readonly",
    HEAPF32: "readonly",
};

export default [
    js.configs.recommended,
    // The page's script: ES modules, joined into one script by the build.
    {
        files: ["web/page/scripts/*.js"],
        languageOptions: {
            sourceType: "module",
            globals: {...globals.browser, Module: "writable", uPlot: "readonly"},
        },
    },
    {
        files: ["web/offline/offline.js"],
        languageOptions: {sourceType: "script", globals: globals.browser},
    },
    // The scripts' own tests, run by Node.js.
    {
        files: ["tests/web/scripts/*.mjs"],
        languageOptions: {sourceType: "module", globals: globals.node},
    },
    // The grid's drawing runs in a worker, or in the page where workers have
    // no WebGL.
    {
        files: ["web/platform/webgl_draw.js"],
        languageOptions: {sourceType: "script", globals: {...globals.browser, ...globals.worker}},
    },
    // The cross-engine tests: Node modules, whose functions handed to the
    // browser run in the pages.
    {
        files: ["tests/web/engines/*.mjs"],
        languageOptions: {
            sourceType: "module",
            globals: {...globals.node, ...globals.browser, Module: "readonly", lattice: "readonly"},
        },
    },
    {
        files: ["web/offline/service-worker.js"],
        languageOptions: {sourceType: "script", globals: globals.serviceworker},
    },
    {
        rules: {
            "no-unused-vars": ["error", {args: "after-used"}],
            eqeqeq: "error",
            strict: ["error", "global"],
        },
    },
    // A module is strict by itself.
    {
        files: ["web/page/scripts/*.js", "tests/web/scripts/*.mjs"],
        rules: {strict: "off"},
    },
    // A module's library is read by Emscripten's compiler, which copies its
    // functions into the module's script: no directive of its own.
    {
        files: ["web/page/page_events.js", "web/platform/webgl_calls.js", "glui/web/page_panel.js"],
        languageOptions: {sourceType: "script", globals: {...globals.browser, ...module_library}},
        rules: {strict: "off"},
    },
];
