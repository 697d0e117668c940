'use strict';
// MOLV_Wrap from Node.js through the koffi FFI: match, substitute, translate
// and split with libMOLV_Wrap.so (Linux) or MOLV_Wrap.dll (Windows), with
// our bregexp.dll beside it.
//
//   const { MolvWrap, MolvError } = require('./molv_wrap');
//   const molv = new MolvWrap('build/default/bin/libMOLV_Wrap.so');
//   molv.match('/(\\d+)-(\\d+)/', 'pages 12-34');
//     // { offset: 6, length: 5, text: '12-34', groups: [{ offset: 6, length: 2, text: '12' }, ...] }
//   molv.subst('s/(\\w+) (\\w+)/$2, $1/', 'John Smith');  // 'Smith, John'
//   molv.trans('tr/a-z/A-Z/', 'hello');                   // 'HELLO'
//   molv.split('/:/', 'key:value:more', 2);               // ['key', 'value:more']
//
// Texts are JavaScript strings, passed to the module as UTF-8 (the flag u
// makes the module read them so; without it, offsets and lengths still
// count bytes of the UTF-8 text). A failure throws MolvError with the
// library's message. The DLL built with __stdcall exports (preset
// windows-stdcall) needs new MolvWrap(path, { stdcall: true }).

const koffi = require('koffi');

class MolvError extends Error {
  constructor(message, pattern) {
    super(message);
    this.name = 'MolvError';
    this.pattern = pattern;
  }
}

// The ten exports: result and parameter types. koffi's str copies a
// returned text into a JavaScript string at once, before the next call
// reuses the module's result string.
const EXPORTS = {
  MOLV_MATCH: ['str', ['str', 'str']],
  MOLV_SUBST: ['str', ['str', 'str']],
  MOLV_TRANS: ['str', ['str', 'str']],
  MOLV_SPLIT: ['int', ['str', 'str', 'int']],
  MOLV_GETNEXT: ['str', []],
  MOLV_HASMORERESULTS: ['int', []],
  MOLV_POSTOSTR: ['str', ['str']],
  MOLV_ERRORMSG: ['str', []],
  MOLV_VERSION: ['str', []],
  MOLV_MOLVWVERSION: ['str', []],
};

// The module reads zero-terminated texts: one holding a NUL would be cut short.
function checked(text, what) {
  if (typeof text !== 'string') throw new TypeError(`${what} must be a string, not ${typeof text}`);
  if (text.includes('\0')) {
    throw new RangeError(`${what} contains a NUL, which would end the text the module reads`);
  }
  return text;
}

class MolvWrap {
  constructor(library, { stdcall = false } = {}) {
    this.library = library;
    const module = koffi.load(library);
    this.call = {};
    for (const [name, [result, parameters]] of Object.entries(EXPORTS)) {
      const declaration = [name, result, parameters];
      this.call[name] = module.func(...(stdcall ? ['__stdcall', ...declaration] : declaration));
    }
    // On Linux a module that could not open bregexp.dll still loads but
    // answers "" to everything; its version text, never empty otherwise, tells.
    if (!this.version()) {
      throw new MolvError(`the module ${library} could not load bregexp.dll (look for it beside the module)`);
    }
  }

  // The first match of PATTERN in SUBJECT, or null: the whole match and a
  // piece for each group (null for a group that took no part).
  match(pattern, subject) {
    const position = this.call.MOLV_MATCH(checked(pattern, 'pattern'), checked(subject, 'subject'));
    if (!position) return this.failIfError(pattern, null);
    return { ...this.piece(position), groups: this.keptPieces() };
  }

  subst(pattern, subject) {
    return this.rewrite(this.call.MOLV_SUBST, pattern, subject);
  }

  trans(pattern, subject) {
    return this.rewrite(this.call.MOLV_TRANS, pattern, subject);
  }

  // The texts between the matches, as Perl's split with LIMIT; the text of
  // each group is a piece of its own. The one piece the module has no
  // position for (65535 bytes at offset 65535, modulo 65536) is null.
  split(pattern, subject, limit = 0) {
    const count = this.call.MOLV_SPLIT(checked(pattern, 'pattern'), checked(subject, 'subject'), limit);
    if (count < 0) return this.failIfError(pattern, []);
    return this.keptPieces().map((piece) => piece && piece.text);
  }

  version() {
    return this.call.MOLV_VERSION() || '';
  }

  moduleVersion() {
    return this.call.MOLV_MOLVWVERSION() || '';
  }

  // An empty answer is a failure only when the library left a message; else
  // NOTHING is the answer.
  failIfError(pattern, nothing) {
    const message = this.call.MOLV_ERRORMSG();
    if (message) throw new MolvError(message, pattern);
    return nothing;
  }

  rewrite(operation, pattern, subject) {
    const result = operation(checked(pattern, 'pattern'), checked(subject, 'subject'));
    return result || this.failIfError(pattern, '');
  }

  piece(position) {
    if (!position) return null;
    const [offset, length] = position.split(':').map(Number);
    return { offset, length, text: this.call.MOLV_POSTOSTR(position) };
  }

  // A piece for each position the last match or split left unread.
  keptPieces() {
    const pieces = [];
    while (this.call.MOLV_HASMORERESULTS()) pieces.push(this.piece(this.call.MOLV_GETNEXT()));
    return pieces;
  }
}

module.exports = { MolvWrap, MolvError };
