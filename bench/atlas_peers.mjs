// SPDX-License-Identifier: GPL-3.0-or-later
// The npm packers on the rectangles bench_sprites packed (MOKARAN_BENCH_DUMP): maxrects-packer
// and free-tex-packer-core, each given the same spacing (frames `padding` apart, `border` from the
// edge), no rotation, and its best over its own settings and bin sizes that hold every rectangle
// in one picture. Prints a table: our size beside each peer's, with the times.
//
//   node bench/atlas_peers.mjs SETS.json NODE_MODULES
import { createRequire } from "node:module";
import { readFileSync } from "node:fs";
import { pathToFileURL } from "node:url";

const [setsPath, modules] = process.argv.slice(2);
const require = createRequire(modules + "/");
const { MaxRectsPacker, PACKING_LOGIC } = await import(
    pathToFileURL(modules + "/maxrects-packer/dist/maxrects-packer.mjs").href);
const PackProcessor = require("free-tex-packer-core/PackProcessor");
const OptimalPacker = require("free-tex-packer-core/packers/OptimalPacker");
const MaxRectsBin = require("free-tex-packer-core/packers/MaxRectsBin");
const TextureRenderer = require("free-tex-packer-core/utils/TextureRenderer");

// The peers grow or trim their picture to what they use, within a bin they are given: each tries
// bins about as large as the rectangles need and a roomy one, and keeps its smallest result.
function binSides(set) {
    const area = set.sizes.reduce((sum, [w, h]) => sum + (w + set.padding) * (h + set.padding), 0);
    return [1.05, 1.15, 1.3].map(f => Math.ceil(Math.sqrt(area) * f)).concat([4096]);
}

function timed(pack) {
    const start = process.hrtime.bigint();
    const size = pack();
    return size && { ...size, ms: Number(process.hrtime.bigint() - start) / 1e6 };
}

function best(results) {
    return results.filter(r => r).reduce((a, b) => (!a || b.w * b.h < a.w * a.h ? b : a), null);
}

// maxrects-packer: padding between rectangles, border round the edge, as ours; its bin grows
// from small (smart) up to the side given.
function maxrectsPacker(set) {
    const results = [];
    for (const logic of [PACKING_LOGIC.MAX_AREA, PACKING_LOGIC.MAX_EDGE])
        results.push(timed(() => {
            const packer = new MaxRectsPacker(4096, 4096, set.padding, {
                smart: true, pot: false, square: false, allowRotation: false,
                border: set.border, logic });
            packer.addArray(set.sizes.map(([width, height]) => ({ width, height })));
            if (packer.bins.length !== 1)
                return null;
            return { w: packer.bins[0].width, h: packer.bins[0].height, settings: `logic ${logic}` };
        }));
    return best(results);
}

// free-tex-packer-core: its padding goes round each frame, so padding / 2 gives frames `padding`
// apart and that much from the edge. Its OptimalPacker, which tries every packer and method it
// has, takes minutes beyond a few hundred frames: there only its default, MaxRectsBin.
function freeTexPacker(set) {
    const results = [];
    const packers = set.sizes.length <= 500 ? [MaxRectsBin, OptimalPacker] : [MaxRectsBin];
    for (const side of binSides(set))
        for (const packer of packers)
            results.push(timed(() => {
                const images = {};
                set.sizes.forEach(([width, height], i) => {
                    images["f" + i] = { width, height, _base64: "f" + i };
                });
                const options = { width: side, height: side, padding: set.padding / 2, extrude: 0,
                    allowRotation: false, allowTrim: false, detectIdentical: false, packer,
                    fixedSize: false };
                let sheets = null;
                PackProcessor.pack(images, options, res => { sheets = res; }, () => {});
                if (!sheets || sheets.length !== 1)
                    return null;
                const size = TextureRenderer.getSize(sheets[0], options);
                return { w: size.width, h: size.height, settings: `${side} ${packer.type}` };
            }));
    return best(results);
}

const cell = r => r ? `${r.w} x ${r.h} = ${(r.w * r.h / 1e6).toFixed(3)} M (${r.ms.toFixed(0)} ms)` : "no single picture";
console.log("| rectangles | ours | maxrects-packer | free-tex-packer-core | ours / best peer |");
console.log("|---|---|---|---|---|");
for (const set of JSON.parse(readFileSync(setsPath, "utf8"))) {
    if (set.padding % 2 !== 0 || set.border !== set.padding / 2)
        throw new Error("free-tex-packer-core needs the border to be half the padding");
    const peers = [maxrectsPacker(set), freeTexPacker(set)];
    const bestPeer = best(peers);
    const ratio = bestPeer ? (set.ours.w * set.ours.h / (bestPeer.w * bestPeer.h)).toFixed(3) : "-";
    console.log(`| ${set.name} | ${cell(set.ours)} | ${cell(peers[0])} | ${cell(peers[1])} | ${ratio} |`);
}
