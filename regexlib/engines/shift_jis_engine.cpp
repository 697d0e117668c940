// Shift_JIS patterns (flag k) run as Unicode: the pattern and each subject
// are converted to UTF-8 and searched by the PCRE2 UTF-8 engine, so that
// \w, \d, \s, \b, POSIX classes and caseless matching follow the characters'
// Unicode properties, as perl's do on the text decoded from cp932. Escapes
// in the pattern stay as written and so name Unicode code points, as in
// perl. Every position goes back to the caller as a byte offset into its
// own Shift_JIS text.
#include <cstdlib>
#include <vector>

#include "encoding/shift_jis_unicode.h"
#include "engines/pattern_engine.h"

namespace regexlib {
namespace {

std::string AsUtf8(const ShiftJisAsUtf8& converted) { return std::string(converted.begin(), converted.end()); }

// PCRE2 counts a compile error's offset in the converted pattern; the
// caller wrote the Shift_JIS one.
std::string WithShiftJisOffset(const std::string& message, ShiftJisAsUtf8& pattern) {
    static const std::string kOffset = " at offset ";
    const std::size_t at = message.rfind(kOffset);
    if (at == std::string::npos) return message;
    const std::size_t utf8Offset = std::strtoul(message.c_str() + at + kOffset.size(), nullptr, 10);
    return message.substr(0, at + kOffset.size()) + std::to_string(pattern.ShiftJisOffset(utf8Offset));
}

class ShiftJisEngine final : public PatternEngine {
public:
    bool Compile(const std::string& pattern, const PatternOptions& options, std::string& message) {
        ShiftJisAsUtf8 converted;
        converted.Convert(pattern.data(), pattern.data() + pattern.size());
        PatternOptions unicode = options;
        unicode.encoding = TextEncoding::Utf8;
        inner_ = CompilePcre2(AsUtf8(converted), unicode, message);
        if (inner_ == nullptr) {
            message = WithShiftJisOffset(message, converted);
            return false;
        }
        groups_.assign(static_cast<std::size_t>(inner_->GroupCount()) + 1, GroupSpan{});
        return true;
    }

    // The twin's own converted subject and groups, on the same PCRE2 code.
    std::unique_ptr<PatternEngine> Twin() const override {
        auto twin = std::make_unique<ShiftJisEngine>();
        twin->inner_ = inner_->Twin();
        if (twin->inner_ == nullptr) return nullptr;
        twin->groups_.assign(groups_.size(), GroupSpan{});
        return twin;
    }

    void NewSubject() override { converted_ = false; }

    SearchOutcome Search(const char* begin, const char* end, std::size_t startOffset,
                         bool notEmptyAtStart, std::string& message) override {
        if (!converted_ || begin != subjectBegin_ || end != subjectEnd_) Convert(begin, end);
        const SearchOutcome outcome = inner_->Search(subject_.begin(), subject_.end(),
                                                     subject_.Utf8Offset(startOffset), notEmptyAtStart, message);
        if (outcome == SearchOutcome::Matched) ReadGroups();
        return outcome;
    }

    int GroupCount() const override { return static_cast<int>(groups_.size()) - 1; }

    std::vector<int> GroupNumbers(const std::string& name) const override {
        ShiftJisAsUtf8 converted;
        converted.Convert(name.data(), name.data() + name.size());
        return inner_->GroupNumbers(AsUtf8(converted));
    }

    GroupSpan Group(int index) const override {
        if (index < 0 || index > GroupCount()) return {};
        return groups_[static_cast<std::size_t>(index)];
    }

    // The match entry point's cached path: one conversion, PCRE2's own
    // MatchGroups, and the pointers it wrote into the converted text moved
    // into the caller's.
    int MatchGroups(const char* begin, const char* end, char** groups, char* message) override {
        Convert(begin, end);
        const int rc = inner_->MatchGroups(subject_.begin(), subject_.end(), groups, message);
        if (rc <= 0) return rc;
        const std::size_t pointers = 2 * groups_.size();
        for (std::size_t index = 0; index < pointers; ++index) {
            if (groups[index] == nullptr) continue;
            const auto utf8Offset = static_cast<std::size_t>(groups[index] - subject_.begin());
            groups[index] = const_cast<char*>(begin) + subject_.ShiftJisOffset(utf8Offset);
        }
        return rc;
    }

private:
    void Convert(const char* begin, const char* end) {
        subject_.Convert(begin, end);
        subjectBegin_ = begin;
        subjectEnd_ = end;
        converted_ = true;
    }

    void ReadGroups() {
        for (std::size_t index = 0; index < groups_.size(); ++index) {
            const GroupSpan span = inner_->Group(static_cast<int>(index));
            if (span.start < 0) {
                groups_[index] = {};
                continue;
            }
            groups_[index] = {ShiftJisOffset(span.start), ShiftJisOffset(span.end)};
        }
    }

    std::ptrdiff_t ShiftJisOffset(std::ptrdiff_t utf8Offset) {
        return static_cast<std::ptrdiff_t>(subject_.ShiftJisOffset(static_cast<std::size_t>(utf8Offset)));
    }

    std::unique_ptr<PatternEngine> inner_;  // PCRE2 on the converted texts
    ShiftJisAsUtf8 subject_;
    // The subject range subject_ holds; it is converted again for another
    // range, and for the same one after NewSubject (its bytes may differ).
    const char* subjectBegin_ = nullptr;
    const char* subjectEnd_ = nullptr;
    bool converted_ = false;
    std::vector<GroupSpan> groups_;  // of the last match, in Shift_JIS offsets
};

}  // namespace

std::unique_ptr<PatternEngine> CompileShiftJisAsUnicode(const std::string& pattern,
                                                        const PatternOptions& options,
                                                        std::string& message) {
    auto engine = std::make_unique<ShiftJisEngine>();
    if (!engine->Compile(pattern, options, message)) return nullptr;
    return engine;
}

}  // namespace regexlib
