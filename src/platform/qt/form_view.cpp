#include "platform/qt/form_view.h"

#include "dialogs/title_chars.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QWindow>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolTip>
#include <QHelpEvent>
#include <QKeySequence>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QEventLoop>

#include <algorithm>
#include <limits>

namespace orbus::qt {

// The widget of an option button. Qt's own exclusion is off: the form
// clears an option's siblings itself, whatever chose it.
class OptionRadio : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionRadio(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }
};

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Captions use CR LF for line breaks; widgets want LF.
QString captionText(const std::string& s) { return q(s).replace("\r\n", "\n"); }

std::string withoutMnemonic(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += s[i];
    }
    return out;
}

// A caption as a screen reader reads it: one line, without mnemonic marks.
QString spokenCaption(const std::string& cap) { return q(withoutMnemonic(cap)).replace("\r\n", " "); }

// How a label is read out. A message label is read with its message, its
// role word as the description; the role word stands in for an empty
// message. A label that carries a value (one given a name of its own: a
// cell of a table, the state line of a dialog) is read with its name and
// its value. False for other controls, which keep their caption or name.
bool applyLabelName(Control& c, QWidget* w) {
    if (c.kind() != Kind::Label || !w) return false;
    const auto& l = static_cast<Label&>(c);
    const QString text = spokenCaption(l.caption()).trimmed();
    if (!l.messageRole().empty()) {
        w->setAccessibleName(text.isEmpty() ? q(l.messageRole()) : text);
        w->setAccessibleDescription(q(l.messageRole()));
        return true;
    }
    if (c.accessibleName().empty()) return false;
    const QString name = q(c.accessibleName());
    w->setAccessibleName(text.isEmpty() ? name : name + ": " + text);
    return true;
}

// A label the operator may copy from takes selection by mouse and keyboard
// (and with it the focus, so Tab reaches it). Other labels are left as Qt
// makes them. True when the label changed.
bool showSelectable(QLabel* l, bool selectable) {
    const Qt::TextInteractionFlags copyable = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    const Qt::TextInteractionFlags now = l->textInteractionFlags();
    if (selectable == ((now & copyable) == copyable)) return false;
    l->setTextInteractionFlags(selectable ? copyable : Qt::NoTextInteraction);
    // Qt gives a selectable label the focus on a click only.
    if (selectable) l->setFocusPolicy(Qt::StrongFocus);
    return true;
}

// How screen readers see an option button of the forms: an option button,
// checked as the widget shows it, with Toggle and Press doing what a click
// does (the widget's toggled signal takes it to the form). Qt would call
// it a check box, its exclusion being the form's and not its own.
class OptionAccessible : public QAccessibleWidget {
public:
    explicit OptionAccessible(QAbstractButton* b) : QAccessibleWidget(b, QAccessible::RadioButton) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        s.pressed = button()->isDown();
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return q(withoutMnemonic(button()->text().toStdString()));
        if (t == QAccessible::Accelerator) return mnemonic();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled()) names << toggleAction() << pressAction();
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            if (widget()->isEnabled()) button()->animateClick();
        } else if (action == toggleAction()) {
            if (widget()->isEnabled()) button()->toggle();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == pressAction() && !mnemonic().isEmpty()) return {mnemonic()};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
    QString mnemonic() const { return QKeySequence::mnemonic(button()->text()).toString(QKeySequence::NativeText); }
};

QAccessibleInterface* optionAccessible(const QString& key, QObject* object) {
    if (key != QLatin1String(OptionRadio::staticMetaObject.className())) return nullptr;
    auto* b = qobject_cast<OptionRadio*>(object);
    return b ? new OptionAccessible(b) : nullptr;
}

QString colorText(int c) { return QString("#%1").arg(c & 0xFFFFFF, 6, 16, QChar('0')); }

template <class Base>
class FormWindow : public Base {
public:
    explicit FormWindow(FormView* v) : view_(v) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        // The form decides: its unload handler hides or keeps the window.
        e->ignore();
        view_->closeRequested();
    }
    void moveEvent(QMoveEvent* e) override {
        Base::moveEvent(e);
        view_->geometryChangedByUser();
    }
    void resizeEvent(QResizeEvent* e) override {
        Base::resizeEvent(e);
        view_->geometryChangedByUser();
    }
    void changeEvent(QEvent* e) override {
        Base::changeEvent(e);
        if (e->type() == QEvent::WindowStateChange) view_->stateChangedByUser();
    }
    FormView* view_;
};

class MainWin : public FormWindow<QMainWindow> {
public:
    using FormWindow::FormWindow;
};

class DialogWin : public FormWindow<QDialog> {
public:
    using FormWindow::FormWindow;

protected:
    void reject() override { view_->closeRequested(); }
};

// A position in a multi-line box's text (one character per line break) as
// a position in the form's text, whose lines end in CR LF.
std::size_t textBoxPosition(const QString& shown, int position) {
    const int upTo = std::min(position, static_cast<int>(shown.size()));
    const auto breaks = shown.left(upTo).count(QLatin1Char('\n'));
    return static_cast<std::size_t>(upTo + breaks);
}

// Tool tips of a multi-line box that depend on the text under the pointer.
class TextToolTips : public QObject {
public:
    TextToolTips(QPlainTextEdit* edit, TextBox* box) : QObject(edit), edit_(edit), box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ToolTip || !box_->toolTipAt) return false;
        auto* help = static_cast<QHelpEvent*>(event);
        const QTextCursor at = edit_->cursorForPosition(help->pos());
        const std::string tip = box_->toolTipAt(textBoxPosition(edit_->toPlainText(), at.position()));
        if (tip.empty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), QString::fromStdString(tip), edit_->viewport());
        return true;
    }

