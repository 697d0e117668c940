// The reader is a small recursive descent over Perl's syntax that writes
// RE2's as it goes. Every character becomes \x{...} or a class of its own,
// built by character_sets.h with PCRE2's own answers, so no escape, class
// or case rule of RE2's is ever relied on. What it declines is what RE2
// cannot run (lookaround, backreferences, recursion, conditionals, verbs,
// atomic groups, possessive quantifiers, \G, \K) or what it cannot be sure
// to read as PCRE2 does (a rare escape, \Q inside a class, a count over
// RE2's 1000).
#include "engines/linear_pattern.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engines/character_sets.h"

namespace regexlib {
namespace {

constexpr int kLargestCount = 1000;  // RE2 refuses larger repetition counts

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(std::uint32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiAlnum(char c) { return IsDigit(c) || IsAsciiLetter(static_cast<unsigned char>(c)); }
bool IsPatternSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Perl's pattern white space beyond ASCII, which x skips in a UTF-8 pattern.
bool IsUnicodePatternSpace(std::uint32_t c) { return c == 0x85 || c == 0x200E || c == 0x200F || c == 0x2028 || c == 0x2029; }

// What holds inside a group: the flags perl's inline groups change.
struct GroupFlags {
    bool caseless = false;
    bool multiline = false;
    bool dotAll = false;
    bool extended = false;
    bool extendedMore = false;
    bool noCapture = false;
    int asciiLevel = 0;
};

struct Quantifier {
    int min = 0;
    int max = -1;  // -1: no bound
    std::string text;
};

class LinearReader {
public:
    LinearReader(const std::string& pattern, const PatternOptions& options) : pattern_(pattern), options_(options) {
        GroupFlags outermost;
        outermost.caseless = options.caseless;
        outermost.multiline = options.multiline;
        outermost.dotAll = options.dotAll;
        outermost.extended = options.extended || options.extendedMore;
        outermost.extendedMore = options.extendedMore;
        outermost.noCapture = options.noAutoCapture;
        outermost.asciiLevel = options.asciiLevel;
        flags_.push_back(outermost);
    }

    LinearPattern Read() {
        if (options_.encoding == TextEncoding::ShiftJis) Decline("Shift_JIS is read as UTF-8");
        bool canBeEmpty = false;
        Alternation(canBeEmpty);
        if (result_.declined.empty() && at_ < pattern_.size()) Decline("unbalanced parenthesis");
        if (!result_.declined.empty()) {
            LinearPattern declined;
            declined.declined = result_.declined;
            return declined;
        }
        return result_;
    }

private:
    char At(std::size_t offset = 0) const {
        return at_ + offset < pattern_.size() ? pattern_[at_ + offset] : '\0';
    }
    bool Has(std::size_t offset = 0) const { return at_ + offset < pattern_.size(); }
    bool Ok() const { return result_.declined.empty(); }
    GroupFlags& Flags() { return flags_.back(); }

    bool Decline(const std::string& why) {
        if (result_.declined.empty()) result_.declined = why;
        return false;
    }

    void Put(const std::string& text) {
        result_.endAtEnd += text;
        result_.endAtNewline += text;
    }

    // Perl's $ without m, and \Z: before a final "\n" or at the end.
    void PutDollar() {
        result_.endAtEnd += "\\z";
        result_.endAtNewline += "(?m:$)";
        result_.hasDollar = true;
    }

    void Alternation(bool& canBeEmpty) {
        canBeEmpty = false;
        for (;;) {
            bool branchEmpty = true;
            Sequence(branchEmpty);
            canBeEmpty = canBeEmpty || branchEmpty;
            if (!Ok() || At() != '|') return;
            Put("|");
            ++at_;
        }
    }

    void Sequence(bool& canBeEmpty) {
        canBeEmpty = true;
        while (Ok()) {
            SkipIgnored();
            if (!Has() || At() == '|' || At() == ')') return;
            bool atom = false;
            bool atomEmpty = false;
            if (!ReadAtom(atom, atomEmpty)) return;
            if (!atom) continue;  // a flag group such as (?i): nothing to repeat
            SkipIgnored();
            Quantifier quantifier;
            if (ReadQuantifier(quantifier)) {
                if (atomEmpty && quantifier.min != quantifier.max) result_.groupsExact = false;
                Put(quantifier.text);
                atomEmpty = atomEmpty || quantifier.min == 0;
            }
            canBeEmpty = canBeEmpty && atomEmpty;
        }
    }

    // `atom` tells whether something was read that a quantifier may follow.
    bool ReadAtom(bool& atom, bool& canBeEmpty) {
        const char c = At();
        atom = true;
        canBeEmpty = false;
        switch (c) {
            case '(': return Group(atom, canBeEmpty);
            case '[': return ClassAtom();
            case '\\': return EscapeAtom(atom, canBeEmpty);
            case '.': {
                ++at_;
                CharacterSet newline;
                newline.Add('\n', '\n');
                const std::uint32_t largest = LargestCharacter(options_.encoding);
                CharacterSet any;
                any.Add(0, largest);
                return PutSet(Flags().dotAll ? any : newline.Complement(largest));
            }
            case '^':
                ++at_;
                return Assertion(Flags().multiline ? "(?m:^)" : "\\A", canBeEmpty, Flags().multiline);
            case '$':
                ++at_;
                if (Flags().multiline) return Assertion("(?m:$)", canBeEmpty, false);
                PutDollar();
                return Assertion("", canBeEmpty, false);
            case '*':
            case '+':
            case '?':
                return Decline("a quantifier with nothing to repeat");
            default:
                return LiteralAtom();
        }
    }

    bool Assertion(const std::string& text, bool& canBeEmpty, bool multilineCaret) {
        Put(text);
        canBeEmpty = true;
        result_.hasMultilineCaret = result_.hasMultilineCaret || multilineCaret;
        // A quantifier on an assertion is left to PCRE2.
        SkipIgnored();
        Quantifier quantifier;
        const std::size_t before = at_;
        if (ReadQuantifier(quantifier)) {
            at_ = before;
            return Decline("a quantified assertion");
        }
        return true;
    }

    bool LiteralAtom() {
        const char* at = pattern_.data() + at_;
        const char* const end = pattern_.data() + pattern_.size();
        const std::uint32_t character = DecodeCharacter(options_.encoding, at, end);
        at_ = static_cast<std::size_t>(at - pattern_.data());
        if (Flags().extended && options_.encoding == TextEncoding::Utf8 && IsUnicodePatternSpace(character)) {
            return Decline("Unicode white space under x");
        }
        return PutCharacter(character);
    }

    bool PutCharacter(std::uint32_t character) {
        CharacterSet set;
        return AddCharacters(character, character, set) && PutSet(set);
    }

    bool PutSet(const CharacterSet& set) {
        Put(set.AsRe2());
        return true;
    }

    // ---- flags, comments and white space between the pieces -------------

    void SkipIgnored() {
        for (;;) {
            if (At() == '(' && At(1) == '?' && At(2) == '#') {
                const std::size_t close = pattern_.find(')', at_);
                at_ = close == std::string::npos ? pattern_.size() : close + 1;
            } else if (Flags().extended && Has() && IsPatternSpace(At())) {
                ++at_;
            } else if (Flags().extended && At() == '#') {
                const std::size_t newline = pattern_.find('\n', at_);
                at_ = newline == std::string::npos ? pattern_.size() : newline + 1;
            } else {
                return;
            }
        }
    }

    // ---- quantifiers ----------------------------------------------------

    bool ReadCount(int& value) {
        if (!IsDigit(At())) return false;
        long long number = 0;
        while (IsDigit(At())) {
            number = number * 10 + (At() - '0');
            if (number > 1'000'000) number = 1'000'000;
            ++at_;
        }
        value = static_cast<int>(number);
        return true;
    }

    // {n}, {n,}, {n,m} or {,m}; anything else leaves a literal brace.
    bool ReadBraces(Quantifier& quantifier) {
        const std::size_t start = at_;
        ++at_;
        const bool hasMin = ReadCount(quantifier.min);
        bool comma = false;
        if (At() == ',') {
            comma = true;
            ++at_;
        }
        const bool hasMax = ReadCount(quantifier.max);
        if (At() != '}' || (!hasMin && !hasMax) || (!hasMin && !comma)) {
            at_ = start;
            return false;
        }
        ++at_;
        if (!hasMin) quantifier.min = 0;
        if (!comma) quantifier.max = quantifier.min;
        if (comma && !hasMax) quantifier.max = -1;
        return true;
    }

    bool ReadQuantifier(Quantifier& quantifier) {
        const char c = At();
        if (c == '*') {
            quantifier = {0, -1, ""};
        } else if (c == '+') {
            quantifier = {1, -1, ""};
        } else if (c == '?') {
            quantifier = {0, 1, ""};
        } else if (c != '{' || !ReadBraces(quantifier)) {
            return false;
        }
        if (c != '{') ++at_;
        // {n,m} with n > m never matches for perl; RE2 refuses it.
        if (quantifier.max >= 0 && quantifier.max < quantifier.min) return Decline("a count out of order");
        if (quantifier.min > kLargestCount || quantifier.max > kLargestCount) {
            return Decline("a count over " + std::to_string(kLargestCount));
        }
        quantifier.text = QuantifierText(quantifier);
        SkipIgnored();
        if (At() == '+') return Decline("a possessive quantifier");
        if (At() == '?') {
            quantifier.text += '?';
            ++at_;
            SkipIgnored();
        }
        Quantifier nested;
        const std::size_t before = at_;
        if (At() == '*' || At() == '+' || At() == '?' || (At() == '{' && ReadBraces(nested))) {
            at_ = before;
            return Decline("nested quantifiers");
        }
        return true;
    }

    static std::string QuantifierText(const Quantifier& quantifier) {
        if (quantifier.min == 0 && quantifier.max == -1) return "*";
        if (quantifier.min == 1 && quantifier.max == -1) return "+";
        if (quantifier.min == 0 && quantifier.max == 1) return "?";
        std::string text = "{" + std::to_string(quantifier.min);
        if (quantifier.max != quantifier.min) text += "," + (quantifier.max < 0 ? "" : std::to_string(quantifier.max));
        return text + "}";
    }

    // ---- groups ---------------------------------------------------------

    bool Group(bool& atom, bool& canBeEmpty) {
        if (At(1) == '*') return Decline("a verb or an alpha assertion");
        GroupFlags inner = Flags();
        std::string open;
        if (At(1) != '?') {
            at_ += 1;
            open = CaptureOpen(!inner.noCapture);
        } else if (!GroupOpening(inner, open, atom)) {
            return false;
        }
        if (!atom) return true;
        flags_.push_back(inner);
        Put(open);
        Alternation(canBeEmpty);
        if (!Ok()) return false;
        if (At() != ')') return Decline("unbalanced parenthesis");
        ++at_;
        Put(")");
        flags_.pop_back();
        return true;
    }

    std::string CaptureOpen(bool captures) {
        if (!captures) return "(?:";
        ++result_.groupCount;
        return "(";
    }

    // After "(?": what the group is. A flag group without ':' changes the
    // group around it and is no atom.
    bool GroupOpening(GroupFlags& inner, std::string& open, bool& atom) {
        const char kind = At(2);
        if (kind == ':') {
            at_ += 3;
            open = "(?:";
            return true;
        }
        if ((kind == '<' && At(3) != '=' && At(3) != '!') || kind == '\'' || (kind == 'P' && At(3) == '<')) {
            const char close = kind == '\'' ? '\'' : '>';
            const std::size_t end = pattern_.find(close, at_ + 3);
            if (end == std::string::npos) return Decline("an unterminated group name");
            at_ = end + 1;
            open = CaptureOpen(true);  // a named group captures even under n
            return true;
        }
        if (std::strchr("^-imnsxpadu", kind) != nullptr && kind != '\0') return FlagGroup(inner, open, atom);
        return Decline("a group kind the linear engine has not: (?" + std::string(1, kind));
    }

    bool FlagGroup(GroupFlags& inner, std::string& open, bool& atom) {
        std::size_t end = at_ + 2;
        bool negated = false;
        int xs = 0;
        for (; end < pattern_.size() && pattern_[end] != ':' && pattern_[end] != ')'; ++end) {
            const char letter = pattern_[end];
            if (letter == '^') {
                inner.caseless = inner.multiline = inner.dotAll = inner.extended = inner.extendedMore = false;
                inner.noCapture = false;
                inner.asciiLevel = 0;
            } else if (letter == '-') {
                negated = true;
            } else if (letter == 'i') {
                inner.caseless = !negated;
            } else if (letter == 'm') {
                inner.multiline = !negated;
            } else if (letter == 's') {
                inner.dotAll = !negated;
            } else if (letter == 'n') {
                inner.noCapture = !negated;
            } else if (letter == 'x') {
                inner.extended = !negated;
                inner.extendedMore = !negated && ++xs > 1;
            } else if (letter == 'a') {
                // counted below
            } else if (letter == 'u' || letter == 'd') {
                inner.asciiLevel = 0;
            } else if (letter != 'p') {
                return Decline("an inline flag the linear engine has not");
            }
        }
        if (end >= pattern_.size()) return Decline("an unterminated group");
        // One a, counted from the group's own letters, is level 1 even where
        // the outer group had aa.
        int letters = 0;
        for (std::size_t i = at_ + 2; i < end; ++i) letters += pattern_[i] == 'a';
        if (letters > 0) inner.asciiLevel = letters;
        const bool opensGroup = pattern_[end] == ':';
        at_ = end + 1;
        if (opensGroup) {
            open = "(?:";
            return true;
        }
        Flags() = inner;  // lasts to the end of the group around it
        atom = false;
        return true;
    }

    // ---- escapes --------------------------------------------------------

    bool EscapeAtom(bool& atom, bool& canBeEmpty) {
        const char escaped = At(1);
        switch (escaped) {
            case 'A': at_ += 2; return Assertion("\\A", canBeEmpty, false);
            case 'z': at_ += 2; return Assertion("\\z", canBeEmpty, false);
            case 'Z':
                at_ += 2;
                PutDollar();
                return Assertion("", canBeEmpty, false);
            case 'b':
            case 'B':
                at_ += 2;
                if (UnicodeWords()) result_.hasUnicodeBoundary = true;
                return Assertion(escaped == 'b' ? "\\b" : "\\B", canBeEmpty, false);
            case 'Q': return Quoted(atom);
            case 'E':
                at_ += 2;
                atom = false;
                return true;
            case 'N':
                if (At(2) != '{') {
                    at_ += 2;
                    CharacterSet newline;
                    newline.Add('\n', '\n');
                    return PutSet(newline.Complement(LargestCharacter(options_.encoding)));
                }
                break;
            default: break;
        }
        CharacterSet set;
        bool isSet = false;
        std::uint32_t character = 0;
        if (!EscapedItem(character, set, isSet, false)) return false;
        return isSet ? PutSet(set) : PutCharacter(character);
    }

    // \Q...\E: every character literal, each an atom of its own.
    bool Quoted(bool& atom) {
        at_ += 2;
        const std::size_t end = std::min(pattern_.find("\\E", at_), pattern_.size());
        if (end == at_) {
            atom = false;
            at_ = std::min(end + 2, pattern_.size());
            return true;
        }
        while (at_ < end) {
            const char* at = pattern_.data() + at_;
            const std::uint32_t character = DecodeCharacter(options_.encoding, at, pattern_.data() + end);
            at_ = static_cast<std::size_t>(at - pattern_.data());
            if (!PutCharacter(character)) return false;
        }
        // A quantifier after \E repeats the last character, which this
        // reader does not track: leave the pattern to PCRE2 then.
        at_ = std::min(end + 2, pattern_.size());
        atom = false;
        SkipIgnored();
        Quantifier quantifier;
        if (ReadQuantifier(quantifier)) return Decline("a quantifier after \\E");
        return Ok();
    }

    // Whether \w, \b and the POSIX classes follow Unicode's rules here.
    bool UnicodeWords() {
        return (options_.encoding != TextEncoding::Bytes || options_.asciiLevel > 0) && Flags().asciiLevel == 0;
    }

    SetFlags ItemFlags() {
        SetFlags flags;
        flags.encoding = options_.encoding;
        flags.caseless = Flags().caseless;
        flags.asciiLevel = Flags().asciiLevel;
        flags.outerAscii = options_.asciiLevel;
        return flags;
    }

    // One escape at a backslash: a character, or a set (\d, \p{L} ...).
    // In a class, \b is a backspace.
    bool EscapedItem(std::uint32_t& character, CharacterSet& set, bool& isSet, bool inClass) {
        const char escaped = At(1);
        if (std::strchr("dwshv", escaped) != nullptr || std::strchr("DWSHV", escaped) != nullptr) {
            const char lower = static_cast<char>(escaped | 0x20);
            CharacterSet positive;
            if (!SetOfClassItem(std::string("\\") + lower, ItemFlags(), positive)) {
                return Decline("PCRE2 refused \\" + std::string(1, lower));
            }
            set = lower == escaped ? positive : positive.Complement(LargestCharacter(options_.encoding));
            isSet = true;
            at_ += 2;
            return true;
        }
        if (escaped == 'p' || escaped == 'P') return PropertyItem(set, isSet);
        if (inClass && escaped == 'b') {
            character = 0x08;
            at_ += 2;
            return true;
        }
        return CharacterEscape(character);
    }

    bool PropertyItem(CharacterSet& set, bool& isSet) {
        std::size_t end = at_ + 3;
        if (At(2) == '{') {
            const std::size_t close = pattern_.find('}', at_);
            if (close == std::string::npos) return Decline("an unterminated property");
            end = close + 1;
        }
        if (!SetOfClassItem(pattern_.substr(at_, end - at_), ItemFlags(), set)) {
            return Decline("PCRE2 refused " + pattern_.substr(at_, end - at_));
        }
        isSet = true;
        at_ = end;
        return true;
    }

    bool ReadNumber(int base, std::size_t most, std::uint32_t& value, std::size_t& digits) {
        value = 0;
        digits = 0;
        while (digits < most && Has()) {
            const char c = At();
            int digit = -1;
            if (IsDigit(c)) digit = c - '0';
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0 || digit >= base) break;
            value = value > 0x10FFFF ? value : value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
            ++at_;
            ++digits;
        }
        return true;
    }

    // A number in braces, as \x{...} and \o{...} have it.
    bool BracedNumber(int base, std::uint32_t& value) {
        at_ += 1;  // the brace
        std::size_t digits = 0;
        ReadNumber(base, 16, value, digits);
        if (At() != '}' || digits == 0) return Decline("an escape with a number the linear engine does not read");
        ++at_;
        return true;
    }

    bool CharacterEscape(std::uint32_t& character) {
        const char escaped = At(1);
        const std::size_t start = at_;
        at_ += 2;
        std::size_t digits = 0;
        switch (escaped) {
            case 'n': character = '\n'; break;
            case 't': character = '\t'; break;
            case 'r': character = '\r'; break;
            case 'f': character = '\f'; break;
            case 'e': character = 0x1B; break;
            case 'a': character = 0x07; break;
            case 'x':
                if (At() == '{') {
                    if (!BracedNumber(16, character)) return false;
                } else {
                    ReadNumber(16, 2, character, digits);
                }
                break;
            case 'o':
                if (At() != '{') return Decline("\\o without braces");
                if (!BracedNumber(8, character)) return false;
                break;
            case '0':
                ReadNumber(8, 2, character, digits);
                break;
            case 'c': {
                const char control = At();
                if (control == '\0') return Decline("\\c at the end");
                character = static_cast<std::uint32_t>((control >= 'a' && control <= 'z' ? control - 32 : control) ^ 0x40);
                ++at_;
                break;
            }
            case 'N':
                if (At(1) != 'U' || At(2) != '+') return Decline("\\N{NAME}");
                at_ += 2;  // BracedNumber steps over one character, here the '+'
                if (!BracedNumber(16, character)) return false;
                break;
            default:
                if (escaped == '\0' || IsAsciiAlnum(escaped)) {
                    at_ = start;
                    return Decline("the escape \\" + std::string(1, escaped));
                }
                {
                    // An escaped punctuation or non-ASCII character is itself.
                    at_ = start + 1;
                    const char* at = pattern_.data() + at_;
                    character = DecodeCharacter(options_.encoding, at, pattern_.data() + pattern_.size());
                    at_ = static_cast<std::size_t>(at - pattern_.data());
                }
        }
        if (character > LargestCharacter(options_.encoding) || (character >= 0xD800 && character <= 0xDFFF)) {
            return Decline("an escape beyond the encoding's characters");
        }
        return true;
    }

    // ---- bracketed classes ----------------------------------------------

    bool ClassAtom() {
        CharacterSet set;
        return ReadClass(set) && PutSet(set);
    }

    bool ReadClass(CharacterSet& set) {
        ++at_;
        const bool negated = At() == '^';
        if (negated) ++at_;
        bool first = true;
        while (Ok()) {
            if (!Has()) return Decline("an unterminated class");
            if (At() == ']' && !first) break;
            first = false;
            if (Flags().extendedMore && (At() == ' ' || At() == '\t')) {
                ++at_;
                continue;
            }
            if (!ClassItem(set)) return false;
        }
        ++at_;
        if (negated) set = set.Complement(LargestCharacter(options_.encoding));
        return true;
    }

    bool ClassItem(CharacterSet& set) {
        if (At() == '[' && (At(1) == ':' || At(1) == '.' || At(1) == '=')) {
            const std::size_t close = pattern_.find(std::string(1, At(1)) + "]", at_ + 2);
            if (At(1) == ':' && close != std::string::npos) {
                const std::string item = pattern_.substr(at_, close + 2 - at_);
                if (!SetOfClassItem(item, ItemFlags(), set)) return Decline("PCRE2 refused " + item);
                at_ = close + 2;
                return true;
            }
            if (At(1) != ':') return Decline("a collating element");
        }
        std::uint32_t first = 0;
        bool isSet = false;
        if (!ClassCharacter(first, set, isSet)) return false;
        if (isSet) return true;
        if (At() == '-' && Has(1) && At(1) != ']') {
            ++at_;
            std::uint32_t last = 0;
            CharacterSet endSet;
            if (!ClassCharacter(last, endSet, isSet)) return false;
            if (isSet) return Decline("a class escape as a range end");
            if (last < first) return Decline("a range out of order");
            return AddCharacters(first, last, set);
        }
        return AddCharacters(first, first, set);
    }

    bool ClassCharacter(std::uint32_t& character, CharacterSet& set, bool& isSet) {
        isSet = false;
        if (At() == '\\') {
            if (At(1) == 'Q' || At(1) == 'E' || At(1) == 'N') return Decline("\\Q, \\E or \\N in a class");
            return EscapedItem(character, set, isSet, true);
        }
        const char* at = pattern_.data() + at_;
        character = DecodeCharacter(options_.encoding, at, pattern_.data() + pattern_.size());
        at_ = static_cast<std::size_t>(at - pattern_.data());
        return true;
    }

    // The characters first..last, and under i all that PCRE2 folds them to.
    bool AddCharacters(std::uint32_t first, std::uint32_t last, CharacterSet& set) {
        if (!Flags().caseless) {
            set.Add(first, last);
            return true;
        }
        for (std::uint32_t c = first; c <= last && c < 0x80; ++c) AddAsciiFolds(c, set);
        if (last < 0x80) return true;
        first = first < 0x80 ? 0x80 : first;
        // Bytes without a have no case beyond ASCII for PCRE2.
        if (options_.encoding == TextEncoding::Bytes && options_.asciiLevel == 0) {
            set.Add(first, last);
            return true;
        }
        char item[48];
        std::snprintf(item, sizeof item, "\\x{%X}-\\x{%X}", static_cast<unsigned>(first), static_cast<unsigned>(last));
        if (!SetOfClassItem(item, ItemFlags(), set)) return Decline("PCRE2 refused a caseless range");
        return true;
    }

    // An ASCII character under i: its other case, and in Unicode's folds
    // the Kelvin sign for k and the long s for s, unless aa keeps ASCII apart.
    void AddAsciiFolds(std::uint32_t c, CharacterSet& set) {
        set.Add(c, c);
        if (!IsAsciiLetter(c)) return;
        set.Add(c ^ 0x20, c ^ 0x20);
        const bool unicodeFolds = options_.encoding == TextEncoding::Utf8 && Flags().asciiLevel < 2;
        if (!unicodeFolds) return;
        if ((c | 0x20) == 'k') set.Add(0x212A, 0x212A);
        if ((c | 0x20) == 's') set.Add(0x17F, 0x17F);
    }

    const std::string& pattern_;
    const PatternOptions& options_;
    std::size_t at_ = 0;
    std::vector<GroupFlags> flags_;
    LinearPattern result_;
};

}  // namespace

LinearPattern ReadLinearPattern(const std::string& pattern, const PatternOptions& options) {
    return LinearReader(pattern, options).Read();
}

}  // namespace regexlib
