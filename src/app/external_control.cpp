#include "app/external_control.h"

#include "app/command_ids.h"

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

intptr_t ExternalControl::Transport(const CommandState& s) {
  intptr_t bits = 0;
  if (IsCommandEnabled(CM_PLAY, s)) bits |= kCanPlay;
  if (IsCommandEnabled(CM_STOP, s)) bits |= kCanStop;
  if (IsCommandEnabled(CM_PAUSE, s)) bits |= kCanPause;
  if (IsCommandEnabled(CM_NEXT, s)) bits |= kCanNext;
  if (IsCommandEnabled(CM_PREVIOUS, s)) bits |= kCanPrevious;
  return bits;
}

intptr_t ExternalControl::Answer(intptr_t code, uintptr_t value, View& view) {
  switch (code) {
    case kQueryEntry: {
      const int count = view.Count(), current = view.Current();
      return count > 0 && current >= 0 && current < count ? current + 1 : 0;
    }
    case kQueryPosition:
      return static_cast<intptr_t>(view.PositionMs());
    case kQueryLength:
      return static_cast<intptr_t>(view.LengthMs());
    case kQueryPathByte: {
      if (view.Count() <= 0) return 0;
      const std::string path = view.CurrentPath();
      return value < path.size() ? static_cast<unsigned char>(path[value]) : 0;
    }
    case kQueryEnabled:
      return Transport(view.Commands());
    case kQueryWaiting:
      return view.Waiting() ? 1 : 0;
    default:
      return 0;
  }
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
