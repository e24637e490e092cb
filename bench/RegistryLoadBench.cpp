// Loading a registry hive with many keys under one parent and many values in one key: the time
// per key must stay flat as the count grows (the store is read at every program start).
#include <benchmark/benchmark.h>

#include <string>

#include "platform/RegFileFormat.h"
#include "platform/RegTree.h"

namespace korvex {
namespace {

std::string ManyKeys(int count) {
  std::string text = "REGEDIT4\n\n";
  for (int i = 0; i < count; ++i) {
    text += "[HKEY_CURRENT_USER\\Software\\Viele\\Schluessel" + std::to_string(i) + "]\n\"Wert\"=\"x\"\n\n";
  }
  return text;
}

std::string ManyValues(int count) {
  std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Viele]\n";
  for (int i = 0; i < count; ++i) text += "\"Wert" + std::to_string(i) + "\"=dword:00000001\n";
  return text;
}

template <std::string (*Make)(int)>
void LoadHive(benchmark::State& state) {
  const std::string text = Make(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string error;
    const auto changes = ParseRegText(text, "bench.reg", error);
    RegKey root;
    ApplyChanges(root, *changes);
    benchmark::DoNotOptimize(root);
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK_TEMPLATE(LoadHive, ManyKeys)->RangeMultiplier(4)->Range(5000, 80000)->Complexity();
BENCHMARK_TEMPLATE(LoadHive, ManyValues)->RangeMultiplier(4)->Range(5000, 80000)->Complexity();

}  // namespace
}  // namespace korvex

BENCHMARK_MAIN();
