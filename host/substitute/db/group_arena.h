// Storage for the group lists of a drawing read from a file, and for the
// texts of its groups too long to be kept inside them. Reading makes a
// group list for every record; taking each from the general heap cost a
// third of the reading time and a fresh page fault per page. Here they come
// from blocks of 2 MB, filled one after the other and given back in one step
// with the drawing.
//
// Group lists (group_list.h) take their storage like this: while a
// GroupArena::Scope is open on the thread, new storage comes from its arena,
// otherwise from the heap. Storage is given back to the heap only if it came
// from there; arena storage stays until its arena goes. So a group list
// taken from an arena must not outlive the arena's drawing: the reader opens
// a scope only while it makes the lists of the records it stores in that
// drawing, and a copy of a list made later takes heap storage.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace host {

class GroupArena {
public:
    GroupArena() = default;
    GroupArena(const GroupArena&) = delete;
    GroupArena& operator=(const GroupArena&) = delete;
    ~GroupArena();

    // Storage for `bytes` (aligned to 16), or null when the arena cannot
    // give it (too big for a block, or no address space): the caller then
    // takes heap storage.
    void* allocate(std::size_t bytes);
    // A zero-terminated copy of a group's text, unaligned (so a text takes no
    // more than its bytes); null as for allocate. Texts are never changed in
    // place, so a short text met again (subclass markers, application names,
    // layer names repeated on every record) shares the copy made before.
    const char* copyText(const char* text, std::size_t length);
    // True for storage of any arena.
    static bool owns(const void* p);
    std::size_t blockCount() const { return blocks_.size(); }

    // Makes `arena` the source of new group lists on this thread for its lifetime.
    class Scope {
    public:
        explicit Scope(GroupArena& arena);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        GroupArena* previous_;
    };
    static GroupArena* current();

private:
    struct SharedText {
        const char* text = nullptr;
        std::size_t length = 0;
    };
    std::vector<SharedText> shared_;  // recent short texts, by hash
    std::vector<char*> blocks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
};

}  // namespace host
