#include "platform/forms/TextBox.h"

#include <algorithm>

#include "platform/forms/Design.h"
#include "platform/vbrt/VbError.h"

namespace forms {
namespace {

// Byte offset of code point `chars` in UTF-8 text (the end when beyond it).
size_t ByteOffset(const std::string& s, int chars) {
  size_t i = 0;
  for (int n = 0; i < s.size() && n < chars; ++n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

int CountChars(const std::string& s) {
  int n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

TextBox::TextBox(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {
  SetBackColor(vbWindowBackground);
  SetForeColor(vbWindowText);
}

int TextBox::TextChars() const {
  return CountChars(text_);
}

void TextBox::SetText(std::string t) {
  if (maxLength_ > 0 && CountChars(t) > maxLength_) t.resize(ByteOffset(t, maxLength_));
  if (t == text_) return;
  text_ = std::move(t);
  // Like a Windows edit control: the caret goes to the start.
  selStart_ = 0;
  selLength_ = 0;
  Notify(Prop::Text);
  Change();
}

void TextBox::SetMaxLength(int n) {
  if (n < 0) vb::Raise(vb::kInvalidPropertyValue);
  maxLength_ = n;
}

void TextBox::SetLocked(bool v) {
  locked_ = v;
  Notify(Prop::Style);
}

void TextBox::SetSelStart(int v) {
  if (v < 0) vb::Raise(vb::kInvalidPropertyValue);
  selStart_ = std::min(v, TextChars());
  selLength_ = 0;
  Notify(Prop::Selection);
}

void TextBox::SetSelLength(int v) {
  if (v < 0) vb::Raise(vb::kInvalidPropertyValue);
  selLength_ = std::min(v, TextChars() - selStart_);
  Notify(Prop::Selection);
}

std::string TextBox::SelText() const {
  size_t a = ByteOffset(text_, selStart_);
  size_t b = ByteOffset(text_, selStart_ + selLength_);
  return text_.substr(a, b - a);
}

void TextBox::SetSelText(const std::string& t) {
  size_t a = ByteOffset(text_, selStart_);
  size_t b = ByteOffset(text_, selStart_ + selLength_);
  int start = selStart_;
  SetText(text_.substr(0, a) + t + text_.substr(b));
  selStart_ = std::min(start + CountChars(t), TextChars());
  selLength_ = 0;
  Notify(Prop::Selection);
}

// ---- DDE ---------------------------------------------------------------------

void TextBox::SetLinkMode(int mode) {
  link_.SetLinkMode(mode);
  Notify(Prop::Text);
}

void TextBox::SetLinkTopic(std::string topic) {
  link_.SetLinkTopic(std::move(topic));
}

void TextBox::SetLinkItem(std::string item) {
  link_.SetLinkItem(std::move(item));
}

void TextBox::SetLinkTimeout(int tenths) {
  link_.SetLinkTimeout(tenths);
}

void TextBox::LinkRequest() {
  SetText(link_.Request());
}

void TextBox::LinkExecute(const std::string& command) {
  link_.Execute(command);
}

void TextBox::LinkPoke() {
  link_.Poke(text_);
}

// ---- user --------------------------------------------------------------------

void TextBox::UserSetText(const std::string& t) {
  if (!Enabled() || locked_) return;
  AsUser([&] {
    SetText(t);
    selStart_ = TextChars();
  });
}

void TextBox::UserSetSelection(int start, int length) {
  int n = TextChars();
  selStart_ = std::clamp(start, 0, n);
  selLength_ = std::clamp(length, 0, n - selStart_);
  Notify(Prop::Selection);
}

bool TextBox::SetDesignProperty(const std::string& key, const std::string& value) {
  using namespace design;
  if (KeyIs(key, "Text")) {
    text_ = value;
  } else if (KeyIs(key, "MaxLength"))
    SetMaxLength(Int(value));
  else if (KeyIs(key, "MultiLine"))
    multiLine_ = Bool(value);
  else if (KeyIs(key, "Locked"))
    locked_ = Bool(value);
  else if (KeyIs(key, "Alignment"))
    alignment_ = Int(value);
  else if (KeyIs(key, "PasswordChar"))
    passwordChar_ = value;
  else if (KeyIs(key, "BorderStyle"))
    borderStyle_ = Int(value);
  else if (KeyIs(key, "LinkTopic"))
    SetLinkTopic(value);
  else if (KeyIs(key, "LinkItem"))
    SetLinkItem(value);
  else if (KeyIs(key, "LinkTimeout"))
    SetLinkTimeout(Int(value));
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void TextBox::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const TextBox*>(&model)) {
    text_ = m->text_;
    maxLength_ = m->maxLength_;
    multiLine_ = m->multiLine_;
    locked_ = m->locked_;
    alignment_ = m->alignment_;
    passwordChar_ = m->passwordChar_;
    borderStyle_ = m->borderStyle_;
  }
}

}  // namespace forms
