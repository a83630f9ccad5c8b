// Object-reference helpers.
#pragma once

// True when the reference is empty.
template <class T>
bool IsNothing(const T* reference) {
  return reference == nullptr;
}
