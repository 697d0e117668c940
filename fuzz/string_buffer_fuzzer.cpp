// StringBuffer under random sequences of operations on a few strings that
// copy from and assign to each other, each checked against a std::string
// model. The model also tracks which strings share one representation, so
// copy on write is checked as well: copies share, a change unshares, counts
// are exact, and a change to one holder never shows in another.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "process_memory.h"
#include "text/string_buffer.h"

namespace {

constexpr std::size_t kSlots = 4;
constexpr int kEmptyStringGroup = 0;   // the holders of emptyString's rep

struct Model {
    std::string text;
    int group;
};

[[noreturn]] void Fail(const char* what, std::size_t slot) {
    std::fprintf(stderr, "string buffer: %s (string %zu)\n", what, slot);
    std::abort();
}

// What a text pointer handed in stands for: bytes, or nothing readable.
struct TextArgument {
    std::string bytes;          // may hold zero bytes; c_str() adds one more
    const char* pointer;        // null, unreadable, or bytes.c_str()
    bool readable;
    std::string AsText() const { return readable ? std::string(bytes.c_str()) : std::string(); }
};

TextArgument TakeText(FuzzedDataProvider& input) {
    TextArgument argument;
    switch (input.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: argument.pointer = nullptr; argument.readable = false; return argument;
    case 1: argument.pointer = NoAccessPage(); argument.readable = false; return argument;
    default: break;
    }
    argument.bytes = input.ConsumeRandomLengthString(64);
    argument.pointer = argument.bytes.c_str();
    argument.readable = true;
    return argument;
}

std::int32_t Signed(char byte) { return static_cast<std::int8_t>(byte); }

std::int32_t Folded(char byte) {
    return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : Signed(byte);
}

std::int32_t ExpectedCompareN(const std::string& a, const std::string& b, std::int32_t n, bool fold) {
    const char* x = a.c_str();
    const char* y = b.c_str();
    auto map = [fold](char c) { return fold ? Folded(c) : Signed(c); };
    for (std::int64_t k = std::int64_t{n} - 1; k > 0 && *x != 0 && *y != 0 && map(*x) == map(*y); --k) {
        ++x;
        ++y;
    }
    return map(*x) - map(*y);
}

int Sign(int value) { return (value > 0) - (value < 0); }

std::int32_t ExpectedFind(const std::string& text, char c) {
    const std::string visible = text.c_str();
    if (c == 0) return static_cast<std::int32_t>(visible.size());
    for (std::size_t at = 0; at < visible.size(); ++at) {
        if (visible[at] == c) return static_cast<std::int32_t>(at);
        const auto byte = static_cast<unsigned char>(visible[at]);
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFB)) ++at;
    }
    return -1;
}

class Harness {
public:
    Harness() : strings(kSlots, StringBuffer(2)), models(kSlots, Model{"", 1}) {}

    void Step(FuzzedDataProvider& input) {
        const std::size_t i = input.ConsumeIntegralInRange<std::size_t>(0, kSlots - 1);
        const std::size_t j = input.ConsumeIntegralInRange<std::size_t>(0, kSlots - 1);
        switch (input.ConsumeIntegralInRange<int>(0, 10)) {
        case 0: Construct(input, i); break;
        case 1: strings[i] = strings[j]; models[i] = models[j]; break;
        case 2: Assign(input, i); break;
        case 3: Append(input, i); break;
        case 4: {
            const char c = input.ConsumeIntegral<char>();
            strings[i].AppendChar(c);
            if (c != 0) Change(i).text.push_back(c);
            break;
        }
        case 5: {
            const std::uint32_t value = input.ConsumeIntegral<std::uint32_t>();
            strings[i].AppendNumber(value);
            Change(i).text += std::to_string(value);
            break;
        }
        case 6: Mid(input, i, j); break;
        case 7: strings[i].MakeUnique(); Change(i); break;
        case 8: Compare(input, i, j); break;
        case 9: {
            const char c = input.ConsumeIntegral<char>();
            if (strings[i].Find(c) != ExpectedFind(models[i].text, c)) Fail("Find", i);
            break;
        }
        case 10: CompareText(input, i); break;
        }
        Check();
    }

private:
    // A change gives a shared string a private copy of its text as far as
    // its first zero byte; a string nobody shares keeps its representation.
    Model& Change(std::size_t i) {
        if (IsShared(i)) {
            models[i].text = models[i].text.c_str();
            models[i].group = nextGroup++;
        }
        return models[i];
    }

    bool IsShared(std::size_t i) const { return Holders(models[i].group) > 1; }

    std::int32_t Holders(int group) const {
        std::int32_t count = group == kEmptyStringGroup ? 1 : 0;
        for (const Model& model : models) count += model.group == group ? 1 : 0;
        return count;
    }

    void Construct(FuzzedDataProvider& input, std::size_t i) {
        const TextArgument text = TakeText(input);
        // An explicit length must stay within readable bytes.
        std::int32_t length = -1;
        if (input.ConsumeBool()) {
            const std::size_t available = text.readable ? text.bytes.size() : 0;
            length = static_cast<std::int32_t>(input.ConsumeIntegralInRange<std::size_t>(0, available));
        }
        const std::int32_t extra = input.ConsumeIntegralInRange<std::int32_t>(-4, 40);
        strings[i] = StringBuffer(text.pointer, length, extra);
        models[i].text = length < 0 ? text.AsText() : text.bytes.substr(0, static_cast<std::size_t>(length));
        models[i].group = nextGroup++;
    }

