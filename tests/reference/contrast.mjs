// Writes contrast.tsv, deficiency.tsv and deficiency-grid.tsv beside this
// script: the figures the contrast tests expect, made by references outside
// the program.
//
//   WCAG 2 contrast ratio: culori's wcagContrast (WCAG's constants 0.2126,
//     0.7152, 0.0722 and the 0.04045 threshold).
//   APCA Lc: apca-w3, the reference implementation by APCA's author
//     (0.0.98G-4g constants).
//   Colour-vision deficiency: the Machado, Oliveira and Fernandes (2009)
//     matrices at severity 1 as culori holds them, read back from its filters;
//     culori applies them to gamma-encoded values, so this script applies
//     them itself in linear light with culori's sRGB conversions.
//
// The pairs near the thresholds are found by searching every 8-bit colour.
// Run with `npm ci && node contrast.mjs` (about 20 s); commit the tables.

import {
    converter,
    filterDeficiencyDeuter,
    filterDeficiencyProt,
    filterDeficiencyTrit,
    formatHex,
    wcagContrast,
    wcagLuminance,
} from 'culori';
import { APCAcontrast, sRGBtoY } from 'apca-w3';
import { readFileSync, writeFileSync } from 'node:fs';

const here = new URL('.', import.meta.url);
const versionOf = name =>
    JSON.parse(readFileSync(new URL(`node_modules/${name}/package.json`, here))).version;

const N = 1 << 24;
const toLrgb = converter('lrgb');
const toRgb = converter('rgb');
const hexOf = i => '#' + i.toString(16).padStart(6, '0').toUpperCase();
const channels = i => [i >> 16, (i >> 8) & 255, i & 255];
const WHITE = 0xffffff, BLACK = 0;

// ---- The references ------------------------------------------------------

const ratioOf = (text, bg) => wcagContrast(hexOf(text), hexOf(bg));
const lcOf = (text, bg) => APCAcontrast(sRGBtoY(channels(text)), sRGBtoY(channels(bg)));

// The double truncated to hundredths from its exact decimal expansion. A
// ratio so close to a hundredth that the rounding of a double computation
// (a few units of 1e-16) could put it on the wrong side is refused, unless
// it is exactly a hundredth a double can hold (1, 21, 4.5).
function truncated(r) {
    const k = Math.round(r * 100);
    if (Math.abs(r - k / 100) < 1e-14 && !(r === k / 100 && k % 25 === 0))
        throw new Error(`ratio ${r} too near ${k / 100} to be decided in double precision`);
    const [whole, fraction] = r.toFixed(20).split('.');
    return `${whole}.${fraction.slice(0, 2)}`;
}
const lcText = lc => {
    const t = lc.toFixed(1);
    return t === '-0.0' ? '0.0' : t;
};
const LEVELS = [4.5, 3, 7, 4.5, 3]; // AA normal, AA large, AAA normal, AAA large, non-text

// The reference values, as a check on the reference itself.
{
    const a = lcOf(0x888888, WHITE), b = lcOf(WHITE, 0x888888);
    if (a.toFixed(3) !== '63.056' || b.toFixed(3) !== '-68.541')
        throw new Error(`apca-w3 gives ${a} and ${b}`);
}

// ---- Fast copies for the searches (the rows' figures come from above) ----

const lin = Float64Array.from({ length: 256 }, (_, v) => toLrgb({ mode: 'rgb', r: v / 255 }).r);
const L = new Float64Array(N);
for (let i = 0; i < N; ++i)
    L[i] = 0.2126 * lin[i >> 16] + 0.7152 * lin[(i >> 8) & 255] + 0.0722 * lin[i & 255];
for (const i of [0x888888, 0x123456, 0xfedcba, 0x0a0b0c])
    if (L[i] !== wcagLuminance(hexOf(i))) throw new Error(`search luminance of ${hexOf(i)}`);
const fastRatio = (a, b) => (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);

const power = Float64Array.from({ length: 256 }, (_, v) => Math.pow(v / 255, 2.4));
const Y = new Float64Array(N);
for (let i = 0; i < N; ++i)
    Y[i] = 0.2126729 * power[i >> 16] + 0.7151522 * power[(i >> 8) & 255] + 0.072175 * power[i & 255];
for (const i of [0x888888, 0x123456, 0xfedcba])
    if (Y[i] !== sRGBtoY(channels(i))) throw new Error(`search Y of ${hexOf(i)}`);
const clamped = y => (y > 0.022 ? y : y + Math.pow(0.022 - y, 1.414));
const sapc = (text, bg) => {
    const t = clamped(Y[text]), b = clamped(Y[bg]);
    return b > t ? (Math.pow(b, 0.56) - Math.pow(t, 0.57)) * 1.14
                 : (Math.pow(b, 0.65) - Math.pow(t, 0.62)) * 1.14;
};

/// The candidates whose key is nearest below target and nearest at or above it.
function nearest(count, key, target, candidate = i => i) {
    let below = null, above = null, belowKey = -Infinity, aboveKey = Infinity;
    for (let n = 0; n < count; ++n) {
        const k = key(n);
        if (Number.isNaN(k))
            continue;
        if (k < target && k > belowKey) {
            belowKey = k;
            below = candidate(n);
        } else if (k >= target && k < aboveKey) {
            aboveKey = k;
            above = candidate(n);
        }
    }
    return { below, above };
}

