// The foreign-heap host: orbiter.exe with a heap of its own, as a host built
// with another compiler version or a static C run time has, instead of
// sharing msvcrt.dll's with the module. operator new and delete and malloc
// and free of the host's code draw on a private Windows heap, and every
// pointer the host is asked to free must be a live block of it: memory of
// the module's run time, a block freed twice or a pointer into the middle of
// one ends the run at once with a message (exit status 70), and so does a
// heap found damaged after a call into the module. Heap corruption in a real
// host would show up later, somewhere else, or not at all.
//
// What the host cannot see is the module's run time freeing a block of this
// heap: msvcrt.dll's free refuses a pointer of another heap without a word
// under Wine (Windows stops the process). That direction is kept out by the
// module's code: it frees only what it allocated itself.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "host/module_call.h"

namespace {

// Each block starts with a header; the pointer handed out follows it and
// keeps the heap's 8-byte alignment.
struct Header {
  uint32_t tag;  // kLive mixed with the header's address while allocated
  uint32_t size;
};
static_assert(sizeof(Header) == 8, "the header keeps the blocks 8-byte aligned");
const uint32_t kLive = 0x4F524248u;

uint32_t TagOf(const Header *h) { return kLive ^ (uint32_t)(uintptr_t)h; }

HANDLE Heap() {
  static HANDLE heap = HeapCreate(0, 0, 0);
  return heap;
}

void *Allocate(size_t n) {
  if (n > 0xFFFFFFF0u - sizeof(Header)) return nullptr;
  auto *h = static_cast<Header *>(HeapAlloc(Heap(), 0, sizeof(Header) + n));
  if (!h) return nullptr;
  h->tag = TagOf(h);
  h->size = (uint32_t)n;
  return h + 1;
}

[[noreturn]] void Refuse(const char *what, const void *p) {
  std::fflush(stdout);
  std::fprintf(stderr,
               "orbiter: %s was handed %p, which the host's heap did not allocate (or freed already): memory of "
               "another C run time freed by the host\n",
               what, p);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 70);
  for (;;) {
  }
}

// The header of a live block of the host's heap; anything else is refused.
Header *LiveBlock(const char *what, void *p) {
  Header *h = static_cast<Header *>(p) - 1;
  if (!HeapValidate(Heap(), 0, h) || h->tag != TagOf(h)) Refuse(what, p);
  return h;
}

void Release(const char *what, void *p) {
  if (!p) return;
  Header *h = LiveBlock(what, p);
  h->tag = 0;
  HeapFree(Heap(), 0, h);
}

// After every call into the module the whole heap must still be sound: a
// write past a block or into a freed one shows here, at the call that made it.
void CheckHeap() {
  if (HeapValidate(Heap(), 0, nullptr)) return;
  std::fflush(stdout);
  std::fprintf(stderr, "orbiter: the host's heap is damaged after a call into the module\n");
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 70);
}

struct InstallHooks {
  InstallHooks() { host::module_call_hooks().leave = CheckHeap; }
} g_install_hooks;

}  // namespace

extern "C" void *__cdecl malloc(size_t n) { return Allocate(n); }
extern "C" void __cdecl free(void *p) { Release("free", p); }
extern "C" void *__cdecl calloc(size_t count, size_t n) {
  if (n && count > 0xFFFFFFF0u / n) return nullptr;
  void *p = Allocate(count * n);
  if (p) std::memset(p, 0, count * n);
  return p;
}
extern "C" void *__cdecl realloc(void *p, size_t n) {
  if (!p) return Allocate(n);
  const Header *h = LiveBlock("realloc", p);
  void *q = Allocate(n);
  if (!q) return nullptr;
  std::memcpy(q, p, h->size < n ? h->size : n);
  Release("realloc", p);
  return q;
}

// The other forms (array, sized, nothrow) in crt.cpp come down to these and
// to malloc.
void *operator new(size_t n) { return Allocate(n ? n : 1); }
void operator delete(void *p) noexcept { Release("operator delete", p); }
