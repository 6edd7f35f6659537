// The long-lived control process (corvellactl serve under the player's Wine
// set-up): one line out, one line back. Started once; every D-Bus call and
// every look at the player's state goes through it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class ControlPipe {
 public:
  ~ControlPipe();
  bool Start(const std::vector<std::string>& argv);
  // Sends one command line and reads its one answer; false when the process
  // is gone or took longer than timeoutMs (a late answer is skipped later).
  bool Ask(const std::string& line, std::string* reply, int timeoutMs = 3000);
  bool Alive() const { return alive_; }
  // Closes its input, which ends it; kills it if it lingers.
  void Stop();

 private:
  bool ReadLine(std::string* line, int timeoutMs);

  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
  bool alive_ = false;
  int late_ = 0;  // answers still owed to calls that timed out
  std::string pending_;
};
