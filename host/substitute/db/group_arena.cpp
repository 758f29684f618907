#include "db/group_arena.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace host {

namespace {

// Blocks of 2 MB, aligned to 2 MB, so that each can be one huge page: the
// first writes to fresh memory are what reading a drawing spends most time
// on, and a huge page takes one fault and one clearing instead of 512.
constexpr std::size_t kBlock = std::size_t{2} << 20;
// Address space reserved once for every arena's blocks: storage is an
// arena's exactly when it lies in this range, which makes the test of every
// release two comparisons. Nothing is committed until a block is taken.
constexpr std::size_t kReserved = std::size_t{1} << 36;  // 64 GB of addresses

std::atomic<const char*> reservedBase{nullptr};  // set once the range is reserved

struct Region {
    char* base = nullptr;
    std::size_t used = 0;          // blocks handed out so far, from the base
    std::vector<char*> free;       // blocks given back, to be taken again
    std::mutex lock;

    Region() {
        // One block more than needed, to start on a block boundary.
        void* p = ::mmap(nullptr, kReserved + kBlock, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p != MAP_FAILED) {
            auto at = (reinterpret_cast<std::uintptr_t>(p) + kBlock - 1) & ~std::uintptr_t{kBlock - 1};
            base = reinterpret_cast<char*>(at);
            reservedBase.store(base, std::memory_order_release);
        }
    }

    // A block of fresh zero pages, faulted in at once (as a huge page where
    // the system gives one); null when none is left.
    char* take() {
        if (!base) return nullptr;
        char* block = nullptr;
        {
            std::lock_guard<std::mutex> hold(lock);
            if (!free.empty()) {
                block = free.back();
                free.pop_back();
            } else if (used + kBlock <= kReserved) {
                block = base + used;
                used += kBlock;
            }
        }
        if (!block) return nullptr;
        void* p = ::mmap(block, kBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (p == MAP_FAILED) {
            give(block);
            return nullptr;
        }
#ifdef MADV_HUGEPAGE
        ::madvise(block, kBlock, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
        if (::madvise(block, kBlock, MADV_POPULATE_WRITE) == 0) return block;
#endif
        // Without the advice (older systems), one write per page faults it in.
        for (std::size_t at = 0; at < kBlock; at += 4096) block[at] = 0;
        return block;
    }

    // `count` blocks one after the other, mapped without their pages: each
    // page (a huge one where the system gives it) comes when it is first
    // written. Addresses given back are used again where enough of them lie
    // together; null when no range that long is left.
    char* takeRange(std::size_t count) {
        if (!base || count == 0) return nullptr;
        char* range = nullptr;
        {
            std::lock_guard<std::mutex> hold(lock);
            std::sort(free.begin(), free.end());
            for (std::size_t first = 0, i = 0; i < free.size(); ++i) {
                if (i > first && free[i] != free[i - 1] + kBlock) first = i;
                if (i + 1 - first == count) {
                    range = free[first];
                    free.erase(free.begin() + static_cast<std::ptrdiff_t>(first),
                               free.begin() + static_cast<std::ptrdiff_t>(i + 1));
                    break;
                }
            }
            if (!range && count <= (kReserved - used) / kBlock) {
                range = base + used;
                used += count * kBlock;
            }
        }
        if (!range) return nullptr;
        const std::size_t bytes = count * kBlock;
        void* p = ::mmap(range, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_NORESERVE,
                         -1, 0);
        if (p == MAP_FAILED) {
            giveRange(range, count);
            return nullptr;
        }
#ifdef MADV_HUGEPAGE
        ::madvise(range, bytes, MADV_HUGEPAGE);
#endif
        return range;
    }

    // Gives back `count` blocks from `range` in one step.
    void giveRange(char* range, std::size_t count) {
        if (count == 0) return;
        ::mmap(range, count * kBlock, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_NORESERVE, -1, 0);
        std::lock_guard<std::mutex> hold(lock);
        for (std::size_t i = 0; i < count; ++i) free.push_back(range + i * kBlock);
    }

    // Drops a block's pages and keeps its addresses for the next one.
    void give(char* block) {
        ::mmap(block, kBlock, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_NORESERVE, -1, 0);
        std::lock_guard<std::mutex> hold(lock);
        free.push_back(block);
    }
};

Region& region() {
    static Region* r = new Region;  // never destroyed: arenas may outlive static destruction
    return *r;
}

thread_local GroupArena* currentArena = nullptr;

}  // namespace

// Takes blocks from the region on its own thread and keeps a few ready for
// the arena's owner. The owner never waits for it: when none is ready it
// takes a block itself, as it would without a preparer.
class GroupArena::Preparer {
public:
    explicit Preparer(std::size_t budget) : budget_(budget), thread_([this] { run(); }) {}

    ~Preparer() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
        for (char* block : ready_) region().give(block);
    }

    Preparer(const Preparer&) = delete;
    Preparer& operator=(const Preparer&) = delete;

