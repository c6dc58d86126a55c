// SPDX-License-Identifier: MIT
// The page's texts from its description's templates: pieces of text with
// fields {name:format}, each piece shown when its condition holds (see
// web/page/page_description.h for the formats and conditions).
import {fixed, grouped, signed, whole} from "./format.js";

// The number or text of a field's name in values; throws for a name the
// values lack, so that a template naming a number nobody gives fails loudly.
function value_of(values, name) {
    if (!(name in values))
        throw new Error("no number named " + name + " for the page's text");
    return values[name];
}

function formatted(value, format, float_text) {
    if (typeof value === "string")
        return value;
    if (format === "whole")
        return whole(value);
    if (format === "plain")
        return String(value);
    if (format === "float")
        return float_text(value);
    const [, kind, places] = /^(signed|fixed|grouped)([0-9])$/.exec(format) || [];
    if (kind === "signed")
        return signed(value, Number(places));
    if (kind === "fixed")
        return fixed(value, Number(places));
    if (kind === "grouped")
        return grouped(value, Number(places));
    throw new Error("no format " + format + " for the page's text");
}

// Whether a piece's condition holds: "" always, "name>0", "name=N" (a whole
// number N), "name finite", "name not finite", "name nan", "name number"
// (not NaN).
export function holds(when, values) {
    if (when === "")
        return true;
    const [, name, test] =
        /^([A-Za-z_0-9]+)(>0|=[0-9]+| finite| not finite| nan| number)$/.exec(when) || [];
    if (!name)
        throw new Error("no condition " + when + " for the page's text");
    const x = value_of(values, name);
    if (test.startsWith("="))
        return x === Number(test.slice(1));
    switch (test.trim()) {
    case ">0":
        return x > 0;
    case "finite":
        return Number.isFinite(x);
    case "not finite":
        return !Number.isFinite(x);
    case "nan":
        return Number.isNaN(x);
    default:
        return !Number.isNaN(x);
    }
}

// The text of pieces ([{when, text}]) with values ({name: number or text});
// float_text(x) writes a float as the spinner shows it.
export function fill(pieces, values, float_text) {
    return pieces.filter((piece) => holds(piece.when, values))
        .map((piece) => piece.text.replace(
                 /\{([A-Za-z_0-9]+):([a-z0-9]+)\}/g,
                 (field, name, format) => formatted(value_of(values, name), format, float_text)))
        .join("");
}
