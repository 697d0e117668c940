// The six entry points as the module calls them: result codes, the record's
// words, record reuse, and every failure path (its message, no record left).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

enum class Entry { Match, Subst, Trans, Split };

// A message buffer filled with junk first, as the module never clears it.
struct MessageBuffer {
    MessageBuffer() { std::memset(text, 'Z', sizeof text); }
    bool Terminated() const { return std::memchr(text, '\0', sizeof text) != nullptr; }
    char text[kMessageBufferSize];
};

int Call(Entry entry, const char* pattern, const std::string& subject, bregexp** record, char* message,
         int limit = 0) {
    const char* start = subject.data();
    const char* end = start + subject.size();
    switch (entry) {
        case Entry::Match: return BMatch(pattern, start, end, record, message);
        case Entry::Subst: return BSubst(pattern, start, end, record, message);
        case Entry::Trans: return BTrans(pattern, start, end, record, message);
        case Entry::Split: return BSplit(pattern, start, end, limit, record, message);
    }
    return 0;
}

const char* EntryName(Entry entry) {
    switch (entry) {
        case Entry::Match: return "BMatch";
        case Entry::Subst: return "BSubst";
        case Entry::Trans: return "BTrans";
        case Entry::Split: return "BSplit";
    }
    return "?";
}

// A failing call: negative code, a message containing `expected`, at most 79
// bytes and terminated, and no record left behind.
::testing::AssertionResult FailsCleanly(Entry entry, const char* pattern, const std::string& subject,
                                        const char* expected) {
    MessageBuffer message;
    bregexp* record = nullptr;
    const int rc = Call(entry, pattern, subject, &record, message.text);
    const std::string where = std::string(EntryName(entry)) + "(" + (pattern ? pattern : "null") + ")";
    if (record != nullptr) {
        BRegfree(record);
        return ::testing::AssertionFailure() << where << " left a record";
    }
    if (!message.Terminated()) return ::testing::AssertionFailure() << where << " left an unterminated message";
    if (rc >= 0) return ::testing::AssertionFailure() << where << " answered " << rc;
    if (std::strstr(message.text, expected) == nullptr) {
        return ::testing::AssertionFailure() << where << " said \"" << message.text << "\", expected \"" << expected << "\"";
    }
    return ::testing::AssertionSuccess();
}

TEST(EntryPoints, EveryFailureHasItsMessageAndLeavesNoRecord) {
    const struct {
        Entry entry;
        const char* pattern;
        std::string subject;
        const char* message;
    } rows[] = {
        {Entry::Match, nullptr, "a", "no pattern and no compiled record"},
        {Entry::Subst, nullptr, "a", "no pattern and no compiled record"},
        {Entry::Trans, nullptr, "a", "no pattern and no compiled record"},
        {Entry::Split, nullptr, "a", "no pattern and no compiled record"},
        {Entry::Match, "", "a", "unknown operator"},
        {Entry::Match, "q/a/", "a", "unknown operator"},
        {Entry::Match, "m", "a", "missing delimiter"},
        {Entry::Match, "/a", "a", "missing closing delimiter"},
        {Entry::Subst, "s/a/b", "a", "missing closing delimiter"},
        {Entry::Match, "/a/z", "a", "unknown flag 'z'"},
        {Entry::Trans, "tr/a/b/g", "a", "unknown flag 'g'"},
        {Entry::Match, "/a(/", "a", "missing closing parenthesis"},
        {Entry::Match, "/a(/k", "a", "missing closing parenthesis"},
        {Entry::Split, "/[z-a]/", "a", "range out of order"},
        {Entry::Subst, "s/*/x/", "a", "quantifier does not follow"},
        {Entry::Trans, "tr/z-a/x/", "a", "invalid range"},
        {Entry::Subst, "/a/", "a", "not a substitution"},
        {Entry::Subst, "tr/a/b/", "a", "not a substitution"},
        {Entry::Trans, "s/a/b/", "a", "not a translation"},
        {Entry::Trans, "/a/", "a", "not a translation"},
        {Entry::Match, "tr/a/b/", "a", "a translation cannot match or split"},
        {Entry::Split, "y/a/b/", "a", "a translation cannot match or split"},
        {Entry::Match, "/a/u", "\xFF", "invalid UTF-8 in the subject"},
        {Entry::Match, "/^(a|aa)+(?<!b)$/", std::string(40, 'a') + "!", "match limit"},
        {Entry::Match, "/^(a|aa)+(?<!b)$/k", std::string(40, 'a') + "!", "match limit"},
        {Entry::Subst, "s/a/b/e", "a", "flag e is not supported"},
        // Perl refuses a case escape that \E, \L or \U ends before any text.
        {Entry::Subst, "s/a/\\U\\La/", "a", "a case escape"},
        {Entry::Subst, "s/a/x\\U\\U\\E\\E/", "a", "a case escape"},
    };
    for (const auto& row : rows) EXPECT_TRUE(FailsCleanly(row.entry, row.pattern, row.subject, row.message));
}

