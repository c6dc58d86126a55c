// SPDX-License-Identifier: MIT
// A static server of a built site on 127.0.0.1, on a free port: only this
// machine reaches it. stop() closes it and every connection it holds, as a
// server that has gone away.
import {readFile} from "node:fs/promises";
import http from "node:http";
import path from "node:path";

const types = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".css": "text/css; charset=utf-8",
    ".wasm": "application/wasm",
    ".png": "image/png",
    ".json": "application/json",
    ".webmanifest": "application/manifest+json",
    ".txt": "text/plain; charset=utf-8",
};

// Returns {base (the site's address, ending in /), stop()}.
export async function serve(folder) {
    const root = path.resolve(folder);
    const server = http.createServer(async function(request, response) {
        const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
        const file = path.resolve(root, "." + (name.endsWith("/") ? name + "index.html" : name));
        if (!file.startsWith(root + path.sep)) {
            response.writeHead(403).end();
            return;
        }
        try {
            const body = await readFile(file);
            response.writeHead(200, {
                "Content-Type": types[path.extname(file)] || "application/octet-stream",
                "Cache-Control": "no-cache",
            });
            response.end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    return {
        base: "http://127.0.0.1:" + server.address().port + "/",
        stop: function() {
            server.closeAllConnections();
            return new Promise((resolve) => server.close(resolve));
        },
    };
}
