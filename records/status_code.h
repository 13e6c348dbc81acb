// The status a terminal answers instead of a record: an answer numbered 0
// whose text field holds a status text such as "END: 99 No more records" or
// "ERR: 90 Memory full". The status code ends an upload; a refusal says a
// record written was not stored.
#pragma once

#include <cstddef>
#include <string>

// The two characters two and three places after the first colon of the text
// in `field` (`size` bytes), or an empty text when there is no colon. The text
// ends at its first zero byte or at the end of the field; every position past
// its end reads as a zero byte, so a code cut short matches no status.
std::string StatusCode(const char* field, std::size_t size);

// The text of `field` (`size` bytes) up to its first zero byte when it is a
// refusal status, one that begins with "ERR:"; an empty text otherwise. The
// text is cut to 64 characters and a control character in it becomes a blank.
std::string RefusalText(const char* field, std::size_t size);
