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
#include <memory>
#include <new>
#include <vector>

namespace host {

class GroupArena {
public:
    GroupArena();
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
    // Contiguous storage of `bytes`, for an array that must not move while
    // it grows (records a drawing's store takes over where they stand); null
    // when no address range that long is free. Its pages come as they are
    // first written, huge ones where the system gives them. It is not the
    // arena's until keepRun says how much of it stays.
    char* reserveRun(std::size_t bytes);
    // Of a run taken with reserveRun(bytes), the first `kept` bytes become
    // this arena's storage; the rest is given back now.
    void keepRun(char* run, std::size_t bytes, std::size_t kept);
    // Takes over the blocks of `other` (filled on another thread), which
    // keeps none: what was stored there now lives as long as this arena.
    void adopt(GroupArena& other);

    // While a large drawing is read, its blocks are made ready on another
    // thread: faulting in and clearing fresh memory is a quarter of the
    // reading time, and a second core can do it ahead of the reader. At most
    // `expectedBytes` are prepared, a few blocks ahead of what is taken.
    // A drawing read without it takes its blocks itself, as before.
    class Preparation {
    public:
        Preparation(GroupArena& arena, std::size_t expectedBytes);
        // Stops the thread; blocks it made ready and nobody took are given back.
        ~Preparation();
        Preparation(const Preparation&) = delete;
        Preparation& operator=(const Preparation&) = delete;

    private:
        GroupArena& arena_;
        bool started_ = false;
    };

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
    class Preparer;
    char* takeBlock();

    struct SharedText {
        const char* text = nullptr;
        std::size_t length = 0;
    };
    std::vector<SharedText> shared_;  // recent short texts, by hash
    std::vector<char*> blocks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::unique_ptr<Preparer> preparer_;  // only while a Preparation is open
};

}  // namespace host
