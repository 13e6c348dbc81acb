// The start of a send: before any terminal is contacted, the port is checked
// and the download file of the chosen data kind is read and checked as a
// whole, once, into the record tables; every terminal of a send cycle then
// gets those same records.
#pragma once

class TForm1;

// Checks the port and reads the chosen kind's download file. On any fault
// shows the error box, forgets any earlier file, and returns false.
bool PrepareDownload(TForm1& form);

// Starts the download of the prepared file to the terminal now served. With
// the Report kind there is nothing to send: a send cycle moves on at once.
void StartPreparedDownload(TForm1& form);
