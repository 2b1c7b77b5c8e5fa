#include "module/platform.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#include <link.h>
#include <strings.h>

#include <cstring>

namespace {

struct Search {
  const char *name;
  const char *path;
};

int MatchLoaded(struct dl_phdr_info *info, size_t, void *data) {
  auto *s = static_cast<Search *>(data);
  const char *path = info->dlpi_name;
  if (!path || !*path) return 0;
  const char *base = std::strrchr(path, '/');
  base = base ? base + 1 : path;
  if (strcasecmp(base, s->name) == 0) {
    s->path = path;
    return 1;
  }
  return 0;
}

}  // namespace

HMODULE GetModuleHandleA(const char *name) {
  if (!name) return dlopen(nullptr, RTLD_LAZY);
  Search s{name, nullptr};
  dl_iterate_phdr(MatchLoaded, &s);
  if (!s.path) return nullptr;
  // RTLD_NOLOAD only hands out the handle of a module already loaded; the
  // reference it takes is given back at once, as the module stays loaded by
  // whoever loaded it.
  void *h = dlopen(s.path, RTLD_LAZY | RTLD_NOLOAD);
  if (h) dlclose(h);
  return h;
}

FARPROC GetProcAddress(HMODULE module, const char *name) {
  if (!module || !name) return nullptr;
  void *sym = dlsym(module, name);
  FARPROC f;
  static_assert(sizeof f == sizeof sym, "function and object pointers differ in size");
  std::memcpy(&f, &sym, sizeof f);
  return f;
}
#endif
