// The 10 x 10 pictures of the three small buttons beside the IP box: black
// bars on a transparent background.
#pragma once

#include <QImage>

QImage PlusPicture();    // "Add"
QImage MinusPicture();   // "Delete"
QImage EqualsPicture();  // "Change"
