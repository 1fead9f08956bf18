#include "platform/core/gui_services.h"

#include <atomic>

namespace plat {

namespace {
std::atomic<GuiServices*> g_services{nullptr};
}

GuiServices* SetGuiServices(GuiServices* services) { return g_services.exchange(services); }

GuiServices* GetGuiServices() { return g_services.load(); }

}  // namespace plat
