// SPDX-License-Identifier: MIT
// What a student takes away: the run's data as a CSV file that a
// spreadsheet opens, the grid as a PNG picture, and a link that repeats the
// run. Everything is made in the page, so it works offline.
import {csv_parts} from "./csv.js";
import {page} from "./description.js";
import {constants, current, each_row, first_row_taken, second_plot_file} from "./module_run.js";

// What the rest of the page gives: build (the site's build, or null),
// link() (this run again) and say(text) (the status line).
let given = null;

function download(blob, name) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// The run's data file.
export function csv() {
    const run = current();
    return new Blob(csv_parts({
                        page: page,
                        constants: constants(),
                        first_row: first_row_taken(),
                        seed: run.seed,
                        link: given.link(),
                        build: given.build,
                        address: window.location.origin + window.location.pathname,
                        steps: run.steps,
                        thinning: run.thinning,
                        summary: run.summary,
                        each_row: each_row,
                    }),
                    {type: "text/csv"});
}

function name_of(extension, what) {
    const run = current();
    return page.program + "-seed-" + run.seed + (what ? "-" + what : "") + "-" + page.step + "-" +
           run.steps + "." + extension;
}

// The grid as the page draws it, each cell a square of scale pixels, a
// margin of one white cell round it: no smoothing, nothing blurred.
function picture(done) {
    const side = Module._web_picture_side();
    const at = Module._web_picture();
    const cells = Module.HEAPU8.slice(at, at + side * side * 3);
    const scale = Math.max(1, Math.floor(528 / side));
    const canvas = document.createElement("canvas");
    canvas.width = canvas.height = side * scale;
    const context = canvas.getContext("2d");
    const image = context.createImageData(side * scale, side * scale);
    for (let y = 0; y < side * scale; y++)
        for (let x = 0; x < side * scale; x++) {
            const cell = 3 * (Math.floor(y / scale) * side + Math.floor(x / scale));
            const pixel = 4 * (y * side * scale + x);
            image.data[pixel] = cells[cell];
            image.data[pixel + 1] = cells[cell + 1];
            image.data[pixel + 2] = cells[cell + 2];
            image.data[pixel + 3] = 255;
        }
    context.putImageData(image, 0, 0);
    canvas.toBlob(done, "image/png");
}

// The buttons, once the run has started; page_gives: {build, link, say}.
export function listen_to_take_away(page_gives) {
    given = page_gives;
    document.getElementById("download-csv").addEventListener("click", function() {
        download(csv(), name_of("csv"));
    });
    document.getElementById("save-png").addEventListener("click", function() {
        const name = name_of("png");
        picture((blob) => download(blob, name));
    });
    const second = document.getElementById("download-second");
    if (page.second_plot.file_button) {
        second.textContent = page.second_plot.file_button;
        second.hidden = false;
        second.addEventListener("click", function() {
            const text = second_plot_file();
            if (text)
                download(new Blob([text], {type: "text/csv"}),
                         name_of("csv", page.second_plot.file_name));
            else
                given.say("No growth rates yet: they are measured between the first steps.");
        });
    }
    document.getElementById("copy-link").addEventListener("click", function() {
        const link = given.link();
        if (navigator.clipboard && navigator.clipboard.writeText)
            navigator.clipboard.writeText(link).then(
                () => given.say("Link copied: " + link),
                () => given.say("This browser did not let the page copy; the link is " + link));
        else
            given.say("The link is " + link);
    });
}
