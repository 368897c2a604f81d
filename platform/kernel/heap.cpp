// Heaps that know their live blocks, and the global/local memory calls built on the process heap.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "win32/kernel.h"

namespace {

struct Heap {
    std::mutex lock;
    std::unordered_map<void *, SIZE_T> blocks; // live block -> requested size
    SIZE_T maximum = 0;                         // 0: growable
    SIZE_T used = 0;
};

std::mutex g_heapsLock;

std::unordered_set<Heap *> &Heaps()
{
    static auto *heaps = new std::unordered_set<Heap *>; // outlives static destructors run at exit
    return *heaps;
}

Heap *TheProcessHeap()
{
    static Heap *heap = [] {
        auto *h = new Heap;
        std::lock_guard<std::mutex> lock(g_heapsLock);
        Heaps().insert(h);
        return h;
    }();
    return heap;
}

Heap *FindHeap(HANDLE handle)
{
    TheProcessHeap();
    std::lock_guard<std::mutex> lock(g_heapsLock);
    auto *heap = static_cast<Heap *>(handle);
    return Heaps().count(heap) ? heap : nullptr;
}

void *Allocate(Heap &heap, DWORD flags, SIZE_T bytes)
{
    std::lock_guard<std::mutex> lock(heap.lock);
    if (heap.maximum && (bytes > heap.maximum || heap.used > heap.maximum - bytes)) return nullptr;
    // A zero-byte block is still a distinct live block.
    void *p = (flags & HEAP_ZERO_MEMORY) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (!p) return nullptr;
    heap.blocks.emplace(p, bytes);
    heap.used += bytes;
    return p;
}

// A moveable global block: the handle stays, the data may be locked to a pointer.
struct Moveable {
    void *data = nullptr;
    SIZE_T size = 0;
    UINT locks = 0;
};

std::mutex g_moveableLock;

std::unordered_map<HGLOBAL, std::unique_ptr<Moveable>> &Moveables()
{
    static auto *table = new std::unordered_map<HGLOBAL, std::unique_ptr<Moveable>>;
    return *table;
}

// The moveable record of `mem`, or null when `mem` is not a moveable handle. Caller holds g_moveableLock.
Moveable *FindMoveable(HGLOBAL mem)
{
    auto it = Moveables().find(mem);
    return it == Moveables().end() ? nullptr : it->second.get();
}

} // namespace