TEST(EntryPoints, RejectsMissingSubjectAndRecordSlot) {
    MessageBuffer message;
    bregexp* record = nullptr;
    const char subject[] = "abc";
    EXPECT_LT(BMatch("/a/", nullptr, nullptr, &record, message.text), 0);
    EXPECT_STREQ(message.text, "no subject text");
    EXPECT_EQ(record, nullptr);
    EXPECT_LT(BSubst("s/a/b/", subject + 2, subject, &record, message.text), 0);
    EXPECT_STREQ(message.text, "no subject text");
    EXPECT_EQ(record, nullptr);
    EXPECT_LT(BSplit("/a/", subject, subject + 3, 0, nullptr, message.text), 0);
    EXPECT_STREQ(message.text, "no place for the record");
}

// A record of the wrong kind fails with a message and stays the caller's.
TEST(EntryPoints, WrongKindOfRecordFailsAndSurvives) {
    MessageBuffer message;
    const std::string subject = "abc";
    bregexp* translation = nullptr;
    ASSERT_GE(Call(Entry::Trans, "tr/a/b/", subject, &translation, message.text), 0) << message.text;
    bregexp* kept = translation;
    EXPECT_LT(Call(Entry::Match, nullptr, subject, &translation, message.text), 0);
    EXPECT_STREQ(message.text, "a translation cannot match or split");
    EXPECT_LT(Call(Entry::Subst, nullptr, subject, &translation, message.text), 0);
    EXPECT_STREQ(message.text, "not a substitution (expected s///)");
    EXPECT_EQ(translation, kept);
    EXPECT_EQ(Call(Entry::Trans, nullptr, subject, &translation, message.text), 1);
    EXPECT_STREQ(translation->outputText, "bbc");
    BRegfree(translation);
}

TEST(EntryPoints, MatchPointsIntoTheCallersSubject) {
    MessageBuffer message;
    const std::string subject = "xx-ab-";
    bregexp* record = nullptr;
    ASSERT_EQ(Call(Entry::Match, "/(a)(z)?(b)/", subject, &record, message.text), 1);
    EXPECT_STREQ(message.text, "");
    ASSERT_EQ(record->groupCount, 3);
    EXPECT_EQ(record->groupStarts[0], subject.data() + 3);
    EXPECT_EQ(record->groupEnds[0], subject.data() + 5);
    EXPECT_EQ(record->groupStarts[1], subject.data() + 3);
    EXPECT_EQ(record->groupStarts[2], nullptr);
    EXPECT_EQ(record->groupEnds[2], nullptr);
    EXPECT_EQ(record->groupEnds[3], subject.data() + 5);
    // Reused with a null pattern, on another subject; no match answers 0.
    const std::string other = "ab";
    ASSERT_EQ(Call(Entry::Match, nullptr, other, &record, message.text), 1);
    EXPECT_EQ(record->groupStarts[0], other.data());
    EXPECT_EQ(Call(Entry::Match, nullptr, "zzz", &record, message.text), 0);
    EXPECT_STREQ(message.text, "");
    BRegfree(record);
}

// A record reused without a pattern text answers as a first call does: no
// match leaves every group word null, a failure leaves its message.
TEST(EntryPoints, ReusedMatchRecordAnswersAsAFirstCall) {
    MessageBuffer message;
    bregexp* record = nullptr;
    ASSERT_EQ(Call(Entry::Match, "/^(a|aa)+(?<!b)$|(z)/", "z", &record, message.text), 1);
    EXPECT_EQ(Call(Entry::Match, nullptr, "q", &record, message.text), 0);
    EXPECT_STREQ(message.text, "");
    for (std::intptr_t group = 0; group <= record->groupCount; ++group) {
        EXPECT_EQ(record->groupStarts[group], nullptr);
        EXPECT_EQ(record->groupEnds[group], nullptr);
    }
    EXPECT_EQ(Call(Entry::Match, nullptr, std::string(40, 'a') + "!", &record, message.text), -1);
    EXPECT_NE(std::strstr(message.text, "match limit"), nullptr) << message.text;
    BRegfree(record);
    bregexp* utf8 = nullptr;
    ASSERT_EQ(Call(Entry::Match, "/a/u", "a", &utf8, message.text), 1);
    EXPECT_EQ(Call(Entry::Match, nullptr, "ab\xFF", &utf8, message.text), -1);
    EXPECT_STREQ(message.text, "invalid UTF-8 in the subject at byte 2");
    BRegfree(utf8);
}

