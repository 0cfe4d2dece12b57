// Views of the simple controls: labels, text boxes, buttons, check and option
// boxes, scroll bars, pictures, frames and lines.
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <cmath>
#include <functional>

#include "platform/forms/Controls.h"
#include "platform/forms/TextBox.h"
#include "platform/qtui/Colors.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Pixmaps.h"
#include "platform/qtui/Units.h"
#include "platform/qtui/Views.h"

namespace qtui {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// The control's colours; disabled, it is drawn as the platform draws disabled controls: greyed
// text and, for a box to type in, a greyed field.
void SetColors(QWidget* w, const forms::Control& c, QPalette::ColorRole back,
               QPalette::ColorRole fore) {
  QPalette pal = w->palette();
  const QPalette standard = QApplication::palette(w);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, back, ToQColor(c.BackColor()));
    pal.setColor(group, fore, ToQColor(c.ForeColor()));
  }
  pal.setColor(
      QPalette::Disabled, back,
      back == QPalette::Base ? standard.color(QPalette::Disabled, back) : ToQColor(c.BackColor()));
  pal.setColor(QPalette::Disabled, fore, standard.color(QPalette::Disabled, fore));
  w->setPalette(pal);
}

Qt::Alignment HAlign(int vbAlignment) {
  switch (vbAlignment) {
    case forms::vbRightJustify:
      return Qt::AlignRight;
    case forms::vbCenter:
      return Qt::AlignHCenter;
    default:
      return Qt::AlignLeft;
  }
}

// ---- Label
// VB breaks a caption that does not fit at word ends.  A label one line high would then show
// only the start of a name with the rest cut off: it keeps its caption on one line and leaves
// out the middle instead (a file name keeps its extension, a folder its last part).
class CaptionLabel : public QLabel {
 public:
  using QLabel::QLabel;
  // The whole caption stays readable as the property "caption" (layout checks).
  void SetCaption(const QString& caption) {
    caption_ = caption;
    setProperty("caption", caption);
    Fit();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Fit();
  }
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) Fit();
  }

 private:
  void Fit() {
    const QFontMetrics metrics(font());
    const bool oneLine = height() < 2 * metrics.lineSpacing() && !caption_.contains('\n') &&
                         !caption_.contains('\r');
    setWordWrap(!oneLine);
    setText(oneLine ? metrics.elidedText(caption_, Qt::ElideMiddle, contentsRect().width())
                    : caption_);
  }
  QString caption_;
};

class LabelView : public ControlView {
 public:
  LabelView(forms::Label& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    label_ = new CaptionLabel(parent);
    label_->setTextFormat(Qt::PlainText);
    label_->setIndent(0);
    label_->setMargin(0);
    return label_;
  }
  bool ClickOnRelease() const override { return true; }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Caption || p == Prop::Style) {
      QString text = Q(m_.Caption());
      if (m_.UseMnemonic()) text.replace("&&", "\x01").remove('&').replace('\x01', '&');
      label_->setAlignment(HAlign(m_.Alignment()) | Qt::AlignTop);
      label_->setFrameStyle(m_.BorderStyle() == 1 ? QFrame::Panel | QFrame::Sunken
                                                  : QFrame::NoFrame);
      label_->SetCaption(text);
    }
    if (p == Prop::Color || p == Prop::Style) {
      SetColors(label_, m_, QPalette::Window, QPalette::WindowText);
      label_->setAutoFillBackground(m_.BackStyle() == 1);
    }
  }

 private:
  forms::Label& m_;
  CaptionLabel* label_ = nullptr;
};

