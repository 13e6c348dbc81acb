// The terminal list as a value: its ticks, addresses and selection, and the
// entries a cycle takes from it.
#include "model/terminal_list.h"

#include <gtest/gtest.h>

TEST(TerminalList, EditsOfEntriesOutsideTheListArePassedOverAndASelectionThatIsGoneIsNone) {
  TerminalList list;
  list.SetEntries({{"127.0.0.2", false}, {"127.0.0.3", true}});
  list.Select(1);
  list.Tick(0, true);
  list.Tick(5, true);
  list.Readdress(1, "127.0.0.9");
  list.Readdress(7, "127.0.0.8");
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.Entries()[0].address, "127.0.0.2");
  EXPECT_TRUE(list.Entries()[0].ticked);
  EXPECT_EQ(list.Entries()[1].address, "127.0.0.9");
  EXPECT_EQ(list.Selected(), 1);
  list.Select(2);
  EXPECT_EQ(list.Selected(), -1);
  list.Select(0);
  list.SetEntries({{"127.0.0.4", true}});
  EXPECT_EQ(list.Selected(), -1) << "new entries are not selected";
}

TEST(TerminalList, ACycleTakesTheTickedEntriesOrOneAlone) {
  TerminalList list;
  list.SetEntries({{"127.0.0.2", false}, {"127.0.0.3", true}, {"127.0.0.4", true}});
  auto ticks = [](const std::vector<CycleEntry>& entries) {
    std::vector<bool> ticked;
    for (const CycleEntry& entry : entries) ticked.push_back(entry.ticked);
    return ticked;
  };
  EXPECT_EQ(ticks(list.Ticked()), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(ticks(list.Only(0)), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(ticks(list.Only(-1)), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(list.Only(2).at(2).address, "127.0.0.4");
}
