#include "ReplySink.h"

#include <atomic>

namespace orv {

namespace {

std::atomic<ReplySink*> g_sink{nullptr};

}  // namespace

void SetReplySink(ReplySink* sink) {
  g_sink.store(sink);
}

ReplySink& GetReplySink() {
  static NullReplySink none;
  ReplySink* sink = g_sink.load();
  return sink != nullptr ? *sink : none;
}

}  // namespace orv
