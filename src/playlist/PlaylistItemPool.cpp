#include "playlist/PlaylistItemPool.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <new>

// Under AddressSanitizer a slot is poisoned while no entry lives in it, so a use after free
// is still caught inside the pool; the blocks are roots for the leak checker, which does not
// look into memory mapped by the program (the entries' texts live on the heap).
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#define POISON_SLOTS(at, bytes) ASAN_POISON_MEMORY_REGION(at, bytes)
#define UNPOISON_SLOTS(at, bytes) ASAN_UNPOISON_MEMORY_REGION(at, bytes)
#define LEAK_ROOT(at, bytes) __lsan_register_root_region(at, bytes)
#define NO_LEAK_ROOT(at, bytes) __lsan_unregister_root_region(at, bytes)
#else
#define POISON_SLOTS(at, bytes) ((void)(at), (void)(bytes))
#define UNPOISON_SLOTS(at, bytes) ((void)(at), (void)(bytes))
#define LEAK_ROOT(at, bytes) ((void)(at), (void)(bytes))
#define NO_LEAK_ROOT(at, bytes) ((void)(at), (void)(bytes))
#endif

namespace {

constexpr std::size_t kBlockBytes = std::size_t(2) << 20;
constexpr std::size_t kSlotBytes = (sizeof(TPlayListBoxItem) + alignof(std::max_align_t) - 1) /
                                   alignof(std::max_align_t) * alignof(std::max_align_t);

struct TFreeSlot {
  TFreeSlot* Next;
};

// At the start of every block, which is aligned to its size: a slot finds its block by
// cutting its address down.
struct TBlock {
  std::size_t Live = 0;      // slots handed out and not released
  std::size_t Unused = 0;    // slots never handed out, at the end of the block
  TFreeSlot* Free = nullptr;  // released slots
  TBlock* Prev = nullptr;     // in the list of blocks with room
  TBlock* Next = nullptr;
  bool Listed = false;
};
constexpr std::size_t kFirstSlot = (sizeof(TBlock) + kSlotBytes - 1) / kSlotBytes * kSlotBytes;
constexpr std::size_t kSlotsPerBlock = (kBlockBytes - kFirstSlot) / kSlotBytes;

std::mutex g_lock;
TBlock* g_withRoom = nullptr;

TBlock* BlockOf(void* slot) {
  return reinterpret_cast<TBlock*>(reinterpret_cast<std::uintptr_t>(slot) & ~(kBlockBytes - 1));
}

void List(TBlock* block) {
  block->Prev = nullptr;
  block->Next = g_withRoom;
  if (g_withRoom) g_withRoom->Prev = block;
  g_withRoom = block;
  block->Listed = true;
}

void Unlist(TBlock* block) {
  if (block->Prev) block->Prev->Next = block->Next;
  else g_withRoom = block->Next;
  if (block->Next) block->Next->Prev = block->Prev;
  block->Listed = false;
}

// A block aligned to its own size: twice the size mapped, the parts outside given back.
TBlock* NewBlock() {
  void* mapped = ::mmap(nullptr, 2 * kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const auto aligned = (start + kBlockBytes - 1) & ~(kBlockBytes - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  const std::uintptr_t tail = aligned + kBlockBytes;
  if (start + 2 * kBlockBytes > tail) ::munmap(reinterpret_cast<void*>(tail), start + 2 * kBlockBytes - tail);
#ifdef MADV_HUGEPAGE
  ::madvise(reinterpret_cast<void*>(aligned), kBlockBytes, MADV_HUGEPAGE);
#endif
  auto* block = new (reinterpret_cast<void*>(aligned)) TBlock;
  block->Unused = kSlotsPerBlock;
  POISON_SLOTS(reinterpret_cast<char*>(block) + kFirstSlot, kSlotsPerBlock * kSlotBytes);
  LEAK_ROOT(block, kBlockBytes);
  return block;
}

void* TakeSlot() {
  std::lock_guard<std::mutex> hold(g_lock);
  TBlock* block = g_withRoom;
  if (!block) {
    block = NewBlock();
    List(block);
  }
  void* slot;
  if (block->Free) {
    slot = block->Free;
    UNPOISON_SLOTS(slot, kSlotBytes);
    block->Free = block->Free->Next;
  } else {
    slot = reinterpret_cast<char*>(block) + kFirstSlot + (kSlotsPerBlock - block->Unused) * kSlotBytes;
    UNPOISON_SLOTS(slot, kSlotBytes);
    --block->Unused;
  }
  ++block->Live;
  if (!block->Free && block->Unused == 0) Unlist(block);
  return slot;
}

void GiveSlot(void* slot) {
  std::lock_guard<std::mutex> hold(g_lock);
  TBlock* block = BlockOf(slot);
  auto* free = static_cast<TFreeSlot*>(slot);
  free->Next = block->Free;
  block->Free = free;
  POISON_SLOTS(slot, kSlotBytes);
  --block->Live;
  if (block->Live == 0 && (block->Listed ? g_withRoom != block || block->Next : g_withRoom != nullptr)) {
    // Empty, and another block has room: the memory goes back to the system.
    if (block->Listed) Unlist(block);
    block->~TBlock();
    NO_LEAK_ROOT(block, kBlockBytes);
    UNPOISON_SLOTS(block, kBlockBytes);
    ::munmap(block, kBlockBytes);
    return;
  }
  if (!block->Listed) List(block);
}

}  // namespace

void TPlaylistItemDeleter::operator()(TPlayListBoxItem* item) const {
  item->~TPlayListBoxItem();
  GiveSlot(item);
}

TPlaylistItemPointer MakePlaylistItem(TPlayListBoxItem&& item) {
  void* slot = TakeSlot();
  try {
    return TPlaylistItemPointer(new (slot) TPlayListBoxItem(std::move(item)));
  } catch (...) {
    GiveSlot(slot);
    throw;
  }
}
