#include "cli/FormOptions.h"

#include <cstdio>

#include "cli/ArgumentValues.h"
#include "platform/Cp437.h"

namespace korvex {

OptionTaken TakeFormOption(const Arguments& arguments, std::size_t& i, bool withTitleAndType, FormOptions& options,
                           CPrompt& prompt) {
  const std::string& option = arguments[i];
  const bool known = option == "--start-chs" || option == "--end-chs" || option == "--start" ||
                     option == "--length" || (withTitleAndType && (option == "--title" || option == "--type"));
  if (!known) return OptionTaken::NotAFormOption;
  if (i + 1 >= arguments.size()) {
    PrintError(option + ": der Wert fehlt");
    return OptionTaken::Bad;
  }
  const std::string& value = arguments[++i];
  bool good = true;
  if (option == "--title") {
    // Its length is the rule of the operation that applies the form.
    const auto title = BootScreenText(value, prompt);
    if (!title) return OptionTaken::Bad;
    options.title = *title;
  } else if (option == "--type") {
    const auto type = ParseFieldNumber(value, UINT8_MAX);
    if ((good = type.has_value())) options.type = static_cast<std::uint8_t>(*type);
  } else if (option == "--start-chs" || option == "--end-chs") {
    const auto chs = ParseChs(value);
    if ((good = chs.has_value())) (option == "--start-chs" ? options.startChs : options.endChs) = *chs;
  } else {
    const auto number = ParseFieldNumber(value, UINT32_MAX);
    if ((good = number.has_value())) {
      (option == "--start" ? options.start : options.length) = static_cast<std::uint32_t>(*number);
    }
  }
  if (!good) {
    PrintError(option + ": ungültiger Wert \"" + value + "\"");
    return OptionTaken::Bad;
  }
  return OptionTaken::Yes;
}

void OverrideForm(const FormOptions& options, PartitionForm& form) {
  if (options.title) form.title = *options.title;
  if (options.type) form.type = *options.type;
  if (options.startChs) form.startChs = *options.startChs;
  if (options.endChs) form.endChs = *options.endChs;
  if (options.start) form.relativeStart = *options.start;
  if (options.length) form.length = *options.length;
}

void PrintFormPositions(const PartitionForm& form) {
  std::printf("start-chs %s\nend-chs %s\nstart %u\nlength %u\n", FormatChs(form.startChs).c_str(),
              FormatChs(form.endChs).c_str(), form.relativeStart, form.length);
}

}  // namespace korvex
