// Prints "start<TAB>end<TAB>summary" for every event as ts-ics reads it; getEventEnd throws for an
// event it cannot give an end.
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [modules, file] = process.argv.slice(2);
const ics = await import(pathToFileURL(path.join(modules, 'ts-ics/dist/index.js')));
const calendar = ics.convertIcsCalendar(undefined, fs.readFileSync(file, 'utf8'));
const lines = [];
for (const event of calendar.events ?? []) {
  const end = ics.getEventEnd(event);
  if (!(end > event.start.date))
    throw new Error(`no end after the start: ${event.summary}`);
  lines.push(`${event.start.date.toISOString()}\t${end.toISOString()}\t${event.summary}`);
}
lines.sort();
process.stdout.write(lines.join('\n') + '\n');
