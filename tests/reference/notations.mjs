// The expected figures of tst_notations, made by colorjs.io 0.7.1 (by the
// editors of CSS Color 4), an outside reference: run `npm ci && node
// notations.mjs` here and commit the three tables it writes, so that the
// tests need no network.
//
//   notations.tsv  every notation's text for a table of colours, and the
//                  colour each lossy text (hsl, hsv, hwb, cmyk, name) means
//   reading.tsv    colour texts of every CSS syntax, and the 8-bit colour a
//                  browser makes of them (out-of-gamut ones by CSS's gamut
//                  mapping, toGamut({method: "css"}))
//   names.tsv      CSS's 148 named colours
//
// Rounding is half up, as the program writes. colorjs gives floats; where
// the true value is a fraction of small whole numbers (hue, saturation,
// lightness, value, whiteness, blackness, CMYK, a component / 255), its
// denominator is at most 510 * 60, so a float within 1e-9 of a half is that
// half and the script rounds it up (the hue of #003002 comes out as
// 122.49999999999999, and is 122.5). Every other figure (Lab, OKLab, XYZ) is
// no such fraction: where one lies within 1e-6 of a half at its last
// decimal, a float's noise could decide it, and the script stops rather
// than guess (no colour of the table does).
import Color from "colorjs.io";
import keywords from "colorjs.io/src/keywords.js";
import { writeFileSync } from "node:fs";

const here = new URL(".", import.meta.url);

/** x rounded half up to a scaled whole number with that many decimals. */
function scaled(x, decimals, exact) {
    const v = x * 10 ** decimals;
    if (exact)
        return Math.floor(v + 0.5 + 1e-9);
    const fraction = v - Math.floor(v);
    if (Math.abs(fraction - 0.5) < 1e-6)
        throw new Error(`${x} lies too near a half at ${decimals} decimals to round`);
    return Math.floor(v + 0.5);
}

/** A scaled whole number as text with that many decimals, never "-0". */
function fixed(n, decimals) {
    let s = String(Math.abs(n)).padStart(decimals + 1, "0");
    if (decimals > 0)
        s = s.slice(0, -decimals) + "." + s.slice(-decimals);
    return (n < 0 ? "-" : "") + s;
}

const decimal = (x, decimals) => fixed(scaled(x, decimals, false), decimals);
const whole = x => String(scaled(x, 0, true));
/** A hue: an achromatic colour's (none) is 0, and one that rounds to 360 is 0. */
function hue(h, decimals, exact) {
    if (h === null || Number.isNaN(h))
        return fixed(0, decimals);
    const n = scaled(h, decimals, exact);
    return fixed(n >= 360 * 10 ** decimals ? 0 : n, decimals);
}

/** The 8-bit components of sRGB coordinates 0..1 (clamped, half up; none is 0). */
const bytes = coords =>
    coords.map(c => Math.floor(Math.min(Math.max(c ?? 0, 0), 1) * 255 + 0.5 + 1e-9));
const hexOf = b => "#" + b.map(c => c.toString(16).padStart(2, "0").toUpperCase()).join("");
const srgbHex = color => hexOf(bytes(color.to("srgb").coords));

const names = Object.keys(keywords).sort();
if (names.length !== 148)
    throw new Error(`${names.length} named colours`);

/** The name nearest in OKLab, the first of equals in alphabetical order. */
function nearestName(color) {
    let best = null;
    let bestDistance = Infinity;
    let runnerUp = Infinity;
    for (const name of names) {
        const d = color.deltaE(new Color(name), "OK");
        if (d < bestDistance) {
            runnerUp = bestDistance;
            best = name;
            bestDistance = d;
        } else if (d < runnerUp && srgbHex(new Color(name)) !== srgbHex(new Color(best))) {
            runnerUp = d;
        }
    }
    if (runnerUp - bestDistance < 1e-9)
        throw new Error(`${color} is as near to two colours`);
    return best;
}

