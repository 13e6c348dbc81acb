// The line writer: each received record becomes one line of the upload file,
// in its kind's format, and the same line in the activity log — unless the
// session reads the records for whoever runs it alone.
#include <string>

#include "records/upload_line.h"
#include "session/terminal_session.h"
#include "session/upload.h"
#include "session/upload_file.h"

void AddUploadLine(TerminalSession& session, const RecordKind& kind, const uint8_t* record) {
  if (!record || !session.WritesLines()) return;
  const std::string line =
      UploadLine(kind, std::span<const uint8_t>(record, kind.size), session.TerminalCodePage());
  // A line that cannot be written ends the upload: asking for more records
  // would lose them.
  session.LogRecordLine(line + kind.lineWriter);
  if (session.OpenUploadFile() && !session.OpenUploadFile()->Write(line)) {
    session.Log("- Fail to Write " + session.OpenUploadFile()->Path());
    session.State().Direction = 0;
  }
}
