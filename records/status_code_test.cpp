#include "records/status_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {

std::string CodeOf(const std::string& text, std::size_t size = 32) {
  std::string field(size, '\0');
  std::memcpy(field.data(), text.data(), std::min(text.size(), size));
  return StatusCode(field.data(), size);
}

TEST(StatusCode, TakesTheTwoCharactersAfterTheBlankThatFollowsTheFirstColon) {
  EXPECT_EQ(CodeOf("Memory: 99 end"), "99");
  EXPECT_EQ(CodeOf("E:x95:x99"), "95");
  EXPECT_EQ(CodeOf(":-95"), "95") << "the character after the colon is skipped, whatever it is";
  EXPECT_EQ(CodeOf(":99 "), "9 ");
}

TEST(StatusCode, IsEmptyWithoutAColon) {
  EXPECT_EQ(CodeOf("no status 99"), "");
  EXPECT_EQ(CodeOf(""), "");
}

TEST(StatusCode, APositionPastTheTextReadsAsAZeroByte) {
  EXPECT_EQ(CodeOf("End: 9"), std::string("9\0", 2));
  EXPECT_EQ(CodeOf("End:"), std::string(2, '\0'));
  // Bytes after the terminating zero are not part of the text.
  const char field[8] = {'E', ':', ' ', '\0', '9', '9', '9', '9'};
  EXPECT_EQ(StatusCode(field, sizeof field), std::string(2, '\0'));
}

TEST(StatusCode, NeverReadsPastTheField) {
  // The field is filled to its last byte; what follows it must not count.
  const char memory[10] = {'a', 'b', 'c', ':', ' ', '9', '9', '9', '9', '\0'};
  EXPECT_EQ(StatusCode(memory, 5), std::string(2, '\0'));
  EXPECT_EQ(StatusCode(memory, 6), std::string("9\0", 2));
  EXPECT_EQ(StatusCode(memory, 7), "99");
  EXPECT_EQ(StatusCode(memory, 3), "");
}

TEST(RefusalText, OnlyATextBeginningWithErrIsARefusal) {
  const std::pair<std::string, std::string> cases[] = {
      {"ERR: 90 Memory full", "ERR: 90 Memory full"},
      {"ERR: 91 Record not saved", "ERR: 91 Record not saved"},
      {"ERR:\r\n91\tx", "ERR:  91 x"},
      {"ERR: " + std::string(100, 'x'), "ERR: " + std::string(59, 'x')},
      {"END: 99 No more records", ""},
      {"err: 90 lower case", ""},
      {" ERR: 90", ""},
      {"ERR", ""},
      {"", ""},
  };
  for (const auto& [text, refusal] : cases) {
    std::string field(128, '\0');
    std::memcpy(field.data(), text.data(), std::min(text.size(), field.size()));
    EXPECT_EQ(RefusalText(field.data(), field.size()), refusal) << text;
  }
  // A full field without a zero byte ends at the field's end.
  const char full[6] = {'E', 'R', 'R', ':', ' ', '9'};
  EXPECT_EQ(RefusalText(full, sizeof full), "ERR: 9");
}

}  // namespace
