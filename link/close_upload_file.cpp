#include "app/tform1.h"
#include "link/upload_file.h"

void TForm1::CloseUploadFile() {
  OpenUploadFile.reset();
}
