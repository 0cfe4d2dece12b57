#pragma once
// The TextBox, including the DDE link members (a hidden text box is the
// program's link to KEP).

#include <string>

#include "platform/dde/Link.h"
#include "platform/forms/Control.h"

namespace forms {

class TextBox : public Control {
 public:
  static constexpr const char* kTypeName = "TextBox";
  TextBox(Form& f, std::string name, int index = -1);

  const std::string& Text() const { return text_; }
  // Raises Change when the text differs (cut to MaxLength when it is set).
  void SetText(std::string t);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int n);
  bool MultiLine() const { return multiLine_; }
  bool Locked() const { return locked_; }
  void SetLocked(bool v);
  int Alignment() const { return alignment_; }
  const std::string& PasswordChar() const { return passwordChar_; }
  int BorderStyle() const { return borderStyle_; }

  // Selection, in characters (UTF-8 code points) from the start.
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelStart(int v);   // negative: 380; beyond the end: the end
  void SetSelLength(int v);  // negative: 380; cut to the text
  std::string SelText() const;
  // Replaces the selection; raises Change.
  void SetSelText(const std::string& t);

  Event<> Change;

  // ---- DDE link (see platform/dde/Link.h for the errors)
  int LinkMode() const { return link_.LinkMode(); }
  void SetLinkMode(int mode);
  const std::string& LinkTopic() const { return link_.LinkTopic(); }
  void SetLinkTopic(std::string topic);
  const std::string& LinkItem() const { return link_.LinkItem(); }
  void SetLinkItem(std::string item);
  int LinkTimeout() const { return link_.LinkTimeout(); }
  void SetLinkTimeout(int tenths);
  // Asks for LinkItem; the reply becomes Text (Change fires when it differs).
  void LinkRequest();
  void LinkExecute(const std::string& command);
  // Sends Text as the new value of LinkItem.
  void LinkPoke();

  bool CanFocus() const override { return true; }
  // The user typed or pasted: Text and Change (ignored while Locked or disabled).
  void UserSetText(const std::string& t);
  void UserSetSelection(int start, int length);
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  int TextChars() const;
  std::string text_;
  int maxLength_ = 0;
  bool multiLine_ = false;
  bool locked_ = false;
  int alignment_ = 0;
  std::string passwordChar_;
  int borderStyle_ = 1;
  int selStart_ = 0;
  int selLength_ = 0;
  dde::Link link_;
};

}  // namespace forms
