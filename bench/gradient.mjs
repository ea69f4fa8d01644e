// gradient-string over each line of standard input, for the comparison.
import gradient from 'gradient-string';
import { createInterface } from 'node:readline';
const paint = gradient(['red', 'blue']);
for await (const line of createInterface({ input: process.stdin })) process.stdout.write(paint(line) + '\n');
