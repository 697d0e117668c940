// The string-keyed hash table: bucket rounding, the sign-widened ELF-style
// hash, insertion at the front of a chain, lookup, and the key copies.
#include "containers/hash_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using PatternTable = HashTable<int*, 11>;

template <int N>
std::int32_t BucketsFor() {
    HashTable<int*, N> table;
    for (std::int32_t i = 0; i < table.bucketCount; ++i) {
        EXPECT_EQ(table.buckets[i], nullptr) << "bucket " << i << " of a request for " << N;
    }
    return table.bucketCount;
}

TEST(HashTableTest, RequestsAreRoundedUpToMultiplesOfEight) {
    const struct { int requested; std::int32_t actual, expected; } rows[] = {
        {1, BucketsFor<1>(), 8},    {8, BucketsFor<8>(), 8},    {9, BucketsFor<9>(), 16},
        {11, BucketsFor<11>(), 16}, {16, BucketsFor<16>(), 16}, {17, BucketsFor<17>(), 24},
    };
    for (const auto& row : rows) EXPECT_EQ(row.actual, row.expected) << "request for " << row.requested;
}

TEST(HashTableTest, HashKeyWidensBytesWithTheirSignAndFoldsTheTop) {
    // A divisor of 0xFFFFFFFF shows the raw hash, which the fold keeps below 2^28.
    const std::uint32_t raw = 0xFFFFFFFFu;
    const struct { const char* text; std::uint32_t buckets, expected; } rows[] = {
        {"", raw, 0},
        {"abc", raw, 0x6783},
        {"abc", 16, 3},
        {"c", 16, 3},
        {"\xE9", raw, 0x0FFFFF19},
        {"\xE9", 16, 9},
        {"\xE9", 24, 1},
        {"abcdefghij", raw, 0x0ABAA66A},
        {"MOLV_Wrap pattern", raw, 0x02316F3E},
        {"\x82\xA0\x82\xA2", raw, 0x0FF62632},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(HashKey(row.text, row.buckets), row.expected)
            << "HashKey('" << row.text << "', " << row.buckets << ")";
    }
    // With 16 buckets only the low four bits of the last byte count.
    const char* longKeys[] = {"abcdefghijklmnopqrstuvwxyz", "\xFF\xFE\xFD\xFC\xFB\xFA\xF9\xF8\xF7\xF6\x41",
                              "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x4F"};
    for (const char* key : longKeys) {
        const std::string text(key);
        EXPECT_EQ(HashKey(key, 16), static_cast<std::uint32_t>(text.back() & 0x0F)) << "'" << key << "'";
        EXPECT_LT(HashKey(key, raw), 0x10000000u) << "'" << key << "'";
    }
}

TEST(HashTableTest, InsertGivesTheBucketAndLookupFindsTheNewestEqualKey) {
    int abcValue = 1, cValue = 2, newer = 3, highValue = 4;
    PatternTable table;
    StringBuffer abc("abc"), c("c"), abcAgain("abc"), empty(""), high("\xE9");
    EXPECT_EQ(table.Insert(abc, &abcValue), 3);
    EXPECT_EQ(table.Insert(c, &cValue), 3);
    EXPECT_EQ(table.Insert(high, &highValue), 9);
    EXPECT_EQ(table.Insert(empty, &newer), -1);
    EXPECT_EQ(table.buckets[0], nullptr) << "the empty text, had it been stored, would be in bucket 0";
    HashTable<int*, 24> twentyFour;
    EXPECT_EQ(twentyFour.Insert(high, &highValue), 1);
    EXPECT_EQ(twentyFour.Lookup(high), &highValue);

    const struct { const char* key; int* expected; } rows[] = {
        {"abc", &abcValue}, {"c", &cValue}, {"\xE9", &highValue}, {"ABC", nullptr}, {"ab", nullptr},
        {"abcd", nullptr},  {"bc", nullptr}, {"", nullptr},
    };
    for (const auto& row : rows) {
        StringBuffer key(row.key);
        EXPECT_EQ(table.Lookup(key), row.expected) << "Lookup('" << row.key << "')";
    }

    // A second 'abc' goes in front of the first in the same chain.
    EXPECT_EQ(table.Insert(abcAgain, &newer), 3);
    EXPECT_EQ(table.Lookup(abc), &newer);
    const RawHashNode* node = table.buckets[3];
    std::vector<void*> chain;
    for (; node != nullptr && chain.size() < 5; node = node->next) chain.push_back(node->value);
    EXPECT_EQ(chain, (std::vector<void*>{&newer, &cValue, &abcValue}));
}

TEST(HashTableTest, StoredKeysShareTheCallersTextAndSurviveItsChanges) {
    int value = 0;
    StringBuffer key("abc");
    {
        PatternTable table;
        table.Insert(key, &value);
        EXPECT_EQ(key.Rep()->referenceCount, 2) << "the stored key shares the caller's rep";
        const StringBuffer::StringBuffer_rep* stored = key.Rep();

        key.Append("d", 0, -1);
        EXPECT_NE(key.Rep(), stored);
        EXPECT_EQ(stored->referenceCount, 1);
        StringBuffer oldText("abc");
        EXPECT_EQ(table.Lookup(oldText), &value);
        EXPECT_EQ(table.Lookup(key), nullptr);
        EXPECT_STREQ(table.buckets[3]->key.GetText(), "abc");

        table.Insert(key, &value);
        EXPECT_EQ(key.Rep()->referenceCount, 2);
    }
    EXPECT_EQ(key.Rep()->referenceCount, 1) << "destroying the table drops its key copies";
}

}  // namespace
