"""MOLV_Wrap from Python: match, substitute, translate and split with regular
expressions through the module libMOLV_Wrap.so (Linux) or MOLV_Wrap.dll
(Windows), using ctypes and nothing outside the standard library.

    from molv_wrap import MolvWrap, MolvError

    molv = MolvWrap()                      # or MolvWrap("path/to/libMOLV_Wrap.so")
    m = molv.match(r"/(\\d+)-(\\d+)/", "pages 12-34")
    m.text, m.offset, m.length             # ('12-34', 6, 5)
    m.groups                               # (Piece(offset=6, length=2, text='12'), ...)
    molv.subst("s/(\\w+) (\\w+)/$2, $1/", "John Smith")    # 'Smith, John'
    molv.trans("tr/a-z/A-Z/", "hello")                     # 'HELLO'
    molv.split("/:/", "key:value:more", limit=2)           # ['key', 'value:more']

Patterns are Perl's operators as texts: /PATTERN/FLAGS or m/.../,
s/PATTERN/REPLACEMENT/FLAGS, tr/SEARCH/REPLACE/FLAGS. The flag u makes the
texts UTF-8 and k Shift_JIS; without either they are bytes.

Texts. Each pattern and subject may be str or bytes (bytearray and
memoryview too); a result has the type of the subject. A str is encoded with
the encoding given to MolvWrap (UTF-8 unless told otherwise, "cp932" suits
the k flag) and results are decoded with it; the error handler
"surrogateescape" lets bytes that are not valid in that encoding through both
ways unchanged. The module reads zero-terminated texts, so a text that
contains a NUL byte is refused with ValueError instead of being cut short.

Positions. Offsets and lengths are counted in bytes of the encoded subject,
as the module reports them, not in characters. The module keeps each in 16
bits: in a subject longer than 65535 bytes they wrap around modulo 65536, and
the text cut at such a position is not the one matched. subst and trans
are not affected.

Failures. An empty answer together with a non-empty MOLV_ERRORMSG (or -1 from
MOLV_SPLIT with a message) raises MolvError, whose message is the library's.

Threads. The module keeps one state per thread (the last subject, the
positions still to read, the result text, the message), so threads may
share a MolvWrap object and call it at once: each operation's calls all
run on its own thread and read only that thread's answers.
"""

import ctypes
import os
import sys
from collections import namedtuple

__all__ = ["MolvWrap", "MolvError", "Match", "Piece"]

# The module's file names on this system, tried in turn through the loader's
# search when no path is given: where only the runtime files are installed,
# libMOLV_Wrap.so.1 (the module's SONAME) is there without libMOLV_Wrap.so.
if sys.platform == "win32":
    DEFAULT_LIBRARIES = ("MOLV_Wrap.dll",)
else:
    DEFAULT_LIBRARIES = ("libMOLV_Wrap.so", "libMOLV_Wrap.so.1")

_INT_MIN = -(2 ** 31)
_INT_MAX = 2 ** 31 - 1


class MolvError(Exception):
    """A failure reported by the module: the library's message and the pattern."""

    def __init__(self, message, pattern=None):
        super().__init__(message)
        self.message = message
        self.pattern = pattern


# One piece of the subject: a match, a group or a split piece. Offset and
# length are in bytes; text is str or bytes like the subject.
Piece = namedtuple("Piece", ["offset", "length", "text"])


class Match(object):
    """The whole match and its groups.

    offset, length, text: the whole match (offset and length in bytes).
    groups: one entry per group of the pattern, in order: a Piece, or None
    for a group that took no part in the match.
    """

    __slots__ = ("offset", "length", "text", "groups")

    def __init__(self, whole, groups):
        self.offset, self.length, self.text = whole
        self.groups = tuple(groups)

    def group(self, number=0):
        """The text of group NUMBER (0: the whole match), None if it took no part."""
        if number == 0:
            return self.text
        if not 0 < number <= len(self.groups):
            raise IndexError("no group %d: the pattern has %d" % (number, len(self.groups)))
        piece = self.groups[number - 1]
        return None if piece is None else piece.text

    def __repr__(self):
        return "<Match %d:%d %r groups=%r>" % (self.offset, self.length, self.text, self.groups)


def _parse_position(position):
    """(offset, length) from a position text "offset:length"."""
    offset, _, length = position.partition(b":")
    return int(offset), int(length)


