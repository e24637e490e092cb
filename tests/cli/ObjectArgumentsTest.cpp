// How the command line names objects and fills the partition form: the object syntax, CHS
// addresses and the form options, each with the texts it must turn away.
#include <gtest/gtest.h>

#include "cli/ArgumentValues.h"
#include "cli/FormOptions.h"
#include "cli/ObjectSelector.h"
#include "support/ScriptedPrompt.h"

namespace korvex {
namespace {

using Kind = ObjectName::Kind;

TEST(ObjectArgumentsTest, AnObjectIsADiskAKeyOrAStartSectorOnALevel) {
  EXPECT_EQ(ParseObjectName("0:7"), (ObjectName{"0", Kind::Key, 7}));
  EXPECT_EQ(ParseObjectName("1:0x10"), (ObjectName{"1", Kind::Key, 16}));
  EXPECT_EQ(ParseObjectName("0:p@63"), (ObjectName{"0", Kind::PrimaryAt, 63}));
  EXPECT_EQ(ParseObjectName("2:l@4294967295"), (ObjectName{"2", Kind::LogicalAt, 4294967295u}));
  for (const char* text : {"0", "0:", "0:p@", "0:x@5", "0:p5", "0:65536", "0:p@4294967296", "0:l@-1", "0: 7",
                           "0:7:8"}) {
    EXPECT_FALSE(ParseObjectName(text)) << text;
  }
  // The disk part is taken as it stands; finding the disk is what refuses an empty one.
  EXPECT_EQ(ParseObjectName(":5"), (ObjectName{"", Kind::Key, 5}));
}

TEST(ObjectArgumentsTest, ChsAddressesStayWithinTheirFieldWidths) {
  const auto chs = ParseChs("1023/254/63");
  ASSERT_TRUE(chs);
  EXPECT_EQ(chs->cylinder, 1023);
  EXPECT_EQ(chs->head, 254);
  EXPECT_EQ(chs->sector, 63);
  EXPECT_EQ(FormatChs(*chs), "1023/254/63");
  EXPECT_TRUE(ParseChs("65535/255/255"));
  for (const char* text : {"", "1/2", "1/2/3/4", "65536/0/1", "0/256/1", "0/0/256", "a/0/1", "1//1"}) {
    EXPECT_FALSE(ParseChs(text)) << text;
  }
}

class FormOptionsTest : public testing::Test {
 protected:
  OptionTaken Take(Arguments arguments, bool withTitleAndType = true) {
    std::size_t i = 0;
    const OptionTaken taken = TakeFormOption(arguments, i, withTitleAndType, options, prompt);
    if (taken == OptionTaken::Yes) {
      EXPECT_EQ(i, 1u);
    }
    return taken;
  }
  FormOptions options;
  test::ScriptedPrompt prompt;
};

TEST_F(FormOptionsTest, EachFieldTakesItsValueAsTheWindowsFieldsDo) {
  EXPECT_EQ(Take({"--start", " 2048 "}), OptionTaken::Yes);  // blanks around, as in a form field
  EXPECT_EQ(Take({"--length", "0x800"}), OptionTaken::Yes);
  EXPECT_EQ(Take({"--type", "131"}), OptionTaken::Yes);
  EXPECT_EQ(Take({"--start-chs", "0/1/1"}), OptionTaken::Yes);
  // The length of a title is the rule of the operation, not of the option.
  EXPECT_EQ(Take({"--title", std::string(41, 'x')}), OptionTaken::Yes);
  EXPECT_EQ(options.start, 2048u);
  EXPECT_EQ(options.length, 2048u);
  EXPECT_EQ(options.type, 131);
  EXPECT_TRUE(options.HasChs() && options.HasRelative());
  EXPECT_EQ(options.title->size(), 41u);

  PartitionForm form;
  OverrideForm(options, form);
  EXPECT_EQ(form.relativeStart, 2048u);
  EXPECT_EQ(form.type, 131);
  EXPECT_EQ(form.startChs.head, 1);
}

TEST_F(FormOptionsTest, MissingAndMalformedValuesAndUnknownOptionsAreTurnedAway) {
  EXPECT_EQ(Take({"--start"}), OptionTaken::Bad);
  EXPECT_EQ(Take({"--start", "1,5"}), OptionTaken::Bad);
  EXPECT_EQ(Take({"--length", "4294967296"}), OptionTaken::Bad);
  EXPECT_EQ(Take({"--type", "256"}), OptionTaken::Bad);
  EXPECT_EQ(Take({"--end-chs", "1/2"}), OptionTaken::Bad);
  EXPECT_EQ(Take({"--title", "\xE2\x82\xAC"}), OptionTaken::Bad);  // the euro sign: not on the boot screen
  EXPECT_FALSE(prompt.shown.empty());
  EXPECT_EQ(Take({"--size", "5"}), OptionTaken::NotAFormOption);
  EXPECT_EQ(Take({"--title", "x"}, false), OptionTaken::NotAFormOption);
  EXPECT_EQ(Take({"--type", "7"}, false), OptionTaken::NotAFormOption);
  EXPECT_FALSE(options.start || options.length || options.type || options.title || options.HasChs());
}

}  // namespace
}  // namespace korvex