    void Assign(FuzzedDataProvider& input, std::size_t i) {
        const TextArgument text = TakeText(input);
        const std::int32_t start = input.ConsumeIntegralInRange<std::int32_t>(-2, 70);
        const std::int32_t count = input.ConsumeIntegralInRange<std::int32_t>(-2, 70);
        strings[i].Assign(text.pointer, start, count);
        Model& model = Change(i);
        model.text.clear();
        AppendToModel(model, text, start, count);
    }

    void Append(FuzzedDataProvider& input, std::size_t i) {
        const TextArgument text = TakeText(input);
        const std::int32_t start = input.ConsumeIntegralInRange<std::int32_t>(-2, 70);
        const std::int32_t count = input.ConsumeIntegralInRange<std::int32_t>(-2, 70);
        strings[i].Append(text.pointer, start, count);
        const std::string visible = text.AsText();
        if (visible.empty() || start < 0 || static_cast<std::size_t>(start) >= visible.size()) return;
        AppendToModel(Change(i), text, start, count);
    }

    static void AppendToModel(Model& model, const TextArgument& text, std::int32_t start,
                              std::int32_t count) {
        const std::string visible = text.AsText();
        const auto n = static_cast<std::int32_t>(visible.size());
        if (start < 0 || start >= n) return;
        if (count < 0 || count > n) count = n;
        if (start + count > n) count = n - start;
        model.text += visible.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
    }

    void Mid(FuzzedDataProvider& input, std::size_t i, std::size_t into) {
        std::int32_t start = input.ConsumeIntegralInRange<std::int32_t>(-3, 70);
        std::int32_t count = input.ConsumeIntegralInRange<std::int32_t>(-3, 70);
        const std::string source = models[i].text;
        strings[into] = strings[i].Mid(start, count);
        const auto length = static_cast<std::int32_t>(source.size());
        if (start >= 0 && start >= length) {
            models[into] = Model{"", kEmptyStringGroup};
            return;
        }
        if (start < 0) start = 0;
        if (count < 0) count = length;
        if (std::int64_t{start} + count > length) count = length - start;
        models[into] = Model{source.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count)),
                             nextGroup++};
    }

    void Compare(FuzzedDataProvider& input, std::size_t i, std::size_t j) {
        const std::int32_t count = input.ConsumeIntegralInRange<std::int32_t>(-2, 20);
        const bool fold = input.ConsumeBool();
        const std::string a = models[i].text.c_str();
        const std::string b = models[j].text.c_str();
        const std::int32_t got = strings[i].Compare(strings[j], fold ? 0 : 1, count);
        if (count < 0) {
            if (!fold && Sign(got) != Sign(a.compare(b))) Fail("Compare", i);
        } else if (got != ExpectedCompareN(a, b, count, fold)) {
            Fail("Compare with a count", i);
        }
    }

    void CompareText(FuzzedDataProvider& input, std::size_t i) {
        const TextArgument text = TakeText(input);
        const std::int32_t count = input.ConsumeIntegralInRange<std::int32_t>(0, 20);
        const std::string a = models[i].text.c_str();
        const std::int32_t got = strings[i].Compare(text.pointer, 1, count);
        const std::int32_t wanted = text.readable ? ExpectedCompareN(a, text.AsText(), count, false)
                                                  : Signed(a.c_str()[0]);
        if (got != wanted) Fail("Compare with an outside text", i);
    }

    void Check() {
        for (std::size_t i = 0; i < kSlots; ++i) {
            StringBuffer& string = strings[i];
            const Model& model = models[i];
            const StringBuffer::StringBuffer_rep* rep = string.Rep();
            if (string.GetLength() != static_cast<std::int32_t>(model.text.size())) Fail("length", i);
            if (std::memcmp(string.GetText(), model.text.data(), model.text.size()) != 0) Fail("text", i);
            if (string.GetText()[model.text.size()] != 0) Fail("no terminator", i);
            if (rep->capacity % 8 != 0 || rep->capacity <= rep->length) Fail("capacity", i);
            // The whole block must really be there (AddressSanitizer checks).
            if (std::memchr(rep->chars, 0, static_cast<std::size_t>(rep->capacity)) == nullptr) Fail("block", i);
            if (rep->referenceCount != Holders(model.group)) Fail("reference count", i);
            if ((model.group == kEmptyStringGroup) != (rep == emptyString.Rep())) Fail("emptyString sharing", i);
            for (std::size_t j = 0; j < kSlots; ++j) {
                if ((models[j].group == model.group) != (strings[j].Rep() == rep)) Fail("sharing", i);
            }
        }
        if (emptyString.GetLength() != 0 || emptyString.GetText()[0] != 0) Fail("emptyString changed", 0);
    }

    std::vector<StringBuffer> strings;
    std::vector<Model> models;
    int nextGroup = 2;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Harness harness;
    while (input.remaining_bytes() > 0) harness.Step(input);
    return 0;
}