class MolvWrap(object):
    """The loaded module.

    library: the module's path; default: the environment variable
    MOLV_WRAP_LIBRARY, else libMOLV_Wrap.so (or libMOLV_Wrap.so.1) or
    MOLV_Wrap.dll through the system's library search (LD_LIBRARY_PATH and
    the system's folders; on Windows the folders of os.add_dll_directory and
    the system's, not PATH).
    encoding, errors: how str texts become bytes and back.
    stdcall: True for the Windows DLL built with __stdcall exports.
    """

    def __init__(self, library=None, encoding="utf-8", errors="surrogateescape", stdcall=False):
        if library is None:
            library = os.environ.get("MOLV_WRAP_LIBRARY")
        candidates = DEFAULT_LIBRARIES if not library else (os.fspath(library),)
        self.encoding = encoding
        self.errors = errors
        if stdcall and not hasattr(ctypes, "WinDLL"):
            raise ValueError("stdcall: only Windows has DLLs built with __stdcall exports")
        loader = ctypes.WinDLL if stdcall else ctypes.CDLL
        for candidate in candidates:
            try:
                self._dll = loader(candidate)
            except OSError as error:
                failure = error
                continue
            self.library = candidate
            break
        else:
            raise OSError("cannot load the module %s (set MOLV_WRAP_LIBRARY or pass its path): %s"
                          % (" or ".join(candidates), failure)) from failure
        self._declare()
        # On Linux a module that could not open bregexp.dll still loads but
        # answers "" to everything; its version text, never empty otherwise,
        # tells.
        if not self.version():
            raise MolvError("the module %s could not load bregexp.dll (look for it beside the module)"
                            % self.library)

    def _declare(self):
        text, integer = ctypes.c_char_p, ctypes.c_int
        exports = {
            "MOLV_MATCH": (text, [text, text]),
            "MOLV_SUBST": (text, [text, text]),
            "MOLV_TRANS": (text, [text, text]),
            "MOLV_SPLIT": (integer, [text, text, integer]),
            "MOLV_GETNEXT": (text, []),
            "MOLV_HASMORERESULTS": (integer, []),
            "MOLV_POSTOSTR": (text, [text]),
            "MOLV_ERRORMSG": (text, []),
            "MOLV_VERSION": (text, []),
            "MOLV_MOLVWVERSION": (text, []),
        }
        for name, (restype, argtypes) in exports.items():
            try:
                function = getattr(self._dll, name)
            except AttributeError:
                raise OSError("the module %s has no export %s: is it MOLV_Wrap?"
                              % (self.library, name)) from None
            # c_char_p as the result type copies the text into a bytes object
            # at once, before the next call reuses the module's result string.
            function.restype = restype
            function.argtypes = argtypes
            setattr(self, "_" + name, function)

    # Texts in and out.

    def _encode(self, value, what):
        if isinstance(value, str):
            data = value.encode(self.encoding, self.errors)
        elif isinstance(value, (bytes, bytearray, memoryview)):
            data = bytes(value)
        else:
            raise TypeError("%s must be str or bytes, not %s" % (what, type(value).__name__))
        if b"\0" in data:
            raise ValueError("%s contains a NUL byte, which would end the text the module reads" % what)
        return data

    def _decode_like(self, data, subject):
        return data.decode(self.encoding, self.errors) if isinstance(subject, str) else data

    def _text(self, function, *arguments):
        answer = function(*arguments)
        return b"" if answer is None else answer

    def _fail_if_error(self, pattern):
        message = self._text(self._MOLV_ERRORMSG)
        if message:
            raise MolvError(message.decode(self.encoding, "backslashreplace"), pattern)

    def _operands(self, pattern, subject):
        return self._encode(pattern, "pattern"), self._encode(subject, "subject")

    def _piece(self, position, subject):
        """A Piece for a position text, its text cut from the last subject;
        None for the empty position (a group that took no part)."""
        if not position:
            return None
        offset, length = _parse_position(position)
        text = self._text(self._MOLV_POSTOSTR, position)
        return Piece(offset, length, self._decode_like(text, subject))

    def _kept_pieces(self, subject):
        """A piece for each position the last match or split left unread."""
        pieces = []
        while self._MOLV_HASMORERESULTS():
            pieces.append(self._piece(self._text(self._MOLV_GETNEXT), subject))
        return pieces

    def _rewrite(self, function, pattern, subject):
        """The text MOLV_SUBST or MOLV_TRANS gives for SUBJECT."""
        result = self._text(function, *self._operands(pattern, subject))
        if not result:
            self._fail_if_error(pattern)
        return self._decode_like(result, subject)

    # The operations.

    def match(self, pattern, subject):
        """The first match of PATTERN in SUBJECT as a Match, or None."""
        position = self._text(self._MOLV_MATCH, *self._operands(pattern, subject))
        if not position:
            self._fail_if_error(pattern)
            return None
        return Match(self._piece(position, subject), self._kept_pieces(subject))

    def subst(self, pattern, subject):
        """SUBJECT with s/PATTERN/REPLACEMENT/FLAGS applied; SUBJECT itself when nothing matched."""
        return self._rewrite(self._MOLV_SUBST, pattern, subject)

    def trans(self, pattern, subject):
        """SUBJECT with tr/SEARCH/REPLACE/FLAGS applied."""
        return self._rewrite(self._MOLV_TRANS, pattern, subject)

    def split(self, pattern, subject, limit=0):
        """The pieces of SUBJECT between the matches of PATTERN, as Perl's
        split with LIMIT: 0 drops trailing empty pieces, a positive limit
        gives at most that many, a negative one keeps them all. The text of
        each group in the pattern is a piece of its own ("" for a group that
        took no part). No pieces at all: an empty list.

        The one piece the module cannot give a position for, 65535 bytes long
        at offset 65535 (both modulo 65536), comes out as None."""
        return [None if piece is None else piece.text
                for piece in self.split_pieces(pattern, subject, limit)]

    def split_pieces(self, pattern, subject, limit=0):
        """split, with each piece as a Piece (offset and length in bytes)."""
        pattern_data, subject_data = self._operands(pattern, subject)
        if not _INT_MIN <= limit <= _INT_MAX:
            raise OverflowError("limit %d does not fit in a 32-bit int" % limit)
        if self._MOLV_SPLIT(pattern_data, subject_data, limit) < 0:
            self._fail_if_error(pattern)
            return []
        return self._kept_pieces(subject)

    def version(self):
        """The version text of the bregexp.dll the module loaded ("" if none)."""
        return self._text(self._MOLV_VERSION).decode(self.encoding, "backslashreplace")

    def module_version(self):
        """The module's own version, such as "1.01"."""
        return self._text(self._MOLV_MOLVWVERSION).decode(self.encoding, "backslashreplace")
