// SPDX-License-Identifier: MIT
// Numbers in words, as the page writes them. Written out rather than asked
// of Intl: a browser's first locale-aware format loads its locale data,
// which took 30 to 100 ms of the page's start, and an unusual language tag
// makes it throw.

// x rounded to places decimals, its whole part in groups of three
// (1,234,567.8).
export function grouped(x, places) {
    if (!Number.isFinite(x))
        return String(x);
    const [whole_part, fraction] = Math.abs(x).toFixed(places).split(".");
    const text = whole_part.replace(/\B(?=(\d{3})+$)/g, ",") + (fraction ? "." + fraction : "");
    return x < 0 && Number(whole_part + "." + (fraction || "0")) !== 0 ? "-" + text : text;
}

export function whole(n) {
    return grouped(n, 0);
}

// x with places decimals and a sign (a real minus), or what it is when it
// is not a finite number.
export function signed(x, places) {
    if (Number.isNaN(x))
        return "not a number";
    if (!Number.isFinite(x))
        return x > 0 ? "+infinity" : "\u2212infinity";
    const text = Math.abs(x).toFixed(places);
    return Number(text) === 0 ? text : (x < 0 ? "\u2212" : "+") + text;
}

// x with places decimals, a real minus, and a dash for no number.
export function fixed(x, places) {
    if (!Number.isFinite(x))
        return Number.isNaN(x) ? "\u2014" : signed(x, places);
    const text = Math.abs(x).toFixed(places);
    return (x < 0 && Number(text) !== 0 ? "\u2212" : "") + text;
}

// Text that reads back as the same double: 17 significant digits, less the
// trailing zeros of the fraction, which change nothing; whole numbers as
// they are. For the data file, whose numbers a program reads.
export function round_trip_text(x) {
    if (Number.isInteger(x) && Math.abs(x) < 2 ** 53)
        return String(x);
    if (!Number.isFinite(x))
        return Number.isNaN(x) ? "NaN" : x > 0 ? "Infinity" : "-Infinity";
    const [mantissa, exponent] = x.toPrecision(17).split("e");
    const trimmed = mantissa.includes(".") ? mantissa.replace(/\.?0+$/, "") : mantissa;
    return exponent ? trimmed + "e" + exponent : trimmed;
}

// x ± sigma, both to the same decimals: places, or more where sigma needs
// them to show two significant digits (at most 6); x alone when sigma is
// not a number.
export function with_error(x, sigma, places) {
    if (!Number.isFinite(sigma))
        return fixed(x, places);
    const needed = sigma > 0 ? 1 - Math.floor(Math.log10(sigma)) : places;
    const decimals = Math.min(6, Math.max(places, needed));
    // A line may break before the error, never inside it.
    return fixed(x, decimals) + " \u00b1\u00a0" + fixed(sigma, decimals);
}