private:
    QPlainTextEdit* edit_;
    TextBox* box_;
};

// The camera's title character set: 16 x 5 squares of 25 pixels, one line
// between squares, each glyph centred (401 x 126 pixels).
QPixmap titleCharsetImage() {
    static const QPixmap image = [] {
        const int sq = title::kSquare;
        QPixmap pm(title::kColumns * sq + 1, title::kRows * sq + 1);
        pm.fill(Qt::white);
        QPainter p(&pm);
        p.setPen(QColor(200, 200, 200));
        for (int c = 0; c <= title::kColumns; ++c) p.drawLine(c * sq, 0, c * sq, pm.height() - 1);
        for (int r = 0; r <= title::kRows; ++r) p.drawLine(0, r * sq, pm.width() - 1, r * sq);
        QFont font("DejaVu Sans");
        font.setPixelSize(15);
        font.setBold(true);
        QFont small = font;
        small.setPixelSize(10);
        p.setPen(Qt::black);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (const title::TitleChar& c : title::titleChars()) {
            const QString glyph = QString::fromUtf8(c.glyph);
            p.setFont(glyph.size() > 1 ? small : font);
            const QRect square((c.code % title::kColumns) * sq + 1, (c.code / title::kColumns) * sq + 1, sq - 1, sq - 1);
            p.drawText(square, Qt::AlignCenter, glyph);
        }
        return pm;
    }();
    return image;
}

QPixmap namedImage(const std::string& key) {
    if (key == "title-charset") return titleCharsetImage();
    return {};
}

// A picture control: a box with the control's grid of cells and its marks,
// or its image (whole, or one square of it as a cell).
class GridPicture : public QFrame {
public:
    GridPicture(Picture* pic, QWidget* parent) : QFrame(parent), pic_(pic) {
        setFrameShape(QFrame::Box);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
        setMouseTracking(true);
    }
    // Pixels of the image under a point of the widget.
    QPoint imagePoint(const QPoint& p) const { return p - contentsRect().topLeft(); }
    void syncLook() {
        // The whole image sits frameless at its own size; a cell keeps its box.
        const bool whole = !pic_->image().empty() && pic_->squareCol() < 0;
        setFrameShape(whole ? QFrame::NoFrame : QFrame::Box);
        setFocusPolicy(pic_->focusable() ? Qt::StrongFocus : Qt::NoFocus);
        update();
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        QFrame::paintEvent(e);
        if (!pic_->image().empty()) {
            paintImage();
            return;
        }
        const int cols = pic_->gridCols(), rows = pic_->gridRows();
        if (cols <= 0 || rows <= 0) return;
        QPainter p(this);
        const QRectF area = QRectF(contentsRect()).adjusted(0, 0, -1, -1);
        const double cw = area.width() / cols, ch = area.height() / rows;
        p.setPen(QPen(palette().color(QPalette::Mid), 1));
        for (int c = 0; c <= cols; ++c) p.drawLine(QPointF(area.left() + c * cw, area.top()), QPointF(area.left() + c * cw, area.bottom()));
        for (int r = 0; r <= rows; ++r) p.drawLine(QPointF(area.left(), area.top() + r * ch), QPointF(area.right(), area.top() + r * ch));
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(90);
        for (const Picture::Mark& m : pic_->marks()) {
            const QRectF r(area.left() + m.col * cw, area.top() + m.row * ch, std::max(1, m.cols) * cw,
                           std::max(1, m.rows) * ch);
            p.fillRect(r, fill);
            p.setPen(QPen(palette().color(QPalette::Highlight), 2));
            p.drawRect(r);
            p.setPen(palette().color(QPalette::Text));
            p.drawText(r, Qt::AlignCenter, QString::fromStdString(m.text));
        }
    }

private:
    void paintImage() {
        const QPixmap image = namedImage(pic_->image());
        QPainter p(this);
        const QRect area = contentsRect();
        if (pic_->squareCol() >= 0) {
            const int n = pic_->squareSize();
            p.drawPixmap(area, image, QRect(pic_->squareCol() * n + 1, pic_->squareRow() * n + 1, n - 1, n - 1));
        } else {
            p.drawPixmap(area.topLeft(), image);
        }
        if (pic_->inverted()) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(area, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        if (pic_->outlineCol() >= 0) {
            // One pixel inside the square under the pointer.
            const int n = title::kSquare;
            p.setPen(QPen(palette().color(QPalette::Highlight), 1));
            p.drawRect(area.left() + pic_->outlineCol() * n + 1, area.top() + pic_->outlineRow() * n + 1, n - 3, n - 3);
        }
        if (hasFocus()) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            p.drawRect(area.adjusted(0, 0, -1, -1));
        }
    }

    Picture* pic_;
};

// Spin arrows bound to a text box.
class SpinArrows : public QWidget {
public:
    explicit SpinArrows(QWidget* parent) : QWidget(parent) {
        auto* lay = new QVBoxLayout(this);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->setSpacing(0);
        up = new QToolButton(this);
        down = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (auto* b : {up, down}) {
            b->setAutoRepeat(true);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            b->setFocusPolicy(Qt::NoFocus);
            lay->addWidget(b);
        }
    }
    // The arrows are named after their box ("Pan Speed up"), never a bare
    // "Down" that a screen reader's list would mix up with a drive button.
    void nameAfter(const QString& box) {
        up->setAccessibleName(box + " up");
        down->setAccessibleName(box + " down");
    }
    QToolButton* up;
    QToolButton* down;
};

