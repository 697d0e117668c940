// The reference-counted string: block sizing, copy on write, and clipping of
// every outside text and position.
#include "text/string_buffer.h"

#include <cstring>

#include "platform/platform.h"

namespace {

const char staticEmptyText[1] = {0};

// Blocks are sized in multiples of 8 and grow to exactly the need.
std::int32_t BlockSize(std::int64_t need) {
    if (need < 0) need = 0;
    return static_cast<std::int32_t>((need + 7) & ~std::int64_t{7});
}

std::int32_t AtLeastZero(std::int32_t value) { return value < 0 ? 0 : value; }

// Left uninitialised: every user fills or clears it right away, and a
// cleared 1 MiB block before a 1 MiB copy would double the work.
char* NewBlock(std::int32_t size) { return new char[size]; }

}  // namespace

MOLV_INIT_ORDER(1003) StringBuffer emptyString(staticEmptyText, -1, 2);

bool IsReadableText(const char* text) { return platform::ReadableTextLength(text) >= 0; }

TextSpan HostText(const char* text) {
    const std::int32_t length = platform::ReadableTextLength(text);
    return length < 0 ? TextSpan{staticEmptyText, 0} : TextSpan{text, length};
}

namespace {

// An outside text, measured here or with a length its caller vouches for;
// then every one of those bytes must be readable.
TextSpan OutsideText(const char* text, std::int32_t length) {
    if (length < 0) return HostText(text);
    const std::uintptr_t probed = length > 0 ? static_cast<std::uintptr_t>(length) : 1;
    if (text == nullptr || platform::IsBadReadPtr(text, probed) != 0) return TextSpan{staticEmptyText, 0};
    return TextSpan{text, length};
}

}  // namespace

// ---- RCObject ----

RCObject::RCObject() : referenceCount(0), shareable(1) {}

RCObject::RCObject(const RCObject&) : referenceCount(0), shareable(1) {}

RCObject::~RCObject() = default;

void RCObject::IncRef() { referenceCount.fetch_add(1, std::memory_order_relaxed); }

void RCObject::DecRef() {
    // The thread that drops the last reference sees every write made
    // through the others before it frees the representation.
    if (referenceCount.fetch_sub(1, std::memory_order_acq_rel) <= 1) delete this;
}

// ---- StringBuffer_rep ----

StringBuffer::StringBuffer_rep::StringBuffer_rep(std::int32_t capacityWanted)
    : length(0),
      capacity(BlockSize(std::int64_t{AtLeastZero(capacityWanted)} + 1)),
      chars(NewBlock(capacity)) {
    std::memset(chars, 0, capacity);
}

StringBuffer::StringBuffer_rep::StringBuffer_rep(const char* text, std::int32_t textLength,
                                                 std::int32_t extra)
    : StringBuffer_rep(OutsideText(text, textLength), extra) {}

StringBuffer::StringBuffer_rep::StringBuffer_rep(ReadableText readable, std::int32_t textLength,
                                                 std::int32_t extra)
    : StringBuffer_rep(TextSpan{readable.text, textLength < 0 ? platform::lstrlenA(readable.text) : textLength},
                       extra) {}

// The text is measured before the first block is sized, so the block is
// allocated once at its final size.
StringBuffer::StringBuffer_rep::StringBuffer_rep(TextSpan text, std::int32_t extra)
    : length(0),
      capacity(BlockSize(std::int64_t{text.length} + AtLeastZero(extra) + 1)),
      chars(NewBlock(capacity)) {
    Fill(text.text, text.length, extra);
}

StringBuffer::StringBuffer_rep::StringBuffer_rep(StringBuffer_rep& source)
    : RCObject(), length(0), capacity(source.capacity), chars(NewBlock(source.capacity)) {
    std::memcpy(chars, source.chars, capacity);
    source.Resync();
    SetContents(source.chars, source.length, source.capacity - source.length - 1);
}

StringBuffer::StringBuffer_rep::~StringBuffer_rep() { delete[] chars; }

void StringBuffer::StringBuffer_rep::SetContents(const char* text, std::int32_t textLength,
                                                 std::int32_t extra) {
    const TextSpan span = OutsideText(text, textLength);
    Fill(span.text, span.length, extra);
}

void StringBuffer::StringBuffer_rep::Fill(const char* text, std::int32_t textLength,
                                          std::int32_t extra) {
    const std::int64_t need = std::int64_t{textLength} + AtLeastZero(extra) + 1;
    if (need > capacity) Grow(BlockSize(need));
    length = textLength;
    std::memcpy(chars, text, textLength);
    std::memset(chars + length, 0, capacity - length);
}

