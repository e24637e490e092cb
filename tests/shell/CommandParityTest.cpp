// Command states and operations agree: every command that acts on the selection, on every node
// of a few disks (without and with the boot engine, an extended partition with logical drives,
// a full partition table, a full boot menu, a full chain of logical drives), is enabled exactly
// when its operation, run on a fresh copy of the working copy with a prompt that answers yes,
// does not refuse. A refusal shows a stop message and changes nothing.
#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string_view>

#include "bootengine/DirectBoot.h"
#include "bootengine/EngineDiskFixture.h"
#include "bootengine/LoaderRecognition.h"
#include "bootengine/MenuConfig.h"
#include "bootengine/Passwords.h"
#include "bootengine/SelfTest.h"
#include "image/ImageFormat.h"
#include "image/ImageRestoreForm.h"
#include "image/ImageSaveForm.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"
#include "platform/StringTable.h"
#include "shell/BootMenuPreview.h"
#include "shell/CommandStates.h"
#include "support/FakeRestart.h"

namespace korvex {
namespace {

using test::PartStart;

// Commands without an operation bound to the selection, and why the walk leaves them out.
const std::vector<std::pair<CommandId, const char*>> kSkipped = {
    {CommandId::Save, "writes every modified disk; its refusals (read errors, overlaps, ...) are the save's own"},
    {CommandId::SaveDisk, "writes one disk; its refusals are the save's own, the state spares an unchanged disk"},
    {CommandId::Reload, "reads the disks anew and refuses nothing"},
    {CommandId::ReloadDisk, "reads one disk anew and refuses nothing"},
    {CommandId::Apply, "applies the form in the right pane, whose values the form checks"},
    {CommandId::AbsoluteToRelative, "derives fields of the form in the right pane"},
    {CommandId::RelativeToAbsolute, "derives fields of the form in the right pane"},
    {CommandId::BootManager, "opens the install or removal dialog, whose choices the operations check"},
    {CommandId::Analysis, "the search reads any disk; the state keeps the command to disk nodes"},
    {CommandId::PartitionTypes, "edits the type catalogue, not the working copy"},
    {CommandId::About, "shows the about box"},
};

const std::vector<CommandId> kWalked = {
    CommandId::Create,          CommandId::Delete,          CommandId::Check,     CommandId::ImageSave,
    CommandId::ImageRestore,    CommandId::MenuAdd,         CommandId::MenuRemove, CommandId::Password,
    CommandId::Boot,            CommandId::BootFromContextMenu, CommandId::Activate, CommandId::Deactivate,
    CommandId::BootMenu,        CommandId::SelfTest,        CommandId::FloppyPasswordA, CommandId::FloppyPasswordB,
    CommandId::Undo,            CommandId::Redo,
};

// Yes to every question but the last one of a direct boot: the restart itself is declined, so
// that a boot that is not refused writes nothing either.
class YesPrompt final : public CPrompt {
 public:
  void Message(const std::string& text, PromptIcon icon) override { shown.push_back({text, icon}); }
  PromptAnswer Ask(const std::string& text, PromptButtons, PromptIcon) override {
    return text == LoadResString(IDS_START_BOOT) ? PromptAnswer::No : PromptAnswer::Yes;
  }
  bool ShowedStop() const {
    return std::any_of(shown.begin(), shown.end(), [](const auto& s) { return s.second == PromptIcon::Stop; });
  }
  std::vector<std::pair<std::string, PromptIcon>> shown;
};

// Everything an operation could change in the working copy, as text.
std::string Snapshot(const WorkingCopy& copy) {
  std::ostringstream out;
  for (const auto& [name, disk] : copy.disks()) {
    out << name << (disk->IsModified() ? " modified" : "") << "\n";
    for (const PartitionLevel* level : {&disk->primary, &disk->logical}) {
      for (const auto& item : level->items()) {
        const CPartition& p = *item.object;
        out << item.key << " " << StateName(p.state) << " " << p.start << "+" << p.length << " t" << int{p.type} << " s"
            << int{p.slot} << (p.isDefault ? " default" : "") << " " << p.GetTitle() << (p.passwordSet ? " pw" : "")
            << "\n";
      }
    }
    const auto bytes = [](const auto& image) {
      return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    };
    out << "images " << bytes(disk->engineArea) << " " << bytes(disk->sector0) << "\n";
  }
  return out.str();
}

class CommandParityTest : public test::EngineDiskTest {
 protected:
  // The images of one walk, and an edit made on every copy right after loading (a created
  // menu entry lives only in the working copy).
  struct DiskSet {
    std::vector<std::string> specs;
    std::function<void(WorkingCopy&)> edit;
  };

