#!/usr/bin/env node
// Korvane's result-row matching side by side with Node's RegExp, on the same page bytes and the
// same pattern and flags (case-insensitive, multi-line, global), and the two whole pipelines:
//   Korvane: page bytes -> UrlDecode (percent-decoding, UTF-8 to 936) -> CutResultRows
//   Node:    page bytes -> percent-decoding -> UTF-8 to a string -> matchAll -> row objects
// Prints, for both, the best and the median of many runs, and the ratios Korvane/Node of the best
// runs (below 1: Korvane is faster). On a shared machine the best run is the least disturbed one,
// so it is the figure that compares the engines; the medians show the spread.
//
// Usage: node bench/regex_vs_node.mjs [path/to/bench_regex]   (default: build/default/bench/bench_regex)
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const binary = process.argv[2] ?? join(root, 'build/default/bench/bench_regex');
const work = mkdtempSync(join(tmpdir(), 'korvane-bench-'));
const pageFile = join(work, 'page.html');
execFileSync(binary, [`--write-page=${pageFile}`]);
const pattern = execFileSync(binary, ['--print-pattern']).toString('utf8');
const bytes = readFileSync(pageFile);
rmSync(work, { recursive: true });

// Rounds alternate between the two, each Korvane round in a fresh process, so that both meet the
// same spells of load on a shared machine.
const rounds = 6;
const runs = 12;

function summary(times) {
  const sorted = [...times].sort((x, y) => x - y);
  return { best: sorted[0], median: sorted[Math.floor(sorted.length / 2)] };
}

// One round of Korvane's figures from Google Benchmark: a time per repetition (each the mean of
// its iterations), in milliseconds.
const korvaneTimes = {};
function korvaneRound() {
  const json = JSON.parse(
    execFileSync(binary, [
      '--benchmark_filter=BM_(MatchRun|CutResultRows|PagePipeline)$',
      `--benchmark_repetitions=${runs}`,
      '--benchmark_min_time=0.05',
      '--benchmark_format=json',
    ], { stdio: ['ignore', 'pipe', 'ignore'] }).toString(),
  );
  for (const b of json.benchmarks) {
    if (b.run_type === 'iteration') (korvaneTimes[b.run_name] ??= []).push(b.real_time);
  }
}

// Percent-decoding by the same rule as Korvane's UrlDecode: "%" takes the next two bytes as hex
// digits whatever they are (a non-digit counts -2, past the end 0), a decoded zero adds nothing.
const digit = new Int8Array(256).fill(-2);
for (let i = 0; i < 16; i++) {
  digit['0123456789ABCDEF'.charCodeAt(i)] = i;
  digit['0123456789abcdef'.charCodeAt(i)] = i;
}
function percentDecode(input) {
  const out = Buffer.allocUnsafe(input.length);
  let n = 0;
  let i = 0;
  while (i < input.length) {
    const percent = input.indexOf(0x25, i);
    const end = percent < 0 ? input.length : percent;
    n += input.copy(out, n, i, end);
    if (percent < 0) break;
    const a = percent + 1 < input.length ? digit[input[percent + 1]] : 0;
    const b = percent + 2 < input.length ? digit[input[percent + 2]] : 0;
    const value = (16 * a + b) & 0xff;
    if (value !== 0) out[n++] = value;
    i = percent + 3;
  }
  return out.subarray(0, n);
}

const re = new RegExp(pattern, 'gim');
const magnet = 'magnet:?xt=urn:btih:';
function rowsOf(text) {
  const rows = [];
  for (const m of text.matchAll(re)) {
    rows.push({ name: m[2] ?? '', size: m[3] ?? '', files: m[4] ?? '', date: m[5] ?? '', magnet: magnet + (m[1] ?? '') });
  }
  return rows;
}
function matchRun(text) {
  let count = 0;
  for (const m of text.matchAll(re)) count += m.length;
  return count;
}

function measure(f, into) {
  for (let i = 0; i < 3; i++) f();
  for (let i = 0; i < runs; i++) {
    const t0 = process.hrtime.bigint();
    f();
    into.push(Number(process.hrtime.bigint() - t0) / 1e6);
  }
}

const text = percentDecode(bytes).toString('utf8');
const expected = rowsOf(text).length;
if (expected !== 10000) throw new Error(`Node found ${expected} rows`);
const nodeTimes = { match: [], rows: [], pipeline: [] };
for (let round = 0; round < rounds; round++) {
  korvaneRound();
  measure(() => matchRun(text), nodeTimes.match);
  measure(() => rowsOf(text), nodeTimes.rows);
  measure(() => rowsOf(percentDecode(bytes).toString('utf8')), nodeTimes.pipeline);
}
const korvane = Object.fromEntries(Object.entries(korvaneTimes).map(([name, t]) => [name, summary(t)]));
const node = Object.fromEntries(Object.entries(nodeTimes).map(([name, t]) => [name, summary(t)]));

const ms = (x) => `${x.toFixed(2).padStart(7)}`;
const line = (label, k, n) =>
  console.log(`${label.padEnd(31)} ${ms(k.best)} ${ms(k.median)}   ${ms(n.best)} ${ms(n.median)}   ${(k.best / n.best).toFixed(2)}`);
console.log(`page: ${bytes.length} bytes, ${expected} result blocks; Node ${process.version}; ${rounds * runs} runs each`);
console.log(`${''.padEnd(31)} Korvane ms (best median)   Node ms (best median)   ratio`);
line('match run', korvane.BM_MatchRun, node.match);
line('decoded page to rows', korvane.BM_CutResultRows, node.rows);
line('page bytes to rows (pipeline)', korvane.BM_PagePipeline, node.pipeline);
console.log('targets: match run ratio <= 1.5; pipeline ratio < 1');