// The name a box's spin arrows take: the box's spoken name, or its own name.
QString spinBoxName(const UpDown& ud) {
    const Control* box = ud.buddy();
    if (!box) box = &ud;
    return q(box->accessibleName().empty() ? box->objectName() : box->accessibleName());
}

bool printable(int key) { return key >= 32 && key != 127; }

int keyAscii(const QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    default: break;
    }
    const QString t = k->text();
    if (t.size() == 1 && t[0].unicode() >= 32 && t[0].unicode() < 127) return t[0].unicode();
    return -1;  // not a character key: the widget handles it
}

// A key the forms handle themselves, or Key::Other.
KeyEvent formKeyOf(const QKeyEvent* k) {
    KeyEvent e;
    e.keypad = k->modifiers() & Qt::KeypadModifier;
    e.autoRepeat = k->isAutoRepeat();
    e.nativeKey = static_cast<int>(k->nativeScanCode());
    switch (k->key()) {
    case Qt::Key_Left: e.key = Key::Left; break;
    case Qt::Key_Up: e.key = Key::Up; break;
    case Qt::Key_Right: e.key = Key::Right; break;
    case Qt::Key_Down: e.key = Key::Down; break;
    case Qt::Key_Home: e.key = Key::Home; break;
    case Qt::Key_End: e.key = Key::End; break;
    case Qt::Key_PageUp: e.key = Key::PageUp; break;
    case Qt::Key_PageDown: e.key = Key::PageDown; break;
    case Qt::Key_Clear: e.key = Key::Clear; break;
    case Qt::Key_Backspace: e.key = Key::Backspace; break;
    case Qt::Key_Delete: e.key = Key::Delete; break;
    default:
        if (k->key() >= Qt::Key_0 && k->key() <= Qt::Key_9) {
            e.key = Key::Digit;
            e.digit = k->key() - Qt::Key_0;
        }
        break;
    }
    const QString t = k->text();
    if (t.size() == 1 && t[0].unicode() >= 32 && t[0].unicode() < 256 && t[0].unicode() != 127) e.ch = t[0].unicode();
    return e;
}

}  // namespace

FormView::FormView(Form& form, ViewSet* set) : form_(form), set_(set) { build(); }

bool FormView::owns(const QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        if (w == window_) return true;
        for (const FormView* g : guests_) {
            if (w == g->window_) return false;
        }
    }
    return false;
}

const Control* FormView::controlOf(QWidget* w) const {
    for (; w && w != window_; w = w->parentWidget()) {
        auto it = byObject_.find(w);
        if (it != byObject_.end()) return it->second;
    }
    return nullptr;
}

bool FormView::formKey(QObject* watched, QEvent* event) {
    auto* ke = static_cast<QKeyEvent*>(event);
    // The form sees a key once, where it first arrives: at the widget with
    // the focus, or at the window when none of its widgets has it.
    QWidget* focus = QApplication::focusWidget();
    if (focus && !owns(focus)) focus = nullptr;
    if (watched != (focus ? focus : window_)) return false;
    KeyEvent e = formKeyOf(ke);
    if (e.key == Key::Other && e.ch == 0) return false;
    e.focus = controlOf(focus);
    return event->type() == QEvent::KeyPress ? form_.keyDown(e) : form_.keyUp(e);
}

FormView::~FormView() {
    // Held windows and the host outlive each other in any order.
    for (FormView* g : guests_) {
        g->window_->setParent(nullptr, g->ownFlags_);
        g->host_ = nullptr;
    }
    guests_.clear();
    if (host_) {
        host_->guests_.erase(std::remove(host_->guests_.begin(), host_->guests_.end(), this), host_->guests_.end());
        window_->setParent(nullptr, ownFlags_);
        host_ = nullptr;
    }
    form_.setObserver(nullptr);
    for (Control* c : form_.controls()) {
        if (c->kind() != Kind::Timer) c->setObserver(nullptr);
    }
    delete window_;
}

QObject* FormView::objectFor(const Control* c) const {
    auto it = objects_.find(c);
    return it == objects_.end() ? nullptr : it->second;
}

QWidget* FormView::widgetFor(const Control* c) const { return qobject_cast<QWidget*>(objectFor(c)); }

