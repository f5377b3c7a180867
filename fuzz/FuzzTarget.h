#pragma once
// One fuzz target per source file. With libFuzzer (TARVIX_LIBFUZZER) the
// target is the program's LLVMFuzzerTestOneInput; otherwise it registers
// itself by name with the replay program, which runs the stored corpus.
//
// A target reports a broken property by calling FuzzFail, which aborts: both
// libFuzzer and the replay program then name the input that did it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace tarvix::fuzz {

using Target = int (*)(const std::uint8_t* data, std::size_t size);
bool Register(const char* name, Target target);

[[noreturn]] inline void FuzzFail(const char* what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

// A private folder for the files a target writes, made once per process.
const std::filesystem::path& WorkDir();

inline void WriteBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tarvix::fuzz

#define TARVIX_FUZZ_CAT2(a, b) a##b
#define TARVIX_FUZZ_CAT(a, b) TARVIX_FUZZ_CAT2(a, b)

#ifdef TARVIX_LIBFUZZER
#define TARVIX_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
#else
#define TARVIX_FUZZ_TARGET(name)                                                                         \
  static int TARVIX_FUZZ_CAT(FuzzOne_, name)(const std::uint8_t* data, std::size_t size);               \
  [[maybe_unused]] static const bool TARVIX_FUZZ_CAT(registered_, name) =                               \
      ::tarvix::fuzz::Register(#name, &TARVIX_FUZZ_CAT(FuzzOne_, name));                                \
  static int TARVIX_FUZZ_CAT(FuzzOne_, name)(const std::uint8_t* data, std::size_t size)
#endif