extern "C" {

// One heap per process, never destroyed.
HANDLE WINAPI GetProcessHeap() { return TheProcessHeap(); }

// A private heap; a non-zero maximum caps the bytes it can hold at once.
HANDLE WINAPI HeapCreate(DWORD options, SIZE_T initial, SIZE_T maximum)
{
    auto *heap = new Heap;
    heap->maximum = maximum;
    std::lock_guard<std::mutex> lock(g_heapsLock);
    Heaps().insert(heap);
    return heap;
}

// Frees every block the heap still holds; the process heap cannot be destroyed.
BOOL WINAPI HeapDestroy(HANDLE handle)
{
    Heap *heap = FindHeap(handle);
    if (!heap || heap == TheProcessHeap()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> lock(g_heapsLock);
        Heaps().erase(heap);
    }
    for (auto &[p, size] : heap->blocks) std::free(p);
    delete heap;
    return TRUE;
}

// HEAP_ZERO_MEMORY zero-fills; a zero-byte request gives a valid block; failure returns NULL.
LPVOID WINAPI HeapAlloc(HANDLE handle, DWORD flags, SIZE_T bytes)
{
    Heap *heap = FindHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return Allocate(*heap, flags, bytes);
}

// Resizes a live block, zero-filling the growth with HEAP_ZERO_MEMORY; with HEAP_REALLOC_IN_PLACE_ONLY the block
// may only shrink in place. A block that is not live in this heap is refused, never freed.
LPVOID WINAPI HeapReAlloc(HANDLE handle, DWORD flags, LPVOID p, SIZE_T bytes)
{
    Heap *heap = FindHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(heap->lock);
    auto it = p ? heap->blocks.find(p) : heap->blocks.end();
    if (it == heap->blocks.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SIZE_T old = it->second;
    SIZE_T othersUsed = heap->used - old;
    if (heap->maximum && (bytes > heap->maximum || othersUsed > heap->maximum - bytes)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
        if (bytes > old) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        it->second = bytes;
        heap->used = othersUsed + bytes;
        return p;
    }
    void *q = std::realloc(p, bytes ? bytes : 1);
    if (!q) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if ((flags & HEAP_ZERO_MEMORY) && bytes > old) std::memset(static_cast<BYTE *>(q) + old, 0, bytes - old);
    heap->blocks.erase(it);
    heap->blocks.emplace(q, bytes);
    heap->used = othersUsed + bytes;
    return q;
}

// Freeing NULL succeeds; a pointer that is not a live block of this heap fails and is left alone.
BOOL WINAPI HeapFree(HANDLE handle, DWORD flags, LPVOID p)
{
    if (!p) return TRUE;
    Heap *heap = FindHeap(handle);
    if (!heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(heap->lock);
    auto it = heap->blocks.find(p);
    if (it == heap->blocks.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    heap->used -= it->second;
    heap->blocks.erase(it);
    std::free(p);
    return TRUE;
}

// The size requested for a live block; (SIZE_T)-1 for anything else.
SIZE_T WINAPI HeapSize(HANDLE handle, DWORD flags, LPCVOID p)
{
    Heap *heap = FindHeap(handle);
    if (!heap) return static_cast<SIZE_T>(-1);
    std::lock_guard<std::mutex> lock(heap->lock);
    auto it = heap->blocks.find(const_cast<void *>(p));
    return it == heap->blocks.end() ? static_cast<SIZE_T>(-1) : it->second;
}

// NULL validates the whole heap (always sound here); a pointer is valid only as a live block of this heap.
BOOL WINAPI HeapValidate(HANDLE handle, DWORD flags, LPCVOID p)
{
    Heap *heap = FindHeap(handle);
    if (!heap) return FALSE;
    if (!p) return TRUE;
    std::lock_guard<std::mutex> lock(heap->lock);
    return heap->blocks.count(const_cast<void *>(p)) ? TRUE : FALSE;
}

// GMEM_FIXED returns the block's pointer; GMEM_MOVEABLE a handle that GlobalLock turns into the pointer.
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes)
{
    DWORD heapFlags = (flags & GMEM_ZEROINIT) ? HEAP_ZERO_MEMORY : 0;
    if (!(flags & GMEM_MOVEABLE)) {
        void *p = Allocate(*TheProcessHeap(), heapFlags, bytes);
        if (!p) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return p;
    }
    auto entry = std::make_unique<Moveable>();
    entry->size = bytes;
    // A zero-byte moveable block has no data; locking it gives NULL.
    if (bytes) {
        entry->data = Allocate(*TheProcessHeap(), heapFlags, bytes);
        if (!entry->data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    HGLOBAL handle = entry.get();
    std::lock_guard<std::mutex> lock(g_moveableLock);
    Moveables().emplace(handle, std::move(entry));
    return handle;
}

// Returns NULL on success and the handle itself when it is not a live block.
HGLOBAL WINAPI GlobalFree(HGLOBAL mem)
{
    if (!mem) return nullptr;
    std::unique_ptr<Moveable> entry;
    {
        std::lock_guard<std::mutex> lock(g_moveableLock);
        auto it = Moveables().find(mem);
        if (it != Moveables().end()) {
            entry = std::move(it->second);
            Moveables().erase(it);
        }
    }
    if (entry) {
        if (entry->data) HeapFree(TheProcessHeap(), 0, entry->data);
        return nullptr;
    }
    if (!HeapFree(TheProcessHeap(), 0, mem)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    return nullptr;
}

// Fixed memory locks to itself; a moveable block counts its locks.
LPVOID WINAPI GlobalLock(HGLOBAL mem)
{
    {
        std::lock_guard<std::mutex> lock(g_moveableLock);
        if (Moveable *entry = FindMoveable(mem)) {
            if (entry->data && entry->locks < 0xFF) ++entry->locks;
            return entry->data;
        }
    }
    if (mem && HeapValidate(TheProcessHeap(), 0, mem)) return mem;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

// TRUE while a moveable block stays locked; FALSE with NO_ERROR at the last unlock, ERROR_NOT_LOCKED when it
// was not locked. Fixed memory has no lock count.
BOOL WINAPI GlobalUnlock(HGLOBAL mem)
{
    {
        std::lock_guard<std::mutex> lock(g_moveableLock);
        if (Moveable *entry = FindMoveable(mem)) {
            if (entry->locks == 0) {
                SetLastError(ERROR_NOT_LOCKED);
                return FALSE;
            }
            if (--entry->locks) return TRUE;
            SetLastError(NO_ERROR);
            return FALSE;
        }
    }
    if (mem && HeapValidate(TheProcessHeap(), 0, mem)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

// The block's size; 0 with ERROR_INVALID_HANDLE for anything that is not a live block.
SIZE_T WINAPI GlobalSize(HGLOBAL mem)
{
    {
        std::lock_guard<std::mutex> lock(g_moveableLock);
        if (Moveable *entry = FindMoveable(mem)) return entry->size;
    }
    SIZE_T size = mem ? HeapSize(TheProcessHeap(), 0, mem) : static_cast<SIZE_T>(-1);
    if (size == static_cast<SIZE_T>(-1)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return size;
}

// Local memory is global memory in Win32; the flag values are the same.
HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) { return GlobalAlloc(flags, bytes); }

// As GlobalFree: NULL on success, the handle on failure.
HLOCAL WINAPI LocalFree(HLOCAL mem) { return GlobalFree(mem); }
}