void FormView::build() {
    const bool hasMenus = !form_.topMenus().empty();
    if (hasMenus) {
        auto* w = new MainWin(this);
        auto* scroll = new QScrollArea(w);
        canvas_ = new QWidget;
        scroll->setWidget(canvas_);
        // The controls keep their places; the area grows with the window and
        // scrolls only where the window is smaller than what it holds.
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        w->setCentralWidget(scroll);
        window_ = w;
    } else {
        auto* d = new DialogWin(this);
        d->setModal(false);
        canvas_ = d;
        window_ = d;
    }
    window_->setObjectName(q(form_.name()));
    window_->setWindowTitle(q(form_.caption()));
    window_->setAccessibleName(q(form_.caption()));
    window_->setWindowIcon(iconFor(form_.icon().empty() ? "orbus" : form_.icon()));
    window_->setAttribute(Qt::WA_ShowWithoutActivating, false);

    if (hasMenus) buildMenus();
    int maxRight = 0, maxBottom = 0;
    for (Control* c : form_.controls()) {
        if (c->kind() == Kind::Timer || c->kind() == Kind::MenuItem) continue;
        QWidget* w = createWidget(c, parentFor(*c));
        objects_[c] = w;
        byObject_[w] = c;
        w->setObjectName(q(c->objectName()));
        if (!c->container()) {
            maxRight = std::max(maxRight, c->left() + c->width());
            maxBottom = std::max(maxBottom, c->top() + c->height());
        }
    }
    for (Control* c : form_.controls()) {
        if (c->kind() == Kind::Timer) continue;
        applyAll(*c);
        c->setObserver([this](Control& ctl, Prop p) { applyControl(ctl, p); });
    }
    if (hasMenus) {
        // The right margin is kept small so that a vertical scroll bar does
        // not bring a horizontal one for a few empty pixels.
        canvasOwn_ = QSize(px(maxRight + 30), px(maxBottom + 120));
        canvas_->setMinimumSize(canvasOwn_);
    }
    ownFlags_ = window_->windowFlags();
    syncTabOrder();
    // Keys reach the form before the control with the focus, and the form
    // hears when its window stops being the active one.
    window_->installEventFilter(this);
    for (QWidget* w : window_->findChildren<QWidget*>()) w->installEventFilter(this);
    form_.setObserver([this](Form&, FormProp p) { applyForm(p); });
    applyForm(FormProp::Geometry);
    if (form_.visible()) applyForm(FormProp::Visible);
    // A held window whose focus moves out to its host's controls has lost
    // the keyboard, as a window of its own does when another one is activated.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (host_ && old && owns(old) && !(now && owns(now))) form_.deactivated();
    });
    if (form_.host()) followHost();
}

void FormView::followHost() {
    FormView* host = form_.host() && set_ ? set_->viewOf(*form_.host()) : nullptr;
    if (host == host_) return;
    const bool was = applying_;
    applying_ = true;
    if (host_) host_->releaseGuest(this);
    host_ = host;
    if (host_) {
        host_->holdGuest(this);
    } else {
        window_->setParent(nullptr, ownFlags_);
        applyForm(FormProp::Geometry);
    }
    window_->setVisible(form_.visible());
    applying_ = was;
}

void FormView::holdGuest(FormView* guest) {
    guests_.push_back(guest);
    guest->window_->setParent(canvas_, Qt::Widget);
    arrangeGuests();
}

void FormView::releaseGuest(FormView* guest) {
    guests_.erase(std::remove(guests_.begin(), guests_.end(), guest), guests_.end());
    arrangeGuests();
}

void FormView::arrangeGuests() {
    int y = canvasOwn_.height(), w = canvasOwn_.width();
    if (!guests_.empty()) {
        // Right under the lowest control the camera's layout shows.
        int bottom = 0;
        for (Control* c : form_.controls()) {
            if (c->container() || !c->visible()) continue;
            if (QWidget* cw = widgetFor(c)) bottom = std::max(bottom, cw->geometry().bottom() + 1);
        }
        y = bottom + px(120);
    }
    for (FormView* g : guests_) {
        g->window_->move(0, y);
        y += g->window_->height();
        w = std::max(w, g->window_->width());
    }
    canvas_->setMinimumSize(w, y);
}

void FormView::buildMenus() {
    auto* mw = static_cast<QMainWindow*>(window_);
    std::function<void(MenuItem*, QMenu*)> fill = [&](MenuItem* item, QMenu* menu) {
        for (MenuItem* child : item->children()) {
            if (child->separator()) menu->addSeparator();
            QAction* a;
            if (!child->children().empty()) {
                QMenu* sub = menu->addMenu(captionText(child->caption()));
                sub->setObjectName(q(child->objectName()));
                menus_[child] = sub;
                a = sub->menuAction();
                fill(child, sub);
            } else {
                a = menu->addAction(captionText(child->caption()));
                connect(a, &QAction::triggered, this, [this, a, child] {
                    a->setChecked(child->checked());
                    child->click();
                });
            }
            a->setObjectName(q(child->objectName()));
            objects_[child] = a;
            byObject_[a] = child;
        }
    };
    std::string used;
    for (MenuItem* top : form_.topMenus()) {
        // Keyboard access to the menu bar: the first letter not yet taken.
        std::string text = top->caption();
        if (text.find('&') == std::string::npos) {
            for (std::size_t i = 0; i < text.size(); ++i) {
                char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
                if (std::isalpha(static_cast<unsigned char>(c)) && used.find(c) == std::string::npos) {
                    used += c;
                    text = text.substr(0, i) + "&" + text.substr(i);
                    break;
                }
            }
        }
        QAction* a;
        if (!top->children().empty()) {
            QMenu* m = mw->menuBar()->addMenu(captionText(text));
            m->setObjectName(q(top->objectName()));
            menus_[top] = m;
            a = m->menuAction();
            fill(top, m);
        } else {
            a = mw->menuBar()->addAction(captionText(text));
            connect(a, &QAction::triggered, this, [top] { top->click(); });
        }
        a->setObjectName(q(top->objectName()));
        objects_[top] = a;
        byObject_[a] = top;
    }
}

QWidget* FormView::parentFor(Control& c) {
    if (Control* f = c.container()) {
        if (QWidget* w = widgetFor(f)) return w;
    }
    return canvas_;
}

