// The pointer list: positional insertion, removal by value and by index,
// lookup, and the forward cursor. Lists are written as letters, each letter
// standing for the address of one fixed int, so "aba" holds one pointer twice.
#include "containers/ptr_link_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using IntList = LinkList<int, 0>;

int items[26];

// '\0' stands for the null pointer.
int* Item(char letter) { return letter == '\0' ? nullptr : &items[letter - 'a']; }

char Letter(const void* item) {
    return item == nullptr ? '0' : static_cast<char>('a' + (static_cast<const int*>(item) - items));
}

// Appends each letter; every append answers the new count.
void Fill(IntList& list, const std::string& letters) {
    for (std::size_t i = 0; i < letters.size(); ++i) {
        ASSERT_EQ(list.Add(Item(letters[i]), -1), static_cast<std::int32_t>(i + 1)) << "appending " << letters[i];
    }
}

// What Next hands out from the cursor on, as letters.
std::string Rest(IntList& list) {
    std::string walked;
    for (int* item = list.Next(); item != nullptr && walked.size() < 30; item = list.Next()) walked += Letter(item);
    return walked;
}

// The list's items from head to tail, with count, tail and links consistent.
::testing::AssertionResult Holds(const IntList& list, const std::string& expected) {
    std::string actual;
    const PtrLinkNode* last = nullptr;
    for (const PtrLinkNode* node = list.head; node != nullptr && actual.size() <= expected.size(); node = node->next) {
        actual += Letter(node->item);
        last = node;
    }
    if (actual != expected) {
        return ::testing::AssertionFailure() << "holds '" << actual << "', expected '" << expected << "'";
    }
    if (list.count != static_cast<std::int32_t>(expected.size())) {
        return ::testing::AssertionFailure() << "count " << list.count << " for '" << expected << "'";
    }
    if (list.tail != last) return ::testing::AssertionFailure() << "tail is not the last node";
    return ::testing::AssertionSuccess();
}

TEST(PtrLinkListTest, AddInsertsAtAPositionOrAppends) {
    const struct { const char* before; char item; std::int32_t position, result; const char* after; } rows[] = {
        {"", 'x', 0, 1, "x"},       {"", 'x', -1, 1, "x"},      {"", 'x', 1, -1, ""},
        {"", '\0', 0, -1, ""},      {"abc", '\0', -1, -1, "abc"}, {"abc", '\0', 1, -1, "abc"},
        {"abc", 'x', 0, 4, "xabc"}, {"abc", 'x', 1, 4, "axbc"}, {"abc", 'x', 2, 4, "abxc"},
        {"abc", 'x', 3, 4, "abcx"}, {"abc", 'x', 4, -1, "abc"}, {"abc", 'x', -1, 4, "abcx"},
        {"abc", 'x', -7, 4, "abcx"}, {"abc", 'a', 3, 4, "abca"},
    };
    // Holds checks the tail too, and a later append must land after it.
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "'" << row.before << "'.Add(" << (row.item ? row.item : '0') << ", "
                                          << row.position << ")");
        IntList list;
        Fill(list, row.before);
        EXPECT_EQ(list.Add(Item(row.item), row.position), row.result);
        EXPECT_TRUE(Holds(list, row.after));
        list.Add(Item('z'), -1);
        EXPECT_TRUE(Holds(list, std::string(row.after) + "z"));
    }
}

TEST(PtrLinkListTest, RemoveTakesTheFirstNodeHoldingThePointer) {
    const struct { const char* before; char item; std::int32_t result; const char* after; } rows[] = {
        {"abc", 'a', 2, "bc"}, {"abc", 'b', 2, "ac"}, {"abc", 'c', 2, "ab"}, {"a", 'a', 0, ""},
        {"aba", 'a', 2, "ba"}, {"bab", 'b', 2, "ab"}, {"abc", 'x', -1, "abc"}, {"abc", '\0', -1, "abc"},
        {"", 'a', -1, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "'" << row.before << "'.Remove(" << (row.item ? row.item : '0') << ")");
        IntList list;
        Fill(list, row.before);
        EXPECT_EQ(list.Remove(Item(row.item)), row.result);
        EXPECT_TRUE(Holds(list, row.after));
        // The list must go on working after the removal: an append lands last.
        list.Add(Item('z'), -1);
        EXPECT_TRUE(Holds(list, std::string(row.after) + "z"));
    }
}

