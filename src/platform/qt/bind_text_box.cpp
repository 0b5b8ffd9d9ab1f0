#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <limits>

#include "platform/qt/binding.h"
#include "platform/qt/captions.h"
#include "platform/qt/form_view.h"
#include "platform/qt/keys.h"

namespace orbus::qt {

namespace {

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

// Characters that fit into the box where the line edit's selection is.
qsizetype roomIn(const QLineEdit* e, const TextBox& tb) {
    if (tb.maxLength() <= 0) return std::numeric_limits<int>::max();
    return tb.maxLength() - (e->text().size() - e->selectedText().size());
}

// Shows the box's text in its line edit, the caret at `caret` (-1: the end).
void showText(FormView& view, QLineEdit* e, const TextBox& tb, qsizetype caret) {
    view.quietly([&] {
        e->setText(q(tb.text()));
        if (caret >= 0) e->setCursorPosition(static_cast<int>(std::min(caret, e->text().size())));
    });
}

// Takes a change of a line edit's text that the form did not make.
void lineEdited(FormView& view, QLineEdit* e, TextBox* tb) {
    const QString before = q(tb->text());
    const QString now = e->text();
    if (now == before) return;
    // A locked or disabled box takes nothing (assistive technology can
    // still reach it): it goes on showing the form's text.
    if (tb->locked() || !e->isEnabled()) {
        showText(view, e, *tb, -1);
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
        if (view.typing() || u > 126) {
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
    if (e->text() != q(tb->text())) showText(view, e, *tb, head + kept.size());
}

QWidget* createMultiLine(FormView& view, TextBox* tb, QWidget* parent) {
    auto* e = new QPlainTextEdit(parent);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    e->setTabChangesFocus(true);
    QObject::connect(e, &QPlainTextEdit::textChanged, &view, [&view, e, tb] {
        if (view.applying()) return;
        if (!tb->locked()) tb->setText(e->toPlainText().replace("\n", "\r\n").toStdString());
        // A locked box keeps the form's text, whoever tried to change it.
        const QString t = q(tb->text()).replace("\r\n", "\n");
        if (e->toPlainText() != t) view.quietly([&] { e->setPlainText(t); });
    });
    QObject::connect(e, &QPlainTextEdit::cursorPositionChanged, &view, [&view, e, tb] {
        if (!view.applying()) tb->caretMovedTo(textBoxPosition(e->toPlainText(), e->textCursor().position()));
    });
    e->viewport()->installEventFilter(new TextToolTips(e, tb));
    return e;
}

QWidget* create(FormView& view, Control& control, QWidget* parent) {
    auto* tb = static_cast<TextBox*>(&control);
    if (tb->multiLine()) return createMultiLine(view, tb, parent);
    auto* e = new QLineEdit(parent);
    e->installEventFilter(&view);
    // Typed, pasted, dropped, undone or set by assistive technology: any
    // change the form did not make itself.
    QObject::connect(e, &QLineEdit::textChanged, &view, [&view, e, tb] {
        if (!view.applying()) lineEdited(view, e, tb);
    });
    return e;
}

void showBox(const TextBox& tb, QObject* object, Prop prop) {
    if (auto* e = qobject_cast<QLineEdit*>(object)) {
        if (e->text() != q(tb.text())) e->setText(q(tb.text()));
        e->setReadOnly(tb.locked());
        e->setAlignment(tb.centered() ? Qt::AlignCenter : Qt::AlignLeft);
        // No maximum length on the widget: it would cut pasted text
        // before the box's filter sees it. The binder keeps the limit.
        // The caret moves only when the form moves it.
        if (prop == Prop::Caret) e->setCursorPosition(static_cast<int>(tb.selStart()));
    } else if (auto* e2 = qobject_cast<QPlainTextEdit*>(object)) {
        const QString t = q(tb.text()).replace("\r\n", "\n");
        if (e2->toPlainText() != t) e2->setPlainText(t);
        e2->setReadOnly(tb.locked());
        if (tb.selStart() >= tb.text().size()) {
            e2->moveCursor(QTextCursor::End);
            e2->verticalScrollBar()->setValue(e2->verticalScrollBar()->maximum());
        }
    }
}

void apply(FormView& view, Control& control, QObject* object, Prop prop) {
    if (prop == Prop::Text || prop == Prop::Caret) showBox(static_cast<TextBox&>(control), object, prop);
    if (prop == Prop::Accessible) renameSpinArrows(view, control);
}

// A key typed into a line edit goes through the box's key filter before
// the widget takes what is left of it.
bool event(FormView& view, Control& control, QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* tb = static_cast<TextBox*>(&control);
    auto* e = qobject_cast<QLineEdit*>(watched);
    auto* ke = static_cast<QKeyEvent*>(event);
    const int k = keyAscii(ke);
    const bool plain = !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!tb->onKeyPress || k < 0) {
        // A character typed into a full box is refused before the
        // widget takes it, so the caret stays where it was.
        const QString t = ke->text();
        return e && !e->isReadOnly() && plain && t.size() == 1 && printable(t[0].unicode()) && roomIn(e, *tb) <= 0;
    }
    const int out = tb->keyPress(k);
    // Enter goes on to the default button; backspace edits.
    if (out == k && (k == 13 || k == 8)) return false;
    if (out == k && !plain) return false;  // a shortcut: the widget decides
    if (e && !e->isReadOnly() && printable(out) && out != 13 && out != 8 && roomIn(e, *tb) > 0) {
        // The key went through the filter already.
        const bool was = view.typing();
        view.setTyping(true);
        e->insert(QString(QChar(out)));
        view.setTyping(was);
    }
    return true;
}

}  // namespace

const Binding kTextBoxBinding{create, apply, nullptr, event};

}  // namespace orbus::qt