// ---- The pairs ------------------------------------------------------------

const rows = [];
const labels = new Set();
function row(label, text, bg) {
    const name = `${label}: ${hexOf(text)} on ${hexOf(bg)}`;
    if (labels.has(name))
        return;
    labels.add(name);
    rows.push({ name, text, bg });
}

row('identical grey', 0x777777, 0x777777);
row('identical black', BLACK, BLACK);
row('identical white', WHITE, WHITE);
row('identical colour', 0x3366cc, 0x3366cc);
row('black on white', BLACK, WHITE);
row('white on black', WHITE, BLACK);
row('dark on light', 0x888888, WHITE);
row('light on dark', WHITE, 0x888888);
row('red on blue', 0xff0000, 0x0000ff);
row('blue on red', 0x0000ff, 0xff0000);
row('green on black', 0x00ff00, BLACK);
row('orange on navy', 0xff8000, 0x000080);

// Every colour as text on white and on black, nearest each threshold.
for (const T of [3, 4.5, 7]) {
    for (const [name, bg] of [['white', WHITE], ['black', BLACK]]) {
        const { below, above } = nearest(N, i => fastRatio(L[i], L[bg]), T);
        row(`${T} from below on ${name}`, below, bg);
        row(`${T} from above on ${name}`, above, bg);
    }
}

// Pairs of greys nearest each threshold, darker on lighter.
const greys = [];
for (let d = 0; d < 256; ++d)
    for (let l = d + 1; l < 256; ++l)
        greys.push([d * 0x010101, l * 0x010101]);
for (const T of [3, 4.5, 7]) {
    const { below, above } =
        nearest(greys.length, n => fastRatio(L[greys[n][0]], L[greys[n][1]]), T, n => greys[n]);
    row(`${T} from below, greys`, ...below);
    row(`${T} from above, greys`, ...above);
}

// Of all pairs of 8-bit colours, the two nearest each threshold, darker on
// lighter: every luminance sorted, and for each the partner that would make
// the ratio exact looked up.
{
    const sorted = L.slice().sort();
    const colourOf = new Map();
    const wanted = new Set();
    const found = [];
    for (const T of [3, 4.5, 7]) {
        let below = null, above = null, belowGap = Infinity, aboveGap = Infinity;
        for (let n = 0; n < N; ++n) {
            const lo = sorted[n];
            const target = T * (lo + 0.05) - 0.05;
            if (target > 1)
                break;
            let a = n, b = N;
            while (a < b) {
                const m = (a + b) >> 1;
                if (sorted[m] < target) a = m + 1;
                else b = m;
            }
            for (const k of [a - 1, a, a + 1]) {
                if (k <= n || k >= N)
                    continue;
                const r = fastRatio(lo, sorted[k]);
                if (r < T && T - r < belowGap) {
                    belowGap = T - r;
                    below = [lo, sorted[k]];
                } else if (r >= T && r - T < aboveGap) {
                    aboveGap = r - T;
                    above = [lo, sorted[k]];
                }
            }
        }
        found.push([T, below, above]);
        for (const v of [...below, ...above]) wanted.add(v);
    }
    for (let i = 0; i < N; ++i)
        if (wanted.has(L[i]) && !colourOf.has(L[i])) colourOf.set(L[i], i);
    for (const [T, below, above] of found) {
        row(`${T} from below, nearest of all pairs`, colourOf.get(below[0]), colourOf.get(below[1]));
        row(`${T} from above, nearest of all pairs`, colourOf.get(above[0]), colourOf.get(above[1]));
    }
}

// APCA's black soft clamp (Y 0.022): the colours nearest it from either side,
// as text on white and as background under white text, and pairs where both
// or one are raised by it.
{
    const { below, above } = nearest(N, i => Y[i], 0.022);
    for (const [side, c] of [['below', below], ['above', above]]) {
        row(`soft clamp, Y just ${side}`, c, WHITE);
        row(`soft clamp, Y just ${side}, reversed`, WHITE, c);
    }
    const greyBelow = nearest(256, v => Y[v * 0x010101], 0.022).below * 0x010101;
    row('soft clamp, both raised', BLACK, greyBelow);
    row('soft clamp, both raised, reversed', greyBelow, BLACK);
    row('soft clamp, one raised', 0x0a0a0a, 0x404040);
    row('soft clamp, one raised, reversed', 0x404040, 0x0a0a0a);
}

// APCA's low clip: |SAPC| below 0.1 gives Lc 0, at it Lc jumps to 7.3. Dark
// text on light, light on dark, near white and near black.
{
    const clip = (name, fixed, fixedIsText) => {
        const key = fixedIsText ? i => Math.abs(sapc(fixed, i)) : i => Math.abs(sapc(i, fixed));
        const keep = fixedIsText ? i => [fixed, i] : i => [i, fixed];
        const valid = fixedIsText ? i => (Y[i] > Y[fixed]) === (fixed === BLACK)
                                  : i => (Y[i] < Y[fixed]) === (fixed === WHITE);
        const { below, above } = nearest(N, i => (valid(i) ? key(i) : NaN), 0.1);
        row(`low clip, ${name}, just below`, ...keep(below));
        row(`low clip, ${name}, at or above`, ...keep(above));
    };
    clip('dark text on white', WHITE, false);
    clip('white text on light', WHITE, true);
    clip('black text on dark', BLACK, true);
    clip('light text on black', BLACK, false);
}

