#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/exit_sequence.h"

using namespace app;

namespace {

class RecordingSteps : public ExitSteps {
 public:
  std::vector<std::string> done;
  int resumeResult = 3;
  void RemovePod() override { done.push_back("pod"); }
  void AskSaveChanged() override { done.push_back("ask"); }
  int WriteResume() override {
    done.push_back("resume");
    return resumeResult;
  }
  void SaveSettings() override { done.push_back("settings"); }
  void CloseSong() override { done.push_back("close"); }
  void WriteMarkedFile() override { done.push_back("marked"); }
  void ReportResume(int result) override { done.push_back("report " + std::to_string(result)); }
  void StopTimer() override { done.push_back("timer"); }
};

}  // namespace

TEST(AppExit, StepsRunOnceInOrder) {
  ExitOrder order;
  RecordingSteps steps;
  EXPECT_TRUE(order.Run(steps));
  EXPECT_EQ(steps.done, (std::vector<std::string>{"pod", "ask", "resume", "settings", "close",
                                                  "marked", "report 3", "timer"}));
  // A close asked for while a question of the first run is up.
  RecordingSteps again;
  EXPECT_FALSE(order.Run(again));
  EXPECT_TRUE(again.done.empty());
}
