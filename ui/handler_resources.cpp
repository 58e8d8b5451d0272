#include "ui/handler_resources.h"

namespace orvox::ui {
namespace {
HINSTANCE gResources = nullptr;
}

void setHandlerResources(HINSTANCE module) { gResources = module; }
HINSTANCE handlerResources() { return gResources; }

} // namespace orvox::ui