TEST(EntryPoints, ReusesRecordsAcrossEntryPoints) {
    MessageBuffer message;
    const std::string subject = "a,b,c";
    bregexp* record = nullptr;
    ASSERT_EQ(Call(Entry::Subst, "s/,/;/g", subject, &record, message.text), 2);
    EXPECT_STREQ(record->outputText, "a;b;c");
    EXPECT_EQ(record->outputEnd, record->outputText + 5);
    bregexp* first = record;
    // The same text with the caller's record reuses it.
    ASSERT_EQ(Call(Entry::Subst, "s/,/;/g", subject, &record, message.text), 2);
    EXPECT_EQ(record, first);
    // A substitution's pattern can also match and split.
    EXPECT_EQ(Call(Entry::Match, nullptr, subject, &record, message.text), 1);
    EXPECT_EQ(record->groupStarts[0], subject.data() + 1);
    ASSERT_EQ(Call(Entry::Split, nullptr, subject, &record, message.text, 2), 2);
    EXPECT_EQ(record->splitPairs[0], subject.data());
    EXPECT_EQ(record->splitPairs[2], subject.data() + 2);
    EXPECT_EQ(record->splitPairs[3], subject.data() + 5);
    // Nothing substituted answers 0 and still leaves the subject as output.
    EXPECT_EQ(Call(Entry::Subst, nullptr, "abc", &record, message.text), 0);
    EXPECT_STREQ(record->outputText, "abc");
    EXPECT_STREQ(message.text, "");
    // Another text compiles a new record and leaves the old one to the caller.
    ASSERT_EQ(Call(Entry::Subst, "s/a/A/", subject, &record, message.text), 1);
    EXPECT_NE(record, first);
    EXPECT_STREQ(record->outputText, "A,b,c");
    BRegfree(record);
    BRegfree(first);
}

// The memchr split of a one-byte separator answers what the engine's would.
TEST(EntryPoints, LiteralByteSplitMatchesTheEngineSplit) {
    const char* subjects[] = {"", ",", ",,", "a,b,,c,,", ",a", "abc", "a,,b"};
    for (const char* subject : subjects) {
        for (int limit : {-1, 0, 1, 2, 3, 5}) {
            EXPECT_EQ(DescribeBSplit("m/,/", subject, limit), DescribeBSplit("m/,|\\A\\z(?!)/", subject, limit))
                << "\"" << subject << "\" limit " << limit;
        }
    }
    EXPECT_EQ(DescribeBSplit("m/\\|/", "a|b", 0), "2|a|b");
    EXPECT_EQ(DescribeBSplit("m/a/i", "xAyaz", 0), "3|x|y|z");
    EXPECT_EQ(DescribeBSplit("m/\xC9/ia", "x\xE9y\xC9z", 0), "3|x|y|z");
    EXPECT_EQ(DescribeBSplit("m/^/", "a\nb\n", 0), "2|a\n|b\n");
}

TEST(EntryPoints, SurvivesEveryByteAndLargeSubjects) {
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte) everyByte.push_back(static_cast<char>(byte));
    everyByte.push_back('\0');
    EXPECT_EQ(DescribeBSubst("s/./x/gs", everyByte), "256:" + std::string(256, 'x'));
    // Every byte as a pattern, in every mode: an answer or a clean failure.
    for (int byte = 1; byte < 256; ++byte) {
        for (const char* flags : {"", "k", "u"}) {
            const std::string pattern = "m/" + std::string(1, static_cast<char>(byte)) + "/" + flags;
            MessageBuffer message;
            bregexp* record = nullptr;
            const int rc = Call(Entry::Match, pattern.c_str(), everyByte, &record, message.text);
            EXPECT_TRUE(message.Terminated()) << byte << flags;
            EXPECT_EQ(rc < 0, record == nullptr) << byte << flags << ": " << message.text;
            if (record != nullptr) BRegfree(record);
        }
    }
    const std::string large(6 * 1024 * 1024, 'a');
    EXPECT_EQ(DescribeBSubst("s/aa/b/g", large), "3145728:" + std::string(3 * 1024 * 1024, 'b'));
    EXPECT_EQ(DescribeBTrans("tr/a/b/", large), "6291456:" + std::string(large.size(), 'b'));
}