    // A prepared block, or null when none is ready yet. Either way one more
    // block of the budget is used: the caller takes its own when given none.
    char* pop() {
        char* block = nullptr;
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (!ready_.empty()) {
                block = ready_.front();
                ready_.pop_front();
            } else {
                ++made_;
            }
        }
        wake_.notify_one();
        return block;
    }

private:
    // Blocks kept ready: enough that the reader does not catch up with the
    // clearing even where fresh memory is slow and the thread gets the other
    // core only in turns with a second reader (with 3 the reader cleared up
    // to 9 blocks of 45 itself, with 8 one), few enough that those not taken
    // at the end cost little.
    static constexpr std::size_t kAhead = 8;

    void run() {
        std::unique_lock<std::mutex> hold(lock_);
        while (true) {
            wake_.wait(hold, [this] { return stop_ || (ready_.size() < kAhead && made_ < budget_); });
            if (stop_) return;
            ++made_;
            hold.unlock();
            char* block = region().take();
            hold.lock();
            if (!block) return;  // no address space left: the owner finds out itself
            ready_.push_back(block);
        }
    }

    const std::size_t budget_;  // blocks to prepare at most, counting those the owner took itself
    std::size_t made_ = 0;
    bool stop_ = false;
    std::deque<char*> ready_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::thread thread_;  // last: it starts once the members above exist
};

GroupArena::Preparation::Preparation(GroupArena& arena, std::size_t expectedBytes) : arena_(arena) {
    if (arena_.preparer_) return;  // an outer preparation goes on
    std::size_t blocks = (expectedBytes + kBlock - 1) / kBlock;
    if (blocks < 2 || !region().base) return;  // too small to gain from it, or no arena memory
    try {
        arena_.preparer_ = std::make_unique<Preparer>(blocks);
        started_ = true;
    } catch (const std::system_error&) {
        // No thread to be had: the reader clears its own blocks.
    }
}

GroupArena::Preparation::~Preparation() {
    if (started_) arena_.preparer_.reset();
}

GroupArena::GroupArena() = default;

GroupArena::~GroupArena() {
    preparer_.reset();
    for (char* block : blocks_) region().give(block);
}

void GroupArena::adopt(GroupArena& other) {
    blocks_.insert(blocks_.end(), other.blocks_.begin(), other.blocks_.end());
    other.blocks_.clear();
    other.shared_.clear();
    other.next_ = other.end_ = nullptr;
}

char* GroupArena::reserveRun(std::size_t bytes) { return region().takeRange((bytes + kBlock - 1) / kBlock); }

void GroupArena::keepRun(char* run, std::size_t bytes, std::size_t kept) {
    const std::size_t blocks = (bytes + kBlock - 1) / kBlock;
    const std::size_t keptBlocks = std::min(blocks, (kept + kBlock - 1) / kBlock);
    for (std::size_t i = 0; i < keptBlocks; ++i) blocks_.push_back(run + i * kBlock);
    region().giveRange(run + keptBlocks * kBlock, blocks - keptBlocks);
}

char* GroupArena::takeBlock() {
    if (preparer_)
        if (char* block = preparer_->pop()) return block;
    return region().take();
}

void* GroupArena::allocate(std::size_t bytes) {
    bytes = (bytes + 15) & ~std::size_t{15};
    if (bytes > kBlock / 4) return nullptr;  // a large list goes to the heap
    // Texts leave the next free byte unaligned; lists start on 16 bytes.
    next_ = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(next_) + 15) & ~std::uintptr_t{15});
    if (static_cast<std::size_t>(end_ - next_) < bytes) {
        char* block = takeBlock();
        if (!block) return nullptr;
        blocks_.push_back(block);
        next_ = block;
        end_ = block + kBlock;
    }
    void* p = next_;
    next_ += bytes;
    return p;
}

const char* GroupArena::copyText(const char* text, std::size_t length) {
    constexpr std::size_t kShareable = 64;  // longer texts are seldom repeated
    constexpr std::size_t kSlots = 1024;
    SharedText* slot = nullptr;
    if (length <= kShareable) {
        std::uint32_t h = 2166136261u;
        for (std::size_t i = 0; i < length; ++i) h = (h ^ static_cast<unsigned char>(text[i])) * 16777619u;
        if (shared_.empty()) shared_.resize(kSlots);
        slot = &shared_[h & (kSlots - 1)];
        if (slot->text && slot->length == length && std::memcmp(slot->text, text, length) == 0) return slot->text;
    }
    std::size_t bytes = length + 1;
    if (bytes > kBlock / 4) return nullptr;
    char* p = next_;
    if (static_cast<std::size_t>(end_ - next_) < bytes) {
        p = static_cast<char*>(allocate(bytes));
        if (!p) return nullptr;
    }
    next_ = p + bytes;
    std::memcpy(p, text, length);
    p[length] = '\0';
    if (slot) *slot = SharedText{p, length};
    return p;
}

bool GroupArena::owns(const void* p) {
    const char* base = reservedBase.load(std::memory_order_acquire);
    const char* c = static_cast<const char*>(p);
    return base != nullptr && c >= base && c < base + kReserved;
}

GroupArena::Scope::Scope(GroupArena& arena) : previous_(currentArena) { currentArena = &arena; }
GroupArena::Scope::~Scope() { currentArena = previous_; }

GroupArena* GroupArena::current() { return currentArena; }

}  // namespace host
