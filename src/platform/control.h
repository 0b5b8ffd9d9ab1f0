// Controls of the panel's windows: small value types that hold exactly the
// properties the window behaviour reads and writes and raise the events the
// behaviour handles. A view layer (Qt) mirrors them into real widgets; tests
// drive them directly.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orbus {

class Form;
class TextBox;

enum class Kind {
    Button,
    CheckBox,
    OptionButton,
    Label,
    Frame,
    TextBox,
    Slider,
    ComboBox,
    MenuItem,
    ProgressBar,
    UpDown,
    Timer,
    Picture,
    Table,  // platform/table.h
};

const char* kindName(Kind k);

// Which property changed, for the view's observer.
enum class Prop {
    Visible,
    Enabled,
    Caption,
    Text,
    Value,
    Range,
    Geometry,
    Items,
    Checked,
    Interval,
    Color,
    Caret,
    Accessible,
    Icon,
};

// Colours as 0xRRGGBB; -1 means the toolkit's default.
constexpr int kDefaultColor = -1;
constexpr int rgb(int r, int g, int b) { return (r << 16) | (g << 8) | b; }

class Control {
public:
    using Observer = std::function<void(Control&, Prop)>;

    Control(Form& form, Kind kind, std::string name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }
    // "Name" for a single control, "Name_<index>" for an element of an array.
    std::string objectName() const;
    Form& form() const { return form_; }

    // The frame that holds this control, or nullptr when it sits on the form.
    Control* container() const { return container_; }
    void setContainer(Control* frame) { container_ = frame; }

    bool visible() const { return visible_; }
    void setVisible(bool v);
    bool enabled() const { return enabled_; }
    void setEnabled(bool e);

    // Placement in twips, relative to the container.
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setGeometry(int left, int top, int width, int height);
    // Puts the control in a frame (nullptr: on the form) at the given place.
    void placeIn(Control* container, int left, int top, int width, int height) {
        setContainer(container);
        setGeometry(left, top, width, height);
    }
    void setTop(int top);
    void setLeft(int left);

    // Name read out by screen readers.
    const std::string& accessibleName() const { return accessible_; }
    void setAccessibleName(std::string name);

    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string tip) { toolTip_ = std::move(tip); }
    // Key that works the control from anywhere in its window ("F5", "Ctrl+1");
    // `farReaching`: from the program's main window too.
    const std::string& shortcut() const { return shortcut_; }
    bool shortcutFarReaching() const { return farShortcut_; }
    void setShortcut(std::string keys, bool farReaching = false);

    void setObserver(Observer o) { observer_ = std::move(o); }

    // The control whose event handler runs now (the innermost one), or
    // nullptr outside any handler: what a packet built now came from.
    static const Control* firing();

protected:
    void changed(Prop p);
    // Runs an event handler; nothing thrown by a handler leaves it.
    void fire(const std::function<void()>& handler) const;

private:
    Form& form_;
    Kind kind_;
    std::string name_;
    int index_;
    Control* container_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string accessible_;
    std::string toolTip_;
    std::string shortcut_;
    bool farShortcut_ = false;
    Observer observer_;
};

// A control that shows a caption: buttons, check boxes, labels, frames, menu items.
class Captioned : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(std::string c);

private:
    std::string caption_;
};

class Button : public Captioned {
public:
    Button(Form& form, std::string name, std::string caption, int index = -1);
    std::function<void()> onClick, onMouseDown, onMouseUp;

    // Operator actions (raised by the view, or by tests).
    void click() const { fire(onClick); }
    void mouseDown() const { fire(onMouseDown); }
    void mouseUp() const { fire(onMouseUp); }

    bool isDefault() const { return default_; }
    void setDefault(bool d) { default_ = d; }

private:
    bool default_ = false;
};

// Value 0 = cleared, 1 = checked. Setting the value from code raises no event.
class CheckBox : public Captioned {
public:
    CheckBox(Form& form, std::string name, std::string caption, int index = -1);
    int value() const { return value_; }
    bool checked() const { return value_ != 0; }
    void setValue(int v);
    std::function<void()> onClick;
    // Operator toggles the box: the value flips, then Click.
    void click();

private:
    int value_ = 0;
};

// Option buttons of one container (frame or form) and one group exclude each
// other: selecting one clears the others.
class OptionButton : public Captioned {
public:
    OptionButton(Form& form, std::string name, std::string caption, int index = -1);
    bool value() const { return value_; }
    void setValue(bool v);
    std::function<void()> onClick;
    void click();

private:
    bool value_ = false;
};

class Label : public Captioned {
public:
    Label(Form& form, std::string name, std::string caption, int index = -1);
    int foreColor() const { return fore_; }
    void setForeColor(int c);
    int backColor() const { return back_; }
    void setBackColor(int c);
    bool centered() const { return centered_; }
    void setCentered(bool c);
    bool bordered() const { return bordered_; }
    void setBordered(bool b);

