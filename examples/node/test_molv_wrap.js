'use strict';
// The Node binding against a built module, with our bregexp.dll beside it:
//
//   NODE_PATH=build/node-packages/node_modules \
//     node examples/node/test_molv_wrap.js build/default/bin/libMOLV_Wrap.so
//
// Arguments: the module, then cdecl or stdcall (the DLL's exports), then
// optionally a file for the results, which go to standard output without:
// under Wine, node.exe's standard output is no pipe Wine can sync. The
// results are a line for each failed case and a closing count; the exit
// status is 1 when a case failed, 77 when koffi is not installed.

const fs = require('fs');
const { isDeepStrictEqual, inspect } = require('util');

const [library, convention = 'cdecl', resultsFile] = process.argv.slice(2);

function finish(lines, status) {
  const text = lines.join('\n') + '\n';
  if (resultsFile) fs.writeFileSync(resultsFile, text);
  else process.stdout.write(text);
  process.exitCode = status;
}

function installed(name) {
  try {
    require.resolve(name);
    return true;
  } catch {
    return false;
  }
}

function outcome(run) {
  try {
    return run();
  } catch (error) {
    return { thrown: error.name, message: error.message };
  }
}

function test() {
  const { MolvWrap } = require('./molv_wrap');
  const molv = new MolvWrap(library, { stdcall: convention === 'stdcall' });
  const piece = (offset, length, text) => ({ offset, length, text });
  const failure = (message) => ({ thrown: 'MolvError', message });
  const cases = [
    ['match with groups, one that took no part', () => molv.match('/(\\d+)-(\\d+)(x)?/', 'pages 12-34 and on'),
      { ...piece(6, 5, '12-34'), groups: [piece(6, 2, '12'), piece(9, 2, '34'), null] }],
    ['match: none', () => molv.match('/\\d/', 'no digits here'), null],
    ['match: UTF-8, positions in bytes', () => molv.match('/(ü+)ß/u', 'Grüüße'),
      { ...piece(2, 6, 'üüß'), groups: [piece(2, 4, 'üü')] }],
    ['subst', () => molv.subst('s/(\\w+) (\\w+)/$2, $1/', 'John Smith'), 'Smith, John'],
    ['subst: no match gives the subject', () => molv.subst('s/x/y/', 'abc'), 'abc'],
    ['trans', () => molv.trans('tr/a-z/A-Z/', 'hello, world'), 'HELLO, WORLD'],
    ['split with a limit', () => molv.split('/:/', 'key:value:more', 2), ['key', 'value:more']],
    ['split keeps groups', () => molv.split('/(-)|(,)/', 'a-b,c'), ['a', '-', '', 'b', '', ',', 'c']],
    ['split: no pieces', () => molv.split('/,/', ''), []],
    ['match: the message', () => molv.match('m/(/', 'abc'), failure('missing closing parenthesis at offset 1')],
    ['split: the message', () => molv.split('/a(/', 'abc'), failure('missing closing parenthesis at offset 2')],
    ['subst: the message', () => molv.subst('s/(/x/', 'abc'), failure('missing closing parenthesis at offset 1')],
    ['trans: the message', () => molv.trans('tr/a-z/A-Z', 'abc'),
      failure('missing closing delimiter of the second part')],
    ['an empty result after a failure is no failure', () => {
      outcome(() => molv.match('m/(/', 'abc'));
      return molv.subst('s/.*//', 'abc');
    }, ''],
    ['a text with a NUL is refused', () => molv.match('/a/', 'a\0b'),
      { thrown: 'RangeError', message: 'subject contains a NUL, which would end the text the module reads' }],
    ['versions', () => [/^bregexp\.dll /.test(molv.version()), /^\d+\.\d+$/.test(molv.moduleVersion())],
      [true, true]],
  ];
  const lines = [];
  for (const [name, run, expected] of cases) {
    const actual = outcome(run);
    if (!isDeepStrictEqual(actual, expected)) {
      const shown = (value) => inspect(value, { depth: 4 });
      lines.push(`FAILED: ${name}: got ${shown(actual)}, expected ${shown(expected)}`);
    }
  }
  lines.push(`${cases.length - lines.length} passed, ${lines.length} failed`);
  finish(lines, lines.length > 1 ? 1 : 0);
}

if (!library) {
  finish(['usage: test_molv_wrap.js LIBRARY [cdecl|stdcall] [RESULTS]'], 2);
} else if (!installed('koffi')) {
  finish(['NOTICE: koffi is not installed (scripts/node-packages fetches it):' +
          ' the Node binding was not tested'], 77);
} else {
  try {
    test();
  } catch (error) {
    finish([`FAILED: ${error.stack}`], 1);
  }
}
