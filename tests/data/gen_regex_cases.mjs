// Writes regex_cases.jsonl, the expectations that tests/regex/RegexCasesTest.cpp reads: for each
// (pattern, options, subject[, replacement]) the matches, their indexes and captures as Node.js's
// own ECMAScript engine gives them, or "error" when that engine rejects the pattern. The tests
// read the committed file and need no Node at run time.
//
// Options: i = case-insensitive, m = multi-line, g = global (the RegexObject's defaults are all
// three). The one difference of the pattern language from ECMAScript is the dot, which matches
// everything but a line feed: it is handed to Node as [^\n].
//
// Run from this folder: node gen_regex_cases.mjs
import { writeFileSync } from 'node:fs';

const cases = [
  // Literals, classes, the dot.
  ['abc', 'igm', 'xxabcxxABC'],
  ['abc', 'gm', 'xxabcxxABC'],
  ['a.c', 'gm', 'abc a\nc a\rc a\u2028c a\u2029c'],
  ['.', 'g', 'a\r\n\tb'],
  ['^.*$', 'gm', 'one\r\ntwo\nthree'],
  ['[a-c]+', 'g', 'xabcabd'],
  ['[^a-c]+', 'g', 'abxyz\ncab'],
  ['[]a]', 'g', 'a]'],
  ['[^]', 'g', 'a\n'],
  ['[]', 'g', 'abc'],
  ['a[]*b', 'g', 'ab b'],
  ['[-a]', 'g', 'a-b'],
  ['[a-]', 'g', 'a-b'],
  ['[--/]', 'g', '-./0'],
  ['[\\d-z]', 'g', '5-zy'],
  ['[a-z\\d]+', 'g', 'ab12_cd'],
  ['[\\b]', 'g', 'a\bb'],
  ['[\\-\\]\\\\]', 'g', '-]\\x'],
  ['[|]', 'g', 'a|b'],
  ['[\\s|\\S]*?x', 'g', 'ab\ncx y\nx'],
  ['a]b}c{', 'g', 'a]b}c{'],
  ['a{', 'g', 'a{'],
  ['a{1', 'g', 'a{1'],
  ['a{,2}', 'g', 'a{,2}'],
  ['x{a}', 'g', 'x{a}'],
  // Escapes.
  ['\\x41\\u0042', 'g', 'AB ab'],
  ['\\t\\n\\v\\f\\r', 'g', '\t\n\v\f\r'],
  ['\\cJ\\cj', 'g', '\n\n'],
  ['[\\cJ\\c1\\c_]', 'g', '\n\u0011\u001f'],
  ['\\0', 'g', 'a\u0000b'],
  ['\\01\\08', 'g', '\u0001\u00008'],
  ['\\1', 'g', 'a\u0001b'],
  ['\\8\\9', 'g', '89'],
  ['[\\1\\8]', 'g', '\u00018x'],
  ['\\101', 'g', 'A'],
  ['\\377\\400', 'g', '\u00ff\u00200'],
  ['(a)\\10', 'g', 'a\b a0'],
  ['\\.\\*\\/\\-', 'g', '.*/-'],
  ['\\u4e2d\\u6587', 'g', '中文'],
  ['\\中', 'g', '中'],
  // \d \w \b are ASCII; \s is ECMAScript's set.
  ['\\d+', 'g', '12\u0663\u0664\uff1134'],
  ['\\D+', 'g', 'a1\u0663'],
  ['\\w+', 'g', 'ab_9\u00e9\u0416cd'],
  ['\\W+', 'g', 'a\u00e9\u212a-b'],
  ['\\w', 'ig', 'k\u212aK s\u017fS'],
  ['\\W', 'ig', 'k\u212aK s\u017fS'],
  ['\\b\\w+\\b', 'g', 'caf\u00e9 na\u00efve x'],
  ['\\B.', 'g', 'ab cd'],
  ['\\bé', 'g', ' é aé'],
  ['\\s', 'g', '\t\n\v\f\r \u00a0\u1680\u2000\u200a\u2028\u2029\u202f\u205f\u3000\ufeff'],
  ['\\s', 'g', 'a\u0085\u180e\u200b\u0008b'],
  ['\\S+', 'g', 'a\u00a0b\ufeffc\u0085d'],
  ['[\\s]+', 'g', 'a \u3000\ufeff b'],
  ['[^\\s]+', 'g', 'a \u3000b'],
  ['[\\S\\s]', 'g', '\n'],
  ['[\\W\\d]+', 'g', 'ab-12_'],
  // Quantifiers.
  ['a*', 'g', 'aab'],
  ['a*?', 'g', 'aab'],
  ['a+?', 'g', 'aaa'],
  ['a??b', 'g', 'ab b'],
  ['a{2}', 'g', 'aaaaa'],
  ['a{2,}', 'g', 'aaaaa a'],
  ['a{1,2}', 'g', 'aaaaa'],
  ['a{1,2}?', 'g', 'aaaaa'],
  ['a{0}b', 'g', 'ab'],
  ['<.*?>', 'g', '<a><b>\n<c\n>'],
  ['<.*>', 'g', '<a><b>\n<c>'],
  ['(a|ab)(c|bcd)(d*)', 'g', 'abcd'],
  ['(a+)+b', 'g', 'aaab'],
  ['x(?:ab)+y', 'g', 'xababy xy'],
  // Groups, unset groups, alternation.
  ['(a)|(b)', 'g', 'ab'],
  ['(a)?b', 'g', 'b ab'],
  ['(a)?(b)?', 'g', 'ba'],
  ['(?:(x)|y)z', 'g', 'xz yz'],
  ['a|b|', 'g', 'abc'],
  ['|a', 'g', 'a'],
  ['()', 'g', 'ab'],
  ['(((((((((((a)))))))))))', 'g', 'a'],
  // Back references.
  ['(a)\\1', 'g', 'aa aA'],
  ['(a)\\1', 'ig', 'aa aA Aa'],
  ['(\u00e9)\\1', 'ig', '\u00e9\u00c9'],
  ['(\u0434)\\1', 'ig', '\u0434\u0414'],
  ['(a)?\\1b', 'g', 'b ab aab'],
  ['\\1(a)', 'g', 'aa'],
  ['(a\\1)', 'g', 'aa'],
  ['(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10', 'g', 'abcdefghijj abcdefghija0'],
  ['(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\11', 'g', 'abcdefghij\t abcdefghija1'],
  ['(["\'])(.*?)\\1', 'g', 'say "hi" and \'yo\' "x\''],
  ['(\\w+) \\1', 'g', 'the the cat cat dog'],
  // Look-ahead.
  ['a(?=b)', 'g', 'ab ac ab'],
  ['a(?!b)', 'g', 'ab ac a'],
  ['(?=(a+))a*b\\1', 'g', 'baaabac'],
  ['(?!(a))b\\1', 'g', 'b'],
  ['(?=a)', 'g', 'aba'],
  ['x(?=y)y', 'g', 'xy'],
  // ^ and $.
  ['^a', 'g', 'a\na'],
  ['^a', 'gm', 'a\na\ra\r\na\u2028a\u2029a'],
  ['a$', 'g', 'a\na'],
  ['a$', 'gm', 'a\na\ra\r\na'],
  ['^', 'gm', 'a\nb\r\nc'],
  ['$', 'gm', 'a\nb\r\nc'],
  ['^$', 'gm', '\n\r\n\n'],
  ['$', 'g', 'ab\n'],
  ['^.', 'gm', 'ab\ncd\r\nef'],
  ['^\\d+$', 'gm', '12\nab\n34'],
  // Case-insensitive matching folds non-ASCII letters.
  ['botinfo', 'igm', 'BotInfo BOTINFO botinfo'],
  ['\u00e9', 'ig', '\u00e9\u00c9e'],
  ['\u00c9T\u00c9', 'ig', '\u00e9t\u00e9'],
  ['\u0434\u0430', 'ig', '\u0414\u0410 \u0434\u0430 \u0414\u0430'],
  ['[\u0430-\u044f]+', 'ig', '\u041f\u0420\u0418\u0412\u0415\u0422'],
  ['\u03c3', 'ig', '\u03a3\u03c3\u03c2'],
  ['\u03a3', 'ig', '\u03a3\u03c3\u03c2'],
  ['k', 'ig', 'kK\u212a'],
  ['\u212a', 'ig', 'kK\u212a'],
  ['s', 'ig', 'sS\u017f'],
  ['\u017f', 'ig', 'sS\u017f'],
  ['[a-z]', 'ig', 'K\u212as\u017f'],
  ['\u00df', 'ig', '\u00df\u1e9eSS'],
  ['\u1e9e', 'ig', '\u00df\u1e9e'],
  ['i', 'ig', 'iI\u0130\u0131'],
  ['\u0131', 'ig', 'iI\u0131'],
  ['\u01c5', 'ig', '\u01c4\u01c5\u01c6'],
  ['\uff41', 'ig', '\uff21\uff41a'],
  ['\u2170', 'ig', '\u2160\u2170'],
  ['\u00b5', 'ig', '\u00b5\u03bc\u039c'],
  ['[^a]', 'ig', 'aAb'],
  ['[\u00e0-\u00ff]+', 'ig', '\u00c0\u00c9\u00d7\u00f7\u00dd\u0178'],
  ['[A-Z]+', 'g', 'abcXYZ'],
  ['abc', 'ig', '\uff21BC ABC'],
  // Surrogate pairs are two units.
  ['.', 'g', '\ud83d\ude00a'],
  ['\ud83d\ude00', 'g', 'x\ud83d\ude00y'],
  ['[\ud83d\ude00]', 'g', '\ud83d\ude00'],
  ['\\ud83d', 'g', '\ud83d\ude00\ud83d'],
  ['^.$', 'g', '\ud83d\ude00'],
  ['\ud801\udc00', 'ig', '\ud801\udc28\ud801\udc00'],
  ['(.)\\1', 'g', '\ud83d\ud83d\ude00\ude00'],
  // Empty matches in global mode: the search goes on one unit further, no second try.
  ['', 'g', 'ab'],
  ['(?:)', 'g', ''],
  ['x*', 'g', 'axxb'],
  ['\\b', 'g', 'ab cd'],
  ['(?=.)', 'g', 'ab'],
  ['a*|b', 'g', 'abc'],
  ['(a)|b*', 'g', 'ab'],
  // First match only.
  ['a', 'i', 'xAa'],
  ['a', '', 'xAa'],
  ['(\\d)(\\d)?', 'm', 'a1 23'],
  ['x', '', 'abc'],
  // The site's own patterns, in small.
  ['/word/.*?_(\\d+)\\.html', 'igm', '<a href="/word/a_1_7.html">7</a> <a href="/word/k_2.html">'],
  ['<dt>(.*?)  </span>', 'igm', '<dt>1 GB   </span>'],
  ['class=\\"botinfo\\"', 'igm', 'class="BOTINFO"'],
  // Patterns that ECMAScript rejects.
  ['a**', 'g', ''],
  ['a++', 'g', ''],
  ['a*+', 'g', ''],
  ['a{2}+', 'g', ''],
  ['a???', 'g', ''],
  ['*a', 'g', ''],
  ['+', 'g', ''],
  ['?', 'g', ''],
  ['{2}', 'g', ''],
  ['a{2,1}', 'g', ''],
  ['a{2}{3}', 'g', ''],
  ['(', 'g', ''],
  [')', 'g', ''],
  ['a)', 'g', ''],
  ['(a', 'g', ''],
  ['[a', 'g', ''],
  ['[b-a]', 'g', ''],
  ['\\', 'g', ''],
  ['a\\', 'g', ''],
  ['^*', 'g', ''],
  ['$+', 'g', ''],
  ['\\b*', 'g', ''],
  ['(?', 'g', ''],
  ['(?a)', 'g', ''],
  ['(?i)a', 'g', ''],
  ['(?>a)', 'g', ''],
  ['(?#x)', 'g', ''],
  ['(?P<n>a)', 'g', ''],
];

