// The status code by which a terminal ends an upload: two characters of the
// status text that an answer numbered 0 carries in one of its text fields.
#pragma once

#include <cstddef>
#include <string>

// The two characters two and three places after the first colon of the text
// in `field` (`size` bytes), or an empty text when there is no colon. The text
// ends at its first zero byte or at the end of the field; every position past
// its end reads as a zero byte, so a code cut short matches no status.
std::string StatusCode(const char* field, std::size_t size);