// ---- TextBox (single or multi-line)
class TextBoxView : public ControlView {
 public:
  TextBoxView(forms::TextBox& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    if (m_.MultiLine()) {
      multi_ = new QPlainTextEdit(parent);
      QObject::connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
        User([this] { m_.UserSetText(multi_->toPlainText().toStdString()); });
      });
      return multi_;
    }
    line_ = new QLineEdit(parent);
    QObject::connect(line_, &QLineEdit::textEdited, this, [this](const QString& t) {
      User([this, t] { m_.UserSetText(t.toStdString()); });
    });
    QObject::connect(line_, &QLineEdit::selectionChanged, this, [this] {
      const int start =
          line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
      const int length = static_cast<int>(line_->selectedText().size());
      User([this, start, length] { m_.UserSetSelection(start, length); });
    });
    return line_;
  }
  QList<QWidget*> InputWidgets() override {
    if (multi_) return {multi_, multi_->viewport()};
    return {line_};
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Text) {
      const QString text = Q(m_.Text());
      if (line_ && line_->text() != text) line_->setText(text);
      if (multi_ && multi_->toPlainText() != text) multi_->setPlainText(text);
    }
    if (p == Prop::Selection && line_) {
      line_->setSelection(m_.SelStart(), m_.SelLength());
    }
    if (p == Prop::Style) {
      if (line_) {
        line_->setReadOnly(m_.Locked());
        line_->setMaxLength(m_.MaxLength() > 0 ? m_.MaxLength() : 32767);
        line_->setAlignment(HAlign(m_.Alignment()));
        line_->setFrame(m_.BorderStyle() != 0);
        line_->setEchoMode(m_.PasswordChar().empty() ? QLineEdit::Normal : QLineEdit::Password);
      }
      if (multi_) multi_->setReadOnly(m_.Locked());
    }
    if (p == Prop::Color) {
      SetColors(widget(), m_, QPalette::Base, QPalette::Text);
    }
  }

 private:
  forms::TextBox& m_;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* multi_ = nullptr;
};

// ---- CommandButton ("&" marks the access key, as in Qt)
class ButtonView : public ControlView {
 public:
  ButtonView(forms::CommandButton& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    button_ = new QPushButton(parent);
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, this,
                     [this] { User([this] { m_.UserClick(); }); });
    return button_;
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Caption) button_->setText(Q(m_.Caption()));
    if (p == Prop::Style) button_->setDefault(m_.Default());
    if (p == Prop::Picture) {
      const QPixmap pix = ToPixmap(m_.Picture());
      button_->setIcon(pix.isNull() ? QIcon() : QIcon(pix));
      if (!pix.isNull()) button_->setIconSize(pix.size());
    }
  }

 private:
  forms::CommandButton& m_;
  QPushButton* button_ = nullptr;
};

// A check box or option button takes a click anywhere in its area, right of its caption too,
// as on Windows (Qt takes only the mark and the caption's text).
template <class Button>
class WholeAreaButton : public Button {
 public:
  using Button::Button;

 protected:
  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

// ---- CheckBox: the model decides the new value; the widget shows it
class CheckView : public ControlView {
 public:
  CheckView(forms::CheckBox& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    box_ = new WholeAreaButton<QCheckBox>(parent);
    box_->setTristate(true);
    QObject::connect(box_, &QCheckBox::clicked, this, [this] {
      User([this] { m_.UserClick(); });
      Sync(forms::Prop::Value);
    });
    return box_;
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Caption) box_->setText(Q(m_.Caption()));
    if (p == Prop::Value) {
      box_->setCheckState(m_.Value() == forms::vbChecked  ? Qt::Checked
                          : m_.Value() == forms::vbGrayed ? Qt::PartiallyChecked
                                                          : Qt::Unchecked);
    }
    if (p == Prop::Color) SetColors(box_, m_, QPalette::Window, QPalette::WindowText);
  }

 private:
  forms::CheckBox& m_;
  QCheckBox* box_ = nullptr;
};

