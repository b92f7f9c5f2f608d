// Dev-time check of the lunar tables against an independent calendar library; not part of the build or CI.
// Usage, from the repository root after a Release build of tarvelin_core in build/rel:
//   g++ -std=c++20 -O2 -Isrc tools/lunar/lunar_tokens_dump.cpp build/rel/src/libtarvelin_core.a -o /tmp/lunar_dump
//   (cd /tmp/lunarref && npm install lunar-javascript)
//   NODE_PATH=/tmp/lunarref/node_modules node tools/lunar/compare.js /tmp/lunar_dump [full]
// Samples 1901-02-19..2048-12-31 (every 7th day at varied times, every day of nine whole years, every day of
// every leap month, each Start of Spring one minute either side); "full" walks every day up to 2100-12-31
// and adds the second before and the second of each Start of Spring.
const {Solar, Lunar} = require('lunar-javascript');
const {execFileSync} = require('child_process');

const dumpPath = process.argv[2];
const full = process.argv[3] === 'full';
const DAY = 86400000;
const last = full ? Date.UTC(2100, 11, 31) : Date.UTC(2048, 11, 31);
const points = [];
const add = (t) => {
    const d = new Date(t);
    points.push([d.getUTCFullYear(), d.getUTCMonth() + 1, d.getUTCDate(), d.getUTCHours(), d.getUTCMinutes(),
                 d.getUTCSeconds()]);
};

let i = 0;
for (let t = Date.UTC(1901, 1, 19); t <= last; t += (full ? 1 : 7) * DAY, i++) {
    add(t + ((i * 5) % 24) * 3600000 + ((i * 13) % 60) * 60000 + ((i * 29) % 60) * 1000);
}
for (const y of [1906, 1929, 1933, 1984, 2016, 2020, 2023, 2033, 2048]) {
    for (let t = Date.UTC(y, 0, 1); t < Date.UTC(y + 1, 0, 1); t += DAY) add(t + 12 * 3600000);
}
for (let t = Date.UTC(1901, 1, 19); t <= Date.UTC(2048, 11, 31); t += DAY) {
    const d = new Date(t);
    if (Solar.fromYmd(d.getUTCFullYear(), d.getUTCMonth() + 1, d.getUTCDate()).getLunar().getMonth() < 0) {
        add(t + 6 * 3600000);
    }
}
for (let y = 1902; y <= (full ? 2100 : 2048); y++) {
    const j = Solar.fromYmd(y, 6, 1).getLunar().getJieQiTable()['立春'];
    const t = Date.UTC(j.getYear(), j.getMonth() - 1, j.getDay(), j.getHour(), j.getMinute(), j.getSecond());
    add(t - 60000);
    add(t + 60000);
    if (full) {
        add(t - 1000);
        add(t);
    }
}

const ours = execFileSync(dumpPath, {input: points.map((p) => p.join(' ')).join('\n') + '\n', maxBuffer: 1 << 28})
                 .toString().trim().split('\n');
const two = (n) => (n < 10 ? '0' : '') + n;
let agreed = 0;
const differing = [];
points.forEach((p, k) => {
    const [y, m, d, h, mi, s] = p;
    const lunar = Solar.fromYmdHms(y, m, d, h, mi, s).getLunar();
    const animal = Lunar.fromYmd(y, 1, 1).getYearShengXiao();  // the animal of the Gregorian year number
    const yearName = lunar.getYearInGanZhiExact();               // changes at the moment of Start of Spring
    const leap = lunar.getMonth() < 0;
    const month = Math.abs(lunar.getMonth());
    const expected = [animal, yearName, yearName + animal + '年', lunar.getMonthInChinese() + '月',
                      lunar.getDayInChinese(), leap ? "'Nmm'" : two(month), leap ? "'Nm'" : String(month),
                      two(lunar.getDay()), String(lunar.getDay())].join('|');
    if (expected === ours[k]) agreed++;
    else differing.push(`${p.join(' ')}: expected ${expected}, got ${ours[k]}`);
});
console.log(`${points.length} date-times, ${agreed} agreed`);
differing.slice(0, 20).forEach((line) => console.log(line));
process.exit(differing.length === 0 ? 0 : 1);