TEST(PtrLinkListTest, RemoveAtRemovesByTheValueAtTheIndex) {
    const struct { const char* before; std::int32_t index, result; const char* after; } rows[] = {
        {"ab", 0, 1, "b"},     {"abc", 1, 2, "ac"},    {"abc", 2, 2, "ab"},  {"ab", 2, -1, "ab"},
        {"aba", 2, 2, "ba"},   {"abc", -1, 2, "ab"},   {"aba", -5, 2, "ba"}, {"", 0, -1, ""},
        {"", -1, -1, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "'" << row.before << "'.RemoveAt(" << row.index << ")");
        IntList list;
        Fill(list, row.before);
        EXPECT_EQ(list.RemoveAt(row.index), row.result);
        EXPECT_TRUE(Holds(list, row.after));
    }
}

TEST(PtrLinkListTest, DrainingFromTheFrontTakesItemsInOrder) {
    IntList list;
    Fill(list, "abcab");
    std::string drained;
    while (list.count > 0) {
        drained += Letter(list.GetAt(0));
        ASSERT_EQ(list.RemoveAt(0), static_cast<std::int32_t>(5 - drained.size()));
    }
    EXPECT_EQ(drained, "abcab");
    EXPECT_TRUE(Holds(list, ""));
    EXPECT_EQ(list.head, nullptr);
}

// RemoveAt asks for the item through the virtual GetAt, so a derived list
// that looks items up differently removes what its own GetAt gives.
TEST(PtrLinkListTest, RemoveAtGoesThroughTheVirtualGetAt) {
    struct ShiftedList : IntList {
        int* GetAt(std::int32_t index) override { return IntList::GetAt(index + 1); }
    } list;
    Fill(list, "abc");
    EXPECT_EQ(list.RemoveAt(0), 2);
    EXPECT_TRUE(Holds(list, "ac"));
}

TEST(PtrLinkListTest, GetAtAndIndexOfLookUp) {
    const struct { const char* list; std::int32_t index; char expected; } getRows[] = {
        {"abc", 0, 'a'}, {"abc", 2, 'c'}, {"abc", 3, '\0'}, {"abc", -1, 'c'}, {"abc", -100, 'c'},
        {"", 0, '\0'},   {"", -1, '\0'},
    };
    for (const auto& row : getRows) {
        IntList list;
        Fill(list, row.list);
        EXPECT_EQ(list.GetAt(row.index), Item(row.expected)) << "'" << row.list << "'.GetAt(" << row.index << ")";
    }
    const struct { const char* list; char item; std::int32_t expected; } indexRows[] = {
        {"aba", 'a', 0}, {"aba", 'b', 1}, {"abc", 'c', 2}, {"abc", 'x', -1}, {"abc", '\0', -1}, {"", 'a', -1},
    };
    for (const auto& row : indexRows) {
        IntList list;
        Fill(list, row.list);
        EXPECT_EQ(list.IndexOf(Item(row.item)), row.expected)
            << "'" << row.list << "'.IndexOf(" << (row.item ? row.item : '0') << ")";
    }
}

TEST(PtrLinkListTest, RewindSkipsAndNextWalksToTheEnd) {
    const struct { std::int32_t skip, result; const char* walked; } rows[] = {
        {0, 5, "abcde"}, {-3, 5, "abcde"}, {2, 3, "cde"}, {5, 0, ""}, {7, -2, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "Rewind(" << row.skip << ")");
        IntList list;
        Fill(list, "abcde");
        EXPECT_EQ(list.Rewind(row.skip), row.result);
        EXPECT_EQ(Rest(list), row.walked);
        EXPECT_EQ(list.Next(), nullptr) << "an exhausted cursor stays exhausted";
    }
    // The cursor is unset until the first Rewind, and an exhausted one does
    // not see later appends.
    IntList list;
    Fill(list, "ab");
    EXPECT_EQ(list.Next(), nullptr);
    list.Rewind(0);
    EXPECT_EQ(Rest(list), "ab");
    list.Add(Item('c'), -1);
    EXPECT_EQ(list.Next(), nullptr);
    list.Rewind(2);
    EXPECT_EQ(Rest(list), "c");
}

TEST(PtrLinkListTest, RemovingTheNodeUnderTheCursorMovesItOn) {
    const struct { std::int32_t skip; char removed; const char* walked; } rows[] = {
        {1, 'b', "cd"}, {0, 'a', "bcd"}, {3, 'd', ""}, {1, 'a', "bcd"}, {1, 'c', "bd"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "Rewind(" << row.skip << "), then Remove(" << row.removed << ")");
        IntList list;
        Fill(list, "abcd");
        list.Rewind(row.skip);
        list.Remove(Item(row.removed));
        EXPECT_EQ(Rest(list), row.walked);
    }
}

}  // namespace
