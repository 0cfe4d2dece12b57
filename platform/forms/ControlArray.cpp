#include "platform/forms/ControlArray.h"

#include "platform/forms/Form.h"

namespace forms {

ControlArrayBase::ControlArrayBase(Form& form, std::string name, std::string elementType)
    : form_(form), name_(std::move(name)), elementType_(std::move(elementType)) {
  form_.RegisterArray(*this);
}

ControlArrayBase::~ControlArrayBase() {
  form_.UnregisterArray(*this);
}

void ControlArrayBase::RaiseMissing(int index) {
  throw vb::VbError(340, "Control array element '" + std::to_string(index) + "' doesn't exist");
}

}  // namespace forms
