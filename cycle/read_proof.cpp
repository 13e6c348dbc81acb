#include "cycle/read_proof.h"

// A Read starts at the lowest number a record of its kind can have, so it saw
// everything when the terminal said that nothing follows ("99"), or when
// nothing can follow.
std::string UnprovenRead(ReadEnd end) {
  switch (end) {
    case ReadEnd::NoMore:
    case ReadEnd::Last:
      return "";
    case ReadEnd::Unnumbered:
      return "the terminal sent its last record without its number (status 95)";
    case ReadEnd::EndNumber:
      // PLUs above 65535 are never asked for, and a record sent under 65535
      // cannot be told from the end.
      return "the terminal ended its records at 65535";
    case ReadEnd::None:
      break;
  }
  return "the terminal did not end its records";
}