QWidget* FormView::createWidget(Control* c, QWidget* parent) {
    switch (c->kind()) {
    case Kind::Button: {
        auto* b = new QPushButton(parent);
        auto* btn = static_cast<Button*>(c);
        b->setAutoDefault(false);
        b->setDefault(btn->isDefault());
        connect(b, &QPushButton::pressed, this, [btn] { btn->mouseDown(); });
        connect(b, &QPushButton::released, this, [btn] { btn->mouseUp(); });
        connect(b, &QPushButton::clicked, this, [btn] { btn->click(); });
        return b;
    }
    case Kind::CheckBox: {
        auto* b = new QCheckBox(parent);
        auto* cb = static_cast<CheckBox*>(c);
        // Any change the form did not make is the operator's click: the
        // mouse, the keyboard, or assistive technology's Toggle and Press.
        connect(b, &QCheckBox::toggled, this, [this, b, cb](bool on) {
            if (applying_ || on == cb->checked()) return;
            if (b->isEnabled()) cb->click();  // the value flips, then Click
            showChecked(b, cb->checked());
        });
        return b;
    }
    case Kind::OptionButton: {
        // Screen readers are told what it is by the binder's own interface.
        static const bool announced = (QAccessible::installFactory(optionAccessible), true);
        (void)announced;
        auto* b = new OptionRadio(parent);
        auto* ob = static_cast<OptionButton*>(c);
        // As for check boxes; clearing a selected option is a click on it
        // too, which selects it again.
        connect(b, &QRadioButton::toggled, this, [this, b, ob](bool on) {
            if (applying_ || on == ob->value()) return;
            if (b->isEnabled()) ob->click();
            showChecked(b, ob->value());
        });
        return b;
    }
    case Kind::Label: {
        auto* l = new QLabel(parent);
        l->setWordWrap(true);
        l->setTextFormat(Qt::PlainText);
        return l;
    }
    case Kind::Frame: {
        auto* g = new QGroupBox(parent);
        g->installEventFilter(this);
        return g;
    }
    case Kind::TextBox: {
        auto* tb = static_cast<TextBox*>(c);
        if (tb->multiLine()) {
            auto* e = new QPlainTextEdit(parent);
            e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            e->setTabChangesFocus(true);
            connect(e, &QPlainTextEdit::textChanged, this, [this, e, tb] {
                if (applying_) return;
                if (!tb->locked()) tb->setText(e->toPlainText().replace("\n", "\r\n").toStdString());
                // A locked box keeps the form's text, whoever tried to change it.
                const QString t = q(tb->text()).replace("\r\n", "\n");
                if (e->toPlainText() != t) {
                    const bool was = applying_;
                    applying_ = true;
                    e->setPlainText(t);
                    applying_ = was;
                }
            });
            connect(e, &QPlainTextEdit::cursorPositionChanged, this, [this, e, tb] {
                if (!applying_) tb->caretMovedTo(textBoxPosition(e->toPlainText(), e->textCursor().position()));
            });
            e->viewport()->installEventFilter(new TextToolTips(e, tb));
            return e;
        }
        auto* e = new QLineEdit(parent);
        e->installEventFilter(this);
        // Typed, pasted, dropped, undone or set by assistive technology: any
        // change the form did not make itself.
        connect(e, &QLineEdit::textChanged, this, [this, e, tb] {
            if (!applying_) lineEdited(e, tb);
        });
        return e;
    }
    case Kind::Slider: {
        auto* s = new QSlider(static_cast<Slider*>(c)->vertical() ? Qt::Vertical : Qt::Horizontal, parent);
        auto* sl = static_cast<Slider*>(c);
        s->setTickPosition(QSlider::TicksBelow);
        s->installEventFilter(this);
        connect(s, &QSlider::valueChanged, this, [this, sl](int v) {
            if (!applying_) sl->scrollTo(v);
        });
        return s;
    }
    case Kind::ComboBox: {
        auto* cb = new QComboBox(parent);
        auto* combo = static_cast<ComboBox*>(c);
        connect(cb, &QComboBox::activated, this, [combo](int i) { combo->choose(i); });
        return cb;
    }
    case Kind::ProgressBar: {
        auto* p = new QProgressBar(parent);
        p->setTextVisible(false);
        return p;
    }
    case Kind::UpDown: {
        auto* s = new SpinArrows(parent);
        auto* ud = static_cast<UpDown*>(c);
        s->nameAfter(spinBoxName(*ud));
        connect(s->up, &QToolButton::clicked, this, [ud] { ud->up(); });
        connect(s->down, &QToolButton::clicked, this, [ud] { ud->down(); });
        return s;
    }
    case Kind::Picture: {
        auto* g = new GridPicture(static_cast<Picture*>(c), parent);
        g->installEventFilter(this);
        return g;
    }
    case Kind::MenuItem:
    case Kind::Timer:
        break;
    }
    return new QWidget(parent);
}

void FormView::showChecked(QAbstractButton* b, bool on) {
    const bool was = applying_;
    applying_ = true;
    b->setChecked(on);
    applying_ = was;
}

qsizetype FormView::roomIn(const QLineEdit* e, const TextBox& tb) {
    if (tb.maxLength() <= 0) return std::numeric_limits<int>::max();
    return tb.maxLength() - (e->text().size() - e->selectedText().size());
}

void FormView::showText(QLineEdit* e, const TextBox& tb, qsizetype caret) {
    const bool was = applying_;
    applying_ = true;
    e->setText(q(tb.text()));
    if (caret >= 0) e->setCursorPosition(static_cast<int>(std::min(caret, e->text().size())));
    applying_ = was;
}

