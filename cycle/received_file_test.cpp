// The name of a received file: the address is written into it so that no
// address, however odd, names a path outside the folder, and ordinary IPv4
// and IPv6 addresses stay readable.
#include "cycle/received_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "records/records.h"

namespace {

TEST(ReceivedFileName, AnAddressNeverNamesAPathOutsideTheFolder) {
  const struct {
    std::string address;
    std::string inName;
  } cases[] = {
      {"127.0.0.2", "127.0.0.2"},
      {"scale-3.shop.lan", "scale-3.shop.lan"},
      {"::1", "--1"},
      {"::ffff:127.0.0.10", "--ffff-127.0.0.10"},
      {"fe80::1%eth0", "fe80--1%25eth0"},
      {"../../etc/cron.d/x", "..%2F..%2Fetc%2Fcron.d%2Fx"},
      {"..", ".."},
      {"/tmp/x", "%2Ftmp%2Fx"},
      {"a\\b", "a%5Cb"},
      {std::string("a\nb\x01\x7f", 5), "a%0Ab%01%7F"},
      {"a_b c", "a%5Fb%20c"},
      {"Caf\xc3\xa9", "Caf%C3%A9"},
      {std::string(200, '1'), std::string(120, '1')},
  };
  const auto day = std::chrono::local_days{std::chrono::year{2026} / 12 / 8};
  const std::filesystem::path folder = "/srv/received";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(AddressInFileName(c.address), c.inName);
    const std::string stem = ReceivedFileStem(kCodePlu, c.address, day);
    EXPECT_EQ(stem, "PLU_" + c.inName + "_2026-12-08");
    const std::filesystem::path path = folder / (stem + "_incomplete.txt");
    EXPECT_EQ(path.lexically_normal().parent_path(), folder);
    EXPECT_EQ(path.filename().string(), stem + "_incomplete.txt");
  }
}

}  // namespace
