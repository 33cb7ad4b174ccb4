// The one way the core reaches the user. The desktop program and the batch
// front end each implement it; tests record what it is told.
#pragma once

#include <string>

namespace vandrel {

enum class MessageButtons { Ok, OkCancel };
enum MessageResult { kIdOk = 1, kIdCancel = 2 };

class Host {
 public:
  virtual ~Host() = default;
  // All texts are CP932.
  virtual void StatusText(const std::string& text) = 0;
  virtual void StatusDetail(const std::string& text) = 0;
  // A modal box; returns kIdOk or kIdCancel. Called from any thread.
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         MessageButtons buttons) = 0;
  // The worker's end-of-run signal: closes the progress box. Never waits.
  // A signal posted before the box is shown closes it as soon as it opens.
  virtual void PostEndOfRun() = 0;
  // Called before a new worker starts: a signal left from an earlier run
  // (whose box had closed already) must not close the new box.
  virtual void ForgetEndOfRun() {}
  // The question before a result is opened; true to open.
  virtual bool ConfirmOpen(const std::string& text, const std::string& caption) = 0;
  // Opens a document with the desktop; false when that failed, a missing
  // document included (front ends check with DocumentExists, platform/desktop.h).
  virtual bool OpenDocument(const std::string& path) = 0;
};

// The host in use; a silent one until a front end installs its own.
Host& CurrentHost();
void SetHost(Host* host);

// Caption of the boxes shown without a dialog of their own.
extern const char* const kDefaultCaption;

}  // namespace vandrel