// APCA's "too close" (|dY| below 0.0005 after the clamp gives Lc 0 at once);
// just past it the low clip still gives 0.
{
    const key = i => Math.abs(clamped(Y[i]) - clamped(Y[0x808080]));
    const { below, above } = nearest(N, key, 0.0005);
    row('too close, just below', below, 0x808080);
    row('too close, just past', above, 0x808080);
    const dark = nearest(N, i => Math.abs(clamped(Y[i]) - clamped(Y[BLACK])), 0.0005);
    row('too close near black, just below', BLACK, dark.below);
    row('too close near black, just past', BLACK, dark.above);
}

// ---- The tables -----------------------------------------------------------

const header = [
    `# Written by contrast.mjs with culori ${versionOf('culori')} and apca-w3 ${versionOf('apca-w3')}; do not edit.`,
];
const contrastLines = [
    ...header,
    ['label', 'text', 'background', 'ratio', 'ratio_text', 'levels', 'lc', 'lc_text'].join('\t'),
];
for (const { name, text, bg } of rows) {
    const ratio = ratioOf(text, bg);
    const lc = lcOf(text, bg);
    const levels = LEVELS.map(T => (ratio >= T ? 'pass' : 'fail')).join(' ');
    contrastLines.push([name, hexOf(text), hexOf(bg), ratio.toPrecision(17), truncated(ratio),
                        levels, lc.toPrecision(17), lcText(lc)].join('\t'));
}
writeFileSync(new URL('contrast.tsv', here), contrastLines.join('\n') + '\n');

// The matrices, read back column by column from culori's filters.
const matrixOf = filter => {
    const m = [[], [], []];
    for (let col = 0; col < 3; ++col) {
        const unit = { mode: 'rgb', r: +(col === 0), g: +(col === 1), b: +(col === 2) };
        const { r, g, b } = filter(unit);
        m[0][col] = r;
        m[1][col] = g;
        m[2][col] = b;
    }
    return m;
};
const clamp01 = v => Math.min(1, Math.max(0, v));
const inLinearLight = filter => {
    const m = matrixOf(filter);
    return hex => {
        const { r, g, b } = toLrgb(hex);
        const out = m.map(row => clamp01(row[0] * r + row[1] * g + row[2] * b));
        return formatHex(toRgb({ mode: 'lrgb', r: out[0], g: out[1], b: out[2] })).toUpperCase();
    };
};
const filters = [filterDeficiencyProt(1), filterDeficiencyDeuter(1), filterDeficiencyTrit(1)];
const simulations = [
    ...filters.map(inLinearLight),
    hex => {
        const y = wcagLuminance(hex);
        return formatHex(toRgb({ mode: 'lrgb', r: y, g: y, b: y })).toUpperCase();
    },
];
const cvdColours = ['#000000', '#FFFFFF', '#808080', '#FF0000', '#00FF00', '#0000FF', '#FFFF00',
                    '#00FFFF', '#FF00FF', '#FF8000', '#3366CC', '#0A645A', '#C8B4E6', '#E91E63',
                    '#050A08', '#7F00FF', '#8B4513', '#20B2AA'];
const deficiencyLines = [
    ...header,
    ['colour', 'protanopia', 'deuteranopia', 'tritanopia', 'achromatopsia'].join('\t'),
];
let gammaDiffers = 0;
for (const c of cvdColours) {
    const out = simulations.map(s => s(c));
    deficiencyLines.push([c, ...out].join('\t'));
    filters.forEach((f, n) => {
        if (formatHex(f(c)).toUpperCase() !== out[n]) ++gammaDiffers;
    });
}
writeFileSync(new URL('deficiency.tsv', here), deficiencyLines.join('\n') + '\n');

// Every colour of a three-digit hex code (#000, #001, ... #FFF): enough
// results near a rounding step that a matrix coefficient wrong in its fifth
// decimal changes some of them.
const gridLines = [
    ...header,
    ['colour', 'protanopia', 'deuteranopia', 'tritanopia', 'achromatopsia'].join('\t'),
];
for (let i = 0; i < 4096; ++i) {
    const c = hexOf(((i >> 8) * 17) << 16 | (((i >> 4) & 15) * 17) << 8 | (i & 15) * 17);
    gridLines.push([c, ...simulations.map(s => s(c))].join('\t'));
}
writeFileSync(new URL('deficiency-grid.tsv', here), gridLines.join('\n') + '\n');
console.error(`${rows.length} pairs, ${cvdColours.length} + 4096 colours; ` +
              `${gammaDiffers} of ${3 * cvdColours.length} simulations differ when applied to ` +
              `gamma-encoded values`);
