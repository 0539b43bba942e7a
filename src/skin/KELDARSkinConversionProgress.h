// The small window a skin conversion shows while it works: a text line, a bar from 0 to 10
// and a "Cancel" button that the conversion does not consult. Without a widget application
// (tools, tests on images) nothing is shown, but the texts are still kept.
#pragma once
#include <memory>
#include <string>

class QDialog;
class QLabel;
class QProgressBar;

class TKELDARSkinConversionProgress {
 public:
  explicit TKELDARSkinConversionProgress(const std::string& title);
  ~TKELDARSkinConversionProgress();
  TKELDARSkinConversionProgress(const TKELDARSkinConversionProgress&) = delete;
  TKELDARSkinConversionProgress& operator=(const TKELDARSkinConversionProgress&) = delete;

  // Moves the bar to step (0..10), shows "Completed :" + 10*step + "%" and lets pending
  // window messages run.
  void Step(int step);
  const std::string& Title() const { return title_; }
  const std::string& Text() const { return text_; }
  int Value() const { return value_; }
  QDialog* Dialog() const { return dialog_.get(); }

 private:
  std::string title_, text_;
  int value_ = 0;
  std::unique_ptr<QDialog> dialog_;
  QLabel* label_ = nullptr;
  QProgressBar* bar_ = nullptr;
};
