// Metafile rendering for the generic reader (Windows builds only).
#pragma once

#include "isio.h"
#include "libframe.h"

#ifdef _WIN32

// The size the generic reader passes: the extent of a plain WMF file.
constexpr int32_t kGenericMetafileSize = 100;

BYTE *ReadMetafileImage(const char *name, int32_t width, int32_t height, COLORREF background, uint32_t flags,
                        uint32_t &outWidth, uint32_t &outHeight, OperationContext &ctx);
// The metafile named by a file source, as the generic reader asks for it.
BYTE *ReadMetafileSource(CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx);

#endif
