// The pointer list's walks. The list owns its nodes, never its items.
#include "containers/ptr_link_list.h"

PtrLinkList::PtrLinkList() : head(nullptr), tail(nullptr), cursor(nullptr), count(0) {}

PtrLinkList::~PtrLinkList() {
    for (PtrLinkNode* node = head; node != nullptr;) {
        PtrLinkNode* following = node->next;
        delete node;
        node = following;
    }
}

std::int32_t PtrLinkList::Add(void* item, std::int32_t position) {
    if (item == nullptr || position > count) return -1;
    PtrLinkNode* node = new PtrLinkNode{nullptr, item};
    if (head == nullptr) {
        head = tail = node;
    } else if (position < 0) {
        tail->next = node;
        tail = node;
    } else if (position == 0) {
        node->next = head;
        head = node;
    } else {
        PtrLinkNode* before = head;
        for (std::int32_t step = 1; step < position; ++step) before = before->next;
        node->next = before->next;
        before->next = node;
        if (node->next == nullptr) tail = node;
    }
    return ++count;
}

std::int32_t PtrLinkList::Remove(void* item) {
    if (item == nullptr || count <= 0) return -1;
    PtrLinkNode* removed = head;
    PtrLinkNode* before = nullptr;
    while (removed != nullptr && removed->item != item) {
        before = removed;
        removed = removed->next;
    }
    if (removed == nullptr) return -1;
    (before == nullptr ? head : before->next) = removed->next;
    if (removed == tail) tail = before;
    // A cursor standing on the removed node moves on to its successor, so it
    // never refers to freed memory.
    if (cursor == removed) cursor = removed->next;
    delete removed;
    return --count;
}

std::int32_t PtrLinkList::IndexOf(void* item) const {
    std::int32_t index = 0;
    for (const PtrLinkNode* node = head; node != nullptr; node = node->next, ++index) {
        if (node->item == item) return index;
    }
    return -1;
}

void* PtrLinkList::GetAt(std::int32_t index) const {
    if (count <= 0 || index >= count) return nullptr;
    if (index < 0) return tail->item;
    const PtrLinkNode* node = head;
    while (index-- > 0) node = node->next;
    return node->item;
}

std::int32_t PtrLinkList::Rewind(std::int32_t n) {
    cursor = head;
    if (n <= 0) return count;
    for (std::int32_t step = 0; step < n && cursor != nullptr; ++step) Next();
    return count - n;
}

void* PtrLinkList::Next() {
    if (cursor == nullptr) return nullptr;
    void* item = cursor->item;
    cursor = cursor->next;
    return item;
}