// The module hands an output on as a zero-terminated text, which its host
// reads up to the first NUL: an output that would hold one fails whole,
// wherever the NUL comes from. A NUL taken out, or named in a pattern, is fine.
TEST(EntryPoints, RefusesAnOutputHoldingANulByte) {
    const std::string withNul("a\0b", 3);
    const struct {
        Entry entry;
        const char* pattern;
        std::string subject;
    } rows[] = {
        {Entry::Subst, "s/b/\\0/g", "abcabc"}, {Entry::Subst, "s/b/\\x00/", "abc"},
        {Entry::Subst, "s/a/x/", withNul},     {Entry::Subst, "s/z/y/", withNul},
        {Entry::Trans, "tr/b/\\000/", "abc"},  {Entry::Trans, "tr/a-z/A-Z/", withNul},
        {Entry::Trans, "tr/a//d", withNul},    {Entry::Trans, "tr/a/\\0/u", "a"},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(FailsCleanly(row.entry, row.pattern, row.subject, "would hold a NUL byte"));
    }
    EXPECT_EQ(DescribeBSubst("s/\\0/-/g", withNul), "1:a-b");
    EXPECT_EQ(DescribeBTrans("tr/\\0//d", withNul), "1:ab");
}

// Refused on the caller's record, the output leaves that record usable and
// showing the empty text, not a stale or partial one.
TEST(EntryPoints, ARefusedOutputLeavesTheCallersRecordUsable) {
    MessageBuffer message;
    bregexp* record = nullptr;
    ASSERT_EQ(Call(Entry::Trans, "tr/a/A/", "aba", &record, message.text), 2);
    bregexp* kept = record;
    EXPECT_EQ(Call(Entry::Trans, nullptr, std::string("a\0b", 3), &record, message.text), -1);
    EXPECT_STREQ(message.text, "the result would hold a NUL byte, which a text cannot carry");
    EXPECT_EQ(record, kept);
    EXPECT_STREQ(record->outputText, "");
    EXPECT_EQ(Call(Entry::Trans, nullptr, "bab", &record, message.text), 1);
    EXPECT_STREQ(record->outputText, "bAb");
    BRegfree(record);
}

// An escape may name only a character the operator's encoding can write, so
// a UTF-8 output is always valid UTF-8. A translation range across the
// surrogates is refused too, not cut in two.
TEST(EntryPoints, EscapesNameOnlyCharactersTheEncodingCanWrite) {
    const char* translations[] = {"tr/a/\\x{D800}/u", "tr/\\x{DFFF}/a/u", "tr/a/\\x{110000}/u",
                                  "tr/a/\\o{154000}/u", "tr/\\x{D000}-\\x{E000}/x/u"};
    for (const char* pattern : translations) {
        EXPECT_TRUE(FailsCleanly(Entry::Trans, pattern, "a", "a surrogate or a code point above U+10FFFF"));
    }
    // Under k an escape names a Unicode code point; cp932 has none for
    // U+00E9 (its best-fit 'e' would be another character) or U+1F600.
    for (const char* pattern : {"s/a/\\x{D800}/u", "s/a/\\x{110000}/u", "s/a/\\x{100}/", "s/a/\\xE9/k",
                                "s/a/\\x{1F600}/k"}) {
        EXPECT_TRUE(FailsCleanly(Entry::Subst, pattern, "a", "names a character its encoding cannot write"));
    }
    for (const char* pattern : {"tr/a/\\xE9/k", "tr/\\x{1F600}/a/k"}) {
        EXPECT_TRUE(FailsCleanly(Entry::Trans, pattern, "a", "names a character its encoding cannot write"));
    }
    EXPECT_EQ(DescribeBTrans("tr/a-c/\\x{D7FF}\\x{E000}\\x{10FFFF}/u", "abc"),
              "3:\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF");
}