  // The device list and the SCSI names of the set's images, as the program start builds them.
  void Register(const DiskSet& set) {
    std::string error;
    devices = *DeviceList::FromSpecs(set.specs, error);
    for (unsigned n = 0; n < set.specs.size(); ++n) {
      registry.AddScsiUnit("Scsi Port " + std::to_string(n) + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
                           "DiskPeripheral", "Image " + std::to_string(n) + ".img 1.0");
    }
  }

  std::unique_ptr<WorkingCopy> Load(const DiskSet& set) {
    auto copy = std::make_unique<WorkingCopy>(DiskEnvironment{devices, OsVersion{}, registry, loadPrompt, HoldsOurLoader});
    copy->LoadAll();
    if (set.edit) set.edit(*copy);
    return copy;
  }

  // An engine disk whose table partition 4 is active: the engine decides what boots.
  std::string EngineDiskWithActivePartition() {
    const std::string spec = MakeEngineDisk("engine.img", {.menu = {0, 1, 2}, .table = {{3, 0}, {4, 2}}});
    auto disk = Open(spec);
    Part(*disk, 4).SetActiveTable();
    EXPECT_TRUE(WriteDisk(*disk, prompt)) << LastText();
    return spec;
  }
  // Eleven saved menu entries and a table partition; the walk's edit creates the twelfth.
  std::string FullMenuDisk() {
    return MakeEngineDisk("menu.img", {.menu = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, .table = {{11, 0}}});
  }
  // Without the engine: an active partition, a type-15 extended partition with two logical
  // drives, a data partition and free space.
  std::string PlainDisk() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("plain.img"), 30, 16, 63, error);
    EXPECT_TRUE(image->AddPrimary(0, 0x07, 63, 2016 - 63, true));
    EXPECT_TRUE(image->AddExtended(1, 0x0F, 2016, 8064, {{2016, 2079, 1953}, {4032, 4095, 3969}}));
    EXPECT_TRUE(image->AddPrimary(2, 0x83, 10080, 4000));
    return image->Spec();
  }
  // Four partitions fill the table; none is active.
  std::string FullTableDisk() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("table.img"), 30, 16, 63, error);
    for (unsigned n = 0; n < 4; ++n) EXPECT_TRUE(image->AddPrimary(n, 0x83, 1008 + n * 4032, 3000));
    return image->Spec();
  }
  // An extended partition whose chain holds the 27 records the reader follows.
  std::string FullChainDisk() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("chain.img"), 30, 16, 63, error);
    EXPECT_TRUE(image->AddExtended(0, 0x05, 1008, 10000, test::ChainOfDrives(1008, 27, 200, 100)));
    return image->Spec();
  }

  // What running the operation of a command on a node gave.
  enum class Outcome {
    WentAhead,
    Refused,      // with a stop message
    RefusedQuietly,  // the self test (its report says that the disk has no engine), undo and redo
    NotReachable,    // the node names no object (or no disk) for the operation to take
  };

  Outcome Run(CommandId command, WorkingCopy& copy, const NodeRef& node, YesPrompt& answers) {
    const auto refusedIf = [](bool refused) { return refused ? Outcome::Refused : Outcome::WentAhead; };
    CHardDisk* disk = node.type == NodeRef::Type::Computer ? nullptr : copy.Find(node.device);
    switch (command) {
      case CommandId::FloppyPasswordA:
      case CommandId::FloppyPasswordB:
        return refusedIf(SetFloppyPassword(copy, command == CommandId::FloppyPasswordA ? FloppyDrive::A : FloppyDrive::B,
                                           "geheim", "geheim", answers) == PasswordResult::Refused);
      case CommandId::BootMenu:
        return disk == nullptr ? Outcome::NotReachable : refusedIf(!BootMenuPreview(copy, *disk).Accept(answers));
      case CommandId::SelfTest:
        if (disk == nullptr) return Outcome::NotReachable;
        return SelfTest(*disk, true).tested ? Outcome::WentAhead : Outcome::RefusedQuietly;
      case CommandId::Undo:  // with nothing to take back (or bring again) there is nothing to say
        return copy.Undo() ? Outcome::WentAhead : Outcome::RefusedQuietly;
      case CommandId::Redo:
        return copy.Redo() ? Outcome::WentAhead : Outcome::RefusedQuietly;
      default:
        break;
    }
    const auto target = node.type == NodeRef::Type::Object ? Resolve(copy, node.object) : std::nullopt;
    if (!target) return Outcome::NotReachable;
    return refusedIf(Refuses(command, copy, *target, node.object, answers));
  }

  // Runs the operation of command on target; true when it refused.
  bool Refuses(CommandId command, WorkingCopy& copy, const ResolvedObject& resolved, const ObjectRef& ref,
               YesPrompt& answers) {
    const auto* target = &resolved;
    switch (command) {
      case CommandId::Create: {
        CreateRequest request;
        request.type = target->IsLogical() ? 0x83 : 0x06;
        request.toMenu = !target->IsLogical() && FreeTableEntries(*target->disk).empty();
        return !CreatePartition(copy, ref, request, answers);
      }
      case CommandId::Delete:
        return !DeletePartition(copy, ref, answers);
      case CommandId::Check:
        return !CheckReport(copy, ref, answers);
      case CommandId::ImageSave: {
        ImageSaveForm form;
        form.fileName = dir.File("abbild.pim");
        return !PrepareImageSave(form, *target->disk, *target->object, target->IsLogical(), answers,
                                 {dir.File("no-sys"), dir.File("no-mountinfo")});
      }
      case CommandId::ImageRestore: {
        // A file of the entry's size, as the user would choose one.
        const auto range = ImagedRange(*target->object, target->IsLogical());
        ImageBlockHeader header;
        header.blockBytes = 16 * 63 * 512;
        header.sectorCount = range ? range->count : 1;
        const HeaderBytes bytes = EncodeHeader(header);
        const std::string path = dir.File("laden.pim");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(kImageMagic.data()), kImageMagic.size())
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return !PrepareImageRestore({path, 1, true}, *target->disk, *target->object, target->IsLogical(), answers);
      }
      case CommandId::MenuAdd:
        return !AddToMenu(copy, ref, answers);
      case CommandId::MenuRemove:
        return !RemoveFromMenu(copy, ref, answers);
      case CommandId::Password:
        return SetPartitionPassword(copy, ref, "geheim", "geheim", answers) == PasswordResult::Refused;
      case CommandId::Boot:
      case CommandId::BootFromContextMenu:
        return BootPartition(copy, ref, answers, restart) == DirectBootResult::Refused;
      case CommandId::Activate:
        return !ActivatePartition(copy, ref, answers);
      case CommandId::Deactivate:
        return !DeactivatePartition(copy, ref, answers);
      default:
        ADD_FAILURE() << "no operation for command " << static_cast<int>(command);
        return true;
    }
  }

  static void Collect(const DeviceNode& node, std::vector<const DeviceNode*>& nodes) {
    nodes.push_back(&node);
    for (const DeviceNode& child : node.children) Collect(child, nodes);
  }

  // Walks every command of kWalked over every node of the set; returns how many operations
  // went ahead and how many were refused, so that a walk which never reached one side shows.
  std::pair<unsigned, unsigned> Walk(const DiskSet& set) {
    Register(set);
    const auto base = Load(set);
    EXPECT_EQ(base->disks().size(), set.specs.size());
    const DeviceNode tree = BuildDeviceTree(*base, "werkstatt");
    std::vector<const DeviceNode*> nodes;
    Collect(tree, nodes);
    unsigned done = 0, refused = 0;
    std::unique_ptr<WorkingCopy> fresh;
    for (const DeviceNode* node : nodes) {
      for (const CommandId command : kWalked) {
        const bool enabled = IsCommandEnabled(command, {*base, node->ref, RightPane::SystemInfo, false});
        if (!fresh) fresh = Load(set);
        const std::string before = Snapshot(*fresh);
        YesPrompt answers;
        const Outcome outcome = Run(command, *fresh, node->ref, answers);
        const std::string where = "command " + std::to_string(static_cast<int>(command)) + " on \"" + node->label + "\"";
        EXPECT_EQ(enabled, outcome == Outcome::WentAhead)
            << where << (answers.shown.empty() ? "" : ": " + answers.shown.back().first);
        if (outcome == Outcome::WentAhead) {
          ++done;
          fresh.reset();  // the operation may have changed the copy: the next one starts afresh
          continue;
        }
        ++refused;
        EXPECT_EQ(Snapshot(*fresh), before) << where << " changed the working copy although refused";
        if (outcome == Outcome::Refused) {
          EXPECT_TRUE(answers.ShowedStop()) << where << " refused without a stop message";
        }
      }
    }
    return {done, refused};
  }

  test::MemoryRegistry registry;
  DeviceList devices;
  test::ScriptedPrompt loadPrompt;
  test::FakeRestart restart;
};

