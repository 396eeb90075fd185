#pragma once
// The parts of the program it loads only when a run needs them: the window,
// and the decoded pictures of the command line. They are looked for beside
// the program (a build or a portable copy), then where an installed program
// keeps them, and nowhere else: never the library search path nor the
// current folder.
#include <memory>
#include <string>

// The entry named symbol of module lib<name>.so, or null with error saying
// why (in bytes, without Qt: the window's road runs before Qt is started).
// The module stays loaded, its symbols global, so that the picture plug-ins it
// loads in turn find the block table it exports.
void* ProgramModuleEntry(const char* name, const char* symbol, std::string& error);

// A work object made by a module's entry, a function taking nothing and
// answering a new T; null with error saying why when it cannot be had.
template <typename T>
std::unique_ptr<T> NewModuleWork(const char* name, const char* symbol, std::string& error) {
  using TNewWork = T* (*)();
  const auto newWork = reinterpret_cast<TNewWork>(ProgramModuleEntry(name, symbol, error));
  return newWork ? std::unique_ptr<T>(newWork()) : nullptr;
}
