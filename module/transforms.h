// Animation transforms made and freed by the module's own code. The classes
// are the host's: their constructors and destructors, and the vftable the
// constructor installs, are the host's code. A plain `delete` would call the
// host's deleting destructor, and that frees the block with the host's
// operator delete; in a host whose C run time is not the module's, that is
// heap corruption. So the module takes the storage from its own run time,
// lets the host's code construct and destroy the object in it, and gives the
// storage back to its own run time.
#pragma once

#include <new>
#include <utility>

#include "module/orbiter_api.h"

// A transform in storage of the module's own heap (null if there is none).
template <typename T, typename... Args>
T *NewTransform(Args &&...args) {
  return new (::operator new(sizeof(T), std::nothrow)) T(std::forward<Args>(args)...);
}

// Destroys a transform made by NewTransform and frees its storage.
inline void FreeTransform(MGROUP_TRANSFORM *t) {
  if (!t) return;
  t->~MGROUP_TRANSFORM();  // the host's destructor through the vftable, without its delete
  ::operator delete(static_cast<void *>(t));
}
