// SPDX-License-Identifier: GPL-3.0-or-later
// libjpeg's failures: the jump out, the damage warnings, the texts.
#include "core/image/jpeg_errors.h"

#include "core/base/files.h"

#include <QCoreApplication>

// After jpeglib.h, which it needs.
#include <jerror.h>

namespace {

[[noreturn]] void onJpegError(j_common_ptr info)
{
    JpegJumpOut(info, info->err->msg_code);
}

// These warnings mean the picture data is damaged or cut short: libjpeg would carry on and fill
// the rest with grey, which the user would take for the picture.
bool isDamageWarning(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
#if JPEG_LIB_VERSION >= 70 || defined(D_ARITH_CODING_SUPPORTED)
    case JWRN_ARITH_BAD_CODE:
#endif
        return true;
    default: return false;
    }
}

void onJpegMessage(j_common_ptr info, int level)
{
    if (level < 0 && isDamageWarning(info->err->msg_code))
        onJpegError(info);
}

void onJpegOutput(j_common_ptr) {} // nothing on standard error

} // namespace

void JpegJumpOut(j_common_ptr info, int code)
{
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    errors->code = code;
    std::longjmp(errors->jump, 1);
}

void InitJpegErrors(JpegErrors &errors)
{
    jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = onJpegError;
    errors.mgr.emit_message = onJpegMessage;
    errors.mgr.output_message = onJpegOutput;
    errors.code = 0;
}

QString JpegFailureText(int code)
{
    switch (code) {
    case JERR_INPUT_EMPTY: return QCoreApplication::translate("JpegCodec", "ファイルが空です");
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF: return CutShortFileText(u"JPEG");
    case JERR_NO_SOI:
        return QCoreApplication::translate("JpegCodec", "JPEG ファイルではありません");
    case JERR_OUT_OF_MEMORY: return QCoreApplication::translate("JpegCodec", "メモリが足りません");
    case kJpegTooMuchWork:
        return QCoreApplication::translate("JpegCodec", "JPEG ファイルのスキャンが多すぎます");
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
    case JERR_CONVERSION_NOTIMPL:
        return QCoreApplication::translate("JpegCodec", "この形式の JPEG には対応していません");
    default: return DamagedFileText(u"JPEG");
    }
}
