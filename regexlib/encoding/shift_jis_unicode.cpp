#include "encoding/shift_jis_unicode.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "encoding/shift_jis_table.h"
#include "encoding/text_encoding.h"

namespace regexlib {
namespace {

std::uint32_t PairCodePoint(unsigned lead, unsigned second) {
    return kShiftJisPairs[ShiftJisLeadIndex(lead)][ShiftJisSecondIndex(second)];
}

// The code point a character has in a converted text: cp932's, or the
// private-use one of a character cp932 does not read.
std::uint32_t ConvertedCodePoint(std::uint32_t character, std::uint32_t codePoint, bool mapped) {
    return mapped ? codePoint : kShiftJisUnmappedBase + character;
}

// Every character's UTF-8 form, made on first need: the 256 single bytes
// (a lead byte alone among them), then the pairs by lead and second index.
// Converting a character then costs one look-up and one 4-byte copy.
struct Utf8Form {
    char bytes[4];  // as many as length counts; always copied whole
    std::uint32_t length;
};

constexpr std::size_t kFirstPairForm = 256;

Utf8Form MakeUtf8Form(std::uint32_t codePoint) {
    Utf8Form form{};
    form.length = static_cast<std::uint32_t>(EncodeCharacter(TextEncoding::Utf8, codePoint, form.bytes));
    return form;
}

// Calls visit(lead, second) for every pair of a lead and a second byte.
template <typename Visit>
void ForEachPair(Visit visit) {
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsShiftJisLeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned second = 0x40; second <= 0xFC; ++second) {
            if (IsShiftJisSecondByte(static_cast<unsigned char>(second))) visit(lead, second);
        }
    }
}

std::vector<Utf8Form> MakeUtf8Forms() {
    std::vector<Utf8Form> forms(kFirstPairForm + kShiftJisLeadCount * kShiftJisSecondCount);
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t codePoint = 0;
        const bool mapped = ShiftJisToUnicode(byte, codePoint);
        forms[byte] = MakeUtf8Form(ConvertedCodePoint(byte, codePoint, mapped));
    }
    ForEachPair([&forms](unsigned lead, unsigned second) {
        const std::uint32_t codePoint = PairCodePoint(lead, second);
        const std::size_t index =
            kFirstPairForm + ShiftJisLeadIndex(lead) * kShiftJisSecondCount + ShiftJisSecondIndex(second);
        forms[index] = MakeUtf8Form(ConvertedCodePoint(lead << 8 | second, codePoint, codePoint != 0));
    });
    return forms;
}

const Utf8Form* Utf8Forms() {
    // A function-local static is made once, even with threads.
    static const std::vector<Utf8Form> forms = MakeUtf8Forms();
    return forms.data();
}

// The form of the character at `at` (at < end), and its length in bytes.
// Branches, not selects: they are well predicted in text of one script,
// and the next character's place never waits for this one's table look-ups.
inline const Utf8Form& FormAt(const Utf8Form* forms, const unsigned char* at, const unsigned char* end,
                              std::size_t& length) {
    const unsigned char first = at[0];
    if (IsShiftJisLeadByte(first) && end - at >= 2 && IsShiftJisSecondByte(at[1])) {
        length = 2;
        return forms[kFirstPairForm + ShiftJisLeadIndex(first) * kShiftJisSecondCount + ShiftJisSecondIndex(at[1])];
    }
    length = 1;
    return forms[first];
}

// Eight bytes at once: a run of ASCII is copied as it is.
inline bool EightAscii(const unsigned char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}

// Steps over characters from a place known in both texts until the
// Shift_JIS offset reaches `shiftJisOffset` or the UTF-8 offset reaches
// `utf8Offset`; answers the place stopped at.
std::pair<std::size_t, std::size_t> Walk(const unsigned char* source, std::size_t sourceLength,
                                         std::size_t shiftJis, std::size_t utf8, std::size_t shiftJisOffset,
                                         std::size_t utf8Offset) {
    const Utf8Form* forms = Utf8Forms();
    const unsigned char* at = source + shiftJis;
    const unsigned char* end = source + std::min(sourceLength, shiftJisOffset);
    while (at < end && utf8 < utf8Offset) {
        if (*at < 0x80) {
            ++at;
            ++utf8;
            continue;
        }
        std::size_t length = 0;
        utf8 += FormAt(forms, at, source + sourceLength, length).length;
        at += length;
    }
    return {static_cast<std::size_t>(at - source), utf8};
}

// The reverse of the forward tables, made on first need: code points in
// ascending order, each with the character cp932 writes for it.
struct Written {
    std::uint32_t codePoint;
    std::uint32_t character;
    bool operator<(const Written& other) const { return codePoint < other.codePoint; }
};

bool IsWrittenBack(std::uint32_t character) {
    const std::uint16_t* first = kShiftJisNotWrittenBack;
    const std::uint16_t* last = first + kShiftJisNotWrittenBackCount;
    return !std::binary_search(first, last, character);
}

std::vector<Written> MakeReverseTable() {
    std::vector<Written> table;
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        if (!IsShiftJisLeadByte(static_cast<unsigned char>(byte)) && IsWrittenBack(byte)) {
            table.push_back({kShiftJisSingleBytes[byte], byte});
        }
    }
    ForEachPair([&table](unsigned lead, unsigned second) {
        const std::uint32_t codePoint = PairCodePoint(lead, second);
        const std::uint32_t character = lead << 8 | second;
        if (codePoint != 0 && IsWrittenBack(character)) table.push_back({codePoint, character});
    });
    std::sort(table.begin(), table.end());
    return table;
}

}  // namespace

