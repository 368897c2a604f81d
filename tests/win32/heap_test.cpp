// Heaps, and global and local memory.
#include "win32_test.h"

using namespace zep::test;

namespace {

struct OwnedHeap {
    HANDLE h = HeapCreate(0, 0, 0);
    ~OwnedHeap()
    {
        if (h) HeapDestroy(h);
    }
};

bool AllZero(const void *p, size_t n)
{
    const BYTE *b = static_cast<const BYTE *>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

} // namespace

TEST(Heap, ZeroMemoryFillsTheBlockAndGrowth)
{
    OwnedHeap heap;
    ASSERT_NE(heap.h, nullptr);
    auto *p = static_cast<BYTE *>(HeapAlloc(heap.h, HEAP_ZERO_MEMORY, 100));
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(AllZero(p, 100));
    EXPECT_EQ(HeapSize(heap.h, 0, p), 100u);
    FillJunk(p, 100);
    auto *q = static_cast<BYTE *>(HeapReAlloc(heap.h, HEAP_ZERO_MEMORY, p, 5000));
    ASSERT_NE(q, nullptr);
    EXPECT_TRUE(IsJunk(q, 100)) << "the old contents move with the block";
    EXPECT_TRUE(AllZero(q + 100, 4900)) << "the growth is zero-filled";
    EXPECT_EQ(HeapSize(heap.h, 0, q), 5000u);
    EXPECT_TRUE(HeapFree(heap.h, 0, q));
}

TEST(Heap, ZeroByteBlockIsARealBlock)
{
    void *p = HeapAlloc(GetProcessHeap(), 0, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, p), 0u);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, p));
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, p));
}

TEST(Heap, InPlaceReallocationNeverMovesTheBlock)
{
    OwnedHeap heap;
    void *p = HeapAlloc(heap.h, 0, 64);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(HeapReAlloc(heap.h, HEAP_REALLOC_IN_PLACE_ONLY, p, 32), p);
    EXPECT_EQ(HeapSize(heap.h, 0, p), 32u);
    // Growing by far more than any slack must fail and leave the block as it was.
    EXPECT_EQ(HeapReAlloc(heap.h, HEAP_REALLOC_IN_PLACE_ONLY, p, 1 << 20), nullptr);
    EXPECT_EQ(HeapSize(heap.h, 0, p), 32u);
}

TEST(Heap, ValidateKnowsWhichHeapABlockBelongsTo)
{
    OwnedHeap a, b;
    void *p = HeapAlloc(a.h, 0, 16);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(HeapValidate(a.h, 0, p));
    EXPECT_TRUE(HeapValidate(a.h, 0, nullptr)) << "NULL validates the whole heap";
    EXPECT_FALSE(HeapValidate(b.h, 0, p));
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, nullptr)) << "freeing NULL succeeds";
}

TEST(Heap, DestroyReleasesEveryBlock)
{
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(heap, nullptr);
    for (int i = 0; i < 50; ++i) ASSERT_NE(HeapAlloc(heap, 0, 1000), nullptr);
    EXPECT_TRUE(HeapDestroy(heap)); // the leak checker of a sanitised build sees any block left behind
}

TEST(Heap, FixedSizeHeapRefusesMoreThanItsMaximum)
{
    HANDLE heap = HeapCreate(0, 4096, 64 * 1024);
    ASSERT_NE(heap, nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 1024 * 1024), nullptr);
    void *small = HeapAlloc(heap, 0, 100);
    EXPECT_NE(small, nullptr);
    HeapDestroy(heap);
}

#ifndef _WIN32
// Faults that Windows answers with heap-corruption termination are refused here, and the block survives.
TEST(HeapLayer, ForeignOrFreedPointersAreRefused)
{
    OwnedHeap a, b;
    auto *p = static_cast<BYTE *>(HeapAlloc(a.h, 0, 8));
    ASSERT_NE(p, nullptr);
    PresetLastError();
    EXPECT_FALSE(HeapFree(b.h, 0, p));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(HeapSize(b.h, 0, p), static_cast<SIZE_T>(-1));
    EXPECT_EQ(HeapReAlloc(b.h, 0, p, 16), nullptr);
    EXPECT_TRUE(HeapValidate(a.h, 0, p)) << "the refused calls must not have touched the block";
    EXPECT_TRUE(HeapFree(a.h, 0, p));
    EXPECT_FALSE(HeapFree(a.h, 0, p)) << "double free";
    EXPECT_FALSE(HeapValidate(a.h, 0, p));
    EXPECT_EQ(HeapAlloc(reinterpret_cast<HANDLE>(0x1234), 0, 8), nullptr) << "not a heap";
}
#endif

TEST(GlobalMemory, FixedBlockIsItsOwnPointer)
{
    HGLOBAL mem = GlobalAlloc(GPTR, 40);
    ASSERT_NE(mem, nullptr);
    EXPECT_TRUE(AllZero(mem, 40));
    EXPECT_EQ(GlobalLock(mem), mem);
    EXPECT_EQ(GlobalSize(mem), 40u);
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, MoveableBlockCountsItsLocks)
{
    HGLOBAL mem = GlobalAlloc(GHND, 32);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalSize(mem), 32u);
    void *p = GlobalLock(mem);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(AllZero(p, 32));
    EXPECT_EQ(GlobalLock(mem), p) << "the data does not move while locked";
    EXPECT_TRUE(GlobalUnlock(mem)) << "still locked once";
    PresetLastError();
    EXPECT_FALSE(GlobalUnlock(mem)) << "the last unlock returns FALSE";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    PresetLastError();
    EXPECT_FALSE(GlobalUnlock(mem));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, LocalMemoryBehavesAlike)
{
    HLOCAL mem = LocalAlloc(LPTR, 12);
    ASSERT_NE(mem, nullptr);
    EXPECT_TRUE(AllZero(mem, 12));
    EXPECT_EQ(LocalFree(mem), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

#ifndef _WIN32
TEST(GlobalMemoryLayer, FreeingTwiceReturnsTheHandle)
{
    for (UINT flags : {static_cast<UINT>(GMEM_FIXED), static_cast<UINT>(GMEM_MOVEABLE)}) {
        SCOPED_TRACE(flags == GMEM_FIXED ? "fixed" : "moveable");
        HGLOBAL mem = GlobalAlloc(flags, 8);
        ASSERT_NE(mem, nullptr);
        EXPECT_EQ(GlobalFree(mem), nullptr);
        PresetLastError();
        EXPECT_EQ(GlobalFree(mem), mem);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        PresetLastError();
        EXPECT_EQ(GlobalSize(mem), 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
}
#endif
