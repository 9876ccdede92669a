#include "skinui/paint_manager.h"

namespace SkinUI {

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI() = default;

void CPaintManagerUI::Init(platform::Window* window) { window_ = window; }

}  // namespace SkinUI
