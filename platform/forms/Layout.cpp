#include "platform/forms/Layout.h"

#include <cctype>
#include <fstream>
#include <set>

#include "platform/forms/ControlArray.h"
#include "platform/forms/Form.h"
#include "platform/forms/Picture.h"

namespace forms {
namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool ValidName(const std::string& s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
  for (char c : s)
    if (!IsNameChar(c)) return false;
  return true;
}

class Parser {
 public:
  Parser(Form& form, std::string label) : form_(form), label_(std::move(label)) {}

  void Line(const std::string& raw) {
    ++line_;
    std::string text = Trim(raw);
    if (text.empty() || text[0] == '#' || text[0] == '\'') return;
    if (StartsWord(text, "Form")) return FormHeader(Trim(text.substr(4)));
    if (StartsWord(text, "Control")) return ControlHeader(Trim(text.substr(7)));
    Property(text);
  }

  void Finish() {
    if (line_ == 0 || !sawForm_) Fail("no \"Form\" line");
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw LayoutError(321, label_, line_, what);
  }

  static bool StartsWord(const std::string& s, const char* word) {
    size_t n = std::char_traits<char>::length(word);
    return s.size() > n && s.compare(0, n, word) == 0 && (s[n] == ' ' || s[n] == '\t');
  }

  void FormHeader(const std::string& name) {
    if (sawForm_) Fail("a second \"Form\" line");
    if (!ValidName(name)) Fail("bad form name \"" + name + "\"");
    sawForm_ = true;
    current_ = nullptr;
  }

  // Control <Type> <Name>[(<Index>)]
  void ControlHeader(const std::string& rest) {
    if (!sawForm_) Fail("\"Control\" before the \"Form\" line");
    size_t sp = rest.find_first_of(" \t");
    if (sp == std::string::npos) Fail("expected: Control <Type> <Name>[(<Index>)]");
    std::string type = rest.substr(0, sp);
    std::string ref = Trim(rest.substr(sp));
    int index = -1;
    std::string name = ref;
    if (size_t open = ref.find('('); open != std::string::npos) {
      if (ref.back() != ')') Fail("bad control name \"" + ref + "\"");
      name = ref.substr(0, open);
      index = Number(ref.substr(open + 1, ref.size() - open - 2), "index");
      if (index < 0) Fail("negative index in \"" + ref + "\"");
    }
    if (!ValidName(name)) Fail("bad control name \"" + ref + "\"");
    current_ = Find(type, name, index);
    form_.PlaceLast(*current_);
    defined_.insert(current_);
  }

  Control* Find(const std::string& type, const std::string& name, int index) {
    if (index >= 0) {
      ControlArrayBase* arr = form_.FindArray(name);
      if (!arr) {
        if (form_.FindControl(name)) Fail("\"" + name + "\" is not a control array");
        Fail("the window has no control array \"" + name + "\"");
      }
      if (arr->ElementType() != type)
        Fail("\"" + name + "\" is a " + arr->ElementType() + " array, not " + type);
      return &arr->Ensure(index);
    }
    Control* c = form_.FindControl(name);
    if (!c) {
      if (form_.FindArray(name)) Fail("\"" + name + "\" is a control array: give its index");
      Fail("the window has no control \"" + name + "\"");
    }
    if (c->TypeName() != type) Fail("\"" + name + "\" is a " + c->TypeName() + ", not " + type);
    return c;
  }

  int Number(const std::string& s, const char* what) const {
    try {
      size_t used = 0;
      int n = std::stoi(s, &used);
      if (used == s.size()) return n;
    } catch (const std::exception&) {
    }
    Fail(std::string("bad ") + what + " \"" + s + "\"");
  }

