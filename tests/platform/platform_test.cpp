#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "process_memory.h"

namespace {

TEST(MemoryProbes, ReportNullAndUnreadableMemoryWithoutFaulting) {
    const char readable[] = "text";
    struct Row {
        const char* name;
        const void* address;
        bool bad;
    } rows[] = {
        {"null", nullptr, true},
        {"no-access page", NoAccessPage(), true},
        {"unmapped address", UnmappedAddress(), true},
        {"stack text", readable, false},
        {"static text", "static", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.bad, platform::IsBadStringPtrA(static_cast<const char*>(row.address), 1) != 0);
        EXPECT_EQ(row.bad, platform::IsBadReadPtr(row.address, 4) != 0);
        EXPECT_EQ(row.bad, platform::ReadableTextLength(static_cast<const char*>(row.address)) < 0);
    }
}

TEST(MemoryProbes, CheckEveryByteOfTheRange) {
    // Two pages: the first readable, the second without access.
    const std::size_t page = PageSize();
    char* pages = GuardedPages();
    ASSERT_NE(nullptr, pages);
    std::memset(pages, 'x', page);
    const char* last = pages + page - 1;

    EXPECT_EQ(0, platform::IsBadReadPtr(last, 1));
    EXPECT_NE(0, platform::IsBadReadPtr(last, 2));
    EXPECT_EQ(0, platform::IsBadReadPtr(pages, page));
    EXPECT_NE(0, platform::IsBadReadPtr(pages, page + 1));
    // A text without terminator before the no-access page reads into it.
    EXPECT_EQ(0, platform::IsBadStringPtrA(last, 1));
    EXPECT_NE(0, platform::IsBadStringPtrA(last, 2));
    pages[page - 1] = 0;
    EXPECT_EQ(0, platform::IsBadStringPtrA(last, 100));
    ReleaseGuardedPages(pages);
}

// Texts that start at every alignment in the last bytes of a page followed
// by a no-access one: with the terminator on the page's last byte they are
// measured whole, without it they are unreadable. Reading past the page
// would fault.
TEST(MemoryProbes, TextLengthStopsAtANoAccessPage) {
    const std::size_t page = PageSize();
    char* pages = GuardedPages();
    ASSERT_NE(nullptr, pages);
    std::memset(pages, 'x', page);
    std::vector<std::size_t> starts = {page, page - 1, page / 2 + 3};
    for (std::size_t back = 1; back <= 40; ++back) starts.push_back(back);
    for (const char terminator : {'\0', 'x'}) {
        pages[page - 1] = terminator;
        for (const std::size_t back : starts) {
            SCOPED_TRACE(::testing::Message() << back << " bytes before the no-access page");
            const int expected = terminator == 0 ? static_cast<int>(back - 1) : -1;
            EXPECT_EQ(expected, platform::ReadableTextLength(pages + page - back));
        }
    }
    ReleaseGuardedPages(pages);
}

// Every start alignment, lengths around 16-byte blocks and around one and
// two page boundaries.
TEST(MemoryProbes, TextLengthAcrossReadablePages) {
    const std::size_t page = PageSize();
    std::string memory(6 * page, 'x');
    const auto address = reinterpret_cast<std::uintptr_t>(memory.data());
    char* const firstPage = memory.data() + (page - address % page);
    const std::size_t lengths[] = {0, 1, 15, 16, 17, 31, 32, 33, page - 17, page - 1, page, page + 1,
                                   2 * page - 16, 2 * page, 2 * page + 15, 2 * page + 16};
    for (std::size_t offset = page - 16; offset < page + 16; ++offset) {
        for (const std::size_t length : lengths) {
            SCOPED_TRACE(::testing::Message() << "offset " << offset << ", length " << length);
            char* text = firstPage + offset;
            text[length] = 0;
            EXPECT_EQ(static_cast<int>(length), platform::ReadableTextLength(text));
            text[length] = 'x';
        }
    }
}

TEST(StringServices, FormatUnsignedLikeWindows) {
    char buffer[32];
    struct Row {
        unsigned value;
        const char* text;
    } rows[] = {{0u, "0"}, {7u, "7"}, {65535u, "65535"}, {4294967295u, "4294967295"}};
    for (const Row& row : rows) {
        EXPECT_EQ(static_cast<int>(std::strlen(row.text)), platform::wsprintfA(buffer, "%-lu", row.value));
        EXPECT_STREQ(row.text, buffer);
    }
    platform::wsprintfA(buffer, "%d:%s%c%%", -5, "ab", 'c');
    EXPECT_STREQ("-5:abc%", buffer);
}

TEST(StringServices, LengthAndComparisons) {
    EXPECT_EQ(0, platform::lstrlenA(nullptr));
    EXPECT_EQ(5, platform::lstrlenA("hello"));
    EXPECT_EQ(0, platform::lstrcmpA("abc", "abc"));
    EXPECT_LT(platform::lstrcmpA("abc", "abd"), 0);
    EXPECT_GT(platform::lstrcmpA("b", "abc"), 0);
    EXPECT_NE(0, platform::lstrcmpA("abc", "ABC"));
    EXPECT_EQ(0, platform::lstrcmpiA("abc", "ABC"));
    EXPECT_LT(platform::lstrcmpiA("abc", "ABD"), 0);
}

TEST(Libraries, MissingLibraryAndSymbolGiveNull) {
    EXPECT_EQ(nullptr, platform::LoadLibraryA("/nonexistent/bregexp.dll"));
    EXPECT_EQ(nullptr, platform::LoadLibraryA(nullptr));
    EXPECT_EQ(nullptr, platform::GetProcAddress(nullptr, "BMatch"));
    EXPECT_EQ(0, platform::FreeLibrary(nullptr));
}

}  // namespace