void StringBuffer::StringBuffer_rep::Reserve(std::int32_t n) {
    if (capacity <= n) Grow(BlockSize(std::int64_t{n} + 1));
    std::memset(chars + length, 0, capacity - length);
}

// The whole old block moves into the new one, then the old one is freed.
void StringBuffer::StringBuffer_rep::Grow(std::int32_t newCapacity) {
    char* block = NewBlock(newCapacity);
    std::memcpy(block, chars, capacity);
    delete[] chars;
    chars = block;
    capacity = newCapacity;
}

void StringBuffer::StringBuffer_rep::Resync() {
    length = platform::lstrlenA(chars);
    shareable = 1;
}

// ---- StringBuffer ----

StringBuffer::StringBuffer(std::int32_t capacity) : rep(new StringBuffer_rep(capacity)) {
    AttachRep();
}

StringBuffer::StringBuffer(const char* text, std::int32_t length, std::int32_t extra)
    : rep(new StringBuffer_rep(text, length, extra)) {
    AttachRep();
}

StringBuffer::StringBuffer(ReadableText text, std::int32_t length)
    : rep(new StringBuffer_rep(text, length, 2)) {
    AttachRep();
}

StringBuffer::StringBuffer(const StringBuffer& other) : rep(other.rep) { AttachRep(); }

StringBuffer& StringBuffer::operator=(const StringBuffer& other) {
    if (this == &other || rep == other.rep) return *this;
    if (rep != nullptr) rep->DecRef();
    rep = other.rep;
    AttachRep();
    return *this;
}

StringBuffer::~StringBuffer() {
    if (rep != nullptr) rep->DecRef();
}

// A rep that is not shareable may have been written to directly; each new
// holder then gets a private copy instead of a reference.
void StringBuffer::AttachRep() {
    if (rep == nullptr) return;
    if (rep->shareable == 0) rep = new StringBuffer_rep(*rep);
    rep->IncRef();
}

void StringBuffer::ResyncIfNeeded() {
    if (rep->shareable == 0) rep->Resync();
}

void StringBuffer::MakeUnique() {
    if (rep->referenceCount <= 1) return;
    StringBuffer_rep* own = new StringBuffer_rep(ReadableText{rep->chars}, -1, 2);
    rep->DecRef();
    rep = own;
    rep->IncRef();
}

void StringBuffer::Assign(const char* text, std::int32_t start, std::int32_t count) {
    ResyncIfNeeded();
    MakeUnique();
    // Only the first byte is cleared: Append's Reserve clears the rest.
    rep->length = 0;
    rep->chars[0] = 0;
    Append(text, start, count);
}

StringBuffer& StringBuffer::Append(const char* text, std::int32_t start, std::int32_t count) {
    const std::int32_t n = HostText(text).length;
    if (start >= n || start < 0) return *this;
    ResyncIfNeeded();
    MakeUnique();
    if (count < 0 || count > n) count = n;
    if (std::int64_t{start} + count > n) count = n - start;
    rep->Reserve(rep->length + count);
    std::memcpy(rep->chars + rep->length, text + start, count);
    rep->length += count;
    rep->chars[rep->length] = 0;
    return *this;
}

StringBuffer& StringBuffer::AppendChar(char c) {
    if (c == 0) return *this;
    ResyncIfNeeded();
    MakeUnique();
    rep->Reserve(rep->length + 1);
    rep->chars[rep->length++] = c;
    rep->chars[rep->length] = 0;
    return *this;
}

StringBuffer& StringBuffer::AppendNumber(std::uint32_t value) {
    char digits[32];
    platform::wsprintfA(digits, "%-lu", value);
    return Append(digits, 0, -1);
}

void StringBuffer::CopyIn(TextSpan span) {
    const auto block = reinterpret_cast<std::uintptr_t>(rep->chars);
    const auto from = reinterpret_cast<std::uintptr_t>(span.text);
    const bool fromOwnBlock = from >= block && from - block < static_cast<std::uintptr_t>(rep->capacity);
    if (rep->referenceCount > 1 || fromOwnBlock || span.length >= rep->capacity) {
        *this = StringBuffer(ReadableText{span.text}, span.length);
        return;
    }
    std::memcpy(rep->chars, span.text, span.length);
    rep->length = span.length;
    rep->chars[span.length] = 0;
}

std::int32_t StringBuffer::GetLength() {
    ResyncIfNeeded();
    return rep->length;
}

StringBuffer StringBuffer::Mid(std::int32_t start, std::int32_t count) {
    ResyncIfNeeded();
    if (start < 0) {
        start = 0;
    } else if (start >= rep->length) {
        return emptyString;
    }
    if (count < 0) count = rep->length;
    if (std::int64_t{start} + count > rep->length) count = rep->length - start;
    return StringBuffer(ReadableText{rep->chars + start}, count);
}
