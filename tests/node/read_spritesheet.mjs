// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a sprite sheet's or an atlas's JSON with PixiJS's own Spritesheet parser, as a game loads
// it, and prints what PixiJS made of each frame: its rectangle in the picture, its original size
// and its trim (null when untrimmed), and the frames of each animation.
//
//   node tests/node/read_spritesheet.mjs FILE.json
import { readFileSync } from "node:fs";

// PixiJS's browser adapter looks for these at load; no drawing happens here.
globalThis.navigator = { userAgent: "node" };
globalThis.window = globalThis;
globalThis.document = { createElement: () => ({ getContext: () => null }) };
const { Spritesheet, Texture } = await import("pixi.js");

const sheet = new Spritesheet(Texture.WHITE, JSON.parse(readFileSync(process.argv[2], "utf8")));
await sheet.parse();
const rect = r => [r.x, r.y, r.width, r.height];
const textures = {};
for (const [name, texture] of Object.entries(sheet.textures))
    textures[name] = {
        frame: rect(texture.frame),
        orig: [texture.orig.width, texture.orig.height],
        trim: texture.trim ? rect(texture.trim) : null,
    };
const animations = {};
for (const [name, frames] of Object.entries(sheet.animations))
    animations[name] = frames.map(frame => Object.keys(sheet.textures).find(k => sheet.textures[k] === frame));
console.log(JSON.stringify({ textures, animations }));