void FormView::lineEdited(QLineEdit* e, TextBox* tb) {
    const QString before = q(tb->text());
    const QString now = e->text();
    if (now == before) return;
    // A locked or disabled box takes nothing (assistive technology can
    // still reach it): it goes on showing the form's text.
    if (tb->locked() || !e->isEnabled()) {
        showText(e, *tb, -1);
        return;
    }
    // The edit is what lies between the head and the tail the two texts share.
    const qsizetype shorter = std::min(before.size(), now.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == now[head]) ++head;
    if (head > 0 && now[head - 1].isHighSurrogate()) --head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == now[now.size() - 1 - tail]) ++tail;
    if (tail > 0 && now[now.size() - tail].isLowSurrogate()) --tail;
    const QString inserted = now.mid(head, now.size() - head - tail);
    // What came in goes through the key filter as typed keys do (a typed
    // key has already), then is cut to the room the box has left. Line
    // breaks and other control characters are no text here: Enter in
    // pasted text must not act like the Enter key.
    QString kept;
    for (const QChar ch : inserted) {
        const char16_t u = ch.unicode();
        if (!printable(u)) continue;
        if (typing_ || u > 126) {
            kept += ch;
        } else if (const int k = tb->keyPress(u); printable(k) && k <= 0xFFFF) {
            kept += QChar(static_cast<char16_t>(k));
        }
    }
    if (tb->maxLength() > 0) {
        qsizetype room = std::max<qsizetype>(0, tb->maxLength() - head - tail);
        if (kept.size() > room) {
            if (room > 0 && kept[room - 1].isHighSurrogate()) --room;
            kept.truncate(room);
        }
    }
    tb->setText((now.left(head) + kept + now.right(tail)).toStdString());
    // The box's Change handler may have filtered it further, or the text is
    // back to what it was: the widget shows what the box holds.
    if (e->text() != q(tb->text())) showText(e, *tb, head + kept.size());
}

void FormView::syncTabOrder() {
    QWidget* prev = nullptr;
    for (Control* c : form_.controls()) {
        QWidget* w = widgetFor(c);
        if (!w || w->focusPolicy() == Qt::NoFocus) continue;
        if (prev) QWidget::setTabOrder(prev, w);
        prev = w;
    }
}

void FormView::placeControl(Control& c) {
    QWidget* w = widgetFor(&c);
    if (!w) return;
    w->setGeometry(px(c.left()), px(c.top()), std::max(1, px(c.width())), std::max(1, px(c.height())));
}

void FormView::applyAll(Control& c) {
    for (Prop p : {Prop::Geometry, Prop::Caption, Prop::Text, Prop::Range, Prop::Value, Prop::Items,
                   Prop::Checked, Prop::Color, Prop::Accessible, Prop::Enabled, Prop::Visible}) {
        applyControl(c, p);
    }
    if (QWidget* w = widgetFor(&c); w && !c.toolTip().empty()) w->setToolTip(q(c.toolTip()));
}

