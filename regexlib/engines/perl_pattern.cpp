#include "engines/perl_pattern.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace regexlib {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Perl's \w under Unicode's rules as a class body. PCRE2's \w (L, N, Mn,
// Pc) holds numbers such as U+00B2 that perl's does not, and lacks the
// other marks, letters counted as alphabetic (U+2160, U+24B6) and the join
// controls U+200C and U+200D, which perl's holds.
constexpr const char* kPerlWord = "\\p{Alphabetic}\\p{M}\\p{Nd}\\p{Pc}\\p{Join_Control}";

std::string Lowered(const std::string& text) {
    std::string lowered;
    for (const char c : text) {
        if (c != ' ') lowered += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return lowered;
}

// A bracketed class as a union of its items and of the complements of some
// sets, which a class cannot hold: [a\W] is (?:[a]|[^WORD]), [^a\W] is
// (?:(?![a])[WORD]).
std::string ClassWithComplements(std::string body, bool negated, const std::vector<std::string>& complements) {
    if (!body.empty() && body[0] == '^') body.insert(0, "\\");
    std::string written = "(?:";
    if (negated) {
        if (!body.empty()) written += "(?![" + body + "])";
        for (std::size_t i = 0; i + 1 < complements.size(); ++i) written += "(?=[" + complements[i] + "])";
        return written + "[" + complements.back() + "])";
    }
    if (!body.empty()) written += "[" + body + "]|";
    for (const std::string& complement : complements) written += "[^" + complement + "]|";
    written.back() = ')';
    return written;
}

// What holds inside a group: the flags perl's inline groups change, and
// whether the group is part of a lookbehind.
struct GroupState {
    bool extended = false;
    bool caseless = false;
    int asciiLevel = 0;
    bool inLookbehind = false;
    bool noCapture = false;  // n: a plain group does not capture
    // A branch reset (?|...): each alternative numbers its groups from
    // resetStart; after it the numbering goes on from the highest.
    bool branchReset = false;
    int resetStart = 0;
    int resetMost = 0;
};

// Perl's inline flags (?^aai-x) as read from a group's start.
struct InlineFlags {
    bool caret = false;
    std::string on;   // of imnsx, each once (x twice for xx)
    std::string off;  // of imnsx
    int asciiLevel = 0;
    bool unicodeRules = false;  // u or d: a switched off
};

class PerlPatternReader {
public:
    PerlPatternReader(const std::string& pattern, const PatternOptions& options, int groupCount)
        : pattern_(pattern), options_(options), groupCount_(groupCount) {
        GroupState outermost;
        outermost.extended = options.extended;
        outermost.caseless = options.caseless;
        outermost.asciiLevel = options.asciiLevel;
        outermost.noCapture = options.noAutoCapture;
        states_.push_back(outermost);
    }

    bool Translate(TranslatedPattern& translated, std::string& message) {
        while (at_ < pattern_.size() && message_.empty()) {
            const std::size_t written = out_.size();
            const std::size_t read = at_;
            Step();
            // A piece whose length changed: the pieces after it move.
            if (out_.size() - written != at_ - read) {
                marks_.emplace_back(written, read);
                marks_.emplace_back(out_.size(), at_);
            }
        }
        if (!message_.empty()) {
            message = message_;
            return false;
        }
        translated.text = std::move(out_);
        translated.marks = std::move(marks_);
        translated.hasNumberedCondition = hasNumberedCondition_;
        translated.aliases.assign(aliases_.begin(), aliases_.end());
        return true;
    }

private:
    char At(std::size_t offset) const { return at_ + offset < pattern_.size() ? pattern_[at_ + offset] : '\0'; }
    bool Has(std::size_t offset) const { return at_ + offset < pattern_.size(); }
    GroupState& State() { return states_.back(); }

    // Perl's rules for \w, \b and POSIX classes are Unicode's on UTF-8 and
    // Shift_JIS texts, and on bytes under a (read as Latin-1) where an
    // inline (?u) switched a off.
    bool UnicodeRules() const {
        return (options_.encoding != TextEncoding::Bytes || options_.asciiLevel > 0) && states_.back().asciiLevel == 0;
    }

    void Copy(std::size_t count) {
        count = std::min(count, pattern_.size() - at_);
        out_.append(pattern_, at_, count);
        at_ += count;
    }

    // Copies through the first `end` (included), or to the pattern's end.
    void CopyThrough(const char* end) {
        const std::size_t found = pattern_.find(end, at_);
        Copy(found == std::string::npos ? pattern_.size() - at_ : found - at_ + std::strlen(end));
    }

    void Step() {
        const char c = At(0);
        if (c == '\\') return Escape();
        if (c == '[') return CharacterClass();
        if (c == '(') return OpenGroup();
        if (c == ')') return CloseGroup();
        if (c == '|' && State().branchReset) {
            State().resetMost = std::max(State().resetMost, groupNumber_);
            groupNumber_ = State().resetStart;
        }
        if (c == '#' && State().extended) return CopyThrough("\n");
        if ((c == '^' || c == '$') && QuantifierFollows(1)) return QuantifiedAssertion(1);
        if (c == '{' && CountsOutOfOrder()) return;
        Copy(1);
    }

    void CloseGroup() {
        if (states_.size() > 1) {
            if (State().branchReset) groupNumber_ = std::max(State().resetMost, groupNumber_);
            states_.pop_back();
        }
        Copy(1);
    }

    // The offset after a quantifier {n}, {n,}, {n,m} or {,m} at `offset`,
    // with its two counts (max -1: no bound); 0 when there is none.
    std::size_t ReadCounts(std::size_t offset, long& min, long& max) const {
        if (!IsQuantifierAt(offset)) return 0;
        min = -1;
        max = -1;
        long* count = &min;
        std::size_t end = offset + 1;
        for (; At(end) != '}'; ++end) {
            if (At(end) == ',') count = &max;
            if (IsDigit(At(end))) *count = std::min((*count < 0 ? 0L : *count * 10) + (At(end) - '0'), 1000000L);
        }
        if (count == &min) max = min;
        if (min < 0) min = 0;
        return end + 1;
    }

    // Whether a quantifier starts at `offset`, after what perl skips.
    bool QuantifierFollows(std::size_t offset) const {
        const std::size_t at = SkipIgnored(offset);
        return At(at) == '*' || At(at) == '+' || At(at) == '?' || IsQuantifierAt(at);
    }

    // Perl takes a quantifier on an assertion of `length` characters, which
    // PCRE2 refuses; as a group PCRE2 takes it with the same meaning. \K
    // repeated without bound is an error for perl.
    void QuantifiedAssertion(std::size_t length) {
        const std::size_t at = SkipIgnored(length);
        long min = 0;
        long max = 1;
        if (At(at) == '*' || At(at) == '+' || (At(at) == '{' && ReadCounts(at, min, max) && max < 0)) {
            if (At(1) == 'K') {
                message_ = "\\K" + std::string(1, At(at)) + " is forbidden - matches null string many times";
                return;
            }
        }
        out_ += "(?:";
        if (length == 1 || !UnicodeRules() || !WordEscape(At(1))) Copy(length);
        out_ += ")";
    }

    // {n,m} with n > m: perl compiles the part and it never matches. The
    // repeated item stays, repeated no time, so that its groups keep their
    // numbers; a quantifier after it is refused as perl refuses it.
    bool CountsOutOfOrder() {
        long min = 0;
        long max = 0;
        const std::size_t end = ReadCounts(0, min, max);
        if (end == 0 || max < 0 || min <= max || out_.empty() || out_.back() == '(' || out_.back() == '|') {
            return false;
        }
        out_ += "{0}(*FAIL)";
        at_ += end;
        return true;
    }

    // The offset after (?#...) comments and, under x, blanks and comments
    // to the line end, starting at `offset`: what perl skips between an
    // escape and a brace that would belong to it.
    std::size_t SkipIgnored(std::size_t offset) const {
        for (;;) {
            if (pattern_.compare(at_ + std::min(offset, pattern_.size() - at_), 3, "(?#") == 0) {
                const std::size_t close = pattern_.find(')', at_ + offset);
                if (close == std::string::npos) return pattern_.size() - at_;
                offset = close + 1 - at_;
            } else if (states_.back().extended && Has(offset) && IsBlank(At(offset))) {
                ++offset;
            } else if (states_.back().extended && At(offset) == '#') {
                const std::size_t newline = pattern_.find('\n', at_ + offset);
                offset = newline == std::string::npos ? pattern_.size() - at_ : newline + 1 - at_;
            } else {
                return offset;
            }
        }
    }

    // {n}, {n,}, {n,m} or {,m} at `offset`: a quantifier, not a brace of \N.
    bool IsQuantifierAt(std::size_t offset) const {
        if (At(offset) != '{') return false;
        std::size_t end = offset + 1;
        bool digits = false;
        bool comma = false;
        for (; Has(end) && At(end) != '}'; ++end) {
            if (IsDigit(At(end))) {
                digits = true;
            } else if (At(end) == ',' && !comma) {
                comma = true;
            } else if (!IsBlank(At(end))) {
                return false;
            }
        }
        return Has(end) && digits;
    }

    void Escape() {
        const char escaped = At(1);
        if (escaped == 'Q') return CopyThrough("\\E");
        if ((escaped == 'b' || escaped == 'B') && At(2) == '{') return RefuseBoundary();
        if (escaped == 'N' && At(2) != '{') {
            const std::size_t next = SkipIgnored(2);
            if (At(next) == '{' && !IsQuantifierAt(next)) {
                message_ = "Missing braces on \\N{}";
                return;
            }
        }
        if (escaped == 'c' && !ControlEscapeIsValid()) return;
        if ((escaped == 'p' || escaped == 'P') && At(2) == '{') return Property();
        if (escaped != '\0' && std::strchr("bBAzZGK", escaped) != nullptr && QuantifierFollows(2)) {
            return QuantifiedAssertion(2);
        }
        if ((escaped == 'x' || escaped == 'o') && At(2) == '{' && BracedNumber()) return;
        if ((escaped == 'k' || escaped == 'g') && std::strchr("<'{", At(2)) != nullptr && At(2) != '\0' &&
            AliasedName(3)) {
            return;
        }
        if (UnicodeRules() && WordEscape(escaped)) return;
        Copy(2);
    }

    // \x{...} or \o{...} holding underscores, which perl skips where a
    // digit follows; the number ends at the first other character, and
    // blanks may stand around it. PCRE2 refuses the underscores.
    bool BracedNumber() {
        const std::size_t close = pattern_.find('}', at_);
        if (close == std::string::npos) return false;
        const std::string inside = pattern_.substr(at_ + 3, close - at_ - 3);
        if (inside.find('_') == std::string::npos) return false;
        const char* const digits = At(1) == 'x' ? "0123456789abcdefABCDEF" : "01234567";
        auto isDigit = [digits](char c) { return c != '\0' && std::strchr(digits, c) != nullptr; };
        std::size_t i = inside.find_first_not_of(" \t");
        std::string number;
        for (; i < inside.size(); ++i) {
            if (isDigit(inside[i])) {
                number += inside[i];
            } else if (inside[i] != '_' || i + 1 >= inside.size() || !isDigit(inside[i + 1])) {
                break;
            }
        }
        out_ += std::string("\\") + At(1) + "{" + (number.empty() ? "0" : number) + "}";
        at_ = close + 1;
        return true;
    }

    // \w, \W, \b and \B with perl's word characters.
    bool WordEscape(char escaped) {
        const std::string word = std::string("[") + kPerlWord + "]";
        switch (escaped) {
            case 'w': out_ += word; break;
            case 'W': out_ += std::string("[^") + kPerlWord + "]"; break;
            case 'b': out_ += "(?:(?<=" + word + ")(?!" + word + ")|(?<!" + word + ")(?=" + word + "))"; break;
            case 'B': out_ += "(?:(?<=" + word + ")(?=" + word + ")|(?<!" + word + ")(?!" + word + "))"; break;
            default: return false;
        }
        at_ += 2;
        return true;
    }

    // \p{L_} is perl's cased letter, PCRE2's \p{L&}; PCRE2 would drop the
    // underscore and read any letter.
    void Property() {
        const std::size_t close = pattern_.find('}', at_);
        if (close == std::string::npos) return Copy(2);
        std::string name = Lowered(pattern_.substr(at_ + 3, close - at_ - 3));
        const bool caret = !name.empty() && name[0] == '^';
        if (caret) name.erase(0, 1);
        if (name != "l_") return Copy(2);
        out_ += std::string("\\") + At(1) + "{" + (caret ? "^" : "") + "L&}";
        at_ = close + 1;
    }

    // \b{gcb}, \b{wb}, \b{sb} and \b{lb}: Unicode's text boundaries, which
    // PCRE2 would read as \b followed by a literal "{gcb}".
    void RefuseBoundary() {
        const std::size_t close = pattern_.find('}', at_);
        const std::size_t end = close == std::string::npos ? pattern_.size() : close + 1;
        message_ = pattern_.substr(at_, end - at_) + " is not supported";
    }

    bool ControlEscapeIsValid() {
        const auto next = static_cast<unsigned char>(At(2));
        if (!Has(2) || next < ' ' || next > '~') {
            message_ = "Character following \"\\c\" must be printable ASCII";
        } else if (next == '{') {
            message_ = "Use \";\" instead of \"\\c{\"";
        }
        return message_.empty();
    }

    // A bracketed class, whose parts are read apart from the pattern's: a
    // '(' or '#' there is a literal. Its items are written to a body of
    // their own, as a \W there becomes a complement outside it.
    void CharacterClass() {
        ++at_;
        const bool negated = At(0) == '^';
        if (negated) ++at_;
        std::string outer;
        outer.swap(out_);
        std::vector<std::string> complements;
        afterClassSet_ = false;
        if (At(0) == ']') Copy(1);
        while (Has(0) && At(0) != ']' && message_.empty()) ClassItem(complements);
        const bool closed = Has(0);
        if (closed) ++at_;
        std::string body;
        body.swap(out_);
        out_.swap(outer);
        if (complements.empty() || !closed) {
            out_ += std::string(negated ? "[^" : "[") + body + (closed ? "]" : "");
        } else {
            out_ += ClassWithComplements(body, negated, complements);
        }
    }

    // Whether a class escape or a POSIX class, which cannot end a range,
    // starts at `offset`.
    bool ClassSetAt(std::size_t offset) const {
        if (At(offset) == '[' && At(offset + 1) == ':') return true;
        return At(offset) == '\\' && At(offset + 1) != '\0' && std::strchr("dDsSwWhHvVpP", At(offset + 1)) != nullptr;
    }

    // A '-' beside a class escape, as in [a-\d] or [\w-z], is a literal for
    // perl (with a warning); PCRE2 refuses the range.
    void ClassItem(std::vector<std::string>& complements) {
        const bool afterSet = afterClassSet_;
        afterClassSet_ = ClassSetAt(0);
        if (At(0) == '-' && At(1) != ']' && (afterSet || ClassSetAt(1))) {
            out_ += "\\-";
            ++at_;
            return;
        }
        const char escaped = At(0) == '\\' ? At(1) : '\0';
        if (escaped == 'Q') return CopyThrough("\\E");
        if ((escaped == 'p' || escaped == 'P') && At(2) == '{') return Property();
        if ((escaped == 'w' || escaped == 'W') && UnicodeRules()) {
            at_ += 2;
            if (escaped == 'W') return complements.push_back(kPerlWord);
            out_ += kPerlWord;
            return;
        }
        if (escaped == 'c' && !ControlEscapeIsValid()) return;
        if ((escaped == 'x' || escaped == 'o') && At(2) == '{' && BracedNumber()) return;
        if (escaped != '\0') return Copy(2);
        if (At(0) == '[' && (At(1) == ':' || At(1) == '.' || At(1) == '=')) return PosixClass(complements);
        Copy(1);
    }

    // [:alpha:], [:alnum:], [:lower:], [:upper:] and [:word:] as perl has
    // them under Unicode's rules: PCRE2 reads lower as Ll, upper as Lu and
    // alpha as L, and under i does not fold them (perl's lower and upper
    // then both match every cased character).
    void PosixClass(std::vector<std::string>& complements) {
        const std::size_t close = pattern_.find(std::string(1, At(1)) + "]", at_ + 2);
        if (close == std::string::npos) return Copy(1);
        std::string name = pattern_.substr(at_ + 2, close - at_ - 2);
        const bool negated = !name.empty() && name[0] == '^';
        if (negated) name.erase(0, 1);
        const bool caseless = State().caseless;
        std::string property;
        if (name == "alpha") property = "Alphabetic";
        if (name == "lower") property = caseless ? "Cased" : "Lowercase";
        if (name == "upper") property = caseless ? "Cased" : "Uppercase";
        std::string set;
        if (name == "alnum") set = "\\p{Alphabetic}\\p{Nd}";
        if (name == "word") set = kPerlWord;
        if (At(1) != ':' || !UnicodeRules() || (property.empty() && set.empty())) return Copy(close + 2 - at_);
        at_ = close + 2;
        if (!property.empty()) {
            out_ += std::string(negated ? "\\P{" : "\\p{") + property + "}";
        } else if (negated) {
            complements.push_back(set);
        } else {
            out_ += set;
        }
    }

    void OpenGroup() {
        if (At(1) == '?' && At(2) == '#') return CopyThrough(")");
        if (At(1) == '*') return Verb();
        GroupState inner = State();
        inner.branchReset = false;
        if (At(1) == '?' && At(2) == '<' && (At(3) == '=' || At(3) == '!')) inner.inLookbehind = true;
        if (At(1) == '?' && InlineFlagsFollow()) return FlagGroup(inner);
        states_.push_back(inner);
        if (At(1) != '?') {
            if (!State().noCapture) ++groupNumber_;
            return Copy(1);
        }
        if (At(2) == '(' && IsDigit(At(3))) return NumberedCondition();
        if (At(2) == '|') {
            State().branchReset = true;
            State().resetStart = groupNumber_;
            State().resetMost = groupNumber_;
            return Copy(3);
        }
        if (At(2) == '<' && IsNameStart(At(3))) return NamedGroup(3, '>');
        if (At(2) == '\'' && IsNameStart(At(3))) return NamedGroup(3, '\'');
        if (At(2) == 'P' && At(3) == '<') return NamedGroup(4, '>');
        if (GroupReference()) return;
        Copy(1);
    }

    // (?P=name), (?&name), (?P>name) and the conditions (?(<name>)...),
    // (?('name')...) and (?(name)...) on a name that stands for another.
    bool GroupReference() {
        if ((At(2) == 'P' && (At(3) == '=' || At(3) == '>')) || (At(2) == '(' && (At(3) == '<' || At(3) == '\''))) {
            return AliasedName(4);
        }
        return (At(2) == '&' || At(2) == '(') && AliasedName(3);
    }

    // The name at `offset`, when it stands for a group named before it,
    // is written as that group's name.
    bool AliasedName(std::size_t offset) {
        std::size_t end = offset;
        while (IsNameStart(At(end)) || IsDigit(At(end))) ++end;
        const std::string name = pattern_.substr(at_ + offset, end - offset);
        const auto alias = aliases_.find(name);
        if (alias == aliases_.end()) referenced_.insert(name);
        if (end == offset || alias == aliases_.end()) return false;
        Copy(offset);
        out_ += alias->second;
        at_ += end - offset;
        return true;
    }

    // A named group. Under (?|...) perl lets alternatives give one group
    // number different names, which all stand for it; PCRE2 refuses them,
    // so the group keeps its first name and the others become aliases.
    void NamedGroup(std::size_t offset, char close) {
        std::size_t end = offset;
        while (IsNameStart(At(end)) || IsDigit(At(end))) ++end;
        if (At(end) != close) return Copy(1);
        const std::string name = pattern_.substr(at_ + offset, end - offset);
        const int number = ++groupNumber_;
        const std::string& first = firstNames_.emplace(number, name).first->second;
        const auto known = numbers_.emplace(name, number);
        const bool aliased = first != name;
        if (!known.second && known.first->second != number && (aliased || aliases_.count(name) != 0)) {
            message_ = "(?|...) name for two group numbers is not supported: " + name;
            return;
        }
        if (!aliased) return Copy(end + 1);
        // A reference read before the name became an alias went to PCRE2
        // under a name it does not know.
        if (referenced_.count(name) != 0) {
            message_ = "reference before its (?|...) alias is not supported: " + name;
            return;
        }
        aliases_[name] = first;
        Copy(offset);
        out_ += first;
        at_ += end - offset;
    }

    // (?(N)...): for perl a group N the pattern lacks makes the condition
    // false; PCRE2 refuses it. The always false (?!) stands for it.
    void NumberedCondition() {
        std::size_t end = 3;
        long number = 0;
        for (; IsDigit(At(end)); ++end) number = std::min(number * 10 + (At(end) - '0'), 1000000L);
        if (At(end) != ')') return Copy(1);
        hasNumberedCondition_ = true;
        if (groupCount_ < 0 || number <= groupCount_) return Copy(end + 1);
        out_ += "(?(?!)";
        at_ += end + 1;
    }

    // (*VERB...) or an alpha assertion such as (*plb:...), which is a group.
    void Verb() {
        std::size_t end = 2;
        while (Has(end) && At(end) != ':' && At(end) != ')') ++end;
        const std::string name = pattern_.substr(at_ + 2, end - 2);
        const bool assertion = !name.empty() && name[0] >= 'a' && name[0] <= 'z';
        if (!assertion) {
            if (name == "ACCEPT" && State().inLookbehind) {
                message_ = "(*ACCEPT) inside a lookbehind is not supported";
                return;
            }
            return CopyThrough(")");
        }
        static const char* const kLookbehinds[] = {"plb", "positive_lookbehind", "nlb", "negative_lookbehind",
                                                   "naplb", "non_atomic_positive_lookbehind"};
        GroupState inner = State();
        inner.branchReset = false;
        for (const char* lookbehind : kLookbehinds) inner.inLookbehind = inner.inLookbehind || name == lookbehind;
        states_.push_back(inner);
        Copy(end + 1);
    }

    // Whether (? starts perl's inline flags: letters of its own up to ':'
    // or ')'.
    bool InlineFlagsFollow() const {
        std::size_t end = 2;
        while (Has(end) && std::strchr("^-imnsxpadlu", At(end)) != nullptr) ++end;
        return end > 2 && (At(end) == ':' || At(end) == ')');
    }

    bool ReadInlineFlags(std::size_t& end, InlineFlags& flags) {
        end = 2;
        flags.caret = At(end) == '^';
        if (flags.caret) ++end;
        bool negated = false;
        std::string charsets;
        for (; At(end) != ':' && At(end) != ')'; ++end) {
            const char letter = At(end);
            if (letter == '-' && !negated && !flags.caret) {
                negated = true;
            } else if (std::strchr("imnsx", letter) != nullptr) {
                (negated ? flags.off : flags.on) += letter;
            } else if (letter == 'p' && !negated) {
                // p keeps the match's text for ${^MATCH}: nothing to do.
            } else if (std::strchr("adlu", letter) != nullptr && !negated) {
                if (charsets.find(letter) == std::string::npos) charsets += letter;
                if (letter == 'a') ++flags.asciiLevel;
            } else {
                message_ = "Regexp modifier \"" + std::string(1, letter) + "\" is not allowed here in (?" +
                           pattern_.substr(at_ + 2, end - 1);
                return false;
            }
        }
        return CheckCharsets(charsets, flags);
    }

    // One of a, aa, d, u (l is refused: rules by locale are not run).
    bool CheckCharsets(const std::string& charsets, InlineFlags& flags) {
        if (charsets.size() > 1) {
            message_ = "Regexp modifiers \"" + charsets.substr(0, 1) + "\" and \"" + charsets.substr(1, 1) +
                       "\" are mutually exclusive";
        } else if (flags.asciiLevel > 2) {
            message_ = "Regexp modifier \"a\" may appear a maximum of twice";
        } else if (charsets == "l") {
            message_ = "inline flag (?l) is not supported";
        } else if (charsets == "u" && options_.encoding == TextEncoding::Bytes && options_.asciiLevel == 0) {
            // Unicode's rules on bytes would need PCRE2's UCP for the whole
            // pattern, which changes what \w means outside the group too.
            message_ = "inline flag (?u) is not supported without flag u or a";
        }
        flags.unicodeRules = charsets == "u" || charsets == "d";
        return message_.empty();
    }

    // Perl's flags in PCRE2's letters: aa is a with r (the caseless
    // restriction); u, d and ^ switch a and r off; p is dropped. A caret
    // becomes the flags it clears, since PCRE2's ^ keeps a.
    static std::string Pcre2Flags(const InlineFlags& flags) {
        std::string on = flags.on;
        std::string off = flags.off;
        if (flags.asciiLevel > 0) on += 'a';
        if (flags.asciiLevel > 1) on += 'r';
        if (flags.caret) {
            for (const char letter : std::string("imnsx")) {
                if (on.find(letter) == std::string::npos) off += letter;
            }
        }
        if (flags.unicodeRules || (flags.caret && flags.asciiLevel == 0)) off += "ar";
        if (flags.asciiLevel == 1) off += 'r';
        return off.empty() ? on : on + "-" + off;
    }

    void FlagGroup(GroupState inner) {
        std::size_t end = 0;
        InlineFlags flags;
        if (!ReadInlineFlags(end, flags)) return;
        if (flags.caret) {
            inner.extended = false;
            inner.caseless = false;
            inner.asciiLevel = 0;
        }
        if (flags.on.find('x') != std::string::npos) inner.extended = true;
        if (flags.off.find('x') != std::string::npos) inner.extended = false;
        if (flags.on.find('i') != std::string::npos) inner.caseless = true;
        if (flags.off.find('i') != std::string::npos) inner.caseless = false;
        if (flags.asciiLevel > 0) inner.asciiLevel = flags.asciiLevel;
        if (flags.unicodeRules) inner.asciiLevel = 0;
        if (flags.caret) inner.noCapture = false;
        if (flags.on.find('n') != std::string::npos) inner.noCapture = true;
        if (flags.off.find('n') != std::string::npos) inner.noCapture = false;
        // Perl's a on bytes is Unicode's rules, which fold Latin-1 letters
        // under i ((?ai)\xC9 matches \xE9); without flag a PCRE2 reads bytes
        // without them.
        if (options_.encoding == TextEncoding::Bytes && options_.asciiLevel == 0 && inner.asciiLevel > 0 &&
            inner.caseless) {
            message_ = "inline flag (?a) under i is not supported without flag u or a";
            return;
        }
        const bool opensGroup = At(end) == ':';
        out_ += "(?" + Pcre2Flags(flags) + At(end);
        at_ += end + 1;
        if (opensGroup) {
            states_.push_back(inner);
        } else {
            // (?i) lasts to the end of the group around it.
            inner.inLookbehind = State().inLookbehind;
            inner.branchReset = State().branchReset;
            inner.resetStart = State().resetStart;
            inner.resetMost = State().resetMost;
            State() = inner;
        }
    }

    const std::string& pattern_;
    const PatternOptions& options_;
    const int groupCount_;  // the pattern's groups, or -1 when not known
    bool hasNumberedCondition_ = false;
    int groupNumber_ = 0;                     // the last group's number
    std::map<int, std::string> firstNames_;   // a group number's first name
    std::map<std::string, int> numbers_;      // a name's first group number
    std::map<std::string, std::string> aliases_;  // name -> the group's first name
    std::set<std::string> referenced_;            // names referenced so far
    std::size_t at_ = 0;
    bool afterClassSet_ = false;  // the class item just read is a set
    std::string out_;
    std::string message_;
    std::vector<GroupState> states_;
    std::vector<std::pair<std::size_t, std::size_t>> marks_;
};

}  // namespace

std::size_t TranslatedPattern::OriginalOffset(std::size_t offset) const {
    std::pair<std::size_t, std::size_t> base{0, 0};
    for (std::size_t i = 0; i < marks.size() && marks[i].first <= offset; ++i) {
        // Inside a rewritten piece (an odd mark follows) its start is meant.
        base = marks[i];
        if (i % 2 == 0 && i + 1 < marks.size() && offset < marks[i + 1].first) return base.second;
    }
    return base.second + (offset - base.first);
}

bool TranslatePerlPattern(const std::string& pattern, const PatternOptions& options, TranslatedPattern& translated,
                          std::string& message, int groupCount) {
    return PerlPatternReader(pattern, options, groupCount).Translate(translated, message);
}

}  // namespace regexlib
