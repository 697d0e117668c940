// StringBuffer: the module's one string type, a zero-terminated 8-bit text in
// a reference-counted representation shared by copies and unshared before a
// change (copy on write). Bad input is no error: a null or unreadable text
// counts as empty, out-of-range positions are clipped. The one failure is
// memory: a representation that cannot be allocated throws std::bad_alloc,
// which the exports catch.
#pragma once

#include <atomic>
#include <cstdint>

// Base of anything counted. Copying one never takes over the count or flag.
// The count is atomic: a representation may be held by strings of several
// threads at once (the shared empty string, the library's version text).
class RCObject {
public:
    void IncRef();
    void DecRef();

    std::atomic<std::int32_t> referenceCount;
    std::int32_t shareable;

protected:
    RCObject();
    RCObject(const RCObject&);
    RCObject& operator=(const RCObject&) = delete;
    virtual ~RCObject() = 0;
};

// A text known to be readable (the module's own memory), taken without the
// probe an outside text gets.
struct ReadableText {
    const char* text;
};

// `length` readable bytes: a text the module only reads, wherever it lives,
// without a copy. Spans made by HostText are also zero-terminated.
struct TextSpan {
    const char* text;
    std::int32_t length;
};

class StringBuffer {
public:
    struct StringBuffer_rep : RCObject {
        explicit StringBuffer_rep(std::int32_t capacity);
        StringBuffer_rep(const char* text, std::int32_t length, std::int32_t extra);
        StringBuffer_rep(ReadableText text, std::int32_t length, std::int32_t extra);
        StringBuffer_rep(TextSpan text, std::int32_t extra);
        explicit StringBuffer_rep(StringBuffer_rep& source);
        ~StringBuffer_rep() override;

        void SetContents(const char* text, std::int32_t length, std::int32_t extra);
        void Reserve(std::int32_t n);
        void Resync();

        std::int32_t length;
        std::int32_t capacity;
        char* chars;

    private:
        void Fill(const char* text, std::int32_t length, std::int32_t extra);
        void Grow(std::int32_t need);
    };

    explicit StringBuffer(std::int32_t capacity);
    StringBuffer(const char* text, std::int32_t length = -1, std::int32_t extra = 2);
    StringBuffer(const StringBuffer& other);
    StringBuffer& operator=(const StringBuffer& other);
    virtual ~StringBuffer();

    virtual void Assign(const char* text, std::int32_t start, std::int32_t count);
    StringBuffer& Append(const char* text, std::int32_t start, std::int32_t count);
    StringBuffer& AppendChar(char c);
    StringBuffer& AppendNumber(std::uint32_t value);
    // Replaces the text with a readable span, in this string's own block when
    // nobody shares it and it is large enough, so a string that is refilled
    // at every call allocates only when it grows. A span from inside that
    // block, or a shared block, gets a new representation.
    void CopyIn(TextSpan span);

    std::int32_t GetLength();
    const char* GetText() const { return rep->chars; }
    StringBuffer Mid(std::int32_t start, std::int32_t count);
    void MakeUnique();

    // Comparison and search that step over double-byte characters.
    std::int32_t Compare(const char* other, std::int32_t caseSensitive, std::int32_t count);
    std::int32_t Compare(const StringBuffer& other, std::int32_t caseSensitive, std::int32_t count);
    std::int32_t Find(char c);

    // The representation, for tests.
    const StringBuffer_rep* Rep() const { return rep; }

private:
    StringBuffer(ReadableText text, std::int32_t length);
    void AttachRep();
    void ResyncIfNeeded();
    std::int32_t CompareReadable(const char* other, std::int32_t caseSensitive, std::int32_t count);

    StringBuffer_rep* rep;
};

// A text pointer from outside the module is used only when it is not null and
// every byte up to its terminator can be read; otherwise the static empty
// text stands in.
bool IsReadableText(const char* text);
// An outside text probed and measured in one pass; a null or unreadable
// pointer, or a text that runs into unreadable memory, gives the empty text.
TextSpan HostText(const char* text);

// The shared empty string handed out wherever there is nothing to give.
extern StringBuffer emptyString;
