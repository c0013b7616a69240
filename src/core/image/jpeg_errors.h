// SPDX-License-Identifier: GPL-3.0-or-later
// libjpeg's failures as the program handles them: a jump back out of libjpeg, the warnings that
// mean damaged data, and the texts of the failures. Shared by the decoder and the encoder.
#pragma once

#include <QString>

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE and size_t without including their headers

#include <jpeglib.h>

// libjpeg's C frames must never see a C++ exception, so a failure jumps back to the setjmp in the
// function that called libjpeg; that function holds no object with a destructor, and its caller
// destroys the libjpeg object and throws.
struct JpegErrors {
    jpeg_error_mgr mgr; // first member: libjpeg hands back a pointer to it
    jmp_buf jump;
    int code; // libjpeg's message code of the failure, or one of the program's below
};

inline constexpr int kJpegTooMuchWork = -1; // the scans ask for more passes than allowed
inline constexpr int kJpegCancelled = -2;

// Ends libjpeg's work with code: a jump to errors' setjmp.
[[noreturn]] void JpegJumpOut(j_common_ptr info, int code);

// Makes errors libjpeg's error manager: failures and the warnings of damaged or cut-short data
// jump out, nothing goes to standard error.
void InitJpegErrors(JpegErrors &errors);

// The reason a decoding stopped with code, as the user reads it.
QString JpegFailureText(int code);
