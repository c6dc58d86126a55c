// SPDX-License-Identifier: MIT
// The pixels of an 8-bit RGB or RGBA PNG without interlacing: enough to read
// the pages' pictures as a viewer reads them.
import {inflateSync} from "node:zlib";

// Returns {width, height, rgb(x, y)} with y from the top; rgb gives [r, g, b].
export function png_pixels(bytes) {
    const data = Buffer.from(bytes);
    if (!data.subarray(0, 8).equals(Buffer.from([137, 80, 78, 71, 13, 10, 26, 10])))
        throw new Error("not a PNG");
    let at = 8;
    let header = null;
    const compressed = [];
    while (at < data.length) {
        const length = data.readUInt32BE(at);
        const kind = data.toString("latin1", at + 4, at + 8);
        const body = data.subarray(at + 8, at + 8 + length);
        if (kind === "IHDR")
            header = body;
        else if (kind === "IDAT")
            compressed.push(body);
        at += 12 + length;
    }
    const width = header.readUInt32BE(0);
    const height = header.readUInt32BE(4);
    const [depth, colour, interlace] = [header[8], header[9], header[12]];
    if (depth !== 8 || (colour !== 2 && colour !== 6) || interlace !== 0)
        throw new Error("an unexpected PNG layout");
    const step = colour === 2 ? 3 : 4;
    const stride = width * step;
    const raw = inflateSync(Buffer.concat(compressed));
    const rows = [];
    let previous = new Uint8Array(stride);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        const line = Uint8Array.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
        for (let x = 0; x < stride; x++) {
            const a = x >= step ? line[x - step] : 0;
            const b = previous[x];
            const c = x >= step ? previous[x - step] : 0;
            let add = 0;
            if (filter === 1) {
                add = a;
            } else if (filter === 2) {
                add = b;
            } else if (filter === 3) {
                add = (a + b) >> 1;
            } else if (filter === 4) {
                const p = a + b - c;
                const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
                add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            line[x] = (line[x] + add) & 255;
        }
        rows.push(line);
        previous = line;
    }
    return {
        width: width,
        height: height,
        rgb: (x, y) => Array.from(rows[y].subarray(x * step, x * step + 3)),
    };
}
