#include "platform/host.h"

#include <atomic>

namespace vandrel {
namespace {

class SilentHost : public Host {
 public:
  void StatusText(const std::string&) override {}
  void StatusDetail(const std::string&) override {}
  int MessageBox(const std::string&, const std::string&, MessageButtons) override { return kIdOk; }
  void PostEndOfRun() override {}
  bool ConfirmOpen(const std::string&, const std::string&) override { return false; }
  bool OpenDocument(const std::string&) override { return false; }
};

SilentHost g_silentHost;
std::atomic<Host*> g_host{&g_silentHost};

}  // namespace

const char* const kDefaultCaption = "vandrel";

Host& CurrentHost() { return *g_host.load(); }
void SetHost(Host* host) { g_host.store(host ? host : &g_silentHost); }

}  // namespace vandrel