// Perl's answers for the flags n, a and aa, escaped delimiters, case escapes
// under UTF-8 and Shift_JIS, and the escapes replacements and lists share.
TEST(EntryPoints, FollowPerlOnFlagsDelimitersAndEscapes) {
    const struct {
        Entry entry;
        const char* pattern;
        std::string subject;
        const char* expected;
    } rows[] = {
        {Entry::Match, "m/\\w+/u", "\xC3\xA9" "a", "yes 0-3"},
        {Entry::Match, "m/\\w+/ua", "\xC3\xA9" "a", "yes 2-3"},
        {Entry::Match, "m/\\d/ua", "\xD9\xA1" "1", "yes 2-3"},
        {Entry::Match, "m/[[:alpha:]]/ua", "\xC3\xA9" "a", "yes 2-3"},
        {Entry::Match, "m/\\bx/ua", "\xC3\xA9" "x", "yes 2-3"},
        {Entry::Match, "m/k/iua", "\xE2\x84\xAA", "yes 0-3"},
        {Entry::Match, "m/k/iuaa", "\xE2\x84\xAA", "no"},
        // a asks for Unicode's rules on bytes too: É and é match under i.
        {Entry::Match, "m/\\xC9/ia", "a\xE9", "yes 1-2"},
        {Entry::Match, "m/(a)(?<n>b)/n", "ab", "yes 0-2 1-2"},
        {Entry::Match, "m|a\\|b|", "b", "yes 0-1"},
        {Entry::Match, "m{a\\{2\\}}", "a{2}", "yes 0-4"},
        {Entry::Subst, "s/(\\w+)/\\U$1/u", "stra\xC3\x9F" "e", "1:STRASSE"},
        {Entry::Subst, "s/(\\w+)/\\u$1/u", "\xC7\x86" "emal", "1:\xC7\x85" "emal"},
        {Entry::Subst, "s/(\\S+)/\\Q$1/u", "\xC3\xA9.\xE3\x80\x81", "1:\xC3\xA9\\.\\\xE3\x80\x81"},
        // Without a group or a non-ASCII character Perl's string is a byte
        // string, changed by ASCII rules.
        {Entry::Subst, "s/a/\\U\\x{e9}/u", "a", "1:\xC3\xA9"},
        {Entry::Subst, "s/(a)/\\U$1\\x{e9}/u", "a", "1:A\xC3\x89"},
        {Entry::Subst, "s/(.+)/\\U$1/k", "\x82\x81\x83\xBF", "1:\x82\x60\x83\x9F"},
        {Entry::Subst, "s/x/\\N{U+263A}\\cA/u", "x", "1:\xE2\x98\xBA\x01"},
        {Entry::Subst, "s'(a)'$1\\\\n'", "a", "1:$1\\n"},
        {Entry::Subst, "s$(a)$<\\$1>$", "a", "1:<a>"},
        {Entry::Subst, "s{(a)}{<\\$1>}", "a", "1:<$1>"},
        {Entry::Trans, "tr/\\101\\102/xy/", "AB", "2:xy"},
        {Entry::Trans, "tr/\\cA\\c?\\e/xyz/r", "\x01\x7F\x1B", "3:xyz"},
        {Entry::Trans, "tr/\\N{U+263A}/x/u", "\xE2\x98\xBA", "1:x"},
        {Entry::Trans, "tr-a\\-c-x-", "abc-", "3:xxx-"},
    };
    for (const auto& row : rows) {
        const std::string actual = row.entry == Entry::Match   ? DescribeBMatch(row.pattern, row.subject)
                                   : row.entry == Entry::Subst ? DescribeBSubst(row.pattern, row.subject)
                                                               : DescribeBTrans(row.pattern, row.subject);
        EXPECT_EQ(actual, row.expected) << row.pattern;
    }
}

TEST(EntryPoints, VersionNamesTheLibraryAndItsEngines) {
    const std::string version = BRegexpVersion();
    EXPECT_EQ(version.rfind("bregexp.dll ", 0), 0u) << version;
    // PCRE2's version as PCRE2 answers it, then RE2's pinned release, which
    // ends the text.
    const std::string pcre2 = " (MOLV_Wrap regexlib; PCRE2 10.";
    const std::size_t engines = version.find(pcre2);
    ASSERT_NE(engines, std::string::npos) << version;
    const std::string re2 = "; RE2 2022-06-01)";
    ASSERT_GT(version.size(), re2.size()) << version;
    EXPECT_EQ(version.find_first_of(",;)", engines + pcre2.size()), version.size() - re2.size()) << version;
    EXPECT_EQ(version.substr(version.size() - re2.size()), re2) << version;
    EXPECT_EQ(BRegexpVersion(), BRegexpVersion());
}

}  // namespace
}  // namespace regexlib_test