void FormView::applyControl(Control& c, Prop p) {
    QObject* obj = objectFor(&c);
    if (!obj) return;
    const bool was = applying_;
    applying_ = true;
    QWidget* w = qobject_cast<QWidget*>(obj);
    auto* act = qobject_cast<QAction*>(obj);
    switch (p) {
    case Prop::Visible:
        if (act) act->setVisible(c.visible());
        else if (w) w->setVisible(c.visible());
        if (w && !c.container() && !guests_.empty()) arrangeGuests();
        break;
    case Prop::Enabled:
        if (act) act->setEnabled(c.enabled());
        else if (w) w->setEnabled(c.enabled());
        break;
    case Prop::Geometry:
        placeControl(c);
        break;
    case Prop::Caption: {
        const std::string& cap = static_cast<Captioned&>(c).caption();
        if (c.kind() == Kind::MenuItem) {
            // Top-level menus keep the keyboard mnemonic given when built.
            if (act && static_cast<MenuItem&>(c).parent()) act->setText(captionText(cap));
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(captionText(cap));
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(captionText(withoutMnemonic(cap)));
            // Whether the caption can be copied is taken with the caption;
            // a label made copyable after the window was built joins the
            // tab order then.
            if (c.kind() == Kind::Label && showSelectable(l, static_cast<Label&>(c).selectable())) syncTabOrder();
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            g->setTitle(captionText(cap));
        }
        if (!applyLabelName(c, w) && c.accessibleName().empty() && w) w->setAccessibleName(spokenCaption(cap));
        break;
    }
    case Prop::Text:
    case Prop::Caret: {
        if (c.kind() != Kind::TextBox) break;
        auto& tb = static_cast<TextBox&>(c);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->text() != q(tb.text())) e->setText(q(tb.text()));
            e->setReadOnly(tb.locked());
            e->setAlignment(tb.centered() ? Qt::AlignCenter : Qt::AlignLeft);
            // No maximum length on the widget: it would cut pasted text
            // before the box's filter sees it. The binder keeps the limit.
            // The caret moves only when the form moves it.
            if (p == Prop::Caret) e->setCursorPosition(static_cast<int>(tb.selStart()));
        } else if (auto* e2 = qobject_cast<QPlainTextEdit*>(w)) {
            const QString t = q(tb.text()).replace("\r\n", "\n");
            if (e2->toPlainText() != t) e2->setPlainText(t);
            e2->setReadOnly(tb.locked());
            if (tb.selStart() >= tb.text().size()) {
                e2->moveCursor(QTextCursor::End);
                e2->verticalScrollBar()->setValue(e2->verticalScrollBar()->maximum());
            }
        }
        break;
    }
    case Prop::Range:
    case Prop::Value: {
        if (auto* s = qobject_cast<QSlider*>(w)) {
            auto& sl = static_cast<Slider&>(c);
            s->setRange(sl.min(), sl.max());
            s->setSingleStep(sl.smallChange());
            s->setPageStep(sl.largeChange());
            s->setTickInterval(sl.tickFrequency());
            s->setValue(sl.value());
        } else if (auto* cb = qobject_cast<QCheckBox*>(w)) {
            cb->setChecked(static_cast<CheckBox&>(c).checked());
        } else if (auto* rb = qobject_cast<QRadioButton*>(w)) {
            rb->setChecked(static_cast<OptionButton&>(c).value());
        } else if (auto* pb = qobject_cast<QProgressBar*>(w)) {
            auto& bar = static_cast<ProgressBar&>(c);
            pb->setRange(bar.min(), bar.max());
            pb->setValue(bar.value());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->setCurrentIndex(static_cast<ComboBox&>(c).listIndex());
        }
        break;
    }
    case Prop::Items:
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->clear();
            for (const auto& s : static_cast<ComboBox&>(c).items()) combo->addItem(q(s));
            combo->setCurrentIndex(static_cast<ComboBox&>(c).listIndex());
        }
        if (c.kind() == Kind::Picture && w) static_cast<GridPicture*>(w)->syncLook();
        break;
    case Prop::Checked:
        if (act && c.kind() == Kind::MenuItem) {
            auto& mi = static_cast<MenuItem&>(c);
            act->setCheckable(mi.checkable());
            act->setChecked(mi.checked());
        }
        break;
    case Prop::Color:
        if (c.kind() == Kind::Label && w) {
            auto& l = static_cast<Label&>(c);
            QString css;
            if (l.foreColor() != kDefaultColor) css += "color: " + colorText(l.foreColor()) + ";";
            if (l.backColor() != kDefaultColor) css += "background-color: " + colorText(l.backColor()) + ";";
            if (l.bordered()) css += "border: 1px solid palette(mid); padding: 1px;";
            w->setStyleSheet(css.isEmpty() ? QString() : "QLabel{" + css + "}");
            if (auto* ql = qobject_cast<QLabel*>(w))
                // A paragraph to read and copy starts at the top, under what it explains.
                ql->setAlignment(l.centered()     ? Qt::AlignCenter
                                 : l.selectable() ? (Qt::AlignLeft | Qt::AlignTop)
                                                  : (Qt::AlignLeft | Qt::AlignVCenter));
        }
        break;
    case Prop::Accessible:
        if (!applyLabelName(c, w) && w && !c.accessibleName().empty()) w->setAccessibleName(q(c.accessibleName()));
        if (c.kind() == Kind::UpDown || c.kind() == Kind::TextBox) {
            for (Control* other : form_.controls()) {
                auto* ud = other->kind() == Kind::UpDown ? static_cast<UpDown*>(other) : nullptr;
                if (!ud || (ud != &c && ud->buddy() != &c)) continue;
                if (QWidget* arrows = widgetFor(ud)) static_cast<SpinArrows*>(arrows)->nameAfter(spinBoxName(*ud));
            }
        }
        break;
    case Prop::Interval:
    case Prop::Icon:
        break;
    }
    applying_ = was;
}

void FormView::applyForm(FormProp p) {
    const bool was = applying_;
    applying_ = true;
    switch (p) {
    case FormProp::Caption:
        window_->setWindowTitle(q(form_.caption()));
        window_->setAccessibleName(q(form_.caption()));
        break;
    case FormProp::Visible:
        if (form_.visible()) {
            window_->show();
            shownOnce_ = true;
        } else {
            window_->hide();
        }
        break;
    case FormProp::Geometry: {
        // The form's size is the outer size of the window, title bar and
        // borders included; the window is kept on the screen.
        const int w = px(form_.width()), h = px(form_.height());
        if (host_) {
            // Held: no frame of its own; its place is under the host's
            // controls, its size its own.
            window_->setFixedSize(std::max(1, w), std::max(1, h));
            host_->arrangeGuests();
            break;
        }
        const QSize deco = decorations();
        QPoint pos(px(form_.left()), px(form_.top()));
        if (QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            pos.setX(std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - w)));
            pos.setY(std::clamp(pos.y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - h)));
        }
        window_->move(pos);
        const QSize client(std::max(1, w - deco.width()), std::max(1, h - deco.height()));
        if (form_.resizable()) {
            window_->resize(client);
        } else {
            window_->setFixedSize(client);
        }
        break;
    }
    case FormProp::State:
        switch (form_.windowState()) {
        case WindowState::Normal: window_->setWindowState(Qt::WindowNoState); break;
        case WindowState::Minimized: window_->setWindowState(Qt::WindowMinimized); break;
        case WindowState::Maximized: window_->setWindowState(Qt::WindowMaximized); break;
        }
        break;
    case FormProp::Icon:
        window_->setWindowIcon(iconFor(form_.icon().empty() ? "orbus" : form_.icon()));
        break;
    case FormProp::Raise:
        window_->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window_->raise();
        window_->setAttribute(Qt::WA_ShowWithoutActivating, false);
        break;
    case FormProp::ToBack:
        window_->lower();
        break;
    case FormProp::Host:
        followHost();
        break;
    case FormProp::Redraw:
        // Nothing holds the event loop any more: the window paints itself
        // at the next turn.
        window_->update();
        break;
    }
    applying_ = was;
}

void FormView::closeRequested() { form_.unload(); }

