// Runs fuzz targets over stored inputs, so that every build checks the
// corpus even without a fuzzing compiler:  fuzz_replay TARGET PATH...
// where a PATH is an input file or a folder of them.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/FuzzTarget.h"

namespace tarvix::fuzz {

static std::map<std::string, Target>& Targets() {
  static std::map<std::string, Target> targets;
  return targets;
}

bool Register(const char* name, Target target) {
  Targets()[name] = target;
  return true;
}

}  // namespace tarvix::fuzz

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using tarvix::fuzz::Targets;
  if (argc < 3 || !Targets().count(argv[1])) {
    std::fprintf(stderr, "usage: %s TARGET PATH...\ntargets:", argv[0]);
    for (const auto& [name, fn] : Targets()) std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  const auto target = Targets()[argv[1]];
  std::vector<fs::path> inputs;
  for (int i = 2; i < argc; ++i) {
    if (fs::is_directory(argv[i])) {
      for (const auto& e : fs::directory_iterator(argv[i]))
        if (e.is_regular_file()) inputs.push_back(e.path());
    } else {
      inputs.emplace_back(argv[i]);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs for %s\n", argv[1]);
    return 1;
  }
  for (const auto& file : inputs) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "%s: %s (%zu bytes)\n", argv[1], file.filename().c_str(), bytes.size());
    target(bytes.data(), bytes.size());
  }
  std::printf("%s: %zu inputs replayed\n", argv[1], inputs.size());
  return 0;
}
