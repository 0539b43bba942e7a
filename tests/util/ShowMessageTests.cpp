#include <gtest/gtest.h>

#include "TestSupport.h"
#include "util/ShowMessage.h"

TEST(ShowMessage, LogModeRecordsEveryFieldAndAnswersWithTheDefault) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  SetMessagePresenter([](const TMessage&) -> TMessageAnswer {
    ADD_FAILURE() << "no box may be shown while a log is set";
    return TMessageAnswer::Cancel;
  });
  SetDefaultMessageTitle("Default Title");
  EXPECT_EQ(ShowMessage("plain"), TMessageAnswer::OK);
  EXPECT_EQ(ShowMessage("line one\r    line\ttwo\\end\n", "Audio API Message", TMessageIcon::Question,
                        TMessageButtons::YesNo, TMessageAnswer::No),
            TMessageAnswer::No);
  SetMessagePresenter(nullptr);

  auto messages = ReadMessageLog(log.Path());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].Title, "Default Title");
  EXPECT_EQ(messages[0].Text, "plain");
  EXPECT_EQ(messages[0].Buttons, TMessageButtons::OK);
  EXPECT_EQ(messages[1].Title, "Audio API Message");
  EXPECT_EQ(messages[1].Text, "line one\r    line\ttwo\\end\n");
  EXPECT_EQ(messages[1].Icon, TMessageIcon::Question);
  EXPECT_EQ(messages[1].Buttons, TMessageButtons::YesNo);
  // One line per message, whatever the text holds.
  std::string raw = ReadTextFile(log.Path());
  EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), 2);
}

TEST(ShowMessage, WithoutALogThePresenterAnswers) {
  ::unsetenv("KELDAR_MESSAGE_LOG");
  std::string seen;
  SetMessagePresenter([&](const TMessage& m) {
    seen = m.Text;
    return TMessageAnswer::Yes;
  });
  EXPECT_EQ(ShowMessage("Open?", "t", TMessageIcon::Question, TMessageButtons::YesNo, TMessageAnswer::No),
            TMessageAnswer::Yes);
  EXPECT_EQ(seen, "Open?");
  SetMessagePresenter(nullptr);
}