// ---- OptionButton: grouping is the model's, so Qt's exclusivity is off; the arrow keys move
// through the group and a group is one Tab stop, as on Windows
class OptionView : public ControlView {
 public:
  OptionView(forms::OptionButton& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    radio_ = new WholeAreaButton<QRadioButton>(parent);
    radio_->setAutoExclusive(false);
    QObject::connect(radio_, &QRadioButton::clicked, this, [this] {
      User([this] { m_.UserClick(); });
      Sync(forms::Prop::Value);
    });
    return radio_;
  }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Caption) radio_->setText(Q(m_.Caption()));
    if (p == Prop::Value) {
      radio_->setChecked(m_.Value());
      SyncTabStops();
    }
    if (p == Prop::Color) SetColors(radio_, m_, QPalette::Window, QPalette::WindowText);
  }
  bool KeyAction(const QKeyEvent& e) override {
    int step = 0;
    if (e.key() == Qt::Key_Up || e.key() == Qt::Key_Left) step = -1;
    if (e.key() == Qt::Key_Down || e.key() == Qt::Key_Right) step = 1;
    if (step == 0 || e.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    User([&] { m_.UserArrow(step); });
    return true;
  }

 private:
  // Only the group's Tab stop takes the focus by Tab; a click still gives it to any option.
  void SyncTabStops() {
    for (forms::OptionButton* o : m_.Group()) {
      if (QWidget* w = window().WidgetOf(o))
        w->setFocusPolicy(o->GroupTabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    }
  }

  forms::OptionButton& m_;
  QRadioButton* radio_ = nullptr;
};

// ---- HScrollBar (a reversed range, Min > Max, is shown inverted)
class ScrollView : public ControlView {
 public:
  ScrollView(forms::HScrollBar& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    bar_ = new QScrollBar(Qt::Horizontal, parent);
    QObject::connect(bar_, &QScrollBar::valueChanged, this, [this](int v) {
      if (bar_->isSliderDown()) {
        User([this, v] { m_.UserDragThumb(ModelValue(v)); });
      } else {
        User([this, v] { m_.UserSetValue(ModelValue(v)); });
      }
    });
    QObject::connect(bar_, &QScrollBar::sliderReleased, this,
                     [this] { User([this] { m_.UserSetValue(ModelValue(bar_->value())); }); });
    return bar_;
  }
  void SyncOwn(forms::Prop p) override {
    if (p != forms::Prop::Value) return;
    reversed_ = m_.Min() > m_.Max();
    bar_->setRange(std::min(m_.Min(), m_.Max()), std::max(m_.Min(), m_.Max()));
    bar_->setInvertedAppearance(reversed_);
    bar_->setSingleStep(m_.SmallChange());
    bar_->setPageStep(m_.LargeChange());
    bar_->setValue(m_.Value());
  }

 private:
  int ModelValue(int v) const { return v; }
  forms::HScrollBar& m_;
  QScrollBar* bar_ = nullptr;
  bool reversed_ = false;
};

// ---- Image: a picture, stretched or at its own size; the own size follows the
// window's layout scale, as the control does, so a shrunk window shows the
// whole picture, smaller, instead of its top-left corner.
class PictureWidget : public QWidget {
 public:
  using QWidget::QWidget;
  QPixmap pixmap;
  bool stretch = false;
  bool border = false;
  std::function<double()> scale = [] { return 1.0; };

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (!pixmap.isNull()) {
      if (stretch) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), pixmap);
      } else {
        const double k = scale();
        if (k == 1.0) {
          p.drawPixmap(0, 0, pixmap);
        } else {
          p.setRenderHint(QPainter::SmoothPixmapTransform);
          p.drawPixmap(QRect(0, 0, static_cast<int>(std::lround(pixmap.width() * k)),
                             static_cast<int>(std::lround(pixmap.height() * k))),
                       pixmap);
        }
      }
    }
    if (border) {
      p.setPen(palette().color(QPalette::Dark));
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
};

class ImageView : public ControlView {
 public:
  ImageView(forms::Image& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    pic_ = new PictureWidget(parent);
    pic_->scale = [this] { return window().FontScale(); };
    return pic_;
  }
  bool ClickOnRelease() const override { return true; }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Picture || p == Prop::Style) {
      pic_->pixmap = ToPixmap(m_.Picture());
      pic_->stretch = m_.Stretch();
      pic_->border = m_.BorderStyle() == 1;
      pic_->update();
    }
  }

 private:
  forms::Image& m_;
  PictureWidget* pic_ = nullptr;
};

// ---- Frame: an etched box with the caption in its top edge
class FrameWidget : public QWidget {
 public:
  using QWidget::QWidget;
  QString caption;
  bool border = true;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics fm(font());
    const int top = caption.isEmpty() ? 0 : fm.height() / 2;
    if (border) {
      const QRect box = rect().adjusted(0, top, -2, -2);
      p.setPen(palette().color(QPalette::Dark));
      p.drawRect(box);
      p.setPen(palette().color(QPalette::Light));
      p.drawRect(box.translated(1, 1));
    }
    if (!caption.isEmpty()) {
      const int width = fm.horizontalAdvance(caption) + 4;
      const QRect textRect(6, 0, std::min(width, this->width() - 8), fm.height());
      p.fillRect(textRect, palette().color(QPalette::Window));
      p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                               QPalette::WindowText));
      p.drawText(textRect, Qt::AlignCenter, caption);
    }
  }
};

