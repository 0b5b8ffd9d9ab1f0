#include "platform/qt/option_radio.h"

#include "platform/qt/captions.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>

namespace orbus::qt {

namespace {

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

}  // namespace

void announceOptionButtons() {
    static const bool announced = (QAccessible::installFactory(optionAccessible), true);
    (void)announced;
}

}  // namespace orbus::qt
