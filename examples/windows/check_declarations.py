#!/usr/bin/env python3
"""Checks the Windows examples against the module's exports.

usage: check_declarations.py [--bas FILE] [--ahk FILE] NAME=COUNT...

Each NAME=COUNT is one export of MOLV_Wrap and its number of arguments, as
include/molv_wrap.h lists them (the build passes them from there). The files
default to MolvWrap.bas and molv_wrap.ahk beside this script.

MolvWrap.bas (VBA): every export has a Declare statement with COUNT
parameters, in each branch of an #If block that declares exports (or once
outside any), from Lib "MOLV_Wrap.dll" and not returning a String; every
call of an export in the module's code passes COUNT arguments.

molv_wrap.ahk (AutoHotkey v2): every export is called through DllCall, each
call with COUNT type-and-value pairs and a return type that says Cdecl.

In both, every MOLV_ name is one of the exports (MOLV_Wrap, the module's
file name, aside). Prints each problem as FILE:LINE: MESSAGE and exits with
1 when there is one, 0 otherwise.
"""

import argparse
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
MOLV_NAME = re.compile(r"\bMOLV_[A-Za-z0-9_]*")
MODULE_NAME = "molv_wrap"  # the module's file name, in any case
CLOSING = {"(": ")", "[": "]", "{": "}"}


class Problems(object):
    def __init__(self):
        self.lines = []

    def add(self, path, text, offset, message):
        line = text.count("\n", 0, offset) + 1
        self.lines.append("%s:%d: %s" % (path, line, message))


def parse_exports(arguments):
    exports = {}
    for argument in arguments:
        match = re.fullmatch(r"(MOLV_[A-Z0-9_]+)=(\d+)", argument)
        if not match:
            raise SystemExit("check_declarations: '%s' is not NAME=COUNT (such as MOLV_MATCH=2)" % argument)
        if match.group(1) in exports:
            raise SystemExit("check_declarations: %s is given twice" % match.group(1))
        exports[match.group(1)] = int(match.group(2))
    if not exports:
        raise SystemExit("check_declarations: no exports given (NAME=COUNT...)")
    return exports


def unquoted(text, start, quotes, escape):
    """(index, char) for each character of TEXT from START that stands outside
    a string; string delimiters and what they enclose are passed over."""
    quote = None
    index = start
    while index < len(text):
        char = text[index]
        if quote:
            if escape and char == escape:
                index += 1
            elif char == quote:
                quote = None
        elif char in quotes:
            quote = char
        else:
            yield index, char
        index += 1


def mask_comments(text, comment_start, quotes, escape):
    """TEXT with every comment blanked out (newlines kept, so offsets and
    line numbers stay), strings left as they are."""
    out = []
    for line in text.split("\n"):
        cut = len(line)
        for index, _ in unquoted(line, 0, quotes, escape):
            if comment_start(line, index):
                cut = index
                break
        out.append(line[:cut] + " " * (len(line) - cut))
    return "\n".join(out)


def read_arguments(text, start, quotes, escape):
    """The arguments of the list whose "(" is at START, split at the commas
    outside strings and nested brackets, and the offset after its ")"."""
    arguments = []
    stack = [")"]
    current = start + 1
    for index, char in unquoted(text, start + 1, quotes, escape):
        if char in CLOSING:
            stack.append(CLOSING[char])
        elif char == stack[-1]:
            stack.pop()
            if not stack:
                arguments.append(text[current:index])
                if len(arguments) == 1 and not arguments[0].strip():
                    arguments = []
                return arguments, index + 1
        elif char == "," and len(stack) == 1:
            arguments.append(text[current:index])
            current = index + 1
    return None, len(text)


def check_names(path, text, exports, problems):
    for match in MOLV_NAME.finditer(text):
        name = match.group(0)
        if name not in exports and name.lower() != MODULE_NAME:
            problems.add(path, text, match.start(),
                         "%s is not one of the exports of molv_wrap.h" % name)


def plural(count):
    return "%d argument%s" % (count, "" if count == 1 else "s")


