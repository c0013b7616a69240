// Reading and writing pictures, for code that wants all of it: the picture files as the import
// dialog reads them, the JPEG codec, and the BMP format with its frame writer.
#pragma once

#include "core/image/bmp_format.h"
#include "core/image/jpeg_codec.h"
#include "core/image/picture_reading.h"
