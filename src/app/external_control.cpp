#include "app/external_control.h"

namespace app {

ExternalControl::Result ExternalControl::Handle(intptr_t code, uintptr_t value, PlayState state,
                                                bool listFull) {
  Result r;
  switch (code) {
    case kAppendChar: {
      const char c = static_cast<char>(value & 0xFF);
      if (c != '\0') {
        if (buffer_.size() < kBufferSize) buffer_ += c;
        break;
      }
      // A name no entry can hold (or no name at all) is dropped, never cut.
      if (buffer_.empty() || buffer_.size() > kMaxPath) {
        buffer_.clear();
        break;
      }
      // With a full list the name is dropped but the buffer kept, as it always was.
      if (listFull) break;
      r.action = Action::kAppendEntry;
      r.name.swap(buffer_);
      buffer_.clear();
      break;
    }
    case kClear:
      buffer_.clear();
      r.action = Action::kClearList;
      break;
    case kPlay:
      r.action = Action::kPlay;
      break;
    case kQueryState:
      r.reply = state == PlayState::kPlaying ? 1 : state == PlayState::kPaused ? 3 : 0;
      break;
    default:
      break;
  }
  return r;
}

PowerNotice::Action PowerNotice::OnSuspend(PlayState state) {
  if (suspended_) return Action::kNone;
  suspended_ = true;
  remembered_ = state;
  return state == PlayState::kPlaying ? Action::kPause : Action::kNone;
}

PowerNotice::Action PowerNotice::OnResume() {
  if (!suspended_) return Action::kNone;
  suspended_ = false;
  return remembered_ == PlayState::kPlaying ? Action::kPlay : Action::kNone;
}

PowerNotice::Action PowerNotice::OnEvent(uint32_t event, PlayState state) {
  switch (event) {
    case kQuerySuspend:
    case kSuspend:
      return OnSuspend(state);
    case kQuerySuspendFailed:
    case kResumeCritical:
    case kResumeSuspend:
    case kResumeAutomatic:
      return OnResume();
    default:
      return Action::kNone;
  }
}

}  // namespace app