  // A quoted text ("" for a quote) or a bare token.
  std::string Value(const std::string& v) const {
    if (v.empty()) Fail("missing value");
    if (v[0] != '"') {
      for (char c : v)
        if (c == ' ' || c == '\t' || c == '"') Fail("unquoted text \"" + v + "\"");
      return v;
    }
    std::string out;
    size_t i = 1;
    for (; i < v.size(); ++i) {
      if (v[i] != '"') {
        out += v[i];
      } else if (i + 1 < v.size() && v[i + 1] == '"') {
        out += '"';
        ++i;
      } else {
        break;
      }
    }
    if (i >= v.size()) Fail("unterminated text");
    std::string tail = Trim(v.substr(i + 1));
    if (!tail.empty() && tail[0] != '#') Fail("text after the closing quote");
    return out;
  }

  void Property(const std::string& text) {
    if (!sawForm_) Fail("property before the \"Form\" line");
    size_t eq = text.find('=');
    if (eq == std::string::npos) Fail("expected: Property = Value");
    std::string key = Trim(text.substr(0, eq));
    std::string value = Value(Trim(text.substr(eq + 1)));
    if (key.empty()) Fail("missing property name");
    try {
      bool known = current_ ? SetOnControl(key, value) : form_.SetDesignProperty(key, value);
      if (!known)
        Fail("unknown property \"" + key + "\"" +
             (current_ ? " of " + current_->TypeName() + " \"" + current_->Name() + "\"" : ""));
    } catch (const LayoutError&) {
      throw;
    } catch (const vb::VbError& e) {
      Fail("bad value for \"" + key + "\": " + e.Description());
    }
  }

  bool SetOnControl(const std::string& key, const std::string& value) {
    if (key == "Parent" || key == "parent") {
      SetParent(value);
      return true;
    }
    return current_->SetDesignProperty(key, value);
  }

  // "fraButtons", "TabComp:2", "imaArr(3)", "TabArr(1):0"
  void SetParent(const std::string& spec) {
    std::string ref = spec;
    int page = -1;
    if (size_t colon = ref.rfind(':'); colon != std::string::npos) {
      page = Number(ref.substr(colon + 1), "tab page");
      ref = ref.substr(0, colon);
    }
    int index = -1;
    if (size_t open = ref.find('('); open != std::string::npos && ref.back() == ')') {
      index = Number(ref.substr(open + 1, ref.size() - open - 2), "index");
      ref = ref.substr(0, open);
    }
    Control* parent = form_.FindControl(ref, index);
    if (!parent || !defined_.count(parent)) Fail("parent \"" + spec + "\" is not defined above");
    if (!parent->IsContainer()) Fail("parent \"" + spec + "\" cannot contain controls");
    bool isTab = parent->TypeName() == "TabControl";
    if (isTab && page < 0) Fail("parent \"" + spec + "\" needs a page (\"" + ref + ":0\")");
    if (!isTab && page >= 0) Fail("parent \"" + spec + "\" has no pages");
    current_->SetContainer(parent, page);
  }

  Form& form_;
  std::string label_;
  int line_ = 0;
  bool sawForm_ = false;
  Control* current_ = nullptr;
  std::set<Control*> defined_;
};

}  // namespace

LayoutError::LayoutError(int number, std::string file, int line, const std::string& what)
    : vb::VbError(number, file + ":" + std::to_string(line) + ": " + what),
      file_(std::move(file)),
      line_(line) {}

std::filesystem::path LayoutPath(const std::string& name) {
  // A full path names the file itself: windows of the tests keep their layouts beside them.
  if (std::filesystem::path(name).is_absolute()) return name;
  return ResourceDir() / "layouts" / (name + ".layout");
}

void LoadLayout(Form& form, std::istream& in, const std::string& label) {
  SuppressEvents quiet;
  Parser p(form, label);
  std::string line;
  while (std::getline(in, line)) p.Line(line);
  p.Finish();
}

void LoadLayoutFile(Form& form, const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw LayoutError(vb::kFileNotFound, file.string(), 0, "cannot open the layout file");
  LoadLayout(form, in, file.string());
}

}  // namespace forms
