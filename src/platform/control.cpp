#include "platform/control.h"


#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

#include "platform/form.h"
#include "platform/text.h"

namespace orbus {

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Button: return "Button";
    case Kind::CheckBox: return "CheckBox";
    case Kind::OptionButton: return "OptionButton";
    case Kind::Label: return "Label";
    case Kind::Frame: return "Frame";
    case Kind::TextBox: return "TextBox";
    case Kind::Slider: return "Slider";
    case Kind::ComboBox: return "ComboBox";
    case Kind::MenuItem: return "MenuItem";
    case Kind::ProgressBar: return "ProgressBar";
    case Kind::UpDown: return "UpDown";
    case Kind::Timer: return "Timer";
    case Kind::Picture: return "Picture";
    case Kind::Table: return "Table";
    }
    return "?";
}

Control::Control(Form& form, Kind kind, std::string name, int index)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index) {
    form_.registerControl(this);
}

Control::~Control() { form_.unregisterControl(this); }

std::string Control::objectName() const {
    return index_ < 0 ? name_ : name_ + "_" + std::to_string(index_);
}

void Control::setVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    changed(Prop::Visible);
}

void Control::setEnabled(bool e) {
    if (enabled_ == e) return;
    enabled_ = e;
    changed(Prop::Enabled);
}

void Control::setGeometry(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed(Prop::Geometry);
}

void Control::setTop(int top) {
    if (top_ == top) return;
    top_ = top;
    changed(Prop::Geometry);
}

void Control::setLeft(int left) {
    if (left_ == left) return;
    left_ = left;
    changed(Prop::Geometry);
}

void Control::setAccessibleName(std::string name) {
    accessible_ = std::move(name);
    changed(Prop::Accessible);
}

void Control::setShortcut(std::string keys, bool farReaching) {
    shortcut_ = std::move(keys);
    farShortcut_ = farReaching && !shortcut_.empty();
}

void Control::changed(Prop p) {
    if (observer_) observer_(*this, p);
}

namespace {
const Control* firingNow = nullptr;
std::vector<const Control*> firingStack;  // every control whose handler runs, outermost first
}  // namespace

const Control* Control::firing() { return firingNow; }

void Control::fire(const std::function<void()>& handler) const {
    if (!handler) return;
    // A menu item whose handler still runs (in a modal loop of its own,
    // while the window takes input) is not started a second time.
    if (kind_ == Kind::MenuItem) {
        for (const Control* c : firingStack) {
            if (c == this) return;
        }
    }
    struct Firing {
        const Control* outer = firingNow;
        explicit Firing(const Control* c) {
            firingNow = c;
            firingStack.push_back(c);
        }
        ~Firing() {
            firingNow = outer;
            firingStack.pop_back();
        }
    } firing(this);
    try {
        handler();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbus: %s of %s: %s\n", kindName(kind_), objectName().c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "orbus: %s of %s: unexpected failure\n", kindName(kind_),
                     objectName().c_str());
    }
}

void Captioned::setCaption(std::string c) {
    if (caption_ == c) return;
    caption_ = std::move(c);
    changed(Prop::Caption);
}

Button::Button(Form& form, std::string name, std::string caption, int index)
    : Captioned(form, Kind::Button, std::move(name), index) {
    setCaption(std::move(caption));
}

CheckBox::CheckBox(Form& form, std::string name, std::string caption, int index)
    : Captioned(form, Kind::CheckBox, std::move(name), index) {
    setCaption(std::move(caption));
}

void CheckBox::setValue(int v) {
    v = v ? 1 : 0;
    if (value_ == v) return;
    value_ = v;
    changed(Prop::Value);
}

void CheckBox::click() {
    setValue(value_ ? 0 : 1);
    fire(onClick);
}

OptionButton::OptionButton(Form& form, std::string name, std::string caption, int index)
    : Captioned(form, Kind::OptionButton, std::move(name), index) {
    setCaption(std::move(caption));
}

void OptionButton::setValue(bool v) {
    if (v) {
        for (Control* c : form().controls()) {
            if (c != this && c->kind() == Kind::OptionButton && c->container() == container()) {
                static_cast<OptionButton*>(c)->setValue(false);
            }
        }
    }
    if (value_ == v) return;
    value_ = v;
    changed(Prop::Value);
}