// The table: black, white, greys, the primaries and secondaries, #FF8000,
// colours whose figures are exact halves, one per hue sextant, and a few
// more of every kind.
const colours = [
    ["black", "#000000"],
    ["white", "#FFFFFF"],
    ["grey 128", "#808080"],
    ["grey 127", "#7F7F7F"],
    ["silver", "#C0C0C0"],
    ["darkest grey", "#010101"],
    ["lightest grey", "#FEFEFE"],
    ["red", "#FF0000"],
    ["lime", "#00FF00"],
    ["blue", "#0000FF"],
    ["yellow", "#FFFF00"],
    ["cyan", "#00FFFF"],
    ["magenta", "#FF00FF"],
    ["orange", "#FF8000"],
    ["hue 122.5", "#003002"],
    ["hue 7.5", "#080100"],
    ["hsl saturation 87.5", "#30F12D"],
    ["hsl saturation 12.5", "#090707"],
    ["hsv saturation 12.5", "#080707"],
    ["cmyk cyan 12.5", "#070808"],
    ["cmyk cyan 0.5", "#C7C8C8"],
    ["hue 359.5 to 0", "#FF0002"],
    ["sextant 0-60", "#D2691E"],
    ["sextant 60-120", "#9ACD32"],
    ["sextant 120-180", "#2E8B57"],
    ["sextant 180-240", "#4682B4"],
    ["sextant 240-300", "#6A5ACD"],
    ["sextant 300-360", "#C71585"],
    ["dark blue", "#000001"],
    ["navy blue", "#123456"],
    ["pale orange", "#FEDCBA"],
    ["dark teal", "#0A645A"],
    ["pale lilac", "#C8B4E6"],
    ["bright green", "#00D300"],
    ["spring green", "#00FF80"],
    ["rebeccapurple", "#663399"],
    ["darkgray", "#A9A9A9"],
];

const columns = ["label", "hex", "dec", "rgb", "hsl", "hsv", "hwb", "cmyk", "lab", "lch", "oklab",
                 "oklch", "xyz", "name", "int", "qt", "vec4", "hsl means", "hsv means",
                 "hwb means", "cmyk means", "name means"];
const notationRows = [columns.join("\t")];
for (const [label, hexText] of colours) {
    const color = new Color(hexText);
    const [r, g, b] = bytes(color.to("srgb").coords);
    if (hexOf([r, g, b]) !== hexText)
        throw new Error(`${hexText} read as ${hexOf([r, g, b])}`);
    const hsl = color.to("hsl").coords;
    const hsv = color.to("hsv").coords;
    const hwb = color.to("hwb").coords;
    const lab = color.to("lab").coords;
    const lch = color.to("lch").coords;
    const oklab = color.to("oklab").coords;
    const oklch = color.to("oklch").coords;
    const xyz = color.to("xyz-d65").coords;
    // CMYK without a profile: K = 1 - max, C = (1 - R - K) / (1 - K).
    const rgb = [r, g, b].map(c => c / 255);
    const k = 1 - Math.max(...rgb);
    const cmyk = k >= 1 ? [0, 0, 0, 1] : [...rgb.map(c => (1 - c - k) / (1 - k)), k];
    const texts = {
        hex: hexText,
        dec: `${r},${g},${b}`,
        rgb: `rgb(${r}, ${g}, ${b})`,
        hsl: `hsl(${hue(hsl[0], 0, true)}, ${whole(hsl[1])}%, ${whole(hsl[2])}%)`,
        hsv: `hsv(${hue(hsv[0], 0, true)}, ${whole(hsv[1])}%, ${whole(hsv[2])}%)`,
        hwb: `hwb(${hue(hwb[0], 0, true)} ${whole(hwb[1])}% ${whole(hwb[2])}%)`,
        cmyk: `cmyk(${cmyk.map(v => whole(v * 100) + "%").join(", ")})`,
        lab: `lab(${decimal(lab[0], 2)} ${decimal(lab[1], 2)} ${decimal(lab[2], 2)})`,
        lch: `lch(${decimal(lch[0], 2)} ${decimal(lch[1], 2)} ${hue(lch[2], 2, false)})`,
        oklab: `oklab(${decimal(oklab[0] * 100, 2)}% ${decimal(oklab[1], 4)} ${decimal(oklab[2], 4)})`,
        oklch: `oklch(${decimal(oklch[0] * 100, 2)}% ${decimal(oklch[1], 4)} ${hue(oklch[2], 2, false)})`,
        xyz: `color(xyz-d65 ${xyz.map(v => decimal(v, 5)).join(" ")})`,
        name: nearestName(color),
        int: "0x" + hexText.slice(1),
        qt: `QColor(${r}, ${g}, ${b})`,
        vec4: `vec4(${rgb.map(v => fixed(scaled(v, 3, true), 3)).join(", ")}, 1.0)`,
    };
    // What the lossy texts mean, read as a browser reads them (hsv and CMYK
    // have no CSS syntax: their figures, converted by colorjs or the formula).
    const hsvFigures = texts.hsv.match(/hsv\((\d+), (\d+)%, (\d+)%\)/).slice(1).map(Number);
    const cmykFigures = texts.cmyk.match(/\d+/g).map(v => Number(v) / 100);
    const means = {
        "hsl means": srgbHex(new Color(texts.hsl)),
        "hsv means": srgbHex(new Color("hsv", hsvFigures)),
        "hwb means": srgbHex(new Color(texts.hwb)),
        "cmyk means": hexOf(bytes(cmykFigures.slice(0, 3).map(c => (1 - c) * (1 - cmykFigures[3])))),
        "name means": srgbHex(new Color(texts.name)),
    };
    notationRows.push([label, ...columns.slice(1).map(c => texts[c] ?? means[c])].join("\t"));
}