// Replacements, each with the pattern, options and subject they run on.
const replacements = [
  ['(a)(b)?', 'g', 'ab a x', '[$1|$2]'],
  ['b', 'g', 'abc', "<$`|$&|$'>"],
  ['b', 'g', 'abc', '$$ $ $0 $00 $x'],
  ['(a)', 'g', 'a', '$1 $01 $10 $2 $9 $<n>'],
  ['(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)', '', 'abcdefghijk', '$11 $10 $1 $012 $99'],
  ['x*', 'g', 'abc', '-'],
  ['a', 'ig', 'aAa', 'b'],
  ['a', 'i', 'AaA', 'b'],
  ['o', 'g', 'foo', '$'],
  ['\u00e9', 'ig', 'caf\u00c9', 'e'],
  ['x', 'g', 'abc', 'y'],
  ['(?:)', 'g', '', '!'],
  ['(\\d+)', 'g', 'v1 v22', '<$1$1>'],
];

function nodePattern(p) {
  let out = '';
  let inClass = false;
  for (let i = 0; i < p.length; i++) {
    const c = p[i];
    if (c === '\\') {
      out += c + (i + 1 < p.length ? p[++i] : '');
    } else if (inClass) {
      if (c === ']') inClass = false;
      out += c;
    } else if (c === '[') {
      inClass = true;
      out += c;
    } else if (c === '.') {
      out += '[^\\n]';
    } else {
      out += c;
    }
  }
  return out;
}

function run(pattern, flags, subject, replacement) {
  const record = { p: pattern, f: flags, s: subject };
  if (replacement !== undefined) record.r = replacement;
  let re;
  try {
    re = new RegExp(nodePattern(pattern), flags + 'd');
  } catch {
    record.error = true;
    return record;
  }
  const found = flags.includes('g') ? [...subject.matchAll(re)] : [re.exec(subject)].filter((m) => m);
  record.m = found.map((m) => [
    m.index,
    m[0],
    m.slice(1).map((text, k) => (text === undefined ? null : [text, m.indices[k + 1][0]])),
  ]);
  if (replacement !== undefined) record.out = subject.replace(new RegExp(nodePattern(pattern), flags), replacement);
  return record;
}

const lines = [
  ...cases.map(([p, f, s]) => run(p, f, s)),
  ...replacements.map(([p, f, s, r]) => run(p, f, s, r)),
].map((record) => JSON.stringify(record));
const header = `# Generated by gen_regex_cases.mjs with Node ${process.version}; do not edit by hand.`;
writeFileSync(new URL('./regex_cases.jsonl', import.meta.url), [header, ...lines, ''].join('\n'));
console.log(`${lines.length} cases`);