void OptionButton::click() {
    setValue(true);
    fire(onClick);
}

Label::Label(Form& form, std::string name, std::string caption, int index)
    : Captioned(form, Kind::Label, std::move(name), index) {
    setCaption(std::move(caption));
}

void Label::setMessageRole(std::string role) {
    messageRole_ = std::move(role);
    changed(Prop::Accessible);
}

void Label::setForeColor(int c) {
    if (fore_ == c) return;
    fore_ = c;
    changed(Prop::Color);
}

void Label::setCentered(bool c) {
    if (centered_ == c) return;
    centered_ = c;
    changed(Prop::Color);
}

void Label::setBordered(bool b) {
    if (bordered_ == b) return;
    bordered_ = b;
    changed(Prop::Color);
}

void Label::setBackColor(int c) {
    if (back_ == c) return;
    back_ = c;
    changed(Prop::Color);
}

Frame::Frame(Form& form, std::string name, std::string caption, int index)
    : Captioned(form, Kind::Frame, std::move(name), index) {
    setCaption(std::move(caption));
}

TextBox::TextBox(Form& form, std::string name, std::string text, int index)
    : Control(form, Kind::TextBox, std::move(name), index), text_(std::move(text)) {}

void TextBox::setText(std::string t) {
    if (t == text_) return;
    text_ = std::move(t);
    if (selStart_ > text_.size()) selStart_ = text_.size();
    changed(Prop::Text);
    fire(onChange);
}

void TextBox::setSelStart(std::size_t pos) {
    selStart_ = std::min(pos, text_.size());
    changed(Prop::Caret);
}

void TextBox::caretMovedTo(std::size_t pos) {
    selStart_ = std::min(pos, text_.size());
    fire(onCaretMove);
}

int TextBox::keyPress(int keyAscii) {
    if (onKeyPress) {
        int k = keyAscii;
        fire([&] { onKeyPress(k); });
        return k;
    }
    return keyAscii;
}

void TextBox::type(const std::string& keys) {
    for (unsigned char ch : keys) {
        int k = keyPress(ch);
        if (k == 0 || k == 13) continue;
        if (k == 8) {
            if (!text_.empty()) setText(text_.substr(0, text_.size() - 1));
        } else if (maxLength_ == 0 || static_cast<int>(text_.size()) < maxLength_) {
            setText(text_ + static_cast<char>(k));
        }
        moveCaretToEnd();
    }
}

Slider::Slider(Form& form, std::string name, int min, int max, int index)
    : Control(form, Kind::Slider, std::move(name), index), min_(min), max_(max), value_(min) {}

void Slider::setMin(int m) {
    if (min_ == m) return;
    min_ = m;
    if (max_ < min_) max_ = min_;
    changed(Prop::Range);
    if (value_ < min_) setValue(min_);
}

void Slider::setMax(int m) {
    if (max_ == m) return;
    max_ = m;
    if (min_ > max_) min_ = max_;
    changed(Prop::Range);
    if (value_ > max_) setValue(max_);
}

void Slider::setValue(int v) {
    v = std::clamp(v, min_, max_);
    if (v == value_) return;
    value_ = v;
    changed(Prop::Value);
    fire(onChange);
}

void Slider::setSteps(int small, int large, int tick) {
    small_ = small;
    large_ = large;
    tick_ = tick;
    changed(Prop::Range);
}

void Slider::scrollTo(int v) {
    setValue(v);
    fire(onScroll);
}

ComboBox::ComboBox(Form& form, std::string name, int index)
    : Control(form, Kind::ComboBox, std::move(name), index) {}

void ComboBox::addItem(std::string item) {
    items_.push_back(std::move(item));
    changed(Prop::Items);
}

void ComboBox::clear() {
    items_.clear();
    listIndex_ = -1;
    changed(Prop::Items);
}

bool ComboBox::setListIndex(int i) {
    if (i < -1 || i >= static_cast<int>(items_.size())) return false;
    if (listIndex_ != i) {
        listIndex_ = i;
        changed(Prop::Value);
    }
    return true;
}

