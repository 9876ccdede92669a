#pragma once
// The skin archive built from skin/ at build time and linked into the installer as read-only data (the
// "ZIPRES" resource 129 of the installer). Defined by the nimbaro_skin_blob library, which only the
// installer links; the toolkit itself never refers to it.
#include <cstdint>
#include <span>

namespace SkinUI {

std::span<const uint8_t> EmbeddedSkinArchive();

}  // namespace SkinUI
