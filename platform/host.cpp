#include "platform/host.h"

#include <atomic>

#include "platform/ordered_work.h"

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

// What an item running ahead tells the user is told at its commit, by the
// host in use then. A box that asks a question, or what cannot wait for the
// commit, makes the item run at its turn instead.
class ItemHost : public Host {
 public:
  void StatusText(const std::string& text) override {
    AtCommit([text] { CurrentHost().StatusText(text); });
  }
  void StatusDetail(const std::string& text) override {
    AtCommit([text] { CurrentHost().StatusDetail(text); });
  }
  int MessageBox(const std::string& text, const std::string& caption, MessageButtons buttons) override {
    if (buttons != MessageButtons::Ok) CurrentItem()->RunAtTurn();
    AtCommit([=] { CurrentHost().MessageBox(text, caption, buttons); });
    return kIdOk;
  }
  void PostEndOfRun() override { CurrentItem()->RunAtTurn(); }
  bool ConfirmOpen(const std::string&, const std::string&) override {
    CurrentItem()->RunAtTurn();
    return false;
  }
  bool OpenDocument(const std::string&) override {
    CurrentItem()->RunAtTurn();
    return false;
  }
};

ItemHost g_itemHost;

}  // namespace

const char* const kDefaultCaption = "vandrel";

Host& CurrentHost() { return CurrentItem() ? g_itemHost : *g_host.load(); }
void SetHost(Host* host) { g_host.store(host ? host : &g_silentHost); }

}  // namespace vandrel
