#include "control_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {
long long NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}
}  // namespace

ControlPipe::~ControlPipe() { Stop(); }

bool ControlPipe::Start(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return false;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return false;
  }
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::perror(args[0]);
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  to_ = in[1];
  from_ = out[0];
  signal(SIGPIPE, SIG_IGN);
  alive_ = true;
  return true;
}

bool ControlPipe::ReadLine(std::string* line, int timeoutMs) {
  const long long end = NowMs() + timeoutMs;
  for (;;) {
    const size_t nl = pending_.find('\n');
    if (nl != std::string::npos) {
      *line = pending_.substr(0, nl);
      if (!line->empty() && line->back() == '\r') line->pop_back();
      pending_.erase(0, nl + 1);
      return true;
    }
    const long long left = end - NowMs();
    if (left <= 0) return false;
    pollfd p{from_, POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    char buf[4096];
    const ssize_t n = read(from_, buf, sizeof buf);
    if (n <= 0) {
      alive_ = false;
      return false;
    }
    pending_.append(buf, static_cast<size_t>(n));
  }
}

bool ControlPipe::Ask(const std::string& line, std::string* reply, int timeoutMs) {
  if (!alive_) return false;
  const std::string out = line + "\n";
  if (write(to_, out.data(), out.size()) != static_cast<ssize_t>(out.size())) {
    alive_ = false;
    return false;
  }
  std::string got;
  const long long end = NowMs() + timeoutMs;
  for (;;) {
    const long long left = end - NowMs();
    if (left <= 0 || !ReadLine(&got, static_cast<int>(left))) {
      ++late_;
      return false;
    }
    if (late_ > 0) {
      --late_;
      continue;
    }
    *reply = got;
    return true;
  }
}

void ControlPipe::Stop() {
  if (to_ >= 0) close(to_);
  to_ = -1;
  if (pid_ > 0) {
    for (int i = 0; i < 30; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      usleep(100000);
    }
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  if (from_ >= 0) close(from_);
  from_ = -1;
  alive_ = false;
}