bool ShiftJisToUnicode(std::uint32_t character, std::uint32_t& codePoint) {
    if (character <= 0xFF) {
        codePoint = kShiftJisSingleBytes[character];
        return !IsShiftJisLeadByte(static_cast<unsigned char>(character));
    }
    const unsigned lead = character >> 8;
    const unsigned second = character & 0xFF;
    if (character > 0xFFFF || !IsShiftJisLeadByte(static_cast<unsigned char>(lead)) ||
        !IsShiftJisSecondByte(static_cast<unsigned char>(second))) {
        return false;
    }
    codePoint = PairCodePoint(lead, second);
    return codePoint != 0;
}

std::uint32_t CodePointOfShiftJis(std::uint32_t character) {
    std::uint32_t codePoint = 0;
    const bool mapped = ShiftJisToUnicode(character, codePoint);
    return ConvertedCodePoint(character, codePoint, mapped);
}

bool UnicodeToShiftJis(std::uint32_t codePoint, std::uint32_t& character) {
    // A function-local static is made once, even with threads.
    static const std::vector<Written> table = MakeReverseTable();
    const auto found = std::lower_bound(table.begin(), table.end(), Written{codePoint, 0});
    if (found == table.end() || found->codePoint != codePoint) return false;
    character = found->character;
    return true;
}

void ShiftJisAsUtf8::Convert(const char* begin, const char* end) {
    source_ = reinterpret_cast<const unsigned char*>(begin);
    sourceLength_ = static_cast<std::size_t>(end - begin);
    // A chunk runs from one mark to the next; its output fits in this room,
    // taken once a chunk, not once a character, and what it does not use
    // is given back.
    constexpr std::size_t kChunkRoom = 4 * (kMarkSpacing + 8);
    // Enough for most texts: a pair writes at most 3 bytes for its 2. Runs of
    // half-width katakana (3 for 1) or lone lead bytes (4 for 1) grow it.
    utf8_.Clear();
    utf8_.Reserve(sourceLength_ + sourceLength_ / 2 + kChunkRoom);
    const std::size_t marks = sourceLength_ / kMarkSpacing + 2;
    if (marks_.size() < marks) marks_.resize(marks);
    // Locals throughout: the members could alias what the loop writes.
    const Utf8Form* forms = Utf8Forms();
    const unsigned char* const source = source_;
    const unsigned char* const stop = source + sourceLength_;
    const unsigned char* at = source;
    Mark* const mark = marks_.data();
    std::size_t markCount = 0;
    while (at < stop) {
        const std::size_t written = utf8_.size();
        mark[markCount++] = {static_cast<std::size_t>(at - source), written};
        char* const room = utf8_.Extend(kChunkRoom);
        char* out = room;
        const unsigned char* chunkStop = std::min(source + markCount * kMarkSpacing, stop);
        while (at < chunkStop) {
            if (*at < 0x80) {
                if (stop - at >= 8 && EightAscii(at)) {
                    std::memcpy(out, at, 8);
                    at += 8;
                    out += 8;
                } else {
                    *out++ = static_cast<char>(*at++);
                }
                continue;
            }
            std::size_t length = 0;
            const Utf8Form& form = FormAt(forms, at, stop, length);
            std::memcpy(out, form.bytes, sizeof form.bytes);
            out += form.length;
            at += length;
        }
        utf8_.Truncate(written + static_cast<std::size_t>(out - room));
    }
    if (markCount == 0) mark[markCount++] = {0, 0};
    markCount_ = markCount;
    last_ = {0, 0};
}

// The place a walk to `shiftJisOffset` starts from: the mark before it, or
// the place last mapped when that is nearer (a match's groups lie close).
ShiftJisAsUtf8::Mark ShiftJisAsUtf8::StartBefore(std::size_t shiftJisOffset) const {
    std::size_t index = std::min(shiftJisOffset / kMarkSpacing, markCount_ - 1);
    // A pair across the multiple moves its mark one byte on.
    if (marks_[index].shiftJis > shiftJisOffset) --index;
    const Mark& mark = marks_[index];
    return last_.shiftJis <= shiftJisOffset && last_.shiftJis > mark.shiftJis ? last_ : mark;
}

ShiftJisAsUtf8::Mark ShiftJisAsUtf8::StartBeforeUtf8(std::size_t utf8Offset) const {
    const Mark* first = marks_.data();
    const Mark* found = std::upper_bound(first, first + markCount_, utf8Offset,
                                         [](std::size_t offset, const Mark& mark) { return offset < mark.utf8; });
    const Mark& mark = found[-1];
    return last_.utf8 <= utf8Offset && last_.utf8 > mark.utf8 ? last_ : mark;
}

std::size_t ShiftJisAsUtf8::Utf8Offset(std::size_t shiftJisOffset) {
    const Mark start = StartBefore(shiftJisOffset);
    const auto place = Walk(source_, sourceLength_, start.shiftJis, start.utf8, shiftJisOffset, SIZE_MAX);
    last_ = {place.first, place.second};
    return place.second;
}

std::size_t ShiftJisAsUtf8::ShiftJisOffset(std::size_t utf8Offset) {
    const Mark start = StartBeforeUtf8(utf8Offset);
    const auto place = Walk(source_, sourceLength_, start.shiftJis, start.utf8, SIZE_MAX, utf8Offset);
    last_ = {place.first, place.second};
    return place.first;
}

}  // namespace regexlib