# VBA

VBA_DECLARE = re.compile(
    r"^[ \t]*(?:(?:Public|Private)\s+)?Declare\s+(?:PtrSafe\s+)?(Function|Sub)\s+(\w+)"
    r"\s+Lib\s+\"([^\"]*)\"(?:\s+Alias\s+\"([^\"]*)\")?\s*(?=\()",
    re.I | re.M)
VBA_DIRECTIVE = re.compile(r"^[ \t]*#(If|ElseIf|Else|End[ \t]*If)\b", re.I | re.M)


def vba_comment(line, index):
    if line[index] == "'":
        return True
    # Rem as the first word of a line.
    return not line[:index].strip() and re.match(r"rem(\s|$)", line[index:], re.I) is not None


def check_bas(path, exports, problems):
    with open(path, encoding="latin-1", newline=None) as file:
        original = file.read()
    check_names(path, original, exports, problems)
    text = mask_comments(original, vba_comment, '"', None)
    # A line continuation " _" becomes a blank; the newline after it stays.
    text = re.sub(r"(?<=[ \t])_(?=[ \t]*\n)", " ", text)

    # Which #If block and branch each offset lies in: (block, branch), or
    # None outside any block.
    branches = []  # (offset, (block, branch) or None)
    blocks = {}    # block -> the offset of each of its branches' directive
    stack = []
    next_block = 0
    for directive in VBA_DIRECTIVE.finditer(text):
        word = directive.group(1).lower().replace(" ", "").replace("\t", "")
        if word == "if":
            stack.append([next_block, 0])
            blocks[next_block] = [directive.start()]
            next_block += 1
        elif not stack:
            problems.add(path, text, directive.start(), "#%s without #If" % directive.group(1))
            continue
        elif word in ("elseif", "else"):
            stack[-1][1] += 1
            blocks[stack[-1][0]].append(directive.start())
        else:
            stack.pop()
        branches.append((directive.start(), tuple(stack[-1]) if stack else None))

    def branch_at(offset):
        where = None
        for start, branch in branches:
            if start > offset:
                break
            where = branch
        return where

    declared = {}  # (block, branch) or None -> {export: count}
    declarations = []
    for match in VBA_DECLARE.finditer(text):
        kind, name, library, alias = match.groups()
        export = alias or name
        if not export.startswith("MOLV_"):
            continue
        parameters, end = read_arguments(text, match.end(), '"', None)
        if parameters is None:
            problems.add(path, text, match.start(), "the Declare of %s has no closing parenthesis" % export)
            continue
        declarations.append((match.start(), match.end()))
        if export not in exports:
            continue  # named by check_names
        where = branch_at(match.start())
        declared.setdefault(where, {}).setdefault(export, 0)
        declared[where][export] += 1
        if len(parameters) != exports[export]:
            problems.add(path, text, match.start(),
                         "%s is declared with %s; molv_wrap.h gives it %s"
                         % (export, plural(len(parameters)), plural(exports[export])))
        if os.path.splitext(library)[0].lower() != MODULE_NAME:
            problems.add(path, text, match.start(),
                         "%s is declared from Lib \"%s\", not \"MOLV_Wrap.dll\"" % (export, library))
        returns = re.match(r"\s*As\s+(\w+)", text[end:], re.I)
        if kind.lower() == "sub" or returns is None:
            problems.add(path, text, match.start(), "%s is declared without a result" % export)
        elif returns.group(1).lower() == "string":
            problems.add(path, text, match.start(),
                         "%s is declared As String: VBA would take the DLL's char* for a BSTR; "
                         "declare it As LongPtr (Long before VBA7) and copy the text" % export)

    # Each export once in every branch of each #If block that declares
    # exports, counting those declared outside any block; without such
    # blocks, once outside.
    outside = declared.get(None, {})
    groups = []
    for block in sorted({where[0] for where in declared if where is not None}):
        for branch, offset in enumerate(blocks[block]):
            directive = text[offset:text.find("\n", offset)].strip()
            groups.append(("in the branch of '%s'" % directive, offset, declared.get((block, branch), {})))
    if not groups:
        groups = [("in the module", 0, {})]
    for label, offset, names in groups:
        for export in exports:
            count = names.get(export, 0) + outside.get(export, 0)
            if count == 0:
                problems.add(path, text, offset, "%s is not declared %s" % (export, label))
            elif count > 1:
                problems.add(path, text, offset, "%s is declared %d times %s" % (export, count, label))

    # The calls in the module's code.
    for match in re.finditer(r"\b(MOLV_[A-Z0-9_]+)\s*(?=\()", text):
        if any(start <= match.start() < end for start, end in declarations):
            continue
        export = match.group(1)
        if export not in exports:
            continue
        arguments, _ = read_arguments(text, match.end(), '"', None)
        if arguments is not None and len(arguments) != exports[export]:
            problems.add(path, text, match.start(), "%s is called with %s; molv_wrap.h gives it %s"
                         % (export, plural(len(arguments)), plural(exports[export])))