    // A label whose caption is a message (an error line, the step of a long
    // task): screen readers read the caption itself, whenever it changes;
    // `role` ("Port error") describes the label, and is read instead while
    // the caption is empty. Empty: an ordinary label.
    const std::string& messageRole() const { return messageRole_; }
    void setMessageRole(std::string role);
    // The operator can select and copy the caption (mouse and keyboard).
    bool selectable() const { return selectable_; }
    void setSelectable(bool s) { selectable_ = s; }
    // Drawn in a fixed-width font: columns of characters line up.
    bool fixedPitch() const { return fixedPitch_; }
    void setFixedPitch(bool f) { fixedPitch_ = f; }

private:
    std::string messageRole_;
    bool selectable_ = false;
    bool fixedPitch_ = false;
    int fore_ = kDefaultColor;
    int back_ = kDefaultColor;
    bool centered_ = false;
    bool bordered_ = false;
};

class Frame : public Captioned {
public:
    Frame(Form& form, std::string name, std::string caption, int index = -1);
    std::function<void()> onClick;
    void click() const { fire(onClick); }
};

class TextBox : public Control {
public:
    TextBox(Form& form, std::string name, std::string text = "", int index = -1);
    const std::string& text() const { return text_; }
    // Raises Change when the text differs.
    void setText(std::string t);
    // Caret position (0-based character index); the view keeps it visible.
    std::size_t selStart() const { return selStart_; }
    void setSelStart(std::size_t pos);
    void moveCaretToEnd() { setSelStart(text_.size()); }
    // The operator put the caret at `pos` (click or arrow keys): CaretMove.
    void caretMovedTo(std::size_t pos);
    std::function<void()> onCaretMove;
    // The tool tip for the text at character position `pos`, asked by the
    // view when the pointer rests over the text; none when unset or empty.
    std::function<std::string(std::size_t pos)> toolTipAt;

    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool m) { multiLine_ = m; }
    bool locked() const { return locked_; }
    void setLocked(bool l) { locked_ = l; }
    bool centered() const { return centered_; }
    void setCentered(bool c) { centered_ = c; }
    int maxLength() const { return maxLength_; }
    void setMaxLength(int n) { maxLength_ = n; }

    std::function<void()> onChange;
    // The handler may replace the key code or swallow it by setting it to 0.
    std::function<void(int& keyAscii)> onKeyPress;

    // Offers one typed key to the KeyPress handler and returns the key that
    // remains (0 when swallowed).
    int keyPress(int keyAscii);
    // Operator types characters at the end of the box: each goes through
    // KeyPress; printable survivors are appended, backspace removes the last
    // character, Enter is only offered to the handler.
    void type(const std::string& keys);

private:
    std::string text_;
    std::size_t selStart_ = 0;
    bool multiLine_ = false;
    bool locked_ = false;
    bool centered_ = false;
    int maxLength_ = 0;
};

// Integer slider. Change is raised whenever the value changes (also from
// code); Scroll only when the operator moves the thumb or uses the keyboard.
class Slider : public Control {
public:
    Slider(Form& form, std::string name, int min, int max, int index = -1);
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    void setMin(int m);
    void setMax(int m);
    void setValue(int v);
    int smallChange() const { return small_; }
    int largeChange() const { return large_; }
    int tickFrequency() const { return tick_; }
    void setSteps(int small, int large, int tick);
    bool vertical() const { return vertical_; }
    void setVertical(bool v) { vertical_ = v; }

    std::function<void()> onChange, onScroll, onMouseDown, onMouseUp;

    void mouseDown() const { fire(onMouseDown); }
    void mouseUp() const { fire(onMouseUp); }
    // Operator moves the thumb to v (clamped): Change when it moved, then Scroll.
    void scrollTo(int v);

private:
    int min_, max_, value_;
    int small_ = 1, large_ = 1, tick_ = 1;
    bool vertical_ = false;
};

