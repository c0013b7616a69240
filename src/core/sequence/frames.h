// Frame sequences, for code that wants all of them: frame names, continuous cutting, and the
// blended and faded runs.
#pragma once

#include "core/sequence/continuous_cut.h"
#include "core/sequence/frame_files.h"
#include "core/sequence/mixing.h"
