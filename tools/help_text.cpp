#include "help_text.h"

namespace {

// Every help text ends with these: what the exit status means and the
// 16-bit limit of positions.
const char* const kFooter = R"(Exit status: 0 when something matched or was done, 1 when nothing matched,
2 on an error (the message of bregexp.dll, or of molv, on standard error).

Positions are offset:length in bytes, and the module keeps each number modulo
65536: in a text longer than 65535 bytes an offset or a length of 65536 or
more wraps around (70000 reads as 4464), and the text cut by such a position
is not the one matched. Finding, filtering, substituting and translating
work on lines of any length. A NUL byte ends the text the module sees.
)";

const char* const kOverview = R"(usage: molv [--library PATH] COMMAND [OPTIONS] PATTERN [SUBJECT...]

Perl-style regular expressions through the MOLV_Wrap module and bregexp.dll.
With SUBJECTs a command works on each of them; without, it reads standard
input line by line and works like grep (match) or sed (subst, trans).

Commands:
  match PATTERN [SUBJECT...]   position and text of the match and its groups;
                               without subjects, the lines that match
  subst PATTERN [SUBJECT...]   substitution s/PATTERN/REPLACEMENT/FLAGS
  trans PATTERN [SUBJECT...]   translation tr/SEARCH/REPLACE/FLAGS
  split PATTERN [SUBJECT...]   the pieces between matches, one a line
  version                      versions of the module and of bregexp.dll
  help [COMMAND]               this text, or the help of a command

Options:
  --library PATH   the module to load, or its folder (default: the
                   )" MOLV_MODULE_FILE R"( beside molv)
  --positions      match and split: position texts instead of texts
  --limit N        split: at most N pieces (0, the default: no limit, and
                   trailing empty pieces dropped; negative: no limit)
  --help           the help of a command: molv match --help
  --               ends the options, so a subject may start with '-'

Patterns: m/PATTERN/FLAGS or /PATTERN/FLAGS, s/PATTERN/REPLACEMENT/FLAGS,
tr/SEARCH/REPLACE/FLAGS (or y/.../.../). Any delimiter that is not a letter,
digit or blank may follow m, s, tr or y; (), [], {} and <> pair up. Flags:
i m s x as in Perl, g global substitution, k Shift_JIS texts, u UTF-8 texts;
c d s for tr. Quote patterns for the shell: 'm/(\w+)@(\w+)/'.

)";

const char* const kMatch = R"(usage: molv match [--positions] PATTERN [SUBJECT...]

For each SUBJECT: the position (offset:length) and the text of the whole
match, then one line per group: its number, its position and its text, or
"-" for a group that took no part. A subject that does not match prints
"no match" (with --positions: only the positions, on one line, and an empty
line for no match).
Without SUBJECT: prints the lines of standard input that match, like grep;
with --positions, the line number and the positions instead.

Examples:
  $ molv match '/(\w+)@(\w+)\.org/' 'mail alice@example.org today'
  5:17 alice@example.org
    1 5:5 alice
    2 11:7 example
  $ molv match '/(\d+)-(\d+)?/' 'pages 10-' 'none'
  6:3 10-
    1 6:2 10
    2 -
  no match
  $ printf 'one\ntwo\nthree\n' | molv match '/^t/'
  two
  three
  $ printf 'one\ntwo\nthree\n' | molv match --positions '/(o)/'
  1 0:1 0:1
  2 2:1 2:1

)";

const char* const kSubst = R"(usage: molv subst PATTERN [SUBJECT...]

Prints the result of s/PATTERN/REPLACEMENT/FLAGS for each SUBJECT, or for
each line of standard input, like sed (every line is printed, changed or
not). In the replacement: $& the match, $1..$9 and ${N} the groups (also
\1..\9), \n \t \r \\ \$; g replaces every match. Status 1: no subject matched.

Examples:
  $ molv subst 's/(\w+)@(\w+)/$2 at $1/' 'mail alice@example today'
  mail example at alice today
  $ printf 'a-b-c\nxyz\n' | molv subst 's/-/+/g'
  a+b+c
  xyz
  $ molv subst 's{(\d+)}{<$1>}g' 'room 12, floor 3'
  room <12>, floor <3>

)";

const char* const kTrans = R"(usage: molv trans PATTERN [SUBJECT...]

Prints the result of tr/SEARCH/REPLACE/FLAGS for each SUBJECT, or for each
line of standard input, like sed. Ranges such as a-z; c complements SEARCH,
d deletes what has no replacement, s squeezes runs of one replaced
character. Status 1: no subject was changed.

Examples:
  $ molv trans 'tr/a-z/A-Z/' 'hello, world'
  HELLO, WORLD
  $ printf 'bookkeeper\n' | molv trans 'tr/a-z//s'
  bokeper
  $ molv trans 'tr/0-9//cd' 'tel: +49 (30) 1234'
  49301234

)";

const char* const kSplit = R"(usage: molv split [--limit N] [--positions] PATTERN [SUBJECT...]

Prints the pieces of each SUBJECT, or of each line of standard input, one a
line, as Perl's split does: --limit N keeps at most N pieces (the last one
holds the rest); 0, the default, has no limit and drops trailing empty
pieces; a negative N keeps them. Groups in the pattern add pieces.
--positions prints the positions of the pieces instead. Status 1: there
were no pieces at all (empty subjects).

Examples:
  $ molv split '/\s*,\s*/' 'red, green ,blue'
  red
  green
  blue
  $ molv split --limit 2 '/:/' 'key:value:more'
  key
  value:more
  $ molv split --positions '/,/' 'a,bc,def'
  0:1
  2:2
  5:3

)";

const char* const kVersion = R"(usage: molv version

Prints the version of the module and the version text of the bregexp.dll
it loaded. It fails, naming the folder, when either cannot be loaded.

)";

}  // namespace

std::string HelpText(const std::string& topic) {
    const char* text = kOverview;
    if (topic == "match") text = kMatch;
    if (topic == "subst") text = kSubst;
    if (topic == "trans") text = kTrans;
    if (topic == "split") text = kSplit;
    if (topic == "version") text = kVersion;
    return std::string(text) + kFooter;
}

std::string UsageLine() {
    return "usage: molv [--library PATH] COMMAND [OPTIONS] PATTERN [SUBJECT...]\n";
}
