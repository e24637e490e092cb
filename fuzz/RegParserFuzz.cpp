// The .reg parser on untrusted text: whatever parses must apply to a tree, and the tree's text
// must parse again to the same text.
#include <cstdlib>

#include "platform/RegFileFormat.h"
#include "platform/RegTree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvex;
  std::string error;
  const auto changes = ParseRegText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.reg", error);
  if (!changes) return 0;
  RegKey root;
  ApplyChanges(root, *changes);
  const std::string text = FormatRegText(root);
  const auto again = ParseRegText(text, "again.reg", error);
  if (!again) std::abort();  // our own output must always parse
  RegKey copy;
  ApplyChanges(copy, *again);
  if (FormatRegText(copy) != text) std::abort();
  return 0;
}