TEST_F(CommandParityTest, EveryCommandIsWalkedOrSkippedForAReason) {
  std::vector<int> listed;
  for (const CommandId command : kWalked) listed.push_back(static_cast<int>(command));
  for (const auto& [command, reason] : kSkipped) {
    listed.push_back(static_cast<int>(command));
    EXPECT_GT(std::string(reason).size(), 10u);
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end()) << "a command listed twice";
  EXPECT_EQ(listed.size(), 29u) << "every command of CommandIds.h";
}

TEST_F(CommandParityTest, EnabledExactlyWhenTheOperationGoesAheadOnDisksWithAndWithoutTheEngine) {
  const std::string engine = EngineDiskWithActivePartition();
  const std::string menu = FullMenuDisk();
  // The twelfth menu entry is created in the free space behind the last partition.
  const auto createTwelfth = [](WorkingCopy& copy) {
    test::ScriptedPrompt quiet;
    CreateRequest request;
    request.toMenu = true;
    ASSERT_TRUE(CreatePartition(copy, *FindObjectAt(copy, 1, LevelKind::Primary, PartStart(11) + test::kPartLength),
                                request, quiet));
  };
  const auto [done, refused] = Walk({{engine, menu, PlainDisk(), FullTableDisk(), FullChainDisk()}, createTwelfth});
  EXPECT_GT(done, 100u);
  EXPECT_GT(refused, 100u);
}

TEST_F(CommandParityTest, EnabledExactlyWhenTheOperationGoesAheadWithoutAnyEngine) {
  // No disk has the engine: the floppy passwords, menus and boots are refused everywhere.
  const auto [done, refused] = Walk({{PlainDisk(), FullTableDisk(), FullChainDisk()}, nullptr});
  EXPECT_GT(done, 20u);
  EXPECT_GT(refused, 100u);
}

}  // namespace
}  // namespace korvex