// Colour texts of every syntax a browser reads, and what it makes of them.
const texts = [
    // hex
    "#f80", "#F80C", "#ff8000", "#FF8000CC", "  #Ff8000\n",
    // rgb(), rgba()
    "rgb(255, 128, 0)", "rgba(255, 128, 0, 0.5)", "rgb(100%, 50%, 0%)", "rgba(100%, 50%, 0%, 50%)",
    "rgb(255 128 0)", "rgb(255 128 0 / 50%)", "rgb(100% 50% 0% / 0.5)", "RGB(255,128,0)",
    "rgb(127.5 127.5 127.5)", "rgb(50% 50% 50%)", "rgb(none 128 0)", "rgb(255 50% 0)",
    // hsl(), hsla()
    "hsl(30, 100%, 50%)", "hsla(30, 100%, 50%, 0.5)", "hsl(30deg 100% 50%)", "hsl(30 100 50)",
    "hsl(0.5turn 50% 50%)", "hsl(3.14159265rad 50% 50%)", "hsl(200grad 50% 50%)",
    "hsl(-90 50% 50%)", "hsl(450 50% 50%)", "hsl(none 0% 50%)", "hsl(120 60% 70% / none)",
    "HSL(30deg 100% 50%)",
    // hwb()
    "hwb(30 0% 0%)", "hwb(200 20% 30%)", "hwb(90 60% 60%)", "hwb(0.25turn 10% 20% / 0.5)",
    // lab(), lch()
    "lab(67.82 45.49 74.84)", "lab(50% 40% -20%)", "lab(29.2345% 39.3825 20.0664)",
    "lab(62 -20 30 / 0.5)", "lch(67.82 87.58 58.71)", "lch(50% 30% 270deg)",
    "lch(52.2345% 72.2 56.2 / 0.5)", "lch(70 40 none)",
    // oklab(), oklch()
    "oklab(73.19% 0.1119 0.1484)", "oklab(0.5 -0.1 0.1)", "oklab(40% 25% -50%)",
    "oklch(73.19% 0.1858 52.98)", "oklch(0.6 0.1 180)", "oklch(60% 25% 0.5turn)",
    "oklch(0.7 0.1 none / 20%)",
    // color()
    "color(srgb 1 0.5 0)", "color(srgb 100% 50% 0%)", "color(srgb 0.2 0.4 0.6 / 0.5)",
    "color(srgb-linear 1 0.2 0)", "color(xyz-d65 0.48958 0.36702 0.04506)",
    "color(xyz 0.3 0.3 0.3)", "color(xyz-d50 0.4 0.3 0.2)",
    // names
    "darkorange", "RebeccaPurple", "  cyan  ", "LightGoldenrodYellow",
    // outside sRGB: gamut-mapped
    "oklch(70% 0.4 30)", "oklch(90% 0.3 140)", "oklch(50% 0.37 264)", "oklch(50% 0.1 1e308)",
    "lab(100 100 100)", "lab(50 100 -100)", "lch(60 150 20)", "lab(20 -60 40)",
    "color(srgb 1.2 -0.1 0.5)", "color(xyz-d65 0.1 0.5 0.1)", "oklab(0.3 0.4 -0.4)",
    "oklch(99% 0.3 100)", "oklch(5% 0.2 300)",
];
// colorjs turns a hue into radians before it takes it modulo 360 degrees,
// which overflows at 1e308 degrees; CSS reduces the hue first (JavaScript's
// % is exact): that colour is given reduced.
const reduced = { "oklch(50% 0.1 1e308)": new Color("oklch", [0.5, 0.1, 1e308 % 360]) };
const readingRows = ["text\tcolour"];
for (const text of texts) {
    const color = reduced[text] ?? new Color(text);
    const mapped = color.clone().toGamut({ space: "srgb", method: "css" });
    readingRows.push(`${JSON.stringify(text)}\t${srgbHex(mapped)}`);
}

const nameRows = ["name\tcolour", ...names.map(n => `${n}\t${srgbHex(new Color(n))}`)];

writeFileSync(new URL("notations.tsv", here), notationRows.join("\n") + "\n");
writeFileSync(new URL("reading.tsv", here), readingRows.join("\n") + "\n");
writeFileSync(new URL("names.tsv", here), nameRows.join("\n") + "\n");
console.log(`${colours.length} colours, ${texts.length} texts, ${names.length} names`);
