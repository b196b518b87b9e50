// Makes ase_reference.json: swatches in each colour model of the Adobe
// Swatch Exchange format with the 8-bit sRGB colour each stands for, from
// colorjs.io 0.7.1 (LAB: CIE L*a*b* relative to D50, as the format keeps it;
// L from 0 to 1 in the file) and the plain formulas for the others, each
// held within 0 to 1 and rounded half up. The values are the float32 values
// the file holds.
//   npm install colorjs.io@0.7.1 && node ase_reference.mjs > ase_reference.json
import Color from "colorjs.io";

const f32 = (values) => values.map(Math.fround);
const byte = (v) => Math.floor(Math.min(1, Math.max(0, v)) * 255 + 0.5);
const hex = (rgb) =>
  "#" + rgb.map((v) => byte(v).toString(16).toUpperCase().padStart(2, "0")).join("");

const swatches = [
  ["Orange", "RGB ", [1, 0.5, 0]],
  ["Steel", "RGB ", [0.2, 0.4, 0.6]],
  ["Past the edges", "RGB ", [1.25, -0.1, 0.5]],
  ["", "RGB ", [0, 0, 0]],
  ["Red ink", "CMYK", [0, 1, 1, 0]],
  ["Teal half black", "CMYK", [0.5, 0, 0, 0.5]],
  ["Muddy", "CMYK", [0.1, 0.2, 0.3, 0.4]],
  ["Black ink", "CMYK", [0, 0, 0, 1]],
  ["Mid grey", "Gray", [0.5]],
  ["Light grey", "Gray", [0.8]],
  ["Lab mid violet", "LAB ", [0.5, 20, -30]],
  ["Lab white", "LAB ", [1, 0, 0]],
  ["Lab black", "LAB ", [0, 0, 0]],
  ["Lab grey", "LAB ", [0.7, 0, 0]],
  ["Lab red", "LAB ", [0.5338, 80.1, 67.2]],
  ["Lab deep blue, outside sRGB", "LAB ", [0.3, 50, -100]],
  ["Lab green, outside sRGB", "LAB ", [0.9, -60, 80]],
  ["Lab dark", "LAB ", [0.05, 3, -4]],
  ["Grün – ümlaut ✓", "LAB ", [0.62, -20.5, 35.25]],
];

const out = swatches.map(([name, model, raw]) => {
  const v = f32(raw);
  let rgb;
  if (model === "RGB ") rgb = v;
  else if (model === "CMYK") {
    const ink = (x) => Math.min(1, Math.max(0, x));
    rgb = v.slice(0, 3).map((c) => (1 - ink(c)) * (1 - ink(v[3])));
  } else if (model === "Gray") rgb = [v[0], v[0], v[0]];
  else rgb = new Color("lab", [v[0] * 100, v[1], v[2]]).to("srgb").coords;
  return { name, model, values: raw, hex: hex(rgb) };
});
console.log("[\n" + out.map((e) => " " + JSON.stringify(e)).join(",\n") + "\n]");
