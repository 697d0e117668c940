// Cutting operator texts into kind, parts and flags, and the parse errors.
#include <gtest/gtest.h>

#include <string>

#include "perl/operator_text.h"

namespace regexlib {
namespace {

const char* KindName(OperatorKind kind) {
    switch (kind) {
        case OperatorKind::Match: return "m";
        case OperatorKind::Substitute: return "s";
        case OperatorKind::Translate: return "tr";
    }
    return "?";
}

// The parse as one line: kind, parts and the flags that were set.
std::string Describe(const ParsedOperator& parsed) {
    const OperatorFlags& f = parsed.flags;
    std::string flags;
    if (f.global) flags += 'g';
    if (f.caseless) flags += 'i';
    if (f.multiline) flags += 'm';
    if (f.dotAll) flags += 's';
    if (f.extended) flags += 'x';
    if (f.extendedMore) flags += 'x';
    if (f.noAutoCapture) flags += 'n';
    flags += std::string(static_cast<std::size_t>(f.asciiLevel), 'a');
    if (f.complement) flags += 'c';
    if (f.deleteUnmatched) flags += 'd';
    if (f.squeeze) flags += 'S';
    if (f.encoding == TextEncoding::ShiftJis) flags += 'k';
    if (f.encoding == TextEncoding::Utf8) flags += 'u';
    const char* quoting = parsed.singleQuoted ? "'" : "|";
    return std::string(KindName(parsed.kind)) + "|" + parsed.pattern + quoting + parsed.replacement + "|" + flags;
}

::testing::AssertionResult ParsesAs(const std::string& text, const std::string& expected) {
    ParsedOperator parsed;
    std::string message;
    if (!ParseOperator(text.c_str(), parsed, message)) {
        return ::testing::AssertionFailure() << text << " failed: " << message;
    }
    if (Describe(parsed) != expected) {
        return ::testing::AssertionFailure() << text << " gave " << Describe(parsed) << ", expected " << expected;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult FailsWith(const std::string& text, const std::string& expected) {
    ParsedOperator parsed;
    std::string message;
    if (ParseOperator(text.c_str(), parsed, message)) {
        return ::testing::AssertionFailure() << text << " parsed as " << Describe(parsed);
    }
    if (message.find(expected) == std::string::npos) {
        return ::testing::AssertionFailure() << text << " said \"" << message << "\", expected \"" << expected << "\"";
    }
    return ::testing::AssertionSuccess();
}

TEST(OperatorText, ParsesOperators) {
    const struct {
        std::string text;
        std::string expected;
    } rows[] = {
        {"/abc/", "m|abc||"},
        {"m/abc/imsx", "m|abc||imsx"},
        {"m/[a b]/xxi", "m|[a b]||ixx"},
        {"m!a/b!", "m|a/b||"},
        {"m{a{2}}", "m|a{2}||"},
        {"m(a(b)c)g", "m|a(b)c||g"},
        {"m<a<b>>", "m|a<b>||"},
        {"m[[ab]]", "m|[ab]||"},
        // Perl drops the backslash before a delimiter, so it keeps its
        // meaning in the part; before a bracketing delimiter it stays.
        {"/a\\/b/", "m|a/b||"},
        {"m|a\\|b|", "m|a|b||"},
        {"m.a\\.b.", "m|a.b||"},
        {"m{a\\}}", "m|a\\}||"},
        {"m{a\\{2\\}}", "m|a\\{2\\}||"},
        {"m/a\\\\/", "m|a\\\\||"},
        {"tr-a\\-c-x-", "tr|a-c|x|"},
        {"s$a$\\$1$", "s|a|$1|"},
        {"s'(a)'\\'$1'", "s|(a)''$1|"},
        {"m||", "m|||"},
        {"s/a/b/g", "s|a|b|g"},
        {"s{a}{b}i", "s|a|b|i"},
        {"s{a} {b}", "s|a|b|"},
        {"s(a)/b/", "s|a|b|"},
        {"s/a\\/b/c\\/d/", "s|a/b|c/d|"},
        {"s/a//", "s|a||"},
        {"tr/a-z/A-Z/", "tr|a-z|A-Z|"},
        {"y/abc/x/cds", "tr|abc|x|cdS"},
        {"tr{a}{b}", "tr|a|b|"},
        {"m/x/k", "m|x||k"},
        {"s/x/y/gu", "s|x|y|gu"},
        // r and o change nothing here; n and a reach the pattern.
        {"m/a/onaa", "m|a||naa"},
        {"s/a/b/rgoa", "s|a|b|ga"},
        {"tr/a/b/rc", "tr|a|b|c"},
        // In Shift_JIS the second byte 0x5C of U+30BD is no escape and 0x7C
        // of U+30FC no delimiter, so both stay inside their part.
        {"m|\x83\x5C|k", "m|\x83\x5C||k"},
        {"s|\x81\x5B|x|k", "s|\x81\x5B|x|k"},
        {"m/\x83\x5C/k", "m|\x83\x5C||k"},
    };
    for (const auto& row : rows) EXPECT_TRUE(ParsesAs(row.text, row.expected));
}

TEST(OperatorText, RejectsBadOperators) {
    const struct {
        std::string text;
        std::string message;
    } rows[] = {
        {"", "unknown operator"},
        {"abc", "unknown operator"},
        {"q/a/", "unknown operator"},
        {"m", "missing delimiter"},
        {"ma/", "invalid delimiter"},
        // Known difference: perl allows white space before the delimiter
        // (m {a}); here the delimiter must follow the operator at once.
        {"m a ", "invalid delimiter"},
        {"/abc", "missing closing delimiter"},
        {"m{a{b}", "missing closing delimiter"},
        {"s/a", "missing closing delimiter"},
        {"s/a/b", "second part"},
        {"s{a}", "missing delimiter before the second part"},
        {"tr/a/", "second part"},
        {"/a/q", "unknown flag 'q'"},
        {"/a/e", "unknown flag 'e'"},
        {"s/a/b/e", "flag e is not supported"},
        {"s/a/b/gee", "flag e is not supported"},
        {"m/a/r", "unknown flag 'r'"},
        {"tr/a/b/o", "unknown flag 'o'"},
        {"tr/a/b/n", "unknown flag 'n'"},
        {"m/a/aaa", "flag a may appear at most twice"},
        {"/a/c", "unknown flag 'c'"},
        {"tr/a/b/g", "unknown flag 'g'"},
        {"tr/a/b/i", "unknown flag 'i'"},
        {"/a/ku", "exclude each other"},
        {"/a/ i", "unknown flag ' '"},
        // Without k the 0x5C after 0x83 escapes the delimiter.
        {"m/\x83\x5C/", "missing closing delimiter"},
    };
    for (const auto& row : rows) EXPECT_TRUE(FailsWith(row.text, row.message));
}

}  // namespace
}  // namespace regexlib
