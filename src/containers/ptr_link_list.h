// PtrLinkList: a singly linked list of pointers it does not own, with one
// forward cursor; LinkList<T,N> types its items and offers the operations
// through its virtual table. Failures leave the list unchanged and answer -1
// (Add, Remove, RemoveAt, IndexOf) or null (GetAt, Next).
#pragma once

#include <cstdint>

struct PtrLinkNode {
    PtrLinkNode* next;
    void* item;
};

class PtrLinkList {
public:
    std::int32_t Add(void* item, std::int32_t position);
    std::int32_t Remove(void* item);
    std::int32_t IndexOf(void* item) const;
    void* GetAt(std::int32_t index) const;
    std::int32_t Rewind(std::int32_t n);
    void* Next();

    PtrLinkNode* head;
    PtrLinkNode* tail;
    PtrLinkNode* cursor;
    std::int32_t count;

protected:
    PtrLinkList();
    PtrLinkList(const PtrLinkList&) = delete;
    PtrLinkList& operator=(const PtrLinkList&) = delete;
    virtual ~PtrLinkList() = 0;
};

template <typename T, int N>
class LinkList : public PtrLinkList {
public:
    LinkList() = default;
    ~LinkList() override = default;

    virtual std::int32_t Add(T* item, std::int32_t position) {
        return PtrLinkList::Add(item, position);
    }
    // Removes the first node holding the same pointer as the node at index.
    virtual std::int32_t RemoveAt(std::int32_t index) {
        T* item = GetAt(index);
        return item == nullptr ? -1 : PtrLinkList::Remove(item);
    }
    virtual std::int32_t Remove(T* item) {
        return PtrLinkList::IndexOf(item) < 0 ? -1 : PtrLinkList::Remove(item);
    }
    virtual std::int32_t IndexOf(T* item) { return PtrLinkList::IndexOf(item); }
    virtual T* GetAt(std::int32_t index) { return static_cast<T*>(PtrLinkList::GetAt(index)); }
    virtual std::int32_t Rewind(std::int32_t n) { return PtrLinkList::Rewind(n); }
    virtual T* Next() { return static_cast<T*>(PtrLinkList::Next()); }
};