class FrameView : public ControlView {
 public:
  FrameView(forms::Frame& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    frame_ = new FrameWidget(parent);
    frame_->setAutoFillBackground(true);
    return frame_;
  }
  bool ClickOnRelease() const override { return true; }
  void SyncOwn(forms::Prop p) override {
    using forms::Prop;
    if (p == Prop::Caption || p == Prop::Style) {
      QString text = Q(m_.Caption());
      frame_->caption = text.replace("&&", "\x01").remove('&').replace('\x01', '&');
      frame_->border = m_.BorderStyle() != 0;
      frame_->update();
    }
    if (p == Prop::Color) SetColors(frame_, m_, QPalette::Window, QPalette::WindowText);
  }

 private:
  forms::Frame& m_;
  FrameWidget* frame_ = nullptr;
};

// ---- Line: drawn inside its bounding box, transparent to the mouse
class LineWidget : public QWidget {
 public:
  using QWidget::QWidget;
  QPoint a, b;
  QColor color;
  int width = 1;
  Qt::PenStyle style = Qt::SolidLine;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(color, width, style));
    p.drawLine(a, b);
  }
};

class LineView : public ControlView {
 public:
  LineView(forms::Line& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    line_ = new LineWidget(parent);
    line_->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line_;
  }
  QList<QWidget*> InputWidgets() override { return {}; }
  void SyncGeometry() override {
    const int pen = std::max(1, m_.BorderWidth());
    const int x1 = TwipsToPixels(m_.X1()), y1 = TwipsToPixels(m_.Y1());
    const int x2 = TwipsToPixels(m_.X2()), y2 = TwipsToPixels(m_.Y2());
    const QRect box = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                            QPoint(std::max(x1, x2), std::max(y1, y2)))
                          .adjusted(0, 0, pen, pen);
    line_->setGeometry(box);
    line_->a = QPoint(x1, y1) - box.topLeft();
    line_->b = QPoint(x2, y2) - box.topLeft();
    line_->update();
  }
  void SyncOwn(forms::Prop p) override {
    if (p != forms::Prop::Style && p != forms::Prop::Color) return;
    line_->color = ToQColor(m_.BorderColor());
    line_->width = std::max(1, m_.BorderWidth());
    static const Qt::PenStyle kStyles[] = {Qt::NoPen,   Qt::SolidLine,   Qt::DashLine,
                                           Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    const int s = m_.BorderStyle();
    line_->style = s >= 0 && s <= 5 ? kStyles[s] : Qt::SolidLine;
    line_->update();
  }

 private:
  forms::Line& m_;
  LineWidget* line_ = nullptr;
};

}  // namespace

std::unique_ptr<ControlView> MakeSimpleView(forms::Control& c, FormWindow& w) {
  if (auto* m = dynamic_cast<forms::Label*>(&c)) return std::make_unique<LabelView>(*m, w);
  if (auto* m = dynamic_cast<forms::TextBox*>(&c)) return std::make_unique<TextBoxView>(*m, w);
  if (auto* m = dynamic_cast<forms::CommandButton*>(&c)) return std::make_unique<ButtonView>(*m, w);
  if (auto* m = dynamic_cast<forms::CheckBox*>(&c)) return std::make_unique<CheckView>(*m, w);
  if (auto* m = dynamic_cast<forms::OptionButton*>(&c)) return std::make_unique<OptionView>(*m, w);
  if (auto* m = dynamic_cast<forms::HScrollBar*>(&c)) return std::make_unique<ScrollView>(*m, w);
  if (auto* m = dynamic_cast<forms::Image*>(&c)) return std::make_unique<ImageView>(*m, w);
  if (auto* m = dynamic_cast<forms::Frame*>(&c)) return std::make_unique<FrameView>(*m, w);
  if (auto* m = dynamic_cast<forms::Line*>(&c)) return std::make_unique<LineView>(*m, w);
  return nullptr;
}

}  // namespace qtui