# AutoHotkey v2

def ahk_comment(line, index):
    return line[index] == ";" and (index == 0 or line[index - 1] in " \t")


def mask_block_comments(text):
    """TEXT with /* ... */ comments that start a line blanked out."""
    out = []
    inside = False
    for line in text.split("\n"):
        if not inside and line.lstrip().startswith("/*"):
            inside = True
        if inside:
            if "*/" in line:
                inside = False
            line = " " * len(line)
        out.append(line)
    return "\n".join(out)


def check_ahk(path, exports, problems):
    with open(path, encoding="utf-8-sig", newline=None) as file:
        original = file.read()
    check_names(path, original, exports, problems)
    text = mask_comments(mask_block_comments(original), ahk_comment, "\"'", "`")

    called = set()
    for match in re.finditer(r"\bDllCall\s*(?=\()", text, re.I):
        arguments, _ = read_arguments(text, match.end(), "\"'", "`")
        if not arguments:
            continue
        names = [name for name in MOLV_NAME.findall(arguments[0]) if name.lower() != MODULE_NAME]
        if not names:
            continue
        export = names[0]
        if export not in exports:
            continue  # named by check_names
        called.add(export)
        rest = arguments[1:]
        count = len(rest) // 2
        if count != exports[export]:
            problems.add(path, text, match.start(), "DllCall of %s passes %s; molv_wrap.h gives it %s"
                         % (export, plural(count), plural(exports[export])))
        if len(rest) % 2 == 0 or "cdecl" not in rest[-1].lower():
            problems.add(path, text, match.start(),
                         "DllCall of %s needs \"Cdecl\" in its return type: the DLL's exports are __cdecl"
                         % export)
    for export in exports:
        if export not in called:
            problems.add(path, original, 0, "%s is never called through DllCall" % export)


def main(argv):
    parser = argparse.ArgumentParser(
        description="Check the VBA and AutoHotkey examples against the exports of molv_wrap.h.")
    parser.add_argument("--bas", default=os.path.join(HERE, "MolvWrap.bas"), help="the VBA module")
    parser.add_argument("--ahk", default=os.path.join(HERE, "molv_wrap.ahk"), help="the AutoHotkey script")
    parser.add_argument("exports", nargs="*", metavar="NAME=COUNT", help="an export and its number of arguments")
    options = parser.parse_args(argv)
    exports = parse_exports(options.exports)

    problems = Problems()
    check_bas(options.bas, exports, problems)
    check_ahk(options.ahk, exports, problems)
    for line in problems.lines:
        print(line, file=sys.stderr)
    if problems.lines:
        print("check_declarations: %d problem(s) against the %d exports of molv_wrap.h"
              % (len(problems.lines), len(exports)), file=sys.stderr)
        return 1
    print("check_declarations: %s and %s declare and call the %d exports of molv_wrap.h as listed"
          % (os.path.basename(options.bas), os.path.basename(options.ahk), len(exports)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