QSize FormView::decorations() const {
    if (!window_->isVisible()) return lastDecorations_;
    const QSize d = window_->frameGeometry().size() - window_->size();
    if (d.width() >= 0 && d.height() >= 0) lastDecorations_ = d;
    return lastDecorations_;
}

void FormView::geometryChangedByUser() {
    if (applying_ || host_ || !window_->isVisible()) return;
    const QRect frame = window_->frameGeometry();
    form_.placedByUser(twips(frame.x()), twips(frame.y()), twips(frame.width()), twips(frame.height()));
}

void FormView::stateChangedByUser() {
    if (applying_ || host_) return;
    const auto s = window_->windowState();
    form_.stateChangedByUser(s & Qt::WindowMinimized   ? WindowState::Minimized
                             : s & Qt::WindowMaximized ? WindowState::Maximized
                                                       : WindowState::Normal);
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (formKey(watched, event)) return true;
    }
    if (watched == window_ && event->type() == QEvent::WindowDeactivate) {
        form_.deactivated();
        for (FormView* g : guests_) g->form_.deactivated();
    }
    auto it = byObject_.find(watched);
    if (it == byObject_.end()) return false;
    Control* c = it->second;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (c->kind() == Kind::Slider) static_cast<Slider*>(c)->mouseDown();
        if (c->kind() == Kind::Frame) static_cast<Frame*>(c)->click();
        if (c->kind() == Kind::Picture) {
            auto* g = static_cast<GridPicture*>(qobject_cast<QWidget*>(watched));
            const QPoint at = g->imagePoint(static_cast<QMouseEvent*>(event)->position().toPoint());
            static_cast<Picture*>(c)->mouseDownAt(at.x(), at.y());
        }
        break;
    case QEvent::MouseMove:
        if (c->kind() == Kind::Picture) {
            auto* g = static_cast<GridPicture*>(qobject_cast<QWidget*>(watched));
            const QPoint at = g->imagePoint(static_cast<QMouseEvent*>(event)->position().toPoint());
            static_cast<Picture*>(c)->mouseMoveAt(at.x(), at.y());
        }
        break;
    case QEvent::Leave:
        if (c->kind() == Kind::Picture) static_cast<Picture*>(c)->mouseLeave();
        break;
    case QEvent::MouseButtonRelease:
        if (c->kind() == Kind::Slider) static_cast<Slider*>(c)->mouseUp();
        break;
    case QEvent::KeyPress: {
        if (c->kind() != Kind::TextBox) break;
        auto* tb = static_cast<TextBox*>(c);
        auto* e = qobject_cast<QLineEdit*>(watched);
        auto* ke = static_cast<QKeyEvent*>(event);
        const int k = keyAscii(ke);
        const bool plain = !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (!tb->onKeyPress || k < 0) {
            // A character typed into a full box is refused before the
            // widget takes it, so the caret stays where it was.
            const QString t = ke->text();
            if (e && !e->isReadOnly() && plain && t.size() == 1 && printable(t[0].unicode()) && roomIn(e, *tb) <= 0)
                return true;
            break;
        }
        const int out = tb->keyPress(k);
        // Enter goes on to the default button; backspace edits.
        if (out == k && (k == 13 || k == 8)) break;
        if (out == k && !plain) break;  // a shortcut: the widget decides
        if (e && !e->isReadOnly() && printable(out) && out != 13 && out != 8 && roomIn(e, *tb) > 0) {
            // The key went through the filter already.
            const bool was = typing_;
            typing_ = true;
            e->insert(QString(QChar(out)));
            typing_ = was;
        }
        return true;
    }
    default:
        break;
    }
    return false;
}

ViewSet::ViewSet(const std::vector<Form*>& forms) {
    for (Form* f : forms) views_.push_back(std::make_unique<FormView>(*f, this));
}

ViewSet::~ViewSet() { views_.clear(); }

FormView* ViewSet::viewOf(const Form& f) const {
    for (const auto& v : views_) {
        if (&v->form() == &f) return v.get();
    }
    return nullptr;
}

QWidget* ViewSet::windowOf(const Form& f) const {
    FormView* v = viewOf(f);
    return v ? v->window() : nullptr;
}

QWidget* ViewSet::mainWindow() const {
    for (const auto& v : views_) {
        if (qobject_cast<QMainWindow*>(v->window())) return v->window();
    }
    return nullptr;
}

QIcon iconFor(const std::string& key) {
    // A camera body with its lens; pan-tilt models stand on a yoke. Colours
    // tell the models apart in the task bar.
    QColor body(70, 90, 120);
    bool yoke = false;
    if (key == "orx-kappa") {
        body = QColor(30, 60, 140);
        yoke = true;
    } else if (key == "orx-gamma") {
        body = QColor(20, 130, 120);
        yoke = true;
    } else if (key == "orx-beta") {
        body = QColor(200, 110, 20);
        yoke = true;
    }
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        if (yoke) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 60, 60));
            p.drawRect(24, 44, 16, 8);
            p.drawRoundedRect(14, 52, 36, 8, 3, 3);
        }
        p.setPen(QPen(body.darker(150), 2));
        p.setBrush(body);
        p.drawRoundedRect(6, yoke ? 14 : 18, 46, 30, 6, 6);
        p.setBrush(QColor(20, 20, 20));
        p.drawEllipse(QPointF(44, yoke ? 29 : 33), 11, 11);
        p.setBrush(QColor(120, 170, 230));
        p.drawEllipse(QPointF(44, yoke ? 29 : 33), 5, 5);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace orbus::qt

#include "form_view.moc"
