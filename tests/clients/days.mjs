// Prints "day<TAB>summary" for every occurrence up to the end of the year given, with ical.js, and
// checks that every event has an end after its start.
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [modules, file, lastYear] = process.argv.slice(2);
const ICAL = (await import(pathToFileURL(path.join(modules, 'ical.js/dist/ical.js')))).default;
const calendar = new ICAL.Component(ICAL.parse(fs.readFileSync(file, 'utf8')));
const lines = [];
for (const component of calendar.getAllSubcomponents('vevent')) {
  const event = new ICAL.Event(component);
  if (!event.endDate || event.endDate.compare(event.startDate) <= 0)
    throw new Error(`no end after the start: ${event.summary}`);
  const it = event.iterator();
  for (let i = 0, next; i < 1000 && (next = it.next()) && next.year <= Number(lastYear); ++i)
    lines.push(`${next.toString().slice(0, 10)}\t${event.summary}`);
}
lines.sort();
process.stdout.write(lines.join('\n') + '\n');