class ComboBox : public Control {
public:
    ComboBox(Form& form, std::string name, int index = -1);
    const std::vector<std::string>& items() const { return items_; }
    void addItem(std::string item);
    void clear();
    int listIndex() const { return listIndex_; }
    // -1 selects nothing; an index outside the list is refused.
    bool setListIndex(int i);
    std::string currentText() const;
    std::function<void()> onClick;
    // Operator picks entry i.
    void choose(int i);

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

// Menu entries form a tree: a top-level menu has no parent; an entry with
// children opens a sub-menu. Checked shows a check mark; checkable tells the
// view that the entry toggles or belongs to a group even while unchecked.
class MenuItem : public Captioned {
public:
    MenuItem(Form& form, std::string name, std::string caption, MenuItem* parent = nullptr,
             int index = -1);
    MenuItem* parent() const { return parent_; }
    const std::vector<MenuItem*>& children() const { return children_; }
    bool checked() const { return checked_; }
    void setChecked(bool c);
    bool checkable() const { return checkable_ || checked_; }
    void setCheckable(bool c) { checkable_ = c; }
    bool separator() const { return separator_; }
    void setSeparatorBefore(bool s) { separator_ = s; }
    // Moves this entry to the end of its menu (entries are listed in the
    // order they were made).
    void placeLast();
    // Offered to the operator: visible, and a menu has at least one item offered.
    bool shown() const;
    std::function<void()> onClick;
    void click() const { fire(onClick); }

private:
    MenuItem* parent_;
    std::vector<MenuItem*> children_;
    bool checked_ = false;
    bool checkable_ = false;
    bool separator_ = false;
};

class ProgressBar : public Control {
public:
    ProgressBar(Form& form, std::string name, int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    void setValue(int v);

private:
    int min_, max_, value_;
};

// Spin control bound to a text box: the arrows step the number in the box
// within min..max.
class UpDown : public Control {
public:
    UpDown(Form& form, std::string name, TextBox* buddy, int min, int max, int increment = 1,
           int index = -1);
    TextBox* buddy() const { return buddy_; }
    int min() const { return min_; }
    int max() const { return max_; }
    void setMax(int m);
    void setMin(int m);
    int increment() const { return inc_; }
    void up();
    void down();
    std::function<void()> onChange;

private:
    void step(int delta);
    TextBox* buddy_;
    int min_, max_, inc_;
};

// Interval timer of a window. The platform's timer service watches it and
// raises Tick every interval while it is enabled.
class Timer : public Control {
public:
    Timer(Form& form, std::string name, int intervalMs, bool enabled);
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool isEnabled() const { return enabled(); }
    std::function<void()> onTick;
    void tick() const { fire(onTick); }

private:
    int interval_;
};

// A small picture area whose content the view paints. It can show a grid
// of cells with marked rectangles on it (a map of the camera picture), or a
// named image of the view's (the title character set): whole, with an
// outlined square, or one square of it as a cell.
class Picture : public Control {
public:
    Picture(Form& form, std::string name, int index = -1);
    std::function<void()> onClick;
    void click() const { fire(onClick); }
    // Pointer events in pixels of the picture.
    std::function<void(int x, int y)> onMouseDown, onMouseMove;
    std::function<void()> onMouseLeave;
    // Operator presses at (x, y): MouseDown, then Click.
    void mouseDownAt(int x, int y);
    void mouseMoveAt(int x, int y);
    void mouseLeave();

    const std::string& image() const { return image_; }
    void setImage(std::string key);
    // Shows only the square (col, row) of `size` pixels of the image; a
    // negative column shows the whole image.
    void setImageSquare(int col, int row, int size);
    int squareCol() const { return sqCol_; }
    int squareRow() const { return sqRow_; }
    int squareSize() const { return sqSize_; }
    // Drawn inverted (light on dark): the cursor cell.
    bool inverted() const { return inverted_; }
    void setInverted(bool on);
    // Outlines one square of the image's grid; a negative column: none.
    void setOutline(int col, int row);
    int outlineCol() const { return olCol_; }
    int outlineRow() const { return olRow_; }
    // Takes the keyboard focus (a cell the operator types into).
    bool focusable() const { return focusable_; }
    void setFocusable(bool f) { focusable_ = f; }

    // A marked rectangle in cells, with a short text drawn in it.
    struct Mark {
        int col, row, cols, rows;
        std::string text;
        bool operator==(const Mark&) const = default;
    };
    int gridCols() const { return cols_; }
    int gridRows() const { return rows_; }
    // cols x rows cells; 0 x 0 draws no grid.
    void setGrid(int cols, int rows);
    const std::vector<Mark>& marks() const { return marks_; }
    void setMarks(std::vector<Mark> marks);

private:
    int cols_ = 0, rows_ = 0;
    std::vector<Mark> marks_;
    std::string image_;
    int sqCol_ = -1, sqRow_ = -1, sqSize_ = 0;
    bool inverted_ = false;
    int olCol_ = -1, olRow_ = -1;
    bool focusable_ = false;
};

// Indexed group of like controls; handlers receive the index.
template <class T>
class ControlArray {
public:
    ControlArray() = default;
    T& operator[](int i) { return *items_.at(i); }
    const T& operator[](int i) const { return *items_.at(i); }
    bool has(int i) const { return items_.count(i) != 0; }
    template <class... Args>
    T& add(int i, Args&&... args) {
        auto p = std::make_unique<T>(std::forward<Args>(args)..., i);
        T& ref = *p;
        items_[i] = std::move(p);
        return ref;
    }
    int lowerBound() const { return items_.empty() ? 0 : items_.begin()->first; }
    int upperBound() const { return items_.empty() ? -1 : items_.rbegin()->first; }
    std::size_t size() const { return items_.size(); }
    template <class F>
    void forEach(F f) {
        for (auto& [i, p] : items_) f(i, *p);
    }

private:
    std::map<int, std::unique_ptr<T>> items_;
};

}  // namespace orbus