std::string ComboBox::currentText() const {
    return listIndex_ >= 0 ? items_[static_cast<std::size_t>(listIndex_)] : std::string();
}

void ComboBox::choose(int i) {
    if (setListIndex(i)) fire(onClick);
}

MenuItem::MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent, int index)
    : Captioned(form, Kind::MenuItem, std::move(name), index), parent_(parent) {
    setCaption(std::move(caption));
    if (parent_) parent_->children_.push_back(this);
}

void MenuItem::placeLast() {
    if (!parent_) return;
    auto& list = parent_->children_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
}

bool MenuItem::shown() const {
    if (!visible()) return false;
    if (children_.empty()) return true;
    return std::any_of(children_.begin(), children_.end(), [](const MenuItem* c) { return c->shown(); });
}

void MenuItem::setChecked(bool c) {
    if (checked_ == c) return;
    checked_ = c;
    changed(Prop::Checked);
}

ProgressBar::ProgressBar(Form& form, std::string name, int min, int max)
    : Control(form, Kind::ProgressBar, std::move(name)), min_(min), max_(max), value_(min) {}

void ProgressBar::setValue(int v) {
    v = std::clamp(v, min_, max_);
    if (v == value_) return;
    value_ = v;
    changed(Prop::Value);
}

UpDown::UpDown(Form& form, std::string name, TextBox* buddy, int min, int max, int increment,
               int index)
    : Control(form, Kind::UpDown, std::move(name), index), buddy_(buddy), min_(min), max_(max),
      inc_(increment) {}

void UpDown::setMax(int m) {
    if (max_ == m) return;
    max_ = m;
    changed(Prop::Range);
}

void UpDown::setMin(int m) {
    if (min_ == m) return;
    min_ = m;
    changed(Prop::Range);
}

void UpDown::up() { step(inc_); }
void UpDown::down() { step(-inc_); }

void UpDown::step(int delta) {
    if (!buddy_) return;
    long v = leadingNumber(buddy_->text());
    // A maximum below the minimum (set from a camera's answer) pins the value.
    v = std::clamp<long>(v + delta, min_, std::max(min_, max_));
    buddy_->setText(std::to_string(v));
    fire(onChange);
}

Timer::Timer(Form& form, std::string name, int intervalMs, bool enabled)
    : Control(form, Kind::Timer, std::move(name)), interval_(intervalMs) {
    setEnabled(enabled);
    setVisible(false);
}

void Timer::setInterval(int ms) {
    if (interval_ == ms) return;
    interval_ = ms;
    changed(Prop::Interval);
}

Picture::Picture(Form& form, std::string name, int index)
    : Control(form, Kind::Picture, std::move(name), index) {}

void Picture::mouseDownAt(int x, int y) {
    if (onMouseDown) fire([&] { onMouseDown(x, y); });
    fire(onClick);
}

void Picture::mouseMoveAt(int x, int y) {
    if (onMouseMove) fire([&] { onMouseMove(x, y); });
}

void Picture::mouseLeave() { fire(onMouseLeave); }

void Picture::setImage(std::string key) {
    if (image_ == key) return;
    image_ = std::move(key);
    changed(Prop::Items);
}

void Picture::setImageSquare(int col, int row, int size) {
    if (sqCol_ == col && sqRow_ == row && sqSize_ == size) return;
    sqCol_ = col;
    sqRow_ = row;
    sqSize_ = size;
    changed(Prop::Items);
}

void Picture::setInverted(bool on) {
    if (inverted_ == on) return;
    inverted_ = on;
    changed(Prop::Items);
}

void Picture::setOutline(int col, int row) {
    if (col < 0) row = -1;
    if (olCol_ == col && olRow_ == row) return;
    olCol_ = col;
    olRow_ = row;
    changed(Prop::Items);
}

void Picture::setGrid(int cols, int rows) {
    cols_ = std::max(0, cols);
    rows_ = std::max(0, rows);
    changed(Prop::Items);
}

void Picture::setMarks(std::vector<Mark> marks) {
    if (marks == marks_) return;
    marks_ = std::move(marks);
    changed(Prop::Items);
}

}  // namespace orbus
